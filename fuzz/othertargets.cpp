// Map pictures, lcjtool's CSV and GBK text fields.
#include "cli/csv.h"
#include "cli/datacommands.h"
#include "common.h"
#include "common/gbk.h"
#include "fields/datatable.h"
#include "mapview/mapzoom.h"
#include "mapview/ui/mapimage.h"
#include "samplegen/samplegame.h"
#include "targets.h"

#include <QApplication>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QPainter>

namespace lcj::fuzz {

namespace {

// Widgets need an application; the fuzzers and the regression test share this one.
void ensureApplication() {
    if (QCoreApplication::instance())
        return;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "lcjfuzz";
    static char* argv[] = {name, nullptr};
    static QApplication app(argc, argv);
}

} // namespace

int mapPicture(const std::uint8_t* data, std::size_t size) {
    ensureApplication();
    Input in(data, size);
    const int zooms = in.byte();
    const QPoint pointer(in.below(4000) - 100, in.below(4000) - 100);
    // As the map viewer loads a picture the user picked.
    const QString path = scratchFile(QStringLiteral("map.bmp"), in.rest());
    QImageReader reader(path);
    const QImage picture = reader.read();
    mapview::MapZoom zoom;
    zoom.reset(picture.isNull() ? QSize() : picture.size());
    for (int z = 0; z < 4; ++z) {
        const QSize before = zoom.shown();
        const int k = zoom.cellSize();
        // The window zooms by 2 or 3; 1 is refused like every factor below 2.
        const int factor = 1 + ((zooms >> (2 * z)) & 3);
        if (factor < 2) {
            LCJ_FUZZ_CHECK(!zoom.zoom(factor).ok());
            continue;
        }
        if (!zoom.zoom(factor).ok()) {
            LCJ_FUZZ_CHECK(zoom.shown() == before && zoom.cellSize() == k);
        } else {
            LCJ_FUZZ_CHECK(zoom.cellSize() == k * factor);
            LCJ_FUZZ_CHECK(zoom.cellSize() <= mapview::MapZoom::largestCellSize);
        }
        const QPoint cell = zoom.cellAt(pointer);
        LCJ_FUZZ_CHECK(cell.x() * zoom.cellSize() <= pointer.x() &&
                       pointer.x() < (cell.x() + 1) * zoom.cellSize());
        LCJ_FUZZ_CHECK(cell.y() * zoom.cellSize() <= pointer.y() &&
                       pointer.y() < (cell.y() + 1) * zoom.cellSize());
    }
    if (picture.isNull())
        return 0;
    // The visible part drawn, as the viewer's frame shows it.
    mapview::MapImage image;
    image.setPixmap(QPixmap::fromImage(picture));
    image.setGeometry(0, 0, zoom.shown().width(), zoom.shown().height());
    QImage frame(64, 48, QImage::Format_RGB32);
    QPainter painter(&frame);
    image.render(&painter, QPoint(), QRegion(0, 0, 64, 48));
    return 0;
}

int csvImport(const std::uint8_t* data, std::size_t size) {
    static const QByteArray sample = sample::dataFile();
    Input in(data, size);
    const bool dryRun = in.flag();
    // Text the program refuses to decode still exercises the reader.
    const auto decoded = csv::decodeUserText(in.rest());
    const QString text = decoded.ok() ? *decoded : gbk::decode(in.rest());
    const auto rows = csv::read(text);
    if (rows.ok()) {
        const auto again = csv::read(csv::write(*rows));
        LCJ_FUZZ_CHECK(again.ok() && *again == *rows);
    }
    const QString path = scratchFile(QStringLiteral("data.e5"), sample);
    for (const auto& table : fields::dataTables()) {
        const auto outcome = cli::importTable(path, *table, text, dryRun);
        QFile file(path);
        LCJ_FUZZ_CHECK(file.open(QIODevice::ReadOnly));
        const QByteArray after = file.readAll();
        LCJ_FUZZ_CHECK(after.size() == sample.size());
        if (!outcome.ok() || dryRun || !outcome->problems.isEmpty() ||
            outcome->changedRecords == 0) {
            LCJ_FUZZ_CHECK(after == sample);
            continue;
        }
        // What was imported is there: the same import changes nothing more.
        const auto second = cli::importTable(path, *table, text, true);
        LCJ_FUZZ_CHECK(second.ok() && second->problems.isEmpty());
        LCJ_FUZZ_CHECK(second->changedRecords == 0);
        scratchFile(QStringLiteral("data.e5"), sample);
    }
    return 0;
}

int gbkFields(const std::uint8_t* data, std::size_t size) {
    Input in(data, size);
    const int width = 1 + in.below(200);
    const QByteArray field = in.bytes(width);
    const QString shown = gbk::decodeField(field);
    // A field stored from any text takes exactly its width and shows a prefix of the text.
    const QString typed = in.flag() ? shown : QString::fromUtf8(in.rest());
    const auto stored = gbk::encodeField(typed, width);
    if (!stored.ok())
        return 0;
    LCJ_FUZZ_CHECK(stored->size() == width);
    const QString back = gbk::decodeField(*stored);
    LCJ_FUZZ_CHECK(typed.trimmed().startsWith(back));
    const auto twice = gbk::encodeField(back, width);
    LCJ_FUZZ_CHECK(twice.ok() && gbk::decodeField(*twice) == back);
    return 0;
}

} // namespace lcj::fuzz
