#pragma once

#include <QDockWidget>
#include <QStringList>

class QFileSystemWatcher;
class QTreeWidget;
class QTreeWidgetItem;

namespace lcj {

// The files of a game folder the workshop opens, by the editor that opens them.
enum class GameFile { Data, Scenario, RFile, Save, Imsg, Exe, Map, Patch };

// The kind of a file by its name (any case): data.e5, S_??.eex, R_??.eex, Sv??d.e5s,
// Imsg.e5, *.exe, *.bmp, *.lcjpatch; nothing for any other file.
std::optional<GameFile> gameFileOfName(const QString& fileName);

// gamedock "游戏目录": the files of the game folder in a tree (gamefiles), grouped by kind:
// 数据, 剧本 (each S file with its R file beneath), 存档, 文字, 程序, 地图, 补丁. A file an
// editor holds unsaved edits of carries a mark. Double click or Enter on a file asks for
// it to be opened. The list follows the folder as files come and go.
class GameDock : public QDockWidget {
    Q_OBJECT
public:
    explicit GameDock(QWidget* parent = nullptr);

    // Lists `folder` from now on (empty: nothing).
    void setFolder(const QString& folder);
    const QString& folder() const { return folder_; }
    // The files that carry the unsaved mark.
    void setMarked(const QStringList& paths);
    QTreeWidget* tree() const { return gamefiles; }
    // The row of the file at `path`, null when it is not listed.
    QTreeWidgetItem* itemOf(const QString& path) const;
    // The mark's suffix to a file's name.
    static QString markSuffix();

signals:
    void fileActivated(const QString& path);

private:
    void refresh();
    void showMarks();

    QString folder_;
    QStringList marked_;
    QTreeWidget* gamefiles;
    QFileSystemWatcher* watcher_;
};

} // namespace lcj
