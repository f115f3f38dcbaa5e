// "保存" in a region editor holds the file's lock from its look at the file
// until its write is done.
#include "common/writelock.h"
#include "samplegen/samplegame.h"
#include "savefile/ui/record.h"
#include "support/scriptedprompts.h"
#include "support/testfiles.h"
#include "support/testmain.h"

#include <QAction>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QtTest>

using namespace lcj;
using namespace std::chrono_literals;

namespace {

constexpr qint64 recordAt(int c) {
    return 5340 + 32 * c;
}

QStringList listing(const QString& folder) {
    QStringList names =
        QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    names.sort();
    return names;
}

// Scripted prompts that, while a question is on screen, see whether another
// save of the file could get its lock.
class WatchingPrompts : public test::ScriptedPrompts {
public:
    QString watched;
    QList<bool> lockFreeDuringQuestion;
    bool ask(QWidget* parent, const QString& text, const QString& title) override {
        if (!watched.isEmpty())
            lockFreeDuringQuestion.append(files::WriteLock::take(watched).ok());
        return ScriptedPrompts::ask(parent, text, title);
    }
    int choose(QWidget* parent, const QString& text, const QStringList& buttons, int defaultButton,
               int escapeButton, const QString& title) override {
        if (!watched.isEmpty())
            lockFreeDuringQuestion.append(files::WriteLock::take(watched).ok());
        return ScriptedPrompts::choose(parent, text, buttons, defaultButton, escapeButton, title);
    }
};

} // namespace

class RecordLockTest : public QObject {
    Q_OBJECT

    WatchingPrompts prompts;
    std::unique_ptr<test::TestFolder> dir;
    std::unique_ptr<save::Record> form;
    QString path;
    QByteArray original;

    template <class T> T* find(const char* name) {
        T* w = form->findChild<T*>(QString::fromLatin1(name));
        if (!w)
            qFatal("no control %s", name);
        return w;
    }
    void click(const char* name) { QTest::mouseClick(find<QPushButton>(name), Qt::LeftButton); }
    // Opens a save file and confirms 武力 99 for character 5, not yet saved.
    void openAndEdit() {
        original = sample::saveGame();
        path = dir->write(QStringLiteral("Sv01d.e5s"), original);
        prompts.openAnswers.enqueue(path);
        find<QAction>("fileopen")->trigger();
        find<QListWidget>("List1")->setCurrentRow(5);
        find<QLineEdit>("Text3")->clear();
        QTest::keyClicks(find<QLineEdit>("Text3"), QStringLiteral("99"));
        click("Command1");
        QVERIFY2(prompts.messages.isEmpty(), qPrintable(prompts.lastMessage()));
        QCOMPARE(test::readFile(path), original);
    }
    QByteArray edited(QByteArray bytes) const {
        bytes[recordAt(5) + 4] = char(99);
        return bytes;
    }

private slots:
    void init() {
        prompts = {};
        files::setLockWait(300ms);
        dir = std::make_unique<test::TestFolder>();
        form = std::make_unique<save::Record>(prompts);
        form->show();
    }
    void cleanup() {
        form.reset();
        files::setLockWait(3000ms);
    }

    // Another program holds the lock: 保存 says so, writes nothing and keeps
    // the edit for a later 保存.
    void saveWhileLockedElsewhereWritesNothing() {
        openAndEdit();
        auto held = files::WriteLock::take(path);
        QVERIFY(held.ok());
        const QStringList before = listing(dir->path({}));
        click("Command2");
        QCOMPARE(prompts.messages.size(), 1);
        QVERIFY2(prompts.lastMessage().contains(QStringLiteral("正被另一个程序")) &&
                     prompts.lastMessage().contains(QStringLiteral("没有写入任何内容")),
                 qPrintable(prompts.lastMessage()));
        QCOMPARE(test::readFile(path), original);
        QCOMPARE(listing(dir->path({})), before);
        held->release();
        click("Command2");
        QCOMPARE(prompts.messages.size(), 1);
        QCOMPARE(test::readFile(path), edited(original));
        QCOMPARE(listing(dir->path({})),
                 (QStringList{QStringLiteral("Sv01d.e5s"), QStringLiteral("Sv01d.e5s.bak")}));
    }

    // A file changed by another program is asked about with the lock held:
    // no other save of ours can come between the answer and the write.
    void questionAboutAChangedFileIsAskedUnderTheLock() {
        openAndEdit();
        QByteArray theirs = original;
        theirs[recordAt(9) + 4] = char(7);
        dir->write(QStringLiteral("Sv01d.e5s"), theirs);
        prompts.watched = path;
        prompts.chooseAnswers.enqueue(0); // 合并保存
        click("Command2");
        QCOMPARE(prompts.questions.size(), 1);
        QCOMPARE(prompts.lockFreeDuringQuestion, QList<bool>{false});
        QCOMPARE(test::readFile(path), edited(theirs));
        QVERIFY(!QFile::exists(files::lockPath(path)));
    }
};

LCJ_TEST_MAIN(RecordLockTest)
#include "recordlock_test.moc"
