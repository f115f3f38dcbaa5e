#pragma once

#include "cli/cli.h"
#include "support/testfiles.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QMap>
#include <QTemporaryDir>

#include <QString>
#include <QStringList>
#include <cstdio>

namespace lcj::test {

// One command line as a user runs it: its exit code, and what it printed to
// standard output and standard error.
struct CliRun {
    int code = -1;
    QString out;
    QString err;
};

inline QString drain(std::FILE* file) {
    std::rewind(file);
    QByteArray bytes;
    char buffer[4096];
    for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, file)) > 0;)
        bytes.append(buffer, qsizetype(n));
    std::fclose(file);
    return QString::fromUtf8(bytes);
}

inline CliRun runCli(const QStringList& args) {
    // Files in a folder of our own: std::tmpfile() may not be allowed to
    // create its file on every system.
    QTemporaryDir dir;
    std::FILE* out = std::fopen(QFile::encodeName(dir.filePath(QStringLiteral("out"))), "w+b");
    std::FILE* err = std::fopen(QFile::encodeName(dir.filePath(QStringLiteral("err"))), "w+b");
    if (!out || !err)
        qFatal("cannot create the files that catch lcjtool's output");
    CliRun run;
    run.code = cli::run(args, out, err);
    run.out = drain(out);
    run.err = drain(err);
    return run;
}

// Every file and folder under `root` with its bytes: what a command left on disk.
inline QMap<QString, QByteArray> snapshot(const QString& root) {
    QMap<QString, QByteArray> files;
    QDirIterator it(root, QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        files.insert(QDir(root).relativeFilePath(path), test::readFile(path));
    }
    return files;
}

} // namespace lcj::test
