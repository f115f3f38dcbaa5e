#include "recoveryjournal.h"

#include "durablefile.h"

#include <QCoreApplication>
#include <QDataStream>
#include <QDir>
#include <QFileInfo>
#include <algorithm>
#include <array>

namespace lcj {

namespace {

const QByteArray magic("LCJR\x01", 5);
const QString suffix = QStringLiteral(".lcjrec");
// Changed bytes closer than this are written as one run: a run's place costs 8 bytes.
constexpr qsizetype joinGap = 8;
// No record is bigger than a game file and its runs' places.
constexpr quint32 maxRecord = 160u * 1024 * 1024;

quint32 crc32(const QByteArray& bytes) {
    static const std::array<quint32, 256> table = [] {
        std::array<quint32, 256> t{};
        for (quint32 i = 0; i < 256; ++i) {
            quint32 c = i;
            for (int k = 0; k < 8; ++k)
                c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[i] = c;
        }
        return t;
    }();
    quint32 crc = 0xFFFFFFFFu;
    for (const char b : bytes)
        crc = table[(crc ^ static_cast<quint8>(b)) & 0xFF] ^ (crc >> 8);
    return crc ^ 0xFFFFFFFFu;
}

QByteArray framed(const QByteArray& payload) {
    QByteArray record;
    QDataStream out(&record, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);
    out << quint32(payload.size()) << crc32(payload);
    record += payload;
    return record;
}

// The records of `bytes`, each whole and with its checksum right, up to the first that is not.
QList<QByteArray> records(const QByteArray& bytes) {
    QList<QByteArray> found;
    qsizetype at = 0;
    while (bytes.size() - at >= 8) {
        QDataStream in(bytes.mid(at, 8));
        in.setByteOrder(QDataStream::LittleEndian);
        quint32 length = 0, sum = 0;
        in >> length >> sum;
        if (length > maxRecord || bytes.size() - at - 8 < qsizetype(length))
            break;
        QByteArray payload = bytes.mid(at + 8, length);
        if (crc32(payload) != sum)
            break;
        found << payload;
        at += 8 + qsizetype(length);
    }
    return found;
}

} // namespace

RecoveryJournal::~RecoveryJournal() = default;

bool RecoveryJournal::start(const QString& folder, const QString& path, const QByteArray& base) {
    if (!QDir().mkpath(folder))
        return false;
    const qint64 pid = QCoreApplication::applicationPid();
    static int serial = 0;
    QString name;
    do
        name = QDir(folder).filePath(QStringLiteral("%1-%2").arg(pid).arg(++serial) + suffix);
    while (QFileInfo::exists(name));
    file_.setFileName(name);
    if (!file_.open(QIODevice::WriteOnly | QIODevice::NewOnly))
        return false;
    path_ = path;
    last_ = base;
    written_ = 0;
    QByteArray payload;
    QDataStream out(&payload, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);
    out.writeRawData(magic.constData(), int(magic.size()));
    out << path.toUtf8() << QDateTime::currentMSecsSinceEpoch() << base;
    if (!writeRecord(payload)) {
        remove();
        return false;
    }
    return true;
}

bool RecoveryJournal::append(const QByteArray& mine) {
    if (!file_.isOpen())
        return false;
    if (mine == last_)
        return true;
    if (!writeRecord(stepRecord(last_, mine, QDateTime::currentDateTimeUtc())))
        return false;
    last_ = mine;
    return true;
}

bool RecoveryJournal::writeRecord(const QByteArray& payload) {
    const QByteArray record = framed(payload);
    if (file_.write(record) != record.size() || !file_.flush() ||
        !files::durable::syncToDisk(file_))
        return false;
    written_ += record.size();
    return true;
}

void RecoveryJournal::remove() {
    if (file_.fileName().isEmpty())
        return;
    file_.close();
    file_.remove();
    file_.setFileName(QString());
    last_.clear();
}

QByteArray RecoveryJournal::stepRecord(const QByteArray& before, const QByteArray& after,
                                       const QDateTime& time) {
    // The runs over the common length, then whatever lies past it as one run.
    QList<std::pair<qsizetype, qsizetype>> runs;
    const qsizetype common = std::min(before.size(), after.size());
    const char* a = before.constData();
    const char* b = after.constData();
    for (qsizetype i = 0; i < common;) {
        if (a[i] == b[i]) {
            ++i;
            continue;
        }
        qsizetype end = i + 1;
        for (qsizetype same = 0; end < common && same <= joinGap; ++end)
            same = a[end] == b[end] ? same + 1 : 0;
        // Back over the equal bytes the scan went past.
        while (end > i + 1 && a[end - 1] == b[end - 1])
            --end;
        runs.append({i, end - i});
        i = end;
    }
    if (after.size() > common)
        runs.append({common, after.size() - common});
    QByteArray payload;
    QDataStream out(&payload, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);
    out << time.toMSecsSinceEpoch() << quint32(after.size()) << quint32(runs.size());
    for (const auto& [at, length] : runs) {
        out << quint32(at) << quint32(length);
        out.writeRawData(after.constData() + at, int(length));
    }
    return payload;
}

std::optional<QByteArray> RecoveryJournal::applyStep(const QByteArray& before,
                                                     const QByteArray& record, QDateTime* time) {
    QDataStream in(record);
    in.setByteOrder(QDataStream::LittleEndian);
    qint64 ms = 0;
    quint32 size = 0, count = 0;
    in >> ms >> size >> count;
    if (in.status() != QDataStream::Ok || size > maxRecord)
        return std::nullopt;
    QByteArray state = before.left(size);
    if (state.size() < qsizetype(size))
        state.append(qsizetype(size) - state.size(), '\0');
    for (quint32 i = 0; i < count; ++i) {
        quint32 at = 0, length = 0;
        in >> at >> length;
        if (in.status() != QDataStream::Ok || quint64(at) + length > size)
            return std::nullopt;
        if (in.readRawData(state.data() + at, int(length)) != int(length))
            return std::nullopt;
    }
    if (time)
        *time = QDateTime::fromMSecsSinceEpoch(ms);
    return state;
}

std::optional<RecoveryJournal::Recovered> RecoveryJournal::read(const QString& journal) {
    QFile file(journal);
    if (!file.open(QIODevice::ReadOnly) || file.size() > qint64(maxRecord) * 4)
        return std::nullopt;
    const QList<QByteArray> found = records(file.readAll());
    if (found.isEmpty() || !found.first().startsWith(magic))
        return std::nullopt;
    QDataStream in(found.first().mid(magic.size()));
    in.setByteOrder(QDataStream::LittleEndian);
    QByteArray path;
    qint64 ms = 0;
    Recovered recovered;
    in >> path >> ms >> recovered.base;
    if (in.status() != QDataStream::Ok || path.isEmpty())
        return std::nullopt;
    recovered.journal = journal;
    recovered.pid = QFileInfo(journal).fileName().section(u'-', 0, 0).toLongLong();
    recovered.path = QString::fromUtf8(path);
    recovered.time = QDateTime::fromMSecsSinceEpoch(ms);
    recovered.mine = recovered.base;
    for (qsizetype i = 1; i < found.size(); ++i) {
        auto next = applyStep(recovered.mine, found[i], &recovered.time);
        if (!next)
            break;
        recovered.mine = std::move(*next);
    }
    return recovered;
}

QList<RecoveryJournal::Recovered>
RecoveryJournal::orphans(const QString& folder, const std::function<bool(qint64)>& running) {
    QList<Recovered> found;
    if (folder.isEmpty())
        return found;
    // The suffix compared here, not as a "*.lcjrec" filter: that would compile
    // a regular expression at every start.
    const QFileInfoList entries =
        QDir(folder).entryInfoList(QDir::Files, QDir::Time | QDir::Reversed);
    for (const QFileInfo& entry : entries) {
        if (!entry.fileName().endsWith(suffix, Qt::CaseInsensitive))
            continue;
        bool number = false;
        const qint64 pid = entry.fileName().section(u'-', 0, 0).toLongLong(&number);
        if (!number || (running ? running(pid) : processRuns(pid)))
            continue;
        if (auto recovered = read(entry.filePath()))
            found << *recovered;
    }
    return found;
}

bool RecoveryJournal::processRuns(qint64 pid) {
    if (pid <= 0)
        return false;
    if (pid == QCoreApplication::applicationPid())
        return true;
    return files::durable::processRunning(pid);
}

} // namespace lcj
