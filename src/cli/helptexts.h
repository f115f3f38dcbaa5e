#pragma once

#include <QString>

// The --help texts of lcjtool, one per command.
namespace lcj::cli::help {

extern const QString top;
extern const QString data;
extern const QString diff;
extern const QString save;
extern const QString imsg;
extern const QString exe;
extern const QString rfile;
extern const QString scenario;
extern const QString check;
extern const QString mods;

} // namespace lcj::cli::help
