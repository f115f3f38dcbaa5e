#include "fileaccess.h"

#include "durablefile.h"
#include "virtualstore.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QStorageInfo>
#include <QThread>
#include <algorithm>
#include <array>
#include <cstring>

namespace lcj::files {

namespace {

struct Pending {
    int count = 0; // faults still to come
    int after = 0; // operations that go through before them
};
std::array<Pending, 7> pendingFaults{};

// True when a pending fault of this kind is due; uses it up.
bool meets(Fault fault) {
    Pending& p = pendingFaults[static_cast<std::size_t>(fault)];
    if (p.count <= 0)
        return false;
    if (p.after > 0) {
        --p.after;
        return false;
    }
    --p.count;
    return true;
}

QString shown(const QString& path) {
    return QDir::toNativeSeparators(path);
}

QString openError(const QString& path, const QFile& file) {
    if (path.isEmpty())
        return QStringLiteral("还没有选择文件");
    if (!QFileInfo::exists(path))
        return QStringLiteral("找不到文件“%1”").arg(shown(path));
    return QStringLiteral("无法打开文件“%1”：%2").arg(shown(path), file.errorString());
}

QString readError(const QString& path) {
    return QStringLiteral("读取文件“%1”出错，没有读到完整的内容").arg(shown(path));
}

QString tooShort(const QString& path, qint64 needed, qint64 actual) {
    return QStringLiteral("文件“%1”太短：需要至少%2字节，实际只有%3字节")
        .arg(shown(path))
        .arg(needed)
        .arg(actual);
}

bool openForReading(QFile& file) {
    if (meets(Fault::OpenRefused))
        return false;
    return file.open(QIODevice::ReadOnly);
}

// Writes every byte of `bytes`; a short or failed write is false. A large
// file goes in pieces, each sent on to the disk while the next is written, so
// that the sync after it waits for less.
bool writeAll(QFileDevice& file, const QByteArray& bytes) {
    constexpr qint64 piece = qint64(2) << 20;
    qint64 done = 0;
    while (done < bytes.size()) {
        const qint64 n = file.write(bytes.constData() + done, std::min(piece, bytes.size() - done));
        if (n <= 0)
            return false;
        if (bytes.size() > piece)
            durable::startWriting(file, done, n);
        done += n;
    }
    return true;
}

// `failed`, followed by why, as far as the system tells: a full disk is named.
QString writeFailure(const QString& failed, const QString& path, const QString& reason,
                     qint64 needed) {
    const QStorageInfo disk(QFileInfo(path).absolutePath());
    if (disk.isValid() && disk.bytesAvailable() < needed)
        return failed + QStringLiteral("：磁盘空间不足（需要%1字节，只剩%2字节）")
                            .arg(needed)
                            .arg(std::max<qint64>(0, disk.bytesAvailable()));
    return reason.isEmpty() ? failed : failed + QStringLiteral("：") + reason;
}

// Opens a new, empty file in the workshop of the folder of `path`, under a
// name no file has yet that carries this process's id.
bool createBeside(const QString& path, QFile& file, bool injectable) {
    if (injectable && meets(Fault::CreateRefused))
        return false;
    const QString folder = QFileInfo(path).absolutePath();
    const QString workshop = workshopOf(folder);
    for (int attempt = 0; attempt < 16; ++attempt) {
        // Another writer that just finished may take away an empty workshop, even
        // between the look for it and the making of it: another try.
        if (!makeWorkshop(folder).ok())
            continue;
        file.setFileName(workshop +
                         QStringLiteral("/%1-%2.tmp")
                             .arg(QCoreApplication::applicationPid())
                             .arg(qulonglong(QRandomGenerator::global()->bounded(0x1000000)), 6, 16,
                                  QChar(u'0')));
        if (file.open(QIODevice::WriteOnly | QIODevice::NewOnly | QIODevice::Unbuffered))
            return true;
        // A name taken, or the workshop taken away and perhaps made again by
        // now: another try. A folder that refuses every try ends it.
    }
    return false;
}

// The folder of `path` when it is one where Windows lets only an
// administrator write, else an empty string.
QString guardedFolder(const QString& path) {
    const QString folder = QFileInfo(path).absolutePath();
    if (!QFileInfo(folder).isDir() || !virtualstore::isGuarded(path, virtualstore::systemFolders()))
        return {};
    return folder;
}

QString needsAdministrator(const QString& folder) {
    return QStringLiteral("文件夹“%1”需要管理员权限才能写入，文件保持原样。"
                          "请把整个游戏复制到别的文件夹（例如“文档”里）再修改。")
        .arg(shown(folder));
}

std::chrono::milliseconds busyWait = defaultBusyWait;

// Puts `finished` in the place of `path`, trying again for a while when
// another program holds `path` open.
durable::Replacement replaceWhenFree(const QString& path, const QString& finished, bool injectable,
                                     bool syncNames = true) {
    const QDeadlineTimer deadline(busyWait);
    for (;;) {
        durable::Replacement r;
        if (injectable && meets(Fault::CommitFailure))
            r = {durable::Replacement::Failed, false, {}};
        else if (injectable && meets(Fault::Busy))
            r = {durable::Replacement::Busy, false, {}};
        else
            r = durable::replaceWith(path, finished, syncNames);
        if (r.outcome == durable::Replacement::Done && injectable && meets(Fault::FolderUnsynced))
            r = {durable::Replacement::Unconfirmed, false, {}};
        if (r.outcome != durable::Replacement::Busy || deadline.hasExpired())
            return r;
        QThread::msleep(static_cast<unsigned long>(
            std::min<qint64>(100, std::max<qint64>(1, deadline.remainingTime()))));
    }
}

// What a replace that went as `r` tells the user; `discard` takes away the
// finished file where it is still there.
template <typename Discard>
Failure replacementFailure(const QString& path, const durable::Replacement& r,
                           const QString& failed, Discard discard) {
    switch (r.outcome) {
    case durable::Replacement::Done:
        return {};
    case durable::Replacement::Unconfirmed:
        // The rename has happened: the file holds the new bytes, only the
        // system's word that they stay there after a power cut is missing.
        return QStringLiteral("“%1”已经写好，但系统没有确认这一更改已存到磁盘上%2。"
                              "断电或拔出磁盘时它可能还是原来的样子，请再保存一次。")
            .arg(shown(path),
                 r.reason.isEmpty() ? QString() : QStringLiteral("（%1）").arg(r.reason));
    case durable::Replacement::Stranded:
        discard();
        return QStringLiteral("写入文件“%1”出错：%2").arg(shown(path), r.reason);
    case durable::Replacement::Busy:
    case durable::Replacement::Failed:
        break;
    }
    discard();
    if (r.denied) {
        const QString folder = guardedFolder(path);
        if (!folder.isEmpty())
            return needsAdministrator(folder);
    }
    if (r.outcome == durable::Replacement::Busy)
        return QStringLiteral(
                   "“%1”正被其他程序使用（游戏或杀毒软件？），请关闭它后再保存；文件保持原样。")
            .arg(shown(path));
    return writeFailure(failed, path, r.reason, 0);
}

// Builds the new file in the workshop and replaces `path` with it only once
// every byte is on the disk; on any failure `path` stays exactly as it was,
// nothing new is left behind, and the message starts with `failed`. The new
// file takes the owner and permissions of `like` where that exists. Injected
// faults hit only the file itself, not its backup (`injectable` false).
Failure replace(const QString& path, const QByteArray& bytes, const QString& like,
                const QString& failed, bool injectable = true) {
    // A link is followed: the file it leads to is replaced and the link stays.
    QFileInfo target(path);
    for (int depth = 0; depth < 128 && target.isSymLink(); ++depth)
        target.setFile(target.symLinkTarget());
    const QString real = target.filePath();
    QFile file;
    if (!createBeside(real, file, injectable)) {
        const QString folder = guardedFolder(path);
        if (!folder.isEmpty())
            return needsAdministrator(folder);
        // No workshop to write in: why.
        if (auto why = makeWorkshop(QFileInfo(real).absolutePath()); !why.ok())
            return why;
        tidyWorkshop(QFileInfo(real).absolutePath());
        return writeFailure(failed, path, file.errorString(), 0);
    }
    const auto discard = [&file, &real] {
        file.close();
        QFile::remove(file.fileName());
        tidyWorkshop(QFileInfo(real).absolutePath());
    };
    const QFileInfo model(like);
    if (model.exists()) {
        durable::keepOwner(file, like);
        file.setPermissions(model.permissions());
    }
    bool written = !(injectable && meets(Fault::WriteError)) && writeAll(file, bytes);
    // The size check catches a device that took fewer bytes than it said.
    written = written && durable::syncToDisk(file) && file.size() == bytes.size();
    if (!written) {
        const QString reason =
            file.error() == QFileDevice::NoError ? QString() : file.errorString();
        discard();
        return writeFailure(failed, path, reason, bytes.size());
    }
    file.close();
    const durable::Replacement r = replaceWhenFree(real, file.fileName(), injectable);
    if (r.outcome == durable::Replacement::Done || r.outcome == durable::Replacement::Unconfirmed)
        tidyWorkshop(QFileInfo(real).absolutePath());
    return replacementFailure(path, r, failed, discard);
}

// Keeps a copy of `path` as NAME.bak before its first write. The copy is made
// the same safe way, so there is a whole backup or none: a cut-short backup
// would be kept for good, since it is never overwritten.
Failure keepBackup(const QString& path, const QByteArray* onDisk) {
    const QString backup = backupPath(path);
    const QFileInfo info(backup);
    if (info.isDir())
        return QStringLiteral("备份文件的位置“%1”是一个文件夹，无法保留备份，没有写入任何内容")
            .arg(shown(backup));
    if (!QFileInfo::exists(path) || info.exists() || info.isSymLink())
        return {};
    const auto original = onDisk ? Result<QByteArray>(*onDisk) : readWhole(path);
    if (!original.ok())
        return original.error() + QStringLiteral("\n没有写入任何内容");
    return replace(backup, *original, path,
                   QStringLiteral("无法建立备份文件“%1”，没有写入任何内容").arg(shown(backup)),
                   false);
}

} // namespace

QString sha256Hex(const QByteArray& bytes) {
    return QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex());
}

QString backupPath(const QString& path) {
    return path + QStringLiteral(".bak");
}

QString workshopOf(const QString& folder) {
    return QDir(folder).filePath(QString::fromUtf16(workshopName));
}

Failure makeWorkshop(const QString& folder) {
    const QString workshop = workshopOf(folder);
    const QFileInfo info(workshop);
    if (info.isDir())
        return {};
    if (info.exists() || info.isSymLink())
        return QStringLiteral("“%1”不是文件夹，无法在那里准备写入；没有写入任何内容")
            .arg(shown(workshop));
    if (!QDir(folder).mkdir(QString::fromUtf16(workshopName)) && !QFileInfo(workshop).isDir()) {
        const QStorageInfo disk(folder);
        if (disk.isValid() && disk.bytesAvailable() < std::max(disk.blockSize(), 4096))
            return QStringLiteral(
                       "无法建立文件夹“%1”：磁盘空间不足（只剩%2字节），没有写入任何内容")
                .arg(shown(workshop))
                .arg(std::max<qint64>(0, disk.bytesAvailable()));
        return QStringLiteral("无法建立文件夹“%1”，没有写入任何内容").arg(shown(workshop));
    }
    durable::hideFolder(workshop);
    return {};
}

void tidyWorkshop(const QString& folder) {
    // rmdir takes only an empty folder: another writer's files keep it.
    QDir(folder).rmdir(QString::fromUtf16(workshopName));
}

void injectFault(Fault fault, int count, int after) {
    pendingFaults[static_cast<std::size_t>(fault)] = {count, after};
}

void setBusyWait(std::chrono::milliseconds wait) {
    busyWait = wait;
}

void clearFaults() {
    pendingFaults.fill({});
}

Result<qint64> size(const QString& path) {
    QFile file(path);
    if (path.isEmpty() || !openForReading(file))
        return Result<qint64>::failure(openError(path, file));
    return file.size();
}

Result<QByteArray> readRegion(const QString& path, qint64 pos, qint64 length) {
    QFile file(path);
    if (path.isEmpty() || !openForReading(file))
        return Result<QByteArray>::failure(openError(path, file));
    if (pos < 0 || length < 0 || file.size() < pos + length)
        return Result<QByteArray>::failure(tooShort(path, pos + length, file.size()));
    if (!file.seek(pos))
        return Result<QByteArray>::failure(readError(path));
    QByteArray bytes = file.read(length);
    if (bytes.size() != length || meets(Fault::ShortRead))
        return Result<QByteArray>::failure(readError(path));
    return bytes;
}

qint64 maxBytes(SizeLimit limit) {
    return limit == SizeLimit::UserText ? qint64(256) << 20 : qint64(64) << 20;
}

Result<QByteArray> readWhole(const QString& path, SizeLimit limit) {
    using R = Result<QByteArray>;
    const qint64 most = maxBytes(limit);
    const auto tooLarge = [&] {
        return R::failure(
            QStringLiteral("“%1”太大：超过了%2 MiB，不能读取").arg(shown(path)).arg(most >> 20));
    };
    QFile file(path);
    if (path.isEmpty() || !openForReading(file))
        return R::failure(openError(path, file));
    // A file whose size is known is refused before any of it is read.
    if (!file.isSequential() && file.size() > most)
        return tooLarge();
    // Read in pieces so that a pipe or device with no end is stopped just past
    // the size, with no more than that held.
    constexpr qint64 piece = qint64(1) << 20;
    // A file is read to its size, then asked for one byte more: that byte
    // shows a file that grew meanwhile.
    const qint64 expected = file.isSequential() ? -1 : file.size();
    QByteArray bytes;
    bytes.reserve(expected + 1);
    for (;;) {
        const qint64 at = bytes.size();
        const qint64 want = at < expected    ? std::min(piece, expected - at)
                            : at == expected ? 1
                                             : std::min(piece, most + 1 - at);
        bytes.resize(at + want);
        const qint64 n = file.read(bytes.data() + at, want);
        if (n < 0) {
            bytes.resize(at);
            return R::failure(readError(path));
        }
        bytes.resize(at + n);
        if (bytes.size() > most) {
            if (file.isSequential())
                return R::failure(QStringLiteral("“%1”不是普通文件，读到%2 MiB还没有结束，不能读取")
                                      .arg(shown(path))
                                      .arg(most >> 20));
            return tooLarge();
        }
        if (n == 0)
            break;
    }
    // A pipe has no size to hold the bytes against: it is read to its end.
    const bool whole =
        file.isSequential() ? file.error() == QFileDevice::NoError : bytes.size() == file.size();
    if (!whole || meets(Fault::ShortRead))
        return R::failure(readError(path));
    if (file.isSequential())
        bytes.squeeze();
    return bytes;
}

bool holdsExactly(QFile& file, const QByteArray& bytes) {
    if (file.isSequential() || file.size() - file.pos() != bytes.size())
        return false;
    constexpr qint64 piece = qint64(1) << 20;
    // One piece's room, used again for each.
    QByteArray buffer(std::min(piece, bytes.size()) + 1, Qt::Uninitialized);
    for (qint64 at = 0; at < bytes.size();) {
        const qint64 n = file.read(buffer.data(), std::min(piece, bytes.size() - at));
        if (n <= 0 || std::memcmp(buffer.constData(), bytes.constData() + at, size_t(n)) != 0)
            return false;
        at += n;
    }
    // A file that grew while it was read holds more.
    return file.read(buffer.data(), 1) == 0;
}

Result<QByteArray> readWholeAgain(const QString& path, const QByteArray& written) {
    QFile file(path);
    if (path.isEmpty() || !openForReading(file))
        return Result<QByteArray>::failure(openError(path, file));
    // A file that differs, or that could not be read to its end, is read whole: what it
    // holds, or why not.
    if (!holdsExactly(file, written))
        return readWhole(path);
    if (meets(Fault::ShortRead))
        return Result<QByteArray>::failure(readError(path));
    return written;
}

Failure writeRegion(const QString& path, qint64 pos, const QByteArray& bytes) {
    return writeRegions(path, {{pos, bytes}});
}

Failure writeRegions(const QString& path, const QList<Patch>& patches, QByteArray* written) {
    // The file must be there already: a region write never creates one.
    if (path.isEmpty() || !QFileInfo(path).isFile())
        return openError(path, QFile(path));
    auto whole = readWhole(path);
    if (!whole.ok())
        return whole.error();
    // A file that does not reach every region gets none of them.
    qint64 reach = 0;
    bool inside = true;
    for (const Patch& p : patches) {
        reach = std::max(reach, p.pos + p.bytes.size());
        inside = inside && p.pos >= 0;
    }
    if (!inside || whole->size() < reach)
        return tooShort(path, reach, whole->size());
    for (const Patch& p : patches)
        whole->replace(p.pos, p.bytes.size(), p.bytes);
    if (auto failure = writeWhole(path, *whole); !failure.ok())
        return failure;
    if (written)
        *written = std::move(*whole);
    return {};
}

namespace {

// Why `path` cannot be written at all, before anything is: a folder, or a file
// marked read-only.
Failure unwritable(const QString& path) {
    if (path.isEmpty())
        return QStringLiteral("还没有选择文件");
    const QFileInfo info(path);
    if (info.isDir())
        return QStringLiteral("“%1”是一个文件夹，无法写入").arg(shown(path));
    // Replacing the file would go around its read-only mark: refuse instead.
    // The mode bits, not access(): a root user may write anything.
    const auto writeBits = QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther;
    if (info.exists() && (!info.isWritable() || !(info.permissions() & writeBits)))
        return QStringLiteral("文件“%1”是只读的，无法写入").arg(shown(path));
    return {};
}

} // namespace

Failure writeWhole(const QString& path, const QByteArray& bytes, const QByteArray* onDisk) {
    if (auto failure = unwritable(path); !failure.ok())
        return failure;
    if (auto failure = keepBackup(path, onDisk); !failure.ok())
        return failure;
    return replace(path, bytes, path,
                   QStringLiteral("写入文件“%1”出错，文件保持原样").arg(shown(path)));
}

namespace steps {

Failure unwritable(const QString& path) {
    return files::unwritable(path);
}

Failure keepBackup(const QString& path, const QByteArray* onDisk) {
    return files::keepBackup(path, onDisk);
}

Failure writeNew(const QString& path, const QByteArray& bytes, const QString& like) {
    const QString failed = QStringLiteral("写入文件“%1”出错").arg(shown(path));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly | QIODevice::Unbuffered))
        return writeFailure(failed, path, file.errorString(), bytes.size());
    const QFileInfo model(like);
    if (model.exists()) {
        durable::keepOwner(file, like);
        file.setPermissions(model.permissions());
    }
    const bool written =
        writeAll(file, bytes) && durable::syncToDisk(file) && file.size() == bytes.size();
    if (written)
        return {};
    const QString reason = file.error() == QFileDevice::NoError ? QString() : file.errorString();
    file.close();
    QFile::remove(path);
    return writeFailure(failed, path, reason, bytes.size());
}

Failure replace(const QString& target, const QString& finished) {
    const durable::Replacement r = replaceWhenFree(target, finished, true, false);
    // Unconfirmed: the rename is done; the folder is synced again at the end.
    if (r.outcome == durable::Replacement::Unconfirmed)
        return {};
    return replacementFailure(
        target, r, QStringLiteral("写入文件“%1”出错，文件保持原样").arg(shown(target)), [] {});
}

} // namespace steps

Failure writeOutputFile(const QString& path, const QByteArray& bytes) {
    if (auto failure = unwritable(path); !failure.ok())
        return failure;
    return replace(path, bytes, path,
                   QStringLiteral("写入文件“%1”出错，文件保持原样").arg(shown(path)));
}

} // namespace lcj::files
