#include "workspace.h"

#include "common/ui/documentjournal.h"
#include "common/ui/editorwindow.h"
#include "common/ui/filewatch.h"
#include "common/ui/prompts.h"
#include "common/ui/settings.h"
#include "fields/filekind.h"

#include <QDir>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QTimer>

namespace lcj {

namespace {

bool samePath(const QString& a, const QString& b) {
    return !a.isEmpty() && !b.isEmpty() && QFileInfo(a) == QFileInfo(b);
}

} // namespace

Workspace::Workspace(QObject* parent)
    : QObject(parent), watcher_(new QFileSystemWatcher(this)), dataCheck_(new QTimer(this)) {
    // A saving program writes in steps: the file is read once they are done.
    dataCheck_->setSingleShot(true);
    dataCheck_->setInterval(200);
    connect(dataCheck_, &QTimer::timeout, this, &Workspace::dataFileChanged);
    connect(watcher_, &QFileSystemWatcher::fileChanged, dataCheck_, qOverload<>(&QTimer::start));
    connect(watcher_, &QFileSystemWatcher::directoryChanged, dataCheck_,
            qOverload<>(&QTimer::start));
}

Workspace::~Workspace() = default;

void Workspace::setFolder(const QString& folder) {
    folder_ = folder.isEmpty() ? QString() : QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
    const QString data =
        folder_.isEmpty() ? QString() : fields::fileIn(folder_, QStringLiteral("data.e5"));
    watchData();
    if (data == dataPath_)
        return;
    dataPath_ = data;
    dataStamp_ = dataPath_.isEmpty() ? DiskStamp() : DiskStamp::read(dataPath_);
    emit gameDataChanged(nullptr);
}

bool Workspace::holds(const QString& path) const {
    return !folder_.isEmpty() && !path.isEmpty() &&
           QFileInfo(QFileInfo(path).absolutePath()) == QFileInfo(folder_);
}

void Workspace::watchData() {
    if (!watcher_->files().isEmpty())
        watcher_->removePaths(watcher_->files());
    if (!watcher_->directories().isEmpty())
        watcher_->removePaths(watcher_->directories());
    if (folder_.isEmpty())
        return;
    // The folder too: a program that saves by a rename puts a new file in place.
    watcher_->addPath(folder_);
    if (const QString data = fields::fileIn(folder_, QStringLiteral("data.e5")); !data.isEmpty())
        watcher_->addPath(data);
}

void Workspace::dataFileChanged() {
    const QString data =
        folder_.isEmpty() ? QString() : fields::fileIn(folder_, QStringLiteral("data.e5"));
    if (data.isEmpty() && dataPath_.isEmpty())
        return;
    const DiskStamp now = data.isEmpty() ? DiskStamp() : DiskStamp::read(data);
    if (data == dataPath_ && now.size == dataStamp_.size && now.bytes == dataStamp_.bytes)
        return;
    if (watcher_->files().isEmpty() && !data.isEmpty())
        watcher_->addPath(data);
    dataPath_ = data;
    dataStamp_ = now;
    emit gameDataChanged(nullptr);
}

void Workspace::attach(EditorWindow* editor) {
    editors_.append(editor);
    connect(editor, &EditorWindow::fileStateChanged, this,
            [this, editor, path = editor->filePath(), modified = editor->modified()]() mutable {
                // The data editor saved the game's data.e5: the others read its names again.
                if (modified && !editor->modified() && samePath(path, dataPath_) &&
                    samePath(editor->filePath(), dataPath_)) {
                    dataStamp_ = DiskStamp::read(dataPath_);
                    emit gameDataChanged(editor);
                }
                path = editor->filePath();
                modified = editor->modified();
                emit documentsChanged();
            });
    connect(editor, &EditorWindow::filesWritten, this,
            [this, editor](const QStringList& paths) { lookAgain(editor, paths); });
    connect(editor, &QObject::destroyed, this, &Workspace::forget);
    // Every edit not on disk is kept in a journal until it is (none while no settings are kept).
    if (const QString journals = settings::recoveryFolder(); !journals.isEmpty())
        for (const Document::Access& access : editor->documents())
            new DocumentJournal(editor, access, journals);
    emit documentsChanged();
}

void Workspace::lookAgain(EditorWindow* by, const QStringList& paths) {
    for (EditorWindow* editor : editors())
        if (editor != by)
            for (FileWatch* watch : editor->findChildren<FileWatch*>())
                watch->checkNow();
    for (const QString& path : paths)
        if (samePath(path, dataPath_)) {
            dataFileChanged();
            break;
        }
}

void Workspace::forget(QObject* editor) {
    for (auto it = documents_.begin(); it != documents_.end();)
        it = it->first.first == editor ? documents_.erase(it) : std::next(it);
    // Compared as QObjects: the editor is no EditorWindow any more while it is destroyed.
    editors_.removeIf([editor](const QPointer<QObject>& held) { return !held || held == editor; });
    // Queued: the editor is half gone while it is destroyed.
    QTimer::singleShot(0, this, &Workspace::documentsChanged);
}

QList<EditorWindow*> Workspace::editors() const {
    QList<EditorWindow*> open;
    for (const QPointer<QObject>& editor : editors_)
        if (editor)
            open << static_cast<EditorWindow*>(editor.data());
    return open;
}

QList<Document*> Workspace::documents() const {
    QList<Document*> found;
    for (EditorWindow* editor : editors()) {
        const QList<Document::Access>& held = editor->documents();
        for (int i = 0; i < held.size(); ++i) {
            std::unique_ptr<Document>& document = documents_[{editor, i}];
            if (!document)
                document = std::make_unique<Document>(editor, held[i]);
            if (!document->path().isEmpty())
                found << document.get();
        }
    }
    return found;
}

QList<Document*> Workspace::unsaved(const QList<EditorWindow*>& editors) const {
    QList<Document*> found;
    for (Document* document : documents())
        if (editors.contains(document->editor()) && document->modified())
            found << document;
    return found;
}

bool Workspace::settle(QWidget* parent, Prompts& prompts, const QString& question,
                       const QList<EditorWindow*>& editors) {
    const QList<Document*> open = unsaved(editors);
    if (open.isEmpty())
        return true;
    QStringList files;
    for (const Document* document : open)
        files << document->path();
    QList<bool> chosen(files.size(), true);
    const Prompts::SaveChoice choice =
        prompts.askToSaveFiles(parent, question, files, chosen, EditorWindow::messageTitle(parent));
    if (choice == Prompts::SaveChoice::Cancel)
        return false;
    if (choice == Prompts::SaveChoice::Save)
        for (qsizetype i = 0; i < open.size(); ++i)
            if (i < chosen.size() && chosen[i] && !open[i]->save())
                return false;
    return true;
}

} // namespace lcj
