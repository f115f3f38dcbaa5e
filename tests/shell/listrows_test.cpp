#include "datafile/ui/dform.h"
#include "messages/ui/imsg.h"
#include "samplegen/samplegame.h"
#include "savefile/ui/record.h"
#include "scenario/ui/junben.h"
#include "support/editorharness.h"
#include "support/testmain.h"

#include <QPlainTextEdit>
#include <QStyledItemDelegate>
#include <QtTest>

using namespace lcj;

namespace {

// A list's own delegate that counts how often the list measures an entry.
class MeasuringDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    mutable int measured = 0;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        ++measured;
        return QStyledItemDelegate::sizeHint(option, index);
    }
};

// Counts the rows a list's model removes and inserts.
struct RowMoves {
    int removed = 0;
    int inserted = 0;
    explicit RowMoves(QListWidget* list) {
        QObject::connect(
            list->model(), &QAbstractItemModel::rowsRemoved,
            [this](const QModelIndex&, int first, int last) { removed += last - first + 1; });
        QObject::connect(
            list->model(), &QAbstractItemModel::rowsInserted,
            [this](const QModelIndex&, int first, int last) { inserted += last - first + 1; });
    }
};

// Lets the window lay out and paint what it has been asked to show.
void repaint(QWidget* window) {
    window->update();
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
}

} // namespace

// Long lists change what they show without measuring every entry again: a
// save changes its entry in place, and opening a list of hundreds of names
// measures a handful of them, not each one.
class ListRowsTest : public QObject {
    Q_OBJECT

private slots:
    void savedNameChangesItsEntryInPlace_data() {
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("list");
        QTest::addColumn<QString>("nameBox");
        QTest::addColumn<QString>("save");
        QTest::newRow("characters") << "renpre"
                                    << "List1"
                                    << "Text1"
                                    << "Command1";
        QTest::newRow("items") << "daopre"
                               << "List3"
                               << "Text13"
                               << "Command4";
        QTest::newRow("strategies") << "chepre"
                                    << "List9"
                                    << "Text28"
                                    << "Command12";
    }
    void savedNameChangesItsEntryInPlace() {
        QFETCH(QString, section);
        QFETCH(QString, list);
        QFETCH(QString, nameBox);
        QFETCH(QString, save);
        test::EditorHarness<data::DForm> editor;
        editor.start();
        editor.open(QStringLiteral("data.e5"), sample::dataFile(), "fileop");
        editor.trigger(section);
        QListWidget* names = editor.list(list);
        const int rows = names->count();
        names->setCurrentRow(5);
        QListWidgetItem* entry = names->item(5);
        const QString before = names->item(4)->text() + names->item(6)->text();
        RowMoves moves(names);

        editor.box(nameBox)->setText(QStringLiteral("新名"));
        editor.click(save);

        editor.noMessages();
        QCOMPARE(names->item(5), entry);
        QCOMPARE(entry->text(), QStringLiteral("新名"));
        QCOMPARE(names->item(4)->text() + names->item(6)->text(), before);
        QCOMPARE(names->count(), rows);
        QCOMPARE(names->currentRow(), 5);
        QCOMPARE(moves.removed, 0);
        QCOMPARE(moves.inserted, 0);
        // What the box shows again was read back from the file.
        QCOMPARE(editor.box(nameBox)->text(), QStringLiteral("新名"));
        QVERIFY(editor.written() != editor.original);
    }

    void savedMessageChangesItsEntryInPlace() {
        test::EditorHarness<imsg::Imsg> editor;
        editor.start();
        editor.open(QStringLiteral("Imsg.e5"), sample::messageFile(), "fileopen");
        editor.trigger("zhiming");
        QListWidget* lines = editor.list("List5");
        const int rows = lines->count();
        lines->setCurrentRow(3);
        QListWidgetItem* entry = lines->item(3);
        RowMoves moves(lines);

        editor.find<QPlainTextEdit>("Text1")->setPlainText(QStringLiteral("看招！"));
        editor.click("Command1");

        editor.noMessages();
        QCOMPARE(lines->item(3), entry);
        QCOMPARE(entry->text(), QStringLiteral("看招！"));
        QCOMPARE(lines->count(), rows);
        QCOMPARE(lines->currentRow(), 3);
        QCOMPARE(moves.removed, 0);
        QCOMPARE(moves.inserted, 0);
        // Shown again from the entry: the stored text, not the typed one by chance.
        QCOMPARE(editor.find<QPlainTextEdit>("Text1")->toPlainText(), QStringLiteral("看招！"));
    }

    void openingLongListsMeasuresAFewEntries() {
        // The data file editor's 512 characters, shown, repainted, one saved.
        {
            test::EditorHarness<data::DForm> editor;
            editor.start();
            auto* delegate = new MeasuringDelegate(editor.form.get());
            editor.list("List1")->setItemDelegate(delegate);
            editor.open(QStringLiteral("data.e5"), sample::dataFile(), "fileop");
            editor.trigger("renpre");
            repaint(editor.form.get());
            QCOMPARE(editor.list("List1")->count(), 512);
            editor.list("List1")->setCurrentRow(300);
            editor.click("Command1");
            repaint(editor.form.get());
            editor.noMessages();
            QVERIFY2(delegate->measured < 20, qPrintable(QString::number(delegate->measured)));
        }
        // The save-file editor's 174 characters and the scenario editor's 512 people.
        {
            test::EditorHarness<save::Record> editor;
            editor.start();
            auto* delegate = new MeasuringDelegate(editor.form.get());
            editor.list("List1")->setItemDelegate(delegate);
            editor.open(QStringLiteral("Sv01d.e5s"), sample::saveGame(), "fileopen");
            editor.list("List1")->setCurrentRow(170);
            repaint(editor.form.get());
            editor.noMessages();
            QVERIFY2(delegate->measured < 20, qPrintable(QString::number(delegate->measured)));
        }
        {
            test::EditorHarness<scenario::Junben> editor;
            editor.start();
            auto* delegate = new MeasuringDelegate(editor.form.get());
            editor.list("List1")->setItemDelegate(delegate);
            editor.open(QStringLiteral("data.e5"), sample::dataFile(), "dataopen");
            editor.list("List1")->setCurrentRow(400);
            repaint(editor.form.get());
            editor.noMessages();
            QCOMPARE(editor.list("List1")->count(), 512);
            QVERIFY2(delegate->measured < 20, qPrintable(QString::number(delegate->measured)));
        }
    }

    void wrappedMessageLinesKeepTheirOwnHeights() {
        test::EditorHarness<imsg::Imsg> editor;
        editor.start();
        QByteArray file = sample::messageFile();
        editor.open(QStringLiteral("Imsg.e5"), file, "fileopen");
        editor.trigger("zhiming");
        QListWidget* lines = editor.list("List5");
        lines->setCurrentRow(0);
        editor.find<QPlainTextEdit>("Text1")->setPlainText(
            QStringLiteral("这是一句很长的致命一击台词，长到列表一行放不下，只好折成好几行来显示"));
        editor.click("Command1");
        editor.noMessages();
        repaint(editor.form.get());
        QVERIFY(lines->wordWrap());
        QVERIFY(!lines->uniformItemSizes());
        QVERIFY2(lines->visualItemRect(lines->item(0)).height() >
                     lines->visualItemRect(lines->item(1)).height(),
                 "a long line is shown on several lines");
    }
};

LCJ_TEST_MAIN(ListRowsTest)
#include "listrows_test.moc"
