#pragma once

#include <QStringList>

// The fixed lists of the data file editor's sections: vocabulary of the game
// that only these sections show.
namespace lcj::data::lists {

// Combo5: the 45 special effects, entry p standing for effect code p + 18,
// then "无" (no effect).
const QStringList& specialEffects();
// Combo6: the 14 consumable effects, entry p standing for kind code p + 63.
const QStringList& consumableEffects();
// Combo7: the 27 troop classes, then "所有兵种" (all troop classes).
const QStringList& suitableClasses();
// Combo8: the 16 attack-range shapes of a troop type.
const QStringList& attackRanges();
// Combo10: the 16 casting ranges of a strategy: the attack-range shapes with
// "自己" in place 11.
const QStringList& castingRanges();
// Combo9: who a strategy is cast on.
const QStringList& strategyTargets();
// Combo11: the 7 effect areas of a strategy.
const QStringList& effectAreas();
// List7: the 27 troop classes as the terrain section names them.
const QStringList& terrainClasses();

} // namespace lcj::data::lists
