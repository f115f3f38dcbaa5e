#pragma once

#include "mapview/mapzoom.h"
#include "mapview/ui/mapimage.h"
#include "scenario/battleunits.h"

#include <QHash>
#include <QWidget>

class QLabel;
class QLineEdit;
class QPushButton;
class QScrollArea;

namespace lcj::scenario {

class Junben;

// mapImage of the battle map: the map picture with a marker for every unit.
// A press on a marker takes it; a release on another cell drops it there.
class BattleMapImage : public mapview::MapImage {
    Q_OBJECT
public:
    explicit BattleMapImage(QWidget* parent = nullptr);

    // The units and what the pointer shows over each.
    void setUnits(QList<BattleUnit> units, QStringList descriptions);
    const QList<BattleUnit>& units() const { return units_; }
    void setCellSize(int k);
    // Rings unit `i` (an index into units(), -1 for none).
    void setSelected(int i);
    int selected() const { return selected_; }
    // The unit under `pixel`, -1 when none.
    int unitAt(QPoint pixel) const;
    // The middle of unit i's marker, in the image's pixels.
    QPoint markerCentre(int i) const;

signals:
    void unitPressed(int i);
    void unitDropped(int i, QPoint cell);
    void dropOffMap(int i);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QList<BattleUnit> units_;
    QList<QRectF> places_;
    QStringList descriptions_;
    int k_ = mapview::MapZoom::naturalCellSize;
    int selected_ = -1;
    int dragged_ = -1;
    QPoint dragCell_;
};

// The battle map of the scenario editor ("战场地图"): the loaded scenario's
// units over the battle's map picture, kept in step with the editor's lists;
// a marker dragged to another cell moves its entry through its frame's "确定".
class BattleMap : public QWidget {
    Q_OBJECT
public:
    explicit BattleMap(Junben& junben, QWidget* parent = nullptr);

    // The map picture shown, empty before one is chosen.
    const QString& mapPath() const { return mapPath_; }
    const mapview::MapZoom& zoom() const { return zoom_; }
    BattleMapImage* image() const { return mapImage; }

    // "选择地图": asks for the battle's BMP map.
    void mapopen_Click();
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    // The document or the loaded scenario changed: markers and map follow.
    void refresh();
    // The editor selected an entry of a list.
    void showSelection(UnitKind kind, int index);

private:
    void showMap(const QString& path);
    void clearMap(const QString& why);
    void showZoom();
    void zoomBy(int factor);
    void pointerMoved(QPoint pixel);
    void unitPressed(int i);
    void unitDropped(int i, QPoint cell);
    QString scenarioFolder() const;

    Junben& junben_;
    mapview::MapZoom zoom_;
    QString mapPath_;
    // The map last chosen for the scenarios of each folder.
    QHash<QString, QString> mapForFolder_;
    QString shownFolder_;
    UnitKind selectedKind_ = UnitKind::Army;
    int selectedIndex_ = -1;

    QPushButton* mapopen;
    QPushButton* zoomreset;
    QPushButton* zoom2;
    QPushButton* zoom3;
    QScrollArea* mapFrame;
    BattleMapImage* mapImage;
    QLineEdit* mapX;
    QLineEdit* mapY;
    QLabel* mapStatus;  // the zoom, or why there is no map
    QLabel* offMapNote; // units off the map
};

} // namespace lcj::scenario
