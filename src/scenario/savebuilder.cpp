#include "savebuilder.h"

#include "common/bytes.h"
#include "scenariodocument.h"
#include "scenariolayout.h"

namespace lcj::scenario {

using namespace layout;

namespace {

Result<SavedScenario> refuse(const QString& message) {
    return Result<SavedScenario>::failure(message);
}

// A new group is recognised after the save only when the bytes at the army
// block's end already read 00 ?? 02 ?? 05: the save puts 01 00 after the
// first two of them.
bool groupCanBeCreated(const QByteArray& bytes, qint64 q) {
    return q + 19 <= bytes.size() && byteAt(bytes, q) == 0x00 && byteAt(bytes, q + 2) == 0x02 &&
           byteAt(bytes, q + 4) == 0x05;
}

Failure addToLengthWord(QByteArray& out, int pos, qint64 added) {
    const qint64 value = qint64(wordAt(out, pos)) + added;
    if (value < 0 || value > 0xFFFF)
        return QStringLiteral("文件头位置%1的长度字%2加上%3后超出0到65535，无法保存")
            .arg(pos)
            .arg(wordAt(out, pos))
            .arg(added);
    setWord(out, pos, quint16(value));
    return {};
}

} // namespace

Result<SavedScenario> buildSave(const ScenarioDocument& doc) {
    const QByteArray& in = doc.bytes();
    const ScenarioScan& found = doc.scan();
    if (!found.armyBlockReadable) {
        // Nothing of the army block or after it is touched.
        Q_ASSERT(doc.armyEntryCount() == found.armySlotCount);
        return SavedScenario{in, 0, ScenarioDocument::scan(in)};
    }
    const int n = found.armySlotCount;
    const int nNew = doc.armyEntryCount();
    const qint64 A = qint64(armyEntrySize) * (nNew - n);
    const bool editable = doc.equipmentEditable();
    const int e = found.equipEntryCount;
    const QByteArray entries = editable ? doc.equipEntriesToWrite() : QByteArray();
    const int k = editable ? int(entries.size() / equipEntrySize) : e;
    const qint64 W = entries.size();
    const qint64 q = found.armyBlockEnd;
    const qint64 E = found.equipBlockLength;
    const bool present = found.equipGroup == EquipGroup::Present;

    if (A < 0 || A > doc.extraSlotBytes().size())
        return refuse(QStringLiteral("追加的出场人物数目不正确，无法保存"));
    // Nothing appended and the equipment as the bytes hold it: the file is the document's
    // bytes as they are, shared rather than copied (a large scenario is not held twice).
    const bool equipmentAsHeld =
        !editable ||
        (k == e &&
         (!present || E <= 2 ||
          (entries.size() == E - 2 && q + equipEntriesOffset + E - 2 <= in.size() &&
           QByteArrayView(entries) == QByteArrayView(in).sliced(q + equipEntriesOffset, E - 2))));
    if (A == 0 && equipmentAsHeld)
        return SavedScenario{in, 0, ScenarioDocument::scan(in)};

    QByteArray out;
    out.reserve(in.size() + A + W + 6);
    out.append(in.constData(), q);
    out.append(doc.extraSlotBytes().constData(), A);
    qint64 inserted = A;

    if (k == e || !editable) {
        out.append(in.constData() + q, in.size() - q);
        // Entries edited in place keep the group's length.
        if (editable && present && E > 2)
            out.replace(q + A + equipEntriesOffset, E - 2, entries.constData(), E - 2);
    } else if (present) {
        // The group's entries are replaced, its head and length word kept in place.
        out.append(in.constData() + q, equipLengthOffset);
        out.append(wordBytes(quint16(W + 2)));
        out.append(entries);
        const qint64 rest = q + equipLengthOffset + E;
        out.append(in.constData() + rest, in.size() - rest);
        inserted += W + 2 - E;
    } else {
        if (!groupCanBeCreated(in, q))
            return refuse(
                QStringLiteral("我军出场数据之后的字节不是个人装备组的开头（应为00 ?? 02 ?? 05），"
                               "在这里建立个人装备组会写出无法再读入的剧本，因此没有保存"));
        out.append(in.constData() + q, 2);
        out.append("\x01\x00", 2);
        out.append(in.constData() + q + 2, 17);
        out.append(wordBytes(quint16(W + 2)));
        out.append(entries);
        out.append("\x00\x00", 2);
        out.append(in.constData() + q + 19, in.size() - q - 19);
        inserted += W + 6;
    }

    if (A != 0)
        setWord(out, found.armyBlockStart, quint16(found.armyBlockLength + A));
    if (inserted != 0) {
        if (auto failure = addToLengthWord(out, headerLengthWord1, inserted); !failure.ok())
            return refuse(failure.error());
        if (auto failure = addToLengthWord(out, headerLengthWord2, inserted); !failure.ok())
            return refuse(failure.error());
    }

    // The written file must read back as meant.
    ScenarioDocument check = ScenarioDocument::scan(out);
    if (A != 0 || (editable && k != e)) {
        const ScenarioScan& reread = check.scan();
        const bool same =
            reread.battleHeaderPos == found.battleHeaderPos && reread.armyBlockReadable &&
            reread.armySlotCount == nNew &&
            (!editable ||
             (reread.equipGroup == EquipGroup::Present && reread.equipEntryCount == k) ||
             (k == 0 && !present && reread.equipGroup == EquipGroup::Absent));
        if (!same)
            return refuse(
                QStringLiteral("保存后的剧本无法按原样读回（出场人物或个人装备的数目不符），"
                               "因此没有保存"));
    }
    return SavedScenario{std::move(out), inserted, std::move(check)};
}

Result<QByteArray> removeLastArmyEntries(const QByteArray& bytes, int count) {
    using R = Result<QByteArray>;
    const ScenarioDocument doc = ScenarioDocument::scan(bytes);
    const ScenarioScan& found = doc.scan();
    if (!found.armyBlockReadable || count < 0 || count > found.armySlotCount)
        return R::failure(
            QStringLiteral("我军出场数据无法识别，或没有%1个出场人物可以删除").arg(count));
    if (count == 0)
        return bytes;
    const qint64 removed = qint64(armyEntrySize) * count;
    QByteArray out = bytes;
    out.remove(found.armyBlockEnd - removed, removed);
    setWord(out, found.armyBlockStart, quint16(found.armyBlockLength - removed));
    if (auto failure = addToLengthWord(out, headerLengthWord1, -removed); !failure.ok())
        return R::failure(failure.error());
    if (auto failure = addToLengthWord(out, headerLengthWord2, -removed); !failure.ok())
        return R::failure(failure.error());
    const ScenarioScan reread = ScenarioDocument::scan(out).scan();
    if (reread.battleHeaderPos != found.battleHeaderPos || !reread.armyBlockReadable ||
        reread.armySlotCount != found.armySlotCount - count ||
        reread.equipEntryCount != found.equipEntryCount || reread.equipGroup != found.equipGroup)
        return R::failure(QStringLiteral("删除出场人物后的剧本无法按原样读回，因此没有保存"));
    return out;
}

} // namespace lcj::scenario
