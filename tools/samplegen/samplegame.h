#pragma once

#include "common/result.h"

#include <QByteArray>
#include <QList>
#include <QString>

// Invented game files of the right layouts. Nothing here comes from the game.
namespace lcj::sample {

// A data.e5 with 512 invented characters and every table filled with
// plausible values. Among the names: one that fills its whole field, one with
// trailing blanks. The file is longer than its tables, like the game's.
QByteArray dataFile(quint32 seed = 5);

// Character names used by dataFile(): 512 of them.
QStringList characterNames();

// Map pictures: 24-bit BMP files drawn as a grid of 6 x 6 pixel cells, each
// cell one invented terrain colour, its last pixel column and row darker.
constexpr int mapCellPixels = 6;
struct SampleMap {
    QString fileName;
    int columns;
    int rows;
    quint32 seed;
};
// The maps writeSampleGame() writes; the last one is larger than the viewer's frame.
QList<SampleMap> sampleMaps();
// A map picture of columns x rows cells, as the bytes of a BMP file.
QByteArray mapPicture(int columns, int rows, quint32 seed);
// The terrain (0..7) that mapPicture() gives the cell at (column, row).
int mapTerrainAt(int column, int row, quint32 seed);
// An invented save game (Sv01d.e5s): loyalty, consumable stock and 174
// character records at their places, every other byte a pattern of its own.
inline constexpr qint64 saveGameSize = 16384;
QByteArray saveGame(quint32 seed = 7);

// An invented Imsg.e5 with a text in every slot of its seven tables.
inline constexpr qint64 messageFileSize = 160000;
QByteArray messageFile();

// A stand-in for the game's program file Lcj5.exe: invented bytes, not a
// program, with a figure table and the switch bytes (switch on) in place.
inline constexpr qint64 programFileSize = 290816;
QByteArray programFile();

// Writes every sample file into `folder`, creating it when needed.
Failure writeSampleGame(const QString& folder);

} // namespace lcj::sample
