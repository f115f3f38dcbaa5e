#include "samplegame.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

namespace lcj::sample {

QList<SampleFile> sampleGameFiles() {
    QList<SampleFile> files{{QStringLiteral("data.e5"), dataFile()}};
    for (const SampleMap& map : sampleMaps())
        files.append({map.fileName, mapPicture(map.columns, map.rows, map.seed)});
    files.append({QStringLiteral("Sv01d.e5s"), saveGame()});
    files.append({QStringLiteral("Imsg.e5"), messageFile()});
    files.append({QStringLiteral("Lcj5.exe"), programFile()});
    files.append(sampleScenarioFiles());
    return files;
}

Failure writeSampleGame(const QString& folder, bool overwrite) {
    if (!QDir().mkpath(folder))
        return QStringLiteral("无法建立文件夹“%1”").arg(folder);
    const QDir dir(folder);
    for (const SampleFile& f : sampleGameFiles()) {
        const QString path = dir.filePath(f.name);
        if (!overwrite && QFile::exists(path))
            continue;
        QSaveFile out(path);
        if (!out.open(QIODevice::WriteOnly) || out.write(f.bytes) != f.bytes.size() ||
            !out.commit())
            return QStringLiteral("无法写入“%1”：%2").arg(path, out.errorString());
    }
    return {};
}

} // namespace lcj::sample
