#include "singleinstance.h"

#include <QDir>
#include <QLockFile>
#include <QLoggingCategory>
#include <QStringDecoder>
#include <QtEndian>

Q_DECLARE_LOGGING_CATEGORY(lcjShell)

namespace lcj {

namespace {

constexpr char magic[] = "LCJ1";
constexpr qsizetype magicSize = 4;
// Two starts at once: the second waits while the first takes the name.
constexpr int lockTimeoutMs = 3000;

void appendNumber(QByteArray& bytes, quint32 number) {
    char raw[4];
    qToBigEndian(number, raw);
    bytes.append(raw, 4);
}

} // namespace

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

SingleInstance::Message SingleInstance::received(const QByteArray& bytes) {
    QStringList paths;
    const Message message = decode(bytes, &paths);
    if (message == Message::Malformed)
        qCWarning(lcjShell) << "a malformed hand-over was dropped";
    if (message != Message::Complete)
        return message;
    qCInfo(lcjShell) << "a later start handed over" << paths.size() << "paths";
    // Opened from the event loop, not inside the socket's signal: opening may
    // ask the user.
    QMetaObject::invokeMethod(
        this, [this, paths] { emit pathsReceived(paths); }, Qt::QueuedConnection);
    return message;
}

} // namespace lcj
