#include "trooptypeform.h"

#include "common/bytes.h"
#include "common/nametables.h"
#include "common/numberinput.h"
#include "common/recordfields.h"

namespace lcj::data {

namespace {

constexpr int shapeByte = 1;
constexpr int firstFlag = 9;

using F = NumberField<TroopTypeForm>;
const std::array<F, 7> numberFields{{
    {&TroopTypeForm::attack, u"攻击力", 2},
    {&TroopTypeForm::defence, u"防御力", 3},
    {&TroopTypeForm::spirit, u"精神力", 4},
    {&TroopTypeForm::burst, u"爆发力", 5},
    {&TroopTypeForm::morale, u"士气", 6},
    {&TroopTypeForm::hpGrowth, u"HP增长率", 7},
    {&TroopTypeForm::mpGrowth, u"MP增长率", 8},
}};

const QString movementCaption = QStringLiteral("移动力");
const QString attackRangeCaption = QStringLiteral("攻击范围");

Result<qint64> parseMovement(const QString& text) {
    const QString& field = movementCaption;
    const auto value = parseNumber(field, text, {0, TroopTypeForm::maxMovement, Rounding::Down});
    // A whole number past 20 gets the game's own wording.
    if (!value.ok() &&
        parseNumber(field, text,
                    {TroopTypeForm::maxMovement + 1, 999'999'999'999'999LL, Rounding::Down})
            .ok())
        return Result<qint64>::failure(QStringLiteral("移动力介于0到20之间"), field);
    return value;
}

} // namespace

const FormFields<TroopTypeForm>& TroopTypeForm::fields() {
    using Form = TroopTypeForm;
    static const FormFields<Form> all = [] {
        FormFields<Form> f{boxField(movementCaption, &Form::movement)};
        f.push_back(
            {attackRangeCaption,
             [](const Form&, QByteArrayView record) { return showStoredByte(record, shapeByte); },
             [](Form& form, const QString& text) -> Failure {
                 const auto c = codeToChoice(attackRangeCaption, text, 0, shapes, -1);
                 if (!c.ok())
                     return c.why();
                 form.attackRange = *c;
                 return {};
             },
             false, fieldKey(&Form::attackRange)});
        for (const auto& n : numberFields)
            f.push_back(boxField(QString::fromUtf16(n.label), n.box));
        for (int k = 0; k < 18; ++k) {
            const QString caption = names::equipmentKinds()[k];
            f.push_back({caption,
                         [k](const Form&, QByteArrayView record) {
                             return showStoredByte(record, firstFlag + k);
                         },
                         [k, caption](Form& form, const QString& text) -> Failure {
                             const auto ticked = parseFlag(caption, text);
                             if (!ticked.ok())
                                 return ticked.why();
                             form.equipment[k] = *ticked ? Qt::Checked : Qt::Unchecked;
                             return {};
                         },
                         false, fieldKey(&Form::equipment, k)});
        }
        return f;
    }();
    return all;
}

TroopTypeForm TroopTypeForm::show(QByteArrayView record) {
    TroopTypeForm form;
    form.movement = QString::number(byteAt(record, 0));
    const int shape = byteAt(record, shapeByte);
    form.attackRange = shape < shapes ? Choice::entry(shape) : Choice::stored(shape);
    showNumbers<TroopTypeForm>(numberFields, record, form);
    for (int k = 0; k < 18; ++k) {
        const quint8 flag = storedFlag(record, k);
        form.equipment[k] = flag == 1   ? Qt::Checked
                            : flag == 0 ? Qt::Unchecked
                                        : Qt::PartiallyChecked;
    }
    return form;
}

quint8 TroopTypeForm::storedFlag(QByteArrayView record, int k) {
    return byteAt(record, firstFlag + k);
}

Failure TroopTypeForm::apply(QByteArray& record) const {
    const auto movementValue = parseMovement(movement);
    if (!movementValue.ok())
        return movementValue.why();
    QByteArray staged = record;
    if (auto failure = applyNumbers<TroopTypeForm>(numberFields, *this, staged); !failure.ok())
        return failure;
    if (attackRange.row >= 0 && attackRange.row < shapes)
        setByte(staged, shapeByte, static_cast<quint8>(attackRange.row));
    else if (!attackRange.isUnlisted())
        return Failure(QStringLiteral("%1：请选择一项").arg(attackRangeCaption),
                       attackRangeCaption);
    for (int k = 0; k < 18; ++k)
        if (equipment[k] != Qt::PartiallyChecked)
            setByte(staged, firstFlag + k, equipment[k] == Qt::Checked ? 1 : 0);
    setByte(staged, 0, static_cast<quint8>(*movementValue));
    record = staged;
    return {};
}

QString attackRangePicture(const QString& editorFolder, int shape) {
    if (shape < 0 || shape >= TroopTypeForm::shapes)
        return {};
    return QStringLiteral("%1/lcjpic/攻击范围%2.jpg").arg(editorFolder).arg(shape);
}

} // namespace lcj::data
