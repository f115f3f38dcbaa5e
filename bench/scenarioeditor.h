#pragma once

// The scenario editor with the sample data file read and an invented
// scenario of a given size loaded, for the scenario benchmarks.
#include "samplegen/samplegame.h"
#include "scenario/ui/junben.h"
#include "windowbench.h"

namespace lcj::bench {

// A scenario of about `bytes` bytes.
inline QByteArray scenarioOf(std::int64_t bytes) {
    sample::ScenarioShape shape;
    shape.armyEntries = 5;
    shape.equipEntries = 40;
    shape.spoils = 6;
    shape.scriptAfter = int(bytes) - 8000;
    return sample::scenarioFile(shape);
}

struct ScenarioEditor : Editor<scenario::Junben> {
    explicit ScenarioEditor(std::int64_t bytes) {
        openFile("data.e5", sample::dataFile(), "dataopen");
        openFile("S_01.eex", scenarioOf(bytes), "sopen");
    }
};

} // namespace lcj::bench
