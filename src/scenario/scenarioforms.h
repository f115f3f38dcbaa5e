#pragma once

#include "common/recordfields.h"
#include "common/result.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <array>

// What the frames of the scenario editor show of one entry, and how typed
// values go back into its bytes. Every apply is all or nothing: on an invalid
// field the bytes stay as they were and the message names the field.
namespace lcj::scenario {

// The two option buttons of an appearance mode.
enum class Appearance {
    Neither, // FF FF: both options clear
    Initial, // 00 00: "初始登场"
    Story,   // 01 00: "剧情控制"
    Kept,    // any other stored value: both options clear, the bytes are kept on confirm
};

Appearance showAppearance(QByteArrayView entry, int offset);
// Kept leaves the two bytes as they are.
void storeAppearance(QByteArray& entry, int offset, Appearance appearance);

// One 28-byte army entry ("我军出场人数及出场位置设定").
struct ArmyEntryForm {
    QString x;                                   // Text28, byte 10
    QString y;                                   // Text29, byte 16
    QString facing;                              // Text30, byte 22
    Appearance appearance = Appearance::Neither; // Option4 / Option3, bytes 26-27

    static ArmyEntryForm show(QByteArrayView entry);
    Failure apply(QByteArray& entry) const;
};

// The R file's deployment-limit record, 50 bytes.
struct RLimitsForm {
    QString deployCount;               // Text31, byte 6
    std::array<QString, 5> forced;     // Text32..Text36, words at 12 + 4k
    std::array<QString, 5> restricted; // Text37..Text41, words at 32 + 4k

    static RLimitsForm show(QByteArrayView record);
    Failure apply(QByteArray& record) const;

    // The boxes by caption: the count, then 强制出场人员1..5 and 限制出场人员1..5.
    static const FormFields<RLimitsForm>& fields();
    // The headings of the two columns of five boxes.
    static QString forcedCaption();
    static QString restrictedCaption();
};

// The battle-wide values of a battle header ("战役全局变量控制").
struct BattleForm {
    QString levelBonus;  // Text3, byte 20 in the level bonus code
    QString turns;       // Text4, byte 14
    QString victory;     // Text5, word at 28
    QString defeat;      // Text6, word at 36
    int scrollValue = 0; // the level bonus as a number, for the scroll bar beside Text3

    // `header` holds at least the header's first 38 bytes.
    static BattleForm show(QByteArrayView header);
    Failure apply(QByteArray& header) const;
};

// Where the fields of an ally or enemy entry lie.
struct SlotLayout {
    int entrySize;
    int appearance;
    int x;
    int y;
    int facing;
    int levelBonus;
    int tendency;
    int follow;
    int runX;
    int runY;
    const char16_t* levelBonusLabel;
};
inline constexpr int slotCharacterOffset = 2;
inline constexpr SlotLayout enemySlot{56, 10, 14, 20, 26, 30, 38, 42, 46, 52, u"敌军等级加成"};
// Every field after the character number lies 4 bytes earlier than in an enemy entry.
inline constexpr SlotLayout allySlot{52, 6, 10, 16, 22, 26, 34, 38, 42, 48, u"友军等级加成"};

// One ally or enemy slot ("友军出场", "敌军出场").
struct SlotForm {
    QString character;  // 人物编号
    QString levelBonus; // 等级加成
    QString x, y, facing, tendency, follow, runX, runY;
    Appearance appearance = Appearance::Neither;
    int personRow = -1; // the person list row to select, -1 for none

    static SlotForm show(const SlotLayout& layout, QByteArrayView entry);
    // On success, the character number typed when it names a character (below
    // 513), else -1: the slot's list text then stays as it was.
    Result<int> apply(const SlotLayout& layout, QByteArray& entry) const;
};

// The person list row a typed character number looks up: the number itself,
// or -1 when the list has no item for it (512 and above).
Result<int> personRowFor(const QString& field, const QString& text);

// The three items of a spoils instruction ("战利品").
struct SpoilsForm {
    std::array<QString, 3> items; // Text15..Text17, the first byte of the words at 10, 18, 26

    static SpoilsForm show(QByteArrayView instruction);
    Failure apply(QByteArray& instruction) const;
};

// An item number for the spoils list: 0..104, or -1 for none (FF FF).
int spoilsItem(QByteArrayView instruction, int index);

// One 26-byte equipment entry ("个人装备设定"). The three choices are item
// numbers (the rows of the combo boxes), or noneItem for their last row "无".
// A stored code that names no item of the list gives its item number all the
// same (104 and above), so that it is written back as it was.
struct EquipForm {
    static constexpr int noneItem = -1;
    QString character;        // Text21, word at 4
    int weapon = noneItem;    // Combo1, code at 8 = item + 2
    int armour = noneItem;    // Combo2, code at 16 = item - 36
    int accessory = noneItem; // Combo3, code at 24 = item - 51

    static EquipForm show(QByteArrayView entry);
    // On success, the character number when it names a character (up to 512), else -1.
    Result<int> apply(QByteArray& entry) const;
};

} // namespace lcj::scenario
