// The region editors' files: a damaged save game, program file and message
// file read, shown, changed in memory, written and read back.
#include "common.h"
#include "messages/imsglayout.h"
#include "messages/messagefile.h"
#include "programfile/programfile.h"
#include "samplegen/samplegame.h"
#include "savefile/saveform.h"
#include "savefile/savelayout.h"
#include "targets.h"

#include <QFile>

namespace lcj::fuzz {

namespace {

QByteArray onDisk(const QString& path) {
    QFile file(path);
    LCJ_FUZZ_CHECK(file.open(QIODevice::ReadOnly));
    return file.readAll();
}

// What a region write must leave: the file as it was, with the regions' copies in place.
QByteArray withRegions(QByteArray file, const RegionSet& set) {
    for (std::size_t i = 0; i < set.layout().size(); ++i)
        file.replace(set.layout()[i].offset, set.layout()[i].length, set.bytes(i));
    return file;
}

qint64 reach(const RegionSet& set) {
    qint64 end = 0;
    for (const Region& r : set.layout())
        end = std::max(end, r.end());
    return end;
}

// Reads the set from `bytes`; writes it back after `change` and checks the
// file on disk and a second read.
template <class Change>
void regionRoundTrip(RegionSet& set, const QString& name, const QByteArray& bytes, Change change) {
    const QString path = scratchFile(name, bytes);
    const auto failure = set.read(path);
    LCJ_FUZZ_CHECK(!failure.ok() == (bytes.size() < reach(set)));
    if (!failure.ok()) {
        LCJ_FUZZ_CHECK(!set.loaded());
        return;
    }
    for (std::size_t i = 0; i < set.layout().size(); ++i)
        LCJ_FUZZ_CHECK(set.bytes(i) == bytes.mid(set.layout()[i].offset, set.layout()[i].length));
    change();
    LCJ_FUZZ_CHECK(set.write().ok());
    LCJ_FUZZ_CHECK(onDisk(path) == withRegions(bytes, set));
    std::vector<QByteArray> held;
    for (std::size_t i = 0; i < set.layout().size(); ++i)
        held.push_back(set.bytes(i));
    LCJ_FUZZ_CHECK(set.reload().ok());
    for (std::size_t i = 0; i < set.layout().size(); ++i)
        LCJ_FUZZ_CHECK(set.bytes(i) == held[i]);
}

} // namespace

int saveGame(const std::uint8_t* data, std::size_t size) {
    using namespace lcj::save;
    static const QByteArray sample = sample::saveGame();
    Input in(data, size);
    const QByteArray bytes = damagedFile(in, sample, {loyaltyRegion, stockRegion, characterRegion});
    // The character form alone, on a record of its own.
    {
        QByteArray record = in.bytes(recordSize);
        record.append(QByteArray(recordSize - record.size(), '\0'));
        checkFixedPoint<CharacterForm>(record);
    }
    SaveGame game;
    regionRoundTrip(game.regions(), QStringLiteral("Sv01d.e5s"), bytes, [&] {
        for (int c = 0; c < characterCount; ++c)
            game.showCharacter(c);
        for (int s = 0; s < consumableCount; ++s)
            game.showStock(s);
        for (int n = in.below(4); n >= 0; --n) {
            const int character = in.below(characterCount + 2) - 1;
            const int consumable = in.below(consumableCount + 2) - 1;
            SaveForm form{
                game.showLoyalty(),
                character >= 0 && character < characterCount ? game.showCharacter(character)
                                                             : CharacterForm{},
                consumable >= 0 && consumable < consumableCount ? game.showStock(consumable)
                                                                : QString()};
            QString* texts[] = {&form.loyalty,           &form.stock,
                                &form.character.force,   &form.character.hp,
                                &form.character.level,   &form.character.weaponLevel,
                                &form.character.retreats};
            if (in.flag())
                *texts[in.below(std::size(texts))] = in.text();
            if (in.flag())
                form.character.weapon = in.below(300) - 2;
            const auto snapshot = [&] {
                std::vector<QByteArray> copies;
                for (std::size_t i = 0; i < game.regions().layout().size(); ++i)
                    copies.push_back(game.regions().bytes(i));
                return copies;
            };
            const auto before = snapshot();
            if (!game.confirm(form, character, consumable).ok()) {
                LCJ_FUZZ_CHECK(snapshot() == before);
                continue;
            }
            // What is shown after a confirm confirms again to the same bytes.
            const auto shown = [&] {
                return SaveForm{game.showLoyalty(), game.showCharacter(character),
                                game.showStock(consumable)};
            };
            LCJ_FUZZ_CHECK(game.confirm(shown(), character, consumable).ok());
            const auto once = snapshot();
            LCJ_FUZZ_CHECK(game.confirm(shown(), character, consumable).ok());
            LCJ_FUZZ_CHECK(snapshot() == once);
        }
    });
    return 0;
}

int programFile(const std::uint8_t* data, std::size_t size) {
    using namespace lcj::exe;
    static const QByteArray sample = sample::programFile();
    Input in(data, size);
    const QByteArray bytes = damagedFile(in, sample, {figureRegion, switchRegion});
    ProgramFile program;
    regionRoundTrip(program.regions(), QStringLiteral("Lcj5.exe"), bytes, [&] {
        for (int c = 0; c < characterCount; ++c)
            LCJ_FUZZ_CHECK(program.figure(c) >= 0 && program.figure(c) <= 255);
        const bool wasOn = program.switchOn();
        const int character = in.below(characterCount + 2) - 1;
        const int figure = in.below(300) - 20;
        const bool on = in.flag();
        const int before =
            character >= 0 && character < characterCount ? program.figure(character) : -1;
        if (!program.confirm(character, figure, on).ok()) {
            LCJ_FUZZ_CHECK(program.switchOn() == wasOn);
            if (before >= 0)
                LCJ_FUZZ_CHECK(program.figure(character) == before);
        } else {
            LCJ_FUZZ_CHECK(program.figure(character) == figure);
            LCJ_FUZZ_CHECK(program.switchOn() == on);
        }
    });
    return 0;
}

int messageFile(const std::uint8_t* data, std::size_t size) {
    using namespace lcj::imsg;
    static const QByteArray sample = sample::messageFile();
    Input in(data, size);
    // One slot on its own: an unchanged text keeps its bytes; any text stored takes 200.
    {
        QByteArray slot = in.bytes(slotSize);
        slot.append(QByteArray(slotSize - slot.size(), '\0'));
        const QString text = decodeSlot(slot);
        const auto same = encodeSlot(text, slot);
        LCJ_FUZZ_CHECK(same.ok() && *same == slot);
        const auto stored = encodeSlot(in.flag() ? text + in.text() : in.text());
        if (stored.ok()) {
            LCJ_FUZZ_CHECK(stored->size() == slotSize);
            const auto again = encodeSlot(decodeSlot(*stored), *stored);
            LCJ_FUZZ_CHECK(again.ok() && *again == *stored);
        }
    }
    std::vector<Region> hot;
    for (const Category& c : categories)
        hot.push_back({c.offset, c.end() - c.offset});
    const QByteArray bytes = damagedFile(in, sample, hot);
    const QString path = scratchFile(QStringLiteral("Imsg.e5"), bytes);
    MessageFile file(path);
    const bool whole = bytes.size() >= minimumFileSize;
    LCJ_FUZZ_CHECK(file.check().ok() == whole);
    const Category& category = categories[std::size_t(in.below(int(categories.size())))];
    const auto all = file.readSlots(category);
    LCJ_FUZZ_CHECK(all.ok() == (bytes.size() >= category.end()));
    if (!all.ok())
        return 0;
    LCJ_FUZZ_CHECK(all->size() == category.count);
    for (const QByteArray& slot : *all)
        decodeSlot(slot);
    const int index = in.below(category.count);
    const auto text = encodeSlot(in.text());
    if (!text.ok())
        return 0;
    LCJ_FUZZ_CHECK(file.writeSlot(category.slotOffset(index), *text).ok());
    LCJ_FUZZ_CHECK(*file.readSlot(category, index) == *text);
    QByteArray expected = bytes;
    expected.replace(category.slotOffset(index), slotSize, *text);
    LCJ_FUZZ_CHECK(onDisk(path) == expected);
    return 0;
}

} // namespace lcj::fuzz
