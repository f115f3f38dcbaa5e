#pragma once

#include <QStringList>

// The game's fixed vocabulary, one table each, shared by every window that shows it.
namespace lcj::names {

// A list from a table of literals, as every fixed list is written.
QStringList fromTable(std::initializer_list<const char16_t*> entries);

// The 53 troop types, in troop-type order.
const QStringList& troopTypes();
// The 18 equipment kinds, in code order; they also number a troop type's equipment flags.
const QStringList& equipmentKinds();
// The 27 troop classes, in terrain-record order.
const QStringList& troopClasses();
// The 30 terrains, in the order of a terrain record's effects and costs.
const QStringList& terrains();
// The 68 strategies, in strategy-number order.
const QStringList& strategies();
// The 17 consumables, in stock order; they are items 87..103.
const QStringList& consumables();
// The 58 battles, in shop-block order. Some names repeat: they are different battles.
const QStringList& battles();
// The 174 character names of the save-file editor, the message-file editor and
// the program-file editor, in character-number order.
const QStringList& characters();
// The 104 item names, in item-number order.
const QStringList& items();

} // namespace lcj::names
