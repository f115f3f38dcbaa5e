// The scenario editor saves while lcjtool, a program of its own, has edited the scenario:
// a change of another frame is merged; army entries appended on both sides are a conflict,
// never laid twice into the file.
#include "junbendriver.h"
#include "support/dialogkeys.h"
#include "support/outsideprogram.h"
#include "support/testmain.h"

using namespace lcj;

class JunbenMergeTest : public QObject, public test::JunbenDriver {
    Q_OBJECT

    const QString S01 = QStringLiteral("S_01.eex");

    // lcjtool's scenario edit of `edits` on `scenario` (in place, or into `out`).
    void lcjtoolEdit(const QString& scenario, const QByteArray& edits, const QString& out = {}) {
        QStringList args{QStringLiteral("scenario"), QStringLiteral("edit"), scenario,
                         dir->write(QStringLiteral("edits.json"), edits)};
        if (!out.isEmpty())
            args << QStringLiteral("-o") << out;
        const test::OutsideRun run = test::runLcjtool(args);
        if (run.code != 0)
            qFatal("lcjtool: %s", qPrintable(run.err));
    }

private slots:
    void init() {
        start();
        readData();
    }
    void cleanup() { stop(); }

    void anotherFramesChangeIsMerged_data() {
        QTest::addColumn<int>("key");
        QTest::newRow("Enter") << int(Qt::Key_Enter);
        QTest::newRow("Escape") << int(Qt::Key_Escape);
    }
    void anotherFramesChangeIsMerged() {
        QFETCH(int, key);
        const QString path = loadSample(S01);
        const QByteArray loaded = test::readFile(path);
        click("Command3"); // the editor appends an army entry
        lcjtoolEdit(path, R"({"allies": {"0": {"x": 12}}})");
        const QByteArray disk = test::readFile(path);
        // Both edits made by lcjtool on the file as loaded: what the merge must give.
        const QString both = dir->write(QStringLiteral("both.eex"), loaded);
        lcjtoolEdit(both, R"({"append_army": 1, "allies": {"0": {"x": 12}}})");
        prompts.realBoxes = true;
        test::DialogKeys keys({key, key});
        action("ssave")->trigger();
        QVERIFY(!keys.seen.isEmpty());
        QVERIFY2(
            keys.seen[0].text.contains(
                QStringLiteral("其他程序的改动：\n  友军 1 横坐标：1 → 12\n")) &&
                keys.seen[0].text.contains(QStringLiteral("编辑器中的改动：\n  我军出场人物 6 ")),
            qPrintable(keys.seen[0].text));
        if (key == Qt::Key_Escape) {
            QCOMPARE(test::readFile(path), disk);
            QVERIFY(form->isModified());
            return;
        }
        QCOMPARE(keys.seen.size(), 1);
        QCOMPARE(test::readFile(path), test::readFile(both));
        QVERIFY(!form->isModified());
    }

    // Both append one entry: the question names the army's count as a conflict, Enter writes
    // nothing; taking either side's entries writes one appended entry, not two.
    void armyAppendedOnBothSidesIsAConflict_data() {
        QTest::addColumn<int>("answer"); // -1: Enter in the real box
        QTest::newRow("Enter") << -1;
        QTest::newRow("the editor's") << 0;
        QTest::newRow("the disk's") << 1;
    }
    void armyAppendedOnBothSidesIsAConflict() {
        QFETCH(int, answer);
        const QString path = loadSample(S01);
        click("Command3");
        lcjtoolEdit(path, R"({"append_army": 1})");
        const QByteArray disk = test::readFile(path);
        test::DialogKeys keys({Qt::Key_Enter, Qt::Key_Enter});
        prompts.realBoxes = answer < 0;
        if (answer >= 0)
            prompts.chooseAnswers.enqueue(answer);
        action("ssave")->trigger();
        QCOMPARE(prompts.questions.size(), 1);
        QVERIFY2(prompts.questions[0].contains(QStringLiteral("我军出场人数：磁盘上")),
                 qPrintable(prompts.questions[0]));
        if (answer < 0) {
            QCOMPARE(keys.seen[0].defaultButton, QStringLiteral("不写入"));
            QCOMPARE(test::readFile(path), disk);
            QVERIFY(form->isModified());
            return;
        }
        QCOMPARE(test::readFile(path).size(), disk.size());
        QVERIFY(!form->isModified());
    }
};

LCJ_TEST_MAIN(JunbenMergeTest)
#include "junbenmerge_test.moc"
