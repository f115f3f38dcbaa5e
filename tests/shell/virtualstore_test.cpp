// A game installed under Program Files: Windows may keep its own copy of a
// file there under %LOCALAPPDATA%\VirtualStore, and the game reads that copy.
// Every editor that opens such a file says so and lets the user open the copy.
#include "common/virtualstore.h"
#include "editorcases.h"
#include "savefile/ui/record.h"
#include "support/testmain.h"

#include <QApplication>
#include <QMessageBox>
#include <QTimer>

#include <QtTest>

using namespace lcj;
using test::allEditors;
using test::Driver;
using test::EditorCase;

namespace {

enum class Twin { None, OpenIt, KeepTheChosenFile };

const QByteArray& cleanSaveOf(int editor) {
    static QHash<int, QByteArray> clean;
    if (!clean.contains(editor))
        clean.insert(editor, test::cleanSave(allEditors()[editor]));
    return clean[editor];
}

// Scripted file dialogs, real questions: the message box the user sees.
class RealQuestions : public test::ScriptedPrompts {
public:
    DialogPrompts real;
    bool ask(QWidget* parent, const QString& text, const QString& title) override {
        questions.append(text);
        return real.ask(parent, text, title);
    }
};

struct Pressed {
    QString text;       // of the box
    bool onYes = false; // the key pressed the box's 是 button
    bool done = false;
};

// Presses `key` on the next message box, as a user does, once it shows.
void pressOnQuestion(int key, Pressed* pressed, int tries = 200) {
    QTimer::singleShot(10, [=] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) {
            if (tries > 0)
                pressOnQuestion(key, pressed, tries - 1);
            return;
        }
        pressed->text = box->text();
        QObject::connect(box, &QMessageBox::buttonClicked, box, [=](QAbstractButton* b) {
            pressed->onYes = b == box->button(QMessageBox::Yes);
        });
        pressed->done = true;
        QTest::keyClick(box, static_cast<Qt::Key>(key));
    });
}

} // namespace

Q_DECLARE_METATYPE(Twin)

class VirtualStoreTest : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { virtualstore::setSystemFolders(std::nullopt); }

    void anEditorOffersTheCopyWindowsKeeps_data() {
        QTest::addColumn<int>("editor");
        QTest::addColumn<Twin>("twin");
        for (int e = 0; e < allEditors().size(); ++e) {
            // The R file is read beside the scenario, not chosen on its own.
            if (QByteArray(allEditors()[e].name) == "rfile")
                continue;
            const char* name = allEditors()[e].name;
            QTest::addRow("%s, no copy", name) << e << Twin::None;
            QTest::addRow("%s, open the copy", name) << e << Twin::OpenIt;
            QTest::addRow("%s, keep the chosen file", name) << e << Twin::KeepTheChosenFile;
        }
    }

    // The question names both files; the file the user takes is the one the
    // save writes, and the other keeps every byte.
    void anEditorOffersTheCopyWindowsKeeps() {
        QFETCH(int, editor);
        QFETCH(Twin, twin);
        const EditorCase& c = allEditors()[editor];
        const QByteArray saved = cleanSaveOf(editor);
        const QByteArray original = c.sample();
        test::TestFolder root;
        const QString game = root.path(QStringLiteral("Program Files/Game"));
        QVERIFY(QDir().mkpath(game));
        const virtualstore::Folders folders{{root.path(QStringLiteral("Program Files"))},
                                            root.path(QStringLiteral("Local"))};
        virtualstore::setSystemFolders(folders);
        const QString copy =
            virtualstore::twinPath(QDir(game).filePath(QString::fromLatin1(c.fileName)), folders);
        QVERIFY(!copy.isEmpty());
        if (twin != Twin::None) {
            QVERIFY(QDir().mkpath(QFileInfo(copy).absolutePath()));
            QFile f(copy);
            QVERIFY(f.open(QIODevice::WriteOnly) && f.write(original) == original.size());
        }

        Driver d(c.entry, c.window, c.fileName, original, game);
        d.prompts.askAnswers.enqueue(twin == Twin::OpenIt);
        test::openAndShow(d, c);
        c.edit(d);
        d.save(c.save);
        QVERIFY2(d.prompts.messages.isEmpty(), qPrintable(d.prompts.lastMessage()));

        const QString question = QStringLiteral("Windows另存了它的一份副本");
        const auto asked = [&] {
            for (const QString& q : d.prompts.questions)
                if (q.contains(question))
                    return q;
            return QString();
        }();
        if (twin == Twin::None) {
            QVERIFY2(asked.isEmpty(), qPrintable(asked));
            QCOMPARE(test::readFile(d.path), saved);
            QVERIFY(!QFile::exists(copy));
            return;
        }
        QVERIFY2(asked.contains(QDir::toNativeSeparators(d.path)) &&
                     asked.contains(QDir::toNativeSeparators(copy)),
                 qPrintable(d.prompts.questions.join(u'|')));
        const bool tookCopy = twin == Twin::OpenIt;
        QCOMPARE(test::readFile(copy), tookCopy ? saved : original);
        QCOMPARE(test::readFile(d.path), tookCopy ? original : saved);
    }

    void theRealQuestionTakesEnterAndEscape_data() {
        QTest::addColumn<int>("key");
        QTest::addRow("Enter") << int(Qt::Key_Return);
        QTest::addRow("Escape") << int(Qt::Key_Escape);
    }

    // The question as the user sees it: whichever key is pressed, one of the
    // two files is opened and saved and the other keeps every byte; Enter and
    // Escape open the file the user chose.
    void theRealQuestionTakesEnterAndEscape() {
        QFETCH(int, key);
        const QByteArray original = sample::saveGame();
        test::TestFolder root;
        const QString game = root.path(QStringLiteral("Program Files/Game"));
        QVERIFY(QDir().mkpath(game));
        const virtualstore::Folders folders{{root.path(QStringLiteral("Program Files"))},
                                            root.path(QStringLiteral("Local"))};
        virtualstore::setSystemFolders(folders);
        const QString chosen = QDir(game).filePath(QStringLiteral("Sv01d.e5s"));
        const QString copy = virtualstore::twinPath(chosen, folders);
        QVERIFY(QDir().mkpath(QFileInfo(copy).absolutePath()));
        for (const QString& path : {chosen, copy}) {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly) && f.write(original) == original.size());
        }

        RealQuestions prompts;
        save::Record form(prompts);
        form.show();
        prompts.openAnswers.enqueue(chosen);
        Pressed pressed;
        pressOnQuestion(key, &pressed);
        form.findChild<QAction*>(QStringLiteral("fileopen"))->trigger();
        QVERIFY(pressed.done);
        QVERIFY2(pressed.text.contains(QDir::toNativeSeparators(copy)), qPrintable(pressed.text));
        // Enter and Escape both open the file the user chose.
        QVERIFY(!pressed.onYes);
        // Opening changed nothing.
        QCOMPARE(test::readFile(chosen), original);
        QCOMPARE(test::readFile(copy), original);

        form.findChild<QListWidget*>(QStringLiteral("List1"))->setCurrentRow(41);
        auto* box = form.findChild<QLineEdit*>(QStringLiteral("Text8"));
        box->clear();
        QTest::keyClicks(box, QStringLiteral("71"));
        QTest::mouseClick(form.findChild<QPushButton*>(QStringLiteral("Command1")), Qt::LeftButton);
        QTest::mouseClick(form.findChild<QPushButton*>(QStringLiteral("Command2")), Qt::LeftButton);
        QVERIFY2(prompts.messages.isEmpty(), qPrintable(prompts.lastMessage()));
        const QString saved = pressed.onYes ? copy : chosen;
        const QString kept = pressed.onYes ? chosen : copy;
        QVERIFY(test::readFile(saved) != original);
        QCOMPARE(test::readFile(kept), original);
    }
};

LCJ_TEST_MAIN(VirtualStoreTest)
#include "virtualstore_test.moc"
