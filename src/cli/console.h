#pragma once

#include <QString>
#include <cstdio>

// lcjtool's text output, one file per system: a Windows console gets UTF-16
// (so cmd.exe shows Chinese whatever its code page), everything else UTF-8
// bytes (a pipe, a file, a Linux terminal).
namespace lcj::cli::console {

void write(std::FILE* to, const QString& text);

} // namespace lcj::cli::console
