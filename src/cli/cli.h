#pragma once

#include <QStringList>
#include <cstdio>

namespace lcj::cli {

// Exit codes: success, a data or validation error, a usage error; `check`
// alone says with OutputError that its report could not all be written.
enum Exit { Ok = 0, DataError = 1, UsageError = 2, OutputError = 3 };

// Runs one command line (without the program name); output goes to standard
// output and error as UTF-8.
int run(const QStringList& args);
// The same, printing to `out` and `err` instead.
int run(const QStringList& args, std::FILE* out, std::FILE* err);

} // namespace lcj::cli
