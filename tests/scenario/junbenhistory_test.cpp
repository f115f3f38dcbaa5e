#include "junbendriver.h"
#include "support/dialogkeys.h"
#include "support/testmain.h"

#include <QUndoView>

using namespace lcj;

namespace {

const QString S01 = QStringLiteral("S_01.eex");
const QString caption = QStringLiteral("岚川记S剧本简易修改版");

} // namespace

// The history of the scenario editor across saves, and what its frames show after an undo, a
// redo or a save.
class JunbenHistoryTest : public QObject, public test::JunbenDriver {
    Q_OBJECT

    void activate(QWidget* focus) {
        QApplication::setActiveWindow(form.get());
        QVERIFY(QTest::qWaitForWindowActive(form.get()));
        focus->setFocus();
    }

private slots:
    void init() {
        start();
        readData();
    }
    void cleanup() { stop(); }

    void theTitleNamesTheScenario() {
        QCOMPARE(form->windowTitle(), caption);
        loadSample(S01);
        QCOMPARE(form->windowTitle(), caption + QStringLiteral(" - S_01.eex"));
        click("Command3");
        QCOMPARE(form->windowTitle(), caption + QStringLiteral(" - S_01.eex *"));
        prompts.saveAnswers.enqueue(dir->path(QStringLiteral("S_09.eex")));
        trigger("linsave");
        noMessages();
        // A save writes to the file saved as from now on: the title names it.
        QCOMPARE(form->windowTitle(), caption + QStringLiteral(" - S_09.eex"));
        // A message keeps the caption alone as its title.
        QCOMPARE(EditorWindow::messageTitle(form.get()), caption);
    }

    // A save keeps the steps: going back past it marks the scenario modified again, and
    // going back to the loaded state and saving writes the loaded file byte for byte.
    void aSaveKeepsTheHistory() {
        const QString path = loadSample(S01);
        list("List8")->setCurrentRow(1);
        type("Text28", QStringLiteral("21"));
        click("Command1");
        click("Command3"); // an army entry more: the file grows when saved
        list("List4")->setCurrentRow(3);
        type("Text10", QStringLiteral("44"));
        click("Command5");
        // An emptied equipment entry: the save closes the group up.
        list("List9")->setCurrentRow(0);
        type("Text21", QStringLiteral("65535"));
        click("Command9");
        const QString secondEquipped = list("List9")->item(1)->text();
        trigger("ssave");
        noMessages();
        const QByteArray saved = test::readFile(path);
        QCOMPARE(saved.size(), original.size() + 28 - 26);
        QCOMPARE(list("List9")->item(0)->text(), secondEquipped); // as the file reads now
        QVERIFY(!form->isModified());
        QCOMPARE(form->windowTitle(), caption + QStringLiteral(" - S_01.eex"));
        QVERIFY(action("undo")->isEnabled());

        trigger("undo");
        QVERIFY(form->isModified());
        QCOMPARE(form->windowTitle(), caption + QStringLiteral(" - S_01.eex *"));
        trigger("redo");
        QVERIFY(!form->isModified());
        QCOMPARE(form->windowTitle(), caption + QStringLiteral(" - S_01.eex"));
        for (int i = 0; i < 4; ++i)
            trigger("undo");
        QVERIFY(!action("undo")->isEnabled());
        QVERIFY(form->isModified());
        QCOMPARE(form->document().armyEntryCount(), 5);
        trigger("ssave");
        noMessages();
        QCOMPARE(test::readFile(path), original);
        QVERIFY(!form->isModified());

        // Forward again to the state saved first, and saved once more: the same bytes.
        for (int i = 0; i < 4; ++i)
            trigger("redo");
        QVERIFY(form->isModified());
        trigger("ssave");
        noMessages();
        QCOMPARE(test::readFile(path), saved);
        QCOMPARE(list("List8")->count(), 6);
        QCOMPARE(list("List9")->item(0)->text(), secondEquipped);
    }

    // An undo past a save leaves edits not on disk: closing asks, in the real box. Enter
    // saves the state undone to (the file as loaded), Escape keeps the window and the file.
    void closingAfterAnUndoPastASaveAsks_data() {
        QTest::addColumn<int>("key");
        QTest::newRow("Enter") << int(Qt::Key_Enter);
        QTest::newRow("Escape") << int(Qt::Key_Escape);
    }
    void closingAfterAnUndoPastASaveAsks() {
        QFETCH(int, key);
        const QString path = loadSample(S01);
        list("List4")->setCurrentRow(3);
        type("Text10", QStringLiteral("44"));
        click("Command5");
        trigger("ssave");
        noMessages();
        const QByteArray saved = test::readFile(path);
        QVERIFY(saved != original);
        trigger("undo");
        prompts.realBoxes = true;
        {
            test::DialogKeys keys({key});
            const bool closed = form->close();
            QCOMPARE(keys.seen.size(), 1);
            QCOMPARE(keys.seen[0].defaultButton, QStringLiteral("保存"));
            QCOMPARE(closed, key == Qt::Key_Enter);
        }
        prompts.realBoxes = false;
        noMessages();
        QCOMPARE(test::readFile(path), key == Qt::Key_Enter ? original : saved);
        if (key == Qt::Key_Escape) {
            QVERIFY(form->isVisible());
            QVERIFY(form->isModified());
        }
    }

    // The entry shown is gone with the undo of its appending: its boxes show nothing, and
    // its "确定" waits for another entry.
    void anEntryUndoneShowsNothing() {
        loadSample(S01);
        click("Command3");
        list("List8")->setCurrentRow(5);
        QVERIFY(!box("Text28")->text().isEmpty());
        QVERIFY(enabled("Command1"));
        trigger("undo");
        QCOMPARE(list("List8")->count(), 5);
        QCOMPARE(list("List8")->currentRow(), -1);
        for (const char* name : {"Text28", "Text29", "Text30"})
            QVERIFY2(box(name)->text().isEmpty(), name);
        QVERIFY(!enabled("Command1"));
        QVERIFY(!form->hasUnconfirmedEdits());
        trigger("redo");
        list("List8")->setCurrentRow(5);
        QVERIFY(enabled("Command1"));
    }

    // The frames name their steps; a click in 查看 → 历史 goes to a step, across a save whose
    // file reads back otherwise than the document held it.
    void aClickInTheHistoryGoesToThatStep() {
        const QString path = loadSample(S01);
        list("List8")->setCurrentRow(1);
        type("Text28", QStringLiteral("21"));
        click("Command1");
        QCOMPARE(action("undo")->text(), QStringLiteral("撤销 修改 我军出场人物 2"));
        click("Command3");
        QCOMPARE(action("undo")->text(), QStringLiteral("撤销 添加 我军出场人物 6"));
        trigger("ssave");
        noMessages();
        const QByteArray saved = test::readFile(path);
        trigger("history");
        auto* history = find<QUndoView>("historyView");
        QVERIFY(QTest::qWaitForWindowExposed(history));
        QCOMPARE(history->model()->rowCount(), 3);
        const auto clickRow = [&](int row) {
            const QModelIndex at = history->model()->index(row, 0);
            QTest::mouseClick(history->viewport(), Qt::LeftButton, {},
                              history->visualRect(at).center());
        };
        clickRow(1);
        QCOMPARE(list("List8")->count(), 5);
        QVERIFY(form->isModified());
        clickRow(0);
        QVERIFY(form->isModified());
        clickRow(2);
        QCOMPARE(list("List8")->count(), 6);
        QVERIFY(!form->isModified());
        clickRow(0);
        trigger("ssave");
        noMessages();
        QCOMPARE(test::readFile(path), original);
        clickRow(2);
        trigger("ssave");
        QCOMPARE(test::readFile(path), saved);
    }

    void ctrlShiftZRedoes() {
        loadSample(S01);
        click("Command3");
        QCOMPARE(list("List8")->count(), 6);
        activate(list("List8"));
        QTest::keyClick(list("List8"), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(list("List8")->count(), 5);
        QTest::keyClick(list("List8"), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(list("List8")->count(), 6);
        QTest::keyClick(list("List8"), Qt::Key_Z, Qt::ControlModifier);
        QTest::keyClick(list("List8"), Qt::Key_Y, Qt::ControlModifier);
        QCOMPARE(list("List8")->count(), 6);
        QCOMPARE(action("undo")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Z));
    }

    // After an undo, a redo and a save every frame shows what is stored for the entry
    // selected, which stays selected; its "确定" then stores nothing new and asks nothing.
    // A box the step did not change keeps its caret.
    void framesShowTheStoredValues_data() {
        QTest::addColumn<QString>("listName");
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("boxName");
        QTest::addColumn<QString>("otherBox");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("confirm");
        QTest::newRow("army") << "List8" << 2 << "Text28"
                              << "Text29"
                              << "37"
                              << "Command1";
        QTest::newRow("ally") << "List3" << 1 << "Text1"
                              << "Text2"
                              << "38"
                              << "Command4";
        QTest::newRow("enemy") << "List4" << 7 << "Text10"
                               << "Text11"
                               << "39"
                               << "Command5";
        QTest::newRow("spoils") << "List6" << 1 << "Text15"
                                << "Text17"
                                << "9"
                                << "Command7";
        QTest::newRow("equipment") << "List9" << 1 << "Text21"
                                   << ""
                                   << "40"
                                   << "Command9";
        QTest::newRow("battle") << "" << 0 << "Text4"
                                << "Text3"
                                << "29"
                                << "Command6";
    }
    void framesShowTheStoredValues() {
        QFETCH(QString, listName);
        QFETCH(int, row);
        QFETCH(QString, boxName);
        QFETCH(QString, otherBox);
        QFETCH(QString, typed);
        QFETCH(QString, confirm);
        const QString path = loadSample(S01);
        if (!listName.isEmpty())
            list(listName)->setCurrentRow(row);
        const QString stored = box(boxName)->text();
        QVERIFY(stored != typed);
        test::EditorHarness<scenario::Junben>::type(boxName, typed); // key by key
        QTest::mouseClick(find<QPushButton>(confirm), Qt::LeftButton);
        noMessages();
        QCOMPARE(box(boxName)->text(), typed);
        QLineEdit* other = otherBox.isEmpty() ? nullptr : box(otherBox);
        activate(other ? other : box(boxName));
        if (other)
            other->setCursorPosition(1);

        const auto check = [&](const QString& expected, const char* after) {
            QVERIFY2(box(boxName)->text() == expected, after);
            if (!listName.isEmpty())
                QVERIFY2(list(listName)->currentRow() == row, after);
            if (other)
                QVERIFY2(other->cursorPosition() == 1, after);
            QVERIFY2(!form->hasUnconfirmedEdits(), after);
        };
        trigger("undo");
        check(stored, "undo");
        trigger("redo");
        check(typed, "redo");
        trigger("ssave");
        noMessages();
        check(typed, "save");
        QVERIFY(test::readFile(path) != original);
        trigger("undo");
        check(stored, "undo after the save");
        // The frame's "确定" stores what it shows: nothing changes, nothing is asked.
        QTest::mouseClick(find<QPushButton>(confirm), Qt::LeftButton);
        noMessages();
        QCOMPARE(form->document().bytes(), original);
        trigger("ssave");
        noMessages();
        QCOMPARE(test::readFile(path), original);
    }
};

LCJ_TEST_MAIN(JunbenHistoryTest)
#include "junbenhistory_test.moc"
