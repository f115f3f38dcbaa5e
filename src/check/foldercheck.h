#pragma once

#include "common/result.h"
#include "datafile/datalayout.h"
#include "fields/filekind.h"

#include <QByteArray>
#include <QList>
#include <QString>

// The check of a game folder: what the editors would refuse or could not show
// right, file by file, in the windows' words. Nothing is ever written.
namespace lcj::check {

// One thing wrong in one game file.
struct Problem {
    QString file;    // the file's name: "S_01.eex"
    QString path;    // where it lies; empty when only bytes were checked
    int part = -1;   // the part of fields::openFile's file; -1: the file as a whole
    int row = -1;    // the row of that part
    QString place;   // in the windows' words: "敌军 3 人物编号"; empty for the whole file
    QString message; // what is wrong

    // "S_01.eex: 敌军 3 人物编号：…", or "S_01.eex: …" for the whole file.
    QString line() const;
    bool operator==(const Problem&) const = default;
};

// How many records the data file's tables hold: what a reference may name
// (characters 0 .. characters - 1, and so on).
struct TableCounts {
    int characters = data::characters.count;
    int items = data::items.count;
    int troopTypes = data::troopTypes.count;
};

// The counts of the data file `bytes` as the data editor opens it; the
// layout's when it does not open.
TableCounts countsOf(const QByteArray& dataBytes);

// Every problem of one game file of `kind` named `name`, from its bytes.
QList<Problem> checkFile(fields::FileKind kind, const QString& name, const QByteArray& bytes,
                         const TableCounts& counts = {});

// Every problem of every game file in `folder` (not its subfolders), the
// files in the order of their names, references counted against the folder's
// own data.e5. A folder that is missing, is no folder or holds no game file
// is refused with a message.
Result<QList<Problem>> checkFolder(const QString& folder);

// The game files of `folder` in the order checkFolder() takes them.
QStringList gameFilesIn(const QString& folder);

} // namespace lcj::check
