#pragma once

#include "common/result.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// Comma-separated values as RFC 4180 has them: fields with commas, quotes or
// line breaks are quoted, quotes inside doubled; records end with CR LF.
namespace lcj::csv {

using Rows = QList<QStringList>;

QString write(const Rows& rows);

// Reads CSV text; line ends may be CR LF or LF. Fails on a quote left open or
// text after a closing quote.
Result<Rows> read(const QString& text);

// Text files that a user brings: UTF-8 with or without a byte order mark, or GBK.
QString decodeUserText(const QByteArray& bytes);

} // namespace lcj::csv
