#include "editorwindow.h"

#include "listfilter.h"

#include <QAction>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QFontMetrics>
#include <QLabel>
#include <QListWidget>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QShortcut>
#include <QStyle>
#include <QVBoxLayout>
#include <algorithm>

namespace lcj {

namespace {

// The status line: its text can be selected and copied with the mouse. A label that can be
// selected lays its text out as a document at every new text, a third of a record save's
// time; so it becomes selectable only when the mouse first presses on it.
class StatusLine : public QLabel {
public:
    using QLabel::QLabel;

protected:
    void mousePressEvent(QMouseEvent* event) override {
        if (!(textInteractionFlags() & Qt::TextSelectableByMouse))
            setTextInteractionFlags(Qt::TextSelectableByMouse);
        QLabel::mousePressEvent(event);
    }
};

// The folders give way first, from their middle, so that the file's own name stays whole;
// the name itself gives way only where even "…\name" is too wide.
QString elidedPath(const QFontMetrics& metrics, const QString& path, int room) {
    if (metrics.horizontalAdvance(path) <= room)
        return path;
    const qsizetype cut = path.lastIndexOf(QDir::separator());
    const QString end = path.mid(cut); // the separator and the name, or the name alone
    if (cut >= 0) {
        const QString folder = metrics.elidedText(path.left(cut), Qt::ElideMiddle,
                                                  room - metrics.horizontalAdvance(end));
        if (!folder.isEmpty())
            return folder + end;
    }
    const QString gone = cut >= 0 ? QStringLiteral("…") + QDir::separator() : QString();
    const QString name = metrics.elidedText(path.mid(cut + 1), Qt::ElideMiddle,
                                            room - metrics.horizontalAdvance(gone));
    return name.isEmpty() ? QStringLiteral("…") : gone + name;
}

} // namespace

EditorWindow::EditorWindow(Prompts& prompts, QWidget* parent)
    : QWidget(parent), prompts_(prompts), menuBar_(new QMenuBar(this)) {
    auto* layout = new QVBoxLayout(this);
    layout->setMenuBar(menuBar_);
    // Ctrl+F goes to the filter box of the list nearest the keyboard.
    auto* find = new QShortcut(QKeySequence::Find, this);
    find->setContext(Qt::WidgetWithChildrenShortcut);
    connect(find, &QShortcut::activated, this, [this] {
        if (ListFilter* filter = ListFilter::nearestFocus(this)) {
            filter->setFocus(Qt::ShortcutFocusReason);
            filter->selectAll();
        }
    });
}

QAction* EditorWindow::addSaveEntry(QMenu* menu, QAction* before, std::function<void()> save) {
    auto* entry = new QAction(QStringLiteral("保存"), menu);
    entry->setObjectName(QStringLiteral("save"));
    menu->insertAction(before, entry);
    connect(entry, &QAction::triggered, this, std::move(save));
    setSaveKey(entry);
    return entry;
}

void EditorWindow::setSaveKey(QAction* entry) {
    entry->setShortcut(QKeySequence::Save);
    // The key belongs to this window: several editors are open side by side.
    entry->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    addAction(entry);
}

QString EditorWindow::startFolder() const {
    const QString folder = gameFolder();
    return !folder.isEmpty() && QFileInfo(folder).isDir() ? folder : Prompts::editorFolder();
}

void EditorWindow::setCaption(const QString& caption) {
    caption_ = caption;
    setWindowTitle(caption);
}

void EditorWindow::showFileState(const QString& path, bool modified) {
    const bool changed = path != filePath_ || modified != modified_;
    filePath_ = path;
    modified_ = modified;
    showTitle();
    if (changed)
        emit fileStateChanged();
}

void EditorWindow::setGameFolder(const QString& folder) {
    const QString clean = folder.isEmpty() ? QString() : QDir::cleanPath(folder);
    const bool changed = gameFolder_ != clean;
    gameFolder_ = clean;
    showTitle();
    if (changed)
        gameFolderChanged();
}

void EditorWindow::showTitle() {
    if (filePath_.isEmpty()) {
        setWindowTitle(caption_);
        return;
    }
    const QFileInfo file(filePath_);
    QString where = file.fileName();
    if (gameFolder_) {
        // A file of the game folder is named by the folder's own name; one from elsewhere by
        // its whole path, so that it is never taken for the game's own.
        const QString dir = QDir::cleanPath(file.absolutePath());
        const bool inside = !gameFolder_->isEmpty() && QFileInfo(dir) == QFileInfo(*gameFolder_);
        where = QDir::toNativeSeparators((inside ? QFileInfo(dir).fileName() : dir) +
                                         QLatin1Char('/') + file.fileName());
    }
    const QString head = caption_ + QStringLiteral(" - ");
    const QString mark = modified_ ? QStringLiteral(" *") : QString();
    // Where the frame is narrow the middle of the path gives way; the caption and the mark stay.
    const QWidget* frame = qobject_cast<QMdiSubWindow*>(parentWidget());
    if (!frame)
        frame = this;
    if (frame->isVisible()) {
        const QFontMetrics metrics(frame->font());
        const int buttons = 4 * frame->style()->pixelMetric(QStyle::PM_TitleBarHeight);
        const int room = frame->width() - buttons - metrics.horizontalAdvance(head + mark);
        where = elidedPath(metrics, where, std::max(room, 0));
    }
    setWindowTitle(head + where + mark);
}

void EditorWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (!filePath_.isEmpty())
        showTitle();
}

QString EditorWindow::sameFileIn(const QString& folder) const {
    if (filePath_.isEmpty() || folder.isEmpty())
        return {};
    // Game files are named in any case (DATA.E5, data.e5): the same name in any case is the
    // same file.
    const QString name = QFileInfo(filePath_).fileName();
    const QDir dir(folder);
    if (QFileInfo(dir.filePath(name)).isFile())
        return QDir::cleanPath(dir.absoluteFilePath(name));
    for (const QString& entry : dir.entryList(QDir::Files))
        if (entry.compare(name, Qt::CaseInsensitive) == 0)
            return QDir::cleanPath(dir.absoluteFilePath(entry));
    return {};
}

bool EditorWindow::reopenIn(const QString& folder) {
    if (filePath_.isEmpty())
        return true;
    const QString path = sameFileIn(folder);
    return !path.isEmpty() && reopenAt(path);
}

MergeSource EditorWindow::mergeSource(fields::FileKind kind, std::function<QByteArray()> mine) {
    return {kind, std::move(mine), [this](const QString& path, const QString& status) {
                reopenAt(path);
                showStatus(status);
            }};
}

bool EditorWindow::reopenAt(const QString&) {
    return false;
}

EditorWindow::View EditorWindow::keepView() const {
    View view;
    for (const QListWidget* list : findChildren<QListWidget*>())
        if (!list->objectName().isEmpty() && list->currentRow() >= 0)
            view.rows.append({list->objectName(), list->currentRow()});
    for (const ListFilter* filter : findChildren<ListFilter*>())
        if (!filter->objectName().isEmpty() && !filter->text().isEmpty())
            view.filters.append({filter->objectName(), filter->text()});
    return view;
}

void EditorWindow::restoreView(const View& view) {
    for (const auto& [name, text] : view.filters)
        if (auto* filter = findChild<ListFilter*>(name))
            filter->setText(text);
    // Selecting a row runs the list's own handler, which shows the record as a click does.
    for (const auto& [name, row] : view.rows) {
        auto* list = findChild<QListWidget*>(name);
        if (list && list->isVisibleTo(this) && row < list->count() && list->currentRow() != row) {
            list->setCurrentRow(row);
            list->scrollToItem(list->item(row));
        }
    }
}

void EditorWindow::closeSettled() {
    settled_ = true;
    auto* frame = qobject_cast<QMdiSubWindow*>(parentWidget());
    if (!(frame ? frame->close() : close()))
        settled_ = false;
}

bool EditorWindow::openPath(const QString&) {
    return false;
}

void EditorWindow::useGameData(const QString&) {}

bool EditorWindow::showPlace(int, int) {
    return false;
}

bool EditorWindow::showField(int part, int row, const QString&) {
    return showPlace(part, row);
}

QString EditorWindow::messageTitle(const QWidget* window) {
    if (auto* editor = qobject_cast<const EditorWindow*>(window);
        editor && !editor->caption_.isEmpty())
        return editor->caption_;
    return window ? window->windowTitle() : QString();
}

QString EditorWindow::statusText() const {
    return status_ ? status_->text() : QString();
}

void EditorWindow::showStatus(const QString& text) {
    if (!status_) {
        // Made on first use, so that it comes below everything the editor has laid out.
        status_ = new StatusLine(this);
        status_->setObjectName(QStringLiteral("status"));
        if (auto* box = qobject_cast<QBoxLayout*>(layout()))
            box->addWidget(status_);
    }
    status_->setText(text);
}

EditorWindow::UndoRedo EditorWindow::addUndoRedo(QMenu* menu) {
    auto* undo = menu->addAction(QStringLiteral("撤销"));
    auto* redo = menu->addAction(QStringLiteral("重做"));
    undo->setObjectName(QStringLiteral("undo"));
    redo->setObjectName(QStringLiteral("redo"));
    undo->setShortcut(QKeySequence::Undo);
    // Ctrl+Y and Ctrl+Shift+Z everywhere, besides what the system calls redo.
    QList<QKeySequence> redoKeys{QKeySequence(Qt::CTRL | Qt::Key_Y),
                                 QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)};
    for (const QKeySequence& k : QKeySequence::keyBindings(QKeySequence::Redo))
        if (!redoKeys.contains(k))
            redoKeys << k;
    redo->setShortcuts(redoKeys);
    // The keys belong to this window (several editors are open side by side); a text box with
    // the keyboard takes the keys it knows for its own typing before the window sees them.
    for (QAction* a : {undo, redo}) {
        a->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        addAction(a);
    }
    return {undo, redo};
}

void EditorWindow::closeByExitCommand() {
    auto* frame = qobject_cast<QMdiSubWindow*>(parentWidget());
    if (frame ? frame->close() : close())
        emit exitCommand();
}

void EditorWindow::closeEvent(QCloseEvent* event) {
    if (!settled_ && !mayClose()) {
        event->ignore();
        return;
    }
    QWidget::closeEvent(event);
}

void EditorWindow::say(const QString& text) {
    prompts_.showMessage(this, text, messageTitle(this));
}

void EditorWindow::showEvent(QShowEvent* event) {
    for (QListWidget* list : findChildren<QListWidget*>())
        list->setUniformItemSizes(!list->wordWrap());
    QWidget::showEvent(event);
}

} // namespace lcj
