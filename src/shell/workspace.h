#pragma once

#include "common/diskstamp.h"
#include "common/ui/document.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <map>
#include <memory>
#include <utility>

class QFileSystemWatcher;
class QTimer;
class QWidget;

namespace lcj {

class EditorWindow;
class Prompts;

// The game folder open and every file the editors hold open, one Document each. The
// folder's names come from its data.e5: gameDataChanged tells the editors to read them again
// whenever that file changed, saved by the data editor or by another program.
class Workspace : public QObject {
    Q_OBJECT
public:
    explicit Workspace(QObject* parent = nullptr);
    ~Workspace() override;

    // The game folder (clean and absolute), empty while none is open.
    const QString& folder() const { return folder_; }
    // Its data.e5, empty while there is none.
    const QString& dataPath() const { return dataPath_; }
    // Takes `folder` as the game folder; the editors are the caller's to move.
    void setFolder(const QString& folder);
    // Whether the file at `path` lies in the game folder itself.
    bool holds(const QString& path) const;

    // Follows an editor: its documents, its unsaved marks, its saves of data.e5.
    void attach(EditorWindow* editor);
    // The editors followed and still open, in the order they were attached.
    QList<EditorWindow*> editors() const;
    // Every file the editors hold open (a scenario editor holds its R file too).
    QList<Document*> documents() const;
    // The documents of `editors` with edits not on disk.
    QList<Document*> unsaved(const QList<EditorWindow*>& editors) const;

    // One question about every unsaved document of `editors` (the list, "保存所选" / "不保存"
    // / "取消"). True when the caller may go on: nothing unsaved, the checked files saved,
    // or the edits dropped (the caller then drops them without asking again). False when the
    // user chose 取消 or a save failed (its editor said why): nothing else changed.
    bool settle(QWidget* parent, Prompts& prompts, const QString& question,
                const QList<EditorWindow*>& editors);

signals:
    // The folder's data.e5 changed (saved by `by`, null for another program, or another
    // folder opened): the editors other than `by` read their names again.
    void gameDataChanged(EditorWindow* by);
    // A document appeared, went or changed its unsaved mark.
    void documentsChanged();

private:
    // `by` wrote the files at `paths`: the other editors look at theirs now, and the names
    // are read again when data.e5 is among them.
    void lookAgain(EditorWindow* by, const QStringList& paths);
    void watchData();
    void dataFileChanged();
    void forget(QObject* editor);

    QString folder_;
    QString dataPath_;
    DiskStamp dataStamp_;
    // The editors as QObjects, which they still are while they are destroyed.
    QList<QPointer<QObject>> editors_;
    // The workspace's documents, by editor and the place of the file among its own.
    mutable std::map<std::pair<const QObject*, int>, std::unique_ptr<Document>> documents_;
    QFileSystemWatcher* watcher_;
    QTimer* dataCheck_;
};

} // namespace lcj
