#pragma once

#include "fields/fieldtable.h"

#include <QJsonValue>
#include <QList>
#include <QString>

// The one comparison of two copies of a game file: field by field over the
// tables the windows show, each field named in the windows' words. lcjtool
// diff prints it, the scenario editor lists it, and a patch is made of it.
namespace lcj::changes {

// The column of a list's entry count: a change of it says how many entries
// the second copy has (a scenario's army, allies, enemies...).
inline const QString countColumn = QStringLiteral("count");

struct FieldChange {
    QString part;
    int row = -1; // -1 for a list's count
    QString column;
    QString where; // "人物 5 武力", "敌军 3 横坐标", "我军出场人数"
    // Undefined before a field only the second copy has (an entry it adds),
    // and after one only the first copy has (an entry it drops).
    // A patch keeps null instead of undefined: a field of an entry it appends
    // has a null before.
    QJsonValue before;
    QJsonValue after;

    bool added() const { return before.isUndefined(); }
    bool removed() const { return after.isUndefined(); }
    // The field's part, row and column as one text, to look the field up by.
    QString key() const;
};

// The one text of a field's part, row and column, as FieldChange::key() gives it.
QString fieldKey(const QString& part, int row, const QString& column);

// The changes from `a` to `b`, two copies of one part: a changed row count
// first, then the fields of the rows both have that differ, row by row in the
// order of the columns, then every field of the rows only `b` has, then every
// field of the rows only `a` has.
QList<FieldChange> compare(const fields::FieldTable& a, const fields::FieldTable& b);

// The changes from `a` to `b`, two copies of one kind of file, part by part in
// the order of `b`'s tables; then the fields of the parts only `a` has.
QList<FieldChange> compare(const fields::FieldFile& a, const fields::FieldFile& b);

// A value as lcjtool prints it: "74", "无", "3 17 无"; an empty text, in a list
// too, as `emptyText` (the patches' messages show "（空）").
QString shownValue(const QJsonValue& value, const QString& emptyText = {});

// The line lcjtool diff prints for a change: "人物 5 武力: 74 → 76".
QString diffLine(const FieldChange& change);

// The name of an undo step that changed `before` into `after`, two copies of one file of `kind`,
// as the history shows it and, after a line break, as the entries 撤销 and 重做 do:
// one field "修改 人物 5 武力 76 → 90\n修改 人物 5 武力", several fields of one row
// "修改 人物 5 的 3 栏", of several rows "修改 4 行 9 栏". Empty when the field model sees no
// change or cannot open the copies.
QString stepText(fields::FileKind kind, const QByteArray& before, const QByteArray& after);

} // namespace lcj::changes
