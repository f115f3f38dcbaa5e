#pragma once

#include "scenario/scenariodocument.h"

#include <QJsonObject>
#include <QStringList>

// What the scenario editor shows of a scenario, as JSON values: the battle-wide
// boxes, one object per ally, enemy, army and equipment entry, the spoils.
// lcjtool prints it, and the comparison of two scenarios walks it.
namespace lcj::fields {

// The keys of each kind of entry, in the order the frames show them.
const QStringList& battleKeys();
const QStringList& slotKeys();
const QStringList& armyKeys();
const QStringList& equipKeys();

// A box's text as JSON: a number when it is one, else the text.
QJsonValue boxValue(const QString& text);

// A field's caption in its frame: "横坐标", "敌军等级加成". `section` is the
// view's key (battle, allies, enemies, army, equipment, spoils).
QString fieldCaption(const QString& section, const QString& key);

// How the windows name a section's entries: "战役", "敌军", "我军出场人物".
QString sectionTitle(const QString& section);

// Where a field lies, in the windows' words: "敌军 3 横坐标", "战役 回合数",
// "战利品 2", "我军出场人数". `entry` counts from 0; the lists number from 1.
QString fieldPlace(const QString& section, int entry, const QString& key);

// The view of `doc`. Names come from `people` (the person list), or are null
// without it. Keys: battle (null without a battle header), allies, enemies,
// army, equipment, spoils, problems.
QJsonObject scenarioView(const scenario::ScenarioDocument& doc, const QStringList* people);

} // namespace lcj::fields
