#pragma once

#include "common/result.h"

#include <QString>
#include <QStringList>

// Where a command may write what it made. An output never replaces a game
// file, a file the command reads, or anything that is not a plain file.
namespace lcj::cli {

// "-": the output goes to standard output.
bool isStandardOutput(const QString& out);

// What an output file is allowed to be besides a new or plain file.
enum class OutputKind {
    Export,   // a table, a view, a picture or a patch: never a game file's name
    Scenario, // a scenario written by `scenario edit`: only a scenario's name
};

// Why `out` cannot take the output, or nothing: a folder; an existing thing
// that is not a plain file (a device, a pipe; "-" stands for standard
// output); one of `inputs` (also through a link); a name not allowed for
// `kind`, either its own or that of the file a link points to.
Failure outputProblem(const QString& out, const QStringList& inputs,
                      OutputKind kind = OutputKind::Export);

} // namespace lcj::cli
