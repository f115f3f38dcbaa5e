#pragma once

#include <QString>
#include <optional>

namespace lcj::fields {

// The game's files, each with its own tables.
enum class FileKind { Data, Save, Imsg, Exe, RFile, Scenario };

// The kind of a game file by its name (data.e5, Sv01d.e5s, Imsg.e5, Lcj5.exe,
// R_01.eex, S_01.eex), compared without regard to case.
std::optional<FileKind> kindOfName(const QString& fileName);
// The kind's short name in patches and on the command line: data, save, imsg,
// exe, rfile, scenario; and back.
QString kindName(FileKind kind);
std::optional<FileKind> kindFromName(const QString& name);

// The file named `name` in `folder`, the name compared without regard to case (data.e5,
// Data.e5, DATA.E5); empty when there is none.
QString fileIn(const QString& folder, const QString& name);
// The scenario of an R file: S_05.eex beside R_05.eex (any case); empty when there is none.
QString scenarioOfRFile(const QString& rFilePath);

} // namespace lcj::fields
