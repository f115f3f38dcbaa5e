#include "common/gbk.h"
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

QList<Entry> listEntries(const QStringList& texts, int first, int noneEntry) {
    QList<Entry> out;
    out.reserve(texts.size());
    for (qsizetype p = 0; p < texts.size(); ++p)
        out.append({texts[p], QString::number(p == noneEntry ? 255 : first + p)});
    return out;
}

namespace {

using Editor = Column::Editor;

// A fixed list of the window, the same for every file.
std::function<QList<Entry>(QByteArrayView)> fixedList(const QStringList& texts, int first = 0,
                                                      int noneEntry = -1) {
    const QList<Entry> entries = listEntries(texts, first, noneEntry);
    return [entries](QByteArrayView) { return entries; };
}

// An equipment list of the character section: the file's own item names, then "无".
QList<Entry> equipmentEntries(QByteArrayView file) {
    const data::Table& t = data::items;
    QStringList texts;
    texts.reserve(t.count + 1);
    for (int i = 0; i < t.count; ++i)
        texts.append(gbk::decodeField(file.sliced(t.recordOffset(i), t.nameWidth)));
    texts.append(QStringLiteral("无"));
    return listEntries(texts, 0, data::CharacterForm::noneEntry);
}

std::vector<FieldEditor> characterEditors() {
    using F = data::CharacterForm;
    return {
        {fieldKey(&F::troopType), Editor::List, fixedList(names::troopTypes())},
        {fieldKey(&F::weapon), Editor::List, equipmentEntries},
        {fieldKey(&F::armour), Editor::List, equipmentEntries},
        {fieldKey(&F::auxiliary), Editor::List, equipmentEntries},
        {fieldKey(&F::forcedJoin), Editor::Flag},
    };
}

std::vector<FieldEditor> itemEditors() {
    using F = data::ItemForm;
    return {
        {fieldKey(&F::equipmentKind), Editor::List, fixedList(names::equipmentKinds())},
        {fieldKey(&F::effect), Editor::List,
         fixedList(data::lists::specialEffects(), F::firstEffectCode, F::noEffectEntry)},
        {fieldKey(&F::consumableEffect), Editor::List,
         fixedList(data::lists::consumableEffects(), F::firstConsumableCode)},
        {fieldKey(&F::suitableClass), Editor::List,
         fixedList(data::lists::suitableClasses(), 0, F::allClassesEntry)},
    };
}

std::vector<FieldEditor> troopTypeEditors() {
    using F = data::TroopTypeForm;
    std::vector<FieldEditor> v{
        {fieldKey(&F::attackRange), Editor::List, fixedList(data::lists::attackRanges())}};
    for (int k = 0; k < int(F{}.equipment.size()); ++k)
        v.push_back({fieldKey(&F::equipment, k), Editor::Flag});
    return v;
}

std::vector<FieldEditor> strategyEditors() {
    using F = data::StrategyForm;
    return {
        {fieldKey(&F::target), Editor::List, fixedList(data::lists::strategyTargets())},
        {fieldKey(&F::castingRange), Editor::List, fixedList(data::lists::castingRanges())},
        {fieldKey(&F::effectArea), Editor::List, fixedList(data::lists::effectAreas())},
    };
}

} // namespace

const std::vector<std::unique_ptr<TableAdapter>>& dataTables() {
    static const std::vector<std::unique_ptr<TableAdapter>> all = [] {
        std::vector<std::unique_ptr<TableAdapter>> v;
        v.push_back(std::make_unique<FormTable<data::CharacterForm>>(
            QStringLiteral("characters"), QStringLiteral("人物"), data::characters, QString(),
            QStringList(), characterEditors()));
        v.push_back(std::make_unique<FormTable<data::ItemForm>>(
            QStringLiteral("items"), QStringLiteral("道具"), data::items, QString(), QStringList(),
            itemEditors()));
        v.push_back(std::make_unique<FormTable<data::ShopForm>>(
            QStringLiteral("shops"), QStringLiteral("商店"), data::shops, QStringLiteral("战役"),
            names::battles()));
        v.push_back(std::make_unique<FormTable<data::TroopTypeForm>>(
            QStringLiteral("troops"), QStringLiteral("兵种"), data::troopTypes,
            QStringLiteral("兵种名称"), names::troopTypes(), troopTypeEditors()));
        v.push_back(std::make_unique<FormTable<data::TerrainForm>>(
            QStringLiteral("terrain"), QStringLiteral("地形"), data::terrain,
            QStringLiteral("兵种"), data::lists::terrainClasses()));
        v.push_back(std::make_unique<FormTable<data::StrategyForm>>(
            QStringLiteral("strategies"), QStringLiteral("策略"), data::strategies, QString(),
            QStringList(), strategyEditors()));
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
