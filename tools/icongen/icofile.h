#pragma once

#include <QByteArray>
#include <QImage>
#include <QList>

namespace lcj::icongen {

// A Windows icon file (.ico) holding `images`, in their order: square, 1 to
// 256 pixels wide. Sizes below 256 are stored as 32-bit bitmaps with alpha
// (and the mask older readers take), 256 as PNG, as Windows' own icons are.
// Empty when an image is not square or out of that range.
QByteArray icoFile(const QList<QImage>& images);

} // namespace lcj::icongen
