#pragma once

#include "patchcommands.h"

// lcjtool mods add|remove|list|enable|disable|order|apply|restore|undo|conflicts.
namespace lcj::cli {

// Runs `lcjtool mods ARGS...` printing through `print`; returns the exit code.
int modsCommand(QStringList args, const Printer& print);

} // namespace lcj::cli
