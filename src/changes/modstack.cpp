// Building the mod list's result: the original, each enabled entry in order,
// the player's own edits on top; and writing it, all files or none.
#include "modinternal.h"

#include "common/fileaccess.h"
#include "common/writejournal.h"
#include "common/writelock.h"
#include "fields/fieldfiles.h"
#include "fields/fieldtable.h"
#include "scenario/scenariolayout.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSet>

namespace lcj::changes::mods {

using patch::Cell;

namespace {

const QString army = QStringLiteral("army");

// One field as the layers set it.
struct Setting {
    Cell cell;
    int entry = -1; // the index in entries() of the entry that set it last
};

// The parts of a file, by name, in the order the field model opens them.
QHash<QString, int> partIndexes(fields::FileKind kind, const QString& name,
                                const QByteArray& bytes) {
    QHash<QString, int> out;
    const auto file = fields::openFile(kind, name, bytes);
    if (!file.ok())
        return out;
    int k = 0;
    for (const auto& t : (*file)->tables())
        out.insert(t->part(), k++);
    return out;
}

// One file of the list, layer after layer.
class Stack {
public:
    Stack(const QString& file, fields::FileKind kind, const QList<Entry>& entries)
        : file_(file), kind_(kind), entries_(entries) {}

    // The original's bytes and the fields it shows, by key.
    void start(const QByteArray& original, const QHash<QString, QJsonValue>& values) {
        original_ = original;
        values_ = values;
        countKey_ = fieldKey(army, -1, countColumn);
        originalCount_ = count_ = values_.value(countKey_, -1).toInt(-1);
    }

    // Why entry `index` cannot go on top, or nothing; with `commit` it is put
    // there, whole.
    std::optional<QString> add(int index, bool commit) {
        const patch::FilePatch* fp = detail::filePatch(entries_[index], file_);
        if (!fp)
            return std::nullopt;
        const FieldChange* cc = detail::countChange(*fp);
        const int base = cc ? cc->before.toInt(0) : 0;
        const int grows = cc ? std::max(0, cc->after.toInt(0) - base) : 0;
        if (cc && count_ < 0)
            return QStringLiteral("%1 没有出场人物的列表").arg(file_);
        const int newCount = count_ + grows;
        if (cc && newCount > scenario::layout::maxArmyEntries)
            return QStringLiteral("%1 的出场人物会有 %2 个，超过上限 %3")
                .arg(file_)
                .arg(newCount)
                .arg(scenario::layout::maxArmyEntries);
        QList<Setting> settings;
        for (const FieldChange& ch : fp->changes) {
            if (&ch == cc)
                continue;
            int row = ch.row;
            const bool appended =
                cc && ch.part == army && row >= base && ch.before.isNull() && row >= 0;
            if (appended)
                row = count_ + (row - base);
            const QString key = fieldKey(ch.part, row, ch.column);
            const bool inAppended =
                ch.part == army && row >= originalCount_ && row < (appended ? newCount : count_);
            if (!values_.contains(key) && !inAppended)
                return QStringLiteral("%1 %2：这个游戏里没有这一栏").arg(file_, ch.where);
            // A renumbered entry is named by its place in the result.
            const auto where =
                appended ? patch::place(kind_, ch.part, row, ch.column) : Result<QString>(ch.where);
            settings.append(
                {{ch.part, row, ch.column, where.ok() ? *where : ch.where, ch.after}, index});
        }
        if (!commit)
            return std::nullopt;
        for (const Setting& s : settings) {
            const QString key = s.cell.key();
            auto& list = setters_[key];
            if (list.isEmpty() || list.last().first != index)
                list.append({index, s.cell.value});
            set_.insert(key, s);
        }
        if (cc && grows > 0) {
            count_ = newCount;
            set_.insert(countKey_, {{army, -1, countColumn, countWhere(), count_}, index});
        }
        return std::nullopt;
    }

    // The file with every layer, read back and checked field by field.
    Result<QByteArray> result() const {
        using R = Result<QByteArray>;
        QList<Cell> cells;
        for (const Setting& s : set_) {
            const auto it = values_.constFind(s.cell.key());
            if (it == values_.constEnd() || *it != s.cell.value)
                cells.append(s.cell);
        }
        const auto built = patch::writeCells(kind_, file_, original_, cells);
        if (!built.ok())
            return R::failure(QStringLiteral("%1：%2").arg(file_, built.error()));
        const auto back = patch::readCells(kind_, file_, *built);
        if (!back.ok())
            return R::failure(
                QStringLiteral("%1：写好的文件读不回来：%2").arg(file_, back.error()));
        QSet<QString> seen;
        for (const Cell& c : *back) {
            const QString key = c.key();
            seen.insert(key);
            const auto s = set_.constFind(key);
            const QJsonValue wanted =
                s != set_.constEnd() ? s->cell.value : values_.value(key, c.value);
            if (wanted != c.value)
                return R::failure(
                    QStringLiteral("%1 %2：写入后显示为 %3，应是 %4")
                        .arg(file_, c.where, patch::shown(c.value), patch::shown(wanted)));
        }
        for (const Setting& s : set_)
            if (!seen.contains(s.cell.key()))
                return R::failure(
                    QStringLiteral("%1 %2：写入后没有这一栏").arg(file_, s.cell.where));
        return *built;
    }

    // One row for each field two or more entries set, in the order of the file.
    QList<ConflictRow> conflicts() const {
        const QHash<QString, int> parts = partIndexes(kind_, file_, original_);
        QList<ConflictRow> rows;
        for (auto it = set_.cbegin(); it != set_.cend(); ++it) {
            const auto& list = setters_.value(it.key());
            if (list.size() < 2)
                continue;
            const Cell& c = it->cell;
            ConflictRow row;
            row.file = file_;
            row.where = c.where;
            row.part = c.part;
            row.row = c.row;
            row.column = c.column;
            row.partIndex = parts.value(c.part, -1);
            row.original = values_.value(it.key(), QJsonValue(QJsonValue::Undefined));
            row.values.resize(entries_.size());
            for (const auto& [entry, value] : list)
                row.values[entry] = value;
            row.winner = it->entry;
            row.result = c.value;
            rows.append(row);
        }
        return rows;
    }

    // The army's length past its limit when entry `index` goes on top: a
    // row of its own, the entry left out.
    std::optional<ConflictRow> limitRow(int index) const {
        const patch::FilePatch* fp = detail::filePatch(entries_[index], file_);
        const FieldChange* cc = fp ? detail::countChange(*fp) : nullptr;
        if (!cc || count_ < 0)
            return std::nullopt;
        const int wanted = count_ + std::max(0, cc->after.toInt(0) - cc->before.toInt(0));
        if (wanted <= scenario::layout::maxArmyEntries)
            return std::nullopt;
        ConflictRow row;
        row.file = file_;
        row.where = countWhere();
        row.part = army;
        row.column = countColumn;
        row.partIndex = partIndexes(kind_, file_, original_).value(army, -1);
        row.original = originalCount_;
        row.values.resize(entries_.size());
        const auto it = set_.constFind(countKey_);
        if (it != set_.constEnd())
            row.values[it->entry] = count_;
        row.values[index] = wanted;
        row.winner = it != set_.constEnd() ? it->entry : -1;
        row.result = count_;
        return row;
    }

private:
    QString countWhere() const {
        const auto w = patch::place(kind_, army, -1, countColumn);
        return w.ok() ? *w : countColumn;
    }

    QString file_;
    fields::FileKind kind_;
    const QList<Entry>& entries_;
    QByteArray original_;
    QHash<QString, QJsonValue> values_; // the original's fields
    QString countKey_;
    int originalCount_ = -1, count_ = -1; // the army's length; -1 without one
    QMap<QString, Setting> set_;          // what the layers set, by key
    QHash<QString, QList<std::pair<int, QJsonValue>>> setters_;
};

QString nothingWritten() {
    return QStringLiteral("\n没有写入任何文件。");
}

} // namespace

Result<ModList::Built> ModList::build(bool write) const {
    using R = Result<Built>;
    Built built;
    QList<std::pair<QString, Stack*>> stacks;
    std::vector<std::unique_ptr<Stack>> owned;
    for (const Kept& k : originals_) {
        const auto kind = patch::kindOfName(k.file);
        const auto bytes = original(k.file);
        if (!bytes.ok())
            return R::failure(bytes.error());
        built.originals.insert(k.file, *bytes);
        if (!kind) {
            built.results.insert(k.file, *bytes);
            continue;
        }
        auto values = originalValues_.constFind(k.sha256);
        if (values == originalValues_.constEnd()) {
            const auto cells = patch::readCells(*kind, k.file, *bytes);
            if (!cells.ok())
                return R::failure(QStringLiteral("%1（原版）：%2").arg(k.file, cells.error()));
            QHash<QString, QJsonValue> read;
            for (const Cell& c : *cells)
                read.insert(c.key(), c.value);
            values = originalValues_.insert(k.sha256, read);
        }
        owned.push_back(std::make_unique<Stack>(k.file, *kind, entries_));
        owned.back()->start(*bytes, *values);
        stacks.append({k.file, owned.back().get()});
    }
    for (int i = 0; i < entries_.size(); ++i) {
        const Entry& e = entries_[i];
        if (!e.enabled)
            continue;
        if (!e.problem.isEmpty()) {
            built.skipped << QStringLiteral("%1：%2").arg(e.name, e.problem);
            continue;
        }
        // An entry goes on every file or on none: each file is tried first.
        std::optional<QString> refused;
        for (const auto& [file, stack] : stacks)
            if ((refused = stack->add(i, false)))
                break;
        if (refused) {
            for (const auto& [file, stack] : stacks)
                if (auto row = stack->limitRow(i))
                    built.conflicts.append(*row);
            built.skipped << QStringLiteral("%1：%2").arg(e.name, *refused);
            continue;
        }
        for (const auto& [file, stack] : stacks)
            stack->add(i, true);
    }
    QList<ConflictRow> rows;
    for (const auto& [file, stack] : stacks) {
        rows.append(stack->conflicts());
        if (!write)
            continue;
        const auto result = stack->result();
        if (!result.ok())
            return R::failure(result.error());
        built.results.insert(file, *result);
    }
    // The rows of the army past its limit come first, then the fields.
    built.conflicts.append(rows);
    return built;
}

Result<QList<ConflictRow>> ModList::conflicts() const {
    const auto built = build(false);
    if (!built.ok())
        return Result<QList<ConflictRow>>::failure(built.error());
    return built->conflicts;
}

Result<QByteArray> ModList::reference(const QString& file) const {
    const auto applied = applied_.constFind(file);
    if (applied != applied_.constEnd()) {
        for (const Kept& k : originals_)
            if (k.file == file && k.sha256 == *applied)
                return original(file);
        const QString path = QDir(keptFolder(folder_)).filePath(*applied);
        const auto bytes = files::readWhole(path);
        if (!bytes.ok() || files::sha256Hex(*bytes) != *applied)
            return Result<QByteArray>::failure(
                QStringLiteral("模组列表上次写入的 %1 找不到或已损坏（“%2”）")
                    .arg(file, QDir::toNativeSeparators(path)));
        return bytes;
    }
    return original(file);
}

Result<OutsideEdits> ModList::outsideIn(const QMap<QString, QByteArray>& now) const {
    using R = Result<OutsideEdits>;
    OutsideEdits edits;
    for (const Kept& k : originals_) {
        const auto kind = patch::kindOfName(k.file);
        if (!kind || !now.contains(k.file))
            continue;
        const QByteArray& current = now[k.file];
        if (applied_.value(k.file, k.sha256) == files::sha256Hex(current))
            continue;
        const auto ref = reference(k.file);
        if (!ref.ok())
            return R::failure(ref.error());
        if (*ref == current)
            continue;
        QStringList warnings;
        auto fp = patch::makeFilePatch(*kind, k.file, *ref, current, warnings);
        if (!fp.ok())
            return R::failure(fp.error());
        fp->size = k.size;
        fp->sha256 = k.sha256;
        for (const FieldChange& ch : fp->changes)
            edits.lines << QStringLiteral("%1：%2：%3 → %4")
                               .arg(k.file, ch.where,
                                    ch.before.isNull() ? QStringLiteral("（追加）")
                                                       : patch::shown(ch.before),
                                    patch::shown(ch.after));
        for (const QString& w : warnings)
            edits.lines << w;
        if (fp->changes.isEmpty() && warnings.isEmpty())
            edits.lines << QStringLiteral("%1：有编辑器不显示的字节不同").arg(k.file);
        if (!fp->changes.isEmpty())
            edits.asPatch.files.append(*fp);
    }
    edits.asPatch.name = ownLayerName;
    return edits;
}

namespace {

// The game files of the list as they are now.
Result<QMap<QString, QByteArray>> readNow(const QString& folder, const QStringList& names) {
    using R = Result<QMap<QString, QByteArray>>;
    QMap<QString, QByteArray> now;
    for (const QString& name : names) {
        const QString path = fields::fileIn(folder, name);
        if (path.isEmpty())
            return R::failure(QStringLiteral("游戏文件夹里没有 %1").arg(name));
        const auto bytes = files::readWhole(path);
        if (!bytes.ok())
            return R::failure(bytes.error());
        now.insert(name, *bytes);
    }
    return now;
}

QStringList lockedPaths(const QString& folder, const QStringList& names) {
    QStringList paths{QDir(folder).filePath(QStringLiteral("mods.list"))};
    for (const QString& name : names) {
        const QString path = fields::fileIn(folder, name);
        paths << (path.isEmpty() ? QDir(folder).filePath(name) : path);
    }
    return paths;
}

} // namespace

Result<OutsideEdits> ModList::outsideEdits() const {
    const auto now = readNow(folder_, touchedFiles());
    if (!now.ok())
        return Result<OutsideEdits>::failure(now.error());
    return outsideIn(*now);
}

Result<ApplyResult> ModList::writeFiles(const QMap<QString, QByteArray>& before,
                                        const QMap<QString, QByteArray>& after, bool keepUndo) {
    using R = Result<ApplyResult>;
    ApplyResult result;
    QList<files::JournalFile> journal;
    QMap<QString, QString> newApplied = applied_, newUndo;
    for (auto it = after.cbegin(); it != after.cend(); ++it) {
        const QString path = fields::fileIn(folder_, it.key());
        result.files.append({it.key(), before.value(it.key()), *it});
        newApplied.insert(it.key(), files::sha256Hex(*it));
        if (*it != before.value(it.key()))
            journal.append({path, before.value(it.key()), *it});
    }
    if (journal.isEmpty() && newApplied == applied_)
        return result;
    // What the next apply compares with and what an undo puts back, on the
    // disk before the first game file is replaced.
    const QDir kept(keptFolder(folder_));
    if (!QDir().mkpath(kept.path()))
        return R::failure(QStringLiteral("无法建立文件夹“%1”").arg(kept.path()) + nothingWritten());
    const auto keep = [&](const QByteArray& bytes) -> Failure {
        const QString path = kept.filePath(files::sha256Hex(bytes));
        const auto there = files::readWhole(path);
        if (there.ok() && *there == bytes)
            return {};
        return files::writeOutputFile(path, bytes);
    };
    QMap<QString, QString> originalShas;
    for (const Kept& k : originals_)
        originalShas.insert(k.file, k.sha256);
    for (auto it = after.cbegin(); it != after.cend(); ++it) {
        // A file that is its original again is found in original/.
        const bool isOriginal = originalShas.value(it.key()) == newApplied.value(it.key());
        if (!isOriginal)
            if (auto failure = keep(*it); !failure.ok())
                return R::failure(failure.error() + nothingWritten());
        if (keepUndo) {
            if (auto failure = keep(before.value(it.key())); !failure.ok())
                return R::failure(failure.error() + nothingWritten());
            newUndo.insert(it.key(), files::sha256Hex(before.value(it.key())));
        }
    }
    if (journal.isEmpty() && keepUndo)
        newUndo = undo_;
    if (auto failure = saveList(&newApplied, &newUndo); !failure.ok())
        return R::failure(failure.error() + nothingWritten());
    for (const files::JournalFile& f : journal)
        if (auto failure = files::steps::unwritable(f.path); !failure.ok())
            return R::failure(failure.error() + nothingWritten());
    if (auto failure = files::WriteJournal::write(journal, QStringLiteral("模组前")); !failure.ok())
        return R::failure(failure.error());
    applied_ = newApplied;
    // An apply that changed nothing keeps the undo of the one before.
    if (!keepUndo)
        undo_.clear();
    else if (!journal.isEmpty())
        undo_ = newUndo;
    if (auto failure = saveList(); !failure.ok())
        return R::failure(QStringLiteral("游戏文件已写好，但模组列表没能记下：") + failure.error());
    dropUnusedKept();
    result.written = !journal.isEmpty();
    return result;
}

void ModList::dropUnusedKept() const {
    QSet<QString> used;
    for (const QString& s : applied_)
        used.insert(s);
    for (const QString& s : undo_)
        used.insert(s);
    const QDir kept(keptFolder(folder_));
    for (const QString& name : kept.entryList(QDir::Files))
        if (!used.contains(name))
            QFile::remove(kept.filePath(name));
    QDir().rmdir(kept.path());
}

Result<QMap<QString, QByteArray>> ModList::settleOutside(Outside outside, bool save) {
    using R = Result<QMap<QString, QByteArray>>;
    auto now = readNow(folder_, touchedFiles());
    if (!now.ok())
        return R::failure(now.error() + nothingWritten());
    const auto edits = outsideIn(*now);
    if (!edits.ok())
        return R::failure(edits.error() + nothingWritten());
    if (!edits->empty() && outside == Outside::Refuse)
        return R::failure(QStringLiteral("这些地方在模组列表之外改过：\n%1%2")
                              .arg(edits->lines.join(u'\n'), nothingWritten()));
    if (!edits->empty() && outside == Outside::KeepAsLayer)
        if (auto failure = keepOwnEdits(*edits, save); !failure.ok())
            return R::failure(failure.error() + nothingWritten());
    return now;
}

Result<ApplyResult> ModList::apply(Outside outside, bool dryRun) {
    using R = Result<ApplyResult>;
    const auto held =
        hold(dryRun ? QStringList{} : lockedPaths(folder_, touchedFiles()), true, nothingWritten());
    if (!held.ok())
        return held.why();
    // A dry run shows them on top without keeping them.
    const QList<Entry> listed = entries_;
    const auto now = settleOutside(outside, !dryRun);
    if (!now.ok())
        return now.why();
    const auto built = build(true);
    if (dryRun)
        entries_ = listed;
    if (!built.ok())
        return R::failure(built.error() + nothingWritten());
    if (dryRun) {
        ApplyResult result;
        for (auto it = built->results.cbegin(); it != built->results.cend(); ++it)
            result.files.append({it.key(), now->value(it.key()), *it});
        result.conflicts = built->conflicts;
        result.skipped = built->skipped;
        return result;
    }
    auto result = writeFiles(*now, built->results, true);
    if (result.ok()) {
        result->conflicts = built->conflicts;
        result->skipped = built->skipped;
    }
    return result;
}

Result<ApplyResult> ModList::restore(Outside outside) {
    using R = Result<ApplyResult>;
    const auto held = hold(lockedPaths(folder_, touchedFiles()), true, nothingWritten());
    if (!held.ok())
        return held.why();
    const auto now = settleOutside(outside, true);
    if (!now.ok())
        return now.why();
    QMap<QString, QByteArray> originals;
    for (const Kept& k : originals_) {
        const auto bytes = original(k.file);
        if (!bytes.ok())
            return R::failure(bytes.error() + nothingWritten());
        originals.insert(k.file, *bytes);
    }
    return writeFiles(*now, originals, true);
}

Result<ApplyResult> ModList::undoApply() {
    using R = Result<ApplyResult>;
    const auto held = hold(lockedPaths(folder_, touchedFiles()), true, nothingWritten());
    if (!held.ok())
        return held.why();
    if (undo_.isEmpty())
        return R::failure(QStringLiteral("没有可以撤销的应用。"));
    const auto now = readNow(folder_, undo_.keys());
    if (!now.ok())
        return R::failure(now.error() + nothingWritten());
    QMap<QString, QByteArray> before;
    for (auto it = undo_.cbegin(); it != undo_.cend(); ++it) {
        if (applied_.value(it.key()) != files::sha256Hex(now->value(it.key())))
            return R::failure(
                QStringLiteral("%1 在上次应用之后又改过了，撤销会丢掉这些修改。").arg(it.key()) +
                nothingWritten());
        const QString path = QDir(keptFolder(folder_)).filePath(*it);
        const auto bytes = files::readWhole(path);
        if (!bytes.ok() || files::sha256Hex(*bytes) != *it)
            return R::failure(QStringLiteral("应用前的 %1 找不到或已损坏（“%2”）")
                                  .arg(it.key(), QDir::toNativeSeparators(path)) +
                              nothingWritten());
        before.insert(it.key(), *bytes);
    }
    return writeFiles(*now, before, false);
}

bool ModList::canUndoApply() const {
    return !undo_.isEmpty();
}

} // namespace lcj::changes::mods
