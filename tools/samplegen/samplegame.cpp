#include "samplegame.h"

#include "common/fileaccess.h"

#include <QDir>

namespace lcj::sample {

Failure writeSampleGame(const QString& folder) {
    if (!QDir().mkpath(folder))
        return QStringLiteral("无法建立文件夹“%1”").arg(folder);
    const QDir dir(folder);
    if (auto failure = files::writeWhole(dir.filePath(QStringLiteral("data.e5")), dataFile()))
        return failure;
    for (const SampleMap& map : sampleMaps()) {
        if (auto failure = files::writeWhole(dir.filePath(map.fileName),
                                             mapPicture(map.columns, map.rows, map.seed)))
            return failure;
    }
    if (auto failure = files::writeWhole(dir.filePath(QStringLiteral("Sv01d.e5s")), saveGame()))
        return failure;
    if (auto failure = files::writeWhole(dir.filePath(QStringLiteral("Imsg.e5")), messageFile()))
        return failure;
    if (auto failure = files::writeWhole(dir.filePath(QStringLiteral("Lcj5.exe")), programFile()))
        return failure;
    return writeSampleScenarios(folder);
}

} // namespace lcj::sample
