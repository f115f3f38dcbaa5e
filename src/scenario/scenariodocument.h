#pragma once

#include "common/result.h"
#include "scenarioforms.h"

#include <QByteArray>
#include <QList>
#include <QStringList>
#include <optional>

namespace lcj::scenario {

enum class EquipGroup {
    Absent,     // no group at the army block's end: saving may create one
    Present,    // a group the editor reads and writes
    Unreadable, // something it cannot read: left exactly as it is
};

enum class Side { Ally, Enemy };

// What one successful edit of a document changed: the bytes it replaced in
// one of the document's buffers, and the counts it moved. Enough to take the
// edit back and to make it again, and no more than the bytes that differ.
struct DocumentChange {
    enum class Buffer : quint8 { Scenario, ExtraSlots, Equip };
    Buffer buffer = Buffer::Scenario;
    qint64 pos = 0;    // of the first byte that differs
    QByteArray before; // the bytes that differ, as they were
    QByteArray after;  // and as the edit left them
    int armyEntryCountBefore = 0;
    int armyEntryCountAfter = 0;
    bool equipEditedBefore = false;
    bool equipEditedAfter = false;
};

// Where the scan of a freshly loaded file found the structures the editor
// understands. Positions are offsets into the document's bytes; the edits never
// move them (only a save, which scans its result afresh, does).
struct ScenarioScan {
    qint64 scenarioLength = 0;
    bool hasBattleHeader = false;
    qint64 battleHeaderPos = -1;
    qint64 allyBase = -1;
    qint64 enemyBase = -1;
    qint64 armyBlockStart = -1;
    int armyBlockLength = 0;
    qint64 armyBlockEnd = -1;
    // Set with hasBattleHeader: a header is only taken when its army block reads.
    bool armyBlockReadable = false;
    int armySlotCount = 0; // entries in the file as loaded
    EquipGroup equipGroup = EquipGroup::Absent;
    int equipBlockLength = 0; // the group's length word, 0 when absent
    int equipEntryCount = 0;  // entries as loaded
    QList<qint64> spoilsPositions;
    int battleHeaderCount = 0; // battle headers whose army block reads; the last one is edited
};

// One scenario script in memory: its bytes, where the structures the editor
// understands lie, and the edits that change the file's length until the next save.
//
// The scan takes the last battle header of the file whose army block reads (a
// length word of 2 + 28n, n at most 15, and the block inside the file); the
// ally, enemy, army and equipment entries are those of that header only.
// Header-shaped bytes whose army block does not read are named in `problems()`
// and never edited. Spoils instructions are taken from the whole file.
//
// Everything is read through const accessors; only the document's own edits
// (and revert / reapply of their changes) write its bytes and counts.
class ScenarioDocument {
public:
    // Scans `bytes` as a freshly loaded file.
    static ScenarioDocument scan(QByteArray bytes);

    // What the scan found.
    const ScenarioScan& scan() const { return scan_; }
    // The file's bytes with the confirmed edits of loaded entries.
    const QByteArray& bytes() const { return bytes_; }
    // What the scan found but could not take as data, one sentence each.
    const QStringList& problems() const { return problems_; }
    // Army entries now listed, appended ones included.
    int armyEntryCount() const { return armyEntryCount_; }
    // (15 - armySlotCount) * 28 bytes: the appended army entries.
    const QByteArray& extraSlotBytes() const { return extraSlotBytes_; }
    // 2600 bytes: the equipment entries, then 0xFF.
    const QByteArray& equipBytes() const { return equipBytes_; }
    // An equipment entry was confirmed since the load.
    bool equipEdited() const { return equipEdited_; }

    int spoilsCount() const { return int(scan_.spoilsPositions.size()); }
    // A sentence for the user when the file holds nothing to edit (too short,
    // or no battle header and no spoils); empty otherwise.
    QString nothingToEdit() const;

    // ---- army entries (loaded ones in bytes(), appended ones in extraSlotBytes())
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
    // Moves a slot to (x, y): the whole form is checked as the frame's confirm
    // checks it, but only the two coordinate words are stored.
    Failure moveSlot(Side side, int slot, const QString& x, const QString& y);

    // ---- battle-wide values
    BattleForm showBattle() const;
    Failure applyBattle(const BattleForm& form);

    // ---- spoils
    QByteArray spoilsInstruction(int index) const;
    Failure applySpoils(int index, const SpoilsForm& form);

    // ---- equipment (in equipBytes() until the next save)
    bool equipmentEditable() const;
    QByteArray equipEntry(int index) const;
    // The character number of an entry as the list shows it.
    quint16 equipCharacter(int index) const;
    Result<int> applyEquipEntry(int index, const EquipForm& form);
    // The equipment entries the next save writes: while no entry was confirmed,
    // the group as loaded, byte for byte; after that, every entry that names a
    // character, in list order (emptied entries drop, later ones move up).
    QByteArray equipEntriesToWrite() const;
    int newEquipCount() const;

    // ---- undo and redo
    // The change made by the last edit when it succeeded; taken once.
    std::optional<DocumentChange> takeChange();
    // Takes a change back, or makes it again; the document must be in the
    // state the change left (for revert) or found (for reapply).
    void revert(const DocumentChange& change);
    void reapply(const DocumentChange& change);
    // The changes that make this document `other`, a copy of it edited: one for each buffer
    // that differs, each with both documents' counts; nothing when a buffer's size differs.
    std::optional<QList<DocumentChange>> changesTo(const ScenarioDocument& other) const;
    // The change that puts `bytes` in place of the scenario's bytes, the counts kept; nothing
    // when the sizes differ.
    std::optional<DocumentChange> changeToBytes(const QByteArray& bytes) const;

private:
    QByteArray& buffer(DocumentChange::Buffer which);
    const QByteArray& buffer(DocumentChange::Buffer which) const;
    // Stores `bytes` at `pos` of a buffer, sets the counts and records the change.
    void store(DocumentChange::Buffer which, qint64 pos, const QByteArray& bytes,
               int armyCountAfter, bool equipEditedAfter);
    // True when the army block of header-shaped bytes at `pos` reads; else
    // the bytes are named in `problems_`.
    bool armyBlockReads(qint64 pos);
    void takeBattleHeader(qint64 pos);
    void readEquipGroup();
    qint64 slotPos(Side side, int slot) const;

    ScenarioScan scan_;
    QByteArray bytes_;
    QStringList problems_;
    int armyEntryCount_ = 0;
    QByteArray extraSlotBytes_;
    QByteArray equipBytes_;
    bool equipEdited_ = false;
    std::optional<DocumentChange> change_;
};

} // namespace lcj::scenario
