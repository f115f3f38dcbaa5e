#include "scenariodocument.h"

#include "bytesearch.h"
#include "common/bytes.h"
#include "scenariolayout.h"

#include <utility>

namespace lcj::scenario {

using namespace layout;

namespace {

const QByteArray freshEquipBytes(equipRoom, '\xFF');

} // namespace

ScenarioDocument ScenarioDocument::scan(QByteArray bytes) {
    ScenarioDocument doc;
    doc.bytes_ = std::move(bytes);
    doc.scan_.scenarioLength = doc.bytes_.size();
    doc.equipBytes_ = freshEquipBytes;
    const auto* b = reinterpret_cast<const uchar*>(doc.bytes_.constData());
    const qint64 length = doc.scan_.scenarioLength;
    qint64 lastHeader = -1;
    // Positions 0 .. length - scanTail are tested; only those holding a
    // signature's first byte can start one.
    forEachOfEither(b, length - scanTail + 1, battleSignature0, spoilsSignature0, [&](qint64 i) {
        if (b[i] == battleSignature0) {
            if (b[i + 2] == battleSignature2 && doc.armyBlockReads(i))
                lastHeader = i;
            return;
        }
        if (b[i + 2] != 0x04 || b[i + 8] != 0x17)
            return;
        if (i + spoilsSpan > length) {
            doc.problems_
                << QStringLiteral("位置%1的战利品指令超出文件末尾，未作为数据读入").arg(i);
            return;
        }
        doc.scan_.spoilsPositions.append(i);
    });
    if (lastHeader >= 0)
        doc.takeBattleHeader(lastHeader);
    return doc;
}

bool ScenarioDocument::armyBlockReads(qint64 pos) {
    if (pos + battleHeaderSpan > scan_.scenarioLength) {
        problems_ << QStringLiteral("位置%1的战役头超出文件末尾，未作为数据读入").arg(pos);
        return false;
    }
    const qint64 start = pos + armyOffset;
    const int length = wordAt(bytes_, start);
    const int entryBytes = length - 2;
    if (entryBytes >= 0 && entryBytes % armyEntrySize == 0 &&
        entryBytes / armyEntrySize <= maxArmyEntries && start + length <= scan_.scenarioLength) {
        ++scan_.battleHeaderCount;
        return true;
    }
    problems_ << QStringLiteral("位置%1像是战役头，但其后我军出场数据（位置%2）的长度%3无法识别"
                                "（应为2加28的倍数，最多15人，且不超出文件末尾），未作为战役头读入")
                     .arg(pos)
                     .arg(start)
                     .arg(length);
    return false;
}

void ScenarioDocument::takeBattleHeader(qint64 pos) {
    scan_.hasBattleHeader = true;
    scan_.battleHeaderPos = pos;
    scan_.allyBase = pos + allyOffset;
    scan_.enemyBase = pos + enemyOffset;
    scan_.armyBlockStart = pos + armyOffset;
    scan_.armyBlockLength = wordAt(bytes_, scan_.armyBlockStart);
    scan_.armyBlockEnd = scan_.armyBlockStart + scan_.armyBlockLength;
    scan_.armyBlockReadable = true;
    scan_.armySlotCount = (scan_.armyBlockLength - 2) / armyEntrySize;
    armyEntryCount_ = scan_.armySlotCount;
    extraSlotBytes_ = QByteArray((maxArmyEntries - scan_.armySlotCount) * armyEntrySize, '\0');
    readEquipGroup();
}

QString ScenarioDocument::nothingToEdit() const {
    if (scan_.hasBattleHeader || !scan_.spoilsPositions.isEmpty())
        return {};
    if (scan_.scenarioLength < scanTail)
        return QStringLiteral("剧本文件只有%1个字节，其中没有找到战役数据或战利品，"
                              "没有可以修改的内容。")
            .arg(scan_.scenarioLength);
    return QStringLiteral("剧本中没有找到战役数据或战利品，没有可以修改的内容。");
}

void ScenarioDocument::readEquipGroup() {
    scan_.equipBlockLength = 0;
    scan_.equipEntryCount = 0;
    equipBytes_ = freshEquipBytes;
    equipEdited_ = false;
    const qint64 q = scan_.armyBlockEnd;
    const bool found = q + 7 <= scan_.scenarioLength && byteAt(bytes_, q) == 0x00 &&
                       byteAt(bytes_, q + 2) == 0x01 && byteAt(bytes_, q + 4) == 0x02 &&
                       byteAt(bytes_, q + 6) == 0x05;
    if (!found) {
        scan_.equipGroup = EquipGroup::Absent;
        return;
    }
    const bool lengthFits = q + equipEntriesOffset <= scan_.scenarioLength;
    const int length = lengthFits ? wordAt(bytes_, q + equipLengthOffset) : 0;
    const int entryBytes = length - 2;
    if (!lengthFits || entryBytes < 0 || entryBytes % equipEntrySize != 0 ||
        entryBytes / equipEntrySize > maxEquipEntries ||
        q + equipLengthOffset + length > scan_.scenarioLength) {
        scan_.equipGroup = EquipGroup::Unreadable;
        problems_ << QStringLiteral("个人装备数据（位置%1）的长度%2无法识别（应为2加26的倍数，"
                                    "最多100人，且不超出文件末尾）：个人装备不能修改")
                         .arg(q)
                         .arg(lengthFits ? QString::number(length) : QStringLiteral("缺失"));
        return;
    }
    scan_.equipGroup = EquipGroup::Present;
    scan_.equipBlockLength = length;
    scan_.equipEntryCount = entryBytes / equipEntrySize;
    equipBytes_.replace(0, entryBytes,
                        QByteArrayView(bytes_).sliced(q + equipEntriesOffset, entryBytes));
}

// ---- army entries

bool ScenarioDocument::canAppendArmyEntry() const {
    return scan_.armyBlockReadable && armyEntryCount_ < maxArmyEntries;
}

bool ScenarioDocument::appendArmyEntry() {
    change_.reset();
    if (!canAppendArmyEntry())
        return false;
    const int j = armyEntryCount_ - scan_.armySlotCount;
    QByteArray entry(armyEntrySize, '\0');
    const quint16 words[14] = {
        0x4B, 0x04, quint16(armyEntryCount_), 0, 0x04, 0, 0, 0x04, 0, 0, 0x2B, 0, 0x26, 0};
    for (int i = 0; i < 14; ++i)
        setWord(entry, 2 * i, words[i]);
    store(DocumentChange::Buffer::ExtraSlots, qint64(j) * armyEntrySize, entry, armyEntryCount_ + 1,
          equipEdited_);
    return true;
}

QByteArray ScenarioDocument::armyEntry(int index) const {
    Q_ASSERT(index >= 0 && index < armyEntryCount_);
    if (index < scan_.armySlotCount)
        return bytes_.mid(scan_.armyBlockStart + 2 + qint64(armyEntrySize) * index, armyEntrySize);
    return extraSlotBytes_.mid(qint64(armyEntrySize) * (index - scan_.armySlotCount),
                               armyEntrySize);
}

Failure ScenarioDocument::applyArmyEntry(int index, const ArmyEntryForm& form) {
    change_.reset();
    if (index < 0 || index >= armyEntryCount_)
        return QStringLiteral("请先在列表中选择一个出场人物");
    QByteArray entry = armyEntry(index);
    if (auto failure = form.apply(entry); !failure.ok())
        return failure;
    if (index < scan_.armySlotCount)
        store(DocumentChange::Buffer::Scenario,
              scan_.armyBlockStart + 2 + qint64(armyEntrySize) * index, entry, armyEntryCount_,
              equipEdited_);
    else
        store(DocumentChange::Buffer::ExtraSlots,
              qint64(armyEntrySize) * (index - scan_.armySlotCount), entry, armyEntryCount_,
              equipEdited_);
    return {};
}

// ---- ally and enemy slots

const SlotLayout& ScenarioDocument::slotLayout(Side side) {
    return side == Side::Ally ? allySlot : enemySlot;
}

int ScenarioDocument::slotCount(Side side) {
    return side == Side::Ally ? allyCount : enemyCount;
}

qint64 ScenarioDocument::slotPos(Side side, int slot) const {
    Q_ASSERT(scan_.hasBattleHeader && slot >= 0 && slot < slotCount(side));
    return (side == Side::Ally ? scan_.allyBase : scan_.enemyBase) +
           qint64(slotLayout(side).entrySize) * slot;
}

quint16 ScenarioDocument::slotCharacter(Side side, int slot) const {
    return wordAt(bytes_, slotPos(side, slot) + slotCharacterOffset);
}

SlotForm ScenarioDocument::showSlot(Side side, int slot) const {
    const auto& layout = slotLayout(side);
    return SlotForm::show(layout,
                          QByteArrayView(bytes_).sliced(slotPos(side, slot), layout.entrySize));
}

Result<int> ScenarioDocument::applySlot(Side side, int slot, const SlotForm& form) {
    change_.reset();
    if (!scan_.hasBattleHeader || slot < 0 || slot >= slotCount(side))
        return Result<int>::failure(QStringLiteral("请先在列表中选择一个出场位置"));
    const auto& layout = slotLayout(side);
    const qint64 pos = slotPos(side, slot);
    QByteArray entry = bytes_.mid(pos, layout.entrySize);
    auto result = form.apply(layout, entry);
    if (result.ok())
        store(DocumentChange::Buffer::Scenario, pos, entry, armyEntryCount_, equipEdited_);
    return result;
}

Failure ScenarioDocument::moveSlot(Side side, int slot, const QString& x, const QString& y) {
    change_.reset();
    if (!scan_.hasBattleHeader || slot < 0 || slot >= slotCount(side))
        return QStringLiteral("请先在列表中选择一个出场位置");
    SlotForm form = showSlot(side, slot);
    form.x = x;
    form.y = y;
    const auto& layout = slotLayout(side);
    const qint64 pos = slotPos(side, slot);
    QByteArray trial = bytes_.mid(pos, layout.entrySize);
    if (const auto checked = form.apply(layout, trial); !checked.ok())
        return checked.why();
    QByteArray entry = bytes_.mid(pos, layout.entrySize);
    for (const int offset : {layout.x, layout.y})
        setWord(entry, offset, wordAt(trial, offset));
    store(DocumentChange::Buffer::Scenario, pos, entry, armyEntryCount_, equipEdited_);
    return {};
}

// ---- battle-wide values

namespace {
constexpr int battleFormSpan = 38; // the header bytes the battle-wide values reach
}

BattleForm ScenarioDocument::showBattle() const {
    Q_ASSERT(scan_.hasBattleHeader);
    return BattleForm::show(QByteArrayView(bytes_).sliced(scan_.battleHeaderPos, battleFormSpan));
}

Failure ScenarioDocument::applyBattle(const BattleForm& form) {
    change_.reset();
    if (!scan_.hasBattleHeader)
        return QStringLiteral("剧本中没有找到战役数据");
    QByteArray header = bytes_.mid(scan_.battleHeaderPos, battleFormSpan);
    if (auto failure = form.apply(header); !failure.ok())
        return failure;
    store(DocumentChange::Buffer::Scenario, scan_.battleHeaderPos, header, armyEntryCount_,
          equipEdited_);
    return {};
}

// ---- spoils

QByteArray ScenarioDocument::spoilsInstruction(int index) const {
    return bytes_.mid(scan_.spoilsPositions.at(index), spoilsSpan);
}

Failure ScenarioDocument::applySpoils(int index, const SpoilsForm& form) {
    change_.reset();
    if (index < 0 || index >= spoilsCount())
        return QStringLiteral("请先在列表中选择一条战利品");
    QByteArray instruction = spoilsInstruction(index);
    if (auto failure = form.apply(instruction); !failure.ok())
        return failure;
    store(DocumentChange::Buffer::Scenario, scan_.spoilsPositions.at(index), instruction,
          armyEntryCount_, equipEdited_);
    return {};
}

// ---- equipment

bool ScenarioDocument::equipmentEditable() const {
    return scan_.armyBlockReadable && scan_.equipGroup != EquipGroup::Unreadable;
}

QByteArray ScenarioDocument::equipEntry(int index) const {
    return equipBytes_.mid(qint64(equipEntrySize) * index, equipEntrySize);
}

quint16 ScenarioDocument::equipCharacter(int index) const {
    return wordAt(equipBytes_, qint64(equipEntrySize) * index + 4);
}

Result<int> ScenarioDocument::applyEquipEntry(int index, const EquipForm& form) {
    change_.reset();
    if (!equipmentEditable())
        return Result<int>::failure(QStringLiteral("个人装备数据无法识别，不能修改"));
    if (index < 0 || index >= maxEquipEntries)
        return Result<int>::failure(QStringLiteral("请先在列表中选择一个人物"));
    QByteArray entry = equipEntry(index);
    auto result = form.apply(entry);
    if (result.ok())
        store(DocumentChange::Buffer::Equip, qint64(equipEntrySize) * index, entry, armyEntryCount_,
              true);
    return result;
}

int ScenarioDocument::newEquipCount() const {
    return int(equipEntriesToWrite().size() / equipEntrySize);
}

QByteArray ScenarioDocument::equipEntriesToWrite() const {
    if (!equipmentEditable() || !equipEdited_)
        return equipBytes_.left(qint64(equipEntrySize) * scan_.equipEntryCount);
    QByteArray out;
    for (int k = 0; k < maxEquipEntries; ++k)
        if (equipCharacter(k) <= lastEquipCharacter)
            out.append(equipEntry(k));
    return out;
}

// ---- changes for undo and redo

QByteArray& ScenarioDocument::buffer(DocumentChange::Buffer which) {
    return const_cast<QByteArray&>(std::as_const(*this).buffer(which));
}

const QByteArray& ScenarioDocument::buffer(DocumentChange::Buffer which) const {
    switch (which) {
    case DocumentChange::Buffer::ExtraSlots:
        return extraSlotBytes_;
    case DocumentChange::Buffer::Equip:
        return equipBytes_;
    case DocumentChange::Buffer::Scenario:
        break;
    }
    return bytes_;
}

void ScenarioDocument::store(DocumentChange::Buffer which, qint64 pos, const QByteArray& bytes,
                             int armyCountAfter, bool equipEditedAfter) {
    QByteArray& target = buffer(which);
    Q_ASSERT(pos >= 0 && pos + bytes.size() <= target.size());
    // Only the bytes from the first to the last one that differs are kept.
    const char* old = target.constData() + pos;
    qint64 first = 0;
    qint64 end = bytes.size();
    while (first < end && old[first] == bytes[first])
        ++first;
    while (end > first && old[end - 1] == bytes[end - 1])
        --end;
    DocumentChange change;
    change.buffer = which;
    change.pos = pos + first;
    change.before = QByteArray(old + first, end - first);
    change.after = bytes.mid(first, end - first);
    change.armyEntryCountBefore = armyEntryCount_;
    change.armyEntryCountAfter = armyCountAfter;
    change.equipEditedBefore = equipEdited_;
    change.equipEditedAfter = equipEditedAfter;
    if (end > first)
        target.replace(change.pos, end - first, change.after);
    armyEntryCount_ = armyCountAfter;
    equipEdited_ = equipEditedAfter;
    change_ = std::move(change);
}

std::optional<DocumentChange> ScenarioDocument::takeChange() {
    return std::exchange(change_, std::nullopt);
}

namespace {

// The change of one buffer from `before` to `after`, of one size: the bytes from the first to
// the last that differ.
DocumentChange between(DocumentChange::Buffer buffer, const QByteArray& before,
                       const QByteArray& after) {
    qsizetype first = 0;
    while (first < before.size() && before[first] == after[first])
        ++first;
    qsizetype end = before.size();
    while (end > first && before[end - 1] == after[end - 1])
        --end;
    DocumentChange change;
    change.buffer = buffer;
    change.pos = first;
    change.before = before.mid(first, end - first);
    change.after = after.mid(first, end - first);
    return change;
}

} // namespace

std::optional<QList<DocumentChange>>
ScenarioDocument::changesTo(const ScenarioDocument& other) const {
    using Buffer = DocumentChange::Buffer;
    QList<DocumentChange> changes;
    for (const Buffer which : {Buffer::Scenario, Buffer::ExtraSlots, Buffer::Equip}) {
        const QByteArray& a = buffer(which);
        const QByteArray& b = other.buffer(which);
        if (a.size() != b.size())
            return std::nullopt;
        if (a == b)
            continue;
        DocumentChange change = between(which, a, b);
        change.armyEntryCountBefore = armyEntryCount_;
        change.armyEntryCountAfter = other.armyEntryCount_;
        change.equipEditedBefore = equipEdited_;
        change.equipEditedAfter = other.equipEdited_;
        changes << change;
    }
    return changes;
}

std::optional<DocumentChange> ScenarioDocument::changeToBytes(const QByteArray& bytes) const {
    if (bytes.size() != bytes_.size())
        return std::nullopt;
    DocumentChange change = between(DocumentChange::Buffer::Scenario, bytes_, bytes);
    change.armyEntryCountBefore = change.armyEntryCountAfter = armyEntryCount_;
    change.equipEditedBefore = change.equipEditedAfter = equipEdited_;
    return change;
}

void ScenarioDocument::revert(const DocumentChange& change) {
    buffer(change.buffer).replace(change.pos, change.before.size(), change.before);
    armyEntryCount_ = change.armyEntryCountBefore;
    equipEdited_ = change.equipEditedBefore;
    change_.reset();
}

void ScenarioDocument::reapply(const DocumentChange& change) {
    buffer(change.buffer).replace(change.pos, change.after.size(), change.after);
    armyEntryCount_ = change.armyEntryCountAfter;
    equipEdited_ = change.equipEditedAfter;
    change_.reset();
}

} // namespace lcj::scenario
