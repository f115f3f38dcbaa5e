#pragma once

#include <QStringList>

// lcjtool mods add|remove|list|enable|disable|order|apply|restore|undo|conflicts|originals.
namespace lcj::cli {

class Output;

// Runs `lcjtool mods ARGS...` printing to `o`; returns the exit code.
int modsCommand(QStringList args, Output& o);

} // namespace lcj::cli
