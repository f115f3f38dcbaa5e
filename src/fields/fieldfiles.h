#pragma once

#include "fieldtable.h"

// The field files of each kind, opened from bytes.
namespace lcj::fields {

using Opened = Result<std::unique_ptr<FieldFile>>;

Opened openData(const QByteArray& bytes);
Opened openSave(const QString& name, const QByteArray& bytes);
Opened openImsg(const QByteArray& bytes);
Opened openExe(const QString& name, const QByteArray& bytes);
Opened openRFile(const QString& name, const QByteArray& bytes);
Opened openScenario(const QByteArray& bytes);

// The bytes of a file of `kind` that opens with every value zero.
QByteArray blankBytes(FileKind kind);

} // namespace lcj::fields
