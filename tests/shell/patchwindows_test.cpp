#include "changes/patch.h"
#include "samplegen/samplegame.h"
#include "shell/mainwindow.h"
#include "support/scriptedprompts.h"
#include "support/testfiles.h"
#include "support/testmain.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

using namespace lcj;
namespace patch = changes::patch;

// The 补丁 menu driven as a user: a patch made from two folders and saved,
// then opened against a third folder, its conflict listed, applied and
// reverted.
class PatchWindowsTest : public QObject {
    Q_OBJECT

    test::ScriptedPrompts prompts;
    std::unique_ptr<MainWindow> main;
    std::unique_ptr<test::TestFolder> dir;
    QString orig, mod, game;

    QString in(const QString& folder, const char* name) const {
        return QDir(folder).filePath(QString::fromLatin1(name));
    }
    void trigger(const char* name) {
        auto* action = main->findChild<QAction*>(QString::fromLatin1(name));
        QVERIFY2(action, name);
        action->trigger();
    }
    template <class W> W* control(const char* window, const char* name) {
        auto* w = main->findChild<QWidget*>(QString::fromLatin1(window));
        return w ? w->findChild<W*>(QString::fromLatin1(name)) : nullptr;
    }
    QStringList items(const char* window, const char* list) {
        QStringList out;
        auto* l = control<QListWidget>(window, list);
        for (int i = 0; l && i < l->count(); ++i)
            out << l->item(i)->text();
        return out;
    }
    // 人物 5 武力 typed in and saved, as the data file window does.
    void setStrength(const QString& folder, int value) {
        const QString path = in(folder, "data.e5");
        const auto written = patch::writeCells(
            patch::FileKind::Data, QStringLiteral("data.e5"), test::readFile(path),
            {{QStringLiteral("characters"), 5, QStringLiteral("武力"), {}, value}});
        QVERIFY2(written.ok(), qPrintable(written.ok() ? QString() : written.error()));
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        QCOMPARE(f.write(*written), written->size());
    }
    void copyOrig(const QString& to) {
        QDir().mkpath(to);
        for (const QString& name : QDir(orig).entryList(QDir::Files))
            QVERIFY(QFile::copy(QDir(orig).filePath(name), QDir(to).filePath(name)));
    }

private slots:
    void init() {
        prompts = {};
        dir = std::make_unique<test::TestFolder>();
        orig = dir->path(QStringLiteral("orig"));
        mod = dir->path(QStringLiteral("mod"));
        game = dir->path(QStringLiteral("game"));
        QVERIFY(sample::writeSampleGame(orig).ok());
        copyOrig(mod);
        copyOrig(game);
        setStrength(mod, 76);
        QFile::remove(in(mod, "data.e5.bak"));
        main = std::make_unique<MainWindow>(prompts);
        main->show();
        QVERIFY(QTest::qWaitForWindowExposed(main.get()));
    }
    void cleanup() {
        main.reset();
        dir.reset();
    }

    void makeSavesThePatchOfTheTwoFolders() {
        trigger("budingmake");
        QVERIFY(!control<QPushButton>("Zhizuo", "savePatch")->isEnabled());
        prompts.openAnswers << in(orig, "Imsg.e5") << in(mod, "data.e5");
        control<QPushButton>("Zhizuo", "chooseOriginal")->click();
        control<QPushButton>("Zhizuo", "chooseModded")->click();
        QCOMPARE(items("Zhizuo", "changeList"),
                 (QStringList{QStringLiteral("data.e5（1处修改）"),
                              QStringLiteral("  人物 5 武力：74 → 76")}));
        control<QLineEdit>("Zhizuo", "budingName")->insert(QStringLiteral("强兵"));
        control<QLineEdit>("Zhizuo", "budingAuthor")->insert(QStringLiteral("阿岚"));
        const QString saved = dir->path(QStringLiteral("强兵.lcjpatch"));
        prompts.saveAnswers << saved;
        control<QPushButton>("Zhizuo", "savePatch")->click();
        QCOMPARE(prompts.lastMessage(), QStringLiteral("补丁已保存。"));

        QStringList warnings;
        auto expected = patch::makePatch(orig, mod, warnings);
        QVERIFY(expected.ok());
        expected->name = QStringLiteral("强兵");
        expected->author = QStringLiteral("阿岚");
        QCOMPARE(test::readFile(saved), patch::toJson(*expected));
    }

    void openListsConflictsAppliesAndReverts() {
        QStringList warnings;
        auto made = patch::makePatch(orig, mod, warnings);
        QVERIFY(made.ok());
        const QString saved = dir->write(QStringLiteral("m.lcjpatch"), patch::toJson(*made));
        setStrength(game, 80);
        const QByteArray conflicted = test::readFile(in(game, "data.e5"));

        prompts.openAnswers << saved;
        trigger("budingopen");
        QCOMPARE(control<QLineEdit>("Buding", "budingPath")->text(), saved);
        QCOMPARE(items("Buding", "changeList"),
                 (QStringList{QStringLiteral("data.e5（1处修改）"),
                              QStringLiteral("  人物 5 武力：74 → 76")}));
        QVERIFY(!control<QPushButton>("Buding", "applyPatch")->isEnabled());

        prompts.openAnswers << in(game, "Lcj5.exe");
        control<QPushButton>("Buding", "chooseGame")->click();
        QCOMPARE(items("Buding", "conflictList"),
                 QStringList{QStringLiteral("data.e5 人物 5 武力：补丁要求 74 → 76，现在是 80")});

        // With the conflict unsettled nothing is written.
        control<QPushButton>("Buding", "applyPatch")->click();
        QVERIFY(prompts.lastMessage().startsWith(QStringLiteral("有1处冲突，没有写入任何文件。")));
        QCOMPARE(test::readFile(in(game, "data.e5")), conflicted);

        control<QRadioButton>("Buding", "takeTheirs")->click();
        control<QPushButton>("Buding", "applyPatch")->click();
        QCOMPARE(prompts.lastMessage(), QStringLiteral("补丁已用上。"));
        QCOMPARE(test::readFile(in(game, "data.e5")), test::readFile(in(mod, "data.e5")));
        QCOMPARE(items("Buding", "conflictList"), QStringList{QStringLiteral("没有冲突")});

        control<QRadioButton>("Buding", "refuse")->click();
        control<QPushButton>("Buding", "revertPatch")->click();
        QCOMPARE(prompts.lastMessage(), QStringLiteral("补丁已撤销。"));
        QCOMPARE(test::readFile(in(game, "data.e5")), test::readFile(in(orig, "data.e5")));
    }

    void aBadPatchIsRefusedWithItsReason() {
        const QString bad = dir->write(QStringLiteral("bad.lcjpatch"), "{\"format\":\"x\"}");
        prompts.openAnswers << bad;
        trigger("budingopen");
        QVERIFY(prompts.lastMessage().startsWith(QStringLiteral("补丁文件有误：")));
        QVERIFY(control<QLineEdit>("Buding", "budingPath")->text().isEmpty());
        QCOMPARE(control<QListWidget>("Buding", "changeList")->count(), 0);
    }
};

LCJ_TEST_MAIN(PatchWindowsTest)
#include "patchwindows_test.moc"
