#pragma once

#include <QString>
#include <QStringList>

// What the windows show beside a typed number and how a list filter matches,
// in one place so that every window says the same.
namespace lcj::names {

// What stands for "none" in a number box: 65535 in a word, anything from
// 105 up in a spoil.
constexpr qint64 noneWord = 0xFFFF;

// The name that `typed` (a number box's text, read as the box reads it,
// rounded down) stands for among `names`, numbered from 0: "无" from
// `noneFrom` up, "（未知）" for a number past the list, nothing for text that
// is no whole number of 0 or more.
QString nameForNumber(const QStringList& names, const QString& typed, qint64 noneFrom = noneWord);

// Whether a list entry with record number `number` and text `text` stays in
// view under the filter text `typed`: its number or its text contains what is
// typed (letters in either case); an empty filter keeps everything.
bool matchesFilter(int number, const QString& text, const QString& typed);

} // namespace lcj::names
