// lcjtool's writes on a disk that fills up: exit code 1, a message that names
// the full disk, and the file exactly as it was; with room again the same
// command writes what it writes on an ordinary disk.
#include "cli/csv.h"
#include "common/fileaccess.h"
#include "samplegen/samplegame.h"
#include "support/smalldisk.h"
#include "support/testfiles.h"

#include <QProcess>
#include <gtest/gtest.h>

using namespace lcj;

namespace {

struct ToolRun {
    int exitCode;
    QString errors;
};

ToolRun lcjtool(const QStringList& args) {
    QProcess p;
    // LCJTOOL may name another build of the tool to run the same cases on.
    p.start(qEnvironmentVariable("LCJTOOL", QStringLiteral(LCJTOOL_PATH)), args);
    if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit)
        return {-1, QStringLiteral("lcjtool did not finish")};
    return {p.exitCode(), QString::fromUtf8(p.readAllStandardError())};
}

// The rows a command exported, with the first data row's last cell changed
// to another value its column takes.
QByteArray changedRows(const QByteArray& exported) {
    auto rows = csv::read(QString::fromUtf8(exported));
    if (!rows.ok() || rows->size() < 2)
        return {};
    QString& cell = (*rows)[1].last();
    bool number = false;
    cell.toInt(&number);
    cell = !number                       ? QStringLiteral("新的文字")
           : cell == QStringLiteral("1") ? QStringLiteral("0")
                                         : QStringLiteral("1");
    return csv::write(*rows).toUtf8();
}

// A command line with TARGET, INPUT and EXPORTED standing for the files.
QStringList words(const char* line, const QString& target, const QString& input,
                  const QString& exported = {}) {
    QStringList out = QString::fromLatin1(line).split(u' ');
    for (QString& w : out)
        w = w == QStringLiteral("TARGET")     ? target
            : w == QStringLiteral("INPUT")    ? input
            : w == QStringLiteral("EXPORTED") ? exported
                                              : w;
    return out;
}

struct CommandCase {
    const char* name;
    const char* file;
    QByteArray (*sample)();
    const char* exporting; // writes the rows the command then takes, changed
    const char* writing;   // the command that writes TARGET
};

QByteArray sampleScenario() {
    for (const auto& [name, shape] : sample::sampleScenarios())
        if (name == QStringLiteral("S_01.eex"))
            return sample::scenarioFile(shape);
    return {};
}

const QList<CommandCase>& commands() {
    static const QList<CommandCase> all{
        {"data_import", "data.e5", [] { return sample::dataFile(); },
         "data export TARGET characters -o EXPORTED", "data import TARGET characters INPUT"},
        {"save_import", "Sv01d.e5s", [] { return sample::saveGame(); },
         "save export TARGET EXPORTED --part characters",
         "save import TARGET INPUT --part characters"},
        {"imsg_import", "Imsg.e5", [] { return sample::messageFile(); },
         "imsg export TARGET liezhuan EXPORTED", "imsg import TARGET liezhuan INPUT"},
        {"exe_set", "Lcj5.exe", [] { return sample::programFile(); },
         "exe show TARGET --part figures -o EXPORTED", "exe set TARGET INPUT --part figures"},
        {"rfile_set", "R_01.eex", [] { return sample::rFile(2, 1); },
         "rfile show TARGET -o EXPORTED", "rfile set TARGET INPUT"},
        {"scenario_edit", "S_01.eex", sampleScenario, nullptr, "scenario edit TARGET INPUT"},
    };
    return all;
}

// Writes the command's input as `input` (beside the tests, not on the small
// disk), reading `target` where it needs to; the command line, or an empty
// list when that failed.
QStringList prepare(const CommandCase& c, const QString& target, const QString& input) {
    QByteArray bytes(R"({"battle": {"turns": 33}, "append_army": 1})");
    if (c.exporting) {
        const QString exported = input + QStringLiteral(".export");
        const ToolRun run = lcjtool(words(c.exporting, target, input, exported));
        if (run.exitCode != 0)
            return {};
        bytes = changedRows(test::readFile(exported));
    }
    QFile f(input);
    if (bytes.isEmpty() || !f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        return {};
    return words(c.writing, target, input);
}

class FullDiskCommand : public testing::TestWithParam<std::tuple<int, bool>> {};

} // namespace

TEST_P(FullDiskCommand, ExitsWithOneAndKeepsTheFile) {
    const CommandCase& c = commands()[std::get<0>(GetParam())];
    const bool backupBefore = std::get<1>(GetParam());
    const QByteArray original = c.sample();
    const QString name = QString::fromLatin1(c.file);

    // On an ordinary disk.
    test::TestFolder plain;
    const QString plainTarget = plain.write(name, original);
    const QStringList plainArgs = prepare(c, plainTarget, plain.path(QStringLiteral("input")));
    ASSERT_FALSE(plainArgs.isEmpty());
    const ToolRun clean = lcjtool(plainArgs);
    ASSERT_EQ(clean.exitCode, 0) << qPrintable(clean.errors);
    const QByteArray written = test::readFile(plainTarget);
    ASSERT_NE(written, original);

    test::SmallDisk disk(1024);
    if (!disk.mounted())
        GTEST_SKIP() << qPrintable(disk.skipReason());
    test::TestFolder inputs;
    const QString target = disk.write(name, original);
    if (backupBefore)
        disk.write(files::backupPath(name), original);
    const QStringList args = prepare(c, target, inputs.path(QStringLiteral("input")));
    ASSERT_FALSE(args.isEmpty());
    const QStringList before = disk.entries();
    ASSERT_TRUE(disk.fill());

    const ToolRun full = lcjtool(args);
    EXPECT_EQ(full.exitCode, 1);
    EXPECT_TRUE(full.errors.contains(QStringLiteral("磁盘空间不足"))) << qPrintable(full.errors);
    EXPECT_EQ(test::readFile(target), original);
    EXPECT_EQ(disk.entries(), before);

    disk.makeRoom();
    const ToolRun again = lcjtool(args);
    EXPECT_EQ(again.exitCode, 0) << qPrintable(again.errors);
    EXPECT_EQ(test::readFile(target), written);
    EXPECT_EQ(test::readFile(files::backupPath(target)), original);
}

INSTANTIATE_TEST_SUITE_P(Commands, FullDiskCommand,
                         testing::Combine(testing::Range(0, 6), testing::Bool()),
                         [](const testing::TestParamInfo<std::tuple<int, bool>>& info) {
                             return std::string(commands()[std::get<0>(info.param)].name) +
                                    (std::get<1>(info.param) ? "_backup_kept_before"
                                                             : "_first_save");
                         });
