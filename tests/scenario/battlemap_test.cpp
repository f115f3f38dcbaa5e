#include "changes/scenariochanges.h"
#include "junbendriver.h"
#include "scenario/gui/battlepainter.h"
#include "scenario/ui/battlemap.h"
#include "scenario/ui/changespanel.h"
#include "support/testmain.h"

#include <QDir>
#include <QPainter>

using namespace lcj;
using scenario::BattleUnit;
using scenario::UnitKind;

namespace {

const QString S01 = QStringLiteral("S_01.eex");

} // namespace

// The battle map and the list of changes, driven as a user drives them.
class BattleMapTest : public QObject, public test::JunbenDriver {
    Q_OBJECT

    QByteArray file() { return sample::scenarioFile(test::shapeOf(S01)); }
    qint64 enemyAt(int k) { return headerPos(S01) + 1090 + 56 * k; }
    qint64 armyAt(int k) { return armyStart(S01) + 2 + 28 * k; }

    // Whether unit i's number shows over `marker` in its kind's colours: a halo of the kind's
    // dark shade, or for a hollow one, digits of it.
    bool labelShown(const QImage& shown, int i, const QRectF& marker, bool fromStart) {
        const BattleUnit& unit = image()->units()[i];
        const QColor colour = scenario::unitColour(unit.kind).darker(fromStart ? 170 : 130);
        const QRect label =
            scenario::labelRect(unit, marker, image()->font()).toAlignedRect() & shown.rect();
        for (int y = label.top(); y <= label.bottom(); ++y)
            for (int x = label.left(); x <= label.right(); ++x) {
                const QColor c = shown.pixelColor(x, y);
                if (qAbs(c.red() - colour.red()) + qAbs(c.green() - colour.green()) +
                        qAbs(c.blue() - colour.blue()) <=
                    12)
                    return true;
            }
        return false;
    }
    scenario::BattleMapImage* image() {
        return find<scenario::BattleMapImage>(QStringLiteral("mapImage"));
    }
    // Opens the battle map, answering its dialog with an invented map.
    void openMap(int columns = 64, int rows = 48) {
        prompts.openAnswers.enqueue(
            dir->write(QStringLiteral("map01.bmp"), sample::mapPicture(columns, rows, 3)));
        trigger("battlemap");
        QVERIFY(prompts.openAnswers.isEmpty());
        QVERIFY(form->battleMap()->isVisible());
    }
    int unitIndex(UnitKind kind, int index) {
        const auto& units = image()->units();
        for (qsizetype i = 0; i < units.size(); ++i)
            if (units[i].kind == kind && units[i].index == index)
                return int(i);
        return -1;
    }
    bool aloneOnCell(int i) {
        const auto& units = image()->units();
        return std::count_if(units.begin(), units.end(),
                             [&](const BattleUnit& u) { return u.cell == units[i].cell; }) == 1;
    }
    // Drags unit i to the middle of `cell`, at the zoom shown.
    void drag(int i, QPoint cell) {
        const int k = form->battleMap()->zoom().cellSize();
        QTest::mousePress(image(), Qt::LeftButton, {}, image()->markerCentre(i));
        QTest::mouseMove(image(), cell * k + QPoint(k / 2, k / 2));
        QTest::mouseRelease(image(), Qt::LeftButton, {}, cell * k + QPoint(k / 2, k / 2));
    }
    QStringList changeLines() {
        if (!form->changesPanel() || !form->changesPanel()->isVisible())
            trigger("changelist");
        return texts("changeList");
    }

private slots:
    void init() {
        start();
        readData();
    }
    void cleanup() { stop(); }

    // A marker's number reads at every zoom: as large as the window's text, every digit in
    // its box, in a dark halo that shows on a green map and stays in that box.
    void markerNumbersReadAtEveryZoom_data() {
        QTest::addColumn<int>("factor");
        QTest::addColumn<int>("number");
        for (int factor = 1; factor <= 4; ++factor)
            for (int number : {7, 41, 120})
                QTest::addRow("%dx, %d", factor, number) << factor << number;
    }
    void markerNumbersReadAtEveryZoom() {
        QFETCH(int, factor);
        QFETCH(int, number);
        BattleUnit unit;
        unit.kind = UnitKind::Enemy;
        unit.index = number - 1;
        unit.cell = QPoint(6, 6);
        const int k = mapview::MapZoom::naturalCellSize * factor;
        const QList<QRectF> places = scenario::markerPlaces({unit});
        const QRectF marker = scenario::markerRect(unit, places[0], k);
        const QFont font = QApplication::font();
        const QFontMetricsF metrics(scenario::labelFont(font, marker));
        const QRectF box = scenario::labelRect(unit, marker, font);
        const qreal digits = metrics.horizontalAdvance(QString::number(number));
        QVERIFY(metrics.height() >= QFontMetricsF(font).height());
        QVERIFY(box.width() >= digits && box.height() >= metrics.height());
        QImage map(k * 13, k * 13, QImage::Format_RGB32);
        map.fill(QColor(70, 160, 70));
        QPainter p(&map);
        p.setFont(font);
        scenario::paintUnits(p, {unit}, places, k, map.rect(), -1);
        p.end();
        const QColor halo = scenario::unitColour(UnitKind::Enemy).darker(170);
        int left = map.width(), right = -1;
        for (int y = 0; y < map.height(); ++y)
            for (int x = 0; x < map.width(); ++x) {
                const QColor c = map.pixelColor(x, y);
                if (qAbs(c.red() - halo.red()) + qAbs(c.green() - halo.green()) +
                        qAbs(c.blue() - halo.blue()) <=
                    24) {
                    QVERIFY(box.adjusted(-1, -1, 1, 1).contains(QPointF(x, y)));
                    left = qMin(left, x);
                    right = qMax(right, x);
                }
            }
        QVERIFY(right - left + 1 >= digits * 0.8);
    }

    // The same number on markers of every kind, drawn twice into one picture: each label in
    // its own kind's colours, however often the number was drawn before.
    void oneNumberReadsInEachKindsColours() {
        QList<BattleUnit> units;
        for (const UnitKind kind : {UnitKind::Army, UnitKind::Ally, UnitKind::Enemy})
            for (const bool fromStart : {true, false}) {
                BattleUnit unit;
                unit.kind = kind;
                unit.index = 6;
                unit.fromStart = fromStart;
                unit.cell = QPoint(2 + 4 * int(units.size()), 3);
                units.append(unit);
            }
        const int k = mapview::MapZoom::naturalCellSize * 3;
        const QList<QRectF> places = scenario::markerPlaces(units);
        QImage map(k * 26, k * 7, QImage::Format_RGB32);
        for (int round = 0; round < 2; ++round) {
            map.fill(QColor(70, 160, 70));
            QPainter p(&map);
            p.setFont(QApplication::font());
            scenario::paintUnits(p, units, places, k, map.rect(), -1);
        }
        for (qsizetype i = 0; i < units.size(); ++i) {
            // The filling of a solid marker's digits, the halo of a hollow one's: white.
            const QColor own = scenario::unitColour(units[i].kind).darker(170);
            const QColor digits = scenario::unitColour(units[i].kind).darker(130);
            const QRect box =
                scenario::labelRect(units[i], scenario::markerRect(units[i], places[i], k),
                                    QApplication::font())
                    .toAlignedRect();
            bool found = false;
            for (int y = box.top(); y <= box.bottom() && !found; ++y)
                for (int x = box.left(); x <= box.right() && !found; ++x) {
                    const QColor c = map.pixelColor(x, y);
                    const QColor& want = units[i].fromStart ? own : digits;
                    found = qAbs(c.red() - want.red()) + qAbs(c.green() - want.green()) +
                                qAbs(c.blue() - want.blue()) <=
                            12;
                }
            QVERIFY2(found, qPrintable(QStringLiteral("unit %1").arg(i)));
        }
    }

    // Every unit the file holds has a marker of its kind's colour on the cell
    // its bytes give; units that enter later are hollow.
    void markersStandOnTheFilesCells() {
        loadSample(S01);
        openMap();
        const QByteArray b = original;
        QList<std::tuple<UnitKind, int, QPoint, bool>> expected;
        for (int k = 0; k < 5; ++k)
            expected.append({UnitKind::Army, k,
                             QPoint(byteAt(b, armyAt(k) + 10), byteAt(b, armyAt(k) + 16)),
                             wordAt(b, armyAt(k) + 26) == 0});
        for (int k = 0; k < 20; ++k) {
            const qint64 e = headerPos(S01) + 48 + 52 * k;
            if (wordAt(b, e + 2) != 0xFFFF)
                expected.append({UnitKind::Ally, k, QPoint(wordAt(b, e + 10), wordAt(b, e + 16)),
                                 wordAt(b, e + 6) == 0});
        }
        for (int k = 0; k < 80; ++k)
            if (wordAt(b, enemyAt(k) + 2) != 0xFFFF)
                expected.append({UnitKind::Enemy, k,
                                 QPoint(wordAt(b, enemyAt(k) + 14), wordAt(b, enemyAt(k) + 20)),
                                 wordAt(b, enemyAt(k) + 10) == 0});
        QCOMPARE(image()->units().size(), expected.size());

        const QImage shown = image()->grab().toImage();
        QCOMPARE(shown.size(), QSize(64 * 6, 48 * 6));
        int checked = 0;
        for (const auto& [kind, index, cell, fromStart] : expected) {
            const int i = unitIndex(kind, index);
            QVERIFY(i >= 0);
            QCOMPARE(image()->units()[i].cell, cell);
            if (!aloneOnCell(i))
                continue;
            // Its number over it, in the kind's colours.
            checked += labelShown(shown, i, QRectF(cell * 6, QSizeF(6, 6)), fromStart);
        }
        QVERIFY(checked >= 40);
        // Units that share a cell share it: at zoom 3 each of their markers has its own part.
        click("zoom3");
        const QImage zoomed = image()->grab().toImage();
        int shared = 0;
        for (const auto& [kind, index, cell, fromStart] : expected) {
            const int i = unitIndex(kind, index);
            if (aloneOnCell(i) || !fromStart)
                continue;
            const QPoint middle = image()->markerCentre(i);
            QVERIFY(QRect(cell * 18, QSize(18, 18)).contains(middle));
            shared += labelShown(zoomed, i, QRectF(middle - QPointF(1, 1), QSizeF(2, 2)), true);
        }
        QVERIFY(shared >= 10);
        // Every unit stands on the map: no note.
        QVERIFY(find<QLabel>(QStringLiteral("offMapNote"))->text().isEmpty());
    }

    void unitsOffTheMapAreListed() {
        loadSample(S01);
        openMap(12, 9);
        const QString note = find<QLabel>(QStringLiteral("offMapNote"))->text();
        int off = 0;
        for (const BattleUnit& u : image()->units())
            if (u.cell.x() >= 12 || u.cell.y() >= 9) {
                ++off;
                QVERIFY2(note.contains(QStringLiteral("(%1, %2)").arg(u.cell.x()).arg(u.cell.y())),
                         qPrintable(note));
            }
        QVERIFY(off > 0);
        QVERIFY(note.startsWith(QStringLiteral("不在地图范围内（%1个）").arg(off)));
    }

    // A drag at zoom 3 changes exactly the entry's X and Y bytes once saved;
    // the change list shows it before the save and is empty after it.
    void dragChangesExactlyTheCoordinates() {
        const QString path = loadSample(S01);
        openMap();
        click("zoom3");
        QCOMPARE(form->battleMap()->zoom().cellSize(), 18);
        QVERIFY(changeLines().isEmpty());
        QCOMPARE(find<QLabel>(QStringLiteral("changeCount"))->text(),
                 QStringLiteral("没有未保存的修改"));

        const int i = unitIndex(UnitKind::Enemy, 7);
        QVERIFY(aloneOnCell(i));
        const QPoint from = image()->units()[i].cell, to(40, 33);
        drag(i, to);
        noMessages();
        // Taking the marker selected the slot; the frame shows the new place.
        QCOMPARE(list("List4")->currentRow(), 7);
        QCOMPARE(box("Text10")->text(), QStringLiteral("40"));
        QCOMPARE(box("Text11")->text(), QStringLiteral("33"));
        QCOMPARE(image()->units()[unitIndex(UnitKind::Enemy, 7)].cell, to);
        QCOMPARE(changeLines(),
                 (QStringList{QStringLiteral("敌军 8 横坐标：%1 → 40").arg(from.x()),
                              QStringLiteral("敌军 8 纵坐标：%1 → 33").arg(from.y())}));

        trigger("ssave");
        noMessages();
        QByteArray expected = original;
        setWord(expected, enemyAt(7) + 14, 40);
        setWord(expected, enemyAt(7) + 20, 33);
        QCOMPARE(test::readFile(path), expected);
        QVERIFY(changeLines().isEmpty());
    }

    void undoAndRedoMoveTheMarker() {
        const QString path = loadSample(S01);
        openMap();
        const int i = unitIndex(UnitKind::Army, 2);
        const QPoint from = image()->units()[i].cell;
        drag(i, QPoint(50, 40));
        QCOMPARE(list("List8")->currentRow(), 2);
        QCOMPARE(changeLines().size(), 2);
        QCOMPARE(image()->selected(), unitIndex(UnitKind::Army, 2));
        QCOMPARE(action("undo")->text(), QStringLiteral("撤销 拖动 我军 3"));
        trigger("undo");
        QCOMPARE(action("redo")->text(), QStringLiteral("重做 拖动 我军 3"));
        QCOMPARE(image()->units()[unitIndex(UnitKind::Army, 2)].cell, from);
        // The entry stays selected, its marker ringed on the cell it came from.
        QCOMPARE(list("List8")->currentRow(), 2);
        QCOMPARE(image()->selected(), unitIndex(UnitKind::Army, 2));
        QVERIFY(changeLines().isEmpty());
        trigger("redo");
        QCOMPARE(image()->units()[unitIndex(UnitKind::Army, 2)].cell, QPoint(50, 40));
        QCOMPARE(changeLines().first(),
                 QStringLiteral("我军出场人物 3 横坐标：%1 → 50").arg(from.x()));
        trigger("undo");
        trigger("ssave");
        noMessages();
        QCOMPARE(test::readFile(path), original);
    }

    // After the undo of a drag the frame shows the place stored, for the entry still
    // selected: its "确定" stores nothing new and asks nothing.
    void undoOfADragShowsTheStoredPlace_data() {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("listName");
        QTest::addColumn<QString>("xBox");
        QTest::addColumn<QString>("yBox");
        QTest::addColumn<QString>("confirm");
        QTest::newRow("enemy") << int(UnitKind::Enemy) << 7 << "List4"
                               << "Text10"
                               << "Text11"
                               << "Command5";
        QTest::newRow("ally") << int(UnitKind::Ally) << 1 << "List3"
                              << "Text1"
                              << "Text2"
                              << "Command4";
        QTest::newRow("army") << int(UnitKind::Army) << 2 << "List8"
                              << "Text28"
                              << "Text29"
                              << "Command1";
    }
    void undoOfADragShowsTheStoredPlace() {
        QFETCH(int, kind);
        QFETCH(int, index);
        QFETCH(QString, listName);
        QFETCH(QString, xBox);
        QFETCH(QString, yBox);
        QFETCH(QString, confirm);
        const QString path = loadSample(S01);
        openMap();
        const UnitKind k = UnitKind(kind);
        const int i = unitIndex(k, index);
        QVERIFY(i >= 0);
        const QPoint from = image()->units()[i].cell;
        QVERIFY(from != QPoint(50, 40));
        drag(i, QPoint(50, 40));
        noMessages();
        QCOMPARE(list(listName)->currentRow(), index);
        QCOMPARE(box(xBox)->text(), QStringLiteral("50"));
        QCOMPARE(box(yBox)->text(), QStringLiteral("40"));

        trigger("undo");
        QCOMPARE(list(listName)->currentRow(), index);
        QCOMPARE(box(xBox)->text(), QString::number(from.x()));
        QCOMPARE(box(yBox)->text(), QString::number(from.y()));
        QCOMPARE(image()->selected(), unitIndex(k, index));
        QVERIFY(!form->hasUnconfirmedEdits());
        QTest::mouseClick(find<QPushButton>(confirm), Qt::LeftButton);
        noMessages();
        QCOMPARE(form->document().bytes(), original);
        trigger("ssave");
        noMessages();
        QCOMPARE(test::readFile(path), original);
    }

    // A drop off the map and a drop the frame's checks refuse both leave the bytes.
    void refusedDropsChangeNothing() {
        loadSample(S01);
        openMap(300, 20);
        const int i = unitIndex(UnitKind::Army, 0);
        QTest::mousePress(image(), Qt::LeftButton, {}, image()->markerCentre(i));
        QTest::mouseRelease(image(), Qt::LeftButton, {}, QPoint(-4, 10));
        noMessages();
        QVERIFY(find<QLabel>(QStringLiteral("mapStatus"))
                    ->text()
                    .startsWith(QStringLiteral("不能放到地图之外")));
        QVERIFY(!action("undo")->isEnabled());

        // Column 256 is on this map, but an army coordinate is one byte.
        drag(i, QPoint(256, 3));
        QCOMPARE(prompts.messages.size(), 1);
        const QString dropped = prompts.lastMessage();
        QVERIFY(!action("undo")->isEnabled());
        QCOMPARE(form->document().bytes(), original);
        // The frame's own "确定" says the same.
        list("List8")->setCurrentRow(0);
        type("Text28", QStringLiteral("256"));
        click("Command1");
        QCOMPARE(prompts.lastMessage(), dropped);
        QVERIFY(changeLines().isEmpty());
    }

    void selectionGoesBothWays() {
        loadSample(S01);
        openMap();
        click("zoom2");
        const int enemy = unitIndex(UnitKind::Enemy, 11);
        QTest::mouseClick(image(), Qt::LeftButton, {}, image()->markerCentre(enemy));
        QCOMPARE(list("List4")->currentRow(), 11);
        QCOMPARE(box("Text14")->text(), QString::number(wordAt(original, enemyAt(11) + 2)));
        QCOMPARE(image()->selected(), enemy);
        // A click without a move changes nothing.
        QVERIFY(!action("undo")->isEnabled());
        list("List3")->setCurrentRow(4);
        QCOMPARE(image()->selected(), unitIndex(UnitKind::Ally, 4));
        list("List8")->setCurrentRow(1);
        QCOMPARE(image()->selected(), unitIndex(UnitKind::Army, 1));
    }

    void hoverShowsTheUnit() {
        loadSample(S01);
        openMap();
        click("zoom3");
        const int i = unitIndex(UnitKind::Enemy, 4); // tendency 4 in the sample
        QVERIFY(image()->units()[i].runTo.has_value());
        QTest::mouseMove(image(), image()->markerCentre(i));
        const QString tip = image()->toolTip();
        const int character = wordAt(original, enemyAt(4) + 2);
        QVERIFY2(
            tip.startsWith(QStringLiteral("敌军 5 %1").arg(sample::characterNames()[character])),
            qPrintable(tip));
        QVERIFY(tip.contains(QStringLiteral("行动趋向：04 奔向某坐标 (%1, %2)")
                                 .arg(wordAt(original, enemyAt(4) + 46))
                                 .arg(wordAt(original, enemyAt(4) + 52))));
        QVERIFY(tip.contains(QStringLiteral("敌军等级加成：")));
        QCOMPARE(box("mapX")->text(), QString::number(image()->units()[i].cell.x()));
    }

    // The map stays for the next scenario of the same folder, not for another folder's.
    void mapChoiceFollowsTheFolder() {
        loadSample(S01);
        openMap();
        const QString map = form->battleMap()->mapPath();
        loadSample(QStringLiteral("S_02.eex"));
        QCOMPARE(form->battleMap()->mapPath(), map);
        QCOMPARE(image()->units().size(), scenario::battleUnits(form->document()).size());
        QDir().mkpath(dir->path(QStringLiteral("other")));
        load(QStringLiteral("other/S_03.eex"),
             sample::scenarioFile(test::shapeOf(QStringLiteral("S_03.eex"))));
        QVERIFY(form->battleMap()->mapPath().isEmpty());
        QVERIFY(image()->pixmap().isNull());
        // Back in the first folder, its map returns; the dialog offers it again.
        loadSample(S01);
        QCOMPARE(form->battleMap()->mapPath(), map);
        prompts.openAnswers.enqueue(QString());
        click("mapopen");
        QCOMPARE(prompts.openFolders.last(), map);
        QCOMPARE(form->battleMap()->mapPath(), map);
    }

    void badMapIsRefusedAndTheOldOneStays() {
        loadSample(S01);
        openMap();
        const QString map = form->battleMap()->mapPath();
        prompts.openAnswers.enqueue(
            dir->write(QStringLiteral("broken.bmp"), QByteArray("BM\x10\x00", 4)));
        click("mapopen");
        QVERIFY(prompts.lastMessage().startsWith(QStringLiteral("无法读取地图图片")));
        QCOMPARE(form->battleMap()->mapPath(), map);
        QVERIFY(!image()->pixmap().isNull());
    }

    void changeListFollowsEveryEdit() {
        loadSample(S01);
        QVERIFY(changeLines().isEmpty());
        click("Command3"); // 追加出场人物坐标
        QCOMPARE(changeLines(), QStringList{QStringLiteral("我军出场人物 6 追加")});
        list("List9")->setCurrentRow(1);
        type("Text21", QStringLiteral("513"));
        click("Command9");
        // The emptied entry drops alone: the third moves up into its place.
        const QStringList shown = changeLines();
        QVERIFY(shown.size() > 2);
        QCOMPARE(shown.first(), QStringLiteral("我军出场人物 6 追加"));
        QCOMPARE(shown.last(), QStringLiteral("个人装备 3 已删除"));
        for (const QString& line : shown.mid(1, shown.size() - 2))
            QVERIFY2(line.startsWith(QStringLiteral("个人装备 2 ")), qPrintable(line));
        // A double click selects the entry of the line.
        auto* lines = list("changeList");
        const QPoint line0 = lines->visualItemRect(lines->item(0)).center();
        QTest::mouseClick(lines->viewport(), Qt::LeftButton, {}, line0);
        QCOMPARE(list("List8")->currentRow(), -1); // one click only picks the line
        QTest::mouseDClick(lines->viewport(), Qt::LeftButton, {}, line0);
        QCOMPARE(list("List8")->currentRow(), 5);
        list("List9")->setCurrentRow(50);
        const QPoint line1 = lines->visualItemRect(lines->item(1)).center();
        QTest::mouseClick(lines->viewport(), Qt::LeftButton, {}, line1);
        QTest::mouseDClick(lines->viewport(), Qt::LeftButton, {}, line1);
        QCOMPARE(list("List9")->currentRow(), 1);
        QCOMPARE(box("Text21")->text(), QStringLiteral("65535"));
        trigger("undo");
        QCOMPARE(changeLines(), QStringList{QStringLiteral("我军出场人物 6 追加")});
        trigger("ssave");
        noMessages();
        QVERIFY(changeLines().isEmpty());
        QCOMPARE(test::readFile(path).size(), original.size() + 28);
    }
};

LCJ_TEST_MAIN(BattleMapTest)
#include "battlemap_test.moc"
