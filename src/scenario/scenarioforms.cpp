#include "scenarioforms.h"

#include "common/bytes.h"
#include "common/numberinput.h"
#include "common/recordfields.h"

namespace lcj::scenario {

namespace {

constexpr quint16 none = 0xFFFF;

QString label(const char16_t* text) {
    return QString::fromUtf16(text);
}

Result<qint64> parse(const char16_t* field, const QString& text, qint64 min, qint64 max) {
    return parseNumber(label(field), text, {min, max, Rounding::Down});
}

// A level bonus of 0 or more is stored as itself, a negative one -n as 50 + n.
quint8 levelBonusCode(qint64 v) {
    return static_cast<quint8>(v >= 0 ? v : 50 - v);
}

constexpr int lowestLevelBonus = -205; // stored as 255

} // namespace

Appearance showAppearance(QByteArrayView entry, int offset) {
    const quint16 mode = wordAt(entry, offset);
    switch (mode) {
    case 0xFFFF:
        return Appearance::Neither;
    case 0:
        return Appearance::Initial;
    case 1:
        return Appearance::Story;
    default:
        return Appearance::Kept;
    }
}

void storeAppearance(QByteArray& entry, int offset, Appearance appearance) {
    switch (appearance) {
    case Appearance::Neither:
        setWord(entry, offset, none);
        break;
    case Appearance::Initial:
        setWord(entry, offset, 0);
        break;
    case Appearance::Story:
        setWord(entry, offset, 1);
        break;
    case Appearance::Kept:
        break;
    }
}

// ---- army entry

namespace {

using ArmyField = NumberField<ArmyEntryForm>;
const std::array<ArmyField, 3> armyFields{{
    {&ArmyEntryForm::x, u"横坐标", 10},
    {&ArmyEntryForm::y, u"纵坐标", 16},
    {&ArmyEntryForm::facing, u"朝向", 22},
}};
constexpr int armyAppearanceOffset = 26;

} // namespace

ArmyEntryForm ArmyEntryForm::show(QByteArrayView entry) {
    ArmyEntryForm form;
    showNumbers<ArmyEntryForm>(armyFields, entry, form);
    form.appearance = showAppearance(entry, armyAppearanceOffset);
    return form;
}

Failure ArmyEntryForm::apply(QByteArray& entry) const {
    QByteArray staged = entry;
    if (auto failure = applyNumbers<ArmyEntryForm>(armyFields, *this, staged); !failure.ok())
        return failure;
    storeAppearance(staged, armyAppearanceOffset, appearance);
    entry = staged;
    return {};
}

// ---- R file limits

namespace {

constexpr int deployCountOffset = 6;
constexpr int forcedOffset = 12;
constexpr int restrictedOffset = 32;

QString slotLabel(const char16_t* column, int k) {
    return label(column) + QString::number(k + 1);
}

constexpr const char16_t* deployCountCaption = u"本关出场人数";
constexpr const char16_t* forcedColumn = u"强制出场人员";
constexpr const char16_t* restrictedColumn = u"限制出场人员";

} // namespace

RLimitsForm RLimitsForm::show(QByteArrayView record) {
    RLimitsForm form;
    form.deployCount = showNumber(record, deployCountOffset, FieldKind::Byte);
    for (int k = 0; k < 5; ++k) {
        form.forced[k] = showNumber(record, forcedOffset + 4 * k, FieldKind::Word);
        form.restricted[k] = showNumber(record, restrictedOffset + 4 * k, FieldKind::Word);
    }
    return form;
}

Failure RLimitsForm::apply(QByteArray& record) const {
    QByteArray staged = record;
    if (auto failure = storeNumber(staged, deployCountOffset, FieldKind::Byte,
                                   label(deployCountCaption), deployCount);
        !failure.ok())
        return failure;
    for (int k = 0; k < 5; ++k)
        if (auto failure = storeNumber(staged, forcedOffset + 4 * k, FieldKind::Word,
                                       slotLabel(forcedColumn, k), forced[k]);
            !failure.ok())
            return failure;
    for (int k = 0; k < 5; ++k)
        if (auto failure = storeNumber(staged, restrictedOffset + 4 * k, FieldKind::Word,
                                       slotLabel(restrictedColumn, k), restricted[k]);
            !failure.ok())
            return failure;
    record = staged;
    return {};
}

const FormFields<RLimitsForm>& RLimitsForm::fields() {
    static const FormFields<RLimitsForm> all = [] {
        FormFields<RLimitsForm> f{boxField(label(deployCountCaption), &RLimitsForm::deployCount)};
        for (auto [column, boxes] : {std::pair{forcedColumn, &RLimitsForm::forced},
                                     std::pair{restrictedColumn, &RLimitsForm::restricted}})
            for (int k = 0; k < 5; ++k)
                f.push_back(boxField(slotLabel(column, k), boxes, k));
        return f;
    }();
    return all;
}

QString RLimitsForm::forcedCaption() {
    return label(forcedColumn);
}

QString RLimitsForm::restrictedCaption() {
    return label(restrictedColumn);
}

// ---- battle-wide values

namespace {

constexpr int turnsOffset = 14;
constexpr int headerBonusOffset = 20;
constexpr int victoryOffset = 28;
constexpr int defeatOffset = 36;
// Character numbers from here on mean none.
constexpr qint64 firstNonCharacter = 513;

} // namespace

BattleForm BattleForm::show(QByteArrayView header) {
    BattleForm form;
    const int b = byteAt(header, headerBonusOffset);
    form.scrollValue = b < 50 ? b : 50 - b;
    form.levelBonus = QString::number(form.scrollValue);
    form.turns = QString::number(byteAt(header, turnsOffset));
    form.victory = QString::number(wordAt(header, victoryOffset));
    form.defeat = QString::number(wordAt(header, defeatOffset));
    return form;
}

Failure BattleForm::apply(QByteArray& header) const {
    const auto bonus = parse(u"全局敌兵等级加成", levelBonus, lowestLevelBonus, 255);
    if (!bonus.ok())
        return bonus.why();
    const auto turnCount = parse(u"回合数", turns, 0, 255);
    if (!turnCount.ok())
        return turnCount.why();
    const auto win = parse(u"胜利条件武将编号", victory, 0, 65535);
    if (!win.ok())
        return win.why();
    const auto lose = parse(u"失败条件武将编号", defeat, 0, 65535);
    if (!lose.ok())
        return lose.why();
    setByte(header, headerBonusOffset, levelBonusCode(*bonus));
    setByte(header, turnsOffset, static_cast<quint8>(*turnCount));
    setWord(header, victoryOffset, *win < firstNonCharacter ? quint16(*win) : none);
    setWord(header, defeatOffset, *lose < firstNonCharacter ? quint16(*lose) : none);
    return {};
}

// ---- ally and enemy slots

namespace {

constexpr int lastPersonRow = 511;

QString showSlotBonus(quint8 b) {
    if (b == 255)
        return QStringLiteral("65535");
    return QString::number(b < 51 ? int(b) : 50 - int(b));
}

} // namespace

SlotForm SlotForm::show(const SlotLayout& layout, QByteArrayView entry) {
    SlotForm form;
    const quint16 character = wordAt(entry, slotCharacterOffset);
    form.character = QString::number(character);
    form.personRow = character <= lastPersonRow ? character : -1;
    form.x = QString::number(wordAt(entry, layout.x));
    form.y = QString::number(wordAt(entry, layout.y));
    form.facing = QString::number(byteAt(entry, layout.facing));
    form.levelBonus = showSlotBonus(byteAt(entry, layout.levelBonus));
    form.tendency = QString::number(byteAt(entry, layout.tendency));
    form.follow = QString::number(wordAt(entry, layout.follow));
    form.runX = QString::number(wordAt(entry, layout.runX));
    form.runY = QString::number(wordAt(entry, layout.runY));
    form.appearance = showAppearance(entry, layout.appearance);
    return form;
}

Result<int> SlotForm::apply(const SlotLayout& layout, QByteArray& entry) const {
    struct Word {
        const QString* text;
        const char16_t* field;
        int offset;
    };
    const auto characterNumber = parse(u"人物编号", character, 0, 65535);
    if (!characterNumber.ok())
        return characterNumber.why();
    const QString bonusLabel = label(layout.levelBonusLabel);
    const auto bonus = parseNumber(bonusLabel, levelBonus, {lowestLevelBonus, 65535});
    if (!bonus.ok())
        return bonus.why();
    if (*bonus > 255 && *bonus != 65535)
        return Result<int>::failure(QStringLiteral("%1：请输入%2到255之间的整数，或65535（不加成）")
                                        .arg(bonusLabel)
                                        .arg(lowestLevelBonus),
                                    bonusLabel);
    const auto facingCode = parse(u"朝向", facing, 0, 255);
    if (!facingCode.ok())
        return facingCode.why();
    const auto tendencyCode = parse(u"行动趋向", tendency, 0, 255);
    if (!tendencyCode.ok())
        return tendencyCode.why();

    QByteArray staged = entry;
    const Word words[] = {{&x, u"横坐标", layout.x},
                          {&y, u"纵坐标", layout.y},
                          {&follow, u"跟随武将", layout.follow},
                          {&runX, u"奔向横坐标", layout.runX},
                          {&runY, u"奔向纵坐标", layout.runY}};
    for (const Word& w : words)
        if (auto failure = storeNumber(staged, w.offset, FieldKind::Word, label(w.field), *w.text);
            !failure.ok())
            return failure;

    const bool names = *characterNumber < firstNonCharacter;
    setWord(staged, slotCharacterOffset, names ? quint16(*characterNumber) : none);
    setWord(staged, layout.facing, quint16(*facingCode));
    if (*bonus == 65535)
        setWord(staged, layout.levelBonus, none);
    else
        setWord(staged, layout.levelBonus, levelBonusCode(*bonus));
    setWord(staged, layout.tendency, quint16(*tendencyCode));
    storeAppearance(staged, layout.appearance, appearance);
    entry = staged;
    return names ? int(*characterNumber) : -1;
}

Result<int> personRowFor(const QString& field, const QString& text) {
    const auto n = parseNumber(field, text, {0, 65535});
    if (!n.ok())
        return n.why();
    return *n <= lastPersonRow ? int(*n) : -1;
}

// ---- spoils

namespace {

constexpr int spoilsOffsets[3] = {10, 18, 26};
const char16_t* const spoilsLabels[3] = {u"第一战利品", u"第二战利品", u"第三战利品"};
constexpr qint64 lastSpoilsItem = 104;

} // namespace

int spoilsItem(QByteArrayView instruction, int index) {
    const int at = spoilsOffsets[index];
    if (wordAt(instruction, at) == none)
        return -1;
    return byteAt(instruction, at);
}

SpoilsForm SpoilsForm::show(QByteArrayView instruction) {
    SpoilsForm form;
    for (int i = 0; i < 3; ++i)
        form.items[i] = QString::number(byteAt(instruction, spoilsOffsets[i]));
    return form;
}

Failure SpoilsForm::apply(QByteArray& instruction) const {
    std::array<qint64, 3> values{};
    for (int i = 0; i < 3; ++i) {
        // Any number above 104 means none.
        const auto v = parse(spoilsLabels[i], items[i], 0, 999'999'999);
        if (!v.ok())
            return v.why();
        values[i] = *v;
    }
    for (int i = 0; i < 3; ++i)
        setWord(instruction, spoilsOffsets[i],
                values[i] > lastSpoilsItem ? none : quint16(values[i]));
    return {};
}

// ---- equipment

namespace {

constexpr int equipCharacterOffset = 4;
constexpr qint64 lastEquipCharacter = 512;
constexpr int weaponShift = 2;      // code = item + 2
constexpr int armourShift = -36;    // code = item - 36
constexpr int accessoryShift = -51; // code = item - 51

int itemFromCode(quint8 code, int shift) {
    return code == 255 ? EquipForm::noneItem : code - shift;
}

Result<quint16> codeFromItem(int item, int shift, const char16_t* field) {
    if (item == EquipForm::noneItem)
        return none;
    const int code = item + shift;
    if (code < 0 || code > 254)
        return Result<quint16>::failure(
            QStringLiteral("%1：第%2号物品不能作为%1，请选择第%3号以后的物品或“无”")
                .arg(label(field))
                .arg(item)
                .arg(-shift),
            label(field));
    return quint16(code);
}

} // namespace

EquipForm EquipForm::show(QByteArrayView entry) {
    EquipForm form;
    form.character = QString::number(wordAt(entry, equipCharacterOffset));
    const quint8 weaponCode = byteAt(entry, 8);
    // Weapon codes 0 and 1 stand for no weapon.
    form.weapon = weaponCode < weaponShift ? noneItem : itemFromCode(weaponCode, weaponShift);
    form.armour = itemFromCode(byteAt(entry, 16), armourShift);
    form.accessory = itemFromCode(byteAt(entry, 24), accessoryShift);
    return form;
}

Result<int> EquipForm::apply(QByteArray& entry) const {
    const auto n = parse(u"人物编号", character, 0, 65535);
    if (!n.ok())
        return n.why();
    if (*n > lastEquipCharacter) {
        // No character: only the character word changes.
        setWord(entry, equipCharacterOffset, none);
        return -1;
    }
    const auto w = codeFromItem(weapon, weaponShift, u"武具");
    if (!w.ok())
        return w.why();
    const auto a = codeFromItem(armour, armourShift, u"防具");
    if (!a.ok())
        return a.why();
    const auto c = codeFromItem(accessory, accessoryShift, u"辅助装备");
    if (!c.ok())
        return c.why();
    const quint16 words[13] = {0x48, 0x02, quint16(*n), 0x3B,   *w,   0x49, 0xFFFF,
                               0x3C, *a,   0x49,        0xFFFF, 0x3D, *c};
    for (int i = 0; i < 13; ++i)
        setWord(entry, 2 * i, words[i]);
    return int(*n);
}

} // namespace lcj::scenario
