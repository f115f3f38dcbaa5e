#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace lcj::fields {

// Tab-separated text as spreadsheets put it on the clipboard: rows by CRLF or
// LF, cells by tabs, a cell in double quotes holding tabs, line breaks or
// doubled quotes; a trailing line end closes the last row, not a new one.
QList<QStringList> parseTabularText(const QString& text);
// The reverse: cells holding a tab, a line break or a leading quote are
// quoted; rows end in CRLF.
QString tabularText(const QList<QStringList>& rows);

} // namespace lcj::fields
