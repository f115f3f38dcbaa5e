#include "dformharness.h"
#include "support/testmain.h"

#include <QGroupBox>

using namespace lcj;

namespace {

using SaveChoice = Prompts::SaveChoice;

struct Section {
    const char* entry;
    const char* frame;
    const char* list;
    const char* box; // a number box of the record
    data::Table table;
};

Section section(const QString& name) {
    if (name == u"character")
        return {"renpre", "Frame1", "List1", "Text4", data::characters};
    if (name == u"item")
        return {"daopre", "Frame2", "List3", "Text15", data::items};
    if (name == u"trooptype")
        return {"binpre", "Frame5", "List8", "Text20", data::troopTypes};
    if (name == u"terrain")
        return {"dipfe", "Frame4", "List7", "Text19_0", data::terrain};
    return {"chepre", "Frame7", "List9", "Text29", data::strategies};
}

} // namespace

// Edits in the data file editor's controls are never dropped without a word:
// another record, another section, another file or closing asks first.
class UnsavedEditsTest : public QObject, public DFormHarness {
    Q_OBJECT

    Section s;

    void openAt(const QString& name, int row) {
        s = section(name);
        openSection(sample::dataFile(), QString::fromLatin1(s.entry));
        list(s.list)->setCurrentRow(row);
    }
    // A value other than the one shown, that the box takes.
    QString otherValue() {
        return box(s.box)->text() == u"4" ? QStringLiteral("6") : QStringLiteral("4");
    }
    // Every byte outside record `row` is as it was.
    void onlyRecordChanged(int row) {
        const QByteArray now = written();
        QCOMPARE(now.size(), original.size());
        const qint64 at = s.table.recordOffset(row);
        QCOMPARE(now.left(at), original.left(at));
        QCOMPARE(now.mid(at + s.table.recordSize), original.mid(at + s.table.recordSize));
    }

    static void sections() {
        QTest::addColumn<QString>("name");
        for (const char* name : {"character", "item", "trooptype", "terrain", "strategy"})
            QTest::newRow(name) << QString::fromLatin1(name);
    }

private slots:
    void init() { start(); }
    void cleanup() { stop(); }

    void nothingIsAskedWhenNothingChanged_data() { sections(); }
    void nothingIsAskedWhenNothingChanged() {
        QFETCH(QString, name);
        openAt(name, 0);
        for (int row = 1; row < 12; ++row)
            list(s.list)->setCurrentRow(row);
        // A box typed into and put back as it was holds no edit.
        const QString shown = box(s.box)->text();
        type(s.box, otherValue());
        type(s.box, shown);
        list(s.list)->setCurrentRow(2);
        for (const char* other : {"renpre", "daopre", "shoppre", "binpre", "dipfe", "chepre"})
            trigger(other);
        QVERIFY(form->close());
        QVERIFY2(prompts.questions.isEmpty(), qPrintable(prompts.questions.join(u'|')));
        QCOMPARE(written(), original);
    }

    void cancelKeepsTheRecordAndItsEdits_data() { sections(); }
    void cancelKeepsTheRecordAndItsEdits() {
        QFETCH(QString, name);
        openAt(name, 3);
        const QString typed = otherValue();
        type(s.box, typed);
        list(s.list)->setCurrentRow(5);
        QCOMPARE(prompts.questions.size(), 1);
        QCOMPARE(list(s.list)->currentRow(), 3);
        QCOMPARE(box(s.box)->text(), typed);
        QCOMPARE(written(), original);
        // The kept edit is still the record's: a later save writes row 3.
        list(s.list)->setCurrentRow(5);
        QCOMPARE(prompts.questions.size(), 2);
        prompts.saveChoices.enqueue(SaveChoice::Save);
        list(s.list)->setCurrentRow(5);
        QCOMPARE(list(s.list)->currentRow(), 5);
        onlyRecordChanged(3);
        QVERIFY(written() != original);
        list(s.list)->setCurrentRow(3);
        QCOMPARE(box(s.box)->text(), typed);
        QCOMPARE(prompts.questions.size(), 3);
        noMessages();
    }

    void discardShowsTheNextRecordAndWritesNothing_data() { sections(); }
    void discardShowsTheNextRecordAndWritesNothing() {
        QFETCH(QString, name);
        openAt(name, 3);
        const QString shown = box(s.box)->text();
        type(s.box, otherValue());
        prompts.saveChoices.enqueue(SaveChoice::Discard);
        list(s.list)->setCurrentRow(6);
        QCOMPARE(prompts.questions.size(), 1);
        QCOMPARE(list(s.list)->currentRow(), 6);
        list(s.list)->setCurrentRow(3);
        QCOMPARE(box(s.box)->text(), shown);
        QCOMPARE(prompts.questions.size(), 1);
        QCOMPARE(written(), original);
    }

    void aFailedSaveStaysOnTheRecord_data() { sections(); }
    void aFailedSaveStaysOnTheRecord() {
        QFETCH(QString, name);
        openAt(name, 3);
        type(s.box, QStringLiteral("abc"));
        prompts.saveChoices.enqueue(SaveChoice::Save);
        list(s.list)->setCurrentRow(7);
        QCOMPARE(prompts.messages.size(), 1);
        QCOMPARE(list(s.list)->currentRow(), 3);
        QCOMPARE(box(s.box)->text(), QStringLiteral("abc"));
        QCOMPARE(written(), original);
    }

    void anotherSectionOrFileOrClosingAsks_data() { sections(); }
    void anotherSectionOrFileOrClosingAsks() {
        QFETCH(QString, name);
        openAt(name, 2);
        const QString typed = otherValue();
        type(s.box, typed);
        auto* frame = find<QGroupBox>(QString::fromLatin1(s.frame));
        trigger("shoppre"); // 取消
        QVERIFY(frame->isVisible());
        QCOMPARE(box(s.box)->text(), typed);
        trigger(s.entry); // the same section read again would drop the edit too
        QCOMPARE(box(s.box)->text(), typed);
        prompts.openAnswers.enqueue(path);
        trigger("fileop");
        QCOMPARE(prompts.openAnswers.size(), 1); // no dialog was shown
        QVERIFY(!form->close());
        QVERIFY(form->isVisible());
        QCOMPARE(prompts.questions.size(), 4);
        QCOMPARE(written(), original);
        prompts.saveChoices.enqueue(SaveChoice::Save);
        QVERIFY(form->close());
        onlyRecordChanged(2);
        QVERIFY(written() != original);
    }

    void clickOnAnotherRowCancelledKeepsTheHighlight_data() { sections(); }
    // A mouse click on another record, answered "取消": the highlight stays on
    // the record the form shows, and the form's save still writes that record.
    void clickOnAnotherRowCancelledKeepsTheHighlight() {
        QFETCH(QString, name);
        openAt(name, 3);
        const QString typed = otherValue();
        type(s.box, typed);
        QListWidget* rows = list(s.list);
        const QRect other = rows->visualItemRect(rows->item(5));
        QVERIFY(rows->viewport()->rect().contains(other));
        QTest::mouseClick(rows->viewport(), Qt::LeftButton, {}, other.center());
        QCOMPARE(prompts.questions.size(), 1);
        QCoreApplication::processEvents();
        QCOMPARE(rows->currentRow(), 3);
        QCOMPARE(rows->selectedItems(), QList<QListWidgetItem*>({rows->item(3)}));
        QCOMPARE(box(s.box)->text(), typed);
        QCOMPARE(written(), original);
        // "保存" on the next click writes record 3 and moves to the clicked one.
        prompts.saveChoices.enqueue(SaveChoice::Save);
        QTest::mouseClick(rows->viewport(), Qt::LeftButton, {}, other.center());
        QCoreApplication::processEvents();
        QCOMPARE(rows->currentRow(), 5);
        QCOMPARE(rows->selectedItems(), QList<QListWidgetItem*>({rows->item(5)}));
        onlyRecordChanged(3);
        QVERIFY(written() != original);
    }

    void shopTicksAreAskedAboutToo() {
        openSection(sample::dataFile(), QStringLiteral("shoppre"));
        QListWidget* battles = list("List4");
        battles->setCurrentRow(4);
        QListWidget* equipment = list("List5");
        equipment->item(0)->setSelected(!equipment->item(0)->isSelected());
        battles->setCurrentRow(5);
        QCOMPARE(prompts.questions.size(), 1);
        QCOMPARE(battles->currentRow(), 4);
        prompts.saveChoices.enqueue(SaveChoice::Save);
        battles->setCurrentRow(5);
        QCOMPARE(battles->currentRow(), 5);
        s = {"shoppre", "Frame3", "List4", "", data::shops};
        onlyRecordChanged(4);
        QVERIFY(written() != original);
        QVERIFY(form->close());
        QCOMPARE(prompts.questions.size(), 2);
    }
};

LCJ_TEST_MAIN(UnsavedEditsTest)
#include "unsavededits_test.moc"
