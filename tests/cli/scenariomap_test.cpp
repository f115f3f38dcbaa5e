// `lcjtool scenario map` against the scenario editor's battle map: the same
// markers on the same cells, and bad input refused with nothing written.
#include "../scenario/junbendriver.h"
#include "cli/cli.h"
#include "cli/scenariomap.h"
#include "scenario/ui/battlemap.h"
#include "support/testmain.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>

using namespace lcj;

class ScenarioMapTest : public QObject, public test::JunbenDriver {
    Q_OBJECT

    QString mapFile(int columns, int rows) {
        return dir->write(QStringLiteral("map05.bmp"), sample::mapPicture(columns, rows, 3));
    }

private slots:
    void init() {
        start();
        readData();
    }
    void cleanup() { stop(); }

    // The picture's map part is pixel for pixel what the window shows at zoom 3.
    void pngShowsTheWindowsMarkers() {
        const QString scenario = loadSample(QStringLiteral("S_02.eex")); // 15 army entries
        const QString map = mapFile(64, 48);
        prompts.openAnswers.enqueue(map);
        trigger("battlemap");
        click("zoom3");
        auto* image = find<scenario::BattleMapImage>(QStringLiteral("mapImage"));
        const QImage shown = image->grab().toImage().convertToFormat(QImage::Format_RGB32);
        QCOMPARE(shown.size(), QSize(64 * 18, 48 * 18));

        const QString png = dir->path(QStringLiteral("battle.png"));
        QCOMPARE(cli::run({QStringLiteral("scenario"), QStringLiteral("map"), scenario,
                           QStringLiteral("--map"), map, QStringLiteral("-o"), png}),
                 int(cli::Ok));
        const QImage drawn(png);
        QVERIFY(!drawn.isNull());
        QVERIFY(drawn.height() > shown.height()); // the legend below
        const QImage part =
            drawn.copy(QRect(QPoint(0, 0), shown.size())).convertToFormat(QImage::Format_RGB32);
        int different = 0;
        for (int y = 0; y < part.height(); ++y)
            for (int x = 0; x < part.width(); ++x)
                different += part.pixel(x, y) != shown.pixel(x, y);
        QCOMPARE(different, 0);
        // 15 army entries, 15 of 20 allies and 60 of 80 enemies hold a character.
        QCOMPARE(image->units().size(), 15 + 15 + 60);
    }

    void unitsOffTheMapAreCounted() {
        const QByteArray bytes = sample::scenarioFile(test::shapeOf(QStringLiteral("S_01.eex")));
        const QString scenario = dir->write(QStringLiteral("S_01.eex"), bytes);
        int off = 0;
        for (const auto& u : scenario::battleUnits(scenario::ScenarioDocument::scan(bytes)))
            off += u.cell.x() >= 10 || u.cell.y() >= 8;
        QVERIFY(off > 0);
        const QString png = dir->path(QStringLiteral("small.png"));
        const auto drawn = cli::drawScenarioMap(scenario, mapFile(10, 8), QString(), png, 1);
        QVERIFY(drawn.ok());
        QCOMPARE(drawn->units, 80);
        QCOMPARE(drawn->offMap, off);
        const QImage picture(png);
        // A narrow map still has room for the legend, which grows by the note.
        QVERIFY(picture.width() >= 420);
        QVERIFY(picture.height() > 8 * 6 + 60);
    }

    void badInputWritesNothing_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("exit");
        QTest::newRow("no map file")
            << QStringList{QStringLiteral("--map"), QStringLiteral("missing.bmp")}
            << int(cli::DataError);
        QTest::newRow("not a picture")
            << QStringList{QStringLiteral("--map"), QStringLiteral("S_01.eex")}
            << int(cli::DataError);
        QTest::newRow("zoom 7") << QStringList{QStringLiteral("--map"), QStringLiteral("map05.bmp"),
                                               QStringLiteral("--zoom"), QStringLiteral("7")}
                                << int(cli::UsageError);
        QTest::newRow("zoom text")
            << QStringList{QStringLiteral("--map"), QStringLiteral("map05.bmp"),
                           QStringLiteral("--zoom"), QStringLiteral("x")}
            << int(cli::UsageError);
        QTest::newRow("no --map") << QStringList{} << int(cli::UsageError);
    }
    void badInputWritesNothing() {
        QFETCH(QStringList, args);
        QFETCH(int, exit);
        const QString scenario =
            dir->write(QStringLiteral("S_01.eex"),
                       sample::scenarioFile(test::shapeOf(QStringLiteral("S_01.eex"))));
        mapFile(64, 48);
        QDir::setCurrent(dir->path(QString()));
        const QString png = dir->path(QStringLiteral("out.png"));
        QCOMPARE(cli::run(QStringList{QStringLiteral("scenario"), QStringLiteral("map"), scenario,
                                      QStringLiteral("-o"), png} +
                          args),
                 exit);
        QVERIFY(!QFileInfo::exists(png));
    }

    void noBattleHeaderOrAFolderWritesNothing() {
        const QString map = mapFile(64, 48);
        const QString empty = dir->write(QStringLiteral("S_09.eex"), QByteArray(200, '\x01'));
        const QString png = dir->path(QStringLiteral("out.png"));
        QCOMPARE(cli::run({QStringLiteral("scenario"), QStringLiteral("map"), empty,
                           QStringLiteral("--map"), map, QStringLiteral("-o"), png}),
                 int(cli::DataError));
        QVERIFY(!QFileInfo::exists(png));
        const QString scenario =
            dir->write(QStringLiteral("S_01.eex"),
                       sample::scenarioFile(test::shapeOf(QStringLiteral("S_01.eex"))));
        QDir().mkpath(dir->path(QStringLiteral("folder")));
        QCOMPARE(cli::run({QStringLiteral("scenario"), QStringLiteral("map"), scenario,
                           QStringLiteral("--map"), map, QStringLiteral("-o"),
                           dir->path(QStringLiteral("folder"))}),
                 int(cli::DataError));
        QVERIFY(QDir(dir->path(QStringLiteral("folder"))).isEmpty());
        // The map's options belong to scenario map only.
        QCOMPARE(cli::run({QStringLiteral("scenario"), QStringLiteral("show"), scenario,
                           QStringLiteral("--map"), map}),
                 int(cli::UsageError));
    }
};

LCJ_TEST_MAIN(ScenarioMapTest)
#include "scenariomap_test.moc"
