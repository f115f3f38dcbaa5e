#include "csv.h"

#include "common/gbk.h"
#include "common/numberinput.h"

#include <QStringDecoder>

namespace lcj::csv {

namespace {

QString quoted(const QString& field) {
    if (!field.contains(u',') && !field.contains(u'"') && !field.contains(u'\n') &&
        !field.contains(u'\r'))
        return field;
    QString out = field;
    out.replace(u'"', QStringLiteral("\"\""));
    return u'"' + out + u'"';
}

} // namespace

QString write(const Rows& rows) {
    QString out;
    for (const QStringList& row : rows) {
        for (qsizetype i = 0; i < row.size(); ++i) {
            if (i > 0)
                out += u',';
            out += quoted(row[i]);
        }
        out += QStringLiteral("\r\n");
    }
    return out;
}

Result<Rows> read(const QString& text) {
    Rows rows;
    QStringList row;
    QString field;
    bool inQuotes = false;
    bool afterQuote = false; // a quoted field has closed; only a separator may follow
    int line = 1;
    auto endField = [&] {
        row.append(field);
        field.clear();
        afterQuote = false;
    };
    auto endRow = [&] {
        endField();
        rows.append(row);
        row.clear();
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (inQuotes) {
            if (c == u'"') {
                if (i + 1 < text.size() && text[i + 1] == u'"') {
                    field += u'"';
                    ++i;
                } else {
                    inQuotes = false;
                    afterQuote = true;
                }
            } else {
                if (c == u'\n')
                    ++line;
                field += c;
            }
            continue;
        }
        if (c == u',') {
            endField();
        } else if (c == u'\r' || c == u'\n') {
            if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
                ++i;
            endRow();
            ++line;
        } else if (afterQuote) {
            return Result<Rows>::failure(
                QStringLiteral("CSV第%1行：引号之后只能是逗号或换行").arg(line));
        } else if (c == u'"' && field.isEmpty()) {
            inQuotes = true;
        } else {
            field += c;
        }
    }
    if (inQuotes)
        return Result<Rows>::failure(QStringLiteral("CSV第%1行：引号没有闭合").arg(line));
    if (!field.isEmpty() || !row.isEmpty() || afterQuote)
        endRow();
    return rows;
}

QString writeNumbered(const NumberedTable& table, const std::function<QStringList(int)>& cells,
                      const std::function<QString(int)>& label) {
    const QString numberHeader = QStringLiteral("序号");
    const bool labelled = !table.labelHeader.isEmpty();
    Rows rows{QStringList{numberHeader} +
              (labelled ? QStringList{table.labelHeader} : QStringList{}) + table.headers};
    for (int r = 0; r < table.rows; ++r)
        rows.append(QStringList{QString::number(r)} +
                    (labelled ? QStringList{label(r)} : QStringList{}) + cells(r));
    return write(rows);
}

Result<QList<NumberedRow>> readNumbered(const QString& text, const NumberedTable& table,
                                        QStringList& problems) {
    using R = Result<QList<NumberedRow>>;
    const QString numberHeader = QStringLiteral("序号");
    const auto rows = read(text);
    if (!rows)
        return R::failure(rows.error());
    if (rows->isEmpty())
        return R::failure(QStringLiteral("CSV文件是空的"));
    const QStringList header = rows->first();
    const qsizetype numberColumn = header.indexOf(numberHeader);
    if (numberColumn < 0)
        return R::failure(QStringLiteral("CSV文件缺少“序号”一列"));
    for (const QString& h : header)
        if (h != numberHeader && h != table.labelHeader && !table.headers.contains(h))
            return R::failure(QStringLiteral("CSV文件有未知的列“%1”（可用: %2）")
                                  .arg(h, table.headers.join(QStringLiteral(", "))));
    QList<NumberedRow> out;
    QList<int> seen;
    for (qsizetype r = 1; r < rows->size(); ++r) {
        const QStringList& row = rows->at(r);
        if (row.size() == 1 && row.first().isEmpty())
            continue; // a blank line
        const QString where = QStringLiteral("第%1行").arg(r + 1);
        if (row.size() != header.size()) {
            problems.append(QStringLiteral("%1：应有%2列，实际%3列")
                                .arg(where)
                                .arg(header.size())
                                .arg(row.size()));
            continue;
        }
        const QString& cell = row[numberColumn];
        const auto number = parseNumber(numberHeader, cell, {0, table.rows - 1, Rounding::Down});
        if (!number || cell.contains(u'.')) {
            problems.append(
                where + QStringLiteral("：") +
                (number ? rangeMessage(numberHeader, 0, table.rows - 1) : number.error()));
            continue;
        }
        if (seen.contains(int(*number))) {
            problems.append(QStringLiteral("%1：序号%2出现了不止一次").arg(where).arg(*number));
            continue;
        }
        seen.append(int(*number));
        NumberedRow parsed{where, int(*number), {}};
        for (qsizetype c = 0; c < header.size(); ++c)
            if (c != numberColumn && header[c] != table.labelHeader)
                parsed.cells.insert(header[c], row[c]);
        out.append(parsed);
    }
    return out;
}

QString decodeUserText(const QByteArray& bytes) {
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return QString::fromUtf8(bytes.mid(3));
    QStringDecoder utf8(QStringDecoder::Utf8, QStringConverter::Flag::Stateless);
    const QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text;
    return gbk::decode(bytes);
}

} // namespace lcj::csv
