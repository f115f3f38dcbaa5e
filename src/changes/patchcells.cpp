#include "patch.h"

#include "cli/regioncommands.h"
#include "cli/scenariocommands.h"
#include "cli/tableadapter.h"
#include "scenario/savebuilder.h"
#include "scenario/scenariodocument.h"
#include "scenario/scenariolayout.h"
#include "scenariochanges.h"
#include "scenarioview.h"

#include <QFile>
#include <QHash>
#include <QJsonArray>
#include <QJsonObject>
#include <QMap>
#include <QTemporaryDir>

// Every field a game file shows, read and written through the windows' forms.
namespace lcj::changes::patch {

using namespace lcj::cli;

namespace {

QString keyOf(const QString& part, int row, const QString& column) {
    return part + u'\x1f' + QString::number(row) + u'\x1f' + column;
}

// A cell's value as the text typed into its box.
QString boxText(const QJsonValue& v) {
    if (v.isDouble())
        return QString::number(qint64(v.toDouble()));
    return v.toString();
}

std::optional<RegionKind> regionKind(FileKind kind) {
    switch (kind) {
    case FileKind::Save:
        return RegionKind::Save;
    case FileKind::Imsg:
        return RegionKind::Imsg;
    case FileKind::Exe:
        return RegionKind::Exe;
    case FileKind::RFile:
        return RegionKind::RFile;
    default:
        return std::nullopt;
    }
}

// ---- data.e5: the tables of lcjtool data export

Failure checkDataSize(const QByteArray& bytes) {
    if (bytes.size() < data::minimumFileSize)
        return QStringLiteral("不是完整的Data文件：长度只有%1字节，至少应有%2字节")
            .arg(bytes.size())
            .arg(data::minimumFileSize);
    return std::nullopt;
}

Result<QList<Cell>> dataCells(const QByteArray& bytes) {
    if (auto failure = checkDataSize(bytes))
        return Result<QList<Cell>>::failure(*failure);
    QList<Cell> out;
    for (const auto& table : dataTables()) {
        const data::Table& layout = table->table();
        const QStringList headers = table->headers();
        for (int i = 0; i < layout.count; ++i) {
            const QStringList cells = table->exportRecord(
                QByteArrayView(bytes).sliced(layout.recordOffset(i), layout.recordSize));
            for (qsizetype c = 0; c < headers.size(); ++c)
                out.append({table->name(), i, headers[c],
                            QStringLiteral("%1 %2 %3").arg(table->title()).arg(i).arg(headers[c]),
                            cells[c]});
        }
    }
    return out;
}

Result<QByteArray> writeDataCells(const QByteArray& bytes, const QList<Cell>& values) {
    using R = Result<QByteArray>;
    if (auto failure = checkDataSize(bytes))
        return R::failure(*failure);
    QMap<std::pair<QString, int>, QHash<QString, QString>> records;
    for (const Cell& c : values)
        records[{c.part, c.row}].insert(c.column, boxText(c.value));
    QByteArray out = bytes;
    for (auto it = records.cbegin(); it != records.cend(); ++it) {
        const auto& [part, row] = it.key();
        const TableAdapter* table = findDataTable(part);
        if (!table)
            return R::failure(QStringLiteral("未知的表 %1").arg(part));
        const data::Table& layout = table->table();
        if (row < 0 || row >= layout.count)
            return R::failure(QStringLiteral("%1：没有序号%2").arg(table->title()).arg(row));
        const QStringList headers = table->headers();
        for (const QString& column : it.value().keys())
            if (!headers.contains(column))
                return R::failure(QStringLiteral("%1：没有“%2”这一栏").arg(table->title(), column));
        QByteArray record = out.mid(layout.recordOffset(row), layout.recordSize);
        if (auto failure = table->importRecord(it.value(), record))
            return R::failure(
                QStringLiteral("%1 %2 %3").arg(table->title()).arg(row).arg(*failure));
        out.replace(layout.recordOffset(row), layout.recordSize, record);
    }
    return out;
}

// ---- save game, message file, program file, R file: their region models,
// loaded from a private copy so that nothing reaches the game folder here

class RegionCopy {
public:
    Failure load(RegionKind kind, const QString& fileName, const QByteArray& bytes) {
        if (!dir_.isValid())
            return QStringLiteral("无法建立临时文件夹");
        path_ = dir_.filePath(fileName);
        QFile f(path_);
        if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size() || !f.flush())
            return QStringLiteral("无法写入临时文件：%1").arg(f.errorString());
        f.close();
        auto model = loadRegionModel(kind, path_);
        if (!model)
            return model.error();
        model_ = std::move(*model);
        kind_ = kind;
        return std::nullopt;
    }
    RegionModel& model() { return *model_; }
    RegionKind kind() const { return kind_; }
    Result<QByteArray> bytes() const {
        QFile f(path_);
        if (!f.open(QIODevice::ReadOnly))
            return Result<QByteArray>::failure(f.errorString());
        return f.readAll();
    }

private:
    QTemporaryDir dir_;
    QString path_;
    std::unique_ptr<RegionModel> model_;
    RegionKind kind_ = RegionKind::Save;
};

QString regionWhere(const RowTable& t, int r, const QString& header) {
    const QString prefix = t.rows == 1 ? t.title : QStringLiteral("%1 %2").arg(t.title).arg(r);
    return header == t.title ? prefix : prefix + u' ' + header;
}

Result<QList<Cell>> regionCells(RegionKind kind, const QString& fileName, const QByteArray& bytes) {
    RegionCopy copy;
    if (auto failure = copy.load(kind, fileName, bytes))
        return Result<QList<Cell>>::failure(*failure);
    QList<Cell> out;
    for (const QString& part : regionParts(kind)) {
        const RowTable t = copy.model().table(part);
        for (int r = 0; r < t.rows; ++r) {
            const QStringList values = t.get(r);
            for (qsizetype c = 0; c < t.headers.size(); ++c)
                out.append({part, r, t.headers[c], regionWhere(t, r, t.headers[c]), values[c]});
        }
    }
    return out;
}

Result<QByteArray> writeRegionCells(RegionKind kind, const QString& fileName,
                                    const QByteArray& bytes, const QList<Cell>& values) {
    using R = Result<QByteArray>;
    RegionCopy copy;
    if (auto failure = copy.load(kind, fileName, bytes))
        return R::failure(*failure);
    QMap<std::pair<QString, int>, QHash<QString, QString>> rows;
    for (const Cell& c : values)
        rows[{c.part, c.row}].insert(c.column, boxText(c.value));
    const QStringList parts = regionParts(kind);
    for (auto it = rows.cbegin(); it != rows.cend(); ++it) {
        const auto& [part, row] = it.key();
        if (!parts.contains(part))
            return R::failure(QStringLiteral("未知的部分 %1").arg(part));
        const RowTable t = copy.model().table(part);
        if (row < 0 || row >= t.rows)
            return R::failure(QStringLiteral("%1：没有序号%2").arg(t.title).arg(row));
        for (const QString& column : it.value().keys())
            if (!t.headers.contains(column))
                return R::failure(QStringLiteral("%1：没有“%2”这一栏").arg(t.title, column));
        if (auto failure = t.set(row, it.value()))
            return R::failure(QStringLiteral("%1：%2").arg(
                t.rows == 1 ? t.title : QStringLiteral("%1 %2").arg(t.title).arg(row), *failure));
    }
    if (auto failure = copy.model().save())
        return R::failure(*failure);
    return copy.bytes();
}

// ---- scenarios: the view the scenario editor shows

const QString itemsColumn = QStringLiteral("items");

QList<Cell> scenarioCells(const scenario::ScenarioDocument& doc) {
    const QJsonObject view = changes::scenarioView(doc, nullptr);
    QList<Cell> out;
    const auto add = [&out](const QString& part, int row, const QString& column,
                            const QJsonValue& v) {
        out.append({part, row, column, changes::fieldPlace(part, row, column), v});
    };
    const QJsonValue battle = view.value(QStringLiteral("battle"));
    if (battle.isObject())
        for (const QString& key : changes::battleKeys())
            add(QStringLiteral("battle"), -1, key, battle.toObject().value(key));
    const QString army = QStringLiteral("army");
    for (const auto& [section, keys] :
         {std::pair{QStringLiteral("allies"), &changes::slotKeys()},
          std::pair{QStringLiteral("enemies"), &changes::slotKeys()},
          std::pair{army, &changes::armyKeys()},
          std::pair{QStringLiteral("equipment"), &changes::equipKeys()}}) {
        const QJsonArray entries = view.value(section).toArray();
        if (section == army && doc.armyBlockReadable)
            add(army, -1, countColumn, int(entries.size()));
        for (qsizetype k = 0; k < entries.size(); ++k)
            for (const QString& key : *keys)
                if (key != QStringLiteral("name")) // shown only
                    add(section, int(k), key, entries[k].toObject().value(key));
    }
    const QJsonArray spoils = view.value(QStringLiteral("spoils")).toArray();
    for (qsizetype k = 0; k < spoils.size(); ++k)
        add(QStringLiteral("spoils"), int(k), itemsColumn, spoils[k]);
    return out;
}

// The file without its last `count` army entries, provided appending them
// again in the editor with the values they show gives the file back.
Result<QByteArray> removeAppendedArmy(const QByteArray& bytes, int count) {
    using R = Result<QByteArray>;
    const QString where = QStringLiteral("我军出场人数：");
    auto removed = scenario::removeLastArmyEntries(bytes, count);
    if (!removed)
        return R::failure(where + removed.error());
    const scenario::ScenarioDocument full = scenario::ScenarioDocument::scan(bytes);
    const QJsonArray entries =
        changes::scenarioView(full, nullptr).value(QStringLiteral("army")).toArray();
    QJsonObject army;
    for (int k = full.armyEntryCount - count; k < full.armyEntryCount; ++k)
        army.insert(QString::number(k), entries.at(k));
    scenario::ScenarioDocument again = scenario::ScenarioDocument::scan(*removed);
    int confirmed = 0;
    const auto rebuilt = applyScenarioEdits(again,
                                            QJsonObject{{QStringLiteral("append_army"), count},
                                                        {QStringLiteral("army"), army}},
                                            confirmed)
                             ? Result<scenario::SavedScenario>::failure(QString())
                             : scenario::buildSave(again);
    if (!rebuilt || rebuilt->bytes != bytes)
        return R::failure(where +
                          QStringLiteral("最后%1个出场人物不是编辑器追加的样子（也许在别处改过），"
                                         "不能自动删除")
                              .arg(count));
    return removed;
}

Result<QByteArray> writeScenarioCells(const QByteArray& bytes, const QList<Cell>& values) {
    using R = Result<QByteArray>;
    scenario::ScenarioDocument doc = scenario::ScenarioDocument::scan(bytes);
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
            return R::failure(QStringLiteral("%1：剧本里没有这一栏").arg(c.where));
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
    // A revert takes out entries the patch appended; the editor itself only
    // appends, so the entries go only when putting them back gives this file.
    int remove = 0;
    if (armyCount >= 0) {
        if (armyCount < doc.armyEntryCount)
            remove = doc.armyEntryCount - armyCount;
        else
            edits.insert(QStringLiteral("append_army"), armyCount - doc.armyEntryCount);
    }
    int confirmed = 0;
    if (auto failure = applyScenarioEdits(doc, edits, confirmed))
        return R::failure(*failure);
    auto built = scenario::buildSave(doc);
    if (!built)
        return R::failure(QStringLiteral("保存剧本文件出错\n") + built.error());
    if (remove == 0)
        return built->bytes;
    return removeAppendedArmy(built->bytes, remove);
}

} // namespace

QString Cell::key() const {
    return keyOf(part, row, column);
}

QString FieldChange::key() const {
    return keyOf(part, row, column);
}

std::optional<FileKind> kindOfName(const QString& fileName) {
    const QString n = fileName.toLower();
    if (n == QStringLiteral("data.e5"))
        return FileKind::Data;
    if (n == QStringLiteral("imsg.e5"))
        return FileKind::Imsg;
    if (n.endsWith(QStringLiteral(".e5s")))
        return FileKind::Save;
    if (n.endsWith(QStringLiteral(".exe")))
        return FileKind::Exe;
    if (n.endsWith(QStringLiteral(".eex"))) {
        if (n.startsWith(u's'))
            return FileKind::Scenario;
        if (n.startsWith(u'r'))
            return FileKind::RFile;
    }
    return std::nullopt;
}

namespace {
const std::pair<FileKind, const char16_t*> kindNames[] = {
    {FileKind::Data, u"data"}, {FileKind::Save, u"save"},   {FileKind::Imsg, u"imsg"},
    {FileKind::Exe, u"exe"},   {FileKind::RFile, u"rfile"}, {FileKind::Scenario, u"scenario"},
};
} // namespace

QString kindName(FileKind kind) {
    for (const auto& [k, name] : kindNames)
        if (k == kind)
            return QString::fromUtf16(name);
    return {};
}

std::optional<FileKind> kindFromName(const QString& name) {
    for (const auto& [k, n] : kindNames)
        if (name == QString::fromUtf16(n))
            return k;
    return std::nullopt;
}

Result<QString> place(FileKind kind, const QString& part, int row, const QString& column) {
    // A part this program does not know keeps the patch's own words; the
    // apply finds no such field and says so.
    const QString asGiven = QStringLiteral("%1 %2 %3").arg(part).arg(row).arg(column);
    int first = 0, end = rowLimit;
    QString where;
    if (kind == FileKind::Data) {
        const TableAdapter* table = findDataTable(part);
        if (!table)
            return asGiven;
        end = table->table().count;
        where = QStringLiteral("%1 %2 %3").arg(table->title()).arg(row).arg(column);
    } else if (kind == FileKind::Scenario) {
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
        where = changes::fieldPlace(part, row, column);
    } else {
        const RegionKind region = *regionKind(kind);
        if (!regionParts(region).contains(part))
            return asGiven;
        // A shape is the same for every file of the kind: made once per part.
        thread_local QHash<std::pair<int, QString>, RowTable> shapes;
        const auto key = std::pair{int(region), part};
        if (!shapes.contains(key))
            shapes.insert(key, regionShape(region, part));
        const RowTable& t = shapes[key];
        end = t.rows;
        where = regionWhere(t, row, column);
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

Result<QList<Cell>> readCells(FileKind kind, const QString& fileName, const QByteArray& bytes) {
    if (kind == FileKind::Data)
        return dataCells(bytes);
    if (kind == FileKind::Scenario)
        return scenarioCells(scenario::ScenarioDocument::scan(bytes));
    return regionCells(*regionKind(kind), fileName, bytes);
}

Result<QByteArray> writeCells(FileKind kind, const QString& fileName, const QByteArray& bytes,
                              const QList<Cell>& values) {
    if (values.isEmpty())
        return bytes;
    if (kind == FileKind::Data)
        return writeDataCells(bytes, values);
    if (kind == FileKind::Scenario)
        return writeScenarioCells(bytes, values);
    return writeRegionCells(*regionKind(kind), fileName, bytes, values);
}

} // namespace lcj::changes::patch
