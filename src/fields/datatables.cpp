#include "common/bytes.h"
#include "common/nametables.h"
#include "datafile/characterform.h"
#include "datafile/datanames.h"
#include "datafile/itemform.h"
#include "datafile/shopform.h"
#include "datafile/strategyform.h"
#include "datafile/terrainform.h"
#include "datafile/trooptypeform.h"
#include "datatable.h"

namespace lcj::fields {

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

// A cell for a list choice shows the stored byte, whatever the list makes of it.
template <class Form> QString storedByte(QByteArrayView record, int offset) {
    return QString::number(byteAt(record, offset));
}

// Converts a typed stored number into the entry of a list whose entry p
// stands for the code p + first, and whose optional last entry stands for 255.
Result<Choice> codeToChoice(const QString& header, const QString& cell, int first, int entries,
                            int noneEntry) {
    const auto value = parseChoice(header, cell);
    if (!value)
        return Result<Choice>::failure(value.error());
    if (noneEntry >= 0 && *value == 255)
        return Choice::entry(noneEntry);
    if (*value < first || *value >= first + entries)
        return Result<Choice>::failure(noneEntry >= 0
                                           ? QStringLiteral("%1：请输入%2到%3之间的代码，或255")
                                                 .arg(header)
                                                 .arg(first)
                                                 .arg(first + entries - 1)
                                           : QStringLiteral("%1：请输入%2到%3之间的代码")
                                                 .arg(header)
                                                 .arg(first)
                                                 .arg(first + entries - 1));
    return Choice::entry(int(*value) - first);
}

using data::ItemCategory;
using data::ItemForm;
using I = FormColumn<ItemForm>;

// An item column that one category uses; the others show it empty and refuse it.
I itemColumn(const QString& header, std::initializer_list<ItemCategory> categories,
             std::function<QString(const ItemForm&, QByteArrayView)> get,
             std::function<Failure(ItemForm&, const QString&)> set) {
    const QList<ItemCategory> uses(categories);
    return {header,
            [uses, get](const ItemForm& f, QByteArrayView r) {
                return uses.contains(f.category) ? get(f, r) : QString();
            },
            [uses, set, header](ItemForm& f, const QString& cell) -> Failure {
                if (!uses.contains(f.category))
                    return QStringLiteral("%1：这一类道具不用这一栏").arg(header);
                return set(f, cell);
            }};
}

I itemBox(const QString& header, std::initializer_list<ItemCategory> categories,
          QString ItemForm::*box) {
    return itemColumn(
        header, categories, [box](const ItemForm& f, QByteArrayView) { return f.*box; },
        [box](ItemForm& f, const QString& cell) -> Failure {
            f.*box = cell;
            return std::nullopt;
        });
}

I itemChoice(const QString& header, std::initializer_list<ItemCategory> categories,
             Choice ItemForm::*choice, int offset, int first, int entries, int noneEntry) {
    return itemColumn(
        header, categories,
        [offset](const ItemForm&, QByteArrayView r) { return storedByte<ItemForm>(r, offset); },
        [=](ItemForm& f, const QString& cell) -> Failure {
            const auto c = codeToChoice(header, cell, first, entries, noneEntry);
            if (!c)
                return c.error();
            f.*choice = *c;
            return std::nullopt;
        });
}

std::unique_ptr<TableAdapter> items() {
    constexpr auto E = ItemCategory::Equipment;
    constexpr auto A = ItemCategory::Auxiliary;
    constexpr auto K = ItemCategory::Consumable;
    std::vector<I> columns{
        itemBox(QStringLiteral("道具名称"), {E, A, K}, &ItemForm::name),
        itemChoice(QStringLiteral("武具/防具类型"), {E}, &ItemForm::equipmentKind, 17, 0, 18, -1),
        // A weapon's or armour's effect is byte 18 (255 for none); an auxiliary
        // item's effect is its kind byte.
        itemColumn(
            QStringLiteral("特殊效果"), {E, A},
            [](const ItemForm& f, QByteArrayView r) {
                return storedByte<ItemForm>(r, f.category == E ? 18 : 17);
            },
            [](ItemForm& f, const QString& cell) -> Failure {
                const auto c = codeToChoice(QStringLiteral("特殊效果"), cell, 18, 45,
                                            f.category == E ? ItemForm::noEffectEntry : -1);
                if (!c)
                    return c.error();
                // The save keeps byte 18 of a weapon or armour that has no effect;
                // say so rather than let the change vanish.
                if (f.category == E && f.effect.isUnlisted() && f.effect.code >= 63 &&
                    c->row != ItemForm::noEffectEntry)
                    return QStringLiteral("特殊效果：这件武具或防具没有特殊效果（存储值%1），"
                                          "只能改为255")
                        .arg(f.effect.code);
                if (f.category == E && f.effect.row == ItemForm::noEffectEntry &&
                    c->row != ItemForm::noEffectEntry)
                    return QStringLiteral("特殊效果：这件武具或防具没有特殊效果，不能加上");
                f.effect = *c;
                return std::nullopt;
            }),
        itemChoice(QStringLiteral("消耗类道具效果"), {K}, &ItemForm::consumableEffect, 17, 63, 14,
                   -1),
        itemBox(QStringLiteral("价值/100"), {E, A, K}, &ItemForm::price),
        itemBox(QStringLiteral("道具图标"), {E, A, K}, &ItemForm::icon),
        itemBox(QStringLiteral("武具/防具初始能力"), {E}, &ItemForm::ability),
        itemBox(QStringLiteral("特殊效果值"), {E, A, K}, &ItemForm::effectValue),
        itemBox(QStringLiteral("升级成长值"), {E}, &ItemForm::growth),
        itemChoice(QStringLiteral("适合兵种"), {A}, &ItemForm::suitableClass, 23, 0, 27,
                   ItemForm::allClassesEntry),
    };
    columns.front().text = true;
    return std::make_unique<FormTable<ItemForm>>(QStringLiteral("items"), QStringLiteral("道具"),
                                                 data::items, std::move(columns));
}

using data::ShopForm;

// A shop's items as numbers separated by blanks: "3 17 40".
FormColumn<ShopForm> shopColumn(const QString& header, QList<int> ShopForm::*shop) {
    return {header,
            [shop](const ShopForm& f, QByteArrayView) {
                QStringList numbers;
                for (int item : f.*shop)
                    numbers.append(QString::number(item));
                return numbers.join(u' ');
            },
            [shop, header](ShopForm& f, const QString& cell) -> Failure {
                QList<int> items;
                for (const QString& part : cell.split(u' ', Qt::SkipEmptyParts)) {
                    const auto item = parseChoice(header, part, 254);
                    if (!item)
                        return item.error();
                    items.append(int(*item));
                }
                f.*shop = items;
                return std::nullopt;
            },
            true};
}

std::unique_ptr<TableAdapter> shops() {
    std::vector<FormColumn<ShopForm>> columns{
        shopColumn(QStringLiteral("装备店(最多16种)"), &ShopForm::equipmentShop),
        shopColumn(QStringLiteral("道具店(最多16种)"), &ShopForm::itemShop),
    };
    return std::make_unique<FormTable<ShopForm>>(QStringLiteral("shops"), QStringLiteral("商店"),
                                                 data::shops, std::move(columns),
                                                 QStringLiteral("战役"), names::battles());
}

using data::TroopTypeForm;
using T = FormColumn<TroopTypeForm>;

std::unique_ptr<TableAdapter> troops() {
    std::vector<T> columns{
        boxColumn(QStringLiteral("移动力"), &TroopTypeForm::movement),
        {QStringLiteral("攻击范围"),
         [](const TroopTypeForm&, QByteArrayView r) { return storedByte<TroopTypeForm>(r, 1); },
         [](TroopTypeForm& f, const QString& cell) -> Failure {
             const auto c =
                 codeToChoice(QStringLiteral("攻击范围"), cell, 0, TroopTypeForm::shapes, -1);
             if (!c)
                 return c.error();
             f.attackRange = *c;
             return std::nullopt;
         }},
        boxColumn(QStringLiteral("攻击力"), &TroopTypeForm::attack),
        boxColumn(QStringLiteral("防御力"), &TroopTypeForm::defence),
        boxColumn(QStringLiteral("精神力"), &TroopTypeForm::spirit),
        boxColumn(QStringLiteral("爆发力"), &TroopTypeForm::burst),
        boxColumn(QStringLiteral("士气"), &TroopTypeForm::morale),
        boxColumn(QStringLiteral("HP增长率"), &TroopTypeForm::hpGrowth),
        boxColumn(QStringLiteral("MP增长率"), &TroopTypeForm::mpGrowth),
    };
    // One column per equipment kind: 1 can equip, 0 cannot.
    for (int k = 0; k < 18; ++k) {
        const QString header = names::equipmentKinds()[k];
        columns.push_back({header,
                           [k](const TroopTypeForm&, QByteArrayView r) {
                               return storedByte<TroopTypeForm>(r, 9 + k);
                           },
                           [k, header](TroopTypeForm& f, const QString& cell) -> Failure {
                               const auto value = parseChoice(header, cell, 1);
                               if (!value)
                                   return value.error();
                               f.equipment[k] = *value == 1 ? Qt::Checked : Qt::Unchecked;
                               return std::nullopt;
                           }});
    }
    return std::make_unique<FormTable<TroopTypeForm>>(
        QStringLiteral("troops"), QStringLiteral("兵种"), data::troopTypes, std::move(columns),
        QStringLiteral("兵种名称"), names::troopTypes());
}

using data::TerrainForm;

std::unique_ptr<TableAdapter> terrain() {
    std::vector<FormColumn<TerrainForm>> columns;
    for (int k = 0; k < TerrainForm::boxes; ++k)
        columns.push_back({TerrainForm::boxName(k),
                           [k](const TerrainForm& f, QByteArrayView) { return f.values[k]; },
                           [k](TerrainForm& f, const QString& cell) -> Failure {
                               f.values[k] = cell;
                               return std::nullopt;
                           }});
    return std::make_unique<FormTable<TerrainForm>>(
        QStringLiteral("terrain"), QStringLiteral("地形"), data::terrain, std::move(columns),
        QStringLiteral("兵种"), data::lists::terrainClasses());
}

using data::StrategyForm;
using S = FormColumn<StrategyForm>;

S strategyChoice(const QString& header, Choice StrategyForm::*choice, int offset, int entries) {
    return {header,
            [offset](const StrategyForm&, QByteArrayView r) {
                return storedByte<StrategyForm>(r, offset);
            },
            [=](StrategyForm& f, const QString& cell) -> Failure {
                const auto c = codeToChoice(header, cell, 0, entries, -1);
                if (!c)
                    return c.error();
                f.*choice = *c;
                return std::nullopt;
            }};
}

std::unique_ptr<TableAdapter> strategies() {
    std::vector<S> columns{
        boxColumn(QStringLiteral("策略名称"), &StrategyForm::name),
        boxColumn(QStringLiteral("策略类型"), &StrategyForm::type),
        strategyChoice(QStringLiteral("施展对象"), &StrategyForm::target, 12,
                       StrategyForm::targets),
        strategyChoice(QStringLiteral("施展范围"), &StrategyForm::castingRange, 13,
                       StrategyForm::castingRanges),
        strategyChoice(QStringLiteral("效果范围"), &StrategyForm::effectArea, 14,
                       StrategyForm::effectAreas),
        boxColumn(QStringLiteral("消耗MP"), &StrategyForm::mp),
        boxColumn(QStringLiteral("图标"), &StrategyForm::icon),
    };
    columns.front().text = true;
    for (int t = 0; t < StrategyForm::troopTypes; ++t)
        columns.push_back({StrategyForm::levelName(t),
                           [t](const StrategyForm& f, QByteArrayView) { return f.levels[t]; },
                           [t](StrategyForm& f, const QString& cell) -> Failure {
                               f.levels[t] = cell;
                               return std::nullopt;
                           }});
    return std::make_unique<FormTable<StrategyForm>>(
        QStringLiteral("strategies"), QStringLiteral("策略"), data::strategies, std::move(columns));
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
        v.push_back(items());
        v.push_back(shops());
        v.push_back(troops());
        v.push_back(terrain());
        v.push_back(strategies());
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

} // namespace lcj::fields
