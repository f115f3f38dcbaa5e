#pragma once

#include "fieldtable.h"

namespace lcj {
class RegionSet;
}
namespace lcj::save {
class SaveGame;
}
namespace lcj::exe {
class ProgramFile;
}

// The field files of each kind, opened from bytes.
namespace lcj::fields {

using Opened = Result<std::unique_ptr<FieldFile>>;

Opened openData(const QByteArray& bytes);
Opened openSave(const QString& name, const QByteArray& bytes);
Opened openImsg(const QByteArray& bytes);
Opened openExe(const QString& name, const QByteArray& bytes);
Opened openRFile(const QString& name, const QByteArray& bytes);
Opened openScenario(const QByteArray& bytes);

// The parts of a region file over a model that a window owns, in the order of
// the file's parts, so that the tables and the window's form read and change
// the same bytes. Each table refers to the model, which must outlive it.
using Tables = std::vector<std::unique_ptr<FieldTable>>;
// The characters, the consumable stock and the loyalty.
Tables saveTables(save::SaveGame& game);
// One table per message category, over a region set of imsg::tableLayout().
Tables imsgTables(RegionSet& texts);
// The figures and the switch.
Tables exeTables(exe::ProgramFile& file);

// How many rows differ between the tables `now` and `before`, two lists of the
// same parts (a window's tables over its model and over the file on disk).
int changedRows(const Tables& now, const Tables& before);

// The bytes of a file of `kind` that opens with every value zero.
QByteArray blankBytes(FileKind kind);

} // namespace lcj::fields
