#include "singleinstance.h"

#include <QCryptographicHash>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QLoggingCategory>
#include <QStringDecoder>
#include <QTimer>
#include <QtEndian>
#include <memory>

#ifdef Q_OS_WIN
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#else
#include <unistd.h>
#endif

Q_DECLARE_LOGGING_CATEGORY(lcjShell)

namespace lcj {

namespace {

constexpr char magic[] = "LCJ1";
constexpr qsizetype magicSize = 4;
constexpr char answer = 'K';
constexpr int connectTimeoutMs = 1000;
// Two starts at once: the second waits while the first takes the name.
constexpr int lockTimeoutMs = 3000;

void appendNumber(QByteArray& bytes, quint32 number) {
    char raw[4];
    qToBigEndian(number, raw);
    bytes.append(raw, 4);
}

} // namespace

QString SingleInstance::serverName(const QString& location) {
#ifdef Q_OS_WIN
    // Paths and registry keys name the same place in any case; pipe names are
    // seen by every user, so the user is part of the name.
    const QString key = location.toLower() + u'\n' + qEnvironmentVariable("USERDOMAIN") + u'\\' +
                        qEnvironmentVariable("USERNAME");
#else
    const QString key = location + u'\n' + QString::number(::getuid());
#endif
    const QByteArray hash = QCryptographicHash::hash(key.toUtf8(), QCryptographicHash::Sha256);
    return QStringLiteral("lcjworkshop-") + QString::fromLatin1(hash.toHex().left(24));
}

QByteArray SingleInstance::encode(const QStringList& paths) {
    QByteArray bytes(magic, magicSize);
    appendNumber(bytes, quint32(paths.size()));
    for (const QString& path : paths) {
        const QByteArray text = path.toUtf8();
        appendNumber(bytes, quint32(text.size()));
        bytes += text;
    }
    return bytes;
}

SingleInstance::Message SingleInstance::decode(const QByteArray& bytes, QStringList* paths) {
    if (bytes.size() > maxMessageBytes)
        return Message::Malformed;
    const qsizetype head = qMin(bytes.size(), magicSize);
    if (bytes.left(head) != QByteArray(magic, head))
        return Message::Malformed;
    qsizetype pos = magicSize;
    const auto number = [&](quint32* out) {
        if (bytes.size() - pos < 4)
            return false;
        *out = qFromBigEndian<quint32>(bytes.constData() + pos);
        pos += 4;
        return true;
    };
    quint32 count = 0;
    if (!number(&count))
        return Message::Incomplete;
    if (count > maxPaths)
        return Message::Malformed;
    QStringList read;
    for (quint32 i = 0; i < count; ++i) {
        quint32 length = 0;
        if (!number(&length))
            return Message::Incomplete;
        if (length == 0 || length > maxMessageBytes)
            return Message::Malformed;
        if (bytes.size() - pos < qsizetype(length))
            return Message::Incomplete;
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        const QString path = utf8(QByteArrayView(bytes).sliced(pos, length));
        if (utf8.hasError() || path.contains(QChar(0)))
            return Message::Malformed;
        read << path;
        pos += length;
    }
    if (pos != bytes.size())
        return Message::Malformed;
    if (paths)
        *paths = read;
    return Message::Complete;
}

SingleInstance::SingleInstance(const QString& serverName, QObject* parent)
    : QObject(parent), name_(serverName) {}

bool SingleInstance::handOverOrListen(const QStringList& paths) {
    const QByteArray message = encode(paths);
    if (message.size() > maxMessageBytes) {
        qCWarning(lcjShell) << "too many paths to hand over; this program runs on its own";
        return false;
    }
    HandOver done = handOver(message);
    if (done == HandOver::NoProgram) {
        // Two starts at once (several files opened together) must not both
        // take the name: the later one finds the earlier one's.
        QLockFile lock(QDir(QDir::tempPath()).filePath(name_ + QStringLiteral(".lock")));
        if (!lock.tryLock(lockTimeoutMs)) {
            qCWarning(lcjShell) << "cannot lock" << lock.error()
                                << "; this program runs on its own";
            return false;
        }
        done = handOver(message);
        if (done == HandOver::NoProgram) {
            listen();
            return false;
        }
    }
    if (done == HandOver::NoAnswer)
        qCWarning(lcjShell) << "the running program does not answer; this one runs on its own";
    return done == HandOver::Done;
}

SingleInstance::HandOver SingleInstance::handOver(const QByteArray& message) {
    QLocalSocket socket;
    socket.connectToServer(name_);
    if (!socket.waitForConnected(connectTimeoutMs))
        return socket.error() == QLocalSocket::SocketTimeoutError ? HandOver::NoAnswer
                                                                  : HandOver::NoProgram;
#ifdef Q_OS_WIN
    // The running program may come to the front: the user started this one.
    AllowSetForegroundWindow(ASFW_ANY);
#endif
    socket.write(message);
    while (socket.bytesToWrite() > 0)
        if (!socket.waitForBytesWritten(answerTimeoutMs))
            return HandOver::NoAnswer;
    if (!socket.waitForReadyRead(answerTimeoutMs) || socket.read(1) != QByteArray(1, answer))
        return HandOver::NoAnswer;
    return HandOver::Done;
}

bool SingleInstance::listen() {
    // A socket left by a program that crashed: nobody answered on it.
    QLocalServer::removeServer(name_);
    auto server = std::make_unique<QLocalServer>(this);
    server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!server->listen(name_)) {
        qCWarning(lcjShell) << "cannot listen on" << name_ << server->errorString();
        return false;
    }
    server_ = server.release();
    connect(server_, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = server_->nextPendingConnection())
            take(socket);
    });
    qCInfo(lcjShell).noquote() << "listening on" << server_->fullServerName();
    return true;
}

void SingleInstance::take(QLocalSocket* socket) {
    const auto drop = [socket] {
        socket->abort();
        socket->deleteLater();
    };
    connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    QTimer::singleShot(messageTimeoutMs, socket, drop);
    auto received = std::make_shared<QByteArray>();
    connect(socket, &QLocalSocket::readyRead, this, [this, socket, received, drop] {
        // Never more than one byte past the limit is held.
        *received += socket->read(maxMessageBytes + 1 - received->size());
        QStringList paths;
        switch (decode(*received, &paths)) {
        case Message::Incomplete:
            return;
        case Message::Malformed:
            qCWarning(lcjShell) << "a malformed hand-over was dropped";
            drop();
            return;
        case Message::Complete:
            break;
        }
        socket->disconnect(this);
        socket->write(&answer, 1);
        socket->disconnectFromServer();
        qCInfo(lcjShell) << "a later start handed over" << paths.size() << "paths";
        // Opened from the event loop, not inside the socket's signal: opening
        // may ask the user.
        QMetaObject::invokeMethod(
            this, [this, paths] { emit pathsReceived(paths); }, Qt::QueuedConnection);
    });
}

} // namespace lcj
