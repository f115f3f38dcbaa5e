#pragma once

#include "common/regionset.h"

// The three regions of a save game (Sv??d.e5s) that the save-file editor owns.
// Everything else in the file is never read or written.
namespace lcj::save {

inline constexpr Region loyaltyRegion{86, 1};
// Byte i is the count held of consumable i; the 18th byte is kept as read.
inline constexpr Region stockRegion{687, 18};
// 174 records of 32 bytes, then one byte kept as read (offset 10908).
inline constexpr Region characterRegion{5340, 5569};

inline constexpr int characterCount = 174;
inline constexpr int recordSize = 32;
// The bytes of a character record that hold the item numbers of its equipment
// (255: none).
inline constexpr int weaponOffset = 20;
inline constexpr int armourOffset = 23;
inline constexpr int accessoryOffset = 26;
inline constexpr int consumableCount = 17;

// The index of each region in the editor's RegionSet.
enum SaveRegion : std::size_t { Loyalty = 0, Characters = 1, Stock = 2 };

inline RegionSet saveRegions() {
    return RegionSet({loyaltyRegion, characterRegion, stockRegion});
}

static_assert(characterCount * recordSize + 1 == characterRegion.length);
static_assert(characterRegion.end() == 10909);
static_assert(stockRegion.end() == 705);

} // namespace lcj::save
