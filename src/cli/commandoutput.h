#pragma once

#include "cli.h"

#include <QString>
#include <cstdio>

// Where one command line's output and messages go, for every command of lcjtool.
namespace lcj::cli {

// Standard output and error, or a caller's files, and the first write to
// either that failed, with why.
class Output {
public:
    Output(std::FILE* out, std::FILE* err) : out_(out), err_(err) {}

    void out(const QString& text) { print(out_, text); }
    void err(const QString& text) { print(err_, text); }
    void print(std::FILE* to, const QString& text);

    std::FILE* failed() const { return failed_; }
    int failure() const { return failure_; } // errno of that write

private:
    std::FILE* out_;
    std::FILE* err_;
    std::FILE* failed_ = nullptr;
    int failure_ = 0;
};

// The message on the error output; the exit code of a refused file.
inline int fail(Output& o, const QString& message) {
    o.err(message + u'\n');
    return DataError;
}

// What was wrong with the command line, then the command's help, on the error output.
inline int usage(Output& o, const QString& help, const QString& problem = {}) {
    if (!problem.isEmpty())
        o.err(QStringLiteral("lcjtool: ") + problem + u'\n');
    o.err(help);
    return UsageError;
}

// The help on standard output, for --help.
inline int helpOn(Output& o, const QString& help) {
    o.out(help);
    return Ok;
}

} // namespace lcj::cli
