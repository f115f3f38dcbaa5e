#include "csv.h"

#include "changes/jsontext.h"
#include "common/gbk.h"
#include "common/numberinput.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocale>

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

namespace {

const QString numberHeader = QStringLiteral("序号");

// Checks one row's number and cells and adds it to `out`, or reports why not.
void addRow(const QString& where, const QString& numberCell,
            const QList<std::pair<QString, QString>>& cells, const NumberedTable& table,
            QList<NumberedRow>& out, QList<int>& seen, QStringList& problems) {
    const auto number = parseNumber(numberHeader, numberCell, {0, table.rows - 1, Rounding::Down});
    if (!number.ok() || numberCell.contains(u'.')) {
        problems.append(
            where + QStringLiteral("：") +
            (number.ok() ? rangeMessage(numberHeader, 0, table.rows - 1) : number.error()));
        return;
    }
    if (seen.contains(int(*number))) {
        problems.append(QStringLiteral("%1：序号%2出现了不止一次").arg(where).arg(*number));
        return;
    }
    // A game text ends at its first zero byte: whatever followed would be lost.
    for (const auto& [header, cell] : cells)
        if (header != table.labelHeader && cell.contains(QChar(0))) {
            problems.append(QStringLiteral("%1：“%2”一格中有NUL字符（编码为0的字符），请删去")
                                .arg(where, header));
            return;
        }
    seen.append(int(*number));
    NumberedRow parsed{where, int(*number), {}};
    for (const auto& [header, cell] : cells)
        if (header != table.labelHeader)
            parsed.cells.insert(header, cell);
    out.append(parsed);
}

QString knownColumns(const NumberedTable& table) {
    return table.headers.join(QStringLiteral(", "));
}

Result<QList<NumberedRow>> readCsv(const QString& text, const NumberedTable& table,
                                   QStringList& problems) {
    using R = Result<QList<NumberedRow>>;
    const auto rows = read(text);
    if (!rows.ok())
        return R::failure(rows.error());
    if (rows->isEmpty())
        return R::failure(QStringLiteral("CSV文件是空的"));
    const QStringList header = rows->first();
    const qsizetype numberColumn = header.indexOf(numberHeader);
    if (numberColumn < 0)
        return R::failure(QStringLiteral("CSV文件缺少“序号”一列"));
    for (const QString& h : header) {
        if (h != numberHeader && h != table.labelHeader && !table.headers.contains(h))
            return R::failure(
                QStringLiteral("CSV文件有未知的列“%1”（可用: %2）").arg(h, knownColumns(table)));
        // Two columns of one name would leave it open which of them counts.
        if (header.count(h) > 1)
            return R::failure(QStringLiteral("CSV文件的列“%1”出现了不止一次").arg(h));
    }
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
        QList<std::pair<QString, QString>> cells;
        for (qsizetype c = 0; c < header.size(); ++c)
            if (c != numberColumn)
                cells.append({header[c], row[c]});
        addRow(where, row[numberColumn], cells, table, out, seen, problems);
    }
    return out;
}

// A JSON value as the text typed into a cell; false for what no cell holds.
bool cellText(const QJsonValue& value, QString& text) {
    if (value.isString()) {
        text = value.toString();
        return true;
    }
    if (!value.isDouble())
        return false;
    const double d = value.toDouble();
    const auto whole = changes::json::wholeNumber(d);
    text =
        whole ? QString::number(*whole) : QString::number(d, 'g', QLocale::FloatingPointShortest);
    return true;
}

Result<QList<NumberedRow>> readJson(const QString& text, const NumberedTable& table,
                                    QStringList& problems) {
    using R = Result<QList<NumberedRow>>;
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(text.toUtf8(), &error);
    if (error.error != QJsonParseError::NoError)
        return R::failure(QStringLiteral("JSON文件有误：%1（位置%2）")
                              .arg(error.errorString())
                              .arg(error.offset));
    if (!doc.isArray())
        return R::failure(QStringLiteral("JSON文件应是一个由对象组成的数组"));
    if (const auto twice = changes::json::firstDuplicateKey(text))
        return R::failure(QStringLiteral("JSON文件第%1项中“%2”出现了不止一次")
                              .arg(twice->path.value(0).toInt() + 1)
                              .arg(twice->key));
    const QJsonArray items = doc.array();
    QList<NumberedRow> out;
    QList<int> seen;
    for (qsizetype i = 0; i < items.size(); ++i) {
        const QString where = QStringLiteral("第%1项").arg(i + 1);
        if (!items[i].isObject()) {
            problems.append(where + QStringLiteral("：应是一个对象"));
            continue;
        }
        const QJsonObject item = items[i].toObject();
        QString number;
        QList<std::pair<QString, QString>> cells;
        QString bad;
        for (auto it = item.constBegin(); it != item.constEnd(); ++it) {
            const QString key = it.key();
            if (key != numberHeader && key != table.labelHeader && !table.headers.contains(key))
                return R::failure(QStringLiteral("JSON文件有未知的列“%1”（可用: %2）")
                                      .arg(key, knownColumns(table)));
            QString cell;
            if (!cellText(it.value(), cell)) {
                bad = key;
                break;
            }
            if (key == numberHeader)
                number = cell;
            else
                cells.append({key, cell});
        }
        if (!bad.isEmpty())
            problems.append(QStringLiteral("%1：“%2”应是一个数或一段文字").arg(where, bad));
        else if (!item.contains(numberHeader))
            problems.append(where + QStringLiteral("：缺少“序号”"));
        else
            addRow(where, number, cells, table, out, seen, problems);
    }
    return out;
}

// Where a byte lies, for messages: "第3行".
QString lineOf(QByteArrayView bytes, qsizetype at) {
    return QStringLiteral("第%1行").arg(bytes.first(at).count('\n') + 1);
}

struct Utf8Scan {
    qsizetype firstBad = -1; // offset of the first byte that starts no valid sequence
    int bad = 0;             // such bytes
    int multibyte = 0;       // valid sequences of two or more bytes
};

Utf8Scan scanUtf8(QByteArrayView bytes) {
    Utf8Scan scan;
    for (qsizetype i = 0; i < bytes.size();) {
        const uchar b = uchar(bytes[i]);
        int length = 0;
        uchar low = 0x80, high = 0xBF; // the range of the second byte
        if (b < 0x80)
            length = 1;
        else if (b >= 0xC2 && b <= 0xDF)
            length = 2;
        else if (b >= 0xE0 && b <= 0xEF) {
            length = 3;
            if (b == 0xE0)
                low = 0xA0; // no overlong forms
            if (b == 0xED)
                high = 0x9F; // no surrogates
        } else if (b >= 0xF0 && b <= 0xF4) {
            length = 4;
            if (b == 0xF0)
                low = 0x90;
            if (b == 0xF4)
                high = 0x8F; // nothing past U+10FFFF
        }
        bool valid = length > 0 && i + length <= bytes.size();
        for (int k = 1; valid && k < length; ++k) {
            const uchar c = uchar(bytes[i + k]);
            valid = k == 1 ? (c >= low && c <= high) : (c >= 0x80 && c <= 0xBF);
        }
        if (!valid) {
            if (scan.firstBad < 0)
                scan.firstBad = i;
            ++scan.bad;
            ++i;
            continue;
        }
        if (length > 1)
            ++scan.multibyte;
        i += length;
    }
    return scan;
}

// UTF-16 without a byte order mark: the high bytes of its ASCII are zero.
bool looksUtf16(QByteArrayView bytes) {
    const qsizetype n = std::min<qsizetype>(bytes.size(), 256) & ~qsizetype(1);
    int even = 0, odd = 0;
    for (qsizetype i = 0; i < n; i += 2) {
        even += bytes[i] == '\0';
        odd += bytes[i + 1] == '\0';
    }
    // Text in UTF-8 or GBK has no zero bytes but for a stray one.
    return std::max(even, odd) >= std::max<qsizetype>(2, n / 8);
}

} // namespace

Result<QList<NumberedRow>> readNumbered(const QString& text, const NumberedTable& table,
                                        QStringList& problems) {
    if (text.trimmed().startsWith(u'['))
        return readJson(text, table, problems);
    return readCsv(text, table, problems);
}

Result<QString> decodeUserText(const QByteArray& bytes) {
    using R = Result<QString>;
    const QString saveAs = QStringLiteral("请把它另存为UTF-8或GBK编码的文件再试。");
    if (bytes.isEmpty())
        return R::failure(QStringLiteral("文件是空的，没有可读的内容。"));
    if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF") || looksUtf16(bytes))
        return R::failure(QStringLiteral("文件是UTF-16编码，无法读取。") + saveAs);
    const bool bom = bytes.startsWith("\xEF\xBB\xBF");
    const QByteArrayView body = QByteArrayView(bytes).sliced(bom ? 3 : 0);
    const Utf8Scan scan = scanUtf8(body);
    if (scan.firstBad < 0)
        return QString::fromUtf8(body);
    // Mostly valid UTF-8 is UTF-8 with a fault, not GBK: decoding it as GBK
    // would turn its text into other characters.
    if (bom || scan.multibyte >= scan.bad)
        return R::failure(QStringLiteral("文件不是有效的UTF-8编码：%1第%2个字节（0x%3）无法识别。")
                              .arg(lineOf(body, scan.firstBad))
                              .arg(scan.firstBad + (bom ? 4 : 1))
                              .arg(uint(uchar(body[scan.firstBad])), 2, 16, QChar(u'0')) +
                          saveAs);
    // GBK that decodes and encodes back to the same bytes; the decoder
    // replaces bytes it does not know and drops a lead byte left at the end.
    const QString text = gbk::decode(body);
    const auto back = gbk::encode(text);
    if (back.ok() && *back == body)
        return text;
    QString line;
    if (const qsizetype unknown = text.indexOf(QChar::ReplacementCharacter); unknown >= 0) {
        line = QStringLiteral("第%1行").arg(QStringView(text).first(unknown).count(u'\n') + 1);
    } else {
        qsizetype at = 0;
        while (back.ok() && at < back->size() && at < body.size() && (*back)[at] == body[at])
            ++at;
        line = lineOf(body, std::min(at, body.size()));
    }
    return R::failure(
        QStringLiteral("文件既不是UTF-8也不是GBK编码：%1有无法识别的字节。").arg(line) + saveAs);
}

} // namespace lcj::csv
