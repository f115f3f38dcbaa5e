#include "csv.h"

#include "common/gbk.h"

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
