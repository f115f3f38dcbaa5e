// data.e5: every section's form on arbitrary records, and damaged files read
// through the data file and the name lists.
#include "common.h"
#include "datafile/characterform.h"
#include "datafile/datafile.h"
#include "datafile/datalayout.h"
#include "datafile/gamenames.h"
#include "datafile/itemform.h"
#include "datafile/shopform.h"
#include "datafile/strategyform.h"
#include "datafile/terrainform.h"
#include "datafile/trooptypeform.h"
#include "samplegen/samplegame.h"
#include "targets.h"

#include <QFile>

namespace lcj::fuzz {

namespace {

using namespace lcj::data;

Choice anyChoice(Input& in, int rows) {
    if (in.byte() % 4 == 0)
        return Choice::stored(in.byte());
    return Choice::entry(in.below(rows + 2) - 1);
}

Qt::CheckState anyCheck(Input& in) {
    return static_cast<Qt::CheckState>(in.byte() % 3);
}

void characterRecord(Input& in, const QByteArray& record) {
    checkFixedPoint<CharacterForm>(record);
    CharacterForm f = CharacterForm::show(record);
    QString CharacterForm::*const texts[] = {
        &CharacterForm::name,        &CharacterForm::portrait, &CharacterForm::figure,
        &CharacterForm::force,       &CharacterForm::command,  &CharacterForm::intelligence,
        &CharacterForm::agility,     &CharacterForm::luck,     &CharacterForm::hp,
        &CharacterForm::mp,          &CharacterForm::level,    &CharacterForm::experience,
        &CharacterForm::criticalLine};
    for (int n = in.below(4); n >= 0; --n) {
        switch (in.byte() % 3) {
        case 0:
            f.*texts[in.below(std::size(texts))] = in.text();
            break;
        case 1: {
            int* rows[] = {&f.troopType, &f.weapon, &f.armour, &f.auxiliary};
            *rows[in.below(4)] = in.below(300) - 2;
            break;
        }
        default:
            f.forcedJoin = anyCheck(in);
        }
    }
    checkApply(f, record);
}

void itemRecord(Input& in, const QByteArray& record) {
    checkFixedPoint<ItemForm>(record);
    ItemForm f = ItemForm::show(record);
    QString ItemForm::*const texts[] = {&ItemForm::name,        &ItemForm::price,
                                        &ItemForm::icon,        &ItemForm::ability,
                                        &ItemForm::effectValue, &ItemForm::growth};
    for (int n = in.below(4); n >= 0; --n) {
        switch (in.byte() % 3) {
        case 0:
            f.*texts[in.below(std::size(texts))] = in.text();
            break;
        case 1: {
            Choice* choices[] = {&f.equipmentKind, &f.effect, &f.consumableEffect,
                                 &f.suitableClass};
            *choices[in.below(4)] = anyChoice(in, 60);
            break;
        }
        default:
            f.category = static_cast<ItemCategory>(in.byte() % 3);
        }
    }
    checkApply(f, record);
}

void shopBlock(Input& in, const QByteArray& block) {
    checkFixedPoint<ShopForm>(block);
    ShopForm f = ShopForm::show(block);
    for (int n = in.below(20); n >= 0; --n) {
        QList<int>& list = in.flag() ? f.equipmentShop : f.itemShop;
        if (in.flag() && !list.isEmpty())
            list.removeAt(in.below(int(list.size())));
        else
            list.append(in.below(300) - 20);
    }
    checkApply(f, block);
}

void troopTypeRecord(Input& in, const QByteArray& record) {
    checkFixedPoint<TroopTypeForm>(record);
    TroopTypeForm f = TroopTypeForm::show(record);
    QString TroopTypeForm::*const texts[] = {&TroopTypeForm::movement, &TroopTypeForm::attack,
                                             &TroopTypeForm::defence,  &TroopTypeForm::spirit,
                                             &TroopTypeForm::burst,    &TroopTypeForm::morale,
                                             &TroopTypeForm::hpGrowth, &TroopTypeForm::mpGrowth};
    for (int n = in.below(4); n >= 0; --n) {
        switch (in.byte() % 3) {
        case 0:
            f.*texts[in.below(std::size(texts))] = in.text();
            break;
        case 1:
            f.attackRange = anyChoice(in, TroopTypeForm::shapes);
            break;
        default:
            f.equipment[std::size_t(in.below(18))] = anyCheck(in);
        }
    }
    checkApply(f, record);
}

void terrainRecord(Input& in, const QByteArray& record) {
    checkFixedPoint<TerrainForm>(record);
    TerrainForm f = TerrainForm::show(record);
    for (int n = in.below(4); n >= 0; --n)
        f.values[std::size_t(in.below(TerrainForm::boxes))] = in.text();
    checkApply(f, record);
}

void strategyRecord(Input& in, const QByteArray& record) {
    checkFixedPoint<StrategyForm>(record);
    StrategyForm f = StrategyForm::show(record);
    QString StrategyForm::*const texts[] = {&StrategyForm::name, &StrategyForm::type,
                                            &StrategyForm::mp, &StrategyForm::icon};
    for (int n = in.below(4); n >= 0; --n) {
        switch (in.byte() % 4) {
        case 0:
            f.*texts[in.below(std::size(texts))] = in.text();
            break;
        case 1: {
            Choice* choices[] = {&f.target, &f.castingRange, &f.effectArea};
            *choices[in.below(3)] = anyChoice(in, StrategyForm::castingRanges);
            break;
        }
        case 2: {
            const int t = in.below(StrategyForm::troopTypes);
            const auto committed = StrategyForm::commitLevel(t, in.text());
            if (committed.ok())
                f.levels[std::size_t(t)] = *committed;
            break;
        }
        default:
            f.levels[std::size_t(in.below(StrategyForm::troopTypes))] = in.text();
        }
    }
    checkApply(f, record);
}

struct Section {
    const Table& table;
    void (*run)(Input&, const QByteArray&);
};

const Section sections[] = {
    {characters, characterRecord}, {items, itemRecord},      {shops, shopBlock},
    {troopTypes, troopTypeRecord}, {terrain, terrainRecord}, {strategies, strategyRecord}};

} // namespace

int dataRecords(const std::uint8_t* data, std::size_t size) {
    Input in(data, size);
    const Section& section = sections[in.byte() % std::size(sections)];
    QByteArray record = in.bytes(section.table.recordSize);
    record.append(QByteArray(section.table.recordSize - record.size(), '\0'));
    section.run(in, record);
    return 0;
}

int dataFile(const std::uint8_t* data, std::size_t size) {
    static const QByteArray sample = sample::dataFile();
    Input in(data, size);
    std::vector<Region> hot;
    for (const Section& s : sections)
        hot.push_back({s.table.offset, s.table.end() - s.table.offset});
    QByteArray bytes = damagedFile(in, sample, hot);
    const QString path = scratchFile(QStringLiteral("data.e5"), bytes);
    DataFile file(path);
    const bool longEnough = bytes.size() >= minimumFileSize;
    for (const Section& s : sections) {
        if (s.table.nameWidth > 0) {
            const auto names = file.readNames(s.table);
            LCJ_FUZZ_CHECK(names.ok() == longEnough);
            if (names.ok())
                LCJ_FUZZ_CHECK(names->size() == s.table.count);
        }
        const int index = in.below(s.table.count);
        const auto record = file.readRecord(s.table, index);
        LCJ_FUZZ_CHECK(record.ok() == longEnough);
        if (!record.ok())
            continue;
        LCJ_FUZZ_CHECK(*record == bytes.mid(s.table.recordOffset(index), s.table.recordSize));
        s.run(in, *record);
        // A saved record is found again in place, and no other byte moves.
        QByteArray changed = *record;
        changed[in.below(s.table.recordSize)] = char(in.byte());
        LCJ_FUZZ_CHECK(file.writeRecord(s.table, index, changed).ok());
        LCJ_FUZZ_CHECK(*file.readRecord(s.table, index) == changed);
        QByteArray expected = bytes;
        expected.replace(s.table.recordOffset(index), s.table.recordSize, changed);
        QFile written(path);
        LCJ_FUZZ_CHECK(written.open(QIODevice::ReadOnly) && written.readAll() == expected);
        bytes = expected;
    }
    const auto names = names::readGameNames(path);
    LCJ_FUZZ_CHECK(names.ok() == longEnough);
    if (names.ok()) {
        LCJ_FUZZ_CHECK(names->characters.size() == 174);
        LCJ_FUZZ_CHECK(names->items.size() == 104);
    }
    return 0;
}

} // namespace lcj::fuzz
