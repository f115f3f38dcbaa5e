#pragma once

#include "scenario/battleunits.h"

#include <QColor>
#include <QFont>
#include <QImage>
#include <QRect>

class QPainter;

// How the units of a battle are drawn over its map: one marker per unit in
// its kind's colour with its entry number, hollow for a unit that enters
// later, an arrow from a unit that runs to a point. The scenario editor's
// battle map and lcjtool draw with the same code.
namespace lcj::scenario {

QColor unitColour(UnitKind kind);

// The marker of unit `i` in shown pixels, for cell size `k`.
QRectF markerRect(const BattleUnit& unit, const QRectF& place, int k);

// The font of the numbers over markers drawn with the painter's font `font`: it, bold,
// never smaller however small the marker, larger on a large one.
QFont labelFont(const QFont& font, const QRectF& marker);
// Where the unit's number stands over its marker `marker`: the text as the label
// font measures it, with its halo, centred on the marker.
QRectF labelRect(const BattleUnit& unit, const QRectF& marker, const QFont& font);

// Draws the arrows and markers that meet `exposed` (shown pixels, cell size
// `k`); `selected` (an index into `units`, or -1) is ringed.
void paintUnits(QPainter& painter, const QList<BattleUnit>& units, const QList<QRectF>& places,
                int k, const QRect& exposed, int selected);

// The battle for lcjtool: the map `factor` times enlarged (no smoothing), the
// markers over it, and below it a legend and the note of units off the map.
QImage battlePicture(const QImage& map, const QList<BattleUnit>& units, int factor,
                     const QStringList& people);

} // namespace lcj::scenario
