#include "folderlisting.h"

#include <QDir>
#include <QFileInfo>
#include <QStorageInfo>

namespace lcj::mapview {

namespace {

bool endsWithSeparator(const QString& path) {
    return path.endsWith(u'/') || path.endsWith(u'\\');
}

} // namespace

QString fullName(const QString& folder, const QString& file) {
    if (folder.isEmpty() || endsWithSeparator(folder))
        return folder + file;
    return folder + u'/' + file;
}

QStringList drives() {
    QStringList out;
    for (const QFileInfo& drive : QDir::drives())
        out.append(drive.absoluteFilePath());
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        if (volume.isValid() && volume.isReady())
            out.append(volume.rootPath());
    }
    if (out.isEmpty())
        out.append(QDir::rootPath());
    out.sort();
    out.removeDuplicates();
    return out;
}

QString driveOf(const QString& path, const QStringList& drives) {
    const QString clean = QDir::cleanPath(QDir::fromNativeSeparators(path));
    QString best;
    for (const QString& drive : drives) {
        const QString root = QDir::cleanPath(QDir::fromNativeSeparators(drive));
        const bool inside = clean == root || clean.startsWith(fullName(root, QString()));
        if (inside && root.size() > QDir::cleanPath(best).size())
            best = drive;
    }
    return best;
}

QVector<FolderEntry> folderEntries(const QString& folder) {
    QDir dir(folder);
    dir.makeAbsolute();
    const QString current = QDir::cleanPath(dir.absolutePath());

    // The chain from the root down to the current folder.
    QStringList chain;
    for (QDir up(current);;) {
        chain.prepend(QDir::cleanPath(up.absolutePath()));
        if (up.isRoot() || !up.cdUp())
            break;
    }
    QVector<FolderEntry> out;
    for (int i = 0; i < chain.size(); ++i) {
        const QString& path = chain[i];
        const QString name = QDir(path).isRoot() ? path : QFileInfo(path).fileName();
        out.append({name, path, i, i == chain.size() - 1});
    }
    const QStringList subs =
        QDir(current).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase);
    for (const QString& sub : subs)
        out.append({sub, fullName(current, sub), int(chain.size()), false});
    return out;
}

QStringList bmpFiles(const QString& folder) {
    // The suffix compared here: a "*.bmp" filter would compile a regular
    // expression, and load its library, for one suffix.
    QStringList names = QDir(folder).entryList(QDir::Files, QDir::Name | QDir::IgnoreCase);
    names.removeIf(
        [](const QString& name) { return !name.endsWith(u".bmp", Qt::CaseInsensitive); });
    return names;
}

} // namespace lcj::mapview
