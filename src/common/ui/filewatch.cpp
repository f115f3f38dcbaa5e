#include "filewatch.h"

#include "controls.h"
#include "editorwindow.h"

#include <QApplication>
#include <QBoxLayout>
#include <QDateTime>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSet>
#include <QTimer>

namespace lcj {

namespace {

const QString changedText = QStringLiteral("文件已被其他程序改动");
const QString vanishedText = QStringLiteral("文件已被其他程序删除或移走");
// Reports of one save come in bursts (a temporary file, a rename, a lock
// file); the check waits for the burst to end.
constexpr int settleMs = 100;

QString nameOf(const QString& path) {
    return QFileInfo(path).fileName();
}

bool sameContents(const DiskStamp& a, const DiskStamp& b) {
    return a.size == b.size && a.bytes == b.bytes;
}

} // namespace

DiskBar::DiskBar(QWidget* parent) : QFrame(parent) {
    setObjectName(QStringLiteral("diskbar"));
    setFrameShape(QFrame::StyledPanel);
    setAutoFillBackground(true);
    QPalette shade = palette();
    shade.setColor(QPalette::Window, QColor(0xff, 0xf4, 0xce));
    shade.setColor(QPalette::WindowText, QColor(0x40, 0x30, 0x00));
    setPalette(shade);
    text_ = named(new QLabel(changedText), QStringLiteral("diskbartext"));
    files_ = named(new QLabel, QStringLiteral("diskbarfile"));
    files_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    reload_ = makeButton(this, QStringLiteral("reloadfile"), QStringLiteral("重新载入"));
    keep_ = makeButton(this, QStringLiteral("keepmine"), QStringLiteral("保留我的修改"));
    // The bar never takes Enter from the boxes of the editor.
    for (QPushButton* button : {reload_, keep_}) {
        button->setAutoDefault(false);
        button->setDefault(false);
    }
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(8, 4, 8, 4);
    row->addWidget(text_);
    row->addWidget(files_, 1);
    row->addWidget(reload_);
    row->addWidget(keep_);
    connect(reload_, &QPushButton::clicked, this, &DiskBar::reloadClicked);
    connect(keep_, &QPushButton::clicked, this, &DiskBar::keepClicked);
    hide();
}

void DiskBar::showFor(const QString& message, const QStringList& paths, bool canReload) {
    text_->setText(message);
    QStringList names;
    for (const QString& path : paths)
        names << nameOf(path);
    files_->setText(names.join(QStringLiteral("、")));
    QStringList native;
    for (const QString& path : paths)
        native << QDir::toNativeSeparators(path);
    files_->setToolTip(native.join(u'\n'));
    reload_->setEnabled(canReload);
    show();
}

QString DiskBar::message() const {
    return text_->text();
}

FileWatch::FileWatch(EditorWindow* editor, std::function<void(const QString&)> status)
    : QObject(editor), editor_(editor), status_(std::move(status)),
      watcher_(new QFileSystemWatcher(this)), timer_(new QTimer(this)), bar_(new DiskBar) {
    setObjectName(QStringLiteral("filewatch"));
    timer_->setSingleShot(true);
    timer_->setInterval(settleMs);
    connect(timer_, &QTimer::timeout, this, &FileWatch::check);
    // A report of the system always reads the files whole: a write may keep
    // the size and the time.
    connect(watcher_, &QFileSystemWatcher::fileChanged, this, [this] { schedule(true); });
    connect(watcher_, &QFileSystemWatcher::directoryChanged, this, [this] { schedule(true); });
    // Another file, or a save of the editor's own.
    connect(editor, &EditorWindow::fileStateChanged, this, &FileWatch::sync);
    connect(bar_, &DiskBar::reloadClicked, this, &FileWatch::reloadPending);
    connect(bar_, &DiskBar::keepClicked, this, &FileWatch::keepMine);
    if (auto* box = qobject_cast<QBoxLayout*>(editor->layout()))
        box->insertWidget(0, bar_);
    else
        bar_->setParent(editor);
    editor->installEventFilter(this);
}

void FileWatch::add(File file) {
    files_.append(std::move(file));
    sync();
}

void FileWatch::sync() {
    watchPaths();
    schedule(true);
}

void FileWatch::schedule(bool full) {
    full_ = full_ || full;
    timer_->start();
}

bool FileWatch::eventFilter(QObject* watched, QEvent* event) {
    // Back from another program: a report the system missed is caught here.
    if (watched == editor_ && event->type() == QEvent::WindowActivate)
        schedule(false);
    return QObject::eventFilter(watched, event);
}

void FileWatch::watchPaths() {
    QSet<QString> files, folders;
    for (const File& file : std::as_const(files_)) {
        const QString path = file.stamp().path;
        if (path.isEmpty())
            continue;
        files.insert(path);
        folders.insert(QFileInfo(path).absolutePath());
    }
    QStringList gone;
    for (const QString& path : watcher_->files())
        if (!files.contains(path))
            gone << path;
    for (const QString& path : watcher_->directories())
        if (!folders.contains(path))
            gone << path;
    if (!gone.isEmpty())
        watcher_->removePaths(gone);
    // A file replaced by a rename is a new file: it is watched again once it is there.
    QStringList more;
    const QStringList watchedFiles = watcher_->files(), watchedFolders = watcher_->directories();
    for (const QString& path : std::as_const(files))
        if (!watchedFiles.contains(path) && QFileInfo::exists(path))
            more << path;
    for (const QString& path : std::as_const(folders))
        if (!watchedFolders.contains(path) && QFileInfo(path).isDir())
            more << path;
    if (!more.isEmpty())
        watcher_->addPaths(more);
}

void FileWatch::check() {
    // Not while a reload runs or a question or a message is open (the editor's
    // own save may be asking): once it is done the check runs.
    if (busy_ || QApplication::activeModalWidget()) {
        timer_->start();
        return;
    }
    busy_ = true;
    const bool full = full_;
    full_ = false;
    watchPaths();
    for (File& file : files_)
        checkFile(file, full);
    // The bar speaks only for files the editor still shows.
    QStringList shown;
    for (const File& file : std::as_const(files_))
        shown << file.stamp().path;
    pending_.removeIf([&shown](const QString& path) { return !shown.contains(path); });
    showBar();
    watchPaths();
    busy_ = false;
    emit checked();
}

void FileWatch::checkNow() {
    full_ = true;
    check();
}

void FileWatch::checkFile(File& file, bool full) {
    const DiskStamp stamp = file.stamp();
    const QString& path = stamp.path;
    if (path.isEmpty())
        return;
    const QFileInfo info(path);
    const QPair<qint64, qint64> look{info.exists() ? info.size() : -1,
                                     info.exists() ? info.lastModified().toMSecsSinceEpoch() : 0};
    if (!full && looked_.contains(path) && looked_.value(path) == look)
        return;
    looked_.insert(path, look);

    // The usual case, the file as the editor read or wrote it, is compared as
    // it is read; only a file that differs is read whole, to be reported.
    const bool asStamped = stamp.size >= 0 && stamp.state() == DiskStamp::State::Unchanged;
    const DiskStamp now = asStamped ? stamp : DiskStamp::read(path);
    if (sameContents(now, stamp)) {
        // As the editor read or wrote it (again, after a save over the change).
        reported_.remove(path);
        pending_.removeAll(path);
        return;
    }
    if (auto seen = reported_.constFind(path); seen != reported_.cend() && sameContents(*seen, now))
        return;
    reported_.insert(path, now);
    const QString name = nameOf(path);

    if (!QFileInfo::exists(path)) {
        status_(QStringLiteral("%1 已被其他程序删除或移走，编辑器中的内容保持不变").arg(name));
        if (file.holdsEdits() && !pending_.contains(path))
            pending_ << path;
        return;
    }
    if (!file.holdsEdits()) {
        if (Failure failure = file.reload(); !failure.ok()) {
            status_(QStringLiteral("%1 已被其他程序改动，但无法读取，编辑器中的内容保持不变：%2")
                        .arg(name, failure.error()));
            return;
        }
        reported_.remove(path);
        pending_.removeAll(path);
        status_(QStringLiteral("%1 已被其他程序改动，已重新载入").arg(name));
        return;
    }
    if (!pending_.contains(path))
        pending_ << path;
}

void FileWatch::showBar() {
    if (pending_.isEmpty()) {
        bar_->hide();
        return;
    }
    bool anyThere = false;
    for (const QString& path : std::as_const(pending_))
        anyThere = anyThere || QFileInfo::exists(path);
    bar_->showFor(anyThere ? changedText : vanishedText, pending_, anyThere);
}

void FileWatch::reloadPending() {
    busy_ = true;
    const QStringList paths = pending_;
    for (const QString& path : paths) {
        if (!QFileInfo::exists(path))
            continue;
        for (File& file : files_) {
            if (file.stamp().path != path)
                continue;
            if (Failure failure = file.reload(); !failure.ok()) {
                status_(QStringLiteral("%1 无法读取，编辑器中的内容保持不变：%2")
                            .arg(nameOf(path), failure.error()));
                break;
            }
            reported_.remove(path);
            pending_.removeAll(path);
            status_(QStringLiteral("%1 已重新载入").arg(nameOf(path)));
            break;
        }
    }
    showBar();
    busy_ = false;
    watchPaths();
}

void FileWatch::keepMine() {
    // The change stays known: it is not reported again, and the save asks
    // before it writes over it.
    pending_.clear();
    bar_->hide();
}

} // namespace lcj
