// lcjtool as a user starts it: a separate process whose output goes to a pipe,
// with file names that hold Chinese characters and spaces.
#include "cli/datacommands.h"
#include "cli/tableadapter.h"
#include "common/version.h"
#include "samplegen/samplegame.h"
#include "support/testfiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <QStringDecoder>
#include <gtest/gtest.h>

using namespace lcj;

namespace {

struct Outcome {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

// Starts lcjtool from beside this test program.
Outcome lcjtool(const QStringList& args) {
    static int argc = 1;
    static char name[] = "cli_process_tests";
    static char* argv[] = {name, nullptr};
    if (!QCoreApplication::instance())
        new QCoreApplication(argc, argv);
#ifdef Q_OS_WIN
    const QString program = QCoreApplication::applicationDirPath() + QStringLiteral("/lcjtool.exe");
#else
    const QString program = QCoreApplication::applicationDirPath() + QStringLiteral("/lcjtool");
#endif
    QProcess p;
    p.start(program, args);
    Outcome r;
    if (!p.waitForStarted(60000) || !p.waitForFinished(120000)) {
        ADD_FAILURE() << "lcjtool did not run: " << p.errorString().toStdString();
        return r;
    }
    r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = p.readAllStandardOutput();
    r.err = p.readAllStandardError();
    return r;
}

bool isUtf8(const QByteArray& bytes) {
    QStringDecoder utf8(QStringDecoder::Utf8);
    (void)utf8.decode(bytes);
    return !utf8.hasError();
}

} // namespace

TEST(LcjtoolProcess, VersionIsTheProjectVersion) {
    const Outcome r = lcjtool({QStringLiteral("--version")});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.out, QByteArray("lcjtool " LCJ_VERSION "\n"));
    EXPECT_TRUE(r.err.isEmpty());
}

// Text piped from lcjtool is UTF-8, byte for byte what the command computes,
// and a file named in Chinese with spaces opens.
TEST(LcjtoolProcess, ExportThroughAPipeIsUtf8FromAChinesePath) {
    test::TestFolder dir;
    ASSERT_TRUE(QDir(dir.path(QString())).mkpath(QStringLiteral("岚川 存档")));
    const QString path = dir.write(QStringLiteral("岚川 存档/数据 一.e5"), sample::dataFile());
    const auto expected =
        cli::exportTable(path, *cli::findDataTable(QStringLiteral("characters")), cli::Format::Csv);
    ASSERT_TRUE(expected.ok());
    const Outcome r = lcjtool({QStringLiteral("data"), QStringLiteral("export"),
                               QDir::toNativeSeparators(path), QStringLiteral("characters")});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(isUtf8(r.out));
    EXPECT_EQ(r.out, expected->toUtf8());
}

// A message about a file names it readably: the Chinese path comes back in
// UTF-8 on the error stream, and the exit code says the data was at fault.
TEST(LcjtoolProcess, ErrorsNameTheChinesePathInUtf8) {
    test::TestFolder dir;
    const QString missing = dir.path(QStringLiteral("没有 这个.e5"));
    const Outcome r = lcjtool(
        {QStringLiteral("data"), QStringLiteral("export"), missing, QStringLiteral("characters")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.out.isEmpty());
    EXPECT_TRUE(isUtf8(r.err));
    EXPECT_TRUE(QString::fromUtf8(r.err).contains(QStringLiteral("没有 这个.e5")))
        << r.err.toStdString();
}
