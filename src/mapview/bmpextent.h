#pragma once

#include "common/result.h"

#include <QByteArrayView>
#include <QString>

namespace lcj::mapview {

// Whether the pixel data that a BMP header describes lies within the file.
// `head` holds the file's first bytes (at least the two headers) and
// `fileSize` its length. A picture reader shows a BMP whose pixel data runs
// past the end as far as it goes and fills the rest with whatever it likes;
// this tells the user instead. What is not a BMP header at all is left to the
// reader (no failure).
Failure checkBmpExtent(QByteArrayView head, qint64 fileSize);

// The same for the file at `path`; a file that cannot be read is left to the reader.
Failure checkBmpExtent(const QString& path);

} // namespace lcj::mapview
