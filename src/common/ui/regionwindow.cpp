#include "regionwindow.h"

#include "common/regionset.h"
#include "controls.h"
#include "diskchange.h"
#include "editorwindow.h"
#include "filewatch.h"
#include "prompts.h"
#include "savelock.h"
#include "twinfile.h"

#include <QAction>
#include <QComboBox>
#include <QFileInfo>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>

namespace lcj {

namespace {

void takeNamesFromDataFile(QWidget* window, Prompts& prompts, const NameSource& takeNames) {
    const QString path = prompts.chooseOpenFile(
        window, QStringLiteral("从Data文件读取名称"),
        QStringLiteral("岚川记Data文件 (Data.e5 data.e5 DATA.E5);;所有文件 (*)"),
        Prompts::editorFolder());
    if (path.isEmpty())
        return;
    if (const Failure failure = takeNames(path); !failure.ok())
        prompts.showMessage(window, QStringLiteral("读取名称出错\n\n") + failure.error(),
                            EditorWindow::messageTitle(window));
}

} // namespace

FileMenu addFileMenu(QMenuBar* bar, QWidget* window, Prompts& prompts, const QString& openName,
                     NameSource takeNames) {
    FileMenu m;
    m.menu = named(bar->addMenu(QStringLiteral("文件")), QStringLiteral("file"));
    m.open = named(m.menu->addAction(QStringLiteral("打开")), openName);
    m.names =
        named(m.menu->addAction(QStringLiteral("从Data文件读取名称")), QStringLiteral("datanames"));
    named(m.menu->addSeparator(), QStringLiteral("wuyiyi"));
    m.exit = named(m.menu->addAction(QStringLiteral("退出")), QStringLiteral("exit"));
    QObject::connect(m.names, &QAction::triggered, window,
                     [window, &prompts, takeNames = std::move(takeNames)] {
                         takeNamesFromDataFile(window, prompts, takeNames);
                     });
    return m;
}

SaveRoute saveRegions(QWidget* window, Prompts& prompts, RegionSet& regions, const QString& kind,
                      const MergeSource* merge) {
    // Nothing loaded: the write below says so.
    SaveGate gate;
    if (regions.loaded()) {
        gate = lockForSave(window, prompts, regions.stamp(), regions.path(), kind, false, merge);
        if (!gate.lock)
            return gate.merged ? SaveRoute::Merged : SaveRoute::Keep;
    }
    if (auto failure = regions.write(); !failure.ok()) {
        prompts.showMessage(window, QStringLiteral("保存出错\n\n") + failure.error(),
                            EditorWindow::messageTitle(window));
        return SaveRoute::Keep;
    }
    return SaveRoute::Write;
}

RegionUndo::RegionUndo(RegionSet& regions, std::function<QByteArray()> file, Namer name)
    : ByteUndo([&regions] { return regionBytes(regions); },
               [&regions](Buffers&& bytes) { setRegionBytes(regions, bytes); }),
      regions_(regions), file_(std::move(file)), name_(std::move(name)) {}

QByteArray RegionUndo::wholeFile(const std::vector<QByteArray>& bytes) const {
    QByteArray whole = file_();
    for (std::size_t i = 0; i < regions_.layout().size() && i < bytes.size(); ++i) {
        const Region& region = regions_.layout()[i];
        if (region.end() <= whole.size())
            whole.replace(region.offset, region.length, bytes[i]);
    }
    return whole;
}

Failure RegionUndo::run(const std::function<Failure()>& change,
                        const std::function<QString()>& step) {
    const std::vector<QByteArray> before = regionBytes(regions_);
    if (Failure failure = change(); !failure.ok()) {
        setRegionBytes(regions_, before);
        return failure;
    }
    const std::vector<QByteArray> after = regionBytes(regions_);
    if (before == after)
        return {};
    QString text = step ? step() : QString();
    if (text.isEmpty() && name_)
        text = name_(wholeFile(before), wholeFile(after));
    record(before, after, text.isEmpty() ? QStringLiteral("修改") : text);
    return {};
}

std::vector<QByteArray> regionBytes(const RegionSet& set) {
    std::vector<QByteArray> bytes;
    bytes.reserve(set.layout().size());
    for (std::size_t i = 0; i < set.layout().size(); ++i)
        bytes.push_back(set.bytes(i));
    return bytes;
}

void setRegionBytes(RegionSet& set, const std::vector<QByteArray>& bytes) {
    Q_ASSERT(bytes.size() == set.layout().size());
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        Q_ASSERT(bytes[i].size() == set.layout()[i].length);
        set.bytes(i) = bytes[i];
    }
}

QAction* addTableViewMenu(QMenuBar* bar, QWidget* window, UndoHistory* history) {
    QMenu* menu = named(bar->addMenu(QStringLiteral("查看")), QStringLiteral("viewmenu"));
    QAction* table = named(menu->addAction(QStringLiteral("表格")), QStringLiteral("tableview"));
    table->setCheckable(true);
    table->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_T));
    // The key works wherever the keyboard is in this window, and only there.
    table->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    window->addAction(table);
    if (history)
        history->addHistoryEntry(menu, window);
    return table;
}

void renameRows(QListWidget* list, const QStringList& names) {
    const int rows = std::min<int>(list->count(), names.size());
    for (int i = 0; i < rows; ++i)
        list->item(i)->setText(names[i]);
}

void renameRows(QComboBox* combo, const QStringList& names) {
    const int rows = std::min<int>(combo->count(), names.size());
    for (int i = 0; i < rows; ++i)
        combo->setItemText(i, names[i]);
}

Document::Access regionDocument(std::function<DiskStamp()> stamp, const RegionSet& set,
                                std::function<bool()> holdsEdits, std::function<bool()> save,
                                UndoHistory& history) {
    auto mine = [stamp, &set] {
        QByteArray whole = stamp().bytes;
        if (!set.loaded())
            return whole;
        for (std::size_t i = 0; i < set.layout().size(); ++i) {
            const Region& region = set.layout()[i];
            if (region.end() <= whole.size())
                whole.replace(region.offset, region.length, set.bytes(i));
        }
        return whole;
    };
    return {std::move(stamp),
            std::move(mine),
            std::move(holdsEdits),
            std::move(save),
            [&history] { return history.stack(); },
            {}};
}

RegionWindow::RegionWindow(Prompts& prompts, Kind kind, NameSource names, QWidget* parent)
    : EditorWindow(prompts, parent), kind_(std::move(kind)), names_(std::move(names)) {
    setObjectName(kind_.objectName);
    setCaption(kind_.caption);
    fileMenu_ = addFileMenu(menuBar(), this, this->prompts(), kind_.openName, names_);
    connect(fileMenu_.open, &QAction::triggered, this, &RegionWindow::openCommand);
    connect(fileMenu_.exit, &QAction::triggered, this, &RegionWindow::closeByExitCommand);
    // 文件 → 保存 (Ctrl+S) presses the window's "保存".
    const QList<QAction*> entries = fileMenu_.menu->actions();
    addSaveEntry(fileMenu_.menu, entries.value(entries.indexOf(fileMenu_.open) + 1),
                 [this] { pressSave(); });
}

void RegionWindow::holdRegions(RegionSet& regions, RegionSet& onDisk, RegionUndo& history) {
    regions_ = &regions;
    onDisk_ = &onDisk;
    history_ = &history;
}

RegionWindow::EditMenus RegionWindow::addEditMenus() {
    QMenu* edit = named(menuBar()->addMenu(QStringLiteral("编辑")), QStringLiteral("editmenu"));
    const UndoRedo undoRedo = addUndoRedo(edit);
    connect(undoRedo.undo, &QAction::triggered, this, [this] { history_->undo(); });
    connect(undoRedo.redo, &QAction::triggered, this, [this] { history_->redo(); });
    QAction* table = addTableViewMenu(menuBar(), this, history_);
    history_->drive(undoRedo.undo, undoRedo.redo);
    // An undo, a redo or a click in the history shows the regions as they are now.
    connect(history_, &UndoHistory::moved, this, [this] { showChanged(); });
    connect(table, &QAction::toggled, this, [this](bool on) { showTable(on); });
    return {edit, table};
}

void RegionWindow::watchFile() {
    auto* watch = new FileWatch(this, [this](const QString& text) { showStatus(text); });
    watch->add({[this] { return fileStamp(); }, [this] { return unsaved() || unconfirmed(); },
                [this] { return reloadFromDisk(); }});
    Document::Access access = regionDocument([this] { return fileStamp(); }, *regions_,
                                             [this] { return unsaved() || unconfirmed(); },
                                             [this] { return saveDocument(); }, *history_);
    access.adopt = [this](const QByteArray& whole) { return adoptFile(whole); };
    addDocument(std::move(access));
}

bool RegionWindow::adoptFile(const QByteArray& whole) {
    if (!regions_->loaded())
        return false;
    for (const Region& region : regions_->layout())
        if (region.end() > whole.size())
            return false;
    const Failure failure = history_->run([this, &whole]() -> Failure {
        for (std::size_t i = 0; i < regions_->layout().size(); ++i) {
            const Region& region = regions_->layout()[i];
            regions_->bytes(i) = whole.mid(region.offset, region.length);
        }
        return {};
    });
    showChanged();
    return failure.ok();
}

void RegionWindow::openCommand() {
    if (!mayDropFile())
        return;
    const QString chosen = prompts().chooseOpenFile(this, QStringLiteral("打开"), kind_.filter,
                                                    Prompts::editorFolder());
    // Cancelling the dialog is no error: nothing is said and nothing changes.
    if (!chosen.isEmpty())
        openChosen(chosen);
}

bool RegionWindow::openPath(const QString& path) {
    return mayDropFile() && openChosen(path);
}

bool RegionWindow::openChosen(const QString& chosen) {
    // A refused file leaves the window holding what it held: the regions of the file it
    // last read, and that file's name.
    const QString path = offerVirtualStoreTwin(this, prompts(), chosen);
    if (path.isEmpty() || !read(path))
        return false;
    showLoaded();
    return true;
}

bool RegionWindow::reopenAt(const QString& path) {
    return reopenAt(path, {});
}

bool RegionWindow::reopenAt(const QString& path, const std::function<void()>& showPart) {
    const View view = keepView();
    if (!read(path))
        return false;
    showLoaded();
    if (showPart)
        showPart();
    restoreView(view);
    return true;
}

bool RegionWindow::read(const QString& path) {
    const Failure failure = readFile(path);
    if (!failure.ok())
        say(failure.error().isEmpty() ? QStringLiteral("文件打开出错")
                                      : QStringLiteral("文件打开出错\n\n") + failure.error());
    return failure.ok();
}

Failure RegionWindow::readFile(const QString& path) {
    return regions_->read(path);
}

DiskStamp RegionWindow::fileStamp() const {
    return regions_->stamp();
}

void RegionWindow::showLoaded() {
    *onDisk_ = *regions_;
    history_->clear();
    fillForm();
}

Failure RegionWindow::reloadFromDisk() {
    if (auto failure = regions_->reload(); !failure.ok())
        return failure;
    *onDisk_ = *regions_;
    history_->clear();
    showChanged();
    return {};
}

bool RegionWindow::unsaved() const {
    if (!regions_->loaded())
        return false;
    for (std::size_t i = 0; i < regions_->layout().size(); ++i)
        if (regions_->bytes(i) != onDisk_->bytes(i))
            return true;
    return false;
}

void RegionWindow::useGameData(const QString& dataPath) {
    // The game folder's names, read as 从Data文件读取名称 reads them.
    if (const Failure failure = names_(dataPath); !failure.ok())
        showStatus(QStringLiteral("读取名称出错：") + failure.error());
}

bool RegionWindow::saveRegionFile(fields::FileKind kind, const QString& what, int changed) {
    if (!regions_->loaded())
        return false;
    const MergeSource merge = mergeSource(kind, [this] { return documents().first().mine(); });
    if (const SaveRoute route = saveRegions(this, prompts(), *regions_, what, &merge);
        route != SaveRoute::Write)
        return route == SaveRoute::Merged;
    history_->markSaved();
    *onDisk_ = *regions_;
    showSavedMarks();
    showSaved(changed);
    return true;
}

void RegionWindow::showSaved(int changed) {
    const QString name = QFileInfo(regions_->path()).fileName();
    showStatus(
        changed
            ? QStringLiteral("已保存 %1：%2%3").arg(name, QString::number(changed), kind_.counted)
            : QStringLiteral("已保存 %1：没有修改").arg(name));
}

} // namespace lcj
