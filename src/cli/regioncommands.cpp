#include "regioncommands.h"

#include "changes/compare.h"
#include "common/fileaccess.h"
#include "csv.h"
#include "scenario/rfile.h"

namespace lcj::cli {

namespace {

csv::NumberedTable numbered(const fields::FieldTable& t) {
    QStringList headers;
    for (const fields::Column& c : t.columns())
        headers.append(c.key);
    return {headers, t.labelHeader(), t.rowCount()};
}

} // namespace

fields::FieldTable& RegionModel::table(const QString& part) {
    fields::FieldTable* t = file_->table(part);
    return t ? *t : *file_->tables().front();
}

Failure RegionModel::save() {
    const QList<files::Patch> regions = file_->savedRegions();
    switch (kind_) {
    case RegionKind::Imsg:
        // Each changed slot is written in place, as "确定" writes it; all of
        // them in one replace of the file.
        if (regions.isEmpty())
            return {};
        if (auto failure = files::writeRegions(path_, regions); !failure.ok())
            return QStringLiteral("保存出错\n\n") + failure.error();
        break;
    case RegionKind::Save:
    case RegionKind::Exe:
        if (auto failure = files::writeRegions(path_, regions); !failure.ok())
            return failure;
        break;
    default:
        if (auto failure = files::writeWhole(path_, file_->bytes()); !failure.ok())
            return failure;
        break;
    }
    // What was written is what the file holds now.
    auto reopened = fields::openFile(kind_, path_, file_->bytes());
    if (reopened.ok())
        file_ = std::move(*reopened);
    return {};
}

QStringList regionParts(RegionKind kind) {
    const fields::FieldFile* shape = fields::shapeOf(kind);
    return shape ? shape->parts() : QStringList();
}

Result<std::unique_ptr<RegionModel>> loadRegionModel(RegionKind kind, const QString& path) {
    using R = Result<std::unique_ptr<RegionModel>>;
    const auto bytes = files::readWhole(path);
    if (!bytes.ok())
        return R::failure(kind == RegionKind::RFile
                              ? scenario::rFileNotFoundMessage() + u'\n' + bytes.error()
                              : QStringLiteral("文件打开出错\n\n") + bytes.error());
    auto file = fields::openFile(kind, path, *bytes);
    if (!file.ok())
        return R::failure(file.error());
    return R(std::make_unique<RegionModel>(kind, path, std::move(*file)));
}

QString exportRows(const fields::FieldTable& table) {
    return csv::writeNumbered(
        numbered(table), [&](int r) { return table.readRow(r); },
        [&](int r) { return table.label(r); });
}

Result<RowImportOutcome> importRows(RegionModel& model, const QString& part, const QString& csvText,
                                    bool dryRun) {
    using R = Result<RowImportOutcome>;
    fields::FieldTable& table = model.table(part);
    const csv::NumberedTable shape = numbered(table);
    RowImportOutcome outcome;
    const auto rows = csv::readNumbered(csvText, shape, outcome.problems);
    if (!rows.ok())
        return R::failure(rows.error());
    for (const csv::NumberedRow& row : *rows) {
        const QStringList shown = table.readRow(row.number);
        fields::Cells cells;
        // Only the cells that differ from what the row shows are typed in.
        for (auto cell = row.cells.cbegin(); cell != row.cells.cend(); ++cell)
            if (cell.value() != shown[shape.headers.indexOf(cell.key())])
                cells.insert(cell.key(), cell.value());
        if (cells.isEmpty())
            continue;
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
        if (table.readRow(row.number) != shown)
            ++outcome.changedRows;
    }
    if (!outcome.problems.isEmpty() || dryRun || outcome.changedRows == 0)
        return outcome;
    if (auto failure = model.save(); !failure.ok())
        return R::failure(failure.error());
    return outcome;
}

Result<QStringList> diffRegions(RegionKind kind, const QString& pathA, const QString& pathB) {
    using R = Result<QStringList>;
    auto a = loadRegionModel(kind, pathA);
    if (!a.ok())
        return R::failure(a.error());
    auto b = loadRegionModel(kind, pathB);
    if (!b.ok())
        return R::failure(b.error());
    QStringList lines;
    for (const changes::FieldChange& change : changes::compare((*a)->file(), (*b)->file()))
        lines << changes::diffLine(change);
    return lines;
}

} // namespace lcj::cli
