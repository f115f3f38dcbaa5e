#pragma once

namespace lcj {

// What a fixed list shows for a stored code: the entry that stands for it, or,
// when no entry does, the code itself. A save that keeps an unlisted choice
// writes the stored code back unchanged.
struct Choice {
    static constexpr int unlisted = -2;

    int row = 0;  // the entry shown or chosen, or `unlisted`
    int code = 0; // the stored byte, named by the unlisted entry

    static Choice entry(int row) { return {row, 0}; }
    static Choice stored(int code) { return {unlisted, code}; }
    bool isUnlisted() const { return row == unlisted; }
    bool operator==(const Choice&) const = default;
};

} // namespace lcj
