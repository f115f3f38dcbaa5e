#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QFile>
#include <QList>
#include <QString>
#include <functional>
#include <optional>

namespace lcj {

// The journal of one document's edits not yet saved, kept in the user's profile so that a
// crash, a power cut or a killed program loses none of them. The file is a chain of records,
// each its length, its checksum and its bytes: the first holds the file's path, the time and
// the file as the editor read it (the base); each later one the time and only the runs of
// bytes that changed since the record before. A record cut off by a crash during its append
// is ignored on reading, the records before it stand.
//
// The journal's name holds the writer's process id (`<pid>-<n>.lcjrec`), so that a program
// takes only the journals of programs no longer running.
class RecoveryJournal {
public:
    // What a journal holds, read back.
    struct Recovered {
        QString journal; // the journal's own path
        qint64 pid = 0;  // the process that wrote it
        QString path;    // the game file
        QDateTime time;  // the last record's time
        QByteArray base; // the file as the writer read it
        QByteArray mine; // the file as the writer's last record leaves it
    };

    RecoveryJournal() = default;
    RecoveryJournal(const RecoveryJournal&) = delete;
    RecoveryJournal& operator=(const RecoveryJournal&) = delete;
    // Closes the file; the journal stays on disk (remove() takes it away).
    ~RecoveryJournal();

    // Starts a journal in `folder` for the file at `path` read as `base`: the first record
    // written and synced. False when the folder or the file cannot be written.
    bool start(const QString& folder, const QString& path, const QByteArray& base);
    // Appends the runs by which `mine` differs from the state last written, then syncs; a
    // state equal to it writes nothing. False when the append failed.
    bool append(const QByteArray& mine);
    // Deletes the journal from disk.
    void remove();
    bool started() const { return file_.isOpen(); }
    // The game file it is kept for and its own path.
    const QString& path() const { return path_; }
    QString journalPath() const { return file_.fileName(); }
    // The bytes written to the journal so far.
    qint64 written() const { return written_; }

    // The records of the journal at `journal`, up to the first one cut off or damaged;
    // nothing when not even the first record reads.
    static std::optional<Recovered> read(const QString& journal);
    // The journals in `folder` whose writer no longer runs (`running(pid)` says whether a
    // process runs; by default the system's own answer), oldest first.
    static QList<Recovered> orphans(const QString& folder,
                                    const std::function<bool(qint64)>& running = {});
    // Whether the process `pid` runs on this machine.
    static bool processRuns(qint64 pid);
    // The runs by which `after` differs from `before` as one record's payload (time
    // included), and the state a payload leaves `before` in; nothing when it does not read.
    static QByteArray stepRecord(const QByteArray& before, const QByteArray& after,
                                 const QDateTime& time);
    static std::optional<QByteArray> applyStep(const QByteArray& before, const QByteArray& record,
                                               QDateTime* time);

private:
    bool writeRecord(const QByteArray& payload);

    QFile file_;
    QString path_;
    QByteArray last_;
    qint64 written_ = 0;
};

} // namespace lcj
