#pragma once

#include "common/result.h"

#include <QImage>
#include <QString>

namespace lcj::mapview {

// Reads a map picture; a file that is damaged, not a picture or too large
// gives a message that names it.
Result<QImage> readMapPicture(const QString& path);

} // namespace lcj::mapview
