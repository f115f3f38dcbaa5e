#include "dform.h"

#include "changes/compare.h"
#include "charactersection.h"
#include "common/ui/controls.h"
#include "common/ui/filewatch.h"
#include "common/ui/listfilter.h"
#include "common/ui/savelock.h"
#include "common/ui/twinfile.h"
#include "common/ui/unsavededits.h"
#include "fields/datatable.h"
#include "fields/ui/fieldtableview.h"
#include "itemsection.h"
#include "shopsection.h"
#include "strategysection.h"
#include "terrainsection.h"
#include "trooptypesection.h"

#include <QAction>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTableView>
#include <algorithm>

namespace lcj::data {

DForm::DForm(Prompts& prompts, QWidget* parent) : EditorWindow(prompts, parent) {
    setObjectName(QStringLiteral("DForm"));
    setCaption(QStringLiteral("Data文件修改"));
    // Room for the widest section, so switching sections never resizes the window.
    setMinimumSize(960, 600);

    QMenu* fileMenu = named(menuBar()->addMenu(QStringLiteral("文件")), QStringLiteral("file"));
    QAction* fileop = named(fileMenu->addAction(QStringLiteral("打开")), QStringLiteral("fileop"));
    QAction* line = named(fileMenu->addSeparator(), QStringLiteral("wuyiyi"));
    QAction* exit = named(fileMenu->addAction(QStringLiteral("退出")), QStringLiteral("exit"));
    connect(fileop, &QAction::triggered, this, &DForm::fileop_Click);
    connect(exit, &QAction::triggered, this, &DForm::exit_Click);
    edit = named(menuBar()->addMenu(QStringLiteral("修改")), QStringLiteral("edit"));

    QMenu* editMenu = named(menuBar()->addMenu(QStringLiteral("编辑")), QStringLiteral("editmenu"));
    const UndoRedo undoRedo = addUndoRedo(editMenu);
    undo_ = undoRedo.undo;
    redo_ = undoRedo.redo;
    history_.drive(undo_, redo_);
    connect(&history_, &UndoHistory::moved, this, &DForm::showMoved);
    connect(undo_, &QAction::triggered, this, [this] { undoOrRedo(true); });
    connect(redo_, &QAction::triggered, this, [this] { undoOrRedo(false); });
    tableCommands_ = fields::addTableCommands(editMenu, [this]() -> fields::FieldTableView* {
        DataSection* section = shownSection();
        return section && tableview->isChecked() ? tables_[indexOf(section)] : nullptr;
    });

    QMenu* view = named(menuBar()->addMenu(QStringLiteral("查看")), QStringLiteral("view"));
    tableview = named(view->addAction(QStringLiteral("表格")), QStringLiteral("tableview"));
    tableview->setCheckable(true);
    tableview->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_T));
    tableview->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    addAction(tableview);
    connect(tableview, &QAction::toggled, this, &DForm::tableview_Click);
    // Form edits not stored are settled first, as before an undo.
    history_.addHistoryEntry(view, this, [this] {
        const int steps = history_.undoSteps();
        return mayLeaveSection() && history_.undoSteps() == steps;
    });

    gj = named(new QLabel, QStringLiteral("gj"));
    gj->setFixedSize(120, 120);
    gj->setAlignment(Qt::AlignCenter);

    const SectionContext context{
        file_,
        this->prompts(),
        gj,
        [this](const std::function<void()>& store) { return saveDocument(store); },
        [this] { documentReloaded(); },
        [this](const QString& text) { showStatus(text); }};
    addSection(new CharacterSection(context), QStringLiteral("renpre"), QStringLiteral("人物属性"));
    addSection(new ItemSection(context), QStringLiteral("daopre"), QStringLiteral("道具属性"));
    addSection(new ShopSection(context), QStringLiteral("shoppre"), QStringLiteral("商店属性"));
    addSection(new TroopTypeSection(context), QStringLiteral("binpre"), QStringLiteral("兵种属性"));
    addSection(new TerrainSection(context), QStringLiteral("dipfe"), QStringLiteral("地形属性"));
    addSection(new StrategySection(context), QStringLiteral("chepre"), QStringLiteral("策略属性"));
    tables_.assign(sections_.size(), nullptr);

    auto* row = new QHBoxLayout;
    for (DataSection* section : sections_)
        row->addWidget(section, 1);
    row->addWidget(gj, 0, Qt::AlignTop);
    static_cast<QBoxLayout*>(layout())->addLayout(row);

    // 文件 → 保存 (Ctrl+S): in the table the document, in a form the section's "保存".
    addSaveEntry(fileMenu, line, [this] {
        DataSection* section = shownSection();
        if (!section)
            return;
        // In the table every change is in the document already.
        if (tableview->isChecked())
            saveDocument({});
        else if (section->saveButton()->isEnabled())
            section->saveButton()->click();
    });

    auto* watch = new FileWatch(this, [this](const QString& text) { showStatus(text); });
    watch->add({[this] { return file_.loaded() ? file_.stamp() : DiskStamp(); },
                [this] { return holdsEdits(); }, [this] { return reloadDocument(); }});
    addDocument({[this] { return file_.loaded() ? file_.stamp() : DiskStamp(); },
                 [this] { return file_.bytes(); }, [this] { return holdsEdits(); },
                 [this] { return saveAll(); }, [this] { return history_.stack(); },
                 [this](const QByteArray& bytes) { return adoptBytes(bytes); }});

    Form_Load();
}

DForm::~DForm() {
    // The views read the field tables: they go first.
    for (fields::FieldTableView*& table : tables_) {
        delete table;
        table = nullptr;
    }
}

void DForm::addSection(DataSection* section, const QString& entryName, const QString& caption) {
    sections_.push_back(section);
    QAction* entry = named(edit->addAction(caption), entryName);
    connect(entry, &QAction::triggered, this, [this, section] { showSection(section); });
    QListWidget* list = section->recordList();
    // In the table the record list stays beside it, on the same record.
    connect(list, &QListWidget::currentRowChanged, this, [this, section](int row) {
        fields::FieldTableView* table = tables_[indexOf(section)];
        if (table && table->isVisible() && row >= 0 && table->currentRow() != row)
            table->setCurrentRow(row);
    });
}

bool DForm::showPlace(int part, int row) {
    if (!edit->isEnabled() || part < 0 || std::size_t(part) >= sections_.size())
        return false;
    DataSection* section = sections_[std::size_t(part)];
    if (section->isHidden())
        showSection(section);
    QListWidget* list = section->recordList();
    if (section->isHidden() || row < 0 || row >= list->count())
        return false;
    list->setCurrentRow(row);
    list->scrollToItem(list->item(row));
    return list->currentRow() == row;
}

bool DForm::showField(int part, int row, const QString& column) {
    if (!showPlace(part, row))
        return false;
    // Every field's control has its caption's label as its buddy.
    for (const QLabel* label : shownSection()->findChildren<QLabel*>())
        if (label->text() == column && label->buddy() && label->buddy()->isVisible()) {
            label->buddy()->setFocus(Qt::OtherFocusReason);
            break;
        }
    return true;
}

void DForm::Form_Load() {
    edit->setEnabled(false);
    hideSections();
    documentChanged();
}

std::size_t DForm::indexOf(const DataSection* section) const {
    return std::size_t(std::find(sections_.begin(), sections_.end(), section) - sections_.begin());
}

DataSection* DForm::shownSection() const {
    for (DataSection* section : sections_)
        if (!section->isHidden())
            return section;
    return nullptr;
}

void DForm::hideSections() {
    for (DataSection* section : sections_) {
        section->hide();
        section->forgetShown();
    }
    gj->clear();
    tableCommands_.update();
}

bool DForm::mayLeaveSection() {
    // In the table every edit is in the document; the form shows nothing of its own.
    if (tableview->isChecked())
        return true;
    for (DataSection* section : sections_)
        if (!section->isHidden() && !section->mayLeave())
            return false;
    return true;
}

bool DForm::mayDropDocument() {
    if (!mayLeaveSection())
        return false;
    return !file_.loaded() ||
           settleEdits(prompts(), this,
                       QStringLiteral("Data文件的修改还没有保存到文件。要保存吗？"),
                       file_.modified(), [this] { return saveDocument({}); });
}

bool DForm::mayClose() {
    return mayDropDocument();
}

void DForm::showSection(DataSection* section) {
    if (!mayLeaveSection())
        return;
    hideSections();
    section->show();
    if (!section->open()) {
        section->hide();
        return;
    }
    if (tableview->isChecked())
        showTableOf(section);
    else
        section->showTable(nullptr);
}

void DForm::fileop_Click() {
    if (!mayDropDocument())
        return;
    const QString path = offerVirtualStoreTwin(
        this, prompts(),
        prompts().chooseOpenFile(
            this, QStringLiteral("打开"),
            QStringLiteral("岚川记Data文件 (Data.e5 data.e5 DATA.E5);;所有文件 (*)"),
            Prompts::editorFolder()));
    // A cancelled dialog leaves the chosen file and the menu as they were.
    if (!path.isEmpty())
        takeFile(path);
}

bool DForm::openPath(const QString& path) {
    if (!mayDropDocument())
        return false;
    const QString chosen = offerVirtualStoreTwin(this, prompts(), path);
    if (chosen.isEmpty())
        return false;
    takeFile(chosen);
    return true;
}

bool DForm::reopenAt(const QString& path) {
    DataSection* shown = shownSection();
    const View view = keepView();
    // What the form held goes with the file: the workspace has asked about it.
    for (DataSection* section : sections_)
        section->forgetShown();
    takeFile(path);
    if (!shown)
        return true;
    showSection(shown);
    if (!file_.loaded())
        return false;
    restoreView(view);
    return true;
}

bool DForm::saveAll() {
    if (!file_.loaded())
        return true;
    DataSection* section = shownSection();
    if (section && !tableview->isChecked() && !section->storeEdits())
        return false;
    if (file_.modified() && !saveDocument({}))
        return false;
    return !holdsEdits();
}

void DForm::takeFile(const QString& path) {
    hideSections();
    // The tables belong to the file that was open.
    for (std::size_t i = 0; i < sections_.size(); ++i) {
        sections_[i]->showTable(nullptr);
        delete tables_[i];
        tables_[i] = nullptr;
    }
    fields_.clear();
    savedFields_.clear();
    file_ = DataFile(path);
    history_.clear();
    edit->setEnabled(true);
    documentChanged();
}

bool DForm::saveDocument(const std::function<void()>& store) {
    if (!file_.loaded())
        return false;
    const auto storeShown = [this, &store] {
        if (store) // a change that cannot be refused
            (void)runChange([&store]() -> Failure {
                store();
                return {};
            });
    };
    // A merge with another program's change takes what the form shows as stored.
    const MergeSource merge = mergeSource(fields::FileKind::Data, [this, &storeShown] {
        storeShown();
        return file_.bytes();
    });
    const auto gate = lockForSave(this, prompts(), file_.stamp(), file_.path(),
                                  QStringLiteral("Data文件"), false, &merge);
    if (!gate.lock)
        return gate.merged;
    storeShown();
    const auto written = file_.save();
    if (!written.ok()) {
        say(written.error());
        documentChanged();
        return false;
    }
    showStatus(QStringLiteral("已保存 %1：%2条记录")
                   .arg(QFileInfo(file_.path()).fileName())
                   .arg(*written));
    history_.markSaved();
    markSaved();
    documentChanged();
    return true;
}

Failure DForm::runChange(const std::function<Failure()>& change,
                         const std::function<QString()>& step) {
    const QByteArray before = file_.bytes();
    if (auto failure = change(); !failure.ok()) {
        // The same QByteArray: the tables keep reading it.
        file_.bytes() = before;
        return failure;
    }
    if (before != file_.bytes()) {
        QString text = step ? step() : QString();
        if (text.isEmpty())
            text = changes::stepText(fields::FileKind::Data, before, file_.bytes());
        history_.record(before, file_.bytes(), text.isEmpty() ? QStringLiteral("修改") : text);
    }
    documentChanged();
    return {};
}

bool DForm::adoptBytes(const QByteArray& bytes) {
    if (!file_.loaded() && !file_.load().ok())
        return false;
    if (bytes.size() != file_.bytes().size() || !mayLeaveSection())
        return false;
    const Failure failure = runChange([this, &bytes]() -> Failure {
        // In place: the tables keep reading the same QByteArray.
        std::copy(bytes.cbegin(), bytes.cend(), file_.bytes().begin());
        return {};
    });
    showMoved();
    return failure.ok();
}

void DForm::documentChanged() {
    const bool loaded = file_.loaded();
    showFileState(file_.path(), loaded && file_.modified());
}

void DForm::undoOrRedo(bool undo) {
    if (!file_.loaded())
        return;
    // Edits typed into the form and not stored are settled first; when they
    // were saved just now, that save is what the user sees, and nothing more
    // is taken back.
    const int steps = history_.undoSteps();
    if (!mayLeaveSection() || history_.undoSteps() != steps)
        return;
    if (undo)
        history_.undo();
    else
        history_.redo();
}

void DForm::showMoved() {
    if (!file_.loaded())
        return;
    if (DataSection* section = shownSection()) {
        section->reshow();
        if (fields::FieldTableView* table = tables_[indexOf(section)])
            table->refresh();
    }
    documentChanged();
}

void DForm::documentReloaded() {
    // A fresh read: the steps were taken over bytes that are gone.
    history_.clear();
    markSaved();
    for (fields::FieldTableView* table : tables_)
        if (table)
            table->refresh();
    documentChanged();
}

bool DForm::holdsEdits() const {
    if (!file_.loaded())
        return false;
    if (file_.modified())
        return true;
    // In the table every edit is in the document.
    const DataSection* section = shownSection();
    return !tableview->isChecked() && section && section->holdsEdits();
}

Failure DForm::reloadDocument() {
    if (auto failure = file_.reload(); !failure.ok())
        return failure;
    documentReloaded();
    // What the form held is dropped with the rest; the record stays.
    if (DataSection* section = shownSection())
        section->reshow();
    return {};
}

void DForm::markSaved() {
    if (fields_.empty())
        return;
    // The views stop reading the old tables before they go.
    for (fields::FieldTableView* table : tables_)
        if (table)
            table->setSaved(nullptr);
    savedFields_.clear();
    savedBytes_ = file_.savedBytes();
    savedFields_ = fields::dataFieldTables(savedBytes_);
    for (std::size_t i = 0; i < tables_.size(); ++i)
        if (tables_[i] && i < savedFields_.size())
            tables_[i]->setSaved(savedFields_[i].get());
}

fields::FieldTableView* DForm::tableOf(DataSection* section) {
    const std::size_t at = indexOf(section);
    if (tables_[at])
        return tables_[at];
    if (fields_.empty())
        fields_ = fields::dataFieldTables(file_.bytes());
    if (at >= fields_.size())
        return nullptr;
    auto* table = new fields::FieldTableView(
        *fields_[at],
        [this](const std::function<Failure()>& change, const std::function<QString()>& step) {
            return runChange(change, step);
        },
        prompts());
    table->setObjectName(section->objectName() + QStringLiteral("Table"));
    table->setMessageTitle(messageTitle(this));
    tables_[at] = table;
    if (savedFields_.empty())
        markSaved();
    else
        table->setSaved(savedFields_[at].get());
    // A cell stored other than typed is said in the status line.
    connect(table, &fields::FieldTableView::rounded, this,
            [this](const QString& text) { showStatus(text); });
    // After a change in the table the lists show the names as stored.
    connect(table, &fields::FieldTableView::changed, section, [section] { section->reshow(); });
    connect(table, &fields::FieldTableView::currentRowChanged, section, [section](int row) {
        QListWidget* list = section->recordList();
        if (row >= 0 && list->currentRow() != row)
            list->setCurrentRow(row);
    });
    QListWidget* list = section->recordList();
    if (auto* filter =
            section->findChild<ListFilter*>(list->objectName() + QStringLiteral("Filter"))) {
        connect(filter, &QLineEdit::textChanged, table, &fields::FieldTableView::setFilter);
        table->setFilter(filter->text());
    }
    return table;
}

void DForm::showTableOf(DataSection* section) {
    fields::FieldTableView* table = tableOf(section);
    if (!table) {
        const QSignalBlocker blocker(tableview);
        tableview->setChecked(false);
        return;
    }
    table->refresh();
    section->showTable(table);
    table->setCurrentRow(section->recordList()->currentRow());
    table->view()->setFocus();
    tableCommands_.update();
}

void DForm::tableview_Click(bool on) {
    DataSection* section = shownSection();
    if (!section)
        return;
    if (on) {
        // The form's edits not stored: the section's own question first.
        if (!section->mayLeave()) {
            const QSignalBlocker blocker(tableview);
            tableview->setChecked(false);
            return;
        }
        // Edits dropped at the question leave the hidden form as stored, so
        // that moving through the list beside the table asks nothing.
        section->reshow();
        showTableOf(section);
        return;
    }
    const std::size_t at = indexOf(section);
    const int row = tables_[at] ? tables_[at]->currentRow() : -1;
    section->showTable(nullptr);
    tableCommands_.update();
    QListWidget* list = section->recordList();
    if (row >= 0 && row != list->currentRow()) {
        const QSignalBlocker blocker(list);
        list->setCurrentRow(row);
    }
    // The form shows the record as the document holds it now.
    section->reshow();
}

void DForm::exit_Click() {
    closeByExitCommand();
}

} // namespace lcj::data
