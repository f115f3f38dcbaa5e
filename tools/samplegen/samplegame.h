#pragma once

#include "common/result.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <utility>

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

// The shape of an invented scenario script (S_??.eex). Its battle header lies
// at scenarioHeaderPos(shape); the army block, the equipment group and the
// spoils instructions follow it. The invented script bytes around them never
// contain the editor's signatures by chance.
struct ScenarioShape {
    int armyEntries = 5;    // 0..15
    int equipEntries = 3;   // 0..100; -1: no equipment group (the bytes there can become one)
    int spoils = 2;         // spoils instructions after the equipment group
    quint8 levelBonus = 53; // the header's level bonus byte (53 shows -3)
    int scriptBefore = 300; // invented script bytes between the file header and the battle header
    int scriptAfter = 400;  // invented script bytes after the equipment group
    quint32 seed = 1;
};
QByteArray scenarioFile(const ScenarioShape& shape);
qint64 scenarioHeaderPos(const ScenarioShape& shape);

// An invented R file holding `records` deployment-limit records (the last one
// is the one the editor shows).
QByteArray rFile(int records = 1, quint32 seed = 1);

// The sample scenarios written by writeSampleGame, by file name: S_01.eex
// (several army entries, equipment and spoils), S_02.eex (15 army entries),
// S_03.eex (no equipment group), S_04.eex (an equipment group without entries),
// each with its R file.
QList<std::pair<QString, ScenarioShape>> sampleScenarios();

struct SampleFile {
    QString name;
    QByteArray bytes;
};

// The sample scenarios and their R files.
QList<SampleFile> sampleScenarioFiles();

// Every file of the sample game.
QList<SampleFile> sampleGameFiles();

// Writes every sample file into `folder`, creating it when needed.
// A file already there is kept as it is (a user may have edited it) unless
// `overwrite` is set. The generator keeps no backups: its files are invented.
Failure writeSampleGame(const QString& folder, bool overwrite = false);

} // namespace lcj::sample
