#include "datacommands.h"

#include "changes/compare.h"
#include "changes/jsontext.h"
#include "common/fileaccess.h"
#include "common/writelock.h"
#include "csv.h"
#include "fields/fieldtable.h"

#include <QJsonArray>
#include <QJsonDocument>

namespace lcj::cli {

namespace {

const QString numberHeader = QStringLiteral("序号");

Result<QByteArray> readDataFile(const QString& path) {
    auto bytes = files::readWhole(path);
    if (bytes.ok() && bytes->size() < data::minimumFileSize)
        return Result<QByteArray>::failure(
            QStringLiteral("“%1”不是完整的Data文件：长度只有%2字节，至少应有%3字节")
                .arg(path)
                .arg(bytes->size())
                .arg(data::minimumFileSize));
    return bytes;
}

QByteArrayView recordOf(const QByteArray& file, const data::Table& table, int i) {
    return QByteArrayView(file).sliced(table.recordOffset(i), table.recordSize);
}

QJsonValue jsonCell(const QString& cell, bool text) {
    bool ok = false;
    const int n = cell.toInt(&ok);
    return (!text && ok) ? QJsonValue(n) : QJsonValue(cell);
}

csv::NumberedTable numbered(const fields::FieldTable& table) {
    QStringList headers;
    for (const fields::Column& c : table.columns())
        headers.append(c.key);
    return {headers, table.labelHeader(), table.rowCount()};
}

// The data file at `path` opened as its tables.
Result<std::unique_ptr<fields::FieldFile>> openData(const QString& path) {
    using R = Result<std::unique_ptr<fields::FieldFile>>;
    const auto bytes = readDataFile(path);
    if (!bytes.ok())
        return R::failure(bytes.error());
    return fields::openFile(fields::FileKind::Data, path, *bytes);
}

} // namespace

Result<QString> exportTable(const QString& dataPath, const TableAdapter& adapter, Format format) {
    const auto file = openData(dataPath);
    if (!file.ok())
        return Result<QString>::failure(file.error());
    const fields::FieldTable& table = *(*file)->table(adapter.name());
    const QList<fields::Column>& columns = table.columns();
    if (format == Format::Json) {
        // Written by hand so that the keys keep the order of the columns.
        QStringList rows;
        for (int i = 0; i < table.rowCount(); ++i) {
            const QStringList cells = table.readRow(i);
            QStringList members{changes::json::member(numberHeader, QJsonValue(i))};
            if (!table.labelHeader().isEmpty())
                members.append(
                    changes::json::member(table.labelHeader(), QJsonValue(table.label(i))));
            for (qsizetype c = 0; c < columns.size(); ++c)
                members.append(
                    changes::json::member(columns[c].key, jsonCell(cells[c], columns[c].text)));
            rows.append(QStringLiteral("  {") + members.join(QStringLiteral(", ")) + u'}');
        }
        return QStringLiteral("[\n") + rows.join(QStringLiteral(",\n")) + QStringLiteral("\n]\n");
    }
    return csv::writeNumbered(
        numbered(table), [&](int i) { return table.readRow(i); },
        [&](int i) { return table.label(i); });
}

Result<ImportOutcome> importTable(const QString& dataPath, const TableAdapter& adapter,
                                  const QString& csvText, bool dryRun) {
    using R = Result<ImportOutcome>;
    ImportOutcome outcome;
    const auto rows = csv::readNumbered(
        csvText, numbered(*fields::shapeOf(fields::FileKind::Data)->table(adapter.name())),
        outcome.problems);
    if (!rows.ok())
        return R::failure(rows.error());
    // Read, changed and written under the file's lock: another import of the
    // same file waits, and reads what this one wrote.
    const auto lock = files::WriteLock::take(dryRun ? QStringList{} : QStringList{dataPath});
    if (!lock.ok())
        return R::failure(lock.error());
    auto file = openData(dataPath);
    if (!file.ok())
        return R::failure(file.error());
    fields::FieldTable& table = *(*file)->table(adapter.name());
    const data::Table& layout = adapter.table();
    for (const csv::NumberedRow& row : *rows) {
        const QByteArray before = (*file)->bytes();
        fields::Cells cells;
        for (auto cell = row.cells.cbegin(); cell != row.cells.cend(); ++cell)
            cells.insert(cell.key(), cell.value());
        Roundings rounded;
        if (auto failure = table.write(row.number, cells, &rounded); !failure.ok()) {
            outcome.problems.append(QStringLiteral("%1（序号%2）：%3")
                                        .arg(row.where)
                                        .arg(row.number)
                                        .arg(failure.error()));
            continue;
        }
        for (const Rounded& r : rounded)
            outcome.rounded.append(table.rowName(row.number) + u' ' + r.text());
        if (recordOf((*file)->bytes(), layout, row.number) != recordOf(before, layout, row.number))
            ++outcome.changedRecords;
    }
    if (!outcome.problems.isEmpty() || dryRun || outcome.changedRecords == 0)
        return outcome;
    if (auto failure = files::writeWhole(dataPath, (*file)->bytes()); !failure.ok())
        return R::failure(failure.error());
    return outcome;
}

Result<QStringList> diffData(const QString& pathA, const QString& pathB) {
    using R = Result<QStringList>;
    const auto a = readDataFile(pathA);
    if (!a.ok())
        return R::failure(a.error());
    const auto b = readDataFile(pathB);
    if (!b.ok())
        return R::failure(b.error());
    const auto fa = fields::openFile(fields::FileKind::Data, pathA, *a);
    if (!fa.ok())
        return R::failure(fa.error());
    const auto fb = fields::openFile(fields::FileKind::Data, pathB, *b);
    if (!fb.ok())
        return R::failure(fb.error());
    QHash<std::pair<QString, int>, QStringList> named; // the lines of each record
    for (const changes::FieldChange& change : changes::compare(**fa, **fb))
        named[{change.part, change.row}] << changes::diffLine(change);
    QStringList lines;
    for (const auto& table : fields::dataTables()) {
        const data::Table& layout = table->table();
        for (int i = 0; i < layout.count; ++i) {
            if (recordOf(*a, layout, i) == recordOf(*b, layout, i))
                continue;
            // Bytes that no column shows still count as a difference.
            const QStringList fieldLines = named.value({table->name(), i});
            lines << (fieldLines.isEmpty() ? QStringList{QStringLiteral("%1 %2: 未显示的字节不同")
                                                             .arg(table->title())
                                                             .arg(i)}
                                           : fieldLines);
        }
    }
    // Bytes that belong to no table: before the first, the one byte after the
    // items, and everything after the strategies.
    const auto outside = [](const QByteArray& f) {
        return f.left(data::characters.offset) + f.mid(data::items.end(), 1) +
               f.mid(data::minimumFileSize);
    };
    if (outside(*a) != outside(*b))
        lines.append(QStringLiteral("表格之外的字节不同"));
    if (a->size() != b->size())
        lines.append(QStringLiteral("文件长度: %1 → %2").arg(a->size()).arg(b->size()));
    return lines;
}

} // namespace lcj::cli
