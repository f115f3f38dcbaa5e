#include "characterform.h"

#include "common/bytes.h"
#include "common/gbk.h"
#include "common/recordfields.h"

#include <array>

namespace lcj::data {

namespace {

constexpr int nameWidth = 12;
const QString nameCaption = QStringLiteral("姓名");
const QString troopTypeCaption = QStringLiteral("兵种");
const QString forcedJoinCaption = QStringLiteral("强行加入我军");

using F = NumberField<CharacterForm>;
const std::array<F, 12> numberFields{{
    {&CharacterForm::portrait, u"头像", 13},
    {&CharacterForm::figure, u"战场外形象", 15},
    {&CharacterForm::criticalLine, u"人物致命一击台词类型", 16},
    {&CharacterForm::force, u"武力", 18, FieldKind::HalvedByte},
    {&CharacterForm::command, u"统率", 19, FieldKind::HalvedByte},
    {&CharacterForm::intelligence, u"智力", 20, FieldKind::HalvedByte},
    {&CharacterForm::agility, u"敏捷", 21, FieldKind::HalvedByte},
    {&CharacterForm::luck, u"运气", 22, FieldKind::HalvedByte},
    {&CharacterForm::hp, u"初始HP值", 23, FieldKind::Word},
    {&CharacterForm::mp, u"初始MP值", 25},
    {&CharacterForm::level, u"等级", 27},
    {&CharacterForm::experience, u"经验", 28},
}};

struct Equipment {
    int CharacterForm::*entry;
    int offset;
    const char16_t* caption;
};
constexpr std::array<Equipment, 3> equipment{{
    {&CharacterForm::weapon, 29, u"武具"},
    {&CharacterForm::armour, 30, u"防具"},
    {&CharacterForm::auxiliary, 31, u"辅助"},
}};

} // namespace

CharacterForm CharacterForm::show(QByteArrayView record) {
    CharacterForm form;
    form.name = gbk::decodeField(record.first(nameWidth));
    showNumbers<CharacterForm>(numberFields, record, form);
    form.troopType = byteAt(record, 26);
    // Any item number past the list's end shows as "无".
    for (const auto& e : equipment)
        form.*e.entry = std::min<int>(byteAt(record, e.offset), noneEntry);
    form.forcedJoin = byteAt(record, 17) == 0 ? Qt::Checked : Qt::Unchecked;
    return form;
}

Failure CharacterForm::apply(QByteArray& record, Roundings* rounded) const {
    QByteArray staged = record;
    Roundings found;
    if (auto failure = storeText(staged, 0, nameWidth, nameCaption, name); !failure.ok())
        return failure;
    if (auto failure = applyNumbers<CharacterForm>(numberFields, *this, staged, &found);
        !failure.ok())
        return failure;
    if (troopType < 0 || troopType > 255)
        return Failure(QStringLiteral("兵种：请选择一个兵种"), QStringLiteral("兵种"));
    setByte(staged, 26, static_cast<quint8>(troopType));
    for (const auto& e : equipment) {
        const int entry = this->*e.entry;
        if (entry < 0 || entry > noneEntry)
            return Failure(QStringLiteral("装备：请选择一件道具或“无”"), QStringLiteral("装备"));
        setByte(staged, e.offset, entry == noneEntry ? 255 : static_cast<quint8>(entry));
    }
    // A greyed box leaves the byte as it was.
    if (forcedJoin != Qt::PartiallyChecked)
        setByte(staged, 17, forcedJoin == Qt::Checked ? 0 : 255);
    record = staged;
    if (rounded)
        rounded->append(found);
    return {};
}

const FormFields<CharacterForm>& CharacterForm::fields() {
    using Form = CharacterForm;
    static const FormFields<Form> all = [] {
        FormFields<Form> f{boxField(nameCaption, &Form::name, true)};
        for (auto box : {&Form::portrait, &Form::figure, &Form::force, &Form::command,
                         &Form::intelligence, &Form::agility, &Form::luck, &Form::hp, &Form::mp,
                         &Form::level, &Form::experience, &Form::criticalLine})
            f.push_back(boxField<Form>(numberFields, box));
        f.push_back(numberChoiceField(troopTypeCaption, &Form::troopType));
        for (const auto& e : equipment) {
            const QString caption = QString::fromUtf16(e.caption);
            // The stored byte, even one past the list that the window shows as "无".
            f.push_back({caption,
                         [offset = e.offset](const Form&, QByteArrayView record) {
                             return showStoredByte(record, offset);
                         },
                         [caption, entry = e.entry](Form& form, const QString& text) {
                             return takeEquipment(caption, text, noneEntry, form.*entry);
                         },
                         false, fieldKey(e.entry)});
        }
        f.push_back({forcedJoinCaption,
                     [](const Form& form, QByteArrayView) {
                         return form.forcedJoin == Qt::Checked ? QStringLiteral("1")
                                                               : QStringLiteral("0");
                     },
                     [](Form& form, const QString& text) -> Failure {
                         const auto ticked = parseFlag(forcedJoinCaption, text);
                         if (!ticked.ok())
                             return ticked.why();
                         form.forcedJoin = *ticked ? Qt::Checked : Qt::Unchecked;
                         return {};
                     },
                     false, fieldKey(&Form::forcedJoin)});
        return f;
    }();
    return all;
}

} // namespace lcj::data
