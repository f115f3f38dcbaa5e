#pragma once

#include "result.h"

#include <QString>
#include <QStringList>

namespace lcj::names {

// The names the save-file editor, the message-file editor and the program-file
// patcher show, as one data.e5 has them: its first 174 character names and its
// 104 item names, in number order.
struct GameNames {
    QStringList characters;
    QStringList items;
};

// Reads them as the data file editor reads them.
Result<GameNames> readGameNames(const QString& dataFilePath);

// The fixed tables the windows show until the user takes names from a data file.
GameNames fixedGameNames();

} // namespace lcj::names
