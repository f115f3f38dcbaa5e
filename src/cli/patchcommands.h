#pragma once

#include <QStringList>
#include <cstdio>
#include <functional>

// lcjtool patch make|apply|revert|show.
namespace lcj::cli {

extern const QString patchHelp;

// Writes text to standard output or error.
using Printer = std::function<void(std::FILE*, const QString&)>;

// Runs `lcjtool patch ARGS...` printing through `print`; returns the exit code.
int patchCommand(QStringList args, const Printer& print);

} // namespace lcj::cli
