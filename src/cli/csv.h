#pragma once

#include "common/result.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

// Comma-separated values as RFC 4180 has them: fields with commas, quotes or
// line breaks are quoted, quotes inside doubled; records end with CR LF.
namespace lcj::csv {

using Rows = QList<QStringList>;

QString write(const Rows& rows);

// Reads CSV text; line ends may be CR LF or LF. Fails on a quote left open or
// text after a closing quote.
Result<Rows> read(const QString& text);

// A table whose first column "序号" numbers its rows, optionally followed by a
// column of fixed row names, then the value columns.
struct NumberedTable {
    QStringList headers; // the value columns
    QString labelHeader; // the column of fixed names, or empty
    int rows = 0;        // the row numbers run 0..rows-1
};

// Writes `cells(r)` (one value per header) for every row r, with its number and label.
QString writeNumbered(const NumberedTable& table, const std::function<QStringList(int)>& cells,
                      const std::function<QString(int)>& label);

// One row of an imported table: its number and its value cells by header
// (only the columns present in the file; the label column is never among them).
struct NumberedRow {
    QString where; // "第3行", for messages
    int number = 0;
    QHash<QString, QString> cells;
};

// Reads an imported table, as CSV or as the JSON array of objects that
// `data export --format json` writes (text that starts with "["). Refuses a
// file without "序号", with an unknown or a repeated column; a row with the
// wrong count of cells, a bad or repeated number or a NUL character in a cell
// is reported in `problems` and left out.
Result<QList<NumberedRow>> readNumbered(const QString& text, const NumberedTable& table,
                                        QStringList& problems);

// Text files that a user brings: UTF-8 with or without a byte order mark, or
// GBK. Refuses UTF-16, UTF-8 with broken sequences and bytes that are neither,
// naming the line.
Result<QString> decodeUserText(const QByteArray& bytes);

} // namespace lcj::csv
