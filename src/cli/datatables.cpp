#include "common/bytes.h"
#include "datafile/characterform.h"
#include "tableadapter.h"

namespace lcj::cli {

namespace {

using data::CharacterForm;
using C = FormColumn<CharacterForm>;

// An equipment list's stored number: an item 0..103, or 255 for none.
C equipmentColumn(const QString& header, int CharacterForm::*entry, int offset) {
    return {
        header,
        [offset](const CharacterForm&, QByteArrayView record) {
            return QString::number(byteAt(record, offset));
        },
        [header, entry](CharacterForm& f, const QString& cell) -> Failure {
            const auto value = parseChoice(header, cell);
            if (!value)
                return value.error();
            if (*value >= CharacterForm::noneEntry && *value != 255)
                return QStringLiteral("%1：请输入0到103之间的道具序号，或255表示无").arg(header);
            f.*entry = *value == 255 ? CharacterForm::noneEntry : int(*value);
            return std::nullopt;
        }};
}

std::unique_ptr<TableAdapter> characters() {
    std::vector<C> columns{
        {QStringLiteral("姓名"), [](const CharacterForm& f, QByteArrayView) { return f.name; },
         [](CharacterForm& f, const QString& cell) -> Failure {
             f.name = cell;
             return std::nullopt;
         },
         true},
        boxColumn(QStringLiteral("头像"), &CharacterForm::portrait),
        boxColumn(QStringLiteral("战场外形象"), &CharacterForm::figure),
        boxColumn(QStringLiteral("武力"), &CharacterForm::force),
        boxColumn(QStringLiteral("统率"), &CharacterForm::command),
        boxColumn(QStringLiteral("智力"), &CharacterForm::intelligence),
        boxColumn(QStringLiteral("敏捷"), &CharacterForm::agility),
        boxColumn(QStringLiteral("运气"), &CharacterForm::luck),
        boxColumn(QStringLiteral("初始HP值"), &CharacterForm::hp),
        boxColumn(QStringLiteral("初始MP值"), &CharacterForm::mp),
        boxColumn(QStringLiteral("等级"), &CharacterForm::level),
        boxColumn(QStringLiteral("经验"), &CharacterForm::experience),
        boxColumn(QStringLiteral("人物致命一击台词类型"), &CharacterForm::criticalLine),
        {QStringLiteral("兵种"),
         [](const CharacterForm& f, QByteArrayView) { return QString::number(f.troopType); },
         [](CharacterForm& f, const QString& cell) -> Failure {
             const auto value = parseChoice(QStringLiteral("兵种"), cell);
             if (!value)
                 return value.error();
             f.troopType = int(*value);
             return std::nullopt;
         }},
        equipmentColumn(QStringLiteral("武具"), &CharacterForm::weapon, 29),
        equipmentColumn(QStringLiteral("防具"), &CharacterForm::armour, 30),
        equipmentColumn(QStringLiteral("辅助"), &CharacterForm::auxiliary, 31),
        {QStringLiteral("强行加入我军"),
         [](const CharacterForm& f, QByteArrayView) {
             return f.forcedJoin == Qt::Checked ? QStringLiteral("1") : QStringLiteral("0");
         },
         [](CharacterForm& f, const QString& cell) -> Failure {
             const auto value = parseChoice(QStringLiteral("强行加入我军"), cell, 1);
             if (!value)
                 return value.error();
             f.forcedJoin = *value == 1 ? Qt::Checked : Qt::Unchecked;
             return std::nullopt;
         }},
    };
    return std::make_unique<FormTable<CharacterForm>>(
        QStringLiteral("characters"), QStringLiteral("人物"), data::characters, std::move(columns));
}

} // namespace

Result<qint64> parseChoice(const QString& header, const QString& cell, qint64 max) {
    const auto value = parseNumber(header, cell, {0, max, Rounding::Down});
    // A choice is a whole number: "3.5" is no entry of a list.
    if (value && cell.contains(u'.'))
        return Result<qint64>::failure(rangeMessage(header, 0, max));
    return value;
}

const std::vector<std::unique_ptr<TableAdapter>>& dataTables() {
    static const std::vector<std::unique_ptr<TableAdapter>> all = [] {
        std::vector<std::unique_ptr<TableAdapter>> v;
        v.push_back(characters());
        return v;
    }();
    return all;
}

const TableAdapter* findDataTable(const QString& name) {
    for (const auto& t : dataTables())
        if (t->name() == name)
            return t.get();
    return nullptr;
}

} // namespace lcj::cli
