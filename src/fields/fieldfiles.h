#pragma once

#include "fieldtable.h"

// The field files of each kind, opened from bytes.
namespace lcj::fields {

using Opened = Result<std::unique_ptr<FieldFile>>;

Opened openData(const QByteArray& bytes);
// data.e5's tables over the caller's bytes, which must hold a whole data file
// and outlive the tables: writes go straight into `bytes`, and reads see what
// the caller puts there (an editor's document).
std::unique_ptr<FieldFile> openDataOver(QByteArray& bytes);
Opened openSave(const QString& name, const QByteArray& bytes);
Opened openImsg(const QByteArray& bytes);
Opened openExe(const QString& name, const QByteArray& bytes);
Opened openRFile(const QString& name, const QByteArray& bytes);
Opened openScenario(const QByteArray& bytes);

// The bytes of a file of `kind` that opens with every value zero.
QByteArray blankBytes(FileKind kind);

} // namespace lcj::fields
