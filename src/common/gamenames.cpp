#include "gamenames.h"

#include "datafile/datafile.h"
#include "nametables.h"

namespace lcj::names {

Result<GameNames> readGameNames(const QString& dataFilePath) {
    const data::DataFile file(dataFilePath);
    auto people = file.readNames(data::characters);
    if (!people)
        return Result<GameNames>::failure(people.error());
    auto things = file.readNames(data::items);
    if (!things)
        return Result<GameNames>::failure(things.error());
    const qsizetype count = characters().size();
    return GameNames{people->mid(0, count), *things};
}

GameNames fixedGameNames() {
    return {characters(), items()};
}

} // namespace lcj::names
