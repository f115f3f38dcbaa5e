// The scenario editor meets a failing disk. It holds the whole script in
// memory, so the file on disk is either the old one, untouched, or the new
// one, complete; the window keeps its edits until a save has really landed.
#include "common/fileaccess.h"
#include "junbendriver.h"
#include "support/testmain.h"

#include <QDir>
#include <QFile>

using namespace lcj;

namespace {

const QString S01 = QStringLiteral("S_01.eex");

enum class Trouble {
    OpenRefused,
    ShortRead,
    WriteError,
    CommitFailure,
    ReadOnly,
    Vanished,
    Shrunk
};

} // namespace

class JunbenFaultsTest : public QObject, public test::JunbenDriver {
    Q_OBJECT

    // The scenario as a clean load, one appended army entry and a save write it.
    QByteArray cleanSave() {
        const QString path = loadSample(S01);
        click("Command3");
        action("ssave")->trigger();
        if (!prompts.messages.isEmpty())
            qFatal("clean save: %s", qPrintable(prompts.lastMessage()));
        return test::readFile(path);
    }

private slots:
    void init() {
        start();
        readData();
    }
    void cleanup() {
        files::clearFaults();
        stop();
    }

    void failedLoadKeepsWhatWasLoaded_data() {
        QTest::addColumn<int>("fault");
        QTest::newRow("open refused") << int(files::Fault::OpenRefused);
        QTest::newRow("short read") << int(files::Fault::ShortRead);
    }
    void failedLoadKeepsWhatWasLoaded() {
        QFETCH(int, fault);
        loadSample(S01);
        const QStringList army = texts("List8");
        dir->write(QStringLiteral("R_02.eex"), sample::rFile(1, 2));
        files::injectFault(files::Fault(fault));
        load(QStringLiteral("S_02.eex"),
             sample::scenarioFile(test::shapeOf(QStringLiteral("S_02.eex"))));
        QCOMPARE(prompts.messages.size(), 1);
        QVERIFY(prompts.lastMessage().startsWith(QStringLiteral("读取剧本文件出错")));
        QCOMPARE(texts("List8"), army);
        // A plain save still goes to the scenario that is loaded.
        files::clearFaults();
        click("Command3");
        action("ssave")->trigger();
        QCOMPARE(test::readFile(dir->path(S01)).size(),
                 sample::scenarioFile(test::shapeOf(S01)).size() + 28);
        QCOMPARE(test::readFile(dir->path(QStringLiteral("S_02.eex"))),
                 sample::scenarioFile(test::shapeOf(QStringLiteral("S_02.eex"))));
    }

    void failedSaveLeavesFileAndEdits_data() {
        QTest::addColumn<int>("trouble");
        QTest::addColumn<QString>("word");
        QTest::newRow("write error") << int(Trouble::WriteError) << QStringLiteral("文件保持原样");
        QTest::newRow("commit failure")
            << int(Trouble::CommitFailure) << QStringLiteral("文件保持原样");
        QTest::newRow("read-only") << int(Trouble::ReadOnly) << QStringLiteral("只读");
    }
    void failedSaveLeavesFileAndEdits() {
        QFETCH(int, trouble);
        QFETCH(QString, word);
        const QByteArray saved = cleanSave();
        stop();
        start();
        readData();
        const QString path = loadSample(S01);
        const QByteArray original = test::readFile(path);
        click("Command3");
        switch (Trouble(trouble)) {
        case Trouble::WriteError:
            files::injectFault(files::Fault::WriteError);
            break;
        case Trouble::CommitFailure:
            files::injectFault(files::Fault::CommitFailure);
            break;
        default:
            QVERIFY(QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadUser));
            break;
        }
        action("ssave")->trigger();
        QCOMPARE(prompts.messages.size(), 1);
        QVERIFY2(prompts.lastMessage().contains(word), qPrintable(prompts.lastMessage()));
        QCOMPARE(test::readFile(path), original);
        QVERIFY(form->isModified()); // the edit is still there, unsaved
        for (const QString& f : QDir(dir->path(QString())).entryList(QDir::Files | QDir::Hidden))
            QVERIFY2(!f.contains(QStringLiteral(".eex.")) || f.endsWith(QStringLiteral(".bak")),
                     qPrintable(f)); // no temporary file left behind
        // The trouble passes: the same save now writes what a clean save writes.
        files::clearFaults();
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
        action("ssave")->trigger();
        QCOMPARE(prompts.messages.size(), 1);
        QCOMPARE(test::readFile(path), saved);
        QVERIFY(!form->isModified());
        QCOMPARE(test::readFile(files::backupPath(path)), original);
    }

    void fileChangedOnDiskIsOverwrittenOnlyWhenTheUserSaysSo_data() {
        QTest::addColumn<int>("trouble");
        QTest::newRow("vanished") << int(Trouble::Vanished);
        QTest::newRow("shrunk") << int(Trouble::Shrunk);
    }
    void fileChangedOnDiskIsOverwrittenOnlyWhenTheUserSaysSo() {
        QFETCH(int, trouble);
        const QByteArray saved = cleanSave();
        stop();
        start();
        readData();
        const QString path = loadSample(S01);
        const QByteArray original = test::readFile(path);
        click("Command3");
        QByteArray other;
        if (Trouble(trouble) == Trouble::Vanished)
            QVERIFY(QFile::remove(path));
        else
            dir->write(S01, other = original.left(original.size() / 2));
        prompts.askAnswers.enqueue(false);
        action("ssave")->trigger();
        QCOMPARE(prompts.questions.size(), 1);
        QCOMPARE(QFile::exists(path), Trouble(trouble) == Trouble::Shrunk);
        if (Trouble(trouble) == Trouble::Shrunk)
            QCOMPARE(test::readFile(path), other);
        QVERIFY(form->isModified());
        // The user is told that nothing was written.
        QCOMPARE(prompts.messages.size(), 1);
        QVERIFY2(prompts.lastMessage().startsWith(QStringLiteral("没有写入任何内容")),
                 qPrintable(prompts.lastMessage()));
        prompts.messages.clear();
        // Yes: the editor holds the whole script, so it writes it whole.
        prompts.askAnswers.enqueue(true);
        action("ssave")->trigger();
        QVERIFY(prompts.messages.isEmpty());
        QCOMPARE(test::readFile(path), saved);
        QVERIFY(!form->isModified());
    }
};

LCJ_TEST_MAIN(JunbenFaultsTest)
#include "junbenfaults_test.moc"
