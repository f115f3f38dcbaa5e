#pragma once

#include "scenariodocument.h"

#include <QList>
#include <QPoint>
#include <QRectF>
#include <QSize>
#include <QString>
#include <QStringList>
#include <optional>

// The units of a battle as they stand on its map: our army's entries, the
// ally and enemy slots that hold a character, each on the grid cell its
// coordinates give (cell (0, 0) at the map's top-left).
namespace lcj::scenario {

enum class UnitKind { Army, Ally, Enemy };

struct BattleUnit {
    UnitKind kind = UnitKind::Army;
    int index = 0;               // entry of its list, from 0
    QPoint cell;                 // 横坐标, 纵坐标
    int facing = 0;              // 0 up, 1 right, 2 down, 3 left; other codes as stored
    bool fromStart = true;       // "初始登场"; others enter later and are drawn hollow
    int character = -1;          // slots only: the character number
    QString levelBonus;          // slots only: as the frame shows it
    int tendency = -1;           // slots only: the action tendency code
    int follow = -1;             // slots only: the general to follow
    std::optional<QPoint> runTo; // a slot that runs to a point (tendency 4)

    // The number the lists and the marker show: the entry counted from 1.
    int number() const { return index + 1; }
};

inline constexpr int runToTendency = 4;

// Every unit of `doc`: the army entries (appended ones too), then the ally and
// the enemy slots that hold a character.
QList<BattleUnit> battleUnits(const ScenarioDocument& doc);

// The part of a cell (in cell units, the cell being 0..1 each way) where a
// unit's marker stands: the whole cell for a unit alone on it, a share of it
// where several stand on one cell, so that every marker can be seen and taken.
QList<QRectF> markerPlaces(const QList<BattleUnit>& units);

// The unit whose marker lies under `at`, a point in cell units (1.0 = one
// cell); the last drawn wins. -1 when none.
int unitAt(const QList<BattleUnit>& units, const QList<QRectF>& places, QPointF at);

// Whether a cell lies on a map of `mapSize` picture pixels (6 x 6 per cell;
// a cell cut by the picture's edge counts as on it).
bool cellOnMap(QPoint cell, QSize mapSize);

// Gives an entry the coordinates of `cell`, as its frame's "确定" would with
// only 横坐标 and 纵坐标 typed anew: the same checks and messages, all or
// nothing. Only the coordinate bytes change; the rest of the entry keeps its
// bytes even where a confirm would write them in its own form.
Failure moveUnit(ScenarioDocument& doc, UnitKind kind, int index, QPoint cell);

// "敌军", "友军", "我军".
QString kindName(UnitKind kind);
// "敌军 4 张三" (no name for our army's entries).
QString unitTitle(const BattleUnit& unit, const QStringList& people);
// What the pointer shows over a marker: name, position, facing and, for a
// slot, its level bonus and action tendency.
QString unitDescription(const BattleUnit& unit, const QStringList& people);
// The units that stand off the map, for the note beside it; empty when none.
QString offMapNote(const QList<BattleUnit>& units, QSize mapSize, const QStringList& people);

} // namespace lcj::scenario
