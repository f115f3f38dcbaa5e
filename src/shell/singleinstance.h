#pragma once

#include <QObject>
#include <QStringList>

namespace lcj {

// One running program for each place the settings are kept: a later start hands
// the paths it was given to the program already running and ends, and the
// running program opens them as it opens its own command line's.
//
// The running program listens on a local socket (a named pipe on Windows)
// named after the user and the settings' place (singleinstance_posix.cpp,
// singleinstance_win.cpp), so that two portable copies,
// or two users, each run their own. The hand-over is one message: "LCJ1", the
// count of paths, then each path as its length in bytes and its UTF-8 text
// (counts and lengths 32-bit big-endian). The running program answers one
// byte, 'K', once it holds the whole message. A message larger than
// `maxMessageBytes`, with more than `maxPaths` paths, an empty path, a path
// that is no UTF-8 or holds a NUL, bytes past its end, or not complete within
// `messageTimeoutMs`, is dropped unanswered.
class SingleInstance : public QObject {
    Q_OBJECT
public:
    static constexpr qint64 maxMessageBytes = 1 << 20;
    static constexpr quint32 maxPaths = 4096;
    static constexpr int messageTimeoutMs = 2000;
    // How long a later start waits for the running program's answer; without
    // one it opens its own window, as before there was a running program.
    static constexpr int answerTimeoutMs = 5000;

    // The socket's name for the settings kept at `location` (settings::location())
    // by the user running this program.
    static QString serverName(const QString& location);

    // The message that hands over `paths`.
    static QByteArray encode(const QStringList& paths);
    enum class Message { Complete, Incomplete, Malformed };
    // Reads a message as far as it has arrived; `paths` receives them when complete.
    static Message decode(const QByteArray& bytes, QStringList* paths);

    explicit SingleInstance(const QString& serverName, QObject* parent = nullptr);

    // Hands `paths` (absolute) to the program running under this name and
    // returns true: this start is done. Otherwise this program takes the name
    // (a socket left by a program that crashed is taken over) and returns false.
    // It runs without the name when a program runs but does not answer, or the
    // paths do not fit one message: that program keeps it.
    bool handOverOrListen(const QStringList& paths);
    // Whether later starts hand their paths to this program.
    bool listening() const { return server_ != nullptr; }
    const QString& name() const { return name_; }

signals:
    // The paths a later start handed over; none when it only asks for the window.
    void pathsReceived(const QStringList& paths);

private:
    enum class HandOver { Done, NoProgram, NoAnswer };
    // The socket's side of a start, one for each system.
    HandOver handOver(const QByteArray& message);
    bool listen();
    // What one connection has sent so far, judged: a complete message is
    // logged and its paths given to pathsReceived from the event loop; the
    // caller answers it, or drops a malformed one.
    Message received(const QByteArray& bytes);

    QString name_;
    QObject* server_ = nullptr; // the listening socket's watcher, a child of this object
};

} // namespace lcj
