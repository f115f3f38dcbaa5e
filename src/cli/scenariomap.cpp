#include "scenariomap.h"

#include "common/fileaccess.h"
#include "datafile/datafile.h"
#include "mapview/gui/mappicture.h"
#include "scenario/battleunits.h"
#include "scenario/gui/battlepainter.h"
#include "scenario/scenariodocument.h"

#include <QBuffer>
#include <QFileInfo>
#include <QGuiApplication>

namespace lcj::cli {

using namespace lcj::scenario;

Result<ScenarioMapOutcome> drawScenarioMap(const QString& path, const QString& mapPath,
                                           const QString& dataPath, const QString& outPath,
                                           int zoom) {
    using R = Result<ScenarioMapOutcome>;
    // Text is drawn with the fonts of a GUI application (lcjtool makes one for this command).
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return R::failure(QStringLiteral("画图需要图形程序环境（QGuiApplication）"));
    if (zoom < 1 || zoom > largestMapZoom)
        return R::failure(QStringLiteral("放大倍数应是1到%1之间的整数").arg(largestMapZoom));
    if (QFileInfo(outPath).isDir())
        return R::failure(QStringLiteral("输出“%1”是一个文件夹，请给出PNG文件名").arg(outPath));
    QStringList people;
    if (!dataPath.isEmpty()) {
        const auto names = data::DataFile(dataPath).readNames(data::characters);
        if (!names.ok())
            return R::failure(QStringLiteral("文件打开出错\n") + names.error());
        people = *names;
    }
    auto bytes = files::readWhole(path);
    if (!bytes.ok())
        return R::failure(QStringLiteral("读取剧本文件出错\n") + bytes.error());
    const ScenarioDocument doc = ScenarioDocument::scan(std::move(*bytes));
    if (!doc.scan().hasBattleHeader)
        return R::failure(QStringLiteral("剧本中没有战役头，没有可画的出场人物"));
    const auto map = mapview::readMapPicture(mapPath);
    if (!map.ok())
        return R::failure(map.error());
    const qint64 side = qint64(qMax(map->width(), map->height())) * zoom;
    if (side > 32767)
        return R::failure(QStringLiteral("地图放大%1倍后边长%2像素，太大了，请用较小的 --zoom")
                              .arg(zoom)
                              .arg(side));

    const QList<BattleUnit> units = battleUnits(doc);
    const QImage picture = battlePicture(*map, units, zoom, people);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    if (!picture.save(&buffer, "PNG"))
        return R::failure(QStringLiteral("无法生成PNG图片"));
    if (auto failure = files::writeOutputFile(outPath, png); !failure.ok())
        return R::failure(failure.error());
    ScenarioMapOutcome outcome;
    outcome.units = int(units.size());
    for (const BattleUnit& u : units)
        outcome.offMap += !cellOnMap(u.cell, map->size());
    return outcome;
}

} // namespace lcj::cli
