#include "filekind.h"

#include <QDir>
#include <QFileInfo>

namespace lcj::fields {

std::optional<FileKind> kindOfName(const QString& fileName) {
    const QString n = fileName.toLower();
    if (n == QStringLiteral("data.e5"))
        return FileKind::Data;
    if (n == QStringLiteral("imsg.e5"))
        return FileKind::Imsg;
    if (n.endsWith(QStringLiteral(".e5s")))
        return FileKind::Save;
    if (n.endsWith(QStringLiteral(".exe")))
        return FileKind::Exe;
    if (n.endsWith(QStringLiteral(".eex"))) {
        if (n.startsWith(u's'))
            return FileKind::Scenario;
        if (n.startsWith(u'r'))
            return FileKind::RFile;
    }
    return std::nullopt;
}

namespace {
const std::pair<FileKind, const char16_t*> kindNames[] = {
    {FileKind::Data, u"data"}, {FileKind::Save, u"save"},   {FileKind::Imsg, u"imsg"},
    {FileKind::Exe, u"exe"},   {FileKind::RFile, u"rfile"}, {FileKind::Scenario, u"scenario"},
};
} // namespace

QString kindName(FileKind kind) {
    for (const auto& [k, name] : kindNames)
        if (k == kind)
            return QString::fromUtf16(name);
    return {};
}

std::optional<FileKind> kindFromName(const QString& name) {
    for (const auto& [k, n] : kindNames)
        if (name == QString::fromUtf16(n))
            return k;
    return std::nullopt;
}

QString fileIn(const QString& folder, const QString& name) {
    const QDir dir(folder);
    if (QFileInfo(dir.filePath(name)).isFile())
        return dir.filePath(name);
    for (const QString& entry : dir.entryList(QDir::Files | QDir::Hidden))
        if (entry.compare(name, Qt::CaseInsensitive) == 0)
            return dir.filePath(entry);
    return {};
}

QString scenarioOfRFile(const QString& rFilePath) {
    const QFileInfo r(rFilePath);
    if (kindOfName(r.fileName()) != FileKind::RFile)
        return {};
    return fileIn(r.absolutePath(), QStringLiteral("S") + r.fileName().mid(1));
}

} // namespace lcj::fields
