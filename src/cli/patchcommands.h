#pragma once

#include <QStringList>

// lcjtool patch make|apply|revert|show.
namespace lcj::cli {

extern const QString patchHelp;

class Output;

// Runs `lcjtool patch ARGS...` printing to `o`; returns the exit code.
int patchCommand(QStringList args, Output& o);

} // namespace lcj::cli
