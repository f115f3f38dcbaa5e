// The data editor saves a record while lcjtool, a program of its own, has changed the file:
// the save merges both sides' changes field by field, or writes nothing.
#include "datafile/datalayout.h"
#include "dformharness.h"
#include "support/dialogkeys.h"
#include "support/outsideprogram.h"
#include "support/testmain.h"

#include <QLabel>

using namespace lcj;

namespace {

// The editor types 90 into character 5's 武力 (stored halved, at byte 18 of the record);
// lcjtool sets `column` of character `row` to `value` meanwhile.
struct Outside {
    int row;
    const char* column;
    int byte;
    int value;
    bool conflict;
};
const Outside outsides[] = {
    {20, "武力", 18, 80, false}, // another record
    {5, "智力", 20, 70, false},  // the same record, another field
    {5, "武力", 18, 90, false},  // the same field, the same value
    {5, "武力", 18, 60, true},   // the same field, another value
};
const char* const outsideNames[] = {"another record", "another field", "same value", "other value"};

} // namespace

class MergeSaveTest : public QObject, public DFormHarness {
    Q_OBJECT

    qint64 at(int row, int byte) const { return data::characters.recordOffset(row) + byte; }
    // Opens character 5, types 90 into 武力, and lets lcjtool change the file; the file
    // lcjtool left.
    QByteArray editBesideLcjtool(const Outside& o) {
        openSection(sample::dataFile(), QStringLiteral("renpre"));
        list("List1")->setCurrentRow(5);
        type("Text4", QStringLiteral("90"));
        const QString rows =
            dir->write(QStringLiteral("rows.csv"), QStringLiteral("序号,%1\n%2,%3\n")
                                                       .arg(QString::fromUtf8(o.column))
                                                       .arg(o.row)
                                                       .arg(o.value)
                                                       .toUtf8());
        const test::OutsideRun run =
            test::runLcjtool({QStringLiteral("data"), QStringLiteral("import"), path,
                              QStringLiteral("characters"), rows});
        if (run.code != 0)
            qFatal("lcjtool: %s", qPrintable(run.err));
        const QByteArray disk = written();
        if (disk == original || quint8(disk[at(o.row, o.byte)]) != o.value / 2)
            qFatal("lcjtool did not change the file");
        return disk;
    }
    QString status() { return find<QLabel>("status")->text(); }

private slots:
    void init() { start(); }
    void cleanup() { stop(); }

    // Each case through the real question: Enter and Escape.
    void theQuestionKeepsEveryEdit_data() {
        QTest::addColumn<int>("outside");
        QTest::addColumn<int>("key");
        for (int o = 0; o < int(std::size(outsides)); ++o)
            for (int key : {int(Qt::Key_Enter), int(Qt::Key_Escape)})
                QTest::addRow("%s, %s", outsideNames[o], key == Qt::Key_Enter ? "Enter" : "Escape")
                    << o << key;
    }
    void theQuestionKeepsEveryEdit() {
        QFETCH(int, outside);
        QFETCH(int, key);
        const Outside& o = outsides[outside];
        const QByteArray disk = editBesideLcjtool(o);
        prompts.realBoxes = true;
        test::DialogKeys keys({key, key});
        click("Command1");
        QVERIFY(!keys.seen.isEmpty());
        const auto& question = keys.seen[0];
        QVERIFY2(question.text.contains(QStringLiteral("人物 5 武力：")),
                 qPrintable(question.text));
        const bool merged = key == Qt::Key_Enter && !o.conflict;
        if (o.conflict) {
            QVERIFY2(question.text.contains(QStringLiteral("人物 5 武力：磁盘上 60 → 编辑器中 90")),
                     qPrintable(question.text));
            QCOMPARE(question.buttons, (QStringList{QStringLiteral("合并，冲突处用编辑器的"),
                                                    QStringLiteral("合并，冲突处保留磁盘上的"),
                                                    QStringLiteral("不写入")}));
            QCOMPARE(question.defaultButton, QStringLiteral("不写入"));
        } else {
            QCOMPARE(question.defaultButton, QStringLiteral("合并保存"));
        }
        if (!merged) {
            // Nothing written, the editor's 90 still shown and unsaved.
            QCOMPARE(keys.seen.size(), 2);
            QVERIFY(keys.seen[1].text.startsWith(QStringLiteral("没有写入任何内容")));
            QCOMPARE(written(), disk);
            QCOMPARE(box("Text4")->text(), QStringLiteral("90"));
            QVERIFY(form->windowTitle().endsWith(QStringLiteral(" *")));
            return;
        }
        QByteArray expected = disk;
        expected[at(5, 18)] = char(45);
        QCOMPARE(keys.seen.size(), 1);
        QCOMPARE(written(), expected);
        // The editor shows the file it wrote, its history starting there.
        QVERIFY2(status().startsWith(QStringLiteral("已合并保存 data.e5")), qPrintable(status()));
        QVERIFY(!form->windowTitle().endsWith(QStringLiteral(" *")));
        QVERIFY(!action("undo")->isEnabled());
        list("List1")->setCurrentRow(o.row);
        QCOMPARE(box(o.byte == 18 ? "Text4" : "Text6")->text(),
                 QString::number(o.row == 5 && o.byte == 18 ? 90 : o.value));
    }

    // A conflict settled either way: the other fields of both sides are kept.
    void aConflictIsSettledOneWay_data() {
        QTest::addColumn<int>("answer");
        QTest::addColumn<int>("stored");
        QTest::newRow("the editor's") << 0 << 45;
        QTest::newRow("the disk's") << 1 << 30;
    }
    void aConflictIsSettledOneWay() {
        QFETCH(int, answer);
        QFETCH(int, stored);
        const QByteArray disk = editBesideLcjtool(outsides[3]);
        type("Text6", QStringLiteral("72")); // 智力, only the editor changes it
        prompts.chooseAnswers.enqueue(answer);
        click("Command1");
        QByteArray expected = disk;
        expected[at(5, 18)] = char(stored);
        expected[at(5, 20)] = char(36);
        QCOMPARE(written(), expected);
        noMessages();
    }
};

LCJ_TEST_MAIN(MergeSaveTest)
#include "mergesave_test.moc"
