#pragma once

#include "common/result.h"
#include "compare.h"
#include "fields/filekind.h"

#include <QByteArray>
#include <QJsonValue>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

// Mod patches: the field changes between two copies of the game's files, by
// the keys and captions lcjtool's exports use, each with its old and its new
// value. Every value is read and written through the windows' own forms, so a
// patch applies to any copy whose other bytes differ.
namespace lcj::scenario {
class ScenarioDocument;
}

namespace lcj::changes::patch {

using fields::FileKind;
using fields::kindFromName;
using fields::kindName;
using fields::kindOfName;

// One field of a file: a part (an export's table or part, a scenario
// section), a row (a record, a slot, an entry; -1 for a part with none), and
// a column (the window's caption, a scenario field's key).
struct Cell {
    QString part;
    int row = -1;
    QString column;
    QString where; // in the windows' words: "人物 5 武力", "敌军 3 横坐标"
    QJsonValue value;

    QString key() const;
};

// A list's entry count (a scenario's army: part "army", row -1) is the field
// of column countColumn; the fields of the entries a patch appends follow it.

// The most rows a part of any file can have.
inline constexpr int rowLimit = 100000;

// Where a field is, in the windows' words ("人物 5 武力", "敌军 3 横坐标"),
// from its part, row and column alone, as readCells() names it. Refused when
// the part has no such row; a part the kind does not know is named as given.
Result<QString> place(FileKind kind, const QString& part, int row, const QString& column);

// Why a change read from a patch names no field the kind shows, or holds a
// value of a type that field never has; nothing when it is one of them.
Failure unknownField(FileKind kind, const QString& part, int row, const QString& column,
                     const QJsonValue& before, const QJsonValue& after);

// Every field a file shows, in the order of its tables.
Result<QList<Cell>> readCells(FileKind kind, const QString& fileName, const QByteArray& bytes);

// The file after typing each cell's value into its form and saving as the
// window does. Refused, with the form's message naming the field, when any
// value is refused.
Result<QByteArray> writeCells(FileKind kind, const QString& fileName, const QByteArray& bytes,
                              const QList<Cell>& values);

// Types each cell's value into the scenario `doc` as writeCells() does, without building the
// file: for the scenario editor's own document. A smaller army count is refused, since the
// editor only appends entries.
Failure typeScenarioCells(scenario::ScenarioDocument& doc, const QList<Cell>& values);

// A patch's change is a FieldChange (compare.h) whose before is null for a
// field of an entry the change appends.

struct FilePatch {
    QString file; // the file's name in the game folder
    FileKind kind = FileKind::Data;
    qint64 size = 0; // the original's
    QString sha256;  // the original's, as hex
    QList<FieldChange> changes;
};

struct Patch {
    QString name;
    QString author;
    QString note;
    QList<FilePatch> files;
};

inline constexpr int formatVersion = 1;

// The patch as UTF-8 JSON: stable key order, one change a line.
QByteArray toJson(const Patch& patch);
Result<Patch> fromJson(const QByteArray& json);

// A patch file read and checked, or the message that says what is wrong.
Result<Patch> readPatchFile(const QString& path);

// The changes from `original` to `modded`, two copies of one kind of file.
// `warnings` gets what the patch cannot carry (bytes no window shows, entries
// removed).
Result<FilePatch> makeFilePatch(FileKind kind, const QString& fileName, const QByteArray& original,
                                const QByteArray& modded, QStringList& warnings);

// Makes a patch from two folders, or from two files of one kind.
Result<Patch> makePatch(const QString& original, const QString& modded, QStringList& warnings);

// A value as the patches' lines and messages show it: "74", "无", "3 17 40",
// an empty text as "（空）".
inline QString shown(const QJsonValue& value) {
    return shownValue(value, QStringLiteral("（空）"));
}

// The patch in the windows' words, one line a change.
QStringList describe(const Patch& patch);

enum class Settle { Refuse, KeepMine, TakeTheirs };

struct FileOutcome {
    QString path;
    int taken = 0;         // fields set to the patch's value
    int already = 0;       // fields that already held it
    int kept = 0;          // conflicts settled by keeping the current value
    bool original = false; // the file is the very one the patch was made from
    QByteArray before;
    QByteArray after; // equal to before when nothing changes
};

struct ApplyOutcome {
    QList<FileOutcome> files;
    // "人物 5 武力：补丁要求 74 → 76，现在是 80", one per field.
    QStringList conflicts;
    bool written = false;
};

// Applies `patch` (backwards with `reverse`) to the game folder or file
// `game`. Every file is built in memory and checked before any is written;
// with unsettled conflicts, on a refusal or with `dryRun` nothing is written.
// A write that fails midway puts the files already written back.
Result<ApplyOutcome> applyPatch(const Patch& patch, const QString& game, bool reverse,
                                Settle settle, bool dryRun);

} // namespace lcj::changes::patch
