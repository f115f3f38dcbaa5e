// The check window: the list filled from a game folder, a double click or
// Enter on a problem naming its file, part and row; each editor's showPlace
// selecting the record the field model names.
#include "check/ui/jiancha.h"
#include "datafile/ui/dform.h"
#include "fields/fieldtable.h"
#include "messages/imsglayout.h"
#include "messages/ui/imsg.h"
#include "programfile/ui/mainfile.h"
#include "samplegen/samplegame.h"
#include "savefile/ui/record.h"
#include "scenario/scenariodocument.h"
#include "scenario/ui/junben.h"
#include "support/scriptedprompts.h"
#include "support/testfiles.h"
#include "support/testmain.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <QtTest>
#include <functional>
#include <memory>

using namespace lcj;

namespace {

void setWord(QByteArray& bytes, qint64 pos, int value) {
    bytes[pos] = char(value & 0xFF);
    bytes[pos + 1] = char((value >> 8) & 0xFF);
}

void change(const QString& path, const std::function<void(QByteArray&)>& edit) {
    QByteArray bytes = test::readFile(path);
    edit(bytes);
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(f.write(bytes), bytes.size());
}

// What a named control shows: a box's text, or a list's selected row.
QString shownText(QWidget* window, const QString& name) {
    QWidget* w = window->findChild<QWidget*>(name);
    if (auto* box = qobject_cast<QLineEdit*>(w))
        return box->text();
    if (auto* text = qobject_cast<QPlainTextEdit*>(w))
        return text->toPlainText();
    return QStringLiteral("(no box %1)").arg(name);
}

} // namespace

class JianchaTest : public QObject {
    Q_OBJECT

    test::ScriptedPrompts prompts;
    std::unique_ptr<QTemporaryDir> game;
    std::unique_ptr<check::Jiancha> window;

    QString path(const QString& name) const { return game->filePath(name); }
    QTreeWidget* problems() const {
        return window->findChild<QTreeWidget*>(QStringLiteral("problems"));
    }
    QString status() const { return window->findChild<QLabel*>(QStringLiteral("status"))->text(); }
    QStringList rowTexts(int row) const {
        const QTreeWidgetItem* item = problems()->topLevelItem(row);
        return {item->text(0), item->text(1), item->text(2)};
    }

    // Two faults: an enemy's character in S_01.eex, a troop type's movement in data.e5.
    void plantTwoFaults() {
        change(path(QStringLiteral("S_01.eex")), [](QByteArray& b) {
            const auto scan = scenario::ScenarioDocument::scan(b).scan();
            setWord(b, scan.enemyBase + 2 * 56 + 2, 600);
        });
        change(path(QStringLiteral("data.e5")),
               [](QByteArray& b) { b[data::troopTypes.recordOffset(6)] = char(40); });
    }

private slots:
    void init() {
        prompts = {};
        game = std::make_unique<QTemporaryDir>();
        QVERIFY(sample::writeSampleGame(game->path()).ok());
        window = std::make_unique<check::Jiancha>(prompts);
        window->show();
    }
    void cleanup() {
        window.reset();
        game.reset();
    }

    void listsEveryProblemWithItsCount() {
        plantTwoFaults();
        window->checkFolder(game->path());
        QCOMPARE(window->windowTitle(), QStringLiteral("检查游戏目录"));
        QCOMPARE(problems()->topLevelItemCount(), 2);
        QCOMPARE(rowTexts(0),
                 (QStringList{QStringLiteral("data.e5"), QStringLiteral("兵种 6"),
                              QStringLiteral("编辑器保存时会拒绝：移动力介于0到20之间")}));
        QCOMPARE(rowTexts(1).mid(0, 2),
                 (QStringList{QStringLiteral("S_01.eex"), QStringLiteral("敌军 3 人物编号")}));
        QVERIFY(rowTexts(1).at(2).startsWith(QStringLiteral("人物编号600超出了")));
        QVERIFY2(status().contains(QStringLiteral("共发现2处问题")), qPrintable(status()));
        QVERIFY(prompts.messages.isEmpty());
    }

    void cleanFolderSaysSoAndAFolderThatCannotBeReadToo() {
        window->checkFolder(game->path());
        QCOMPARE(problems()->topLevelItemCount(), 0);
        QVERIFY2(status().contains(QStringLiteral("没有发现问题")), qPrintable(status()));
        window->checkFolder(path(QStringLiteral("无此目录")));
        QCOMPARE(problems()->topLevelItemCount(), 0);
        QVERIFY2(status().contains(QStringLiteral("不存在")), qPrintable(status()));
    }

    void recheckReadsTheFolderAgain() {
        auto* recheck = window->findChild<QPushButton*>(QStringLiteral("recheck"));
        QVERIFY(!recheck->isEnabled());
        window->checkFolder(game->path());
        QCOMPARE(problems()->topLevelItemCount(), 0);
        plantTwoFaults();
        QTest::mouseClick(recheck, Qt::LeftButton);
        QCOMPARE(problems()->topLevelItemCount(), 2);
        QVERIFY2(status().contains(QStringLiteral("共发现2处问题")), qPrintable(status()));
    }

    void doubleClickAndEnterNameTheFilePartAndRow() {
        plantTwoFaults();
        window->checkFolder(game->path());
        QSignalSpy chosen(window.get(), &check::Jiancha::placeChosen);
        QTreeWidget* tree = problems();
        const QRect second = tree->visualItemRect(tree->topLevelItem(1));
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, second.center());
        QTest::mouseDClick(tree->viewport(), Qt::LeftButton, {}, second.center());
        QTRY_COMPARE(chosen.size(), 1);
        QCOMPARE(QDir::cleanPath(chosen.at(0).at(0).toString()),
                 QDir::cleanPath(path(QStringLiteral("S_01.eex"))));
        QCOMPARE(chosen.at(0).at(1).toInt(), 2); // enemies
        QCOMPARE(chosen.at(0).at(2).toInt(), 2); // the third slot

        tree->setCurrentItem(tree->topLevelItem(0));
        tree->setFocus();
        QTest::keyClick(tree, Qt::Key_Return);
        QTRY_COMPARE(chosen.size(), 2);
        QCOMPARE(QDir::cleanPath(chosen.at(1).at(0).toString()),
                 QDir::cleanPath(path(QStringLiteral("data.e5"))));
        QCOMPARE(chosen.at(1).at(1).toInt(), 3); // troop types
        QCOMPARE(chosen.at(1).at(2).toInt(), 6);
    }

    // Every editor opened on its sample file and asked for a place shows that
    // record: its list on the row, its box with the field model's cell.
    void showPlaceSelectsTheRecord_data() {
        QTest::addColumn<QString>("editor");
        QTest::addColumn<int>("part");
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("list");
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("column"); // the field model's column the box shows
        const auto imsgList = QString::fromUtf16(imsg::categories[2].list);
        QTest::newRow("data character") << "data" << 0 << 5 << "List1"
                                        << "Text1"
                                        << "姓名";
        QTest::newRow("data troop type") << "data" << 3 << 7 << "List8"
                                         << "Text20"
                                         << "移动力";
        QTest::newRow("data strategy") << "data" << 5 << 9 << "List9"
                                       << "Text28"
                                       << "策略名称";
        QTest::newRow("save character") << "save" << 0 << 12 << "List1"
                                        << "Text1"
                                        << "形象";
        QTest::newRow("save stock") << "save" << 1 << 4 << "List3"
                                    << "Text23"
                                    << "数量";
        QTest::newRow("imsg entry") << "imsg" << 2 << 3 << imsgList << "Text1"
                                    << "兵种简介";
        QTest::newRow("exe figure") << "exe" << 0 << 20 << "List1"
                                    << ""
                                    << "";
        QTest::newRow("scenario enemy") << "scenario" << 2 << 3 << "List4"
                                        << "Text14"
                                        << "character";
        QTest::newRow("scenario army") << "scenario" << 3 << 2 << "List8"
                                       << "Text28"
                                       << "x";
        QTest::newRow("scenario equipment") << "scenario" << 4 << 1 << "List9"
                                            << "Text21"
                                            << "character";
        QTest::newRow("scenario spoils") << "scenario" << 5 << 1 << "List6"
                                         << ""
                                         << "";
    }

    void showPlaceSelectsTheRecord() {
        QFETCH(QString, editor);
        QFETCH(int, part);
        QFETCH(int, row);
        QFETCH(QString, list);
        QFETCH(QString, box);
        QFETCH(QString, column);
        std::unique_ptr<EditorWindow> w;
        QString file;
        if (editor == QStringLiteral("data")) {
            w = std::make_unique<data::DForm>(prompts);
            file = QStringLiteral("data.e5");
            prompts.openAnswers.enqueue(path(file));
            w->findChild<QAction*>(QStringLiteral("fileop"))->trigger();
        } else if (editor == QStringLiteral("save")) {
            w = std::make_unique<save::Record>(prompts);
            file = QStringLiteral("Sv01d.e5s");
            prompts.openAnswers.enqueue(path(file));
            w->findChild<QAction*>(QStringLiteral("fileopen"))->trigger();
        } else if (editor == QStringLiteral("imsg")) {
            w = std::make_unique<imsg::Imsg>(prompts);
            file = QStringLiteral("Imsg.e5");
            prompts.openAnswers.enqueue(path(file));
            w->findChild<QAction*>(QStringLiteral("fileopen"))->trigger();
        } else if (editor == QStringLiteral("exe")) {
            w = std::make_unique<exe::MainFile>(prompts);
            file = QStringLiteral("Lcj5.exe");
            prompts.openAnswers.enqueue(path(file));
            w->findChild<QAction*>(QStringLiteral("mainopen"))->trigger();
        } else {
            w = std::make_unique<scenario::Junben>(prompts);
            file = QStringLiteral("S_01.eex");
            prompts.openAnswers.enqueue(path(QStringLiteral("data.e5")));
            w->findChild<QAction*>(QStringLiteral("dataopen"))->trigger();
            prompts.openAnswers.enqueue(path(file));
            w->findChild<QAction*>(QStringLiteral("sopen"))->trigger();
        }
        w->show();
        QVERIFY2(prompts.messages.isEmpty(), qPrintable(prompts.messages.join(u'\n')));

        QVERIFY(w->showPlace(part, row));

        auto* shownList = w->findChild<QListWidget*>(list);
        QVERIFY(shownList);
        QCOMPARE(shownList->currentRow(), row);
        if (!box.isEmpty()) {
            const auto kind = fields::kindOfName(file);
            auto opened = fields::openFile(*kind, file, test::readFile(path(file)));
            QVERIFY(opened.ok());
            const fields::FieldTable& table = *(*opened)->tables().at(std::size_t(part));
            QCOMPARE(shownText(w.get(), box), table.read(row, table.columnOf(column)));
        }
        // A place past the part is refused and leaves the record shown.
        QVERIFY(!w->showPlace(part, shownList->count() + 5));
        QCOMPARE(shownList->currentRow(), row);
        QVERIFY(prompts.messages.isEmpty());
    }

    // Before a file is open an editor has no place to show.
    void showPlaceWithoutAFileSaysNo() {
        test::ScriptedPrompts none;
        QVERIFY(!data::DForm(none).showPlace(0, 1));
        QVERIFY(!save::Record(none).showPlace(0, 1));
        QVERIFY(!imsg::Imsg(none).showPlace(0, 1));
        QVERIFY(!exe::MainFile(none).showPlace(0, 1));
        QVERIFY(!scenario::Junben(none).showPlace(1, 1));
    }
};

LCJ_TEST_MAIN(JianchaTest)
#include "jiancha_test.moc"
