#include "numbernames.h"

#include "numberinput.h"

namespace lcj::names {

QString nameForNumber(const QStringList& names, const QString& typed, qint64 noneFrom) {
    const auto n = parseNumber(QString(), typed, {0, noneWord, Rounding::Down});
    if (!n.ok())
        return {};
    if (*n >= noneFrom)
        return QStringLiteral("无");
    if (*n < names.size())
        return names[*n];
    return QStringLiteral("（未知）");
}

bool matchesFilter(int number, const QString& text, const QString& typed) {
    const QString wanted = typed.trimmed();
    if (wanted.isEmpty())
        return true;
    return (number >= 0 && QString::number(number).contains(wanted)) ||
           text.contains(wanted, Qt::CaseInsensitive);
}

} // namespace lcj::names
