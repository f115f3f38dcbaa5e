#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <cstddef>
#include <cstdint>

// The fuzz targets' bodies. The libFuzzer executables (LCJ_FUZZ) call them
// with generated inputs; the regression test calls them with the kept inputs
// in fuzz/regressions and with the seeds, so a finding stays fixed.
namespace lcj::fuzz {

using Entry = int (*)(const std::uint8_t* data, std::size_t size);

struct Target {
    const char* name;
    Entry entry;
};

// data.e5 records through every section's form: show, save unchanged, edit.
int dataRecords(const std::uint8_t* data, std::size_t size);
// A damaged data.e5 read through the data file and the name lists.
int dataFile(const std::uint8_t* data, std::size_t size);
// A damaged save game: regions read, every entry shown, confirmed, written, read back.
int saveGame(const std::uint8_t* data, std::size_t size);
// Message slots decoded and encoded; a damaged Imsg.e5 read slot by slot.
int messageFile(const std::uint8_t* data, std::size_t size);
// A damaged program file: regions read, confirmed, written, read back.
int programFile(const std::uint8_t* data, std::size_t size);
// A map picture loaded as the map viewer loads it, zoomed and pointed at.
int mapPicture(const std::uint8_t* data, std::size_t size);
// CSV text read and written by lcjtool, and imported into a data file (dry run).
int csvImport(const std::uint8_t* data, std::size_t size);
// GBK text fields decoded and encoded.
int gbkFields(const std::uint8_t* data, std::size_t size);
// A scenario of any bytes scanned, edited, saved and read back.
int scenarioFile(const std::uint8_t* data, std::size_t size);
// An R file's record found and its form stored.
int rFile(const std::uint8_t* data, std::size_t size);

const QList<Target>& targets();

// Seed inputs for a target, made from the sample game.
QList<QByteArray> seeds(const QString& target);

// A scratch file for targets that read through the file layer; one per process.
QString scratchPath(const QString& name);

} // namespace lcj::fuzz
