#include "virtualstore.h"

#include <QDir>

namespace lcj::virtualstore {

namespace {

std::optional<Folders> chosenFolders;

// Forward slashes only, nothing doubled and no slash at the end: Windows
// paths compare the same whichever system the check runs on.
QString plain(const QString& path) {
    QString p = path;
    p.replace(u'\\', u'/');
    return QDir::cleanPath(p);
}

bool inside(const QString& path, const QString& folder) {
    const QString f = plain(folder);
    if (f.isEmpty() || f == QStringLiteral("."))
        return false;
    const QString p = plain(path);
    return p.size() > f.size() && p.startsWith(f, Qt::CaseInsensitive) &&
           (p[f.size()] == u'/' || f.endsWith(u'/'));
}

// `path` without its drive letter: the part VirtualStore repeats.
QString withoutDrive(const QString& path) {
    const QString p = plain(path);
    if (p.size() >= 2 && p[1] == u':' && p[0].isLetter())
        return p.mid(2);
    return p;
}

} // namespace

bool isGuarded(const QString& path, const Folders& folders) {
    for (const QString& folder : folders.guarded)
        if (inside(path, folder))
            return true;
    return false;
}

QString twinPath(const QString& path, const Folders& folders) {
    if (folders.localAppData.isEmpty() || !isGuarded(path, folders))
        return {};
    QString rest = withoutDrive(path);
    if (!rest.startsWith(u'/'))
        rest.prepend(u'/');
    return plain(folders.localAppData) + QStringLiteral("/VirtualStore") + rest;
}

Folders systemFolders() {
    if (chosenFolders)
        return *chosenFolders;
    Folders folders;
#ifdef Q_OS_WIN
    for (const char* name : {"ProgramFiles", "ProgramFiles(x86)", "ProgramW6432", "ProgramData",
                             "SystemRoot", "windir"}) {
        const QString value = qEnvironmentVariable(name);
        if (!value.isEmpty() && !folders.guarded.contains(value, Qt::CaseInsensitive))
            folders.guarded.append(value);
    }
    folders.localAppData = qEnvironmentVariable("LOCALAPPDATA");
#endif
    return folders;
}

void setSystemFolders(std::optional<Folders> folders) {
    chosenFolders = std::move(folders);
}

} // namespace lcj::virtualstore
