#include "numberinput.h"

namespace lcj {

namespace {

// Beyond this the value is out of every range the game has; no need to keep it exactly.
constexpr int maxIntegerDigits = 15;
constexpr qint64 huge = 999'999'999'999'999LL;

struct Decimal {
    bool negative = false;
    qint64 whole = 0;
    int fractionSign = -1; // the fraction against one half: -1 below, 0 exactly, +1 above
    bool fraction = false; // any non-zero fraction digit
};

std::optional<Decimal> parseDecimal(QStringView text) {
    Decimal d;
    qsizetype i = 0;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-'))
        d.negative = text[i++] == u'-';
    int wholeDigits = 0;
    bool big = false;
    for (; i < text.size() && text[i].isDigit() && text[i].unicode() < 128; ++i) {
        if (d.whole == 0 && text[i] == u'0')
            continue;
        if (++wholeDigits > maxIntegerDigits)
            big = true;
        else
            d.whole = d.whole * 10 + (text[i].unicode() - u'0');
    }
    const bool hadWhole = i > 0 && text[i - 1].isDigit();
    bool hadFraction = false;
    if (i < text.size() && text[i] == u'.') {
        ++i;
        bool first = true;
        d.fractionSign = -1;
        for (; i < text.size() && text[i].isDigit() && text[i].unicode() < 128; ++i) {
            const int digit = text[i].unicode() - u'0';
            hadFraction = true;
            if (digit != 0)
                d.fraction = true;
            if (first) {
                d.fractionSign = digit > 5 ? 1 : (digit == 5 ? 0 : -1);
                first = false;
            } else if (d.fractionSign == 0 && digit != 0) {
                d.fractionSign = 1;
            }
        }
        if (!hadFraction)
            d.fractionSign = -1;
    }
    if (i != text.size() || (!hadWhole && !hadFraction))
        return std::nullopt;
    if (big)
        d.whole = huge;
    return d;
}

} // namespace

QString rangeMessage(const QString& field, qint64 min, qint64 max) {
    return QStringLiteral("%1：请输入%2到%3之间的整数").arg(field).arg(min).arg(max);
}

Result<qint64> parseNumber(const QString& field, const QString& text, NumberRule rule) {
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return Result<qint64>::failure(QStringLiteral("%1：不能为空，请输入%2到%3之间的整数")
                                           .arg(field)
                                           .arg(rule.min)
                                           .arg(rule.max),
                                       field);
    const auto d = parseDecimal(trimmed);
    if (!d)
        return Result<qint64>::failure(QStringLiteral("%1：“%2”不是数字，请输入%3到%4之间的整数")
                                           .arg(field, trimmed)
                                           .arg(rule.min)
                                           .arg(rule.max),
                                       field);
    qint64 magnitude = d->whole;
    if (rule.rounding == Rounding::Down) {
        // Rounding down moves a negative value with a fraction away from zero.
        if (d->negative && d->fraction)
            ++magnitude;
    } else if (d->fractionSign > 0 || (d->fractionSign == 0 && magnitude % 2 == 1)) {
        ++magnitude;
    }
    const qint64 value = d->negative ? -magnitude : magnitude;
    if (value < rule.min || value > rule.max)
        return Result<qint64>::failure(rangeMessage(field, rule.min, rule.max), field);
    return value;
}

qint64 halveHalfEven(qint64 n) {
    const qint64 half = n / 2;
    if (n % 2 == 0)
        return half;
    // An exact half: go to the even neighbour.
    const qint64 lower = n < 0 ? half - 1 : half;
    return lower % 2 == 0 ? lower : lower + 1;
}

} // namespace lcj
