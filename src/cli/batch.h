#pragma once

#include "common/result.h"

#include <QList>
#include <QString>
#include <QStringList>

// Commands over several files in one call: which files a command line names,
// and where each file's result goes.
namespace lcj::cli {

// The files a command line names: each argument a file, or a folder standing
// for its files whose names match `filters` ("S_*.eex", any case), in name
// order. `several` is true for more than one argument or any folder, even one
// holding a single file: the output then takes the form for several files.
struct Inputs {
    QStringList files;
    bool several = false;
};
Result<Inputs> expandInputs(const QStringList& args, const QStringList& filters);

// The output file of each input in `folder`: its name with the last suffix
// replaced by `suffix` (S_01.eex -> S_01.json), or kept when `suffix` is
// empty. Refuses two inputs that would write the same file, and an output
// that is one of the inputs.
Result<QStringList> outputPaths(const QStringList& inputs, const QString& folder,
                                const QString& suffix);

// Two files to compare; one side is empty when only the other folder has the file.
struct FilePair {
    QString name;
    QString a;
    QString b;
};
// `diff KIND A... B` where B is a folder: every input of A compared with the
// file of the same name in B; when A is one folder, B's files that A lacks too.
Result<QList<FilePair>> filePairs(const QStringList& args, const QString& folder,
                                  const QStringList& filters);

// The heading that introduces one file's part of the output.
QString heading(const QString& path);

} // namespace lcj::cli
