#pragma once

#include "common/result.h"
#include "scenario/scenariodocument.h"

#include <QJsonObject>

#include <QByteArray>
#include <QJsonObject>
#include <QString>
#include <QStringList>

// The scenario commands of lcjtool: what the scenario editor shows after a
// load, and its frames' "确定" buttons driven from a JSON file.
namespace lcj::cli {

// The JSON of what the scenario editor shows of `path`; names come from the
// data file at `dataPath`, or are null without one.
Result<QString> showScenario(const QString& path, const QString& dataPath);
// The same with the character names already read (or none).
Result<QString> showScenario(const QString& path, const QStringList* people);
// The character names of a data file, for showScenario.
Result<QStringList> readPeople(const QString& dataPath);

struct ScenarioEditOutcome {
    int confirmed = 0;    // "确定" presses (and appended army entries)
    QStringList problems; // what the load could not read, kept as it was
    bool written = false; // false when the saved bytes equal the file already there
};

// Performs the edits of `editsJson` on the scenario at `path` as the window's
// buttons do, in the order battle, allies, enemies, append_army, army,
// spoils, equipment, then saves as "保存剧本文件" does to `outPath` (or in
// place). On any refused edit nothing is written and the message names the
// edit.
Result<ScenarioEditOutcome> editScenario(const QString& path, const QByteArray& editsJson,
                                         const QString& outPath);

// editScenario in its steps, so that the same edits can be checked on
// several scenarios before any of them is written.
Result<QJsonObject> parseEdits(const QByteArray& editsJson);
struct PreparedEdit {
    QByteArray bytes; // the file as "保存剧本文件" would write it
    int confirmed = 0;
    QStringList problems;
};
Result<PreparedEdit> prepareEdit(const QString& path, const QJsonObject& edits);
// Writes the prepared file to `target`, read back; false when it already held these bytes.
Result<bool> saveEdit(const PreparedEdit& prepared, const QString& target);

// The field changes from scenario A to scenario B, one line each.
Result<QStringList> diffScenario(const QString& pathA, const QString& pathB);

} // namespace lcj::cli
