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

const std::vector<std::unique_ptr<TableAdapter>>& dataTables() {
    static const std::vector<std::unique_ptr<TableAdapter>> all = [] {
        std::vector<std::unique_ptr<TableAdapter>> v;
        v.push_back(std::make_unique<FormTable<data::CharacterForm>>(
            QStringLiteral("characters"), QStringLiteral("人物"), data::characters));
        v.push_back(std::make_unique<FormTable<data::ItemForm>>(
            QStringLiteral("items"), QStringLiteral("道具"), data::items));
        v.push_back(std::make_unique<FormTable<data::ShopForm>>(
            QStringLiteral("shops"), QStringLiteral("商店"), data::shops, QStringLiteral("战役"),
            names::battles()));
        v.push_back(std::make_unique<FormTable<data::TroopTypeForm>>(
            QStringLiteral("troops"), QStringLiteral("兵种"), data::troopTypes,
            QStringLiteral("兵种名称"), names::troopTypes()));
        v.push_back(std::make_unique<FormTable<data::TerrainForm>>(
            QStringLiteral("terrain"), QStringLiteral("地形"), data::terrain,
            QStringLiteral("兵种"), data::lists::terrainClasses()));
        v.push_back(std::make_unique<FormTable<data::StrategyForm>>(
            QStringLiteral("strategies"), QStringLiteral("策略"), data::strategies));
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
