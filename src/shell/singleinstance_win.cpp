// The hand-over's socket on Windows: a named pipe through Qt's local socket.
#include "singleinstance.h"

#include <QCryptographicHash>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLoggingCategory>
#include <QTimer>
#include <memory>

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

Q_DECLARE_LOGGING_CATEGORY(lcjShell)

namespace lcj {

namespace {

constexpr char answer = 'K';
constexpr int connectTimeoutMs = 1000;

} // namespace

QString SingleInstance::serverName(const QString& location) {
    // Paths and registry keys name the same place in any case; pipe names are
    // seen by every user, so the user is part of the name.
    const QString key = location.toLower() + u'\n' + qEnvironmentVariable("USERDOMAIN") + u'\\' +
                        qEnvironmentVariable("USERNAME");
    const QByteArray hash = QCryptographicHash::hash(key.toUtf8(), QCryptographicHash::Sha256);
    return QStringLiteral("lcjworkshop-") + QString::fromLatin1(hash.toHex().left(24));
}

SingleInstance::HandOver SingleInstance::handOver(const QByteArray& message) {
    QLocalSocket socket;
    socket.connectToServer(name_);
    if (!socket.waitForConnected(connectTimeoutMs))
        return socket.error() == QLocalSocket::SocketTimeoutError ? HandOver::NoAnswer
                                                                  : HandOver::NoProgram;
    // The running program may come to the front: the user started this one.
    AllowSetForegroundWindow(ASFW_ANY);
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
    QLocalServer* listening = server.release();
    server_ = listening;
    const auto take = [this](QLocalSocket* socket) {
        const auto drop = [socket] {
            socket->abort();
            socket->deleteLater();
        };
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        QTimer::singleShot(messageTimeoutMs, socket, drop);
        auto sent = std::make_shared<QByteArray>();
        connect(socket, &QLocalSocket::readyRead, this, [this, socket, sent, drop] {
            // Never more than one byte past the limit is held.
            *sent += socket->read(maxMessageBytes + 1 - sent->size());
            switch (received(*sent)) {
            case Message::Incomplete:
                return;
            case Message::Malformed:
                drop();
                return;
            case Message::Complete:
                break;
            }
            socket->disconnect(this);
            socket->write(&answer, 1);
            socket->disconnectFromServer();
        });
    };
    connect(listening, &QLocalServer::newConnection, this, [listening, take] {
        while (QLocalSocket* socket = listening->nextPendingConnection())
            take(socket);
    });
    qCInfo(lcjShell).noquote() << "listening on" << listening->fullServerName();
    return true;
}

} // namespace lcj
