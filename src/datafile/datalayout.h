#pragma once

#include <QtGlobal>

// Where the six tables of data.e5 lie. The file has no header, counts or
// checksums; every table is at a fixed offset, and record i of a table lies at
// offset + i × record size.
namespace lcj::data {

struct Table {
    qint64 offset;  // of record 0
    int recordSize; // bytes
    int count;      // records
    int nameWidth;  // bytes of the name field at the start of a record, 0 for none

    constexpr qint64 recordOffset(int i) const { return offset + qint64(i) * recordSize; }
    constexpr qint64 end() const { return recordOffset(count); }
};

inline constexpr Table characters{396, 32, 512, 12};
inline constexpr Table items{16780, 25, 104, 16};
// Shop blocks are addressed from 19381; the byte at 19380 belongs to no table.
// The last block ends on 21468, which is also byte 0 of troop type 0.
inline constexpr Table shops{19381, 36, 58, 0};
inline constexpr Table troopTypes{21468, 27, 53, 0};
inline constexpr Table terrain{22899, 60, 27, 0};
inline constexpr Table strategies{24519, 70, 68, 10};

// A data file shorter than this cannot hold the strategy table.
inline constexpr qint64 minimumFileSize = 29279;

static_assert(characters.end() == items.offset);
static_assert(troopTypes.end() == terrain.offset);
static_assert(terrain.end() == strategies.offset);
static_assert(strategies.end() == minimumFileSize);
static_assert(shops.end() == troopTypes.offset + 1);

} // namespace lcj::data
