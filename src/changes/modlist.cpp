// The mod list's state in the game folder's workshop: the list, the copies
// of its patches and the kept originals.
#include "modinternal.h"

#include "common/fileaccess.h"
#include "common/writelock.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>

namespace lcj::changes::mods {

namespace detail {

QString sha256(const QByteArray& bytes) {
    return QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex());
}

QString findInFolder(const QString& folder, const QString& name) {
    const QDir dir(folder);
    if (dir.exists(name))
        return dir.filePath(name);
    for (const QString& entry : dir.entryList(QDir::Files))
        if (entry.compare(name, Qt::CaseInsensitive) == 0)
            return dir.filePath(entry);
    return {};
}

const patch::FilePatch* filePatch(const Entry& entry, const QString& file) {
    for (const patch::FilePatch& f : entry.patch.files)
        if (f.file.compare(file, Qt::CaseInsensitive) == 0)
            return &f;
    return nullptr;
}

const FieldChange* countChange(const patch::FilePatch& file) {
    for (const FieldChange& ch : file.changes)
        if (ch.row < 0 && ch.column == countColumn)
            return &ch;
    return nullptr;
}

// Why nothing can be written in `folder`, or nothing.
Failure folderUnwritable(const QString& folder) {
    const QFileInfo info(folder);
    // The mode bits, not access(): a root user may write anything.
    const auto writeBits = QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther;
    if (!info.isDir())
        return QStringLiteral("找不到游戏文件夹“%1”").arg(QDir::toNativeSeparators(folder));
    if (!info.isWritable() || !(info.permissions() & writeBits))
        return QStringLiteral("游戏文件夹“%1”是只读的，无法写入")
            .arg(QDir::toNativeSeparators(folder));
    return std::nullopt;
}

} // namespace detail

namespace {

using detail::sha256;

const QString listName = QStringLiteral("list.json");
const QString originalsName = QStringLiteral("originals.json");
const QString patchSuffix = QStringLiteral(".lcjpatch");

QString shownPath(const QString& path) {
    return QDir::toNativeSeparators(path);
}

QJsonObject shaMap(const QMap<QString, QString>& map) {
    QJsonObject o;
    for (auto it = map.cbegin(); it != map.cend(); ++it)
        o.insert(it.key(), *it);
    return o;
}

QMap<QString, QString> shaMap(const QJsonValue& v) {
    QMap<QString, QString> map;
    const QJsonObject o = v.toObject();
    for (auto it = o.begin(); it != o.end(); ++it)
        map.insert(it.key(), it->toString());
    return map;
}

// Reads one of the workshop's JSON files; nothing when it is not there.
Result<std::optional<QJsonObject>> readState(const QString& path, const QString& format) {
    using R = Result<std::optional<QJsonObject>>;
    if (!QFileInfo::exists(path))
        return std::optional<QJsonObject>{};
    const auto bytes = files::readWhole(path, files::SizeLimit::UserText);
    if (!bytes)
        return R::failure(bytes.error());
    QJsonParseError error;
    const QJsonObject o = QJsonDocument::fromJson(*bytes, &error).object();
    if (error.error != QJsonParseError::NoError ||
        o.value(QStringLiteral("format")).toString() != format)
        return R::failure(QStringLiteral("模组列表的文件“%1”已损坏").arg(shownPath(path)));
    return std::optional(o);
}

Failure writeState(const QString& path, const QJsonObject& o) {
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return QStringLiteral("无法建立文件夹“%1”").arg(shownPath(QFileInfo(path).absolutePath()));
    return files::writeOutputFile(path, QJsonDocument(o).toJson(QJsonDocument::Indented));
}

Failure unknownName(const QString& name) {
    return QStringLiteral("模组列表里没有“%1”").arg(name);
}

} // namespace

QStringList Entry::files() const {
    QStringList out;
    for (const auto& f : patch.files)
        out << f.file;
    return out;
}

int Entry::fieldCount() const {
    int n = 0;
    for (const auto& f : patch.files)
        n += int(f.changes.size());
    return n;
}

QString ModList::modsFolder(const QString& folder) {
    return files::workshopOf(folder) + QStringLiteral("/mods");
}
QString ModList::originalFolder(const QString& folder) {
    return files::workshopOf(folder) + QStringLiteral("/original");
}
QString ModList::keptFolder(const QString& folder) {
    return files::workshopOf(folder) + QStringLiteral("/applied");
}

Result<ModList> ModList::open(const QString& folder) {
    ModList list;
    list.folder_ = QFileInfo(folder).absoluteFilePath();
    if (!QFileInfo(folder).isDir())
        return Result<ModList>::failure(
            QStringLiteral("找不到游戏文件夹“%1”").arg(shownPath(folder)));
    if (auto failure = list.reload())
        return Result<ModList>::failure(*failure);
    return list;
}

Failure ModList::reload() {
    entries_.clear();
    originals_.clear();
    applied_.clear();
    undo_.clear();
    const auto originals = readState(QDir(originalFolder(folder_)).filePath(originalsName),
                                     QStringLiteral("lcjoriginals"));
    if (!originals)
        return originals.error();
    if (*originals)
        for (const QJsonValue& v : (*originals)->value(QStringLiteral("files")).toArray()) {
            const QJsonObject o = v.toObject();
            Kept k{o.value(QStringLiteral("file")).toString(),
                   qint64(o.value(QStringLiteral("size")).toDouble()),
                   o.value(QStringLiteral("sha256")).toString()};
            const QString path = QDir(originalFolder(folder_)).filePath(k.file);
            const auto bytes = files::readWhole(path);
            if (k.file.isEmpty() || k.file.contains(u'/') || k.file.contains(u'\\') || !bytes ||
                sha256(*bytes) != k.sha256)
                return QStringLiteral("模组列表保存的原版文件“%1”不见了或已损坏；"
                                      "请用“从另一个文件夹取原版”重新保存原版")
                    .arg(shownPath(path));
            originals_.append(k);
        }
    const auto list =
        readState(QDir(modsFolder(folder_)).filePath(listName), QStringLiteral("lcjmods"));
    if (!list)
        return list.error();
    if (!*list)
        return std::nullopt;
    const QJsonObject& o = **list;
    for (const QJsonValue& v : o.value(QStringLiteral("entries")).toArray()) {
        const QJsonObject eo = v.toObject();
        Entry e;
        e.name = eo.value(QStringLiteral("name")).toString();
        e.enabled = eo.value(QStringLiteral("enabled")).toBool(true);
        e.sha256 = eo.value(QStringLiteral("sha256")).toString();
        e.own = eo.value(QStringLiteral("own")).toBool(false);
        const QString path = QDir(modsFolder(folder_)).filePath(e.name + patchSuffix);
        if (e.name.isEmpty() || e.name.contains(u'/') || e.name.contains(u'\\') ||
            !QFileInfo::exists(path))
            return QStringLiteral("模组列表里的“%1”找不到它的补丁文件“%2”")
                .arg(e.name, shownPath(path));
        const auto bytes = files::readWhole(path, files::SizeLimit::UserText);
        if (!bytes)
            return bytes.error();
        if (sha256(*bytes) != e.sha256)
            return QStringLiteral("模组“%1”的补丁文件“%2”在加入列表之后被改过了（SHA-256 不符）；"
                                  "请把它移出列表再重新加入")
                .arg(e.name, shownPath(path));
        if (const auto known = parsed_.constFind(e.sha256); known != parsed_.constEnd()) {
            e.patch = *known;
        } else {
            const auto p = patch::fromJson(*bytes);
            if (!p)
                return QStringLiteral("模组“%1”：%2").arg(e.name, p.error());
            e.patch = *p;
            parsed_.insert(e.sha256, *p);
        }
        entries_.append(e);
    }
    applied_ = shaMap(o.value(QStringLiteral("applied")));
    undo_ = shaMap(o.value(QStringLiteral("undo")));
    // An apply that stopped after its list was written: it counts when every
    // file holds what it was to write.
    const QJsonObject pending = o.value(QStringLiteral("pending")).toObject();
    if (!pending.isEmpty()) {
        const auto applied = shaMap(pending.value(QStringLiteral("applied")));
        bool done = true;
        for (auto it = applied.cbegin(); it != applied.cend() && done; ++it) {
            const QString path = detail::findInFolder(folder_, it.key());
            const auto bytes =
                path.isEmpty() ? Result<QByteArray>::failure({}) : files::readWhole(path);
            done = bytes && sha256(*bytes) == *it;
        }
        if (done) {
            applied_ = applied;
            undo_ = shaMap(pending.value(QStringLiteral("undo")));
        }
    }
    findProblems();
    return std::nullopt;
}

Failure ModList::saveList(const QMap<QString, QString>* pendingApplied,
                          const QMap<QString, QString>* pendingUndo) const {
    QJsonArray list;
    for (const Entry& e : entries_) {
        QJsonObject eo{{QStringLiteral("name"), e.name},
                       {QStringLiteral("enabled"), e.enabled},
                       {QStringLiteral("sha256"), e.sha256}};
        if (e.own)
            eo.insert(QStringLiteral("own"), true);
        list.append(eo);
    }
    QJsonObject o{{QStringLiteral("format"), QStringLiteral("lcjmods")},
                  {QStringLiteral("version"), 1},
                  {QStringLiteral("entries"), list},
                  {QStringLiteral("applied"), shaMap(applied_)},
                  {QStringLiteral("undo"), shaMap(undo_)}};
    if (pendingApplied)
        o.insert(QStringLiteral("pending"),
                 QJsonObject{{QStringLiteral("applied"), shaMap(*pendingApplied)},
                             {QStringLiteral("undo"),
                              shaMap(pendingUndo ? *pendingUndo : QMap<QString, QString>{})}});
    return writeState(QDir(modsFolder(folder_)).filePath(listName), o);
}

Failure ModList::saveOriginals() const {
    QJsonArray list;
    for (const Kept& k : originals_)
        list.append(QJsonObject{{QStringLiteral("file"), k.file},
                                {QStringLiteral("size"), k.size},
                                {QStringLiteral("sha256"), k.sha256}});
    return writeState(QDir(originalFolder(folder_)).filePath(originalsName),
                      QJsonObject{{QStringLiteral("format"), QStringLiteral("lcjoriginals")},
                                  {QStringLiteral("version"), 1},
                                  {QStringLiteral("files"), list}});
}

Result<QByteArray> ModList::original(const QString& file) const {
    for (const Kept& k : originals_)
        if (k.file.compare(file, Qt::CaseInsensitive) == 0) {
            const QString path = QDir(originalFolder(folder_)).filePath(k.file);
            const auto bytes = files::readWhole(path);
            if (!bytes || sha256(*bytes) != k.sha256)
                return Result<QByteArray>::failure(
                    QStringLiteral("模组列表保存的原版文件“%1”不见了或已损坏")
                        .arg(shownPath(path)));
            return bytes;
        }
    return Result<QByteArray>::failure(QStringLiteral("模组列表没有保存 %1 的原版").arg(file));
}

QStringList ModList::touchedFiles() const {
    QStringList out;
    for (const Kept& k : originals_)
        out << k.file;
    return out;
}

void ModList::findProblems() {
    const auto keysOf = [&](const Kept& kept) -> const std::optional<QSet<QString>>& {
        const QString& file = kept.file;
        auto it = fieldKeys_.find(kept.sha256);
        if (it != fieldKeys_.end())
            return *it;
        std::optional<QSet<QString>> set;
        const auto bytes = original(file);
        const auto kind = patch::kindOfName(file);
        if (bytes && kind)
            if (const auto cells = patch::readCells(*kind, file, *bytes)) {
                set.emplace();
                for (const patch::Cell& c : *cells)
                    set->insert(c.key());
            }
        return *fieldKeys_.insert(kept.sha256, set);
    };
    for (Entry& e : entries_) {
        e.problem.clear();
        e.notes.clear();
        if (e.own)
            continue;
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
    if (!bytes)
        return R::failure(bytes.error());
    const auto p = patch::fromJson(*bytes);
    if (!p)
        return R::failure(QStringLiteral("“%1”：%2").arg(shownPath(patchPath), p.error()));
    if (auto failure = detail::folderUnwritable(folder_))
        return R::failure(*failure + QStringLiteral("\n没有加入模组。"));
    const auto lock =
        files::WriteLock::take(QStringList{QDir(folder_).filePath(QStringLiteral("mods.list"))});
    if (!lock)
        return R::failure(lock.error());
    if (auto failure = reload())
        return R::failure(*failure);
    AddResult result;
    const QString sha = sha256(*bytes);
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
        const QString path = detail::findInFolder(folder_, fp.file);
        if (known || path.isEmpty())
            continue;
        const auto now = files::readWhole(path);
        if (!now)
            return R::failure(now.error() + QStringLiteral("\n没有加入模组。"));
        fresh.append({QFileInfo(path).fileName(), now->size(), sha256(*now)});
        freshBytes.append(*now);
    }
    if (auto failure = files::makeWorkshop(folder_))
        return R::failure(*failure);
    for (const QString& sub : {modsFolder(folder_), originalFolder(folder_)})
        if (!QDir().mkpath(sub))
            return R::failure(
                QStringLiteral("无法建立文件夹“%1”，没有加入模组。").arg(shownPath(sub)));
    for (qsizetype k = 0; k < fresh.size(); ++k)
        if (auto failure = files::writeOutputFile(
                QDir(originalFolder(folder_)).filePath(fresh[k].file), freshBytes[k]))
            return R::failure(*failure + QStringLiteral("\n没有加入模组。"));
    if (auto failure =
            files::writeOutputFile(QDir(modsFolder(folder_)).filePath(name + patchSuffix), *bytes))
        return R::failure(*failure + QStringLiteral("\n没有加入模组。"));
    const auto keptBefore = originals_;
    originals_.append(fresh);
    if (auto failure = saveOriginals()) {
        originals_ = keptBefore;
        return R::failure(*failure + QStringLiteral("\n没有加入模组。"));
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
    if (auto failure = saveList()) {
        entries_.removeAt(at);
        return R::failure(*failure + QStringLiteral("\n没有加入模组。"));
    }
    findProblems();
    result.name = name;
    // Fields of the kept original that already hold what the patch sets.
    for (const patch::FilePatch& fp : p->files) {
        const auto orig = original(fp.file);
        if (!orig)
            continue;
        const auto cells = patch::readCells(fp.kind, fp.file, *orig);
        if (!cells)
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

namespace {

qsizetype indexOf(const QList<Entry>& entries, const QString& name) {
    for (qsizetype i = 0; i < entries.size(); ++i)
        if (entries[i].name == name)
            return i;
    return -1;
}

} // namespace

Failure ModList::remove(const QString& name) {
    if (auto failure = detail::folderUnwritable(folder_))
        return failure;
    const auto lock =
        files::WriteLock::take(QStringList{QDir(folder_).filePath(QStringLiteral("mods.list"))});
    if (!lock)
        return lock.error();
    if (auto failure = reload())
        return failure;
    const qsizetype i = indexOf(entries_, name);
    if (i < 0)
        return unknownName(name);
    const Entry gone = entries_.takeAt(i);
    if (auto failure = saveList()) {
        entries_.insert(i, gone);
        return failure;
    }
    QFile::remove(QDir(modsFolder(folder_)).filePath(name + patchSuffix));
    return std::nullopt;
}

Failure ModList::setEnabled(const QString& name, bool enabled) {
    if (auto failure = detail::folderUnwritable(folder_))
        return failure;
    const auto lock =
        files::WriteLock::take(QStringList{QDir(folder_).filePath(QStringLiteral("mods.list"))});
    if (!lock)
        return lock.error();
    if (auto failure = reload())
        return failure;
    const qsizetype i = indexOf(entries_, name);
    if (i < 0)
        return unknownName(name);
    entries_[i].enabled = enabled;
    if (auto failure = saveList()) {
        entries_[i].enabled = !enabled;
        return failure;
    }
    return std::nullopt;
}

Failure ModList::move(const QString& name, int position) {
    if (auto failure = detail::folderUnwritable(folder_))
        return failure;
    const auto lock =
        files::WriteLock::take(QStringList{QDir(folder_).filePath(QStringLiteral("mods.list"))});
    if (!lock)
        return lock.error();
    if (auto failure = reload())
        return failure;
    const qsizetype i = indexOf(entries_, name);
    if (i < 0)
        return unknownName(name);
    if (entries_[i].own)
        return QStringLiteral("“%1”总在最后，不能移动").arg(name);
    qsizetype mods = 0;
    for (const Entry& e : entries_)
        mods += e.own ? 0 : 1;
    if (position < 0 || position >= mods)
        return QStringLiteral("位置 %1 不在 1 到 %2 之间").arg(position + 1).arg(mods);
    const auto before = entries_;
    entries_.move(i, position);
    if (auto failure = saveList()) {
        entries_ = before;
        return failure;
    }
    return std::nullopt;
}

Failure ModList::takeOriginalsFrom(const QString& other) {
    if (auto failure = detail::folderUnwritable(folder_))
        return failure;
    const auto lock =
        files::WriteLock::take(QStringList{QDir(folder_).filePath(QStringLiteral("mods.list"))});
    if (!lock)
        return lock.error();
    if (auto failure = reload())
        return failure;
    QList<QByteArray> bytes;
    for (const Kept& k : originals_) {
        const QString path = detail::findInFolder(other, k.file);
        if (path.isEmpty())
            return QStringLiteral("“%1”里没有 %2，原版保持不变。").arg(shownPath(other), k.file);
        const auto b = files::readWhole(path);
        if (!b)
            return b.error() + QStringLiteral("\n原版保持不变。");
        bytes.append(*b);
    }
    for (qsizetype k = 0; k < originals_.size(); ++k) {
        if (auto failure = files::writeOutputFile(
                QDir(originalFolder(folder_)).filePath(originals_[k].file), bytes[k]))
            return failure;
        originals_[k].size = bytes[k].size();
        originals_[k].sha256 = sha256(bytes[k]);
    }
    if (auto failure = saveOriginals())
        return failure;
    findProblems();
    return std::nullopt;
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
            } else if (const auto ref = reference(nf.file)) {
                const auto cells = patch::readCells(nf.kind, nf.file, *ref);
                if (cells)
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
                if (where)
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
    entries_[own].sha256 = sha256(json);
    if (!save)
        return std::nullopt;
    if (auto failure = files::makeWorkshop(folder_))
        return failure;
    if (!QDir().mkpath(modsFolder(folder_)))
        return QStringLiteral("无法建立文件夹“%1”").arg(shownPath(modsFolder(folder_)));
    if (auto failure = files::writeOutputFile(
            QDir(modsFolder(folder_)).filePath(ownLayerName + patchSuffix), json))
        return failure;
    return saveList();
}

} // namespace lcj::changes::mods
