#pragma once

#include <QStringList>

// lcjtool patch make|apply|revert|show.
namespace lcj::cli {

extern const QString patchHelp;

// Runs `lcjtool patch ARGS...`; returns the exit code.
int patchCommand(QStringList args);

} // namespace lcj::cli
