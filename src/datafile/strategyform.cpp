#include "strategyform.h"

#include "common/bytes.h"
#include "common/gbk.h"
#include "common/nametables.h"
#include "common/recordfields.h"

namespace lcj::data {

namespace {

constexpr int nameWidth = 10;
constexpr int firstLevel = 17;
const QString nameCaption = QStringLiteral("策略名称");

using F = NumberField<StrategyForm>;
const std::array<F, 3> numberFields{{
    {&StrategyForm::type, u"策略类型", 11},
    {&StrategyForm::mp, u"消耗MP", 15},
    {&StrategyForm::icon, u"图标", 16},
}};

struct ListField {
    Choice StrategyForm::*choice;
    const char16_t* label;
    int offset;
    int entries;
};
constexpr std::array<ListField, 3> listFields{{
    {&StrategyForm::target, u"施展对象", 12, StrategyForm::targets},
    {&StrategyForm::castingRange, u"施展范围", 13, StrategyForm::castingRanges},
    {&StrategyForm::effectArea, u"效果范围", 14, StrategyForm::effectAreas},
}};

} // namespace

const FormFields<StrategyForm>& StrategyForm::fields() {
    using Form = StrategyForm;
    static const FormFields<Form> all = [] {
        FormFields<Form> f{boxField(nameCaption, &Form::name, true),
                           boxField<Form>(numberFields, &Form::type)};
        for (const auto& l : listFields) {
            const QString caption = QString::fromUtf16(l.label);
            f.push_back({caption,
                         [offset = l.offset](const Form&, QByteArrayView record) {
                             return showStoredByte(record, offset);
                         },
                         [caption, l](Form& form, const QString& text) -> Failure {
                             const auto c = codeToChoice(caption, text, 0, l.entries, -1);
                             if (!c.ok())
                                 return c.why();
                             form.*l.choice = *c;
                             return {};
                         },
                         false, fieldKey(l.choice)});
        }
        f.push_back(boxField<Form>(numberFields, &Form::mp));
        f.push_back(boxField<Form>(numberFields, &Form::icon));
        for (int t = 0; t < troopTypes; ++t)
            f.push_back(boxField(levelName(t), &Form::levels, t));
        return f;
    }();
    return all;
}

StrategyForm StrategyForm::show(QByteArrayView record) {
    StrategyForm form;
    form.name = gbk::decodeField(record.first(nameWidth));
    showNumbers<StrategyForm>(numberFields, record, form);
    for (const auto& l : listFields) {
        const int code = byteAt(record, l.offset);
        form.*l.choice = code < l.entries ? Choice::entry(code) : Choice::stored(code);
    }
    for (int t = 0; t < troopTypes; ++t)
        form.levels[t] = QString::number(byteAt(record, firstLevel + t));
    return form;
}

Failure StrategyForm::apply(QByteArray& record) const {
    QByteArray staged = record;
    if (auto failure = storeText(staged, 0, nameWidth, nameCaption, name); !failure.ok())
        return failure;
    if (auto failure = applyNumbers<StrategyForm>(numberFields, *this, staged); !failure.ok())
        return failure;
    for (const auto& l : listFields) {
        const Choice& c = this->*l.choice;
        if (c.row >= 0 && c.row < l.entries)
            setByte(staged, l.offset, static_cast<quint8>(c.row));
        else if (!c.isUnlisted())
            return Failure(QStringLiteral("%1：请选择一项").arg(QString::fromUtf16(l.label)),
                           QString::fromUtf16(l.label));
    }
    for (int t = 0; t < troopTypes; ++t)
        if (auto failure =
                storeNumber(staged, firstLevel + t, FieldKind::Byte, levelName(t), levels[t]);
            !failure.ok())
            return failure;
    record = staged;
    return {};
}

QString StrategyForm::levelName(int troopType) {
    return QStringLiteral("%1学会此计策的等级").arg(names::troopTypes()[troopType]);
}

Result<QString> StrategyForm::commitLevel(int troopType, const QString& text) {
    const auto value = parseNumber(levelName(troopType), text, ruleFor(FieldKind::Byte));
    if (!value.ok())
        return value.why();
    return QString::number(*value);
}

} // namespace lcj::data
