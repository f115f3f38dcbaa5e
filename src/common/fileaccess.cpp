#include "fileaccess.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <array>

namespace lcj::files {

namespace {

std::array<int, 4> pendingFaults{};

// True when a pending fault of this kind is due; uses it up.
bool meets(Fault fault) {
    int& left = pendingFaults[static_cast<std::size_t>(fault)];
    if (left <= 0)
        return false;
    --left;
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

Failure keepBackup(const QString& path) {
    const QString backup = backupPath(path);
    if (!QFileInfo::exists(path) || QFileInfo::exists(backup))
        return std::nullopt;
    if (!QFile::copy(path, backup))
        return QStringLiteral("无法建立备份文件“%1”，没有写入任何内容").arg(shown(backup));
    return std::nullopt;
}

} // namespace

QString backupPath(const QString& path) {
    return path + QStringLiteral(".bak");
}

void injectFault(Fault fault, int count) {
    pendingFaults[static_cast<std::size_t>(fault)] = count;
}

void clearFaults() {
    pendingFaults.fill(0);
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

Result<QByteArray> readWhole(const QString& path) {
    QFile file(path);
    if (path.isEmpty() || !openForReading(file))
        return Result<QByteArray>::failure(openError(path, file));
    QByteArray bytes = file.readAll();
    if (bytes.size() != file.size() || meets(Fault::ShortRead))
        return Result<QByteArray>::failure(readError(path));
    return bytes;
}

Failure writeRegion(const QString& path, qint64 pos, const QByteArray& bytes) {
    // The file must be there already: a region write never creates one.
    if (path.isEmpty() || !QFileInfo(path).isFile())
        return openError(path, QFile(path));
    auto whole = readWhole(path);
    if (!whole)
        return whole.error();
    if (pos < 0 || whole->size() < pos + bytes.size())
        return tooShort(path, pos + bytes.size(), whole->size());
    whole->replace(pos, bytes.size(), bytes);
    return writeWhole(path, *whole);
}

Failure writeWhole(const QString& path, const QByteArray& bytes) {
    if (path.isEmpty())
        return QStringLiteral("还没有选择文件");
    const QFileInfo info(path);
    // Replacing the file would go around its read-only mark: refuse instead.
    // The mode bits, not access(): a root user may write anything.
    const auto writeBits = QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther;
    if (info.exists() && (!info.isWritable() || !(info.permissions() & writeBits)))
        return QStringLiteral("文件“%1”是只读的，无法写入").arg(shown(path));
    if (auto failure = keepBackup(path))
        return failure;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return QStringLiteral("无法写入文件“%1”：%2").arg(shown(path), file.errorString());
    if (meets(Fault::WriteError) || file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        file.commit();
        return QStringLiteral("写入文件“%1”出错，文件保持原样").arg(shown(path));
    }
    if (meets(Fault::CommitFailure)) {
        file.cancelWriting();
        file.commit();
        return QStringLiteral("写入文件“%1”出错，文件保持原样").arg(shown(path));
    }
    if (!file.commit())
        return QStringLiteral("写入文件“%1”出错，文件保持原样：%2")
            .arg(shown(path), file.errorString());
    return std::nullopt;
}

} // namespace lcj::files
