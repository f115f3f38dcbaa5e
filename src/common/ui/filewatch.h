#pragma once

#include "common/diskstamp.h"
#include "common/result.h"

#include <QFrame>
#include <QHash>
#include <QList>
#include <QObject>
#include <QStringList>
#include <functional>

class QFileSystemWatcher;
class QLabel;
class QPushButton;
class QTimer;

namespace lcj {

class EditorWindow;

// The bar an editor shows at its top when another program changed a file the
// editor holds edits of: "文件已被其他程序改动" with 重新载入 (`reloadfile`) and
// 保留我的修改 (`keepmine`); `diskbarfile` names the files.
class DiskBar : public QFrame {
    Q_OBJECT
public:
    explicit DiskBar(QWidget* parent = nullptr);

    // Shows the bar with `message` for the files at `paths`; `canReload`
    // enables 重新载入.
    void showFor(const QString& message, const QStringList& paths, bool canReload);
    QString message() const;

signals:
    void reloadClicked();
    void keepClicked();

private:
    QLabel* text_;
    QLabel* files_;
    QPushButton* reload_;
    QPushButton* keep_;
};

// Watches the files an editor shows and notices when another program changes
// them, so that the editor never works on in the belief that the file still
// holds what it read.
//
// Each file is compared with the stamp the editor read or last wrote it with,
// so the editor's own saves never count as changes. A check runs shortly after
// the system reports a change of the file or its folder (a saving program that
// replaces the file by a rename is seen through the folder, and the new file is
// watched from then on), and when the window is activated, so that a missed
// report is caught.
//
// A changed file that the editor holds no edits of is read again at once and
// the status line says so. A file with edits brings up the bar: 重新载入 drops
// the edits and reads the file, 保留我的修改 hides the bar and keeps
// everything (the save later asks before it writes over the other program's
// file). A file deleted or no longer readable is only reported; the editor
// keeps what it shows. A change is reported once: the same contents on disk
// are not reported again.
class FileWatch : public QObject {
    Q_OBJECT
public:
    // One file the editor shows.
    struct File {
        // The file as the editor read or last wrote it; an empty path: none now.
        std::function<DiskStamp()> stamp;
        // Whether the editor holds edits of it that are not on disk, in its
        // boxes or in memory.
        std::function<bool()> holdsEdits;
        // Reads it again, dropping those edits, the editor keeping the record
        // shown where it still exists; on a failure nothing changed.
        std::function<Failure()> reload;
    };

    // Watches for `editor`; `status` shows a line in its status line. The bar
    // goes at the top of the editor's layout, below its menu bar.
    FileWatch(EditorWindow* editor, std::function<void(const QString&)> status);

    void add(File file);
    // Looks at the files' paths again (after the editor opened another file)
    // and checks them soon.
    void sync();
    // Checks every file now.
    void check();
    // Checks every file now, each read whole: another part of the program has just written
    // one, as another program would, and the write may keep its size and time.
    void checkNow();

    DiskBar* bar() const { return bar_; }

signals:
    // A check has run (for tests and the main window: nothing else to know).
    void checked();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void schedule(bool full);
    void watchPaths();
    void checkFile(File& file, bool full);
    void reloadPending();
    void keepMine();
    void showBar();

    EditorWindow* editor_;
    std::function<void(const QString&)> status_;
    QList<File> files_;
    QFileSystemWatcher* watcher_;
    QTimer* timer_;
    DiskBar* bar_;
    bool full_ = false; // the next check reads every file whole
    bool busy_ = false;
    // What the disk held when a change was last reported, by path: not
    // reported again while it stays so.
    QHash<QString, DiskStamp> reported_;
    // How each file looked (size and time) at its last comparison.
    QHash<QString, QPair<qint64, qint64>> looked_;
    // The files the bar speaks for, and what it says of them.
    QStringList pending_;
};

} // namespace lcj
