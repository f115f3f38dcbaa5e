#pragma once

#include "common/writelock.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace lcj::test {

// Leaves the lock file of `path` as a program that died while saving it would
// have left it: our own lock file, naming a process that does not run. True
// when the file is in place.
inline bool leaveLockOfADeadProgram(const QString& path) {
    const QString lockFile = files::lockPath(path);
    QByteArray contents;
    {
        auto own = files::WriteLock::take(path);
        QFile f(lockFile);
        if (!own.ok() || !f.open(QIODevice::ReadOnly))
            return false;
        contents = f.readAll();
    }
    const qsizetype eol = contents.indexOf('\n');
    if (eol <= 0)
        return false;
    contents.replace(0, eol, "2147483000");
    // The workshop goes with the last lock in it: it is made again.
    QDir().mkpath(QFileInfo(lockFile).absolutePath());
    QFile f(lockFile);
    return f.open(QIODevice::WriteOnly | QIODevice::NewOnly) &&
           f.write(contents) == contents.size() && f.flush();
}

} // namespace lcj::test
