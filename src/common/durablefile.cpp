#include "durablefile.h"

#include <QDir>
#include <QFileDevice>
#include <QFileInfo>
#include <QThreadPool>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/stat.h>
#ifdef Q_OS_LINUX
#include <sys/vfs.h>
#endif
#include <unistd.h>
#endif

#ifdef Q_OS_WIN
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <io.h>
#include <windows.h>
#ifndef REPLACEFILE_IGNORE_ACL_ERRORS
#define REPLACEFILE_IGNORE_ACL_ERRORS 0x00000004
#endif
#ifndef PROCESS_QUERY_LIMITED_INFORMATION
#define PROCESS_QUERY_LIMITED_INFORMATION 0x1000
#endif
#endif

namespace lcj::files::durable {

namespace {

void stopNow();

// Steps still to pass before the test hook stops the process; -1: never.
int stepsBeforeStop() {
    bool ok = false;
    const int k = qEnvironmentVariableIntValue("LCJ_TEST_STOP_AFTER", &ok);
    return ok && k > 0 ? k : -1;
}

} // namespace

void passedDurableStep() {
    static int left = stepsBeforeStop();
    if (left > 0 && --left == 0)
        stopNow();
}

#ifdef Q_OS_UNIX

namespace {

void stopNow() {
    ::kill(::getpid(), SIGKILL);
}

int fsyncUninterrupted(int fd) {
    int result;
    do
        result = ::fsync(fd);
    while (result != 0 && errno == EINTR);
    return result;
}

} // namespace

QString syncFolder(const QString& folder) {
    const int fd =
        ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return qt_error_string(errno);
    const int result = fsyncUninterrupted(fd);
    const int error = errno;
    ::close(fd);
    // Some file systems cannot sync a folder on its own: they keep names
    // durable with the files, and there is nothing more to ask of them.
    if (result != 0 && error != EINVAL && error != ENOTSUP)
        return qt_error_string(error);
    passedDurableStep();
    return {};
}

bool hardLink(const QString& existing, const QString& link) {
    return ::link(QFile::encodeName(existing).constData(), QFile::encodeName(link).constData()) ==
           0;
}

void hideFolder(const QString&) {}

bool processRunning(qint64 pid) {
    if (pid <= 0)
        return false;
    return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM;
}

bool syncToDisk(QFileDevice& file) {
    if (!file.flush())
        return false;
    const int fd = file.handle();
    if (fd < 0 || fsyncUninterrupted(fd) != 0)
        return false;
    passedDurableStep();
    return true;
}

void startWriting(QFileDevice& file, qint64 pos, qint64 length) {
#ifdef Q_OS_LINUX
    if (const int fd = file.handle(); fd >= 0)
        ::sync_file_range(fd, pos, length, SYNC_FILE_RANGE_WRITE);
#else
    // Other systems start on their own; fsync waits for the rest.
    Q_UNUSED(file);
    Q_UNUSED(pos);
    Q_UNUSED(length);
#endif
}

void keepOwner(QFileDevice& file, const QString& original) {
    const QFileInfo info(original);
    const int fd = file.handle();
    if (fd < 0 || !info.exists())
        return;
    const uid_t owner = info.ownerId();
    const gid_t group = info.groupId();
    if (owner == ::geteuid() && group == ::getegid())
        return;
    // Only a privileged user may give a file away; anyone else keeps it.
    [[maybe_unused]] const int ignored = ::fchown(fd, owner, group);
}

namespace {

// Whether the file system of the open file `fd` is a local one whose rename
// replaces a file held open without a word: a network share may refuse it, or
// leave the old file under another name in the folder while it is open.
bool localDisk(int fd) {
#ifdef Q_OS_LINUX
    struct statfs disk {};
    if (::fstatfs(fd, &disk) != 0)
        return false;
    switch (static_cast<unsigned long>(disk.f_type)) {
    case 0xEF53UL:     // ext2, ext3, ext4
    case 0x58465342UL: // xfs
    case 0x9123683EUL: // btrfs
    case 0xF2F52010UL: // f2fs
    case 0x01021994UL: // tmpfs
        return true;
    default:
        return false;
    }
#else
    Q_UNUSED(fd);
    return false;
#endif
}

// The file system gives a file's blocks back when its last name and its last
// open handle are gone, and for a large file that takes about as long as
// writing it. A handle on the old file kept over the rename takes that work
// out of the save: it is closed on another thread. -1 for a small file, one
// that is not there or not a plain file, or one on another kind of disk.
int holdReplaced(const QByteArray& target) {
    const int fd = ::open(target.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0)
        return -1;
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_size < (1 << 20) ||
        !localDisk(fd)) {
        ::close(fd);
        return -1;
    }
    return fd;
}

void releaseLater(int fd) {
    if (fd >= 0)
        QThreadPool::globalInstance()->start([fd] { ::close(fd); });
}

} // namespace

Replacement replaceWith(const QString& target, const QString& finished, bool syncNames) {
    const QByteArray name = QFile::encodeName(target);
    const int replaced = holdReplaced(name);
    if (::rename(QFile::encodeName(finished).constData(), name.constData()) != 0) {
        const int error = errno;
        if (replaced >= 0)
            ::close(replaced);
        return {error == EBUSY ? Replacement::Busy : Replacement::Failed,
                error == EACCES || error == EPERM, qt_error_string(error)};
    }
    releaseLater(replaced);
    passedDurableStep();
    if (!syncNames)
        return {Replacement::Done, false, {}};
    const QString unsynced = syncFolder(QFileInfo(target).absolutePath());
    if (!unsynced.isEmpty())
        return {Replacement::Unconfirmed, false, unsynced};
    return {Replacement::Done, false, {}};
}

#elif defined(Q_OS_WIN)

namespace {

// Ends as a crash ends a program, so that whoever started it (QProcess) sees it crash.
void stopNow() {
    ::TerminateProcess(::GetCurrentProcess(), STATUS_ACCESS_VIOLATION);
}

std::wstring native(const QString& path) {
    return QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath()).toStdWString();
}

// Errors that another program holding the file open gives: a virus scanner
// or the game itself lets go of it a moment later. With a backup name given,
// ReplaceFileW leaves both files under their own names on these.
bool busy(DWORD error) {
    switch (error) {
    case ERROR_SHARING_VIOLATION:
    case ERROR_ACCESS_DENIED:
    case ERROR_LOCK_VIOLATION:
    case ERROR_UNABLE_TO_REMOVE_REPLACED:
    case ERROR_UNABLE_TO_MOVE_REPLACEMENT:
        return true;
    default:
        return false;
    }
}

Replacement failedWith(DWORD error) {
    return {busy(error) ? Replacement::Busy : Replacement::Failed, error == ERROR_ACCESS_DENIED,
            qt_error_string(static_cast<int>(error))};
}

} // namespace

bool syncToDisk(QFileDevice& file) {
    if (!file.flush())
        return false;
    const int fd = file.handle();
    if (fd < 0)
        return false;
    const auto handle = reinterpret_cast<HANDLE>(::_get_osfhandle(fd));
    // A write-behind error (a USB stick pulled, a network share gone) shows
    // here and nowhere else.
    if (handle == INVALID_HANDLE_VALUE || ::FlushFileBuffers(handle) == 0)
        return false;
    passedDurableStep();
    return true;
}

// A folder's names are written through with each move (MOVEFILE_WRITE_THROUGH
// and ReplaceFileW): there is nothing more to ask for.
QString syncFolder(const QString&) {
    passedDurableStep();
    return {};
}

// ReplaceFileW moves the replaced file aside and carries its marks and
// access list over: the old file is kept as a copy of its own instead of a
// second name of the file being replaced.
bool hardLink(const QString&, const QString&) {
    return false;
}

void hideFolder(const QString& folder) {
    const std::wstring path = native(folder);
    const DWORD marks = ::GetFileAttributesW(path.c_str());
    if (marks != INVALID_FILE_ATTRIBUTES)
        ::SetFileAttributesW(path.c_str(), marks | FILE_ATTRIBUTE_HIDDEN);
}

bool processRunning(qint64 pid) {
    if (pid <= 0)
        return false;
    const HANDLE process =
        ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, static_cast<DWORD>(pid));
    if (!process)
        return ::GetLastError() == ERROR_ACCESS_DENIED;
    DWORD code = 0;
    const bool running = ::GetExitCodeProcess(process, &code) && code == STILL_ACTIVE;
    ::CloseHandle(process);
    return running;
}

// A file's owner is not a property a save can carry over here: the
// replace below keeps the old file's access list instead.
// Windows starts writing on its own; FlushFileBuffers waits for the rest.
void startWriting(QFileDevice&, qint64, qint64) {}

void keepOwner(QFileDevice&, const QString&) {}

// Every move below writes the folder's names through: there is nothing to
// leave to a later sync.
Replacement replaceWith(const QString& target, const QString& finished, bool) {
    const std::wstring to = native(target);
    const std::wstring from = native(finished);
    const DWORD marks = ::GetFileAttributesW(to.c_str());
    if (marks == INVALID_FILE_ATTRIBUTES && ::GetLastError() == ERROR_FILE_NOT_FOUND) {
        if (::MoveFileExW(from.c_str(), to.c_str(),
                          MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
            passedDurableStep();
            return {Replacement::Done, false, {}};
        }
        return failedWith(::GetLastError());
    }
    // The new file takes the old one's hidden and system marks before it
    // takes its place, whichever way the system carries them over.
    const DWORD kept = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE |
                       FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
    if (marks != INVALID_FILE_ATTRIBUTES && (marks & kept) != 0)
        ::SetFileAttributesW(from.c_str(), marks & kept);
    // The old file moves to this name for the moment of the replace, so that
    // no failure half-way leaves the target name empty.
    const std::wstring parked = from + L".old";
    if (::ReplaceFileW(to.c_str(), from.c_str(), parked.c_str(),
                       REPLACEFILE_IGNORE_MERGE_ERRORS | REPLACEFILE_IGNORE_ACL_ERRORS, nullptr,
                       nullptr)) {
        ::DeleteFileW(parked.c_str());
        passedDurableStep();
        return {Replacement::Done, false, {}};
    }
    const DWORD error = ::GetLastError();
    if (error == ERROR_UNABLE_TO_MOVE_REPLACEMENT_2) {
        // The old file was moved aside and the new one could not follow: the
        // old one goes back to its name, and the save is tried again.
        if (::MoveFileExW(parked.c_str(), to.c_str(), MOVEFILE_WRITE_THROUGH))
            return {Replacement::Busy, false, qt_error_string(static_cast<int>(error))};
        return {
            Replacement::Stranded, false,
            QStringLiteral("原来的文件暂时改名为“%1”，请把它改回原名：%2")
                .arg(QString::fromStdWString(parked), qt_error_string(static_cast<int>(error)))};
    }
    return failedWith(error);
}

#endif

} // namespace lcj::files::durable
