#pragma once

#include "common/result.h"
#include "fields/fieldtable.h"

#include <QString>
#include <QStringList>
#include <memory>

// The region editors' files for lcjtool: the save game, the message file, the
// program file and a scenario's R file, read from their paths and written back
// as the windows' "保存" writes them. The tables are those of lcj_fields.
namespace lcj::cli {

// The kinds of file the region commands take: Save, Imsg, Exe, RFile.
using RegionKind = fields::FileKind;

// A file loaded from its path, with its tables; save() writes what the
// tables changed.
class RegionModel {
public:
    RegionModel(RegionKind kind, QString path, std::unique_ptr<fields::FieldFile> file)
        : kind_(kind), path_(std::move(path)), file_(std::move(file)) {}

    // The part `part`; the first part for a name the kind does not know.
    fields::FieldTable& table(const QString& part);
    const fields::FieldFile& file() const { return *file_; }
    Failure save();

private:
    RegionKind kind_;
    QString path_;
    std::unique_ptr<fields::FieldFile> file_;
};

// The parts a kind knows (the first is the default).
QStringList regionParts(RegionKind kind);

// Loads the file of `kind` at `path`.
Result<std::unique_ptr<RegionModel>> loadRegionModel(RegionKind kind, const QString& path);

QString exportRows(const fields::FieldTable& table);

struct RowImportOutcome {
    int changedRows = 0;
    QStringList problems;
    // One per cell stored other than typed: "人物 5 武力按2的倍数保存：77 → 76".
    QStringList rounded;
};
// Checks every row before anything is written, then saves the model unless
// nothing changed or `dryRun`.
Result<RowImportOutcome> importRows(RegionModel& model, const QString& part, const QString& csvText,
                                    bool dryRun);

// The field changes between two files of a kind, over every part.
Result<QStringList> diffRegions(RegionKind kind, const QString& pathA, const QString& pathB);

} // namespace lcj::cli
