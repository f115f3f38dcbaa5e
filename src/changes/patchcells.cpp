#include "patch.h"

#include "jsontext.h"

#include "fields/fieldtable.h"
#include "fields/scenarioedits.h"
#include "fields/scenarioview.h"
#include "scenario/savebuilder.h"
#include "scenario/scenariodocument.h"
#include "scenario/scenariolayout.h"

#include <QFile>
#include <QHash>
#include <QJsonArray>
#include <QJsonObject>
#include <QMap>

// Every field a game file shows, read and written through the windows' forms.
namespace lcj::changes::patch {

namespace {

using fields::boxText;

// ---- data.e5, save game, message file, program file, R file: their tables

QList<Cell> tableCells(const fields::FieldFile& file) {
    QList<Cell> out;
    for (const auto& t : file.tables())
        for (int r = 0; r < t->rowCount(); ++r) {
            const QStringList values = t->readRow(r);
            for (qsizetype c = 0; c < values.size(); ++c)
                out.append({t->part(), r, t->columns()[c].key, t->place(r, int(c)), values[c]});
        }
    return out;
}

Result<QByteArray> writeTableCells(fields::FieldFile& file, const QList<Cell>& values) {
    using R = Result<QByteArray>;
    QMap<std::pair<QString, int>, fields::Cells> rows;
    for (const Cell& c : values)
        rows[{c.part, c.row}].insert(c.column, boxText(c.value));
    const bool data = file.kind() == FileKind::Data;
    for (auto it = rows.cbegin(); it != rows.cend(); ++it) {
        const auto& [part, row] = it.key();
        fields::FieldTable* t = file.table(part);
        if (!t)
            return R::failure(data ? QStringLiteral("未知的表 %1").arg(part)
                                   : QStringLiteral("未知的部分 %1").arg(part));
        if (row < 0 || row >= t->rowCount())
            return R::failure(QStringLiteral("%1：没有序号%2").arg(t->title()).arg(row));
        if (auto failure = t->checkColumns(it.value()); !failure.ok())
            return R::failure(failure.error());
        if (auto failure = t->write(row, it.value()); !failure.ok())
            return R::failure(data
                                  ? QStringLiteral("%1 %2").arg(t->rowName(row), failure.error())
                                  : QStringLiteral("%1：%2").arg(t->rowName(row), failure.error()));
    }
    return file.bytes();
}

// ---- scenarios: the view the scenario editor shows

const QString itemsColumn = QStringLiteral("items");

// The scenario's fields as its tables show them; the battle-wide values and
// the army's count have no row. `armyCounted`: the army block is readable, so
// its count is a field.
QList<Cell> scenarioCells(const fields::FieldFile& file, bool armyCounted) {
    const QString army = QStringLiteral("army");
    QList<Cell> out;
    for (const auto& t : file.tables()) {
        const bool battle = t->part() == QStringLiteral("battle");
        if (t->part() == army && armyCounted)
            out.append(
                {army, -1, countColumn, fields::fieldPlace(army, -1, countColumn), t->rowCount()});
        for (int r = 0; r < t->rowCount(); ++r)
            for (qsizetype c = 0; c < t->columns().size(); ++c)
                if (!t->columns()[c].readOnly) // a name is shown only
                    out.append({t->part(), battle ? -1 : r, t->columns()[c].key,
                                t->place(r, int(c)), t->value(r, int(c))});
    }
    return out;
}

// The file without its last `count` army entries, provided appending them
// again in the editor with the values they show gives the file back.
Result<QByteArray> removeAppendedArmy(const QByteArray& bytes, int count) {
    using R = Result<QByteArray>;
    const QString where = QStringLiteral("我军出场人数：");
    auto removed = scenario::removeLastArmyEntries(bytes, count);
    if (!removed.ok())
        return R::failure(where + removed.error());
    const scenario::ScenarioDocument full = scenario::ScenarioDocument::scan(bytes);
    const QJsonArray entries =
        fields::scenarioView(full, nullptr).value(QStringLiteral("army")).toArray();
    QJsonObject army;
    for (int k = full.armyEntryCount() - count; k < full.armyEntryCount(); ++k)
        army.insert(QString::number(k), entries.at(k));
    scenario::ScenarioDocument again = scenario::ScenarioDocument::scan(*removed);
    int confirmed = 0;
    const auto rebuilt =
        !fields::applyScenarioEdits(
             again,
             QJsonObject{{QStringLiteral("append_army"), count}, {QStringLiteral("army"), army}},
             confirmed)
                .ok()
            ? Result<scenario::SavedScenario>::failure(QString())
            : scenario::buildSave(again);
    if (!rebuilt.ok() || rebuilt->bytes != bytes)
        return R::failure(where +
                          QStringLiteral("最后%1个出场人物不是编辑器追加的样子（也许在别处改过），"
                                         "不能自动删除")
                              .arg(count));
    return removed;
}

// The scenario editor's boxes for `values`, as typed into `doc`; `remove` gets how many army
// entries a smaller count takes out (the editor itself only appends, so that is left to the
// caller).
Failure typeCells(scenario::ScenarioDocument& doc, const QList<Cell>& values, int& remove) {
    QJsonObject battle;
    QMap<QString, QMap<int, QJsonObject>> entries;
    QMap<int, QJsonValue> spoils;
    int armyCount = -1;
    for (const Cell& c : values) {
        if (c.part == QStringLiteral("battle"))
            battle.insert(c.column, c.value);
        else if (c.part == QStringLiteral("army") && c.row < 0 && c.column == countColumn)
            armyCount = c.value.toInt(-1);
        else if (c.part == QStringLiteral("spoils") && c.column == itemsColumn)
            spoils.insert(c.row, c.value);
        else if (c.row >= 0)
            entries[c.part][c.row].insert(c.column, c.value);
        else
            return QStringLiteral("%1：剧本里没有这一栏").arg(c.where);
    }
    QJsonObject edits;
    if (!battle.isEmpty())
        edits.insert(QStringLiteral("battle"), battle);
    for (auto it = entries.cbegin(); it != entries.cend(); ++it) {
        QJsonObject section;
        for (auto e = it.value().cbegin(); e != it.value().cend(); ++e)
            section.insert(QString::number(e.key()), e.value());
        edits.insert(it.key(), section);
    }
    if (!spoils.isEmpty()) {
        QJsonObject section;
        for (auto it = spoils.cbegin(); it != spoils.cend(); ++it)
            section.insert(QString::number(it.key()), it.value());
        edits.insert(QStringLiteral("spoils"), section);
    }
    remove = 0;
    if (armyCount >= 0) {
        if (armyCount < doc.armyEntryCount())
            remove = doc.armyEntryCount() - armyCount;
        else
            edits.insert(QStringLiteral("append_army"), armyCount - doc.armyEntryCount());
    }
    int confirmed = 0;
    return fields::applyScenarioEdits(doc, edits, confirmed);
}

Result<QByteArray> writeScenarioCells(const QByteArray& bytes, const QList<Cell>& values) {
    using R = Result<QByteArray>;
    scenario::ScenarioDocument doc = scenario::ScenarioDocument::scan(bytes);
    int remove = 0;
    if (auto failure = typeCells(doc, values, remove); !failure.ok())
        return failure;
    auto built = scenario::buildSave(doc);
    if (!built.ok())
        return R::failure(QStringLiteral("保存剧本文件出错\n") + built.error());
    // A revert takes out entries the patch appended; the editor itself only
    // appends, so the entries go only when putting them back gives this file.
    if (remove == 0)
        return built->bytes;
    return removeAppendedArmy(built->bytes, remove);
}

} // namespace

Failure typeScenarioCells(scenario::ScenarioDocument& doc, const QList<Cell>& values) {
    int remove = 0;
    if (auto failure = typeCells(doc, values, remove); !failure.ok())
        return failure;
    if (remove > 0)
        return Failure(QStringLiteral("剧本编辑器只能追加出场人物，不能删除"));
    return {};
}

QString Cell::key() const {
    return fieldKey(part, row, column);
}

Result<QString> place(FileKind kind, const QString& part, int row, const QString& column) {
    // A part this program does not know keeps the patch's own words; the
    // apply finds no such field and says so.
    const QString asGiven = QStringLiteral("%1 %2 %3").arg(part).arg(row).arg(column);
    int first = 0, end = rowLimit;
    QString where;
    if (kind != FileKind::Scenario) {
        // A table's shape is the same for every file of the kind.
        const fields::FieldTable* t = fields::shapeOf(kind)->table(part);
        if (!t)
            return asGiven;
        end = t->rowCount();
        where = column == t->title() && kind != FileKind::Data ? t->rowName(row)
                                                               : t->rowName(row) + u' ' + column;
    } else {
        namespace layout = scenario::layout;
        const QString army = QStringLiteral("army");
        if (part == QStringLiteral("battle") || (part == army && column == countColumn))
            first = -1, end = 0;
        else if (part == QStringLiteral("allies"))
            end = layout::allyCount;
        else if (part == QStringLiteral("enemies"))
            end = layout::enemyCount;
        else if (part == army)
            end = layout::maxArmyEntries;
        else if (part == QStringLiteral("equipment"))
            end = layout::maxEquipEntries;
        else if (part != QStringLiteral("spoils"))
            return asGiven;
        where = fields::fieldPlace(part, row, column);
    }
    if (row < first || row >= end)
        return Result<QString>::failure(
            QStringLiteral("“%1”没有 row %2（应是%3）")
                .arg(part)
                .arg(row)
                .arg(end - first == 1 ? QString::number(first)
                                      : QStringLiteral("%1到%2").arg(first).arg(end - 1)));
    return where;
}

Failure unknownField(FileKind kind, const QString& part, int row, const QString& column,
                     const QJsonValue& before, const QJsonValue& after) {
    if (kind != FileKind::Scenario) {
        const fields::FieldFile* shape = fields::shapeOf(kind);
        const fields::FieldTable* t = shape ? shape->table(part) : nullptr;
        if (!t)
            return QStringLiteral("没有“%1”这一部分").arg(part);
        for (const auto& c : t->columns())
            if (c.key == column)
                return {};
        return QStringLiteral("“%1”没有“%2”这一栏").arg(part, column);
    }
    const QString army = QStringLiteral("army");
    const QString spoils = QStringLiteral("spoils");
    static const QStringList parts{QStringLiteral("battle"),    QStringLiteral("allies"),
                                   QStringLiteral("enemies"),   army,
                                   QStringLiteral("equipment"), spoils};
    if (!parts.contains(part))
        return QStringLiteral("没有“%1”这一部分").arg(part);
    const bool count = part == army && row < 0;
    const bool known = count            ? column == countColumn
                       : part == spoils ? column == itemsColumn
                                        : fields::fieldCaption(part, column) != column;
    if (!known)
        return QStringLiteral("“%1”没有“%2”这一栏").arg(part, column);
    // A scenario's fields are numbers; a field of an entry that is not there
    // is null, and the spoils of a slot are a list of items.
    for (const auto& [key, v] :
         {std::pair{QStringLiteral("old"), before}, std::pair{QStringLiteral("new"), after}}) {
        const bool fits = v.isNull() || (part == spoils && !count ? v.isArray() : v.isDouble());
        if (!fits)
            return QStringLiteral("%1 应是%2，而不是 %3")
                .arg(key,
                     part == spoils ? QStringLiteral("一列物品编号") : QStringLiteral("一个数字"),
                     json::value(v));
    }
    return {};
}

Result<QList<Cell>> readCells(FileKind kind, const QString& fileName, const QByteArray& bytes) {
    const auto file = fields::openFile(kind, fileName, bytes);
    if (!file.ok())
        return Result<QList<Cell>>::failure(file.error());
    if (kind == FileKind::Scenario)
        return scenarioCells(**file,
                             scenario::ScenarioDocument::scan(bytes).scan().armyBlockReadable);
    return tableCells(**file);
}

Result<QByteArray> writeCells(FileKind kind, const QString& fileName, const QByteArray& bytes,
                              const QList<Cell>& values) {
    if (values.isEmpty())
        return bytes;
    if (kind == FileKind::Scenario)
        return writeScenarioCells(bytes, values);
    auto file = fields::openFile(kind, fileName, bytes);
    if (!file.ok())
        return Result<QByteArray>::failure(file.error());
    return writeTableCells(**file, values);
}

} // namespace lcj::changes::patch
