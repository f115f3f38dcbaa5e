#pragma once

#include "common/result.h"

#include <QString>

// lcjtool scenario map: the battle of a scenario drawn over its map picture,
// with the markers of the scenario editor's battle map and a legend.
namespace lcj::cli {

inline constexpr int defaultMapZoom = 3;
inline constexpr int largestMapZoom = 6;

struct ScenarioMapOutcome {
    int units = 0;  // markers drawn
    int offMap = 0; // of them, units that stand off the map (listed below it)
};

// Draws the scenario at `path` over the picture at `mapPath`, `zoom` times
// enlarged (1 to 6), and writes it as a PNG to `outPath`. Names for the note
// of units off the map come from the data file at `dataPath` when given.
// Nothing is written on any failure.
Result<ScenarioMapOutcome> drawScenarioMap(const QString& path, const QString& mapPath,
                                           const QString& dataPath, const QString& outPath,
                                           int zoom = defaultMapZoom);

} // namespace lcj::cli
