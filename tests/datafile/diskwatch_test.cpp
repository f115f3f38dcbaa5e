// The data file editor while another program (lcjtool here, the game or
// another tool for the user) changes the data file it has open.
#include "common/gbk.h"
#include "common/ui/filewatch.h"
#include "dformharness.h"
#include "support/outsideprogram.h"
#include "support/testmain.h"

#include <QFile>
#include <QFileSystemWatcher>
#include <QLabel>
#include <QSignalSpy>

using namespace lcj;

class DiskWatchTest : public QObject, public DFormHarness {
    Q_OBJECT

    QString status() {
        auto* label = form->findChild<QLabel*>(QStringLiteral("status"));
        return label ? label->text() : QString();
    }
    DiskBar* bar() { return test::diskBarOf(form.get()); }
    // Another program sets character `row`'s 武力 to `value` in the file.
    void setForceOutside(int row, const QString& value) {
        const QString rows =
            dir->write(QStringLiteral("rows.csv"),
                       QStringLiteral("序号,武力\n%1,%2\n").arg(row).arg(value).toUtf8());
        const test::OutsideRun run =
            test::runLcjtool({QStringLiteral("data"), QStringLiteral("import"), path,
                              QStringLiteral("characters"), rows});
        QVERIFY2(run.code == 0, qPrintable(run.err));
    }
    // A value for character 5's 武力 other than the one shown.
    QString otherForce() {
        return box("Text4")->text() == u"80" ? QStringLiteral("82") : QStringLiteral("80");
    }
    void openCharacter(int row) {
        openSection(sample::dataFile(), QStringLiteral("renpre"));
        list("List1")->setCurrentRow(row);
        QCOMPARE(box("Text1")->isEnabled(), true);
    }

private slots:
    void init() { start(); }
    void cleanup() { stop(); }

    void aSectionShownAgainListsTheNamesOnDisk_data() {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("column");
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("name");
        QTest::newRow("人物") << "characters"
                              << "姓名" << 300 << "新名字";
        QTest::newRow("道具") << "items"
                              << "道具名称" << 7 << "新兵器";
        // Every name other: another data file copied over it.
        QTest::newRow("另一个文件") << QString() << QString() << 0 << QString();
    }

    // The character section shown again after another program renamed a
    // character or an item, or wrote another file over it, lists the names the
    // file holds now, and shows character 0 at the top of the list, whatever
    // was shown before.
    void aSectionShownAgainListsTheNamesOnDisk() {
        QFETCH(QString, table);
        QFETCH(QString, column);
        QFETCH(int, row);
        QFETCH(QString, name);
        openCharacter(400);
        trigger("daopre");
        if (table.isEmpty()) {
            QByteArray other = sample::dataFile(6);
            for (const data::Table* names : {&data::characters, &data::items})
                for (int entry = 0; entry < names->count; ++entry)
                    other.replace(
                        names->recordOffset(entry), names->nameWidth,
                        *gbk::encodeField(QStringLiteral("另%1").arg(entry), names->nameWidth));
            dir->write(QStringLiteral("data.e5"), other);
        } else {
            const QString rows = dir->write(
                QStringLiteral("rows.csv"),
                QStringLiteral("序号,%1\n%2,%3\n").arg(column).arg(row).arg(name).toUtf8());
            const test::OutsideRun run = test::runLcjtool(
                {QStringLiteral("data"), QStringLiteral("import"), path, table, rows});
            QVERIFY2(run.code == 0, qPrintable(run.err));
        }
        const auto characters = data::DataFile(path).readNames(data::characters);
        const auto items = data::DataFile(path).readNames(data::items);
        QVERIFY(characters.ok() && items.ok());
        trigger("renpre");
        QListWidget* list1 = list("List1");
        QStringList listed;
        for (int entry = 0; entry < list1->count(); ++entry)
            listed.append(list1->item(entry)->text());
        QCOMPARE(listed, *characters);
        QCOMPARE(list1->currentRow(), 0);
        QCOMPARE(list1->indexAt(QPoint(1, 1)).row(), 0);
        QCOMPARE(box("Text1")->text(), characters->first());
        for (const char* weapon : {"Combo1", "Combo2", "Combo3"}) {
            QStringList offered;
            for (int entry = 0; entry < combo(weapon)->count(); ++entry)
                offered.append(combo(weapon)->itemText(entry));
            QCOMPARE(offered, *items + QStringList{QStringLiteral("无")});
        }
        if (!name.isEmpty())
            QCOMPARE((table == u"characters" ? *characters : *items).at(row), name);
        noMessages();
    }

    // Without edits the editor reads the changed file by itself, stays on
    // the record, and says so; nothing is asked, nothing is written.
    void withoutEditsTheChangeIsShownAtOnce() {
        openCharacter(5);
        const QString value = otherForce();
        setForceOutside(5, value);
        const QByteArray outside = written();
        QTRY_COMPARE(box("Text4")->text(), value);
        QCOMPARE(list("List1")->currentRow(), 5);
        QCOMPARE(status(), QStringLiteral("data.e5 已被其他程序改动，已重新载入"));
        QVERIFY(bar()->isHidden());
        QVERIFY(!form->windowTitle().endsWith(QStringLiteral(" *")));
        QVERIFY(!action("undo")->isEnabled());
        noMessages();
        QVERIFY(prompts.questions.isEmpty());
        QCOMPARE(written(), outside);
    }

    void withEditsTheBarAsks_data() {
        QTest::addColumn<bool>("keep");
        QTest::newRow("保留我的修改") << true;
        QTest::newRow("重新载入") << false;
    }

    // Typed edits are never dropped unasked: the bar comes up. Keeping them
    // leaves every box as typed, and the save still asks before it writes over
    // the other program's file (No keeps it to the byte). Reloading shows the
    // file and drops the edits and their history.
    void withEditsTheBarAsks() {
        QFETCH(bool, keep);
        openCharacter(5);
        const QString value = otherForce();
        const QString command =
            box("Text5")->text() == u"11" ? QStringLiteral("12") : QStringLiteral("11");
        // A saved edit taken back: the document differs from the file.
        type("Text6", QStringLiteral("66"));
        click("Command1");
        noMessages();
        trigger("undo");
        QVERIFY(form->windowTitle().endsWith(QStringLiteral(" *")));
        type("Text5", command);
        setForceOutside(5, value);
        const QByteArray outside = written();
        QTRY_VERIFY(bar()->isVisible());
        QCOMPARE(bar()->message(), QStringLiteral("文件已被其他程序改动"));
        QCOMPARE(find<QLabel>("diskbarfile")->text(), QStringLiteral("data.e5"));
        QVERIFY(box("Text4")->text() != value);
        QCOMPARE(box("Text5")->text(), command);

        if (keep) {
            click("keepmine");
            QVERIFY(bar()->isHidden());
            QCOMPARE(box("Text5")->text(), command);
            QVERIFY(form->windowTitle().endsWith(QStringLiteral(" *")));
            prompts.askAnswers.enqueue(false);
            click("Command1");
            QCOMPARE(prompts.questions.size(), 1);
            QVERIFY2(prompts.lastMessage().startsWith(QStringLiteral("没有写入任何内容")),
                     qPrintable(prompts.lastMessage()));
            QCOMPARE(written(), outside);
            // The same change is not reported again.
            QSignalSpy checked(test::fileWatchOf(form.get()), &FileWatch::checked);
            form->activateWindow();
            test::fileWatchOf(form.get())->sync();
            QTRY_VERIFY(checked.count() > 0);
            QVERIFY(bar()->isHidden());
            return;
        }
        click("reloadfile");
        QVERIFY(bar()->isHidden());
        QCOMPARE(box("Text4")->text(), value);
        QVERIFY(box("Text5")->text() != command);
        QCOMPARE(list("List1")->currentRow(), 5);
        QVERIFY(!form->windowTitle().endsWith(QStringLiteral(" *")));
        QVERIFY(!action("undo")->isEnabled());
        QCOMPARE(status(), QStringLiteral("data.e5 已重新载入"));
        // Nothing to ask about when leaving: the editor holds the file as it is.
        list("List1")->setCurrentRow(6);
        QVERIFY(prompts.questions.isEmpty());
        noMessages();
        QCOMPARE(written(), outside);
    }

    // A report the system never gave (a network folder, a full queue) is made
    // up for when the user comes back to the window.
    void missedReportIsCaughtOnActivation() {
        openCharacter(5);
        QSignalSpy checked(test::fileWatchOf(form.get()), &FileWatch::checked);
        QTRY_VERIFY(checked.count() > 0);
        auto* system = test::fileWatchOf(form.get())->findChild<QFileSystemWatcher*>();
        QVERIFY(system);
        const QStringList watched = system->files() + system->directories();
        QVERIFY(watched.size() == 2);
        system->removePaths(watched);
        QWidget elsewhere;
        elsewhere.show();
        elsewhere.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&elsewhere));
        const QString value = otherForce();
        setForceOutside(5, value);
        form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(form.get()));
        QTRY_COMPARE(box("Text4")->text(), value);
        QCOMPARE(status(), QStringLiteral("data.e5 已被其他程序改动，已重新载入"));
    }

    // The editor's own save is no change by another program.
    void ownSaveShowsNoBar() {
        openCharacter(5);
        type("Text4", otherForce());
        QSignalSpy checked(test::fileWatchOf(form.get()), &FileWatch::checked);
        click("Command1");
        noMessages();
        QTRY_VERIFY(checked.count() > 0);
        QVERIFY(bar()->isHidden());
        QCOMPARE(status(), QStringLiteral("已保存 data.e5：1条记录"));
    }

    void deletedFileKeepsEverything_data() {
        QTest::addColumn<bool>("edited");
        QTest::newRow("edits") << true;
        QTest::newRow("no edits") << false;
    }

    // A deleted file is only reported: the editor keeps what it shows and
    // what was typed, and offers no reload of a file that is not there.
    void deletedFileKeepsEverything() {
        QFETCH(bool, edited);
        openCharacter(5);
        const QString shown = box("Text4")->text();
        if (edited)
            type("Text5", QStringLiteral("12"));
        const QString command = box("Text5")->text();
        QVERIFY(QFile::remove(path));
        QTRY_COMPARE(status(),
                     QStringLiteral("data.e5 已被其他程序删除或移走，编辑器中的内容保持不变"));
        QCOMPARE(bar()->isVisible(), edited);
        if (edited) {
            QCOMPARE(bar()->message(), QStringLiteral("文件已被其他程序删除或移走"));
            QVERIFY(!find<QPushButton>("reloadfile")->isEnabled());
        }
        QCOMPARE(box("Text4")->text(), shown);
        QCOMPARE(box("Text5")->text(), command);
        noMessages();
        QVERIFY(!QFile::exists(path));
    }
};

LCJ_TEST_MAIN(DiskWatchTest)
#include "diskwatch_test.moc"
