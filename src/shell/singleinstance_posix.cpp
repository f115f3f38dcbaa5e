// The hand-over's socket on Linux and other Unix systems: a Unix domain socket
// in the temporary folder, spoken through the system's calls. Qt's network
// library would bring a dozen more libraries into every start for it.
#include "singleinstance.h"

#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLoggingCategory>
#include <QSocketNotifier>
#include <QTimer>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <functional>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

Q_DECLARE_LOGGING_CATEGORY(lcjShell)

namespace lcj {

namespace {

constexpr char answer = 'K';

// Where the socket of `name` lies: where Qt's local sockets look for a name
// without a folder, so that any local socket finds it.
QByteArray socketPath(const QString& name) {
    return QFile::encodeName(QDir::tempPath() + u'/' + name);
}

bool addressOf(const QByteArray& path, sockaddr_un& address) {
    std::memset(&address, 0, sizeof address);
    address.sun_family = AF_UNIX;
    if (std::size_t(path.size()) >= sizeof address.sun_path)
        return false;
    std::memcpy(address.sun_path, path.constData(), std::size_t(path.size()));
    return true;
}

// A socket closed when it goes out of scope.
struct Socket {
    int fd = -1;
    explicit Socket(int descriptor) : fd(descriptor) {}
    Socket(const Socket&) = delete;
    Socket& operator=(const Socket&) = delete;
    ~Socket() {
        if (fd >= 0)
            ::close(fd);
    }
};

// Waits for `fd` to be ready for `events` while `clock` is below `ms`.
bool waitFor(int fd, short events, const QElapsedTimer& clock, int ms) {
    pollfd watched{fd, events, 0};
    for (;;) {
        const int left = int(std::max<qint64>(0, ms - clock.elapsed()));
        const int ready = ::poll(&watched, 1, left);
        if (ready >= 0)
            return ready > 0;
        if (errno != EINTR)
            return false;
    }
}

// One later start's connection: what it sends is gathered until `judge` calls
// it complete (answered 'K') or malformed, or the time runs out (dropped).
class Connection : public QObject {
public:
    using Judge = std::function<SingleInstance::Message(const QByteArray&)>;

    Connection(int fd, Judge judge, QObject* parent)
        : QObject(parent), fd_(fd), judge_(std::move(judge)),
          notifier_(fd, QSocketNotifier::Read, this) {
        connect(&notifier_, &QSocketNotifier::activated, this, &Connection::readMore);
        QTimer::singleShot(SingleInstance::messageTimeoutMs, this, &Connection::end);
    }
    ~Connection() override {
        notifier_.setEnabled(false);
        ::close(fd_);
    }

private:
    void end() {
        notifier_.setEnabled(false);
        deleteLater();
    }

    void readMore() {
        char chunk[64 * 1024];
        for (;;) {
            // Never more than one byte past the limit is held.
            const qsizetype room = SingleInstance::maxMessageBytes + 1 - sent_.size();
            const ssize_t got =
                ::recv(fd_, chunk, std::size_t(std::min<qsizetype>(sizeof chunk, room)), 0);
            if (got < 0 && errno == EINTR)
                continue;
            if (got < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
                return;
            if (got <= 0) // closed by the other side, or broken
                return end();
            sent_.append(chunk, got);
            switch (judge_(sent_)) {
            case SingleInstance::Message::Incomplete:
                continue;
            case SingleInstance::Message::Malformed:
                return end();
            case SingleInstance::Message::Complete:
                (void)::send(fd_, &answer, 1, MSG_NOSIGNAL | MSG_DONTWAIT);
                return end();
            }
        }
    }

    int fd_;
    Judge judge_;
    QSocketNotifier notifier_;
    QByteArray sent_;
};

// The listening socket: accepts each later start's connection.
class Listener : public QObject {
public:
    Listener(int fd, QByteArray path, Connection::Judge judge, QObject* parent)
        : QObject(parent), fd_(fd), path_(std::move(path)), judge_(std::move(judge)),
          notifier_(fd, QSocketNotifier::Read, this) {
        connect(&notifier_, &QSocketNotifier::activated, this, [this] {
            for (;;) {
                const int connection =
                    ::accept4(fd_, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
                if (connection < 0 && errno == EINTR)
                    continue;
                if (connection < 0)
                    return;
                new Connection(connection, judge_, this);
            }
        });
    }
    // A program that ends takes its name with it; one that is killed leaves the
    // socket, which the next start takes over.
    ~Listener() override {
        notifier_.setEnabled(false);
        ::close(fd_);
        ::unlink(path_.constData());
    }

private:
    int fd_;
    QByteArray path_;
    Connection::Judge judge_;
    QSocketNotifier notifier_;
};

} // namespace

QString SingleInstance::serverName(const QString& location) {
    const QString key = location + u'\n' + QString::number(::getuid());
    const QByteArray hash = QCryptographicHash::hash(key.toUtf8(), QCryptographicHash::Sha256);
    return QStringLiteral("lcjworkshop-") + QString::fromLatin1(hash.toHex().left(24));
}

SingleInstance::HandOver SingleInstance::handOver(const QByteArray& message) {
    sockaddr_un address;
    if (!addressOf(socketPath(name_), address))
        return HandOver::NoProgram;
    Socket socket(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
    if (socket.fd < 0)
        return HandOver::NoProgram;
    if (::connect(socket.fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0)
        // A program so busy that its queue of starts is full runs all the same;
        // no socket, or one nobody listens on (a program that crashed): none runs.
        return errno == EAGAIN ? HandOver::NoAnswer : HandOver::NoProgram;
    QElapsedTimer clock;
    clock.start();
    qsizetype sent = 0;
    while (sent < message.size()) {
        const ssize_t wrote = ::send(socket.fd, message.constData() + sent,
                                     std::size_t(message.size() - sent), MSG_NOSIGNAL);
        if (wrote > 0)
            sent += wrote;
        else if (wrote < 0 && errno == EINTR)
            continue;
        else if (wrote < 0 && errno == EAGAIN) {
            if (!waitFor(socket.fd, POLLOUT, clock, answerTimeoutMs))
                return HandOver::NoAnswer;
        } else
            return HandOver::NoAnswer;
    }
    clock.restart();
    for (;;) {
        if (!waitFor(socket.fd, POLLIN, clock, answerTimeoutMs))
            return HandOver::NoAnswer;
        char got = 0;
        const ssize_t read = ::recv(socket.fd, &got, 1, 0);
        if (read < 0 && (errno == EINTR || errno == EAGAIN))
            continue;
        return read == 1 && got == answer ? HandOver::Done : HandOver::NoAnswer;
    }
}

bool SingleInstance::listen() {
    const QByteArray path = socketPath(name_);
    // The socket is made in a folder only this user may enter and moved into
    // place once only this user may use it; the move also takes the place of a
    // socket a program that crashed left there.
    QByteArray folder = path + ".XXXXXX";
    if (!::mkdtemp(folder.data())) {
        qCWarning(lcjShell) << "cannot listen on" << path << std::strerror(errno);
        return false;
    }
    const QByteArray made = folder + "/s";
    sockaddr_un address;
    Socket socket(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
    const bool listening =
        addressOf(made, address) && socket.fd >= 0 &&
        ::bind(socket.fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0 &&
        ::chmod(made.constData(), S_IRUSR | S_IWUSR) == 0 && ::listen(socket.fd, 50) == 0 &&
        ::rename(made.constData(), path.constData()) == 0;
    const int error = errno;
    ::unlink(made.constData());
    ::rmdir(folder.constData());
    if (!listening) {
        qCWarning(lcjShell) << "cannot listen on" << path << std::strerror(error);
        return false;
    }
    server_ = new Listener(
        socket.fd, path, [this](const QByteArray& bytes) { return received(bytes); }, this);
    socket.fd = -1;
    qCInfo(lcjShell).noquote() << "listening on" << QFile::decodeName(path);
    return true;
}

} // namespace lcj
