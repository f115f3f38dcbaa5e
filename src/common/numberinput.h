#pragma once

#include "result.h"

#include <QString>

// Typed numbers: decimal text to a whole number within a range. The message
// of a refusal names the field, as in "武力：请输入0到510之间的整数".
namespace lcj {

enum class Rounding {
    Down,     // the largest whole number not above the value
    HalfEven, // the nearest whole number, halves to the even neighbour
};

struct NumberRule {
    qint64 min = 0;
    qint64 max = 255;
    Rounding rounding = Rounding::Down;
};

Result<qint64> parseNumber(const QString& field, const QString& text, NumberRule rule);

// n ÷ 2 to the nearest whole number, halves to the even neighbour (75 → 38, 77 → 38).
qint64 halveHalfEven(qint64 n);

// The message for a value outside [min, max], naming the field.
QString rangeMessage(const QString& field, qint64 min, qint64 max);

} // namespace lcj
