// `lcjtool scenario edit` against the scenario editor: the same actions on
// copies of the same file must leave the same bytes.
#include "../scenario/junbendriver.h"
#include "cli/cli.h"
#include "cli/scenariocommands.h"
#include "clirun.h"
#include "support/testmain.h"

#include <functional>

using namespace lcj;

namespace {

using WindowActions = std::function<void(test::JunbenDriver&)>;

} // namespace

Q_DECLARE_METATYPE(WindowActions)

class ScenarioEditTest : public QObject, public test::JunbenDriver {
    Q_OBJECT

private slots:
    void init() { start(); }
    void cleanup() { stop(); }

    void sameBytesAsTheWindow_data() {
        QTest::addColumn<QString>("sample");
        QTest::addColumn<QString>("edits");
        QTest::addColumn<WindowActions>("actions");

        QTest::newRow("every frame") << QStringLiteral("S_01.eex")
                                     << QStringLiteral(
                                            R"({"battle": {"turns": 33, "level_bonus": 4},
            "allies": {"3": {"x": 5, "mode": 1}},
            "enemies": {"2": {"character": 40, "y": 7}, "61": {"run_x": 9, "mode": 0}},
            "append_army": 1,
            "army": {"5": {"x": 9, "facing": 2}, "0": {"mode": 1}},
            "spoils": {"0": [7, null, 104], "1": [null, 12, null]},
            "equipment": {"1": {"weapon": null, "armour": 40}, "3": {"character": 12, "weapon": 3}}})")
                                     << WindowActions([](test::JunbenDriver& d) {
                                            d.type("Text3", QStringLiteral("4"));
                                            d.type("Text4", QStringLiteral("33"));
                                            d.click("Command6");
                                            d.list("List3")->setCurrentRow(3);
                                            d.type("Text1", QStringLiteral("5"));
                                            d.option("Option5")->click();
                                            d.click("Command4");
                                            d.list("List4")->setCurrentRow(2);
                                            d.type("Text14", QStringLiteral("40"));
                                            d.type("Text11", QStringLiteral("7"));
                                            d.click("Command5");
                                            d.list("List4")->setCurrentRow(61);
                                            d.type("Text26", QStringLiteral("9"));
                                            d.option("Option1")->click();
                                            d.click("Command5");
                                            d.click("Command3");
                                            d.list("List8")->setCurrentRow(0);
                                            d.option("Option3")->click();
                                            d.click("Command1");
                                            d.list("List8")->setCurrentRow(5);
                                            d.type("Text28", QStringLiteral("9"));
                                            d.type("Text30", QStringLiteral("2"));
                                            d.click("Command1");
                                            d.list("List6")->setCurrentRow(0);
                                            d.type("Text15", QStringLiteral("7"));
                                            d.type("Text16", QStringLiteral("255"));
                                            d.type("Text17", QStringLiteral("104"));
                                            d.click("Command7");
                                            d.list("List6")->setCurrentRow(1);
                                            d.type("Text15", QStringLiteral("255"));
                                            d.type("Text16", QStringLiteral("12"));
                                            d.type("Text17", QStringLiteral("255"));
                                            d.click("Command7");
                                            d.list("List9")->setCurrentRow(1);
                                            d.combo("Combo1")->setCurrentIndex(104);
                                            d.combo("Combo2")->setCurrentIndex(40);
                                            d.click("Command9");
                                            d.list("List9")->setCurrentRow(3);
                                            d.type("Text21", QStringLiteral("12"));
                                            d.combo("Combo1")->setCurrentIndex(3);
                                            d.click("Command9");
                                        });
        QTest::newRow("a new equipment group")
            << QStringLiteral("S_03.eex")
            << QStringLiteral(R"({"equipment": {"0": {"character": 7, "weapon": 5, "armour": 50}},
                                  "append_army": 2})")
            << WindowActions([](test::JunbenDriver& d) {
                   d.click("Command3");
                   d.click("Command3");
                   d.list("List9")->setCurrentRow(0);
                   d.type("Text21", QStringLiteral("7"));
                   d.combo("Combo1")->setCurrentIndex(5);
                   d.combo("Combo2")->setCurrentIndex(50);
                   d.click("Command9");
               });
        // The first of three entries emptied: the other two are kept and move up.
        QTest::newRow("an emptied equipment entry")
            << QStringLiteral("S_01.eex")
            << QStringLiteral(R"({"equipment": {"0": {"character": 65535}}})")
            << WindowActions([](test::JunbenDriver& d) {
                   d.list("List9")->setCurrentRow(0);
                   d.type("Text21", QStringLiteral("65535"));
                   d.click("Command9");
               });
        QTest::newRow("nothing") << QStringLiteral("S_02.eex") << QStringLiteral("{}")
                                 << WindowActions([](test::JunbenDriver&) {});
    }

    void sameBytesAsTheWindow() {
        QFETCH(QString, sample);
        QFETCH(QString, edits);
        QFETCH(WindowActions, actions);
        readData();
        const QString windowPath = loadSample(sample);
        const QByteArray original = test::readFile(windowPath);
        actions(*this);
        action("ssave")->trigger();
        QVERIFY2(prompts.messages.isEmpty(), qPrintable(prompts.lastMessage()));
        const QByteArray byWindow = test::readFile(windowPath);

        const QString copy = dir->write(QStringLiteral("copy.eex"), original);
        const QString out = dir->path(QStringLiteral("out.eex"));
        const QString editsPath = dir->write(QStringLiteral("edits.json"), edits.toUtf8());
        QCOMPARE(cli::run({QStringLiteral("scenario"), QStringLiteral("edit"), copy, editsPath,
                           QStringLiteral("--data"), dir->path(QStringLiteral("data.e5")),
                           QStringLiteral("-o"), out}),
                 0);
        QCOMPARE(test::readFile(copy), original); // -o leaves the scenario as it was
        const QByteArray byCommand = test::readFile(out);
        if (byCommand != byWindow)
            qWarning("%s", qPrintable(cli::diffScenario(windowPath, out)->join(u'\n')));
        QCOMPARE(byCommand.size(), byWindow.size());
        QVERIFY(byCommand == byWindow);
        if (edits != QStringLiteral("{}"))
            QVERIFY(byCommand != original);
    }

    // lcjtool diff names each field as the change list does, slots numbered as
    // the lists number them; only the colon is lcjtool's own.
    void diffSaysWhatTheChangeListSays_data() {
        QTest::addColumn<WindowActions>("actions");
        QTest::newRow("a moved enemy") << WindowActions([](test::JunbenDriver& d) {
            d.list("List4")->setCurrentRow(3);
            d.type("Text10", QStringLiteral("10"));
            d.type("Text11", QStringLiteral("12"));
            d.click("Command5");
        });
        QTest::newRow("battle, ally, army and spoils") << WindowActions([](test::JunbenDriver& d) {
            d.type("Text4", QStringLiteral("33"));
            d.click("Command6");
            d.list("List3")->setCurrentRow(3);
            d.option("Option5")->click();
            d.click("Command4");
            d.list("List8")->setCurrentRow(1);
            d.type("Text30", QStringLiteral("2"));
            d.click("Command1");
            d.list("List6")->setCurrentRow(0);
            d.type("Text15", QStringLiteral("7"));
            d.type("Text17", QStringLiteral("104"));
            d.click("Command7");
        });
    }

    void diffSaysWhatTheChangeListSays() {
        QFETCH(WindowActions, actions);
        readData();
        const QString path = loadSample(QStringLiteral("S_01.eex"));
        const QString before = dir->write(QStringLiteral("before.eex"), test::readFile(path));
        actions(*this);
        trigger("changelist");
        const QStringList listed = texts("changeList");
        QVERIFY(!listed.isEmpty());
        trigger("ssave");
        QVERIFY2(prompts.messages.isEmpty(), qPrintable(prompts.lastMessage()));

        QStringList expected;
        for (QString line : listed)
            expected << line.replace(QStringLiteral("："), QStringLiteral(": "));
        const auto run =
            test::runCli({QStringLiteral("diff"), QStringLiteral("scenario"), before, path});
        QCOMPARE(run.code, int(cli::DataError));
        QCOMPARE(run.out.split(u'\n', Qt::SkipEmptyParts), expected);
    }

    void aRefusedEditWritesNothing_data() {
        QTest::addColumn<QString>("edits");
        QTest::addColumn<QString>("message");
        QTest::newRow("bad box") << QStringLiteral(
                                        R"({"allies": {"0": {"x": 5}, "1": {"x": "abc"}}})")
                                 << QStringLiteral("allies 1：");
        QTest::newRow("slot past the list")
            << QStringLiteral(R"({"enemies": {"80": {"x": 1}}})") << QStringLiteral("enemies 80：");
        QTest::newRow("unknown key")
            << QStringLiteral(R"({"allies": {"0": {"z": 1}}})") << QStringLiteral("未知的字段");
        QTest::newRow("item past the list")
            << QStringLiteral(R"({"equipment": {"0": {"weapon": 104}}})")
            << QStringLiteral("equipment 0 weapon");
        QTest::newRow("too many army entries")
            << QStringLiteral(R"({"append_army": 11})") << QStringLiteral("append_army");
        QTest::newRow("not JSON") << QStringLiteral("{") << QStringLiteral("JSON");
        QTest::newRow("number past every integer")
            << QStringLiteral(R"({"battle": {"turns": 1e300}})")
            << QStringLiteral("应是一个整数或一段文字");
    }

    void aRefusedEditWritesNothing() {
        QFETCH(QString, edits);
        QFETCH(QString, message);
        const QByteArray original = sample::scenarioFile(test::shapeOf(QStringLiteral("S_01.eex")));
        const QString path = dir->write(QStringLiteral("S_01.eex"), original);
        const auto outcome = cli::editScenario(path, edits.toUtf8(), QString());
        QVERIFY(!outcome.ok());
        QVERIFY2(outcome.error().contains(message), qPrintable(outcome.error()));
        QCOMPARE(test::readFile(path), original);
    }

    void showAndDiff() {
        const QByteArray original = sample::scenarioFile(test::shapeOf(QStringLiteral("S_01.eex")));
        const QString a = dir->write(QStringLiteral("a.eex"), original);
        const QString b = dir->write(QStringLiteral("b.eex"), original);
        const auto shown = cli::showScenario(a, QString());
        QVERIFY(shown.ok());
        const QJsonObject view = QJsonDocument::fromJson(shown->toUtf8()).object();
        QCOMPARE(view.value(QStringLiteral("allies")).toArray().size(), 20);
        QCOMPARE(view.value(QStringLiteral("enemies")).toArray().size(), 80);
        QCOMPARE(view.value(QStringLiteral("equipment")).toArray().size(), 100);
        QCOMPARE(view.value(QStringLiteral("army")).toArray().size(), 5);
        QCOMPARE(
            view.value(QStringLiteral("battle")).toObject().value(QStringLiteral("level_bonus")),
            QJsonValue(-3));
        QVERIFY(view.value(QStringLiteral("allies"))
                    .toArray()[0]
                    .toObject()
                    .value(QStringLiteral("name"))
                    .isNull());
        QVERIFY(cli::diffScenario(a, b)->isEmpty());
        QVERIFY(
            cli::editScenario(
                b,
                R"({"enemies": {"4": {"facing": 3}}, "spoils": {"1": [1, 2, 3]}, "battle": {"defeat": 9}})",
                QString())
                .ok());
        const QJsonArray enemies = view.value(QStringLiteral("enemies")).toArray();
        const QJsonArray spoils = view.value(QStringLiteral("spoils")).toArray();
        QStringList items;
        const QString itemNames[3] = {QStringLiteral("第一战利品"), QStringLiteral("第二战利品"),
                                      QStringLiteral("第三战利品")};
        for (int i = 0; i < 3; ++i)
            if (spoils[1][i] != QJsonValue(i + 1))
                items << QStringLiteral("%1: %2 → %3")
                             .arg(itemNames[i], spoils[1][i].isNull()
                                                    ? QStringLiteral("无")
                                                    : QString::number(spoils[1][i].toInt()))
                             .arg(i + 1);
        const auto lines = cli::diffScenario(a, b);
        QVERIFY(lines.ok());
        QCOMPARE(
            *lines,
            (QStringList{QStringLiteral("战役 失败条件武将编号: %1 → 9")
                             .arg(view[QStringLiteral("battle")][QStringLiteral("defeat")].toInt()),
                         QStringLiteral("敌军 5 朝向: %1 → 3")
                             .arg(enemies[4][QStringLiteral("facing")].toInt()),
                         QStringLiteral("战利品 2 ") + items.join(u'，')}));
        QCOMPARE(cli::run({QStringLiteral("diff"), QStringLiteral("scenario"), a, b}), 1);
        QCOMPARE(cli::run({QStringLiteral("diff"), QStringLiteral("scenario"), a, a}), 0);
    }
};

LCJ_TEST_MAIN(ScenarioEditTest)
#include "scenarioedit_test.moc"
