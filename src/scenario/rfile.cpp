#include "rfile.h"

#include "common/fileaccess.h"

#include <QDir>
#include <QFileInfo>

namespace lcj::scenario {

namespace {

const QByteArray signature("\x2E\x00\x01\x00\x04", 5);

} // namespace

QString rFileNotFoundMessage() {
    return QStringLiteral("你所访问的该路径下找不到相应的R文件");
}

Result<QString> RFile::pathFor(const QString& scenarioPath) {
    const QFileInfo info(scenarioPath);
    QString name = info.fileName();
    if (name.isEmpty() || (name[0] != u'S' && name[0] != u's'))
        return Result<QString>::failure(
            rFileNotFoundMessage() +
            QStringLiteral("\n剧本文件名“%1”不是以S开头，无法得出R文件名").arg(name));
    QString path = scenarioPath;
    path[path.size() - name.size()] = u'R';
    return path;
}

qint64 RFile::findRecord(const QByteArray& bytes) {
    // When there are several records, the last one is the one shown and saved.
    const qint64 last = bytes.lastIndexOf(signature);
    return last >= 0 && last + recordSize <= bytes.size() ? last : -1;
}

Result<RFile> RFile::read(const QString& path) {
    auto bytes = files::readWhole(path);
    if (!bytes.ok())
        return Result<RFile>::failure(rFileNotFoundMessage() + u'\n' + bytes.error());
    return fromBytes(path, std::move(*bytes));
}

Result<RFile> RFile::fromBytes(const QString& path, QByteArray bytes) {
    if (bytes.isEmpty())
        return Result<RFile>::failure(
            rFileNotFoundMessage() +
            QStringLiteral("\nR文件“%1”是空的").arg(QDir::toNativeSeparators(path)));
    const qint64 last = bytes.lastIndexOf(signature);
    if (last >= 0 && last + recordSize > bytes.size())
        return Result<RFile>::failure(
            rFileNotFoundMessage() +
            QStringLiteral("\nR文件中位置%1的出场人数记录超出文件末尾").arg(last));
    if (last < 0)
        return Result<RFile>::failure(rFileNotFoundMessage() +
                                      QStringLiteral("\nR文件中没有出场人数记录"));
    RFile file;
    file.rFilePath_ = path;
    file.stamp_ = DiskStamp::take(path, bytes);
    file.rFileBytes_ = std::move(bytes);
    file.rLimitPos_ = last;
    return file;
}

RLimitsForm RFile::show() const {
    Q_ASSERT(rLimitPos_ >= 0);
    return RLimitsForm::show(QByteArrayView(rFileBytes_).sliced(rLimitPos_, recordSize));
}

Result<QByteArray> RFile::bytesWith(const RLimitsForm& form) const {
    using R = Result<QByteArray>;
    if (rLimitPos_ < 0 || rLimitPos_ + recordSize > rFileBytes_.size())
        return R::failure(QStringLiteral("R文件中没有出场人数记录，无法保存"));
    QByteArray record = rFileBytes_.mid(rLimitPos_, recordSize);
    if (auto failure = form.apply(record); !failure.ok())
        return R::failure(failure.error());
    QByteArray bytes = rFileBytes_;
    bytes.replace(rLimitPos_, recordSize, record);
    return bytes;
}

Failure RFile::save(const RLimitsForm& form) {
    auto bytes = bytesWith(form);
    if (!bytes.ok())
        return bytes.error();
    if (auto failure = files::writeWhole(rFilePath_, *bytes); !failure.ok())
        return failure;
    stamp_ = DiskStamp::written(rFilePath_, *bytes);
    rFileBytes_ = std::move(*bytes);
    return {};
}

} // namespace lcj::scenario
