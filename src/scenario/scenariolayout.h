#pragma once

#include <QtGlobal>

// Where the structures the scenario editor understands lie in a scenario
// script. Every offset is from the start of its structure.
namespace lcj::scenario::layout {

// The file header's two length words; a save that inserts bytes adds their count to both.
inline constexpr int headerLengthWord1 = 14;
inline constexpr int headerLengthWord2 = 18;

// Battle header: 0x44 at 0 and 0x45 at 2.
inline constexpr quint8 battleSignature0 = 0x44;
inline constexpr quint8 battleSignature2 = 0x45;
inline constexpr int turnCountOffset = 14;
inline constexpr int levelBonusOffset = 20;
inline constexpr int victoryOffset = 28;
inline constexpr int defeatOffset = 36;

inline constexpr int allyOffset = 48;
inline constexpr int allyEntrySize = 52;
inline constexpr int allyCount = 20;
inline constexpr int enemyOffset = 1090; // = allyOffset + 1042
inline constexpr int enemyEntrySize = 56;
inline constexpr int enemyCount = 80;
inline constexpr int armyOffset = 5588; // the army block's length word
// A battle header is complete when its tables and the army block's length word fit.
inline constexpr int battleHeaderSpan = armyOffset + 2;

// Army block: a length word that counts itself, then 28-byte entries.
inline constexpr int armyEntrySize = 28;
inline constexpr int maxArmyEntries = 15;

// Equipment group at the army block's end: 0x00 at 0, 0x01 at 2, 0x02 at 4 and
// 0x05 at 6; its length word (counting itself) at 21, its entries from 23.
inline constexpr int equipLengthOffset = 21;
inline constexpr int equipEntriesOffset = 23;
inline constexpr int equipEntrySize = 26;
inline constexpr int maxEquipEntries = 100;
inline constexpr int equipRoom = equipEntrySize * maxEquipEntries; // 2600
// A character number above this in an equipment entry means no character.
inline constexpr int lastEquipCharacter = 512;

// Spoils instruction: 0x59 at 0, 0x04 at 2, 0x17 at 8; item words at 10, 18, 26.
inline constexpr quint8 spoilsSignature0 = 0x59;
inline constexpr int spoilsSpan = 28;
inline constexpr int spoilsItemOffsets[3] = {10, 18, 26};

// The scan tests positions 0 .. length - scanTail.
inline constexpr int scanTail = 9;

} // namespace lcj::scenario::layout
