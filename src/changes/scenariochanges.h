#pragma once

#include "fields/scenarioview.h"
#include "scenario/scenariodocument.h"

#include <QJsonValue>
#include <QList>
#include <QString>
#include <QStringList>

// The field-level comparison of two copies of a scenario: what lcjtool diff
// prints and what the scenario editor lists as the changes of the next save.
// The fields come from compare() over the scenario's tables; the battle
// header, the lists' lengths, the entries added or removed whole and the
// equipment slots the file stores are kinds of change of their own.
namespace lcj::changes {

// Where a change lies: the frame of the scenario editor that shows it.
enum class Frame { Battle, Ally, Enemy, Army, Equipment, Spoils, Script };

struct Change {
    enum class Kind {
        Field,   // one field of an entry (or of the battle-wide values)
        Count,   // a list holds another number of entries
        Added,   // an entry only the second copy has
        Removed, // an entry only the first copy has
        Stored,  // an equipment slot the file holds in one copy only (after: true when added)
        Header,  // one copy has a battle header, the other none (after: true when added)
        Bytes,   // the copies differ only in bytes no frame shows
    };
    Kind kind = Kind::Field;
    Frame frame = Frame::Script;
    int entry = -1; // index in its list, from 0; -1 for the frame as a whole
    QString field;  // the view's key ("x", "level_bonus"); empty for a whole entry
    QJsonValue before;
    QJsonValue after;
    // In the windows' words, entries numbered from 1 as the lists number them:
    // "敌军 3 横坐标：12 → 21". Empty where the windows list nothing for this
    // change (a count, or a field of an entry that is added or removed whole).
    QString line;
};

// What changes from `a` to `b`, frame by frame in the order of the view:
// battle, allies, enemies, army, equipment, spoils; then, only when nothing
// else differs, the bytes. With `people` the lines name the characters whose
// numbers change.
QList<Change> compareScenarios(const scenario::ScenarioDocument& a,
                               const scenario::ScenarioDocument& b,
                               const QStringList* people = nullptr);

// The line lcjtool diff prints for a change, in the words and numbers of the
// windows ("敌军 4 朝向: 1 → 3"), or an empty text for a change it does not
// print.
QString diffLine(const Change& change);

// The lines the windows list, in order, empty ones left out.
QStringList windowLines(const QList<Change>& changes);

using fields::fieldPlace;

} // namespace lcj::changes
