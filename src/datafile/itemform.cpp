#include "itemform.h"

#include "common/bytes.h"
#include "common/gbk.h"
#include "common/recordfields.h"

#include <QList>
#include <array>

namespace lcj::data {

namespace {

constexpr int nameWidth = 16;
constexpr int kindByte = 17;
constexpr int effectByte = 18;
constexpr int suitableByte = 23;
constexpr int firstAuxiliary = ItemForm::firstEffectCode;
constexpr int firstConsumable = ItemForm::firstConsumableCode;
constexpr int equipmentKinds = 18;
constexpr int specialEffects = 45;
constexpr int consumableEffects = 14;
constexpr int troopClasses = 27;

const QString nameCaption = QStringLiteral("道具名称");
constexpr const char16_t* effectValueCaption = u"特殊效果值";
constexpr const char16_t* kindCaption = u"武具/防具类型";
constexpr const char16_t* effectCaption = u"特殊效果";
constexpr const char16_t* consumableCaption = u"消耗类道具效果";
constexpr const char16_t* suitableCaption = u"适合兵种";

using F = NumberField<ItemForm>;
const std::array<F, 2> commonFields{{
    {&ItemForm::price, u"价值/100", 19},
    {&ItemForm::icon, u"道具图标", 20},
}};
const std::array<F, 3> equipmentFields{{
    {&ItemForm::ability, u"武具/防具初始能力", 21},
    {&ItemForm::effectValue, effectValueCaption, 22},
    {&ItemForm::growth, u"升级成长值", 23},
}};
const std::array<F, 1> effectValueField{{
    {&ItemForm::effectValue, effectValueCaption, 21},
}};

Failure pickMessage(const char16_t* field) {
    const QString caption = QString::fromUtf16(field);
    return Failure(QStringLiteral("%1：请选择一项").arg(caption), caption);
}

using Categories = QList<ItemCategory>;
constexpr auto E = ItemCategory::Equipment;
constexpr auto A = ItemCategory::Auxiliary;
constexpr auto K = ItemCategory::Consumable;

// A field that only some categories use; the others show it empty and refuse it.
FormField<ItemForm> usedBy(const Categories& uses, FormField<ItemForm> field) {
    const auto show = field.show;
    const auto take = field.take;
    field.show = [uses, show](const ItemForm& f, QByteArrayView record) {
        return uses.contains(f.category) ? show(f, record) : QString();
    };
    field.take = [uses, take, caption = field.caption](ItemForm& f, const QString& text) {
        if (!uses.contains(f.category))
            return Failure(QStringLiteral("%1：这一类道具不用这一栏").arg(caption), caption);
        return take(f, text);
    };
    return field;
}

FormField<ItemForm> box(const Categories& uses, QString ItemForm::*box) {
    return usedBy(uses, boxField<ItemForm>(commonFields, box));
}

// A list typed as its stored code at `offset`: entry p is code p + first.
FormField<ItemForm> list(const Categories& uses, const char16_t* label, Choice ItemForm::*choice,
                         int offset, int first, int entries, int noneEntry) {
    const QString caption = QString::fromUtf16(label);
    return usedBy(uses, {caption,
                         [offset](const ItemForm&, QByteArrayView record) {
                             return showStoredByte(record, offset);
                         },
                         [=](ItemForm& f, const QString& text) -> Failure {
                             const auto c = codeToChoice(caption, text, first, entries, noneEntry);
                             if (!c.ok())
                                 return c.why();
                             f.*choice = *c;
                             return {};
                         },
                         false, fieldKey(choice)});
}

// A weapon's or armour's effect is byte 18 (255 for none); an auxiliary item's
// effect is its kind byte.
Failure takeEffect(ItemForm& f, const QString& text) {
    const QString caption = QString::fromUtf16(effectCaption);
    const auto c = codeToChoice(caption, text, firstAuxiliary, specialEffects,
                                f.category == E ? ItemForm::noEffectEntry : -1);
    if (!c.ok())
        return c.why();
    // A save keeps byte 18 of a weapon or armour that has no effect; say so
    // rather than let the change vanish.
    if (f.category == E && f.effect.isUnlisted() && f.effect.code >= firstConsumable &&
        c->row != ItemForm::noEffectEntry)
        return Failure(QStringLiteral("特殊效果：这件武具或防具没有特殊效果（存储值%1），"
                                      "只能改为255")
                           .arg(f.effect.code),
                       QStringLiteral("特殊效果"));
    if (f.category == E && f.effect.row == ItemForm::noEffectEntry &&
        c->row != ItemForm::noEffectEntry)
        return Failure(QStringLiteral("特殊效果：这件武具或防具没有特殊效果，不能加上"),
                       QStringLiteral("特殊效果"));
    f.effect = *c;
    return {};
}

} // namespace

const FormFields<ItemForm>& ItemForm::fields() {
    static const FormFields<ItemForm> all{
        usedBy({E, A, K}, boxField(nameCaption, &ItemForm::name, true)),
        list({E}, kindCaption, &ItemForm::equipmentKind, kindByte, 0, equipmentKinds, -1),
        usedBy({E, A}, {QString::fromUtf16(effectCaption),
                        [](const ItemForm& f, QByteArrayView record) {
                            return showStoredByte(record, f.category == E ? effectByte : kindByte);
                        },
                        takeEffect, false, fieldKey(&ItemForm::effect)}),
        list({K}, consumableCaption, &ItemForm::consumableEffect, kindByte, firstConsumable,
             consumableEffects, -1),
        box({E, A, K}, &ItemForm::price),
        box({E, A, K}, &ItemForm::icon),
        usedBy({E}, boxField<ItemForm>(equipmentFields, &ItemForm::ability)),
        usedBy({E, A, K}, boxField<ItemForm>(effectValueField, &ItemForm::effectValue)),
        usedBy({E}, boxField<ItemForm>(equipmentFields, &ItemForm::growth)),
        list({A}, suitableCaption, &ItemForm::suitableClass, suitableByte, 0, troopClasses,
             allClassesEntry),
    };
    return all;
}

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
    if (auto failure = storeText(staged, 0, nameWidth, nameCaption, name); !failure.ok())
        return failure;
    if (auto failure = applyNumbers<ItemForm>(commonFields, *this, staged); !failure.ok())
        return failure;
    // The category is the one read; the lists only move the item within it.
    switch (itemCategory(byteAt(record, kindByte))) {
    case ItemCategory::Equipment:
        if (auto failure = applyNumbers<ItemForm>(equipmentFields, *this, staged); !failure.ok())
            return failure;
        if (equipmentKind.row >= 0 && equipmentKind.row < equipmentKinds)
            setByte(staged, kindByte, static_cast<quint8>(equipmentKind.row));
        else if (!equipmentKind.isUnlisted())
            return pickMessage(kindCaption);
        if (effect.row == noEffectEntry)
            setByte(staged, effectByte, 255);
        else if (effect.row >= 0 && effect.row < specialEffects) {
            // An effect is stored only over an effect code; "no effect" (255)
            // and codes past the list stay as they were.
            if (byteAt(record, effectByte) < firstConsumable)
                setByte(staged, effectByte, static_cast<quint8>(effect.row + firstAuxiliary));
        } else if (!effect.isUnlisted())
            return pickMessage(effectCaption);
        break;
    case ItemCategory::Auxiliary:
        if (auto failure = applyNumbers<ItemForm>(effectValueField, *this, staged); !failure.ok())
            return failure;
        if (effect.row == noEffectEntry)
            return Failure(QStringLiteral("特殊效果：辅助装备必须有一种特殊效果，不能选“无”"),
                           QStringLiteral("特殊效果"));
        if (effect.row >= 0 && effect.row < specialEffects)
            setByte(staged, kindByte, static_cast<quint8>(effect.row + firstAuxiliary));
        else if (!effect.isUnlisted())
            return pickMessage(effectCaption);
        if (suitableClass.row == allClassesEntry)
            setByte(staged, suitableByte, 255);
        else if (suitableClass.row >= 0 && suitableClass.row < troopClasses)
            setByte(staged, suitableByte, static_cast<quint8>(suitableClass.row));
        else if (!suitableClass.isUnlisted())
            return pickMessage(suitableCaption);
        break;
    case ItemCategory::Consumable:
        if (auto failure = applyNumbers<ItemForm>(effectValueField, *this, staged); !failure.ok())
            return failure;
        if (consumableEffect.row >= 0 && consumableEffect.row < consumableEffects)
            setByte(staged, kindByte, static_cast<quint8>(consumableEffect.row + firstConsumable));
        else if (!consumableEffect.isUnlisted())
            return pickMessage(consumableCaption);
        break;
    }
    record = staged;
    return {};
}

} // namespace lcj::data
