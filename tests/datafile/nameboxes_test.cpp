#include "common/gbk.h"
#include "dformharness.h"
#include "support/testmain.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>

using namespace lcj;

// The name boxes of the character, item and strategy sections: each keeps its
// text within the bytes of its field, shows the bytes used, and the list shows
// the name as stored after a save.
class NameBoxesTest : public QObject, public DFormHarness {
    Q_OBJECT

    struct Section {
        const char* entry;
        const char* list;
        const char* box;
        const char* save;
        data::Table table;
    };
    static Section section(const QString& name) {
        if (name == u"character")
            return {"renpre", "List1", "Text1", "Command1", data::characters};
        if (name == u"item")
            return {"daopre", "List3", "Text13", "Command4", data::items};
        return {"chepre", "List9", "Text28", "Command12", data::strategies};
    }
    QByteArray field(const Section& s, int row) const {
        return test::readFile(path).mid(s.table.recordOffset(row), s.table.nameWidth);
    }
    QString used(const Section& s) {
        return find<QLabel>(QString::fromLatin1(s.box) + QStringLiteral("Bytes"))->text();
    }
    static QByteArray padded(const QString& name, int width) {
        QByteArray bytes = *gbk::encode(name);
        bytes.append(width - bytes.size(), '\0');
        return bytes;
    }

    // Replaces a box's text key by key, any character, as a person types.
    void typeName(const char* name, const QString& text) {
        box(name)->clear();
        for (QChar ch : text)
            QTest::sendKeyEvent(QTest::Click, box(name), Qt::Key_unknown, QString(ch),
                                Qt::NoModifier);
    }

    static void sections() {
        QTest::addColumn<QString>("name");
        for (const char* name : {"character", "item", "strategy"})
            QTest::newRow(name) << QString::fromLatin1(name);
    }

private slots:
    void init() { start(); }
    void cleanup() { stop(); }

    void typingStopsAtTheFieldWidth_data() { sections(); }
    void typingStopsAtTheFieldWidth() {
        QFETCH(QString, name);
        const Section s = section(name);
        openSection(sample::dataFile(), QString::fromLatin1(s.entry));
        list(s.list)->setCurrentRow(3);
        // One letter, then Chinese characters until the field is full: the
        // last one that would need a byte more is refused, not half stored.
        const int fit = (s.table.nameWidth - 1) / 2;
        const QString kept = QStringLiteral("a") + QString(fit, QChar(u'岚'));
        typeName(s.box, QStringLiteral("a") + QString(8, QChar(u'岚')));
        QCOMPARE(box(s.box)->text(), kept);
        QCOMPARE(
            used(s),
            QStringLiteral("已用 %1/%2 字节").arg(gbk::byteCount(kept)).arg(s.table.nameWidth));
        click(s.save);
        noMessages();
        QCOMPARE(field(s, 3), padded(kept, s.table.nameWidth));
        QCOMPARE(test::readFile(path), originalWith(s.table.recordOffset(3), field(s, 3)));
        QCOMPARE(list(s.list)->item(3)->text(), kept);
    }

    void pasteThatDoesNotFitIsRefusedWhole_data() { sections(); }
    void pasteThatDoesNotFitIsRefusedWhole() {
        QFETCH(QString, name);
        const Section s = section(name);
        openSection(sample::dataFile(), QString::fromLatin1(s.entry));
        list(s.list)->setCurrentRow(2);
        typeName(s.box, QStringLiteral("ab"));
        QGuiApplication::clipboard()->setText(QString(s.table.nameWidth, u'x'));
        box(s.box)->paste();
        QCOMPARE(box(s.box)->text(), QStringLiteral("ab"));
        QGuiApplication::clipboard()->setText(QStringLiteral("岚川"));
        box(s.box)->paste();
        QCOMPARE(box(s.box)->text(), QStringLiteral("ab岚川"));
    }

    void nameTooLongForItsFieldIsRefusedOnSave_data() { sections(); }
    void nameTooLongForItsFieldIsRefusedOnSave() {
        QFETCH(QString, name);
        const Section s = section(name);
        openSection(sample::dataFile(), QString::fromLatin1(s.entry));
        list(s.list)->setCurrentRow(4);
        const QString before = list(s.list)->item(4)->text();
        // Set past the box's checks, as a script might: never cut on save.
        box(s.box)->setText(QString(s.table.nameWidth / 2 + 1, QChar(u'岚')));
        click(s.save);
        QCOMPARE(prompts.messages.size(), 1);
        QVERIFY2(prompts.lastMessage().contains(QStringLiteral("%1字节").arg(s.table.nameWidth)),
                 qPrintable(prompts.lastMessage()));
        QCOMPARE(test::readFile(path), original);
        QCOMPARE(list(s.list)->item(4)->text(), before);
    }

    void listShowsTheNameAsStored_data() { sections(); }
    void listShowsTheNameAsStored() {
        QFETCH(QString, name);
        const Section s = section(name);
        openSection(sample::dataFile(), QString::fromLatin1(s.entry));
        list(s.list)->setCurrentRow(6);
        typeName(s.box, QStringLiteral(" 岚川 "));
        click(s.save);
        noMessages();
        QCOMPARE(field(s, 6), padded(QStringLiteral("岚川"), s.table.nameWidth));
        QCOMPARE(list(s.list)->item(6)->text(), QStringLiteral("岚川"));
        QCOMPARE(box(s.box)->text(), QStringLiteral("岚川"));
    }

    void storedNameLongerThanTheBoxIsShownWholeAndMayBeShortened() {
        QByteArray bytes = sample::dataFile();
        bytes.replace(data::characters.recordOffset(21), 12, QByteArray("abcdefghijkl", 12));
        openSection(bytes, QStringLiteral("renpre"));
        list("List1")->setCurrentRow(21);
        QCOMPARE(box("Text1")->text(), QStringLiteral("abcdefghijkl"));
        QCOMPARE(find<QLabel>("Text1Bytes")->text(), QStringLiteral("已用 12/12 字节"));
        // Longer is refused; shorter is taken.
        QTest::keyClick(box("Text1"), Qt::Key_End);
        QTest::keyClicks(box("Text1"), QStringLiteral("m"));
        QCOMPARE(box("Text1")->text(), QStringLiteral("abcdefghijkl"));
        QTest::keyClick(box("Text1"), Qt::Key_Backspace);
        QCOMPARE(box("Text1")->text(), QStringLiteral("abcdefghijk"));
        click("Command1");
        noMessages();
        QCOMPARE(test::readFile(path).mid(data::characters.recordOffset(21), 12),
                 QByteArray("abcdefghijk\0", 12));
    }
};

LCJ_TEST_MAIN(NameBoxesTest)
#include "nameboxes_test.moc"
