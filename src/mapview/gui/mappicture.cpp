#include "mappicture.h"

#include "mapview/bmpextent.h"

#include <QDir>
#include <QImageReader>

namespace lcj::mapview {

Result<QImage> readMapPicture(const QString& path) {
    // A picture cut short would show made-up pixels: it is refused as broken.
    if (const Failure cut = checkBmpExtent(path); !cut.ok())
        return Result<QImage>::failure(QStringLiteral("无法读取地图图片“%1”：文件不完整，%2。")
                                           .arg(QDir::toNativeSeparators(path), cut.error()));
    QImageReader reader(path);
    QImage picture = reader.read();
    if (picture.isNull())
        return Result<QImage>::failure(
            QStringLiteral("无法读取地图图片“%1”：文件已损坏、不是BMP图片或图片过大。")
                .arg(QDir::toNativeSeparators(path)));
    return picture;
}

} // namespace lcj::mapview
