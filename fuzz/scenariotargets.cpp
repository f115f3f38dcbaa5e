// A scenario of any bytes: scanned, edited as the frames edit it, saved by the
// save builder and read back; the R file's record search and form.
#include "common.h"
#include "samplegen/samplegame.h"
#include "scenario/rfile.h"
#include "scenario/savebuilder.h"
#include "scenario/scenariodocument.h"
#include "scenario/scenarioforms.h"
#include "targets.h"

namespace lcj::fuzz {

using namespace lcj::scenario;

namespace {

constexpr std::size_t editBytes = 32;

void edit(Input& in, ScenarioDocument& doc) {
    switch (in.byte() % 6) {
    case 0:
        doc.appendArmyEntry();
        break;
    case 1:
        if (doc.armyEntryCount() > 0) {
            const int i = in.below(doc.armyEntryCount());
            ArmyEntryForm form = ArmyEntryForm::show(doc.armyEntry(i));
            (in.flag() ? form.x : form.y) = in.text();
            (void)doc.applyArmyEntry(i, form);
        }
        break;
    case 2: {
        const Side side = in.flag() ? Side::Ally : Side::Enemy;
        if (!doc.scan().hasBattleHeader)
            break;
        const int slot = in.below(ScenarioDocument::slotCount(side));
        SlotForm form = doc.showSlot(side, slot);
        QString* texts[] = {&form.character, &form.levelBonus, &form.x, &form.runY};
        *texts[in.below(4)] = in.text();
        (void)doc.applySlot(side, slot, form);
        break;
    }
    case 3:
        if (doc.scan().hasBattleHeader) {
            BattleForm form = doc.showBattle();
            (in.flag() ? form.turns : form.levelBonus) = in.text();
            (void)doc.applyBattle(form);
        }
        break;
    case 4:
        if (doc.spoilsCount() > 0) {
            const int i = in.below(doc.spoilsCount());
            SpoilsForm form = SpoilsForm::show(doc.spoilsInstruction(i));
            form.items[std::size_t(in.below(3))] = in.text();
            (void)doc.applySpoils(i, form);
        }
        break;
    default:
        if (doc.equipmentEditable()) {
            const int i = in.below(100);
            EquipForm form = EquipForm::show(doc.equipEntry(i));
            form.character = in.text();
            form.weapon = in.below(110) - 1;
            (void)doc.applyEquipEntry(i, form);
        }
    }
}

// The scan tested at every position, one byte at a time: what the scan,
// which jumps between candidate bytes, must find.
void checkAgainstEveryPosition(const QByteArray& file, const ScenarioDocument& doc) {
    const auto* b = reinterpret_cast<const uchar*>(file.constData());
    const qint64 length = file.size();
    QList<qint64> spoils;
    qint64 header = -1;
    for (qint64 i = 0; i + 9 <= length; ++i) {
        if (b[i] == 0x59 && b[i + 2] == 0x04 && b[i + 8] == 0x17 && i + 28 <= length)
            spoils << i;
        if (b[i] == 0x44 && b[i + 2] == 0x45 && i + 5590 <= length) {
            const int army = b[i + 5588] | b[i + 5589] << 8;
            if (army >= 2 && (army - 2) % 28 == 0 && (army - 2) / 28 <= 15 &&
                i + 5588 + army <= length)
                header = i;
        }
    }
    LCJ_FUZZ_CHECK(doc.scan().spoilsPositions == spoils);
    LCJ_FUZZ_CHECK(doc.scan().hasBattleHeader == (header >= 0));
    LCJ_FUZZ_CHECK(doc.scan().battleHeaderPos == header);
}

} // namespace

int scenarioFile(const std::uint8_t* data, std::size_t size) {
    Input in(data, size);
    const QByteArray edits = in.take(editBytes);
    const QByteArray file = in.rest();
    ScenarioDocument doc = ScenarioDocument::scan(file);
    LCJ_FUZZ_CHECK(doc.bytes() == file);
    checkAgainstEveryPosition(file, doc);
    Input e(reinterpret_cast<const std::uint8_t*>(edits.constData()), std::size_t(edits.size()));
    while (!e.empty())
        edit(e, doc);
    const auto built = buildSave(doc);
    if (!built.ok())
        return 0;
    // What the save writes is what a load finds: the same length, entries and slots.
    LCJ_FUZZ_CHECK(built->bytes.size() == doc.bytes().size() + built->insertedCount);
    const ScenarioDocument reread = ScenarioDocument::scan(built->bytes);
    LCJ_FUZZ_CHECK(reread.scan().hasBattleHeader == doc.scan().hasBattleHeader);
    LCJ_FUZZ_CHECK(reread.scan().armySlotCount == built->scanned.scan().armySlotCount);
    LCJ_FUZZ_CHECK(reread.scan().equipEntryCount == built->scanned.scan().equipEntryCount);
    if (doc.scan().armyBlockReadable) {
        LCJ_FUZZ_CHECK(reread.armyEntryCount() == doc.armyEntryCount());
        for (int i = 0; i < doc.armyEntryCount(); ++i)
            LCJ_FUZZ_CHECK(reread.armyEntry(i) == doc.armyEntry(i));
    }
    if (doc.scan().hasBattleHeader)
        for (Side side : {Side::Ally, Side::Enemy})
            for (int s = 0; s < ScenarioDocument::slotCount(side); ++s)
                LCJ_FUZZ_CHECK(reread.slotCharacter(side, s) == doc.slotCharacter(side, s));
    // The group as loaded while untouched, else the entries that name a character.
    if (doc.equipmentEditable()) {
        const QByteArray entries = doc.equipEntriesToWrite();
        LCJ_FUZZ_CHECK(qint64(reread.scan().equipEntryCount) * 26 == entries.size());
        LCJ_FUZZ_CHECK(reread.equipBytes().left(entries.size()) == entries);
    }
    return 0;
}

int rFile(const std::uint8_t* data, std::size_t size) {
    Input in(data, size);
    const QByteArray edits = in.take(8);
    const QByteArray bytes = in.rest();
    const qint64 at = RFile::findRecord(bytes);
    // No record (-1), or a whole record inside the file.
    LCJ_FUZZ_CHECK(at == -1 || (at >= 0 && at + RFile::recordSize <= bytes.size()));
    if (at < 0)
        return 0;
    QByteArray record = bytes.mid(at, RFile::recordSize);
    RLimitsForm form = RLimitsForm::show(record);
    Input e(reinterpret_cast<const std::uint8_t*>(edits.constData()), std::size_t(edits.size()));
    form.forced[std::size_t(e.below(5))] = e.text();
    QByteArray edited = record;
    if (!form.apply(edited).ok())
        LCJ_FUZZ_CHECK(edited == record);
    else
        checkFixedPoint<RLimitsForm>(edited);
    return 0;
}

} // namespace lcj::fuzz
