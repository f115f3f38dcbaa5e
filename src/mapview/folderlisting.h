#pragma once

#include <QString>
#include <QStringList>
#include <QVector>

// What the viewer's drive, folder and file lists show.
namespace lcj::mapview {

// The full name of `file` in `folder`. A folder that already ends with a
// separator (a drive root such as "C:/" or "C:\", the root "/") is followed by
// the file name directly; any other folder gets a "/" in between.
QString fullName(const QString& folder, const QString& file);

// The drive list: the roots of the mounted volumes, or at least the root of
// the file system, sorted, each once.
QStringList drives();

// The drive whose root holds `path`: the longest of `drives` that `path`
// starts with, or an empty string.
QString driveOf(const QString& path, const QStringList& drives);

// One line of the folder list: the folders from the drive root down to the
// current folder (expanded), then the current folder's sub-folders.
struct FolderEntry {
    QString name; // what the list shows
    QString path; // the folder the line stands for
    int depth = 0;
    bool current = false;
};

QVector<FolderEntry> folderEntries(const QString& folder);

// The names of the "*.bmp" files in `folder` (any letter case), sorted.
QStringList bmpFiles(const QString& folder);

} // namespace lcj::mapview
