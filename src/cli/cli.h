#pragma once

#include <QStringList>

namespace lcj::cli {

// Exit codes: success, a data or validation error, a usage error.
enum Exit { Ok = 0, DataError = 1, UsageError = 2 };

// Runs one command line (without the program name); output goes to standard
// output and error as UTF-8.
int run(const QStringList& args);

} // namespace lcj::cli
