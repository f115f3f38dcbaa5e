#include "gamedock.h"

#include "common/ui/controls.h"
#include "common/ui/plainheader.h"
#include "fields/filekind.h"

#include <QDir>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QHeaderView>
#include <QTreeWidget>
#include <algorithm>
#include <map>

namespace lcj {

namespace {

constexpr int pathRole = Qt::UserRole;
constexpr int nameRole = Qt::UserRole + 1;

// The groups of the list, in their order.
struct Group {
    GameFile kind;
    const char16_t* caption;
};
constexpr Group groups[] = {
    {GameFile::Data, u"数据"},  {GameFile::Scenario, u"剧本"}, {GameFile::Save, u"存档"},
    {GameFile::Imsg, u"文字"},  {GameFile::Exe, u"程序"},      {GameFile::Map, u"地图"},
    {GameFile::Patch, u"补丁"},
};

bool samePath(const QString& a, const QString& b) {
    return QFileInfo(a) == QFileInfo(b);
}

} // namespace

std::optional<GameFile> gameFileOfName(const QString& fileName) {
    const QString n = fileName.toLower();
    if (n.endsWith(QStringLiteral(".bmp")))
        return GameFile::Map;
    if (n.endsWith(QStringLiteral(".lcjpatch")))
        return GameFile::Patch;
    switch (fields::kindOfName(fileName).value_or(fields::FileKind::Data)) {
    case fields::FileKind::Data:
        return n == QStringLiteral("data.e5") ? std::optional(GameFile::Data) : std::nullopt;
    case fields::FileKind::Save:
        return GameFile::Save;
    case fields::FileKind::Imsg:
        return GameFile::Imsg;
    case fields::FileKind::Exe:
        return GameFile::Exe;
    case fields::FileKind::RFile:
        return GameFile::RFile;
    case fields::FileKind::Scenario:
        return GameFile::Scenario;
    }
    return std::nullopt;
}

GameDock::GameDock(QWidget* parent) : QDockWidget(QStringLiteral("游戏目录"), parent) {
    setObjectName(QStringLiteral("gamedock"));
    gamefiles = named(new QTreeWidget(this), QStringLiteral("gamefiles"));
    PlainHeader::install(gamefiles);
    gamefiles->setColumnCount(1);
    gamefiles->setHeaderLabel(QString());
    gamefiles->header()->setStretchLastSection(true);
    gamefiles->setUniformRowHeights(true);
    // A double click opens a file and leaves its scenario's branch as it is; the
    // arrow and the keys still open and close it.
    gamefiles->setExpandsOnDoubleClick(false);
    setWidget(gamefiles);
    watcher_ = new QFileSystemWatcher(this);
    connect(watcher_, &QFileSystemWatcher::directoryChanged, this, &GameDock::refresh);
    // Double click and Enter alike.
    connect(gamefiles, &QTreeWidget::itemActivated, this, [this](QTreeWidgetItem* item) {
        const QString path = item->data(0, pathRole).toString();
        if (!path.isEmpty())
            emit fileActivated(path);
    });
}

QString GameDock::markSuffix() {
    return QStringLiteral(" *");
}

void GameDock::setFolder(const QString& folder) {
    if (!watcher_->directories().isEmpty())
        watcher_->removePaths(watcher_->directories());
    folder_ = folder.isEmpty() ? QString() : QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
    if (!folder_.isEmpty())
        watcher_->addPath(folder_);
    refresh();
}

void GameDock::setMarked(const QStringList& paths) {
    marked_ = paths;
    showMarks();
}

QTreeWidgetItem* GameDock::itemOf(const QString& path) const {
    for (QTreeWidgetItemIterator it(gamefiles); *it; ++it)
        if (const QString p = (*it)->data(0, pathRole).toString();
            !p.isEmpty() && samePath(p, path))
            return *it;
    return nullptr;
}

void GameDock::refresh() {
    // The row the keyboard was on stays where it was, if its file is still there.
    const QString current = gamefiles->currentItem()
                                ? gamefiles->currentItem()->data(0, pathRole).toString()
                                : QString();
    gamefiles->clear();
    gamefiles->setHeaderLabel(folder_.isEmpty() ? QString() : QDir::toNativeSeparators(folder_));
    if (folder_.isEmpty())
        return;
    const QDir dir(folder_);
    if (!dir.exists()) {
        gamefiles->setHeaderLabel(
            QStringLiteral("游戏目录已不存在：%1").arg(QDir::toNativeSeparators(folder_)));
        return;
    }
    std::map<GameFile, QStringList> found;
    for (const QString& name : dir.entryList(QDir::Files, QDir::Name | QDir::IgnoreCase))
        if (const auto kind = gameFileOfName(name))
            found[*kind] << name;

    auto fileItem = [&dir](QTreeWidgetItem* parent, const QString& name) {
        auto* item = new QTreeWidgetItem(parent, {name});
        item->setData(0, pathRole, dir.filePath(name));
        item->setData(0, nameRole, name);
        item->setToolTip(0, QDir::toNativeSeparators(dir.filePath(name)));
        return item;
    };
    QStringList rFiles = found[GameFile::RFile];
    for (const Group& group : groups) {
        const QStringList& names = found[group.kind];
        const bool orphans = group.kind == GameFile::Scenario && !rFiles.isEmpty();
        if (names.isEmpty() && !orphans)
            continue;
        auto* top = new QTreeWidgetItem(gamefiles, {QString::fromUtf16(group.caption)});
        top->setFlags(Qt::ItemIsEnabled);
        for (const QString& name : names) {
            QTreeWidgetItem* item = fileItem(top, name);
            if (group.kind != GameFile::Scenario)
                continue;
            // The battle's R file beneath its scenario.
            const QString r = QStringLiteral("R") + name.mid(1);
            for (qsizetype i = 0; i < rFiles.size(); ++i)
                if (rFiles[i].compare(r, Qt::CaseInsensitive) == 0) {
                    fileItem(item, rFiles.takeAt(i));
                    break;
                }
        }
        // R files without their scenario stand on their own.
        if (group.kind == GameFile::Scenario)
            for (const QString& name : std::as_const(rFiles))
                fileItem(top, name);
    }
    gamefiles->expandAll();
    if (QTreeWidgetItem* item = current.isEmpty() ? nullptr : itemOf(current))
        gamefiles->setCurrentItem(item);
    showMarks();
}

void GameDock::showMarks() {
    for (QTreeWidgetItemIterator it(gamefiles); *it; ++it) {
        const QString path = (*it)->data(0, pathRole).toString();
        if (path.isEmpty())
            continue;
        const bool mark = std::any_of(marked_.begin(), marked_.end(),
                                      [&path](const QString& m) { return samePath(m, path); });
        const QString name = (*it)->data(0, nameRole).toString();
        (*it)->setText(0, mark ? name + markSuffix() : name);
        // Italic, not bold: a bold face is a font file of its own (for Chinese
        // names a large one), where italic slants the face already in use.
        QFont font = (*it)->font(0);
        font.setItalic(mark);
        (*it)->setFont(0, font);
        (*it)->setToolTip(0, QDir::toNativeSeparators(path) +
                                 (mark ? QStringLiteral("\n有未保存的修改") : QString()));
    }
}

} // namespace lcj
