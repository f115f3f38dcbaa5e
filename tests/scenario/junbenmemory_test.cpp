// What an undo step costs on a large script: the history keeps what an edit
// changed, never a copy of the script.
#include "junbendriver.h"
#include "support/heapusage.h"
#include "support/testmain.h"

using namespace lcj;

class JunbenMemoryTest : public QObject, public test::JunbenDriver {
    Q_OBJECT

    const QString S01 = QStringLiteral("S_01.eex");
    QByteArray file; // a sample scenario with 16 MB of script after its battle

private slots:
    void initTestCase() {
        auto shape = test::shapeOf(S01);
        shape.scriptAfter = 16 * 1024 * 1024;
        file = sample::scenarioFile(shape);
    }
    void init() {
        start();
        readData();
    }
    void cleanup() { stop(); }

    void anUndoStepOfA16MBScriptHoldsWhatChanged() {
        if (test::heapInUse() < 0)
            QSKIP("this platform does not tell the heap in use");
        load(S01, file);
        noMessages();
        const qint64 enemies = headerPos(S01) + 1090;

        // The first edit parts the document from the copy of the file as read
        // (kept to tell whether the file changes on disk): once per load.
        type("Text4", QStringLiteral("77"));
        click("Command6");

        constexpr int edits = 50;
        const qint64 heapBefore = test::heapInUse();
        for (int k = 1; k <= edits; ++k) {
            list("List4")->setCurrentRow(k);
            type("Text10", QString::number(1000 + 7 * k)); // X: both bytes of a word
            type("Text11", QString::number(40 + k));
            click("Command5");
        }
        const qint64 heapAfter = test::heapInUse();
        noMessages();

        action("ssave")->trigger();
        noMessages();
        const QByteArray saved = written();
        QCOMPARE(saved.size(), file.size());
        qint64 changed = 0;
        for (qint64 i = enemies + 56; i < enemies + 56 * (edits + 1); ++i)
            changed += saved[i] != file[i];
        QVERIFY(changed >= edits * 2);
        const double perStep = double(heapAfter - heapBefore) / edits;
        const double allowed = 2.0 * double(changed) / edits + 1024;
        qInfo("memory per confirmed edit: %.0f bytes for %.1f bytes changed (allowed %.0f)",
              perStep, double(changed) / edits, allowed);
        QVERIFY2(perStep <= allowed, qPrintable(QString::number(perStep)));
    }

    void undoOnA16MBScriptGivesTheFileBackByteForByte() {
        load(S01, file);
        click("Command3");
        list("List8")->setCurrentRow(5);
        type("Text28", QStringLiteral("9"));
        click("Command1");
        for (int k : {0, 19}) {
            list("List3")->setCurrentRow(k);
            type("Text9", QStringLiteral("600"));
            click("Command4");
        }
        list("List9")->setCurrentRow(0);
        type("Text21", QStringLiteral("65535"));
        click("Command9");
        list("List6")->setCurrentRow(1);
        type("Text16", QStringLiteral("3"));
        click("Command7");
        type("Text5", QStringLiteral("12"));
        click("Command6");
        const auto undoAll = [this] {
            int undone = 0;
            while (action("undo")->isEnabled()) {
                action("undo")->trigger();
                ++undone;
            }
            return undone;
        };
        QCOMPARE(undoAll(), 7);
        QVERIFY(!form->isModified());
        QCOMPARE(list("List8")->count(), 5);
        QCOMPARE(list("List9")->item(0)->text(), sample::characterNames()[10]);
        // Everything again, then back once more.
        for (int i = 0; i < 7; ++i)
            action("redo")->trigger();
        QVERIFY(!action("redo")->isEnabled());
        QCOMPARE(list("List8")->count(), 6);
        QCOMPARE(list("List3")->item(19)->text(), QStringLiteral("无"));
        QCOMPARE(list("List9")->item(0)->text(), QStringLiteral("无"));
        QCOMPARE(box("Text5")->text(), QStringLiteral("12"));
        QCOMPARE(undoAll(), 7);
        action("ssave")->trigger();
        noMessages();
        QVERIFY(written() == file);
    }
};

LCJ_TEST_MAIN(JunbenMemoryTest)
#include "junbenmemory_test.moc"
