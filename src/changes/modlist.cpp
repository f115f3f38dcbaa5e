// The mod list's state in the game folder's workshop: the list, the copies
// of its patches and the kept originals; moving, switching and removing
// entries.
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
#include <QScopeGuard>
#include <QSet>

namespace lcj::changes::mods {

namespace detail {

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
    return {};
}

QString shownPath(const QString& path) {
    return QDir::toNativeSeparators(path);
}

} // namespace detail

namespace {

const QString listName = QStringLiteral("list.json");
const QString originalsName = QStringLiteral("originals.json");
using detail::patchSuffix;
using detail::shownPath;

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
    if (!bytes.ok())
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
QString ModList::listFile(const QString& folder) {
    return QDir(modsFolder(folder)).filePath(listName);
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
    if (auto failure = list.reload(); !failure.ok())
        return Result<ModList>::failure(failure.error());
    return list;
}

Result<ModList> ModList::openToRepair(const QString& folder) {
    ModList list;
    list.folder_ = QFileInfo(folder).absoluteFilePath();
    if (auto failure = list.reload(false); !failure.ok())
        return Result<ModList>::failure(failure.error());
    return list;
}

Failure ModList::reload(bool strict) {
    QHash<QString, QString> damaged; // entry → why it cannot be read, when not strict
    entries_.clear();
    originals_.clear();
    applied_.clear();
    undo_.clear();
    const auto originals = readState(QDir(originalFolder(folder_)).filePath(originalsName),
                                     QStringLiteral("lcjoriginals"));
    if (!originals.ok())
        return originals.error();
    if (*originals)
        for (const QJsonValue& v : (*originals)->value(QStringLiteral("files")).toArray()) {
            const QJsonObject o = v.toObject();
            Kept k{o.value(QStringLiteral("file")).toString(),
                   qint64(o.value(QStringLiteral("size")).toDouble()),
                   o.value(QStringLiteral("sha256")).toString()};
            const QString path = QDir(originalFolder(folder_)).filePath(k.file);
            const auto bytes = files::readWhole(path);
            if (k.file.isEmpty() || k.file.contains(u'/') || k.file.contains(u'\\'))
                return QStringLiteral("模组列表的文件“%1”已损坏")
                    .arg(shownPath(QDir(originalFolder(folder_)).filePath(originalsName)));
            if (strict && (!bytes.ok() || files::sha256Hex(*bytes) != k.sha256))
                return QStringLiteral("模组列表保存的原版文件“%1”不见了或已损坏；"
                                      "请从一份没有改过的游戏文件夹重新取原版")
                    .arg(shownPath(path));
            originals_.append(k);
        }
    const auto list =
        readState(QDir(modsFolder(folder_)).filePath(listName), QStringLiteral("lcjmods"));
    if (!list.ok())
        return list.error();
    if (!*list)
        return {};
    const QJsonObject& o = **list;
    for (const QJsonValue& v : o.value(QStringLiteral("entries")).toArray()) {
        const QJsonObject eo = v.toObject();
        Entry e;
        e.name = eo.value(QStringLiteral("name")).toString();
        e.enabled = eo.value(QStringLiteral("enabled")).toBool(true);
        e.sha256 = eo.value(QStringLiteral("sha256")).toString();
        e.own = eo.value(QStringLiteral("own")).toBool(false);
        const QString path = QDir(modsFolder(folder_)).filePath(e.name + patchSuffix);
        if (e.name.isEmpty() || e.name.contains(u'/') || e.name.contains(u'\\'))
            return QStringLiteral("模组列表的文件“%1”已损坏")
                .arg(shownPath(QDir(modsFolder(folder_)).filePath(listName)));
        const auto why = [&]() -> Failure {
            if (!QFileInfo::exists(path))
                return QStringLiteral("模组列表里的“%1”找不到它的补丁文件“%2”")
                    .arg(e.name, shownPath(path));
            const auto bytes = files::readWhole(path, files::SizeLimit::UserText);
            if (!bytes.ok())
                return bytes.error();
            if (files::sha256Hex(*bytes) != e.sha256)
                return QStringLiteral(
                           "模组“%1”的补丁文件“%2”在加入列表之后被改过了（SHA-256 不符）；"
                           "请把它移出列表再重新加入")
                    .arg(e.name, shownPath(path));
            if (const auto known = parsed_.constFind(e.sha256); known != parsed_.constEnd()) {
                e.patch = *known;
                return {};
            }
            const auto p = patch::fromJson(*bytes);
            if (!p.ok())
                return QStringLiteral("模组“%1”：%2").arg(e.name, p.error());
            e.patch = *p;
            parsed_.insert(e.sha256, *p);
            return {};
        }();
        if (!why.ok() && strict)
            return why;
        if (!why.ok())
            damaged.insert(e.name, why.error());
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
            const QString path = fields::fileIn(folder_, it.key());
            const auto bytes =
                path.isEmpty() ? Result<QByteArray>::failure({}) : files::readWhole(path);
            done = bytes.ok() && files::sha256Hex(*bytes) == *it;
        }
        if (done) {
            applied_ = applied;
            undo_ = shaMap(pending.value(QStringLiteral("undo")));
        }
    }
    findProblems();
    for (Entry& e : entries_)
        if (damaged.contains(e.name))
            e.problem = damaged.value(e.name);
    return {};
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
            if (!bytes.ok() || files::sha256Hex(*bytes) != k.sha256)
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

namespace {

qsizetype indexOf(const QList<Entry>& entries, const QString& name) {
    for (qsizetype i = 0; i < entries.size(); ++i)
        if (entries[i].name == name)
            return i;
    return -1;
}

} // namespace

QStringList ModList::listLock() const {
    return {QDir(folder_).filePath(QStringLiteral("mods.list"))};
}

Result<files::WriteLock> ModList::hold(const QStringList& paths, bool strict,
                                       const QString& refusedNote) {
    if (!paths.isEmpty())
        if (auto failure = detail::folderUnwritable(folder_); !failure.ok())
            return Failure(failure.error() + refusedNote);
    auto lock = files::WriteLock::take(paths);
    if (!lock.ok())
        return lock.why();
    if (auto failure = reload(strict); !failure.ok())
        return failure;
    return lock;
}

Failure ModList::remove(const QString& name) {
    const auto held = hold(listLock(), false);
    if (!held.ok())
        return held.why();
    const qsizetype i = indexOf(entries_, name);
    if (i < 0)
        return unknownName(name);
    const Entry gone = entries_.takeAt(i);
    if (auto failure = saveList(); !failure.ok()) {
        entries_.insert(i, gone);
        return failure;
    }
    QFile::remove(QDir(modsFolder(folder_)).filePath(name + patchSuffix));
    return {};
}

Failure ModList::setEnabled(const QString& name, bool enabled) {
    const auto held = hold(listLock());
    if (!held.ok())
        return held.why();
    const qsizetype i = indexOf(entries_, name);
    if (i < 0)
        return unknownName(name);
    entries_[i].enabled = enabled;
    if (auto failure = saveList(); !failure.ok()) {
        entries_[i].enabled = !enabled;
        return failure;
    }
    return {};
}

Failure ModList::move(const QString& name, int position) {
    const auto held = hold(listLock());
    if (!held.ok())
        return held.why();
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
    if (auto failure = saveList(); !failure.ok()) {
        entries_ = before;
        return failure;
    }
    return {};
}

Failure ModList::takeOriginalsFrom(const QString& other) {
    const auto held = hold(listLock(), false);
    if (!held.ok())
        return held.why();
    QList<QByteArray> bytes;
    for (const Kept& k : originals_) {
        const QString path = fields::fileIn(other, k.file);
        if (path.isEmpty())
            return QStringLiteral("“%1”里没有 %2，原版保持不变。").arg(shownPath(other), k.file);
        const auto b = files::readWhole(path);
        if (!b.ok())
            return b.error() + QStringLiteral("\n原版保持不变。");
        bytes.append(*b);
    }
    // A file the last write left as its old original is compared with that
    // later: the old original stays, with what the list wrote.
    for (const Kept& k : originals_) {
        const auto old = original(k.file);
        if (old.ok() && applied_.value(k.file) == k.sha256 && QDir().mkpath(keptFolder(folder_)))
            if (auto failure =
                    files::writeOutputFile(QDir(keptFolder(folder_)).filePath(k.sha256), *old);
                !failure.ok())
                return failure.error() + QStringLiteral("\n原版保持不变。");
    }
    for (qsizetype k = 0; k < originals_.size(); ++k) {
        if (auto failure = files::writeOutputFile(
                QDir(originalFolder(folder_)).filePath(originals_[k].file), bytes[k]);
            !failure.ok())
            return failure;
        originals_[k].size = bytes[k].size();
        originals_[k].sha256 = files::sha256Hex(bytes[k]);
    }
    if (auto failure = saveOriginals(); !failure.ok())
        return failure;
    findProblems();
    return {};
}

} // namespace lcj::changes::mods
