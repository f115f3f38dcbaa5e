#include "settings.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>
#include <memory>

namespace lcj::settings {

namespace {

enum class Place { Nowhere, File, Profile };

struct Choice {
    Place place = Place::Nowhere;
    QString file;
};

Choice& choice() {
    static Choice c;
    return c;
}

// The settings in the chosen place; null while none is chosen.
std::unique_ptr<QSettings> open() {
    const Choice& c = choice();
    switch (c.place) {
    case Place::File:
        return std::make_unique<QSettings>(c.file, QSettings::IniFormat);
    case Place::Profile:
        return std::make_unique<QSettings>();
    case Place::Nowhere:
        break;
    }
    return nullptr;
}

const QString lastFolderKey = QStringLiteral("gameFolder/last");
const QString recentKey = QStringLiteral("gameFolder/recent");
const QString geometryKey = QStringLiteral("mainWindow/geometry");
const QString stateKey = QStringLiteral("mainWindow/state");
const QString mapsKey = QStringLiteral("battleMaps");

// Folders are compared as the file system names them.
QString folderKey(const QString& folder) {
    return QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
}

bool sameFolder(const QString& a, const QString& b) {
#ifdef Q_OS_WIN
    return folderKey(a).compare(folderKey(b), Qt::CaseInsensitive) == 0;
#else
    return folderKey(a) == folderKey(b);
#endif
}

} // namespace

void useProgramSettings(const QString& programFolder) {
    const QString portable = QDir(programFolder).filePath(QString::fromUtf16(portableFileName));
    if (QFileInfo(portable).isFile())
        useFile(portable);
    else
        choice() = {Place::Profile, {}};
}

void useFile(const QString& path) {
    choice() = {Place::File, path};
}

void forget() {
    choice() = {};
}

QString file() {
    return choice().place == Place::File ? choice().file : QString();
}

bool kept() {
    return choice().place != Place::Nowhere;
}

QString location() {
    const auto s = open();
    return s ? s->fileName() : QString();
}

QString recoveryFolder() {
    const Choice& c = choice();
    switch (c.place) {
    case Place::File:
        return QDir(QFileInfo(c.file).absolutePath()).filePath(QStringLiteral("recovery"));
    case Place::Profile:
        return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
               QStringLiteral("/lcjworkshop/recovery");
    case Place::Nowhere:
        break;
    }
    return {};
}

QString lastGameFolder() {
    const auto s = open();
    return s ? s->value(lastFolderKey).toString() : QString();
}

void setLastGameFolder(const QString& folder) {
    if (const auto s = open())
        s->setValue(lastFolderKey, folder);
}

QStringList recentFolders() {
    const auto s = open();
    if (!s)
        return {};
    QStringList folders = s->value(recentKey).toStringList();
    folders.removeAll(QString());
    return folders.mid(0, maxRecentFolders);
}

void addRecentFolder(const QString& folder) {
    const auto s = open();
    if (!s)
        return;
    QStringList folders = recentFolders();
    folders.removeIf([&folder](const QString& f) { return sameFolder(f, folder); });
    folders.prepend(folderKey(folder));
    s->setValue(recentKey, folders.mid(0, maxRecentFolders));
}

void removeRecentFolder(const QString& folder) {
    const auto s = open();
    if (!s)
        return;
    QStringList folders = recentFolders();
    folders.removeIf([&folder](const QString& f) { return sameFolder(f, folder); });
    s->setValue(recentKey, folders);
}

QByteArray windowGeometry() {
    const auto s = open();
    return s ? s->value(geometryKey).toByteArray() : QByteArray();
}

QByteArray windowState() {
    const auto s = open();
    return s ? s->value(stateKey).toByteArray() : QByteArray();
}

void setWindow(const QByteArray& geometry, const QByteArray& state) {
    if (const auto s = open()) {
        s->setValue(geometryKey, geometry);
        s->setValue(stateKey, state);
    }
}

// The maps are an array of (folder, map) pairs: a folder's path is no key a
// settings file can hold as it is.
QString mapForFolder(const QString& folder) {
    const auto s = open();
    if (!s)
        return {};
    QString map;
    const int n = s->beginReadArray(mapsKey);
    for (int i = 0; i < n && map.isEmpty(); ++i) {
        s->setArrayIndex(i);
        if (sameFolder(s->value(QStringLiteral("folder")).toString(), folder))
            map = s->value(QStringLiteral("map")).toString();
    }
    s->endArray();
    return map;
}

void setMapForFolder(const QString& folder, const QString& map) {
    const auto s = open();
    if (!s || folder.isEmpty())
        return;
    QList<std::pair<QString, QString>> maps;
    const int n = s->beginReadArray(mapsKey);
    for (int i = 0; i < n; ++i) {
        s->setArrayIndex(i);
        const QString f = s->value(QStringLiteral("folder")).toString();
        if (!sameFolder(f, folder))
            maps.append({f, s->value(QStringLiteral("map")).toString()});
    }
    s->endArray();
    maps.prepend({folderKey(folder), map});
    s->remove(mapsKey);
    s->beginWriteArray(mapsKey, int(maps.size()));
    for (int i = 0; i < maps.size(); ++i) {
        s->setArrayIndex(i);
        s->setValue(QStringLiteral("folder"), maps[i].first);
        s->setValue(QStringLiteral("map"), maps[i].second);
    }
    s->endArray();
}

} // namespace lcj::settings
