// The journal of unsaved edits read back as written: the base and every flushed state, a
// record cut off by a crash during its append ignored with the records before it standing,
// and only the journals of programs no longer running taken.
#include "common/recoveryjournal.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace lcj;

namespace {

QByteArray bytesOf(qsizetype size, char fill) {
    QByteArray bytes(size, fill);
    for (qsizetype i = 0; i < size; i += 7)
        bytes[i] = char(i % 251);
    return bytes;
}

struct Case {
    const char* name;
    qsizetype size;
    // Each flushed state: the bytes changed at {place, length, value}.
    std::vector<std::vector<std::tuple<qsizetype, qsizetype, char>>> steps;
    qsizetype grow = 0;   // the last state longer by this much (a scenario that grew)
    qsizetype cutOff = 0; // bytes cut from the journal's end (a torn append)
    int statesKept;       // the state read back: after how many steps
};

class RoundTrip : public testing::TestWithParam<Case> {};

TEST_P(RoundTrip, readsBackTheLastWholeRecord) {
    const Case& c = GetParam();
    QTemporaryDir folder;
    const QByteArray base = bytesOf(c.size, 'a');
    std::vector<QByteArray> states{base};
    RecoveryJournal journal;
    ASSERT_TRUE(journal.start(folder.path(), QStringLiteral("/游戏/data.e5"), base));
    for (std::size_t s = 0; s < c.steps.size(); ++s) {
        QByteArray next = states.back();
        for (const auto& [at, length, value] : c.steps[s])
            next.replace(at, length, QByteArray(length, value));
        if (s + 1 == c.steps.size() && c.grow)
            next += QByteArray(c.grow, 'z');
        ASSERT_TRUE(journal.append(next));
        states.push_back(next);
    }
    const QString path = journal.journalPath();
    EXPECT_TRUE(QFileInfo(path).fileName().startsWith(
        QString::number(QCoreApplication::applicationPid()) + u'-'));
    if (c.cutOff) {
        QFile file(path);
        ASSERT_TRUE(file.resize(file.size() - c.cutOff));
    }
    const auto read = RecoveryJournal::read(path);
    ASSERT_TRUE(read.has_value());
    EXPECT_EQ(read->path, QStringLiteral("/游戏/data.e5"));
    EXPECT_EQ(read->base, base);
    EXPECT_EQ(read->mine, states.at(c.statesKept));
    EXPECT_EQ(read->pid, QCoreApplication::applicationPid());
    journal.remove();
    EXPECT_FALSE(QFile::exists(path));
}

INSTANTIATE_TEST_SUITE_P(
    Journal, RoundTrip,
    testing::Values(Case{"baseOnly", 4096, {}, 0, 0, 0},
                    Case{"oneByte", 4096, {{{100, 1, 'x'}}}, 0, 0, 1},
                    Case{"runsNearAndFar",
                         65536,
                         {{{10, 3, 'x'}, {20, 2, 'y'}, {60000, 5, 'q'}}, {{11, 1, 'k'}}},
                         0,
                         0,
                         2},
                    Case{"grown", 4096, {{{0, 1, 'x'}}, {{4095, 1, 'w'}}}, 300, 0, 2},
                    Case{"lastRecordTorn", 4096, {{{5, 1, 'x'}}, {{6, 100, 'y'}}}, 0, 40, 1},
                    Case{"tornInItsLength", 4096, {{{5, 1, 'x'}}, {{9, 1, 'y'}}}, 0, 30, 1},
                    Case{"allButTheBase", 4096, {{{5, 1, 'x'}}}, 0, 15, 0}),
    [](const testing::TestParamInfo<Case>& info) { return std::string(info.param.name); });

// 1,000 single-field steps stay small: only the runs that changed are written.
TEST(Journal, thousandStepsStayUnderAMebibyte) {
    QTemporaryDir folder;
    QByteArray state = bytesOf(2 * 1024 * 1024, 'b');
    RecoveryJournal journal;
    ASSERT_TRUE(journal.start(folder.path(), QStringLiteral("data.e5"), state));
    const qint64 afterBase = journal.written();
    for (int i = 0; i < 1000; ++i) {
        state[(i * 7919) % state.size()] = char(i);
        ASSERT_TRUE(journal.append(state));
    }
    EXPECT_LT(journal.written() - afterBase, 1024 * 1024);
    EXPECT_EQ(RecoveryJournal::read(journal.journalPath())->mine, state);
}

// A program takes the journals of programs that no longer run, never a running one's.
TEST(Journal, orphansAreTheJournalsOfProgramsGone) {
    QTemporaryDir folder;
    RecoveryJournal mine;
    ASSERT_TRUE(mine.start(folder.path(), QStringLiteral("Imsg.e5"), "abc"));
    ASSERT_TRUE(mine.append("abd"));
    EXPECT_TRUE(RecoveryJournal::orphans(folder.path()).isEmpty());
    // A copy kept under another name is no journal.
    ASSERT_TRUE(QFile::copy(mine.journalPath(), mine.journalPath() + QStringLiteral(".old")));
    const auto gone = RecoveryJournal::orphans(folder.path(), [](qint64) { return false; });
    ASSERT_EQ(gone.size(), 1);
    EXPECT_EQ(gone[0].mine, QByteArray("abd"));
    EXPECT_EQ(gone[0].journal, mine.journalPath());
}

} // namespace
