#pragma once

#include "common/result.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

// The region editors' files as tables for lcjtool: the save game, the
// message file, the program file and a scenario's R file. Every row is what
// the window shows after selecting it, every import goes through the window's
// own "确定" on the core model, and the file is written as its "保存" does.
namespace lcj::cli {

struct RowTable {
    QString title;       // how a difference names a row: "人物 5 武力: 74 → 76"
    QString labelHeader; // a read-only name column after 序号, or empty
    QStringList headers; // the editable columns
    int rows = 0;
    std::function<QString(int)> label;
    std::function<QStringList(int)> get;
    // Applies the cells that differ from what row r shows (through the
    // window's confirm); on a refusal nothing of the row changes.
    std::function<Failure(int, const QHash<QString, QString>&)> set;
};

// A loaded file with its tables; save() writes what the tables changed.
class RegionModel {
public:
    virtual ~RegionModel() = default;
    virtual RowTable table(const QString& part) = 0;
    virtual Failure save() = 0;
};

enum class RegionKind { Save, Imsg, Exe, RFile };

// The parts a kind knows (the first is the default), with a line of help each.
QStringList regionParts(RegionKind kind);

// A part's title, columns and number of rows, which every file of the kind
// shares; the table reads and writes nothing (no get, set or label).
RowTable regionShape(RegionKind kind, const QString& part);

// Loads the file of `kind` at `path`.
Result<std::unique_ptr<RegionModel>> loadRegionModel(RegionKind kind, const QString& path);

QString exportRows(const RowTable& table);

struct RowImportOutcome {
    int changedRows = 0;
    QStringList problems;
};
// Checks every row before anything is written, then saves the model unless
// nothing changed or `dryRun`.
Result<RowImportOutcome> importRows(RegionModel& model, const QString& part, const QString& csvText,
                                    bool dryRun);

// The field changes between two files of a kind, over every part.
Result<QStringList> diffRegions(RegionKind kind, const QString& pathA, const QString& pathB);

} // namespace lcj::cli
