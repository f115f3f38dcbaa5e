// A scenario save reads the file twice: once to see that nobody changed it
// since it was read, once after the write to show what is on disk. The backup
// made before the first write takes the bytes that check found, and only when
// they are the target's own.
#include "common/fileaccess.h"
#include "junbendriver.h"
#include "support/testmain.h"

using namespace lcj;

namespace {

const QString S01 = QStringLiteral("S_01.eex");
const QString S02 = QStringLiteral("S_02.eex");

} // namespace

class JunbenSaveReadsTest : public QObject, public test::JunbenDriver {
    Q_OBJECT

    QString backupOf(const QString& name) { return files::backupPath(dir->path(name)); }

private slots:
    void init() {
        start();
        readData();
    }
    void cleanup() {
        files::clearFaults();
        stop();
    }

    // The only read of the editor's file access during the save is the one
    // after the write: a fault there is reported as such, the save itself
    // and its backup have landed.
    void firstSaveKeepsTheBackupFromTheCheckedBytes() {
        const QString path = loadSample(S01);
        click("Command3");
        files::injectFault(files::Fault::ShortRead);
        action("ssave")->trigger();
        QCOMPARE(prompts.messages.size(), 1);
        QVERIFY2(prompts.lastMessage().contains(QStringLiteral("读回时出错")),
                 qPrintable(prompts.lastMessage()));
        QCOMPARE(test::readFile(path).size(), original.size() + 28);
        QCOMPARE(test::readFile(backupOf(S01)), original);
    }

    // Save-as onto another scenario: its backup holds that file's bytes, not
    // those of the scenario loaded.
    void saveAsOverAnotherFileBacksUpThatFile() {
        loadSample(S01);
        const QByteArray other = sample::scenarioFile(test::shapeOf(S02));
        const QString target = dir->write(S02, other);
        prompts.saveAnswers.enqueue(target);
        action("linsave")->trigger();
        noMessages();
        QCOMPARE(test::readFile(backupOf(S02)), other);
        QCOMPARE(test::readFile(target), original);
    }

    // A file changed on disk since it was loaded, merged at the user's word: the backup
    // holds what was on disk, not what was loaded, and the other program's bytes stay.
    void overwrittenChangeIsWhatTheBackupHolds_data() {
        QTest::addColumn<bool>("sameSize");
        QTest::newRow("same size") << true;
        QTest::newRow("other size") << false;
    }
    void overwrittenChangeIsWhatTheBackupHolds() {
        QFETCH(bool, sameSize);
        const QString path = loadSample(S01);
        QByteArray changed = original;
        if (sameSize)
            changed[changed.size() - 1] = char(changed.back() ^ 0x5A);
        else
            changed.append("\x01\x02", 2);
        dir->write(S01, changed);
        click("Command3");
        prompts.chooseAnswers.enqueue(0);
        action("ssave")->trigger();
        noMessages();
        QCOMPARE(prompts.questions.size(), 1);
        QCOMPARE(test::readFile(backupOf(S01)), changed);
        QCOMPARE(test::readFile(path).size(), changed.size() + 28);
        QCOMPARE(test::readFile(path).right(2), changed.right(2));
    }
};

LCJ_TEST_MAIN(JunbenSaveReadsTest)
#include "junbensavereads_test.moc"
