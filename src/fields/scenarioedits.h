#pragma once

#include "common/result.h"
#include "scenario/scenariodocument.h"

#include <QJsonObject>

namespace lcj::fields {

// Presses the scenario editor's "确定" buttons for `edits`, in the order
// battle, allies, enemies, append_army, army, spoils, equipment: each value is
// typed into its box as the user would type it. `edits` holds the sections of
// the scenario view by key, each entry by its number from 0 ({"enemies": {"3":
// {"x": 12}}}); append_army appends that many army entries. On a refusal the
// message names the edit; `confirmed` counts the buttons pressed.
Failure applyScenarioEdits(scenario::ScenarioDocument& doc, const QJsonObject& edits,
                           int& confirmed);

} // namespace lcj::fields
