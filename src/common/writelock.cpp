#include "writelock.h"

#include "fileaccess.h"
#include "writejournal.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QStorageInfo>
#include <algorithm>

namespace lcj::files {

namespace {

std::chrono::milliseconds waitForOthers{3000};

// The file's own path with links resolved, so that "./data.e5", a full path
// and a link to it all meet at one lock.
QString resolved(const QString& path) {
    const QFileInfo info(path);
    const QString canonical = info.canonicalFilePath();
    return canonical.isEmpty() ? info.absoluteFilePath() : canonical;
}

QString shown(const QString& path) {
    return QDir::toNativeSeparators(path);
}

QString refusal(const QLockFile& lock, const QString& path, std::chrono::milliseconds wait) {
    const QString file = shown(path);
    const QString lockFile = shown(lock.fileName());
    if (lock.error() == QLockFile::LockFailedError) {
        qint64 pid = 0;
        QString host, app;
        const QString owner = lock.getLockInfo(&pid, &host, &app)
                                  ? QStringLiteral("（%1，进程%2）").arg(app).arg(pid)
                                  : QString();
        return QStringLiteral("“%1”正被另一个程序%2保存，等了%3秒仍未完成；没有写入任何内容。\n"
                              "请稍后再试。如果确实没有程序在保存它，可以删除锁文件“%4”。")
            .arg(file, owner)
            .arg(double(wait.count()) / 1000.0)
            .arg(lockFile);
    }
    // A full disk has no room even for the lock file: said as such, as a
    // failing write says it.
    const QStorageInfo disk(QFileInfo(path).absolutePath());
    if (disk.isValid() && disk.bytesAvailable() < std::max(disk.blockSize(), 4096))
        return QStringLiteral("无法建立锁文件“%1”：磁盘空间不足（只剩%2字节），不能保存“%3”；"
                              "没有写入任何内容。")
            .arg(lockFile)
            .arg(std::max<qint64>(0, disk.bytesAvailable()))
            .arg(file);
    if (lock.error() == QLockFile::PermissionError)
        return QStringLiteral("无法在“%1”所在的文件夹中建立锁文件“%2”（没有写入权限）；"
                              "没有写入任何内容。")
            .arg(file, lockFile);
    return QStringLiteral("无法建立锁文件“%1”，不能保存“%2”；没有写入任何内容。")
        .arg(lockFile, file);
}

} // namespace

QString lockPath(const QString& path) {
    const QFileInfo file(resolved(path));
    // A name the longest a file may have has no room for the suffix: such a
    // name is stood for by its hash.
    QString name = file.fileName();
    if (name.size() > 120)
        name = QString::fromLatin1(
            QCryptographicHash::hash(name.toUtf8(), QCryptographicHash::Sha1).toHex());
    return workshopOf(file.absolutePath()) + u'/' + name + QStringLiteral(".lock");
}

void setLockWait(std::chrono::milliseconds wait) {
    waitForOthers = wait;
}

WriteLock::WriteLock() = default;
WriteLock::WriteLock(WriteLock&&) noexcept = default;
WriteLock& WriteLock::operator=(WriteLock&& other) noexcept {
    if (this != &other) {
        release();
        locks_ = std::move(other.locks_);
    }
    return *this;
}

WriteLock::~WriteLock() {
    release();
}

void WriteLock::release() {
    // Released in the opposite order of taking.
    while (!locks_.empty()) {
        const QString workshop = QFileInfo(locks_.back()->fileName()).absolutePath();
        locks_.back()->unlock();
        locks_.pop_back();
        tidyWorkshop(QFileInfo(workshop).absolutePath());
    }
}

Result<WriteLock> WriteLock::take(const QString& path) {
    return take(QStringList{path});
}

Result<WriteLock> WriteLock::take(const QStringList& paths) {
    // What a writer that died left in these folders is settled first: a
    // journal it did not finish, its files being written, its locks.
    QStringList folders;
    for (const QString& path : paths) {
        const QString folder = QFileInfo(resolved(path)).absolutePath();
        if (!folders.contains(folder))
            folders.append(folder);
    }
    for (const QString& folder : folders)
        WriteJournal::settle(folder);
    return lockAll(paths, waitForOthers);
}

Result<WriteLock> WriteLock::takeAtOnce(const QStringList& paths) {
    return lockAll(paths, std::chrono::milliseconds(0));
}

Result<WriteLock> WriteLock::lockAll(const QStringList& paths, std::chrono::milliseconds wait) {
    // One order for everyone: sorted by the lock's own name, each file once.
    QList<std::pair<QString, QString>> wanted; // lock file, path as given
    for (const QString& path : paths)
        wanted.append({lockPath(path), path});
    std::sort(wanted.begin(), wanted.end());
    wanted.erase(std::unique(wanted.begin(), wanted.end(),
                             [](const auto& a, const auto& b) { return a.first == b.first; }),
                 wanted.end());
    WriteLock held;
    for (const auto& [lockFile, path] : wanted) {
        auto lock = std::make_unique<QLockFile>(lockFile);
        // A save may wait on a question to the user with the lock held, so
        // the lock never goes stale by its age, only when its owner is gone.
        lock->setStaleLockTime(0);
        const QString folder = QFileInfo(QFileInfo(lockFile).absolutePath()).absolutePath();
        bool locked = false;
        // Another writer that just finished may take away an empty workshop
        // between its making and the lock.
        for (int attempt = 0; attempt < 8 && !locked; ++attempt) {
            (void)makeWorkshop(folder); // the lock below tells whether it is there
            locked = lock->tryLock(wait);
            if (locked || lock->error() == QLockFile::LockFailedError)
                break;
        }
        if (!locked) {
            tidyWorkshop(folder);
            return Result<WriteLock>::failure(refusal(*lock, path, wait));
        }
        held.locks_.push_back(std::move(lock));
    }
    return held;
}

} // namespace lcj::files
