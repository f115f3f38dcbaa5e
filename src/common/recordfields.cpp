#include "recordfields.h"

#include "bytes.h"
#include "gbk.h"

#include <QStringList>

namespace lcj {

NumberRule ruleFor(FieldKind kind) {
    switch (kind) {
    case FieldKind::Byte:
        return {0, 255, Rounding::Down};
    case FieldKind::ByteHalfEven:
        return {0, 255, Rounding::HalfEven};
    case FieldKind::HalvedByte:
        return {0, 510, Rounding::Down};
    case FieldKind::Word:
        return {0, 65535, Rounding::Down};
    }
    return {};
}

QString showNumber(QByteArrayView record, int offset, FieldKind kind) {
    switch (kind) {
    case FieldKind::HalvedByte:
        return QString::number(byteAt(record, offset) * 2);
    case FieldKind::Word:
        return QString::number(wordAt(record, offset));
    case FieldKind::Byte:
    case FieldKind::ByteHalfEven:
        break;
    }
    return QString::number(byteAt(record, offset));
}

QString Rounded::text() const {
    return QStringLiteral("%1按2的倍数保存：%2 → %3").arg(caption, typed, stored);
}

QString roundingsText(const Roundings& rounded) {
    QStringList lines;
    for (const Rounded& r : rounded)
        lines.append(r.text());
    return lines.join(u'；');
}

Failure storeNumber(QByteArray& record, int offset, FieldKind kind, const QString& label,
                    const QString& text, Roundings* rounded) {
    const auto value = parseNumber(label, text, ruleFor(kind));
    if (!value.ok())
        return value.why();
    switch (kind) {
    case FieldKind::HalvedByte: {
        const qint64 half = halveHalfEven(*value);
        setByte(record, offset, static_cast<quint8>(half));
        if (rounded && half * 2 != *value)
            rounded->append({label, text.trimmed(), QString::number(half * 2)});
        break;
    }
    case FieldKind::Word:
        setWord(record, offset, static_cast<quint16>(*value));
        break;
    case FieldKind::Byte:
    case FieldKind::ByteHalfEven:
        setByte(record, offset, static_cast<quint8>(*value));
        break;
    }
    return {};
}

QString tooLong(const QString& label, int used, int width) {
    return QStringLiteral("%1：最多%2字节（一个汉字占2字节），现在是%3字节，没有保存")
        .arg(label)
        .arg(width)
        .arg(used);
}

Failure storeText(QByteArray& record, int offset, int width, const QString& label,
                  const QString& text) {
    const QByteArrayView stored = QByteArrayView(record).sliced(offset, width);
    if (text.trimmed() == gbk::decodeField(stored))
        return {};
    const auto code = gbk::encode(text.trimmed());
    if (!code.ok())
        return Failure(QStringLiteral("%1：%2").arg(label, code.error()), label);
    // A name that does not fit is refused whole: cutting it would store
    // another name than the one typed.
    if (code->size() > width)
        return Failure(tooLong(label, int(code->size()), width), label);
    QByteArray field = *code;
    field.append(width - field.size(), '\0');
    record.replace(offset, width, field);
    return {};
}

Result<qint64> parseChoice(const QString& caption, const QString& text, qint64 max) {
    const auto value = parseNumber(caption, text, {0, max, Rounding::Down});
    // A choice is a whole number: "3.5" is no entry of a list.
    if (value.ok() && text.contains(u'.'))
        return Result<qint64>::failure(rangeMessage(caption, 0, max), caption);
    return value;
}

Result<Choice> codeToChoice(const QString& caption, const QString& text, int first, int entries,
                            int noneEntry) {
    const auto value = parseChoice(caption, text);
    if (!value.ok())
        return value.why();
    if (noneEntry >= 0 && *value == 255)
        return Choice::entry(noneEntry);
    if (*value < first || *value >= first + entries)
        return Result<Choice>::failure(noneEntry >= 0
                                           ? QStringLiteral("%1：请输入%2到%3之间的代码，或255")
                                                 .arg(caption)
                                                 .arg(first)
                                                 .arg(first + entries - 1)
                                           : QStringLiteral("%1：请输入%2到%3之间的代码")
                                                 .arg(caption)
                                                 .arg(first)
                                                 .arg(first + entries - 1),
                                       caption);
    return Choice::entry(int(*value) - first);
}

QString showEquipment(int entry, int noneEntry) {
    return QString::number(entry == noneEntry ? 255 : entry);
}

Failure takeEquipment(const QString& caption, const QString& text, int noneEntry, int& entry) {
    const auto value = parseChoice(caption, text);
    if (!value.ok())
        return value.why();
    if (*value >= noneEntry && *value != 255)
        return Failure(QStringLiteral("%1：请输入0到%2之间的道具序号，或255表示无")
                           .arg(caption)
                           .arg(noneEntry - 1),
                       caption);
    entry = *value == 255 ? noneEntry : int(*value);
    return {};
}

Result<bool> parseFlag(const QString& caption, const QString& text) {
    const auto value = parseChoice(caption, text, 1);
    if (!value.ok())
        return value.why();
    return *value == 1;
}

QString showStoredByte(QByteArrayView record, int offset) {
    return QString::number(byteAt(record, offset));
}

} // namespace lcj
