// Every editor's save as it meets the disk for real: a disk that fills up
// during the save, a file that another program saved over while the editor
// had it open, and a save of several regions that must replace the file once.
#include "common/fileaccess.h"
#include "editorcases.h"
#include "support/smalldisk.h"
#include "support/testmain.h"

#include <QLabel>
#include <QtTest>

using namespace lcj;
using test::allEditors;
using test::Driver;
using test::EditorCase;

namespace {

const QByteArray& cleanSaveOf(int editor) {
    static QHash<int, QByteArray> clean;
    if (!clean.contains(editor))
        clean.insert(editor, test::cleanSave(allEditors()[editor]));
    return clean[editor];
}

// Another program's save of the file: the same file with its last byte
// changed, a byte that no editor writes.
QByteArray otherProgramsSave(QByteArray bytes) {
    bytes[bytes.size() - 1] = char(bytes[bytes.size() - 1] ^ 0x5A);
    return bytes;
}

enum class Answer { No, Yes };

} // namespace

class SaveSafetyTest : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { files::clearFaults(); }

    void fullDiskKeepsTheFileAndSays_data() {
        QTest::addColumn<int>("editor");
        QTest::addColumn<bool>("backupBefore");
        for (int e = 0; e < allEditors().size(); ++e) {
            QTest::addRow("%s, backup kept before", allEditors()[e].name) << e << true;
            QTest::addRow("%s, first save", allEditors()[e].name) << e << false;
        }
    }

    // The disk fills up during the save: a message that names the full disk,
    // the file keeps every byte, nothing is left behind; once there is room
    // the same save writes what a clean save writes.
    void fullDiskKeepsTheFileAndSays() {
        QFETCH(int, editor);
        QFETCH(bool, backupBefore);
        const EditorCase& c = allEditors()[editor];
        const QByteArray saved = cleanSaveOf(editor);
        const QByteArray original = c.sample();
        test::SmallDisk disk(1024);
        if (!disk.mounted())
            QSKIP(qPrintable(disk.skipReason()));
        Driver d(c.entry, c.window, c.fileName, original, disk.path(QString()));
        const QString bak = files::backupPath(d.path);
        if (backupBefore)
            d.write(QFileInfo(bak).fileName(), original);
        test::openAndShow(d, c);
        c.edit(d);
        QVERIFY2(d.prompts.messages.isEmpty(), qPrintable(d.prompts.lastMessage()));
        const QStringList before = disk.entries();
        QVERIFY(disk.fill());

        d.save(c.save);
        QCOMPARE(d.prompts.messages.size(), 1);
        QVERIFY2(d.prompts.lastMessage().contains(QStringLiteral("磁盘空间不足")),
                 qPrintable(d.prompts.lastMessage()));
        QCOMPARE(test::readFile(d.path), original);
        QCOMPARE(disk.entries(), before);
        QVERIFY(d.prompts.questions.isEmpty());

        disk.makeRoom();
        d.save(c.save);
        QCOMPARE(d.prompts.messages.size(), 1);
        QCOMPARE(test::readFile(d.path), saved);
        QCOMPARE(test::readFile(bak), original);
        QVERIFY(d.prompts.questions.isEmpty());
    }

    void fileChangedOnDiskIsKeptUnlessTheUserSaysSo_data() {
        QTest::addColumn<int>("editor");
        QTest::addColumn<int>("answer");
        for (int e = 0; e < allEditors().size(); ++e) {
            QTest::addRow("%s, no", allEditors()[e].name) << e << int(Answer::No);
            QTest::addRow("%s, yes", allEditors()[e].name) << e << int(Answer::Yes);
        }
    }

    // The player saves the game into the file the editor has open (a byte no field shows),
    // then presses the editor's save. The question names both sides' changes; Escape keeps
    // the other program's file to the byte; 合并保存 writes the editor's edit onto it,
    // keeping the other program's byte, and the next save asks no more.
    void fileChangedOnDiskIsKeptUnlessTheUserSaysSo() {
        QFETCH(int, editor);
        QFETCH(int, answer);
        const EditorCase& c = allEditors()[editor];
        const QByteArray saved = cleanSaveOf(editor);
        const QByteArray original = c.sample();
        Driver d(c.entry, c.window, c.fileName, original);
        test::openAndShow(d, c);
        c.edit(d);
        const QByteArray other = otherProgramsSave(original);
        d.write(QString::fromLatin1(c.fileName), other);

        if (Answer(answer) == Answer::Yes)
            d.prompts.chooseAnswers.enqueue(0);
        d.save(c.save);
        QCOMPARE(d.prompts.questions.size(), 1);
        const QString kind = d.prompts.questions[0].section(u'“', 0, 0);
        const QString question = d.prompts.questions[0];
        QVERIFY2(question.startsWith(kind + QStringLiteral("“%1”在读入之后已被其他程序改动。\n\n"
                                                           "其他程序的改动：\n"
                                                           "  只在编辑器不显示的字节\n\n"
                                                           "编辑器中的改动：\n  ")
                                                .arg(QDir::toNativeSeparators(d.path))),
                 qPrintable(question));
        QVERIFY2(question.endsWith(QStringLiteral("合并保存会保留两边的全部改动。")),
                 qPrintable(question));
        QVERIFY2(kind.endsWith(QStringLiteral("文件")), qPrintable(kind));
        if (Answer(answer) == Answer::No) {
            // The user is told that nothing was written.
            QCOMPARE(d.prompts.messages.size(), 1);
            QVERIFY2(d.prompts.lastMessage().startsWith(QStringLiteral("没有写入任何内容")),
                     qPrintable(d.prompts.lastMessage()));
            QCOMPARE(test::readFile(d.path), other);
            return;
        }
        QVERIFY2(d.prompts.messages.isEmpty(), qPrintable(d.prompts.lastMessage()));
        const QByteArray expected = otherProgramsSave(saved);
        QCOMPARE(test::readFile(d.path), expected);
        QVERIFY2(d.find<QLabel>("status")->text().startsWith(QStringLiteral("已合并保存")),
                 qPrintable(d.find<QLabel>("status")->text()));
        // The stamp is renewed: the next save is not asked about.
        d.save(c.save);
        QCOMPARE(d.prompts.questions.size(), 1);
        QVERIFY2(d.prompts.messages.isEmpty(), qPrintable(d.prompts.lastMessage()));
        QCOMPARE(test::readFile(d.path), expected);
    }

    void vanishedFileIsNeverMadeAgainUnasked_data() {
        QTest::addColumn<int>("editor");
        for (int e = 0; e < allEditors().size(); ++e)
            QTest::addRow("%s", allEditors()[e].name) << e;
    }

    // The file is deleted while the editor has it open: a region editor says
    // it cannot find it, an editor holding the whole file asks; neither makes
    // the file again unasked.
    void vanishedFileIsNeverMadeAgainUnasked() {
        QFETCH(int, editor);
        const EditorCase& c = allEditors()[editor];
        Driver d(c.entry, c.window, c.fileName, c.sample());
        test::openAndShow(d, c);
        c.edit(d);
        QVERIFY(QFile::remove(d.path));
        d.save(c.save);
        // A region editor only says so; an editor holding the whole file asks,
        // and on "否" says that it wrote nothing.
        QCOMPARE(d.prompts.questions.size(), c.holdsWholeFile ? 1 : 0);
        QCOMPARE(d.prompts.messages.size(), 1);
        QVERIFY2(d.prompts.lastMessage().contains(c.holdsWholeFile
                                                      ? QStringLiteral("没有写入任何内容")
                                                      : QStringLiteral("找不到")),
                 qPrintable(d.prompts.lastMessage()));
        QVERIFY(!QFile::exists(d.path));
    }

    void backupPlaceTakenByAFolderIsReported_data() {
        QTest::addColumn<int>("editor");
        for (int e = 0; e < allEditors().size(); ++e)
            QTest::addRow("%s", allEditors()[e].name) << e;
    }

    // A folder where the backup belongs: no backup can be kept, so nothing
    // is written and the user is told; without the folder the save goes on.
    void backupPlaceTakenByAFolderIsReported() {
        QFETCH(int, editor);
        const EditorCase& c = allEditors()[editor];
        const QByteArray saved = cleanSaveOf(editor);
        const QByteArray original = c.sample();
        Driver d(c.entry, c.window, c.fileName, original);
        test::openAndShow(d, c);
        c.edit(d);
        const QString bak = files::backupPath(d.path);
        QVERIFY(QDir().mkdir(bak));
        d.save(c.save);
        QCOMPARE(d.prompts.messages.size(), 1);
        QVERIFY2(d.prompts.lastMessage().contains(QStringLiteral("文件夹")),
                 qPrintable(d.prompts.lastMessage()));
        QCOMPARE(test::readFile(d.path), original);
        QVERIFY(QDir().rmdir(bak));
        d.save(c.save);
        QCOMPARE(d.prompts.messages.size(), 1);
        QCOMPARE(test::readFile(d.path), saved);
        QCOMPARE(test::readFile(bak), original);
    }

    void everySaveIsOneReplace_data() {
        QTest::addColumn<int>("editor");
        for (int e = 0; e < allEditors().size(); ++e)
            QTest::addRow("%s", allEditors()[e].name) << e;
    }

    // A save that replaced its file once per region could fail half-way,
    // leaving some regions written and others not. With the second replace
    // of a save set to fail, every save still goes through whole.
    void everySaveIsOneReplace() {
        QFETCH(int, editor);
        const EditorCase& c = allEditors()[editor];
        const QByteArray saved = cleanSaveOf(editor);
        Driver d(c.entry, c.window, c.fileName, c.sample());
        test::openAndShow(d, c);
        c.edit(d);
        files::injectFault(files::Fault::CommitFailure, 1, 1);
        d.save(c.save);
        QVERIFY2(d.prompts.messages.isEmpty(), qPrintable(d.prompts.lastMessage()));
        QCOMPARE(test::readFile(d.path), saved);
    }
};

LCJ_TEST_MAIN(SaveSafetyTest)
#include "savesafety_test.moc"
