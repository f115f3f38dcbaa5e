// A real lcjtool patch apply over several files, stopped dead (SIGKILL) right
// after each of its fsyncs and replaces in turn: after the next writing run
// the game folder is wholly as before or wholly patched, byte for byte, and
// holds nothing but its own files, their .bak copies and the workshop.
#include "changes/patch.h"
#include "cli/cli.h"
#include "common/fileaccess.h"
#include "samplegen/samplegame.h"
#include "support/testfiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <gtest/gtest.h>

using namespace lcj;
using namespace Qt::StringLiterals;
namespace patch = changes::patch;

namespace {

QString lcjtoolProgram() {
    static int argc = 1;
    static char name[] = "cli_journal_tests";
    static char* argv[] = {name, nullptr};
    if (!QCoreApplication::instance())
        new QCoreApplication(argc, argv);
    return QCoreApplication::applicationDirPath() + QStringLiteral("/lcjtool");
}

struct ToolRun {
    bool killed = false;
    int code = -1;
    QString out, err;
};

ToolRun lcjtool(const QStringList& args, int stopAfter = 0) {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    if (stopAfter > 0)
        env.insert(QStringLiteral("LCJ_TEST_STOP_AFTER"), QString::number(stopAfter));
    p.setProcessEnvironment(env);
    p.start(lcjtoolProgram(), args);
    ToolRun r;
    EXPECT_TRUE(p.waitForStarted(60000) && p.waitForFinished(120000))
        << args.join(u' ').toStdString();
    r.killed = p.exitStatus() == QProcess::CrashExit;
    r.code = p.exitCode();
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

// Every file under `folder`, the workshop's too, by its path inside it.
QMap<QString, QByteArray> everything(const QString& folder) {
    QMap<QString, QByteArray> out;
    QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        out.insert(QDir(folder).relativeFilePath(path), test::readFile(path));
    }
    return out;
}

// A game folder sorted: its game files, their .bak copies, and anything else.
struct Sorted {
    QMap<QString, QByteArray> games, backups;
    QStringList strays;
};

Sorted sorted(const QString& folder, const QMap<QString, QByteArray>& original) {
    Sorted s;
    for (const auto& [name, bytes] : everything(folder).asKeyValueRange()) {
        if (name.endsWith(u".bak"_s))
            s.backups.insert(name, bytes);
        else if (original.contains(name))
            s.games.insert(name, bytes);
        else
            s.strays << name;
    }
    return s;
}

// The files in which two sets differ, for a failure message.
std::string differing(const QMap<QString, QByteArray>& a, const QMap<QString, QByteArray>& b) {
    QStringList names;
    for (const QString& name : a.keys() + b.keys())
        if (a.value(name) != b.value(name) && !names.contains(name))
            names << name;
    return names.join(u' ').toStdString();
}

void copyGame(const QString& from, const QString& to) {
    QDir().mkpath(to);
    for (const QString& name : QDir(from).entryList(QDir::Files))
        ASSERT_TRUE(QFile::copy(QDir(from).filePath(name), QDir(to).filePath(name)));
}

// One edit of one game file, made through lcjtool's own imports.
struct Edit {
    const char* file;
    QStringList (*args)(const QString& file, const QString& input);
    const char* input;
};

const Edit edits[] = {
    {"data.e5",
     [](const QString& f, const QString& in) {
         return QStringList{u"data"_s, u"import"_s, f, u"characters"_s, in};
     },
     "序号,武力\n3,80\n"},
    {"R_01.eex",
     [](const QString& f, const QString& in) {
         return QStringList{u"rfile"_s, u"set"_s, f, in};
     },
     "序号,本关出场人数\n0,3\n"},
    {"Imsg.e5",
     [](const QString& f, const QString& in) {
         return QStringList{u"imsg"_s, u"import"_s, f, u"liezhuan"_s, in};
     },
     "序号,人物列传\n5,中断测试\n"},
    {"Sv01d.e5s",
     [](const QString& f, const QString& in) {
         return QStringList{u"save"_s, u"import"_s, f, in, u"--part"_s, u"stock"_s};
     },
     "序号,数量\n3,9\n"},
    {"S_01.eex",
     [](const QString& f, const QString& in) {
         return QStringList{u"scenario"_s, u"edit"_s, f, in};
     },
     R"({"battle": {"turns": 33}})"},
    {"R_02.eex",
     [](const QString& f, const QString& in) {
         return QStringList{u"rfile"_s, u"set"_s, f, in};
     },
     "序号,本关出场人数\n0,2\n"},
};

struct StopCase {
    friend void PrintTo(const StopCase& c, std::ostream* os) { *os << c.name; }
    const char* name;
    int files;         // the patch changes the first `files` of edits
    bool backups;      // the .bak copies are there before the apply
    bool damageStaged; // a staged file is cut short after the stop: the next run undoes the apply
};

class StoppedApply : public ::testing::TestWithParam<StopCase> {
protected:
    test::TestFolder dir;
    QString orig = dir.path(QStringLiteral("orig"));
    QString mod = dir.path(QStringLiteral("mod"));
    QString patchFile = dir.path(QStringLiteral("mod.lcjpatch"));
    QString touchFile = dir.path(QStringLiteral("touch.lcjpatch"));

    void SetUp() override {
        ASSERT_TRUE(sample::writeSampleGame(orig).ok());
        copyGame(orig, mod);
        for (int k = 0; k < GetParam().files; ++k) {
            const QString input = dir.write(QStringLiteral("edit%1.txt").arg(k), edits[k].input);
            ASSERT_EQ(cli::run(edits[k].args(QDir(mod).filePath(QString::fromLatin1(edits[k].file)),
                                             input)),
                      cli::Ok);
        }
        QStringList warnings;
        const auto p = patch::makePatch(orig, mod, warnings);
        ASSERT_TRUE(p.ok()) << p.error().toStdString();
        ASSERT_EQ(p->files.size(), GetParam().files);
        ASSERT_TRUE(files::writeOutputFile(patchFile, patch::toJson(*p)).ok());
        // The next writing run: a patch of Lcj5.exe whose value the game
        // already holds. It locks the file, so it settles the folder, and
        // writes nothing.
        const QString other = dir.path(QStringLiteral("other"));
        copyGame(orig, other);
        const QString input = dir.write(QStringLiteral("exe.csv"), "序号,形象\n7,3\n");
        ASSERT_EQ(cli::run({u"exe"_s, u"set"_s, QDir(other).filePath(u"Lcj5.exe"_s), input}),
                  cli::Ok);
        const auto touch = patch::makePatch(QDir(other).filePath(u"Lcj5.exe"_s),
                                            QDir(orig).filePath(u"Lcj5.exe"_s), warnings);
        ASSERT_TRUE(touch.ok() && !touch->files.isEmpty());
        ASSERT_TRUE(files::writeOutputFile(touchFile, patch::toJson(*touch)).ok());
    }
};

} // namespace

TEST_P(StoppedApply, LeavesTheFolderWhollyOldOrWhollyNew) {
    const StopCase& c = GetParam();
    const auto before = everything(orig);
    const auto after = sorted(mod, before).games;
    bool readOnlyChecked = false, anyDamaged = false;
    for (int k = 1;; ++k) {
        SCOPED_TRACE(k);
        ASSERT_LT(k, 200);
        const QString game = dir.path(QStringLiteral("game%1").arg(k));
        copyGame(orig, game);
        for (const QString& name : QDir(orig).entryList(QDir::Files)) {
            if (c.backups) {
                ASSERT_TRUE(QFile::copy(QDir(orig).filePath(name),
                                        QDir(game).filePath(files::backupPath(name))));
            }
        }
        const ToolRun stopped = lcjtool({u"patch"_s, u"apply"_s, patchFile, game}, k);
        if (!stopped.killed) {
            // Every step passed: the apply ran to its end.
            ASSERT_EQ(stopped.code, cli::Ok) << stopped.err.toStdString();
            const Sorted done = sorted(game, before);
            EXPECT_TRUE(done.games == after) << differing(done.games, after);
            EXPECT_TRUE(done.strays.isEmpty()) << done.strays.join(u' ').toStdString();
            break;
        }
        const QDir workshop(files::workshopOf(game));
        const QStringList journals = workshop.entryList({u"*.journal"_s}, QDir::Files);
        if (!journals.isEmpty() && !readOnlyChecked) {
            // A command that only reads names the stopped write and changes nothing.
            readOnlyChecked = true;
            const auto stoppedState = everything(game);
            const ToolRun check = lcjtool({u"check"_s, game});
            EXPECT_EQ(check.code, cli::DataError);
            // One problem, the write; nothing in the workshop is taken for a game file.
            EXPECT_TRUE(check.out.startsWith(u".lcjworkshop: "_s) && check.out.count(u'\n') == 1)
                << check.out.toStdString();
            const ToolRun show = lcjtool(
                {u"data"_s, u"export"_s, QDir(game).filePath(u"data.e5"_s), u"characters"_s});
            EXPECT_TRUE(show.err.contains(u"注意："_s)) << show.err.toStdString();
            EXPECT_TRUE(everything(game) == stoppedState)
                << differing(everything(game), stoppedState);
        }
        bool damaged = false;
        if (c.damageStaged && !journals.isEmpty())
            for (const QString& staged : workshop.entryList({u"*.new"_s}, QDir::Files)) {
                QFile f(workshop.filePath(staged));
                ASSERT_TRUE(f.resize(f.size() / 2));
                damaged = anyDamaged = true;
                break;
            }
        const ToolRun next = lcjtool({u"patch"_s, u"apply"_s, touchFile, game});
        ASSERT_EQ(next.code, cli::Ok) << next.err.toStdString();
        if (!journals.isEmpty()) {
            EXPECT_EQ(next.err.count(u'\n'), 1) << next.err.toStdString();
        }
        // The game's files, each wholly old or wholly new, all the same way.
        const Sorted now = sorted(game, before);
        EXPECT_TRUE(now.strays.isEmpty()) << now.strays.join(u' ').toStdString();
        EXPECT_FALSE(workshop.exists()) << workshop.entryList().join(u' ').toStdString();
        if (damaged) {
            EXPECT_TRUE(now.games == before) << differing(now.games, before);
        } else {
            EXPECT_TRUE(now.games == before || now.games == after)
                << "old: " << differing(now.games, before)
                << " new: " << differing(now.games, after);
        }
        for (const auto& [name, bytes] : now.backups.asKeyValueRange())
            EXPECT_EQ(bytes, before.value(name.chopped(4))) << name.toStdString();
    }
    EXPECT_TRUE(readOnlyChecked);
    EXPECT_EQ(anyDamaged, c.damageStaged);
}

INSTANTIATE_TEST_SUITE_P(Files, StoppedApply,
                         ::testing::Values(StopCase{"two_files", 2, false, false},
                                           StopCase{"three_files_backups_kept", 3, true, false},
                                           StopCase{"four_files_staged_damaged", 4, true, true},
                                           StopCase{"five_files", 5, false, false},
                                           StopCase{"six_files_staged_damaged", 6, false, true}),
                         [](const auto& info) { return std::string(info.param.name); });

namespace {

// A folder with everything in it, the workshop too.
void copyTree(const QString& from, const QString& to) {
    for (const auto& [name, bytes] : everything(from).asKeyValueRange()) {
        const QString path = QDir(to).filePath(name);
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size());
    }
}

} // namespace

// lcjtool mods apply over two mods and four files, stopped dead after each of
// its fsyncs and replaces in turn: the next writing run leaves the game files
// wholly as before or wholly applied, and the list then applies without
// taking its own half-done write for the player's edits.
// Under the address sanitizer every lcjtool run is about ten times slower: there the list's
// going on is followed after every third stop; the stops are still made at every step.
#if defined(__SANITIZE_ADDRESS__)
constexpr int followEvery = 3;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr int followEvery = 3;
#else
constexpr int followEvery = 1;
#endif
#else
constexpr int followEvery = 1;
#endif

TEST(StoppedModsApply, LeavesTheFolderWhollyOldOrWhollyNew) {
    test::TestFolder dir;
    const QString orig = dir.path(u"orig"_s), listed = dir.path(u"listed"_s);
    ASSERT_TRUE(sample::writeSampleGame(orig).ok());
    for (const auto& [first, last] : {std::pair{0, 2}, std::pair{2, 4}}) {
        const QString mod = dir.path(QStringLiteral("mod%1").arg(first));
        copyGame(orig, mod);
        for (int k = first; k < last; ++k) {
            const QString input = dir.write(QStringLiteral("edit%1.txt").arg(k), edits[k].input);
            ASSERT_EQ(cli::run(edits[k].args(QDir(mod).filePath(QString::fromLatin1(edits[k].file)),
                                             input)),
                      cli::Ok);
        }
        QStringList warnings;
        const auto p = patch::makePatch(orig, mod, warnings);
        ASSERT_TRUE(p.ok()) << p.error().toStdString();
        const QString file = dir.path(QStringLiteral("mod%1.lcjpatch").arg(first));
        ASSERT_TRUE(files::writeOutputFile(file, patch::toJson(*p)).ok());
        if (first == 0)
            copyGame(orig, listed);
        ASSERT_EQ(cli::run({u"mods"_s, u"add"_s, listed, file}), cli::Ok);
    }
    // The next writing run of the folder: a patch of Lcj5.exe whose value
    // the game already holds settles it and writes nothing.
    QStringList warnings;
    const QString other = dir.path(u"other"_s);
    copyGame(orig, other);
    ASSERT_EQ(cli::run({u"exe"_s, u"set"_s, QDir(other).filePath(u"Lcj5.exe"_s),
                        dir.write(u"exe.csv"_s, "序号,形象\n7,3\n")}),
              cli::Ok);
    const auto touch = patch::makePatch(QDir(other).filePath(u"Lcj5.exe"_s),
                                        QDir(orig).filePath(u"Lcj5.exe"_s), warnings);
    ASSERT_TRUE(touch.ok());
    const QString touchFile = dir.path(u"touch.lcjpatch"_s);
    ASSERT_TRUE(files::writeOutputFile(touchFile, patch::toJson(*touch)).ok());

    const auto before = everything(orig);
    const QString whole = dir.path(u"whole"_s);
    copyTree(listed, whole);
    ASSERT_EQ(lcjtool({u"mods"_s, u"apply"_s, whole}).code, cli::Ok);
    const auto after = sorted(whole, before).games;
    ASSERT_FALSE(after == before);
    int stops = 0;
    for (int k = 1;; ++k) {
        SCOPED_TRACE(k);
        ASSERT_LT(k, 200);
        const QString game = dir.path(QStringLiteral("game%1").arg(k));
        copyTree(listed, game);
        const ToolRun stopped = lcjtool({u"mods"_s, u"apply"_s, game}, k);
        if (!stopped.killed) {
            ASSERT_EQ(stopped.code, cli::Ok) << stopped.err.toStdString();
            EXPECT_TRUE(sorted(game, before).games == after);
            break;
        }
        ++stops;
        ASSERT_EQ(lcjtool({u"patch"_s, u"apply"_s, touchFile, game}).code, cli::Ok);
        const auto now = sorted(game, before).games;
        EXPECT_TRUE(now == before || now == after)
            << "old: " << differing(now, before) << " new: " << differing(now, after);
        // The list goes on from there: no outside edits, the same result, and
        // its undo gives the files before.
        if (k % followEvery != 1 % followEvery)
            continue;
        const ToolRun again = lcjtool({u"mods"_s, u"apply"_s, game});
        EXPECT_EQ(again.code, cli::Ok) << again.err.toStdString();
        EXPECT_TRUE(sorted(game, before).games == after);
        EXPECT_EQ(lcjtool({u"mods"_s, u"undo"_s, game}).code, cli::Ok);
        EXPECT_TRUE(sorted(game, before).games == before);
    }
    EXPECT_GT(stops, 5);
}
