#include "mappicture.h"

#include <QDir>
#include <QImageReader>

namespace lcj::mapview {

Result<QImage> readMapPicture(const QString& path) {
    QImageReader reader(path);
    QImage picture = reader.read();
    if (picture.isNull())
        return Result<QImage>::failure(
            QStringLiteral("无法读取地图图片“%1”：文件已损坏、不是BMP图片或图片过大。")
                .arg(QDir::toNativeSeparators(path)));
    return picture;
}

} // namespace lcj::mapview
