#pragma once

#include <QString>

class QFileDevice;

// The few calls a safe save needs that the system makes differently: making
// written bytes durable and keeping a replaced file's owner. Everything else
// of file access stays in plain Qt.
namespace lcj::files::durable {

// Asks the system to put everything written through `file` on the disk. False
// when it reports that it could not: the bytes may not all be there.
bool syncToDisk(QFileDevice& file);

// Gives the open `file` the owner and group of the file at `original`, where
// the system lets this user do that. A refusal is no fault: the file then
// keeps the owner it has.
void keepOwner(QFileDevice& file, const QString& original);

} // namespace lcj::files::durable
