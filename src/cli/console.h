#pragma once

#include <QString>
#include <cstdio>

// lcjtool's text output, one file per system: a Windows console gets UTF-16
// (so cmd.exe shows Chinese whatever its code page), everything else UTF-8
// bytes (a pipe, a file, a Linux terminal).
namespace lcj::cli::console {

// Writes all of `text`; false when any of it could not be written (a full
// disk, a pipe whose reader has gone), with errno telling why where it can.
bool write(std::FILE* to, const QString& text);

// How many of the `left` UTF-16 code units at `text` to hand over at once, at
// most `limit` (at least 2): a chunk never ends between the two halves of a
// character outside the Basic Multilingual Plane.
inline qsizetype chunkLength(const char16_t* text, qsizetype left, qsizetype limit) {
    if (left <= limit)
        return left;
    return QChar::isHighSurrogate(text[limit - 1]) ? limit - 1 : limit;
}

} // namespace lcj::cli::console
