#include "tabulartext.h"

#include <algorithm>

namespace lcj::fields {

QList<QStringList> parseTabularText(const QString& text) {
    QList<QStringList> rows;
    QStringList row;
    QString cell;
    bool cellStarted = false; // anything, even an empty cell, since the last row end
    const qsizetype n = text.size();
    qsizetype i = 0;
    auto endCell = [&] {
        row.append(cell);
        cell.clear();
    };
    auto endRow = [&] {
        endCell();
        rows.append(row);
        row.clear();
        cellStarted = false;
    };
    while (i < n) {
        const QChar c = text[i];
        if (cell.isEmpty() && c == u'"') {
            // A quoted cell: up to the quote not doubled; a cell whose quote
            // never closes was no quoted cell but text beginning with a quote.
            QString quoted;
            qsizetype j = i + 1;
            bool closed = false;
            while (j < n) {
                if (text[j] == u'"') {
                    if (j + 1 < n && text[j + 1] == u'"') {
                        quoted.append(u'"');
                        j += 2;
                        continue;
                    }
                    closed = true;
                    ++j;
                    break;
                }
                quoted.append(text[j]);
                ++j;
            }
            cellStarted = true;
            if (closed) {
                cell = quoted;
                i = j;
                // Anything after the closing quote up to the separator is kept as typed.
                while (i < n && text[i] != u'\t' && text[i] != u'\n' && text[i] != u'\r')
                    cell.append(text[i++]);
                continue;
            }
            cell.append(c);
            ++i;
            continue;
        }
        if (c == u'\t') {
            endCell();
            cellStarted = true;
            ++i;
        } else if (c == u'\r' || c == u'\n') {
            endRow();
            i += (c == u'\r' && i + 1 < n && text[i + 1] == u'\n') ? 2 : 1;
        } else {
            cell.append(c);
            cellStarted = true;
            ++i;
        }
    }
    // The line end after the last row closes it; it starts no empty row.
    if (cellStarted || !cell.isEmpty())
        endRow();
    // An empty line after a block of several columns is no row of it.
    qsizetype width = 0;
    for (const QStringList& r : rows)
        width = std::max(width, r.size());
    while (width > 1 && rows.size() > 1 && rows.last() == QStringList{QString()})
        rows.removeLast();
    return rows;
}

QString tabularText(const QList<QStringList>& rows) {
    QString out;
    for (const QStringList& row : rows) {
        for (qsizetype c = 0; c < row.size(); ++c) {
            if (c > 0)
                out.append(u'\t');
            const QString& cell = row[c];
            if (cell.contains(u'\t') || cell.contains(u'\n') || cell.contains(u'\r') ||
                cell.startsWith(u'"')) {
                QString quoted = cell;
                quoted.replace(QStringLiteral("\""), QStringLiteral("\"\""));
                out.append(u'"' + quoted + u'"');
            } else {
                out.append(cell);
            }
        }
        out.append(QStringLiteral("\r\n"));
    }
    return out;
}

} // namespace lcj::fields
