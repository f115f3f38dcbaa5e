#include "datafile/characterform.h"
#include "datafile/datalayout.h"
#include "datafile/itemform.h"
#include "datafile/shopform.h"
#include "datafile/strategyform.h"
#include "datafile/terrainform.h"
#include "datafile/trooptypeform.h"
#include "samplegen/samplegame.h"
#include "support/formfieldscheck.h"

using namespace lcj;

namespace {

// Pairs every record of the sample with the one at the other end of its table.
template <class Form> void expectFieldTable(const data::Table& table) {
    test::expectDistinctFields<Form>();
    const QByteArray file = sample::dataFile();
    auto record = [&](int i) { return file.mid(table.recordOffset(i), table.recordSize); };
    for (int i = 0; i < table.count; ++i) {
        SCOPED_TRACE(i);
        test::expectFieldsCarry<Form>(record(i), record(table.count - 1 - i));
        test::expectOutOfRangeRefused<Form>(record(i));
    }
}

} // namespace

TEST(FormFields, EveryDataFormFieldCarriesTypedTextToItsBytes) {
    expectFieldTable<data::CharacterForm>(data::characters);
    expectFieldTable<data::ItemForm>(data::items);
    expectFieldTable<data::ShopForm>(data::shops);
    expectFieldTable<data::TroopTypeForm>(data::troopTypes);
    expectFieldTable<data::TerrainForm>(data::terrain);
    expectFieldTable<data::StrategyForm>(data::strategies);
}
