// Every editor meets a failing disk: the open refused, a short read, a write
// error, a failed commit, the file gone or shrunk between open and save, a
// read-only file. Each time there is a clear message, the program goes on,
// the file on disk is untouched (never half-written), and a save after the
// trouble has passed writes exactly what a clean save writes.
#include "common/fileaccess.h"
#include "editorcases.h"
#include "support/testmain.h"

#include <QFile>
#include <QtTest>

using namespace lcj;
using test::cleanSave;
using test::Driver;
using test::EditorCase;
using test::editors;

namespace {

enum class Trouble {
    OpenRefusedOnOpen,
    ShortReadOnOpen,
    OpenRefused,
    ShortRead,
    WriteError,
    CommitFailure,
    Vanished,
    Shrunk,
    ReadOnly,
};

struct TroubleCase {
    const char* name;
    Trouble trouble;
    QStringList words; // the message names the trouble with one of these
};

const QList<TroubleCase>& troubles() {
    static const QList<TroubleCase> all{
        {"open refused on open", Trouble::OpenRefusedOnOpen, {QStringLiteral("无法打开")}},
        {"short read on open", Trouble::ShortReadOnOpen, {QStringLiteral("读取")}},
        {"open refused on save", Trouble::OpenRefused, {QStringLiteral("无法打开")}},
        {"short read on save", Trouble::ShortRead, {QStringLiteral("读取")}},
        {"write error", Trouble::WriteError, {QStringLiteral("文件保持原样")}},
        {"commit failure", Trouble::CommitFailure, {QStringLiteral("文件保持原样")}},
        {"file vanished", Trouble::Vanished, {QStringLiteral("找不到")}},
        {"file shrunk", Trouble::Shrunk, {QStringLiteral("太短"), QStringLiteral("不是完整")}},
        {"read-only file", Trouble::ReadOnly, {QStringLiteral("只读")}},
    };
    return all;
}

bool onOpen(Trouble t) {
    return t == Trouble::OpenRefusedOnOpen || t == Trouble::ShortReadOnOpen;
}

bool names(const QString& message, const QStringList& words) {
    for (const QString& w : words)
        if (message.contains(w))
            return true;
    return false;
}

} // namespace

class FaultInjectionTest : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { files::clearFaults(); }

    void editorSurvivesAndKeepsTheFileWhole_data() {
        QTest::addColumn<int>("editor");
        QTest::addColumn<int>("trouble");
        for (int e = 0; e < editors().size(); ++e)
            for (int t = 0; t < troubles().size(); ++t)
                QTest::addRow("%s, %s", editors()[e].name, troubles()[t].name) << e << t;
    }

    void editorSurvivesAndKeepsTheFileWhole() {
        QFETCH(int, editor);
        QFETCH(int, trouble);
        const EditorCase& c = editors()[editor];
        const TroubleCase& t = troubles()[trouble];
        const QByteArray original = c.sample();
        static QHash<int, QByteArray> clean;
        if (!clean.contains(editor))
            clean.insert(editor, cleanSave(c));
        const QByteArray saved = clean.value(editor);
        QVERIFY(saved != original);
        QCOMPARE(saved.size(), original.size());

        Driver d(c.entry, c.window, c.fileName, original);
        const QString bak = files::backupPath(d.path);
        if (onOpen(t.trouble)) {
            files::injectFault(t.trouble == Trouble::OpenRefusedOnOpen ? files::Fault::OpenRefused
                                                                       : files::Fault::ShortRead);
            d.open(c.open);
            c.show(d);
            QVERIFY(!d.prompts.messages.isEmpty());
            QVERIFY2(names(d.prompts.lastMessage(), t.words), qPrintable(d.prompts.lastMessage()));
            files::clearFaults();
            // Nothing was loaded, so there is nothing to save over the file.
            d.clickIfUsable(c.save);
            QCOMPARE(test::readFile(d.path), original);
        } else {
            d.open(c.open);
            c.show(d);
            c.edit(d);
            QVERIFY2(d.prompts.messages.isEmpty(), qPrintable(d.prompts.lastMessage()));
            QByteArray expectedOnDisk = original;
            switch (t.trouble) {
            case Trouble::OpenRefused:
                files::injectFault(files::Fault::OpenRefused);
                break;
            case Trouble::ShortRead:
                files::injectFault(files::Fault::ShortRead);
                break;
            case Trouble::WriteError:
                files::injectFault(files::Fault::WriteError);
                break;
            case Trouble::CommitFailure:
                files::injectFault(files::Fault::CommitFailure);
                break;
            case Trouble::Vanished:
                QVERIFY(QFile::remove(d.path));
                expectedOnDisk.clear();
                break;
            case Trouble::Shrunk:
                expectedOnDisk = original.left(original.size() / 3);
                d.dir.write(QString::fromLatin1(c.fileName), expectedOnDisk);
                // Another program's change: the user chooses to write over it.
                d.prompts.askAnswers.enqueue(true);
                break;
            case Trouble::ReadOnly:
                QVERIFY(QFile::setPermissions(d.path, QFile::ReadOwner | QFile::ReadUser));
                break;
            default:
                break;
            }
            d.click(c.save);
            QCOMPARE(d.prompts.messages.size(), 1);
            QVERIFY2(names(d.prompts.lastMessage(), t.words), qPrintable(d.prompts.lastMessage()));
            if (t.trouble == Trouble::Vanished) {
                QVERIFY(!QFile::exists(d.path)); // never made up from nothing
            } else {
                QCOMPARE(test::readFile(d.path), expectedOnDisk);
            }
            for (const QString& f : d.files())
                QVERIFY2(f == QString::fromLatin1(c.fileName) || d.dir.path(f) == bak,
                         qPrintable(f));
            // The trouble passes.
            files::clearFaults();
            QFile::setPermissions(d.path, QFile::ReadOwner | QFile::WriteOwner);
            d.dir.write(QString::fromLatin1(c.fileName), original);
        }
        // The program goes on, and the editor with it.
        QVERIFY(d.main->isVisible());
        QCOMPARE(d.main->findChild<QWidget*>(QString::fromLatin1(c.window)), d.editor);
        // What the window holds is what the user saw: saving it now writes
        // exactly what a clean save writes.
        const int before = int(d.prompts.messages.size());
        if (onOpen(t.trouble)) {
            d.open(c.open);
            c.show(d);
            c.edit(d);
        }
        d.click(c.save);
        QVERIFY2(d.prompts.messages.size() == before, qPrintable(d.prompts.lastMessage()));
        QCOMPARE(test::readFile(d.path), saved);
        // The backup holds the file as it was before the first write.
        if (QFile::exists(bak))
            QCOMPARE(test::readFile(bak), original);
    }
};

LCJ_TEST_MAIN(FaultInjectionTest)
#include "faultinjection_test.moc"
