// Two lcjtool processes that change the same game file at once: each edit is
// either in the file or its process says it failed. Never both report success
// with one edit lost.
#include "cli/cli.h"
#include "cli/clirun.h"
#include "common/writelock.h"
#include "samplegen/samplegame.h"
#include "support/deadlock.h"
#include "support/testfiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <QProcessEnvironment>
#include <functional>
#include <gtest/gtest.h>

using namespace lcj;

namespace {

QString lcjtoolProgram() {
    static int argc = 1;
    static char name[] = "cli_twowriters_tests";
    static char* argv[] = {name, nullptr};
    if (!QCoreApplication::instance())
        new QCoreApplication(argc, argv);
#ifdef Q_OS_WIN
    return QCoreApplication::applicationDirPath() + QStringLiteral("/lcjtool.exe");
#else
    return QCoreApplication::applicationDirPath() + QStringLiteral("/lcjtool");
#endif
}

struct Finished {
    int code = -1;
    QString err;
};

// Starts every command line at once and waits for all of them.
std::vector<Finished> runTogether(const QList<QStringList>& commands) {
    const QString program = lcjtoolProgram();
    std::vector<std::unique_ptr<QProcess>> processes;
    for (const QStringList& args : commands) {
        processes.push_back(std::make_unique<QProcess>());
        processes.back()->start(program, args);
    }
    std::vector<Finished> results;
    for (auto& p : processes) {
        Finished f;
        if (p->waitForStarted(60000) && p->waitForFinished(120000) &&
            p->exitStatus() == QProcess::NormalExit)
            f.code = p->exitCode();
        f.err = QString::fromUtf8(p->readAllStandardError());
        results.push_back(f);
    }
    return results;
}

// Rounds per case: a few in the everyday run, more when asked for.
int rounds() {
    bool ok = false;
    const int asked = qEnvironmentVariableIntValue("LCJ_TWO_WRITER_ROUNDS", &ok);
    return ok && asked > 0 ? asked : 12;
}

using Folder = QMap<QString, QByteArray>;

// The files in which two folders differ, for a failure message.
std::string differences(const Folder& a, const Folder& b) {
    QStringList names;
    for (auto it = a.cbegin(); it != a.cend(); ++it)
        if (!b.contains(it.key()) || b.value(it.key()) != it.value())
            names.append(it.key());
    for (auto it = b.cbegin(); it != b.cend(); ++it)
        if (!a.contains(it.key()))
            names.append(it.key());
    return names.join(QStringLiteral(", ")).toStdString();
}

struct WriterCase {
    friend void PrintTo(const WriterCase& c, std::ostream* os) { *os << c.name; }
    const char* name;
    const char* file; // the game file both change, in the folder "game"
    QByteArray (*original)();
    QStringList command; // {file} and {edit} stand for the paths
    const char* suffix;  // of the edit files
    const char* editA;
    const char* editB;
};

QByteArray firstScenario() {
    return sample::sampleScenarioFiles().first().bytes;
}

class TwoWriters : public ::testing::TestWithParam<WriterCase> {
protected:
    // A folder with the game file in game/ and the two edits beside it.
    struct Layout {
        test::TestFolder dir;
        QString file, editA, editB;
    };
    std::unique_ptr<Layout> lay() const {
        const WriterCase& c = GetParam();
        auto l = std::make_unique<Layout>();
        EXPECT_TRUE(QDir(l->dir.path({})).mkdir(QStringLiteral("game")));
        l->file = l->dir.write(QStringLiteral("game/") + QString::fromLatin1(c.file), c.original());
        const QString suffix = QString::fromLatin1(c.suffix);
        l->editA = l->dir.write(QStringLiteral("a.") + suffix, QByteArray(c.editA));
        l->editB = l->dir.write(QStringLiteral("b.") + suffix, QByteArray(c.editB));
        return l;
    }
    static QStringList command(const Layout& l, const QString& edit) {
        QStringList args = GetParam().command;
        for (QString& a : args)
            a.replace(QStringLiteral("{file}"), l.file).replace(QStringLiteral("{edit}"), edit);
        return args;
    }
    // The whole folder after running the edits one after the other.
    Folder after(const QList<bool>& aFirst) const {
        auto l = lay();
        for (const bool a : aFirst) {
            const auto r = runTogether({command(*l, a ? l->editA : l->editB)});
            EXPECT_EQ(r[0].code, 0) << r[0].err.toStdString();
        }
        return test::snapshot(l->dir.path({}));
    }
};

} // namespace

TEST_P(TwoWriters, NoEditIsLostSilently) {
    const auto untouched = [&] {
        auto l = lay();
        return test::snapshot(l->dir.path({}));
    }();
    const auto onlyA = after({true});
    const auto onlyB = after({false});
    const auto aThenB = after({true, false});
    const auto bThenA = after({false, true});
    // Each edit changes the file, and the two together differ from either alone.
    ASSERT_FALSE(onlyA == untouched);
    ASSERT_FALSE(onlyB == untouched);
    ASSERT_FALSE(aThenB == onlyA);
    ASSERT_FALSE(aThenB == onlyB);

    const int n = rounds();
    int bothIn = 0;
    for (int round = 0; round < n; ++round) {
        auto l = lay();
        const auto r = runTogether({command(*l, l->editA), command(*l, l->editB)});
        const auto now = test::snapshot(l->dir.path({}));
        const std::string where = "round " + std::to_string(round) + ": A exit " +
                                  std::to_string(r[0].code) + " " + r[0].err.toStdString() +
                                  " / B exit " + std::to_string(r[1].code) + " " +
                                  r[1].err.toStdString();
        if (r[0].code == 0 && r[1].code == 0) {
            EXPECT_TRUE(now == aThenB || now == bThenA)
                << where
                << "\nboth reported success, but an edit is missing: " << differences(now, aThenB);
            ++bothIn;
        } else if (r[0].code == 0) {
            EXPECT_TRUE(now == onlyA) << where << ": " << differences(now, onlyA);
            EXPECT_FALSE(r[1].err.isEmpty()) << where;
        } else if (r[1].code == 0) {
            EXPECT_TRUE(now == onlyB) << where << ": " << differences(now, onlyB);
            EXPECT_FALSE(r[0].err.isEmpty()) << where;
        } else {
            ADD_FAILURE() << where << "\nneither edit got in";
        }
        if (::testing::Test::HasFailure())
            break;
    }
    // Waiting for the other's lock lets both in, almost always.
    EXPECT_GT(bothIn, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Commands, TwoWriters,
    ::testing::Values(WriterCase{"data_import",
                                 "data.e5",
                                 [] { return sample::dataFile(); },
                                 {QStringLiteral("data"), QStringLiteral("import"),
                                  QStringLiteral("{file}"), QStringLiteral("characters"),
                                  QStringLiteral("{edit}")},
                                 "csv",
                                 "序号,武力\r\n5,3\r\n",
                                 "序号,武力\r\n6,4\r\n"},
                      WriterCase{"save_import",
                                 "Sv01d.e5s",
                                 [] { return sample::saveGame(); },
                                 {QStringLiteral("save"), QStringLiteral("import"),
                                  QStringLiteral("{file}"), QStringLiteral("{edit}")},
                                 "csv",
                                 "序号,武力\r\n5,76\r\n",
                                 "序号,武力\r\n6,78\r\n"},
                      WriterCase{"scenario_edit",
                                 "S_01.eex",
                                 firstScenario,
                                 {QStringLiteral("scenario"), QStringLiteral("edit"),
                                  QStringLiteral("{file}"), QStringLiteral("{edit}")},
                                 "json",
                                 R"({"battle": {"turns": 33}})",
                                 R"({"battle": {"level_bonus": 4}})"}),
    [](const auto& info) { return std::string(info.param.name); });

// A lock held by another program is waited for, then the command refuses
// with a message and writes nothing; a lock left by a program that died is
// taken over and removed.
TEST(LockedFile, LcjtoolRefusesWhileAnotherHoldsTheLock) {
    test::TestFolder dir;
    const QString path = dir.write(QStringLiteral("data.e5"), sample::dataFile());
    const QString edit = dir.write(QStringLiteral("a.csv"), "序号,武力\r\n5,3\r\n");
    auto held = files::WriteLock::take(path);
    ASSERT_TRUE(held.ok());
    const auto before = test::snapshot(dir.path({}));
    const auto r = runTogether({{QStringLiteral("data"), QStringLiteral("import"), path,
                                 QStringLiteral("characters"), edit}});
    EXPECT_EQ(r[0].code, cli::DataError);
    EXPECT_TRUE(r[0].err.contains(QStringLiteral("正被另一个程序")) &&
                r[0].err.contains(QStringLiteral("没有写入任何内容")))
        << r[0].err.toStdString();
    EXPECT_TRUE(test::snapshot(dir.path({})) == before);
    held->release();
    // Let go, the same command goes through and leaves no lock behind.
    const auto again = runTogether({{QStringLiteral("data"), QStringLiteral("import"), path,
                                     QStringLiteral("characters"), edit}});
    EXPECT_EQ(again[0].code, 0) << again[0].err.toStdString();
    EXPECT_FALSE(QFile::exists(files::lockPath(path)));
}

TEST(LockedFile, LockOfAProgramThatDiedIsTakenOver) {
    test::TestFolder dir;
    const QString path = dir.write(QStringLiteral("Sv01d.e5s"), sample::saveGame());
    const QString edit = dir.write(QStringLiteral("a.csv"), "序号,武力\r\n5,76\r\n");
    ASSERT_TRUE(test::leaveLockOfADeadProgram(path));
    const QString lockFile = files::lockPath(path);
    const auto r = runTogether({{QStringLiteral("save"), QStringLiteral("import"), path, edit}});
    EXPECT_EQ(r[0].code, 0) << r[0].err.toStdString();
    EXPECT_NE(test::readFile(path), sample::saveGame());
    EXPECT_FALSE(QFile::exists(lockFile));
}
