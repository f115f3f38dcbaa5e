#include "writejournal.h"

#include "durablefile.h"
#include "fileaccess.h"
#include "writelock.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDateTime>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLockFile>
#include <QRandomGenerator>
#include <QRegularExpression>

namespace lcj::files {

namespace {

std::function<void(const QString&)>& reporter() {
    static std::function<void(const QString&)> report;
    return report;
}

void say(const QString& line) {
    if (reporter())
        reporter()(line);
    else
        qInfo().noquote() << line;
}

QString shown(const QString& path) {
    return QDir::toNativeSeparators(path);
}

// The file a link leads to: the one a write replaces, the link staying.
QString followLinks(const QString& path) {
    QFileInfo info(path);
    for (int depth = 0; depth < 128 && info.isSymLink(); ++depth)
        info.setFile(info.symLinkTarget());
    return info.absoluteFilePath();
}

// One file of a journal; names in the workshop are short, so that a target
// of any name the system allows fits.
struct Entry {
    QString name;   // in the folder
    QString oldSha; // of the bytes it held
    QString newSha; // of the bytes it is to hold
    QString staged; // in the workshop: the new bytes
    QString parked; // in the workshop: the old bytes, until the journal ends
};

QByteArray journalText(qint64 pid, const QList<Entry>& entries) {
    QJsonArray list;
    for (const Entry& e : entries)
        list.append(QJsonObject{{QStringLiteral("file"), e.name},
                                {QStringLiteral("old"), e.oldSha},
                                {QStringLiteral("new"), e.newSha},
                                {QStringLiteral("staged"), e.staged},
                                {QStringLiteral("parked"), e.parked}});
    return QJsonDocument(QJsonObject{{QStringLiteral("format"), QStringLiteral("lcjjournal")},
                                     {QStringLiteral("version"), 1},
                                     {QStringLiteral("pid"), pid},
                                     {QStringLiteral("files"), list}})
        .toJson(QJsonDocument::Indented);
}

// A name that stays inside its folder.
bool plainName(const QString& name) {
    return !name.isEmpty() && !name.contains(u'/') && !name.contains(u'\\') &&
           name != QStringLiteral(".") && name != QStringLiteral("..");
}

// The entries of a journal, or nothing when it is not whole: then it never
// got to the disk, and no file was replaced after it.
std::optional<QList<Entry>> readJournal(const QString& path) {
    const auto text = readWhole(path, SizeLimit::UserText);
    if (!text.ok())
        return {};
    QJsonParseError error;
    const QJsonObject o = QJsonDocument::fromJson(*text, &error).object();
    if (error.error != QJsonParseError::NoError ||
        o.value(QStringLiteral("format")).toString() != QStringLiteral("lcjjournal") ||
        o.value(QStringLiteral("version")).toInt() != 1)
        return {};
    QList<Entry> entries;
    for (const QJsonValue& v : o.value(QStringLiteral("files")).toArray()) {
        const QJsonObject f = v.toObject();
        Entry e{
            f.value(QStringLiteral("file")).toString(), f.value(QStringLiteral("old")).toString(),
            f.value(QStringLiteral("new")).toString(), f.value(QStringLiteral("staged")).toString(),
            f.value(QStringLiteral("parked")).toString()};
        if (!plainName(e.name) || !plainName(e.staged) || !plainName(e.parked))
            return {};
        entries.append(e);
    }
    if (entries.isEmpty())
        return {};
    return entries;
}

// The SHA-256 of the file at `path`, or empty when it cannot be read.
QString shaOfFile(const QString& path) {
    if (!QFileInfo(path).isFile())
        return {};
    const auto bytes = readWhole(path);
    return bytes.ok() ? sha256Hex(*bytes) : QString();
}

// The writer's process id and its write's tag that begin a workshop file's
// name ("4711-3fa2c1"), or nothing for a name of no writer.
std::optional<std::pair<qint64, QString>> writerOf(const QString& name) {
    static const QRegularExpression pattern(QStringLiteral("^((\\d+)-[0-9a-f]+)[-.]"));
    const auto m = pattern.match(name);
    if (!m.hasMatch())
        return {};
    return std::pair{m.captured(2).toLongLong(), m.captured(1)};
}

QStringList journalsIn(const QString& workshop) {
    return QDir(workshop).entryList({QStringLiteral("*.journal")}, QDir::Files | QDir::Hidden,
                                    QDir::Name);
}

// Removes every file of the write tagged `tag` from the workshop.
void removeWrite(const QString& workshop, const QString& tag) {
    const QDir dir(workshop);
    for (const QString& name : dir.entryList({tag + u'*'}, QDir::Files | QDir::Hidden))
        if (writerOf(name) && writerOf(name)->second == tag)
            QFile::remove(dir.filePath(name));
}

// Keeps `bytes` for the user in a new file NAME.<label>-TIME beside `path`.
// The new file's path, or empty when none could be written.
QString keepBeside(const QString& path, const QByteArray& bytes, const QString& label) {
    const QString stem = path + u'.' + label + u'-' +
                         QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    for (int n = 1; n < 100; ++n) {
        const QString kept = n == 1 ? stem : stem + QStringLiteral("-%1").arg(n);
        if (QFileInfo::exists(kept) || QFileInfo(kept).isSymLink())
            continue;
        if (!writeWhole(kept, bytes).ok())
            return {};
        return kept;
    }
    return {};
}

// The files a journal names, settled one way: put in place (`finish`) or put
// back. The names of the files that could not be, empty when all were.
QStringList settleEntries(const QString& folder, const QList<Entry>& entries, bool finish) {
    const QDir dir(folder);
    const QDir workshop(workshopOf(folder));
    QStringList stuck;
    for (const Entry& e : entries) {
        const QString target = dir.filePath(e.name);
        const QString now = shaOfFile(target);
        if (now == (finish ? e.newSha : e.oldSha))
            continue;
        const QString from = workshop.filePath(finish ? e.staged : e.parked);
        if (now != (finish ? e.oldSha : e.newSha) ||
            shaOfFile(from) != (finish ? e.newSha : e.oldSha) || !steps::replace(target, from).ok())
            stuck << e.name;
    }
    return stuck;
}

QString names(const QList<Entry>& entries) {
    QStringList out;
    for (const Entry& e : entries)
        out << e.name;
    return out.join(u'、');
}

// Settles the journal `journal` of `folder` under the locks of its files.
// The line said, or empty when its writer still runs.
QString settleJournal(const QString& folder, const QString& journal) {
    const QString workshop = workshopOf(folder);
    const QString path = QDir(workshop).filePath(journal);
    const auto writer = writerOf(journal);
    const bool own = writer && writer->first == QCoreApplication::applicationPid();
    if (!writer || (!own && durable::processRunning(writer->first)))
        return {};
    const auto entries = readJournal(path);
    const QString where = shown(folder);
    if (!entries && !readWhole(path, SizeLimit::UserText).ok())
        return QStringLiteral("“%1”中上次中断的写入的记录“%2”读不出来，它和它的文件都保留着。")
            .arg(where, shown(path));
    if (!entries) {
        // Never whole on the disk: no file was replaced after it.
        QFile::remove(path);
        removeWrite(workshop, writer->second);
        return QStringLiteral("“%1”中上次中断的写入还没有改动任何文件，已撤销。").arg(where);
    }
    QStringList paths;
    for (const Entry& e : *entries)
        paths << QDir(folder).filePath(e.name);
    const auto locks = WriteLock::takeAtOnce(paths);
    if (!locks.ok() || !QFileInfo::exists(path))
        return {};
    bool finish = true;
    for (const Entry& e : *entries) {
        const QString target = QDir(folder).filePath(e.name);
        finish = finish && (shaOfFile(target) == e.newSha ||
                            shaOfFile(QDir(workshop).filePath(e.staged)) == e.newSha);
    }
    const QStringList stuck = settleEntries(folder, *entries, finish);
    durable::syncFolder(folder);
    if (!stuck.isEmpty())
        return QStringLiteral("“%1”中上次中断的写入无法%2：%3 与记录不符；原来的文件保留在“%4”中。")
            .arg(where, finish ? QStringLiteral("完成") : QStringLiteral("撤销"), stuck.join(u'、'),
                 shown(workshop));
    QFile::remove(path);
    removeWrite(workshop, writer->second);
    return finish ? QStringLiteral("“%1”中上次中断的写入已完成：%2 都是写入后的内容。")
                        .arg(where, names(*entries))
                  : QStringLiteral("“%1”中上次中断的写入已撤销：%2 都是写入前的内容。")
                        .arg(where, names(*entries));
}

// Removes what writers that are gone left in the workshop of `folder`: their
// files (unless a journal of theirs still needs them) and their locks.
void sweep(const QString& folder) {
    const QString workshop = workshopOf(folder);
    const QDir dir(workshop);
    QStringList journaled;
    for (const QString& journal : journalsIn(workshop))
        if (const auto w = writerOf(journal))
            journaled << w->second;
    for (const QString& name : dir.entryList(QDir::Files | QDir::Hidden | QDir::System)) {
        if (name.endsWith(QStringLiteral(".lock"))) {
            // A lock whose owner is gone is taken over, and goes with the unlock.
            QLockFile lock(dir.filePath(name));
            lock.setStaleLockTime(0);
            if (lock.tryLock(0))
                lock.unlock();
            continue;
        }
        const auto w = writerOf(name);
        if (w && !journaled.contains(w->second) && !durable::processRunning(w->first))
            QFile::remove(dir.filePath(name));
    }
    tidyWorkshop(folder);
}

} // namespace

void setJournalReport(std::function<void(const QString&)> report) {
    reporter() = std::move(report);
}

QStringList WriteJournal::settle(const QString& folder) {
    const QString workshop = workshopOf(folder);
    if (!QFileInfo(workshop).isDir())
        return {};
    QStringList lines;
    for (const QString& journal : journalsIn(workshop)) {
        const QString line = settleJournal(folder, journal);
        if (!line.isEmpty()) {
            say(line);
            lines << line;
        }
    }
    sweep(folder);
    return lines;
}

QStringList WriteJournal::unfinished(const QString& folder) {
    const QString workshop = workshopOf(folder);
    QStringList lines;
    for (const QString& journal : journalsIn(workshop)) {
        const auto writer = writerOf(journal);
        if (!writer || durable::processRunning(writer->first))
            continue;
        const auto entries = readJournal(QDir(workshop).filePath(journal));
        lines << QStringLiteral("“%1”中有一次中断的写入%2还没有完成或撤销（“%3”）；"
                                "下次写入这个文件夹时会处理它，这次没有改动任何文件。")
                     .arg(shown(folder),
                          entries ? QStringLiteral("（%1）").arg(names(*entries)) : QString(),
                          shown(QDir(workshop).filePath(journal)));
    }
    return lines;
}

Failure WriteJournal::write(const QList<JournalFile>& files, const QString& keptLabel) {
    if (files.isEmpty())
        return {};
    const QString nothing = QStringLiteral("\n没有写入任何文件。");
    QString folder;
    QStringList targets;
    for (const JournalFile& f : files) {
        const QString target = followLinks(f.path);
        const QString in = QFileInfo(target).absolutePath();
        if (folder.isEmpty())
            folder = in;
        if (in != folder)
            return QStringLiteral("“%1”和“%2”不在同一个文件夹里，不能一起写入。")
                       .arg(shown(files.first().path), shown(f.path)) +
                   nothing;
        targets << target;
    }
    for (const JournalFile& f : files)
        if (auto failure = steps::keepBackup(f.path, &f.before); !failure.ok())
            return failure;
    if (auto failure = makeWorkshop(folder); !failure.ok())
        return failure;
    const QString workshop = workshopOf(folder);
    const QDir dir(workshop);
    const qint64 pid = QCoreApplication::applicationPid();
    const QString tag = QStringLiteral("%1-%2").arg(pid).arg(
        qulonglong(QRandomGenerator::global()->bounded(0x1000000)), 6, 16, QChar(u'0'));
    const QString journal = dir.filePath(tag + QStringLiteral(".journal"));
    const auto abandon = [&](const QString& why) -> Failure {
        removeWrite(workshop, tag);
        tidyWorkshop(folder);
        return why + nothing;
    };

    // The new files and a second name of the old ones, on the disk first.
    QList<Entry> entries;
    for (qsizetype i = 0; i < files.size(); ++i) {
        const JournalFile& f = files[i];
        Entry e{QFileInfo(targets[i]).fileName(), sha256Hex(f.before), sha256Hex(f.after),
                QStringLiteral("%1-%2.new").arg(tag).arg(i),
                QStringLiteral("%1-%2.old").arg(tag).arg(i)};
        if (auto failure = steps::writeNew(dir.filePath(e.staged), f.after, targets[i]);
            !failure.ok())
            return abandon(failure.error());
        if (!durable::hardLink(targets[i], dir.filePath(e.parked)))
            if (auto failure = steps::writeNew(dir.filePath(e.parked), f.before, targets[i]);
                !failure.ok())
                return abandon(failure.error());
        entries.append(e);
    }
    // The journal, then the names in the workshop folder: the journal and the
    // files it names are on the disk from here, before anything is replaced.
    if (auto failure = steps::writeNew(journal, journalText(pid, entries), {}); !failure.ok())
        return abandon(failure.error());
    durable::syncFolder(workshop);

    // From here the journal says how to finish or undo.
    for (qsizetype i = 0; i < files.size(); ++i) {
        Failure failure = steps::unwritable(files[i].path);
        if (failure.ok())
            failure = steps::replace(targets[i], dir.filePath(entries[i].staged));
        if (failure.ok())
            continue;
        QStringList restored, lost;
        // A replace that moved the old file aside and could not bring the
        // new one in (Windows) leaves the name empty: the kept copy fills it.
        const qsizetype last = QFileInfo::exists(targets[i]) ? i - 1 : i;
        for (qsizetype j = last; j >= 0; --j) {
            const QString parked = dir.filePath(entries[j].parked);
            if (steps::replace(targets[j], parked).ok() ||
                steps::replace(targets[j], parked).ok()) {
                restored.prepend(entries[j].name);
                continue;
            }
            const QString kept = keepBeside(files[j].path, files[j].before, keptLabel);
            lost.prepend(
                kept.isEmpty()
                    ? QStringLiteral("%1 无法恢复，%2的内容也没能另存；下次写入这个文件夹时会再"
                                     "试着恢复它")
                          .arg(entries[j].name, keptLabel)
                    : QStringLiteral("%1 无法恢复，%2的内容已另存为“%3”；下次写入这个文件夹时"
                                     "会再试着恢复它")
                          .arg(entries[j].name, keptLabel, shown(kept)));
        }
        durable::syncFolder(folder);
        // What was not replaced stays as it is, whoever settles the journal.
        for (qsizetype j = i; j < entries.size(); ++j)
            QFile::remove(dir.filePath(entries[j].staged));
        if (lost.isEmpty()) {
            QFile::remove(journal);
            removeWrite(workshop, tag);
            tidyWorkshop(folder);
        }
        QString message = QStringLiteral("写入“%1”出错：%2")
                              .arg(QFileInfo(files[i].path).fileName(), failure.error());
        if (!restored.isEmpty())
            message += QStringLiteral("\n已写入的 %1 已恢复原样。").arg(restored.join(u'、'));
        for (const QString& l : lost)
            message += u'\n' + l + u'。';
        if (restored.isEmpty() && lost.isEmpty())
            message += nothing;
        return message;
    }
    // Every file is in place for good before the journal goes.
    durable::syncFolder(folder);
    QFile::remove(journal);
    removeWrite(workshop, tag);
    tidyWorkshop(folder);
    return {};
}

} // namespace lcj::files
