#pragma once

#include "common/result.h"

#include <QString>
#include <QStringList>
#include <functional>

namespace lcj::names {

// The names the save-file editor, the message-file editor and the program-file
// editor show, as one data.e5 has them: its first 174 character names and its
// 104 item names, in number order.
struct GameNames {
    QStringList characters;
    QStringList items;
};

// Reads them as the data file editor reads them.
Result<GameNames> readGameNames(const QString& dataFilePath);

// Where the region editors take their names from (the names entry and the game
// folder's data file): reads the data file it is given and hands the names to
// `take` (an empty path: the fixed tables), or gives the reason it could not (and
// `take` is not called).
std::function<Failure(const QString& dataFilePath)>
gameNamesInto(std::function<void(const GameNames&)> take);

// The fixed tables the windows show until the user takes names from a data file.
GameNames fixedGameNames();

} // namespace lcj::names
