#include "gamenames.h"

#include "common/nametables.h"
#include "datafile/datafile.h"

namespace lcj::names {

Result<GameNames> readGameNames(const QString& dataFilePath) {
    const data::DataFile file(dataFilePath);
    auto people = file.readNames(data::characters);
    if (!people.ok())
        return Result<GameNames>::failure(people.error());
    auto things = file.readNames(data::items);
    if (!things.ok())
        return Result<GameNames>::failure(things.error());
    const qsizetype count = characters().size();
    return GameNames{people->mid(0, count), *things};
}

std::function<Failure(const QString&)> gameNamesInto(std::function<void(const GameNames&)> take) {
    return [take = std::move(take)](const QString& dataFilePath) -> Failure {
        if (dataFilePath.isEmpty()) {
            take(fixedGameNames());
            return {};
        }
        const auto read = readGameNames(dataFilePath);
        if (!read.ok())
            return read.error();
        take(*read);
        return {};
    };
}

GameNames fixedGameNames() {
    return {characters(), items()};
}

} // namespace lcj::names
