// The mod list's entries: adding a patch, what of an entry this game does not
// have, and the player's own edits kept as the top layer.
#include "modinternal.h"

#include "common/fileaccess.h"
#include "common/writelock.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QScopeGuard>
#include <QSet>

namespace lcj::changes::mods {

using detail::patchSuffix;
using detail::shownPath;

void ModList::findProblems() {
    const auto keysOf = [&](const Kept& kept) -> const std::optional<QSet<QString>>& {
        const QString& file = kept.file;
        auto it = fieldKeys_.find(kept.sha256);
        if (it != fieldKeys_.end())
            return *it;
        std::optional<QSet<QString>> set;
        const auto bytes = original(file);
        const auto kind = patch::kindOfName(file);
        if (bytes.ok() && kind)
            if (const auto cells = patch::readCells(*kind, file, *bytes); cells.ok()) {
                set.emplace();
                for (const patch::Cell& c : *cells)
                    set->insert(c.key());
            }
        return *fieldKeys_.insert(kept.sha256, set);
    };
    QString originals;
    for (const Kept& k : originals_)
        originals += k.file + u':' + k.sha256 + u'|';
    for (Entry& e : entries_) {
        e.problem.clear();
        e.notes.clear();
        if (e.own)
            continue;
        const QString known = e.sha256 + u'|' + originals;
        if (const auto it = problems_.constFind(known); it != problems_.constEnd()) {
            std::tie(e.problem, e.notes) = *it;
            continue;
        }
        const auto remember = qScopeGuard([&] { problems_.insert(known, {e.problem, e.notes}); });
        for (const patch::FilePatch& fp : e.patch.files) {
            const Kept* kept = nullptr;
            for (const Kept& k : originals_)
                if (k.file.compare(fp.file, Qt::CaseInsensitive) == 0)
                    kept = &k;
            if (!kept) {
                e.problem = QStringLiteral("游戏文件夹里没有 %1").arg(fp.file);
                break;
            }
            if (kept->size != fp.size || kept->sha256 != fp.sha256)
                e.notes
                    << QStringLiteral("%1 和补丁所依据的原版不同（大小或 SHA-256）").arg(fp.file);
            const auto& fields = keysOf(*kept);
            if (!fields) {
                e.problem = QStringLiteral("%1 打不开").arg(fp.file);
                break;
            }
            const FieldChange* cc = detail::countChange(fp);
            if (cc && !fields->contains(cc->key())) {
                e.problem = QStringLiteral("%1 %2：这个游戏里没有这一栏").arg(fp.file, cc->where);
                break;
            }
            for (const FieldChange& ch : fp.changes) {
                const bool appended = cc && ch.part == cc->part && ch.row >= cc->before.toInt(0) &&
                                      ch.before.isNull();
                if (&ch == cc || appended || fields->contains(ch.key()))
                    continue;
                e.problem = QStringLiteral("%1 %2：这个游戏里没有这一栏").arg(fp.file, ch.where);
                break;
            }
            if (!e.problem.isEmpty())
                break;
        }
    }
}

Result<AddResult> ModList::add(const QString& patchPath) {
    using R = Result<AddResult>;
    const auto bytes = files::readWhole(patchPath, files::SizeLimit::UserText);
    if (!bytes.ok())
        return R::failure(bytes.error());
    const auto p = patch::fromJson(*bytes);
    if (!p.ok())
        return R::failure(QStringLiteral("“%1”：%2").arg(shownPath(patchPath), p.error()));
    const auto held = hold(listLock(), true, QStringLiteral("\n没有加入模组。"));
    if (!held.ok())
        return held.why();
    AddResult result;
    const QString sha = files::sha256Hex(*bytes);
    const QByteArray json = patch::toJson(*p);
    for (const Entry& e : entries_)
        if (!e.own && (e.sha256 == sha || patch::toJson(e.patch) == json)) {
            result.name = e.name;
            result.alreadyListed = true;
            return result;
        }
    QString base = QFileInfo(patchPath).fileName();
    if (base.endsWith(patchSuffix, Qt::CaseInsensitive))
        base.chop(patchSuffix.size());
    if (base.isEmpty())
        base = QStringLiteral("补丁");
    QString name = base;
    const auto taken = [this](const QString& n) {
        if (n.compare(ownLayerName, Qt::CaseInsensitive) == 0)
            return true;
        for (const Entry& e : entries_)
            if (e.name.compare(n, Qt::CaseInsensitive) == 0)
                return true;
        return false;
    };
    for (int k = 2; taken(name); ++k)
        name = QStringLiteral("%1-%2").arg(base).arg(k);
    // The files it touches that are not kept yet: kept as they are now.
    QList<Kept> fresh;
    QList<QByteArray> freshBytes;
    for (const patch::FilePatch& fp : p->files) {
        bool known = false;
        for (const Kept& k : originals_)
            known = known || k.file.compare(fp.file, Qt::CaseInsensitive) == 0;
        const QString path = fields::fileIn(folder_, fp.file);
        if (known || path.isEmpty())
            continue;
        const auto now = files::readWhole(path);
        if (!now.ok())
            return R::failure(now.error() + QStringLiteral("\n没有加入模组。"));
        fresh.append({QFileInfo(path).fileName(), now->size(), files::sha256Hex(*now)});
        freshBytes.append(*now);
    }
    if (auto failure = files::makeWorkshop(folder_); !failure.ok())
        return R::failure(failure.error());
    for (const QString& sub : {modsFolder(folder_), originalFolder(folder_)})
        if (!QDir().mkpath(sub))
            return R::failure(
                QStringLiteral("无法建立文件夹“%1”，没有加入模组。").arg(shownPath(sub)));
    for (qsizetype k = 0; k < fresh.size(); ++k)
        if (auto failure = files::writeOutputFile(
                QDir(originalFolder(folder_)).filePath(fresh[k].file), freshBytes[k]);
            !failure.ok())
            return R::failure(failure.error() + QStringLiteral("\n没有加入模组。"));
    if (auto failure =
            files::writeOutputFile(QDir(modsFolder(folder_)).filePath(name + patchSuffix), *bytes);
        !failure.ok())
        return R::failure(failure.error() + QStringLiteral("\n没有加入模组。"));
    const auto keptBefore = originals_;
    originals_.append(fresh);
    if (auto failure = saveOriginals(); !failure.ok()) {
        originals_ = keptBefore;
        return R::failure(failure.error() + QStringLiteral("\n没有加入模组。"));
    }
    Entry e;
    e.name = name;
    e.sha256 = sha;
    e.patch = *p;
    // Before the player's own edits, which stay on top.
    qsizetype at = entries_.size();
    while (at > 0 && entries_[at - 1].own)
        --at;
    entries_.insert(at, e);
    if (auto failure = saveList(); !failure.ok()) {
        entries_.removeAt(at);
        return R::failure(failure.error() + QStringLiteral("\n没有加入模组。"));
    }
    findProblems();
    result.name = name;
    // Fields of the kept original that already hold what the patch sets.
    for (const patch::FilePatch& fp : p->files) {
        const auto orig = original(fp.file);
        if (!orig.ok())
            continue;
        const auto cells = patch::readCells(fp.kind, fp.file, *orig);
        if (!cells.ok())
            continue;
        QHash<QString, QJsonValue> values;
        for (const patch::Cell& c : *cells)
            values.insert(c.key(), c.value);
        for (const FieldChange& ch : fp.changes) {
            const auto it = values.constFind(ch.key());
            if (it != values.constEnd() && *it == ch.after && ch.after != ch.before &&
                !ch.before.isNull())
                result.alreadyModded << QStringLiteral("%1 %2 已是 %3")
                                            .arg(fp.file, ch.where, patch::shown(ch.after));
        }
    }
    return result;
}

Failure ModList::keepOwnEdits(const OutsideEdits& edits, bool save) {
    qsizetype own = -1;
    for (qsizetype i = 0; i < entries_.size(); ++i)
        if (entries_[i].own)
            own = i;
    if (own < 0) {
        Entry e;
        e.name = ownLayerName;
        e.own = true;
        e.patch.name = ownLayerName;
        entries_.append(e);
        own = entries_.size() - 1;
    }
    patch::Patch& mine = entries_[own].patch;
    for (const patch::FilePatch& nf : edits.asPatch.files) {
        patch::FilePatch* of = nullptr;
        for (patch::FilePatch& f : mine.files)
            if (f.file == nf.file)
                of = &f;
        if (!of) {
            mine.files.append(nf);
            continue;
        }
        // Entries the layer appended sit at the end of the last result: the
        // new changes are renumbered to the layer's own rows.
        const FieldChange* ownCount = detail::countChange(*of);
        // By its place: appending changes moves them.
        const qsizetype occ = ownCount ? ownCount - of->changes.constData() : -1;
        const QString countPart = ownCount ? ownCount->part : QString();
        const FieldChange* ncc = detail::countChange(nf);
        int base = 0, grown = 0, resultCount = 0;
        if (occ >= 0) {
            base = of->changes[occ].before.toInt(0);
            grown = of->changes[occ].after.toInt(0) - base;
            if (ncc) {
                resultCount = ncc->before.toInt(0);
            } else if (const auto ref = reference(nf.file); ref.ok()) {
                const auto cells = patch::readCells(nf.kind, nf.file, *ref);
                if (cells.ok())
                    for (const patch::Cell& c : *cells)
                        if (c.row < 0 && c.column == countColumn)
                            resultCount = c.value.toInt(0);
            }
        }
        const int start = resultCount - grown; // where the layer's entries begin
        for (FieldChange ch : nf.changes) {
            if (occ >= 0 && ch.row < 0 && ch.column == countColumn) {
                of->changes[occ].after = base + (ch.after.toInt(0) - start);
                continue;
            }
            if (occ >= 0 && ch.part == countPart && ch.row >= start) {
                ch.row = ch.row - start + base;
                const auto where = patch::place(nf.kind, ch.part, ch.row, ch.column);
                if (where.ok())
                    ch.where = *where;
            }
            bool merged = false;
            for (FieldChange& old : of->changes)
                if (old.key() == ch.key()) {
                    old.after = ch.after;
                    merged = true;
                }
            if (!merged)
                of->changes.append(ch);
        }
    }
    const QByteArray json = patch::toJson(mine);
    entries_[own].sha256 = files::sha256Hex(json);
    if (!save)
        return {};
    if (auto failure = files::makeWorkshop(folder_); !failure.ok())
        return failure;
    if (!QDir().mkpath(modsFolder(folder_)))
        return QStringLiteral("无法建立文件夹“%1”").arg(shownPath(modsFolder(folder_)));
    if (auto failure = files::writeOutputFile(
            QDir(modsFolder(folder_)).filePath(ownLayerName + patchSuffix), json);
        !failure.ok())
        return failure;
    return saveList();
}

} // namespace lcj::changes::mods
