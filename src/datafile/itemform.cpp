#include "itemform.h"

#include "common/bytes.h"
#include "common/gbk.h"
#include "common/recordfields.h"

#include <array>

namespace lcj::data {

namespace {

constexpr int nameWidth = 16;
constexpr int kindByte = 17;
constexpr int effectByte = 18;
constexpr int suitableByte = 23;
constexpr int firstAuxiliary = 18;
constexpr int firstConsumable = 63;
constexpr int equipmentKinds = 18;
constexpr int specialEffects = 45;
constexpr int consumableEffects = 14;
constexpr int troopClasses = 27;

using F = NumberField<ItemForm>;
const std::array<F, 2> commonFields{{
    {&ItemForm::price, u"价值/100", 19},
    {&ItemForm::icon, u"道具图标", 20},
}};
const std::array<F, 3> equipmentFields{{
    {&ItemForm::ability, u"武具/防具初始能力", 21},
    {&ItemForm::effectValue, u"特殊效果值", 22},
    {&ItemForm::growth, u"升级成长值", 23},
}};
const std::array<F, 1> effectValueField{{
    {&ItemForm::effectValue, u"特殊效果值", 21},
}};

QString pickMessage(const char16_t* field) {
    return QStringLiteral("%1：请选择一项").arg(QString::fromUtf16(field));
}

} // namespace

ItemCategory itemCategory(quint8 kind) {
    if (kind < firstAuxiliary)
        return ItemCategory::Equipment;
    if (kind < firstConsumable)
        return ItemCategory::Auxiliary;
    return ItemCategory::Consumable;
}

ItemForm ItemForm::show(QByteArrayView record) {
    ItemForm form;
    form.name = gbk::decodeField(record.first(nameWidth));
    showNumbers<ItemForm>(commonFields, record, form);
    const quint8 kind = byteAt(record, kindByte);
    form.category = itemCategory(kind);
    switch (form.category) {
    case ItemCategory::Equipment: {
        form.caption = QStringLiteral("道具类型: 武具或防具");
        form.equipmentKind = Choice::entry(kind);
        showNumbers<ItemForm>(equipmentFields, record, form);
        const quint8 effect = byteAt(record, effectByte);
        if (effect == 255)
            form.effect = Choice::entry(noEffectEntry);
        else if (effect >= firstAuxiliary && effect < firstConsumable)
            form.effect = Choice::entry(effect - firstAuxiliary);
        else
            form.effect = Choice::stored(effect);
        break;
    }
    case ItemCategory::Auxiliary: {
        form.caption = QStringLiteral("道具类型: 辅助装备");
        form.effect = Choice::entry(kind - firstAuxiliary);
        showNumbers<ItemForm>(effectValueField, record, form);
        const quint8 suitable = byteAt(record, suitableByte);
        if (suitable == 255)
            form.suitableClass = Choice::entry(allClassesEntry);
        else if (suitable < troopClasses)
            form.suitableClass = Choice::entry(suitable);
        else
            form.suitableClass = Choice::stored(suitable);
        break;
    }
    case ItemCategory::Consumable:
        form.caption = QStringLiteral("道具类型: 消耗类道具");
        form.consumableEffect = kind - firstConsumable < consumableEffects
                                    ? Choice::entry(kind - firstConsumable)
                                    : Choice::stored(kind);
        showNumbers<ItemForm>(effectValueField, record, form);
        break;
    }
    return form;
}

Failure ItemForm::apply(QByteArray& record) const {
    QByteArray staged = record;
    if (auto failure = storeText(staged, 0, nameWidth, QStringLiteral("道具名称"), name))
        return failure;
    if (auto failure = applyNumbers<ItemForm>(commonFields, *this, staged))
        return failure;
    // The category is the one read; the lists only move the item within it.
    switch (itemCategory(byteAt(record, kindByte))) {
    case ItemCategory::Equipment:
        if (auto failure = applyNumbers<ItemForm>(equipmentFields, *this, staged))
            return failure;
        if (equipmentKind.row >= 0 && equipmentKind.row < equipmentKinds)
            setByte(staged, kindByte, static_cast<quint8>(equipmentKind.row));
        else if (!equipmentKind.isUnlisted())
            return pickMessage(u"武具/防具类型");
        if (effect.row == noEffectEntry)
            setByte(staged, effectByte, 255);
        else if (effect.row >= 0 && effect.row < specialEffects) {
            // An effect is stored only over an effect code; "no effect" (255)
            // and codes past the list stay as they were.
            if (byteAt(record, effectByte) < firstConsumable)
                setByte(staged, effectByte, static_cast<quint8>(effect.row + firstAuxiliary));
        } else if (!effect.isUnlisted())
            return pickMessage(u"特殊效果");
        break;
    case ItemCategory::Auxiliary:
        if (auto failure = applyNumbers<ItemForm>(effectValueField, *this, staged))
            return failure;
        if (effect.row == noEffectEntry)
            return QStringLiteral("特殊效果：辅助装备必须有一种特殊效果，不能选“无”");
        if (effect.row >= 0 && effect.row < specialEffects)
            setByte(staged, kindByte, static_cast<quint8>(effect.row + firstAuxiliary));
        else if (!effect.isUnlisted())
            return pickMessage(u"特殊效果");
        if (suitableClass.row == allClassesEntry)
            setByte(staged, suitableByte, 255);
        else if (suitableClass.row >= 0 && suitableClass.row < troopClasses)
            setByte(staged, suitableByte, static_cast<quint8>(suitableClass.row));
        else if (!suitableClass.isUnlisted())
            return pickMessage(u"适合兵种");
        break;
    case ItemCategory::Consumable:
        if (auto failure = applyNumbers<ItemForm>(effectValueField, *this, staged))
            return failure;
        if (consumableEffect.row >= 0 && consumableEffect.row < consumableEffects)
            setByte(staged, kindByte, static_cast<quint8>(consumableEffect.row + firstConsumable));
        else if (!consumableEffect.isUnlisted())
            return pickMessage(u"消耗类道具效果");
        break;
    }
    record = staged;
    return std::nullopt;
}

} // namespace lcj::data
