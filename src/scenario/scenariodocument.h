#pragma once

#include "common/result.h"
#include "scenarioforms.h"

#include <QByteArray>
#include <QList>
#include <QStringList>

namespace lcj::scenario {

enum class EquipGroup {
    Absent,     // no group at the army block's end: saving may create one
    Present,    // a group the editor reads and writes
    Unreadable, // something it cannot read: left exactly as it is
};

enum class Side { Ally, Enemy };

// One scenario script in memory: its bytes, where the structures the editor
// understands lie, and the edits that change the file's length until the next save.
//
// The scan takes the last complete battle header of the file; the ally,
// enemy, army and equipment entries are those of that header only. Spoils
// instructions are taken from the whole file.
class ScenarioDocument {
public:
    // Scans `bytes` as a freshly loaded file.
    static ScenarioDocument scan(QByteArray bytes);

    // ---- state as loaded (positions are offsets into scenarioBytes)
    QByteArray scenarioBytes;
    qint64 scenarioLength = 0;
    bool hasBattleHeader = false;
    qint64 battleHeaderPos = -1;
    qint64 allyBase = -1;
    qint64 enemyBase = -1;
    qint64 armyBlockStart = -1;
    int armyBlockLength = 0;
    qint64 armyBlockEnd = -1;
    // False when the army block cannot be read (bad length, past the end, over
    // 15 entries): no army entries are listed and nothing after it is touched.
    bool armyBlockReadable = false;
    int armySlotCount = 0;     // entries in the file as loaded
    int armyEntryCount = 0;    // entries now listed, appended ones included
    QByteArray extraSlotBytes; // (15 - armySlotCount) * 28 bytes: the appended entries
    EquipGroup equipGroup = EquipGroup::Absent;
    int equipBlockLength = 0; // the group's length word, 0 when absent
    int equipEntryCount = 0;  // entries as loaded
    QByteArray equipBytes;    // 2600 bytes: the entries, then 0xFF
    bool equipEdited = false; // an equipment entry was confirmed since the load
    QList<qint64> spoilsPositions;
    int battleHeaderCount = 0; // complete battle headers seen; the last one is edited
    // What the scan found but could not take as data, one sentence each.
    QStringList problems;

    int spoilsCount() const { return int(spoilsPositions.size()); }

    // ---- army entries (loaded ones in scenarioBytes, appended ones in extraSlotBytes)
    bool canAppendArmyEntry() const;
    // Appends a new entry at X 0, Y 0, facing up, present from the start; false at 15.
    bool appendArmyEntry();
    QByteArray armyEntry(int index) const;
    Failure applyArmyEntry(int index, const ArmyEntryForm& form);

    // ---- ally and enemy slots
    static const SlotLayout& slotLayout(Side side);
    static int slotCount(Side side);
    // The character number of a slot: 0xFFFF for an empty slot.
    quint16 slotCharacter(Side side, int slot) const;
    SlotForm showSlot(Side side, int slot) const;
    Result<int> applySlot(Side side, int slot, const SlotForm& form);

    // ---- battle-wide values
    BattleForm showBattle() const;
    Failure applyBattle(const BattleForm& form);

    // ---- spoils
    QByteArray spoilsInstruction(int index) const;
    Failure applySpoils(int index, const SpoilsForm& form);

    // ---- equipment (in equipBytes until the next save)
    bool equipmentEditable() const;
    QByteArray equipEntry(int index) const;
    // The character number of an entry as the list shows it.
    quint16 equipCharacter(int index) const;
    Result<int> applyEquipEntry(int index, const EquipForm& form);
    // Equipment entries the next save writes: the loaded count while no entry
    // was confirmed, else the leading run of entries that name a character.
    int newEquipCount() const;

private:
    void takeBattleHeader(qint64 pos);
    void readArmyBlock();
    void readEquipGroup();
    qint64 slotPos(Side side, int slot) const;
};

} // namespace lcj::scenario
