#include "trooptypeform.h"

#include "common/bytes.h"
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

Result<qint64> parseMovement(const QString& text) {
    const QString field = QStringLiteral("移动力");
    const auto value = parseNumber(field, text, {0, TroopTypeForm::maxMovement, Rounding::Down});
    // A whole number past 20 gets the game's own wording.
    if (!value &&
        parseNumber(field, text,
                    {TroopTypeForm::maxMovement + 1, 999'999'999'999'999LL, Rounding::Down}))
        return Result<qint64>::failure(QStringLiteral("移动力介于0到20之间"));
    return value;
}

} // namespace

TroopTypeForm TroopTypeForm::show(QByteArrayView record) {
    TroopTypeForm form;
    form.movement = QString::number(byteAt(record, 0));
    const int shape = byteAt(record, shapeByte);
    form.attackRange = shape < shapes ? Choice::entry(shape) : Choice::stored(shape);
    showNumbers<TroopTypeForm>(numberFields, record, form);
    for (int k = 0; k < 18; ++k) {
        const quint8 flag = byteAt(record, firstFlag + k);
        form.equipment[k] = flag == 1   ? Qt::Checked
                            : flag == 0 ? Qt::Unchecked
                                        : Qt::PartiallyChecked;
    }
    return form;
}

Failure TroopTypeForm::apply(QByteArray& record) const {
    const auto movementValue = parseMovement(movement);
    if (!movementValue)
        return movementValue.error();
    QByteArray staged = record;
    if (auto failure = applyNumbers<TroopTypeForm>(numberFields, *this, staged))
        return failure;
    if (attackRange.row >= 0 && attackRange.row < shapes)
        setByte(staged, shapeByte, static_cast<quint8>(attackRange.row));
    else if (!attackRange.isUnlisted())
        return QStringLiteral("攻击范围：请选择一项");
    for (int k = 0; k < 18; ++k)
        if (equipment[k] != Qt::PartiallyChecked)
            setByte(staged, firstFlag + k, equipment[k] == Qt::Checked ? 1 : 0);
    setByte(staged, 0, static_cast<quint8>(*movementValue));
    record = staged;
    return std::nullopt;
}

QString attackRangePicture(const QString& editorFolder, int shape) {
    if (shape < 0 || shape >= TroopTypeForm::shapes)
        return {};
    return QStringLiteral("%1/lcjpic/攻击范围%2.jpg").arg(editorFolder).arg(shape);
}

} // namespace lcj::data
