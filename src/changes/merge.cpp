#include "merge.h"

#include "fields/fieldtable.h"
#include "patch.h"

#include <QHash>
#include <QSet>

namespace lcj::changes {

namespace {

using patch::Cell;

const QString army = QStringLiteral("army");

QString line(const QString& where, const QJsonValue& before, const QJsonValue& after) {
    return QStringLiteral("%1：%2 → %3").arg(where, patch::shown(before), patch::shown(after));
}

// The field changes from `a` to `b` that a patch carries: a scenario's as a patch is made,
// the fields of the other files (tables of a fixed shape) compared directly.
Result<QList<FieldChange>> changesBetween(fields::FileKind kind, const QString& name,
                                          const QByteArray& a, const QByteArray& b) {
    using R = Result<QList<FieldChange>>;
    if (kind == fields::FileKind::Scenario) {
        QStringList warnings;
        auto made = patch::makeFilePatch(kind, name, a, b, warnings);
        if (!made.ok())
            return R::failure(made.error());
        return made->changes;
    }
    const auto fa = fields::openFile(kind, name, a);
    if (!fa.ok())
        return R::failure(fa.error());
    const auto fb = fields::openFile(kind, name, b);
    if (!fb.ok())
        return R::failure(fb.error());
    QList<FieldChange> out;
    for (FieldChange& ch : compare(**fa, **fb)) {
        const fields::FieldTable* table = (*fb)->table(ch.part);
        const int column = table ? table->columnOf(ch.column) : -1;
        if (ch.row < 0 || !table || (column >= 0 && table->columns()[column].readOnly))
            continue;
        out.append(std::move(ch));
    }
    return out;
}

} // namespace

QStringList ThreeWayMerge::conflictLines() const {
    QStringList lines;
    for (const MergeConflict& c : conflicts_)
        lines << QStringLiteral("%1：磁盘上 %2 → 编辑器中 %3")
                     .arg(c.where, patch::shown(c.disk), patch::shown(c.mine));
    return lines;
}

Result<ThreeWayMerge> ThreeWayMerge::compare(fields::FileKind kind, const QString& name,
                                             const QByteArray& base, const QByteArray& mine,
                                             const QByteArray& disk) {
    using R = Result<ThreeWayMerge>;
    ThreeWayMerge m;
    m.kind_ = kind;
    m.name_ = name;
    m.base_ = base;
    m.mine_ = mine;
    m.disk_ = disk;
    auto fromMine = changesBetween(kind, name, base, mine);
    if (!fromMine.ok())
        return R::failure(fromMine.error());
    auto fromDisk = changesBetween(kind, name, base, disk);
    if (!fromDisk.ok())
        return R::failure(fromDisk.error());
    m.mineChanges_ = std::move(*fromMine);
    m.diskChanges_ = std::move(*fromDisk);

    QHash<QString, const FieldChange*> diskByKey;
    for (const FieldChange& f : m.diskChanges_) {
        diskByKey.insert(f.key(), &f);
        if (f.row >= 0 || f.column != countColumn)
            m.diskLines_ << line(f.where, f.before, f.after);
    }
    for (const FieldChange& f : m.mineChanges_) {
        const bool count = f.part == army && f.row < 0 && f.column == countColumn;
        if (!count)
            m.mineLines_ << line(f.where, f.before, f.after);
        const FieldChange* other = diskByKey.value(f.key());
        if (!other)
            continue;
        if (count) {
            // Entries appended on both sides are never laid one upon the other unasked.
            m.armyConflict_ = true;
            m.baseArmy_ = f.before.toInt(-1);
        } else if (other->after == f.after) {
            continue;
        } else if (m.armyConflict_ && f.part == army && f.row >= m.baseArmy_) {
            continue; // an appended entry goes with the count
        }
        m.conflicts_.append({f.where, other->after, f.after});
        m.conflictKeys_ << f.key();
    }
    if (kind == fields::FileKind::Scenario) {
        // Entries the other program's copy lacks (a shortened file, a list cut) cannot be
        // told apart from damage: such a copy is not merged into.
        const auto a = fields::openFile(kind, name, base);
        const auto b = fields::openFile(kind, name, disk);
        if (!a.ok() || !b.ok())
            return R::failure(!a.ok() ? a.error() : b.error());
        for (const auto& table : (*a)->tables()) {
            const fields::FieldTable* other = (*b)->table(table->part());
            if (!other || other->rowCount() < table->rowCount())
                return R::failure(QStringLiteral("磁盘上的文件少了%1的条目").arg(table->title()));
        }
        // A scenario is built again from its fields: whatever of the editor's copy no field
        // shows could not travel onto the disk's copy.
        QList<Cell> cells;
        for (const FieldChange& f : m.mineChanges_)
            cells.append({f.part, f.row, f.column, f.where, f.after});
        const auto rebuilt = patch::writeCells(kind, name, base, cells);
        if (!rebuilt.ok() || *rebuilt != mine)
            return R::failure(QStringLiteral("编辑器中的改动不全在栏目里，无法逐栏合并"));
    }
    return m;
}

Result<QByteArray> ThreeWayMerge::merged(Settle settle) const {
    using R = Result<QByteArray>;
    const bool keepDisk = settle == Settle::KeepDisk;
    QList<Cell> cells;
    QHash<QString, QJsonValue>
        expected; // what the merged copy holds where it differs from the disk's
    QHash<QString, QJsonValue> onDisk;
    for (const FieldChange& f : diskChanges_)
        onDisk.insert(f.key(), f.after);
    for (const FieldChange& f : mineChanges_) {
        const bool appended = armyConflict_ && f.part == army && f.row >= baseArmy_;
        const bool counted = armyConflict_ && f.part == army && f.row < 0;
        if (keepDisk && (conflictKeys_.contains(f.key()) || appended || counted)) {
            // The disk's value, typed in again: a byte the editor changed in it stays the disk's.
            if (const auto it = onDisk.constFind(f.key()); it != onDisk.cend())
                cells.append({f.part, f.row, f.column, f.where, *it});
            continue;
        }
        cells.append({f.part, f.row, f.column, f.where, f.after});
        const QJsonValue there = onDisk.value(f.key(), f.before);
        if (there != f.after)
            expected.insert(f.key(), f.after);
    }
    // Bytes no field shows that the editor changed and the other program did not go
    // across as they are (every copy of a fixed length); the fields are typed in after.
    QByteArray start = disk_;
    if (base_.size() == mine_.size() && base_.size() == disk_.size() &&
        kind_ != fields::FileKind::Scenario) {
        const char* b = base_.constData();
        const char* m = mine_.constData();
        char* d = start.data();
        for (qsizetype i = 0; i < start.size(); ++i)
            if (m[i] != b[i] && d[i] == b[i])
                d[i] = m[i];
    }
    auto bytes = patch::writeCells(kind_, name_, start, cells);
    if (!bytes.ok())
        return R::failure(bytes.error());
    // The merged copy differs from the disk's exactly where the editor's changes say.
    const auto check = changesBetween(kind_, name_, disk_, *bytes);
    if (!check.ok())
        return R::failure(check.error());
    QSet<QString> seen;
    for (const FieldChange& c : *check) {
        const auto it = expected.constFind(c.key());
        if (it == expected.cend() || *it != c.after)
            return R::failure(QStringLiteral("%1：合并的结果与两边的改动不符").arg(c.where));
        seen.insert(c.key());
    }
    if (seen.size() != expected.size())
        return R::failure(QStringLiteral("合并的结果缺少编辑器中的改动"));
    return bytes;
}

} // namespace lcj::changes
