#pragma once

#include <QtGlobal>
#include <array>

// Imsg.e5: seven tables of 200-byte text slots at fixed offsets. Slot i of a
// table lies at the table's offset + 200 × i; no other byte is ever touched.
namespace lcj::imsg {

inline constexpr int slotSize = 200;

// How the window shows a category; the numbers are the window's modes.
enum class Mode { None = 0, Named = 1, Retreat = 2, Critical = 3, Battle = 4 };

struct Category {
    const char16_t* entry;   // menu entry on the menu bar
    const char16_t* caption; // its text, also shown in Label1
    const char16_t* list;    // the list that shows the category
    int count;               // slots
    qint64 offset;           // of slot 0
    Mode mode;

    constexpr qint64 slotOffset(int i) const { return offset + qint64(i) * slotSize; }
    constexpr qint64 end() const { return slotOffset(count); }
    constexpr bool named() const { return mode == Mode::Named; }
};

// In the order of the menu bar.
inline constexpr std::array<Category, 7> categories{{
    {u"liezhuan", u"人物列传", u"List1", 174, 90000, Mode::Named},
    {u"wuping", u"物品说明", u"List3", 104, 0, Mode::Named},
    {u"binzhong", u"兵种简介", u"List2", 53, 70000, Mode::Named},
    {u"chetui", u"撤退台词", u"List4", 49, 130000, Mode::Retreat},
    {u"zhiming", u"致命一击", u"List5", 99, 140000, Mode::Critical},
    {u"chelue", u"策略说明", u"List6", 68, 30000, Mode::Named},
    {u"zandou", u"战斗简介", u"List7", 58, 50000, Mode::Battle},
}};

// A message file reaches at least this far.
inline constexpr qint64 minimumFileSize = 159800;

static_assert(categories[0].end() == 124800);
static_assert(categories[4].end() == 159800);

} // namespace lcj::imsg
