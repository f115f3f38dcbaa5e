#pragma once

#include "result.h"

#include <QString>
#include <QStringList>
#include <chrono>
#include <memory>
#include <vector>

class QLockFile;

namespace lcj::files {

// Held by whoever reads a game file, changes it and writes it back, from
// before the read until the write is done: another program of ours that wants
// to save the same file waits for it, and gives up with a message after a few
// seconds rather than write over an edit it has not seen.
//
// The lock is a file .lcjworkshop/NAME.lock in the game file's folder, made
// when the lock is taken and removed when it is released. A lock file left by
// a program that died is taken over; one whose owner still runs is waited for,
// however old. Before it locks anything, take() settles what a writer that
// died left in those folders (writejournal.h).
class WriteLock {
public:
    WriteLock(WriteLock&&) noexcept;
    WriteLock& operator=(WriteLock&&) noexcept;
    ~WriteLock();

    // Locks `path`, or every file of `paths` (one at a time in one fixed
    // order, so that two programs locking the same files never wait for each
    // other). On failure nothing stays locked and the message says why.
    static Result<WriteLock> take(const QString& path);
    static Result<WriteLock> take(const QStringList& paths);

    // Locks every file of `paths` without settling anything first and without
    // waiting for another program: false when one of them is held.
    static Result<WriteLock> takeAtOnce(const QStringList& paths);

    // Lets go of every file at once; the lock files are gone afterwards.
    void release();

private:
    WriteLock();
    static Result<WriteLock> lockAll(const QStringList& paths, std::chrono::milliseconds wait);
    std::vector<std::unique_ptr<QLockFile>> locks_;
};

// The lock file that stands for `path`: the same whichever way the path is spelt.
QString lockPath(const QString& path);

// How long a lock held by another program is waited for: a few seconds, unless
// a test says otherwise.
void setLockWait(std::chrono::milliseconds wait);

} // namespace lcj::files
