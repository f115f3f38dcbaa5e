#include "saveform.h"

#include "common/bytes.h"
#include "common/recordfields.h"
#include "savelayout.h"

#include <array>

namespace lcj::save {

namespace {

using F = NumberField<CharacterForm>;
const std::array<F, 22> numberFields{{
    {&CharacterForm::figure, u"形象", 0},
    {&CharacterForm::portrait, u"头像", 2},
    {&CharacterForm::attack, u"攻击", 4},
    {&CharacterForm::defence, u"防御", 5},
    {&CharacterForm::spirit, u"精神", 6},
    {&CharacterForm::burst, u"爆发", 7},
    {&CharacterForm::morale, u"士气", 8},
    {&CharacterForm::force, u"武力", 9, FieldKind::HalvedByte},
    {&CharacterForm::command, u"统率", 10, FieldKind::HalvedByte},
    {&CharacterForm::intelligence, u"智力", 11, FieldKind::HalvedByte},
    {&CharacterForm::agility, u"敏捷", 12, FieldKind::HalvedByte},
    {&CharacterForm::luck, u"运气", 13, FieldKind::HalvedByte},
    {&CharacterForm::hp, u"HP值", 14, FieldKind::Word},
    {&CharacterForm::mp, u"MP值", 16},
    {&CharacterForm::level, u"等级", 18},
    {&CharacterForm::experience, u"经验", 19},
    {&CharacterForm::weaponLevel, u"武具等级", 21},
    {&CharacterForm::weaponExperience, u"武具经验", 22},
    {&CharacterForm::armourLevel, u"防具等级", 24},
    {&CharacterForm::armourExperience, u"防具经验", 25},
    {&CharacterForm::sorties, u"出阵", 30},
    {&CharacterForm::retreats, u"撤退", 31},
}};

struct Equipment {
    int CharacterForm::*entry;
    int offset;
    const char16_t* caption;
};
constexpr std::array<Equipment, 3> equipment{{
    {&CharacterForm::weapon, weaponOffset, u"武具"},
    {&CharacterForm::armour, armourOffset, u"防具"},
    {&CharacterForm::accessory, accessoryOffset, u"辅助"},
}};
const QString troopTypeCaption = QStringLiteral("兵种");
const QString joinedCaption = QStringLiteral("强行加入我军");
const QString loyaltyCaption = QStringLiteral("忠奸度");
const QString stockCaption = QStringLiteral("数量");

constexpr int troopTypeOffset = 17;
constexpr int joinedOffset = 3;

} // namespace

CharacterForm CharacterForm::show(QByteArrayView record) {
    CharacterForm form;
    showNumbers<CharacterForm>(numberFields, record, form);
    form.troopType = byteAt(record, troopTypeOffset);
    // Any item number past the list's end shows as "无".
    for (const auto& e : equipment)
        form.*e.entry = std::min<int>(byteAt(record, e.offset), noneEntry);
    form.joined = byteAt(record, joinedOffset) == 0;
    return form;
}

Failure CharacterForm::apply(QByteArray& record, Roundings* rounded) const {
    QByteArray staged = record;
    Roundings found;
    if (auto failure = applyNumbers<CharacterForm>(numberFields, *this, staged, &found);
        !failure.ok())
        return failure;
    if (troopType < 0 || troopType > 255)
        return Failure(QStringLiteral("兵种：请选择一个兵种"), QStringLiteral("兵种"));
    setByte(staged, troopTypeOffset, static_cast<quint8>(troopType));
    for (const auto& e : equipment) {
        const int entry = this->*e.entry;
        if (entry < 0 || entry > noneEntry)
            return Failure(QStringLiteral("装备：请选择一件道具或“无”"), QStringLiteral("装备"));
        setByte(staged, e.offset, entry == noneEntry ? 255 : static_cast<quint8>(entry));
    }
    setByte(staged, joinedOffset, joined ? 0 : 255);
    record = staged;
    if (rounded)
        rounded->append(found);
    return {};
}

const FormFields<CharacterForm>& CharacterForm::fields() {
    using Form = CharacterForm;
    static const FormFields<Form> all = [] {
        FormFields<Form> f;
        // The window's grid, column by column; the level and experience boxes
        // beside an equipment list are named after it.
        for (auto box : {&Form::figure,      &Form::portrait,
                         &Form::attack,      &Form::defence,
                         &Form::spirit,      &Form::burst,
                         &Form::morale,      &Form::hp,
                         &Form::mp,          &Form::force,
                         &Form::command,     &Form::intelligence,
                         &Form::agility,     &Form::luck,
                         &Form::level,       &Form::experience,
                         &Form::sorties,     &Form::retreats,
                         &Form::weaponLevel, &Form::weaponExperience,
                         &Form::armourLevel, &Form::armourExperience})
            f.push_back(boxField<Form>(numberFields, box));
        for (const auto& e : equipment) {
            const QString caption = QString::fromUtf16(e.caption);
            f.push_back({caption,
                         [entry = e.entry](const Form& form, QByteArrayView) {
                             return showEquipment(form.*entry, noneEntry);
                         },
                         [caption, entry = e.entry](Form& form, const QString& text) {
                             return takeEquipment(caption, text, noneEntry, form.*entry);
                         },
                         false, fieldKey(e.entry)});
        }
        f.push_back(numberChoiceField(troopTypeCaption, &Form::troopType));
        f.push_back({joinedCaption,
                     [](const Form& form, QByteArrayView) {
                         return form.joined ? QStringLiteral("1") : QStringLiteral("0");
                     },
                     [](Form& form, const QString& text) -> Failure {
                         const auto ticked = parseFlag(joinedCaption, text);
                         if (!ticked.ok())
                             return ticked.why();
                         form.joined = *ticked;
                         return {};
                     },
                     false, fieldKey(&Form::joined)});
        return f;
    }();
    return all;
}

const FormFields<SaveForm>& SaveForm::fields() {
    static const FormFields<SaveForm> all{boxField(loyaltyCaption, &SaveForm::loyalty),
                                          boxField(stockCaption, &SaveForm::stock)};
    return all;
}

SaveGame::SaveGame() : regions_(saveRegions()) {}

QString SaveGame::showLoyalty() const {
    return showNumber(regions_.bytes(Loyalty), 0, FieldKind::Byte);
}

CharacterForm SaveGame::showCharacter(int character) const {
    return CharacterForm::show(QByteArrayView(regions_.bytes(Characters))
                                   .sliced(qsizetype(character) * recordSize, recordSize));
}

QString SaveGame::showStock(int consumable) const {
    return showNumber(regions_.bytes(Stock), consumable, FieldKind::Byte);
}

Failure SaveGame::confirm(const SaveForm& form, int character, int consumable, Roundings* rounded) {
    if (!loaded())
        return QStringLiteral("还没有打开存档文件");
    if (character < 0 || character >= characterCount)
        return QStringLiteral("请先在人物列表中选择一个人物");
    if (consumable < 0 || consumable >= consumableCount)
        return QStringLiteral("请先在道具列表中选择一种道具");
    QByteArray loyalty = regions_.bytes(Loyalty);
    if (auto failure = storeNumber(loyalty, 0, FieldKind::Byte, loyaltyCaption, form.loyalty);
        !failure.ok())
        return failure;
    const qsizetype at = qsizetype(character) * recordSize;
    QByteArray record = regions_.bytes(Characters).mid(at, recordSize);
    Roundings found;
    if (auto failure = form.character.apply(record, &found); !failure.ok())
        return failure;
    QByteArray stock = regions_.bytes(Stock);
    if (auto failure = storeNumber(stock, consumable, FieldKind::Byte, stockCaption, form.stock);
        !failure.ok())
        return failure;
    regions_.bytes(Loyalty) = loyalty;
    regions_.bytes(Characters).replace(at, recordSize, record);
    regions_.bytes(Stock) = stock;
    if (rounded)
        rounded->append(found);
    return {};
}

} // namespace lcj::save
