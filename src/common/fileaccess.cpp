#include "fileaccess.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace lcj::files {

namespace {

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

QString tooShort(const QString& path, qint64 needed, qint64 actual) {
    return QStringLiteral("文件“%1”太短：需要至少%2字节，实际只有%3字节")
        .arg(shown(path))
        .arg(needed)
        .arg(actual);
}

} // namespace

Result<qint64> size(const QString& path) {
    QFile file(path);
    if (path.isEmpty() || !file.open(QIODevice::ReadOnly))
        return Result<qint64>::failure(openError(path, file));
    return file.size();
}

Result<QByteArray> readRegion(const QString& path, qint64 pos, qint64 length) {
    QFile file(path);
    if (path.isEmpty() || !file.open(QIODevice::ReadOnly))
        return Result<QByteArray>::failure(openError(path, file));
    if (pos < 0 || length < 0 || file.size() < pos + length)
        return Result<QByteArray>::failure(tooShort(path, pos + length, file.size()));
    if (!file.seek(pos))
        return Result<QByteArray>::failure(
            QStringLiteral("读取文件“%1”出错：%2").arg(shown(path), file.errorString()));
    QByteArray bytes = file.read(length);
    if (bytes.size() != length)
        return Result<QByteArray>::failure(
            QStringLiteral("读取文件“%1”出错：%2").arg(shown(path), file.errorString()));
    return bytes;
}

Failure writeRegion(const QString& path, qint64 pos, const QByteArray& bytes) {
    QFile file(path);
    // ExistingOnly: a region write never creates a file.
    if (path.isEmpty() || !file.open(QIODevice::ReadWrite | QIODevice::ExistingOnly))
        return openError(path, file);
    if (pos < 0 || file.size() < pos + bytes.size())
        return tooShort(path, pos + bytes.size(), file.size());
    if (!file.seek(pos) || file.write(bytes) != bytes.size() || !file.flush())
        return QStringLiteral("写入文件“%1”出错：%2").arg(shown(path), file.errorString());
    return std::nullopt;
}

Result<QByteArray> readWhole(const QString& path) {
    QFile file(path);
    if (path.isEmpty() || !file.open(QIODevice::ReadOnly))
        return Result<QByteArray>::failure(openError(path, file));
    QByteArray bytes = file.readAll();
    if (bytes.size() != file.size())
        return Result<QByteArray>::failure(
            QStringLiteral("读取文件“%1”出错：%2").arg(shown(path), file.errorString()));
    return bytes;
}

Failure writeWhole(const QString& path, const QByteArray& bytes) {
    if (path.isEmpty())
        return QStringLiteral("还没有选择文件");
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return QStringLiteral("无法写入文件“%1”：%2").arg(shown(path), file.errorString());
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        return QStringLiteral("写入文件“%1”出错：%2").arg(shown(path), file.errorString());
    }
    if (!file.commit())
        return QStringLiteral("写入文件“%1”出错：%2").arg(shown(path), file.errorString());
    return std::nullopt;
}

} // namespace lcj::files
