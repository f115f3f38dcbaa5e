// Every editor's save holds the file's lock: while another program of ours
// holds it, the save says so and writes nothing, and the edit waits for the
// next save.
#include "common/writelock.h"
#include "editorcases.h"
#include "support/testmain.h"

#include <QtTest>

using namespace lcj;
using namespace std::chrono_literals;
using test::allEditors;
using test::Driver;
using test::EditorCase;

class SaveLockTest : public QObject {
    Q_OBJECT

private slots:
    void init() { files::setLockWait(300ms); }
    void cleanup() { files::setLockWait(3000ms); }

    void saveWaitsForNoOtherWriter_data() {
        QTest::addColumn<int>("editor");
        for (int e = 0; e < allEditors().size(); ++e)
            QTest::addRow("%s", allEditors()[e].name) << e;
    }

    void saveWaitsForNoOtherWriter() {
        QFETCH(int, editor);
        const EditorCase& c = allEditors()[editor];
        const QByteArray saved = test::cleanSave(c);
        const QByteArray original = c.sample();
        Driver d(c.entry, c.window, c.fileName, original);
        test::openAndShow(d, c);
        c.edit(d);
        QVERIFY2(d.prompts.messages.isEmpty(), qPrintable(d.prompts.lastMessage()));

        auto held = files::WriteLock::take(d.path);
        QVERIFY(held.ok());
        const QStringList before = d.files();
        d.save(c.save);
        QCOMPARE(d.prompts.messages.size(), 1);
        QVERIFY2(d.prompts.lastMessage().contains(QStringLiteral("正被另一个程序")) &&
                     d.prompts.lastMessage().contains(QDir::toNativeSeparators(d.path)) &&
                     d.prompts.lastMessage().contains(QStringLiteral("没有写入任何内容")),
                 qPrintable(d.prompts.lastMessage()));
        QVERIFY(d.prompts.questions.isEmpty());
        QCOMPARE(test::readFile(d.path), original);
        QCOMPARE(d.files(), before);

        // The other writer is done: the same save goes through and leaves no lock.
        held->release();
        d.save(c.save);
        QCOMPARE(d.prompts.messages.size(), 1);
        QCOMPARE(test::readFile(d.path), saved);
        for (const QString& name : d.files())
            QVERIFY2(!name.endsWith(QStringLiteral(".lock")), qPrintable(name));
    }
};

LCJ_TEST_MAIN(SaveLockTest)
#include "savelock_test.moc"
