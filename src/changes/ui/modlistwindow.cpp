#include "modlistwindow.h"

#include "check/foldercheck.h"
#include "common/fileaccess.h"
#include "common/gui/appicon.h"
#include "common/ui/controls.h"
#include "common/ui/plainheader.h"
#include "conflictgridmodel.h"
#include "modentrymodel.h"
#include "patchcontrols.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSplitter>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

namespace lcj {

namespace mods = changes::mods;
namespace patch = changes::patch;

namespace {

QTableView* makeTable(const QString& name) {
    auto* table = named(new QTableView, name);
    PlainHeader::install(table);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setWordWrap(false);
    table->verticalHeader()->hide();
    table->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    table->horizontalHeader()->setStretchLastSection(true);
    return table;
}

} // namespace

ModListWindow::ModListWindow(Prompts& prompts, QWidget* parent) : EditorWindow(prompts, parent) {
    setObjectName(QStringLiteral("mozuguanli"));
    setCaption(QStringLiteral("模组管理"));
    setWindowIcon(icons::patchIcon());
    auto* layout = qobject_cast<QVBoxLayout*>(this->layout());

    auto* top = new QHBoxLayout;
    top->addWidget(new QLabel(QStringLiteral("游戏文件夹")));
    modFolder = readOnlyBox(QStringLiteral("modFolder"));
    top->addWidget(modFolder, 1);
    layout->addLayout(top);

    entryModel_ =
        new ModEntryModel({[this](const QString& name, bool enabled) -> Failure {
                               return list_ ? list_->setEnabled(name, enabled) : Failure();
                           },
                           [this](const QString& name, int position) -> Failure {
                               return list_ ? list_->move(name, position) : Failure();
                           }},
                          this);
    modEntries = makeTable(QStringLiteral("modEntries"));
    modEntries->setModel(entryModel_);
    modEntries->setDragEnabled(true);
    modEntries->setAcceptDrops(true);
    modEntries->setDropIndicatorShown(true);
    modEntries->setDragDropOverwriteMode(false);
    modEntries->setDragDropMode(QAbstractItemView::InternalMove);
    modEntries->setDefaultDropAction(Qt::MoveAction);
    // The note takes the width the other columns leave.
    modEntries->horizontalHeader()->setStretchLastSection(false);
    modEntries->horizontalHeader()->setSectionResizeMode(ModEntryModel::Note, QHeaderView::Stretch);
    modEntries->horizontalHeader()->setSectionResizeMode(ModEntryModel::Fields,
                                                         QHeaderView::ResizeToContents);

    auto* side = new QVBoxLayout;
    addPatch = makeButton(this, QStringLiteral("addPatch"), QStringLiteral("添加补丁…"));
    removePatch = makeButton(this, QStringLiteral("removePatch"), QStringLiteral("移除"));
    moveUp = makeButton(this, QStringLiteral("moveUp"), QStringLiteral("上移"));
    moveDown = makeButton(this, QStringLiteral("moveDown"), QStringLiteral("下移"));
    for (QPushButton* button : {addPatch, removePatch, moveUp, moveDown})
        side->addWidget(button);
    side->addStretch();
    auto* entries =
        named(new QGroupBox(QStringLiteral("模组（按加载顺序）")), QStringLiteral("entriesFrame"));
    auto* entriesRow = new QHBoxLayout(entries);
    entriesRow->addWidget(modEntries, 1);
    entriesRow->addLayout(side);

    auto* conflicts = named(new QGroupBox(QStringLiteral("冲突")), QStringLiteral("conflictFrame"));
    auto* conflictsBox = new QVBoxLayout(conflicts);
    auto* filters = new QHBoxLayout;
    fileFilter = named(new QComboBox, QStringLiteral("fileFilter"));
    entryFilter = named(new QComboBox, QStringLiteral("entryFilter"));
    filters->addWidget(new QLabel(QStringLiteral("文件")));
    filters->addWidget(fileFilter);
    filters->addWidget(new QLabel(QStringLiteral("模组")));
    filters->addWidget(entryFilter);
    filters->addStretch();
    conflictsBox->addLayout(filters);
    gridModel_ = new ConflictGridModel(this);
    conflictGrid = makeTable(QStringLiteral("conflictGrid"));
    conflictGrid->setModel(gridModel_);
    conflictsBox->addWidget(conflictGrid, 1);

    auto* splitter = new QSplitter(Qt::Vertical);
    splitter->setChildrenCollapsible(false);
    splitter->addWidget(entries);
    splitter->addWidget(conflicts);
    splitter->setStretchFactor(0, 1);
    splitter->setStretchFactor(1, 2);
    layout->addWidget(splitter, 1);

    applyReport = named(new QListWidget, QStringLiteral("applyReport"));
    applyReport->setMaximumHeight(fontMetrics().height() * 6);
    applyReport->hide();
    layout->addWidget(applyReport);

    auto* row = new QHBoxLayout;
    row->addStretch();
    applyMods = makeButton(this, QStringLiteral("applyMods"), QStringLiteral("应用"));
    undoApply = makeButton(this, QStringLiteral("undoApply"), QStringLiteral("撤销应用"));
    restoreOriginals =
        makeButton(this, QStringLiteral("restoreOriginals"), QStringLiteral("恢复原版"));
    row->addWidget(applyMods);
    row->addWidget(undoApply);
    row->addWidget(restoreOriginals);
    layout->addLayout(row);

    connect(addPatch, &QPushButton::clicked, this, &ModListWindow::addPatch_Click);
    connect(removePatch, &QPushButton::clicked, this, &ModListWindow::removePatch_Click);
    connect(moveUp, &QPushButton::clicked, this, &ModListWindow::moveUp_Click);
    connect(moveDown, &QPushButton::clicked, this, &ModListWindow::moveDown_Click);
    connect(applyMods, &QPushButton::clicked, this, &ModListWindow::apply_Click);
    connect(undoApply, &QPushButton::clicked, this, &ModListWindow::undoApply_Click);
    connect(restoreOriginals, &QPushButton::clicked, this, &ModListWindow::restore_Click);
    connect(entryModel_, &ModEntryModel::refused, this, [this](const QString& message) {
        say(message);
        refresh();
    });
    connect(entryModel_, &ModEntryModel::listChanged, this, &ModListWindow::refresh);
    connect(modEntries->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &ModListWindow::updateMoves);
    connect(fileFilter, &QComboBox::currentIndexChanged, this, &ModListWindow::applyFilters);
    connect(entryFilter, &QComboBox::currentIndexChanged, this, &ModListWindow::applyFilters);
    // A double click and Enter both activate a row: its field in the file's editor.
    connect(conflictGrid, &QAbstractItemView::activated, this, &ModListWindow::showFieldOf);
    listWatch_ = new QFileSystemWatcher(this);
    listSettle_ = new QTimer(this);
    listSettle_->setSingleShot(true);
    listSettle_->setInterval(150);
    connect(listWatch_, &QFileSystemWatcher::directoryChanged, listSettle_,
            qOverload<>(&QTimer::start));
    connect(listSettle_, &QTimer::timeout, this, &ModListWindow::followOutsideChange);
    refresh();
    showStatus(QStringLiteral("还没有打开游戏目录"));
}

QSize ModListWindow::sizeHint() const {
    // Room for the five columns of the list and a grid of three entries.
    const QFontMetrics metrics = fontMetrics();
    return EditorWindow::sizeHint().expandedTo(
        QSize(metrics.horizontalAdvance(QStringLiteral("问")) * 64, metrics.height() * 30));
}

void ModListWindow::useGameData(const QString& dataPath) {
    if (dataPath.isEmpty())
        return;
    const QString folder = QFileInfo(dataPath).absolutePath();
    if (folder != folder_)
        openFolder(folder);
}

bool ModListWindow::reopenIn(const QString& folder) {
    openFolder(folder);
    return true;
}

void ModListWindow::entryChosen() {
    if (!gameFolder().isEmpty())
        openFolder(gameFolder());
}

void ModListWindow::openFolder(const QString& folder) {
    folder_ = folder;
    list_.reset();
    applyReport->clear();
    applyReport->hide();
    modFolder->setText(QDir::toNativeSeparators(folder));
    if (!folder.isEmpty()) {
        auto opened = mods::ModList::open(folder);
        if (opened.ok())
            list_ = std::move(*opened);
        else
            say(QStringLiteral("无法读取模组列表：") + opened.error());
    }
    refresh();
    if (list_)
        showStatus(list_->entries().isEmpty()
                       ? QStringLiteral("列表还是空的，按“添加补丁…”添加")
                       : QStringLiteral("共%1个模组").arg(list_->entries().size()));
}

namespace {

// The list file as it is now; empty when there is none (or no folder).
QByteArray listBytes(const QString& folder) {
    if (folder.isEmpty())
        return {};
    auto bytes = files::readWhole(mods::ModList::listFile(folder), files::SizeLimit::UserText);
    return bytes.ok() ? *bytes : QByteArray();
}

} // namespace

void ModListWindow::watchList() {
    if (const QStringList watched = listWatch_->directories(); !watched.isEmpty())
        listWatch_->removePaths(watched);
    if (folder_.isEmpty())
        return;
    // The deepest of the list's folders that is there: the list file is replaced by a
    // rename, and a first add makes the folders.
    for (const QString& dir :
         {mods::ModList::modsFolder(folder_), files::workshopOf(folder_), folder_})
        if (QFileInfo(dir).isDir()) {
            listWatch_->addPath(dir);
            break;
        }
}

void ModListWindow::followOutsideChange() {
    if (folder_.isEmpty())
        return;
    // Never under an open question: the list is looked at again once it is answered.
    if (QApplication::activeModalWidget()) {
        listSettle_->start();
        return;
    }
    watchList();
    if (listBytes(folder_) == listShown_)
        return;
    auto opened = mods::ModList::open(folder_);
    if (!opened.ok()) {
        showStatus(QStringLiteral("模组列表已被其他程序改动，但无法读取：") + opened.error());
        return;
    }
    list_ = std::move(*opened);
    refresh();
    showStatus(QStringLiteral("模组列表已被其他程序改动，已重新读取"));
}

void ModListWindow::refresh() {
    listShown_ = listBytes(folder_);
    watchList();
    const QString selected = selectedName();
    entryModel_->show(list_ ? list_->entries() : QList<mods::Entry>());
    QStringList names;
    QList<mods::ConflictRow> rows;
    if (list_) {
        for (const mods::Entry& entry : list_->entries())
            names << entry.name;
        if (auto found = list_->conflicts(); found.ok())
            rows = std::move(*found);
        else
            showStatus(QStringLiteral("无法列出冲突：") + found.error());
    }
    gridModel_->show(std::move(rows), names);
    fillFilters();
    select(selected);
    const bool open = list_.has_value();
    const bool any = open && !list_->entries().isEmpty();
    addPatch->setEnabled(open);
    applyMods->setEnabled(any);
    restoreOriginals->setEnabled(any);
    undoApply->setEnabled(open && list_->canUndoApply());
    updateMoves();
}

void ModListWindow::updateMoves() {
    const int row = entryModel_->rowOf(selectedName());
    const bool movable = row >= 0 && !entryModel_->entryAt(row)->own;
    removePatch->setEnabled(row >= 0);
    moveUp->setEnabled(movable && row > 0);
    moveDown->setEnabled(movable && entryModel_->entryAt(row + 1) &&
                         !entryModel_->entryAt(row + 1)->own);
}

void ModListWindow::fillFilters() {
    // The filters keep what they hold while it is still there.
    const QString file = fileFilter->currentIndex() > 0 ? fileFilter->currentText() : QString();
    const QString entry = entryFilter->currentIndex() > 0 ? entryFilter->currentText() : QString();
    const QSignalBlocker fileBlock(fileFilter), entryBlock(entryFilter);
    fileFilter->clear();
    fileFilter->addItem(QStringLiteral("全部文件"));
    fileFilter->addItems(gridModel_->files());
    fileFilter->setCurrentIndex(std::max(0, fileFilter->findText(file)));
    entryFilter->clear();
    entryFilter->addItem(QStringLiteral("全部模组"));
    entryFilter->addItems(gridModel_->entries());
    entryFilter->setCurrentIndex(std::max(0, entryFilter->findText(entry)));
    applyFilters();
    // The columns fit the rows shown when the list changed; a filter keeps the widths.
    conflictGrid->resizeColumnsToContents();
}

void ModListWindow::applyFilters() {
    gridModel_->filter(fileFilter->currentIndex() > 0 ? fileFilter->currentText() : QString(),
                       entryFilter->currentIndex() - 1);
}

QString ModListWindow::selectedName() const {
    const QModelIndexList rows = modEntries->selectionModel()->selectedRows();
    const mods::Entry* entry = rows.isEmpty() ? nullptr : entryModel_->entryAt(rows.first().row());
    return entry ? entry->name : QString();
}

void ModListWindow::select(const QString& name) {
    const int row = entryModel_->rowOf(name);
    if (row >= 0)
        modEntries->selectRow(row);
}

void ModListWindow::addPatch_Click() {
    if (!list_)
        return;
    const QStringList paths = prompts().chooseOpenFiles(
        this, QStringLiteral("添加补丁"), QStringLiteral("补丁 (*.lcjpatch);;所有文件 (*)"),
        Prompts::editorFolder());
    QStringList said;
    QString last;
    for (const QString& path : paths) {
        auto added = list_->add(path);
        if (!added.ok()) {
            say(QStringLiteral("无法添加补丁 %1：%2")
                    .arg(QFileInfo(path).fileName(), added.error()));
            continue;
        }
        if (added->alreadyListed) {
            said << QStringLiteral("%1 已在列表中，没有重复添加").arg(added->name);
            continue;
        }
        last = added->name;
        said << QStringLiteral("已添加 %1").arg(added->name);
        if (added->alreadyModded.isEmpty())
            continue;
        const QString text =
            QStringLiteral("添加 %1 时发现，游戏文件夹里有些栏已是这个补丁要改成的值，"
                           "这个文件夹可能已经装过模组：\n\n%2\n\n"
                           "列表把现在的文件当作原版保存。如果另有一份原版游戏，"
                           "可以改用它的文件作为原版。")
                .arg(added->name, added->alreadyModded.mid(0, 20).join(u'\n'));
        const int answer = prompts().choose(
            this, text, {QStringLiteral("选择原版文件夹…"), QStringLiteral("继续")}, 1, 1);
        if (answer != 0)
            continue;
        const QString originals = chooseGameFolder(
            prompts(), this, QStringLiteral("选择原版游戏文件夹里的任意一个游戏文件"));
        if (originals.isEmpty())
            continue;
        if (Failure failure = list_->takeOriginalsFrom(originals); !failure.ok())
            say(QStringLiteral("无法改用这个文件夹的原版文件：") + failure.error());
        else
            said << QStringLiteral("已改用 %1 里的原版文件")
                        .arg(QDir::toNativeSeparators(originals));
    }
    refresh();
    if (!last.isEmpty())
        select(last);
    if (!said.isEmpty())
        showStatus(said.join(QStringLiteral("；")));
}

void ModListWindow::removePatch_Click() {
    const QString name = selectedName();
    if (!list_ || name.isEmpty())
        return;
    if (!prompts().ask(this, QStringLiteral("把 %1 从模组列表中移除吗？\n\n"
                                            "游戏文件要等下次“应用”才会改变。")
                                 .arg(name)))
        return;
    if (Failure failure = list_->remove(name); !failure.ok()) {
        say(QStringLiteral("无法移除 %1：%2").arg(name, failure.error()));
        return;
    }
    refresh();
    showStatus(QStringLiteral("已移除 %1").arg(name));
}

void ModListWindow::moveSelected(int step) {
    const QString name = selectedName();
    const int row = entryModel_->rowOf(name);
    if (row < 0)
        return;
    // Down by one: before the row after the next. The list shown again keeps the entry
    // selected; a refusal is said and shown again by the model's signals.
    entryModel_->moveRows({}, row, 1, {}, step < 0 ? row - 1 : row + 2);
}

std::optional<mods::Outside> ModListWindow::settleOutside(const QString& action) {
    auto edits = list_->outsideEdits();
    if (!edits.ok()) {
        say(QStringLiteral("无法比较游戏文件：") + edits.error());
        return std::nullopt;
    }
    if (edits->empty())
        return mods::Outside::Refuse;
    const QString text =
        QStringLiteral("%1前发现，上次应用之后，有些栏在模组列表之外被改过：\n\n%2\n\n"
                       "保留为我的修改：作为“我的修改”放在所有模组之后，一起应用。")
            .arg(action, edits->lines.mid(0, 30).join(u'\n'));
    for (;;) {
        const int answer = prompts().choose(this, text,
                                            {QStringLiteral("保留为我的修改"),
                                             QStringLiteral("另存为补丁…"), QStringLiteral("丢弃")},
                                            0, -1);
        if (answer == 0)
            return mods::Outside::KeepAsLayer;
        if (answer == 1) {
            const QString path = prompts().chooseSaveFile(
                this, QStringLiteral("另存为补丁"), QStringLiteral("补丁 (*.lcjpatch)"),
                QDir(Prompts::editorFolder()).filePath(QStringLiteral("我的修改.lcjpatch")));
            if (path.isEmpty())
                continue;
            if (Failure failure = files::writeOutputFile(path, patch::toJson(edits->asPatch));
                !failure.ok())
                say(QStringLiteral("写入补丁出错：") + failure.error());
            else
                showStatus(
                    QStringLiteral("这些修改已另存为 %1").arg(QDir::toNativeSeparators(path)));
            continue;
        }
        if (answer == 2) {
            if (prompts().ask(this, QStringLiteral("确定丢弃这些修改吗？")))
                return mods::Outside::Drop;
            continue;
        }
        return std::nullopt;
    }
}

void ModListWindow::apply_Click() {
    write(QStringLiteral("应用"), QStringLiteral("没有应用："), QStringLiteral("已应用"),
          [this](mods::Outside outside) { return list_->apply(outside); });
}

void ModListWindow::undoApply_Click() {
    write({}, QStringLiteral("无法撤销应用："), QStringLiteral("已撤销应用"),
          [this](mods::Outside) { return list_->undoApply(); });
}

void ModListWindow::restore_Click() {
    write(QStringLiteral("恢复原版"), QStringLiteral("没有恢复原版："),
          QStringLiteral("已恢复原版"),
          [this](mods::Outside outside) { return list_->restore(outside); });
}

void ModListWindow::write(const QString& action, const QString& refused, const QString& done,
                          const std::function<Result<mods::ApplyResult>(mods::Outside)>& run) {
    if (!list_)
        return;
    // 撤销应用 puts back what the last apply replaced: it asks nothing about outside edits.
    std::optional<mods::Outside> outside = mods::Outside::Refuse;
    if (!action.isEmpty())
        outside = settleOutside(action);
    if (!outside)
        return;
    auto result = run(*outside);
    if (!result.ok()) {
        say(refused + result.error());
        refresh();
        return;
    }
    // As lcjtool does after every write of the list: the folder checked over the result.
    if (auto problems = check::checkFolder(folder_); problems.ok()) {
        for (const check::Problem& problem : std::as_const(*problems))
            result->checkProblems << problem.line();
    } else {
        result->checkProblems << QStringLiteral("无法检查游戏目录：") + problems.error();
    }
    showResult(*result, done);
}

void ModListWindow::showResult(const mods::ApplyResult& result, const QString& done) {
    QStringList written;
    for (const mods::FileResult& file : result.files)
        if (file.before != file.after)
            written << QDir(folder_).filePath(file.file);
    // The open editors of these files take the new bytes as another program's write.
    if (result.written && !written.isEmpty())
        emit filesWritten(written);
    refresh();
    applyReport->clear();
    for (const QString& skipped : result.skipped)
        applyReport->addItem(QStringLiteral("跳过 ") + skipped);
    for (const QString& problem : result.checkProblems)
        applyReport->addItem(problem);
    applyReport->setVisible(applyReport->count() > 0);
    QString status = !result.written || written.isEmpty()
                         ? QStringLiteral("%1：文件已是这个样子，没有写入").arg(done)
                         : QStringLiteral("%1：写入%2个文件").arg(done).arg(written.size());
    if (!result.skipped.isEmpty())
        status += QStringLiteral("；跳过 %1").arg(result.skipped.join(QStringLiteral("、")));
    if (!result.checkProblems.isEmpty())
        status += QStringLiteral("；检查发现%1处问题").arg(result.checkProblems.size());
    showStatus(status);
}

void ModListWindow::showFieldOf(const QModelIndex& index) {
    const mods::ConflictRow* row = gridModel_->rowAt(index.row());
    if (!row || folder_.isEmpty())
        return;
    const QString path = folder_ + u'/' + row->file;
    emit placeRequested(path, row->partIndex, row->row);
    emit fieldRequested(path, row->partIndex, row->row, row->column);
}

} // namespace lcj
