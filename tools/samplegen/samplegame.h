#pragma once

#include "common/result.h"

#include <QByteArray>
#include <QString>

// Invented game files of the right layouts. Nothing here comes from the game.
namespace lcj::sample {

// A data.e5 with 512 invented characters and every table filled with
// plausible values. Among the names: one that fills its whole field, one with
// trailing blanks. The file is longer than its tables, like the game's.
QByteArray dataFile(quint32 seed = 5);

// Character names used by dataFile(): 512 of them.
QStringList characterNames();

// Writes every sample file into `folder`, creating it when needed.
Failure writeSampleGame(const QString& folder);

} // namespace lcj::sample
