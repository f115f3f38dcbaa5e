// A journal a stopped writer left, as the next writer finds it: finished when
// every new file is there and whole, undone otherwise, left alone while its
// writer still runs. The files are set out as a writer leaves them at the
// moment it stops.
#include "common/fileaccess.h"
#include "common/writejournal.h"
#include "support/testfiles.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <gtest/gtest.h>

using namespace lcj;

namespace {

QString sha(const QByteArray& bytes) {
    return QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex());
}

struct Left {
    friend void PrintTo(const Left& c, std::ostream* os) { *os << c.name; }
    const char* name;
    qint64 writer;      // its process id
    bool firstReplaced; // a.e5 already holds its new bytes
    bool secondCut;     // b.e5's staged file is cut short
    bool journalCut;    // the journal itself is cut short
    const char* said;   // in the one line said; empty: nothing said
    const char* after;  // what a.e5 and b.e5 hold afterwards: "n" new, "o" old
    bool workshopStays; // the writer's files are still there afterwards
};

class LeftJournal : public ::testing::TestWithParam<Left> {};

} // namespace

TEST_P(LeftJournal, IsSettledAsItsFilesSay) {
    const Left& c = GetParam();
#ifdef Q_OS_WIN
    if (c.writer == 1)
        GTEST_SKIP() << "process 1, always running elsewhere, is no process on Windows";
#endif
    test::TestFolder dir;
    const QString folder = dir.path({});
    const QString workshop = files::workshopOf(folder);
    ASSERT_TRUE(QDir().mkpath(workshop));
    const QString tag = QStringLiteral("%1-00beef").arg(c.writer);
    const QStringList names{QStringLiteral("a.e5"), QStringLiteral("b.e5")};
    QString entries;
    for (int i = 0; i < 2; ++i) {
        const QByteArray before = "old " + names[i].toLatin1(),
                         after = "new " + names[i].toLatin1();
        const bool replaced = i == 0 && c.firstReplaced;
        dir.write(names[i], replaced ? after : before);
        if (!replaced)
            dir.write(QStringLiteral(".lcjworkshop/%1-%2.new").arg(tag).arg(i),
                      i == 1 && c.secondCut ? after.left(3) : after);
        dir.write(QStringLiteral(".lcjworkshop/%1-%2.old").arg(tag).arg(i), before);
        entries +=
            QStringLiteral(R"(%1{"file": "%2", "old": "%3", "new": "%4",)"
                           R"( "staged": "%5-%6.new", "parked": "%5-%6.old"})")
                .arg(i ? QStringLiteral(", ") : QString(), names[i], sha(before), sha(after), tag)
                .arg(i);
    }
    QByteArray journal = QStringLiteral(R"({"format": "lcjjournal", "version": 1, "pid": %1,)"
                                        R"( "files": [%2]})")
                             .arg(c.writer)
                             .arg(entries)
                             .toUtf8();
    if (c.journalCut)
        journal.chop(20);
    dir.write(QStringLiteral(".lcjworkshop/%1.journal").arg(tag), journal);

    // A command that only reads names it when its writer is gone, and changes nothing.
    const QStringList unfinished = files::WriteJournal::unfinished(folder);
    EXPECT_EQ(unfinished.size(), c.said[0] ? 1 : 0) << unfinished.join(u'\n').toStdString();
    EXPECT_EQ(QDir(workshop).entryList(QDir::Files).size(), c.firstReplaced ? 4 : 5);

    const QStringList lines = files::WriteJournal::settle(folder);
    if (c.said[0]) {
        ASSERT_EQ(lines.size(), 1);
        EXPECT_TRUE(lines[0].contains(QString::fromUtf8(c.said))) << lines[0].toStdString();
    } else {
        EXPECT_TRUE(lines.isEmpty());
    }
    for (int i = 0; i < 2; ++i)
        EXPECT_EQ(test::readFile(dir.path(names[i])),
                  (c.after[i] == 'n' ? "new " : "old ") + names[i].toLatin1());
    EXPECT_EQ(QFileInfo::exists(workshop), c.workshopStays);
}

INSTANTIATE_TEST_SUITE_P(
    Journals, LeftJournal,
    ::testing::Values(
        // Stopped before the first replace, every staged file whole: finished.
        Left{"staged_whole", 2147483000, false, false, false, "已完成", "nn", false},
        // One file replaced, the other's staged file cut short (a power cut): undone.
        Left{"staged_cut", 2147483000, true, true, false, "已撤销", "oo", false},
        // One file replaced, the other's staged file whole: finished.
        Left{"half_replaced", 2147483000, true, false, false, "已完成", "nn", false},
        // The journal never got whole to the disk: nothing was replaced after it.
        Left{"journal_cut", 2147483000, false, false, true, "没有改动任何文件", "oo", false},
        // Its writer still runs (process 1): left alone.
        Left{"writer_running", 1, true, false, false, "", "no", true}),
    [](const auto& info) { return std::string(info.param.name); });
