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
    return writeSampleScenarios(folder);
}

} // namespace lcj::sample
