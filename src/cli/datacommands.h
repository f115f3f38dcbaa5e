#pragma once

#include "common/result.h"
#include "fields/datatable.h"

#include <QString>
#include <QStringList>

// The data commands of lcjtool, as functions from files to text.
namespace lcj::cli {

using fields::TableAdapter;

enum class Format { Csv, Json };

// One row per record in record order; the first column 序号 is the record number.
Result<QString> exportTable(const QString& dataPath, const TableAdapter& table, Format format);

struct ImportOutcome {
    int changedRecords = 0;
    QStringList problems; // one per bad cell: row, column and message; nothing written
    // One per cell stored other than typed: "人物 5 武力按2的倍数保存：77 → 76".
    QStringList rounded;
};

// Checks every row by the section's own rules before anything is written;
// then writes the changed records in one go (unless `dryRun`).
Result<ImportOutcome> importTable(const QString& dataPath, const TableAdapter& table,
                                  const QString& csvText, bool dryRun);

// The field changes from data file A to data file B, one line each.
Result<QStringList> diffData(const QString& pathA, const QString& pathB);

} // namespace lcj::cli
