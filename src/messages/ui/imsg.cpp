#include "imsg.h"

#include "common/nametables.h"
#include "common/ui/bytelimit.h"
#include "common/ui/controls.h"
#include "common/ui/listfilter.h"
#include "common/ui/numbergutter.h"
#include "common/ui/regionwindow.h"
#include "common/ui/savelock.h"
#include "common/ui/unsavededits.h"
#include "fields/ui/fieldtableview.h"
#include "fields/ui/tablecommands.h"

#include <QAction>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QStackedWidget>
#include <QTextCursor>
#include <QVBoxLayout>

namespace lcj::imsg {

namespace {

const QString noCategoryCaption = QStringLiteral("Imsg文件说明");
const QString unsavedQuestion = QStringLiteral("当前文本的修改还没有保存。要保存吗？");

// The fixed names of a named category's list, by its list's name.
QStringList fixedNames(const Category& category) {
    const QString list = QString::fromUtf16(category.list);
    if (list == u"List1")
        return names::characters();
    if (list == u"List2")
        return names::troopTypes();
    if (list == u"List3")
        return names::items();
    return names::strategies();
}

} // namespace

Imsg::Imsg(Prompts& prompts, QWidget* parent)
    : RegionWindow(
          prompts,
          {QStringLiteral("Imsg"), QStringLiteral("Imsg文件修改"), QStringLiteral("fileopen"),
           QStringLiteral("岚川记Imsg文件 (Imsg.e5);;所有文件 (*)"), QStringLiteral("条文本")},
          names::gameNamesInto([this](const names::GameNames& n) { takeNames(n); }), parent) {
    holdRegions(texts_, onDisk_, history_);

    auto* listColumn = new QVBoxLayout;
    for (int c = 0; c < int(categories.size()); ++c) {
        const Category& category = categories[c];
        entries_[c] = named(menuBar()->addAction(QString::fromUtf16(category.caption)),
                            QString::fromUtf16(category.entry));
        connect(entries_[c], &QAction::triggered, this, [this, c] { chooseCategory(c); });
        lists_[c] = named(new QListWidget, QString::fromUtf16(category.list));
        lists_[c]->setMinimumWidth(160);
        if (category.named())
            lists_[c]->addItems(fixedNames(category));
        else
            lists_[c]->setWordWrap(true);
        listColumn->addWidget(lists_[c]);
        connect(lists_[c], &QListWidget::currentRowChanged, this, [this, c] { List_Click(c); });
    }
    // 编辑 and 查看 come after the categories, so that these stay beside 文件.
    const EditMenus menus = addEditMenus();
    tableAction_ = menus.table;
    // 编辑 → 复制, 粘贴, 向下填充: the table's commands, while it is shown.
    fields::addTableCommands(menus.edit, tableAction_, [this] {
        return qobject_cast<fields::FieldTableView*>(tableStack_->currentWidget());
    });

    Label1 = named(new QLabel, QStringLiteral("Label1"));
    Text1 = named(new QPlainTextEdit, QStringLiteral("Text1"));
    textLimit_ = ByteLimit::attach(Text1, slotSize, slotBytes);
    Label2 = named(new QLabel(criticalTypeCaption()), QStringLiteral("Label2"));
    Label3 = named(new QLabel, QStringLiteral("Label3"));
    Label4 = named(new QLabel, QStringLiteral("Label4"));
    Command1 = makeButton(this, QStringLiteral("Command1"), QStringLiteral("保存"));
    connect(Command1, &QPushButton::clicked, this, &Imsg::Command1_Click);
    connect(Text1, &QPlainTextEdit::textChanged, this, &Imsg::showTitle);

    auto* labels = new QHBoxLayout;
    labels->addWidget(Label2);
    labels->addWidget(Label3);
    labels->addWidget(Label4);
    labels->addStretch();
    labels->addWidget(textLimit_->label());
    auto* textColumn = new QVBoxLayout;
    textColumn->addWidget(Label1);
    textColumn->addWidget(Text1, 1);
    textColumn->addLayout(labels);

    form_ = new QWidget;
    auto* row = new QHBoxLayout(form_);
    row->setContentsMargins(0, 0, 0, 0);
    row->addLayout(listColumn);
    row->addLayout(textColumn, 1);

    // The table view of the category chosen, in place of the list and the box.
    tableStack_ = new QStackedWidget;
    noTable_ = new QLabel(QStringLiteral("请先在菜单栏选择一个类别"));
    tableStack_->addWidget(noTable_);
    tableStack_->hide();

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Command1);
    auto* main = static_cast<QBoxLayout*>(layout());
    main->addWidget(form_, 1);
    main->addWidget(tableStack_, 1);
    main->addLayout(buttons);
    // Once the lists are laid out, each gets its numbers and its filter box.
    for (QListWidget* list : lists_) {
        NumberGutter::install(list);
        new ListFilter(list);
    }
    tables_ = fields::imsgTables(texts_);
    diskTables_ = fields::imsgTables(onDisk_);

    watchFile();
    Form_Load();
}

Imsg::~Imsg() {
    // The tables read the tables below, which go before the window's children.
    delete tableStack_;
}

void Imsg::Form_Load() {
    for (QAction* entry : entries_)
        entry->setEnabled(false);
    showNothing();
    showTitle();
}

void Imsg::showNothing() {
    for (QListWidget* list : lists_)
        list->hide();
    Label2->hide();
    Label3->clear();
    Label3->hide();
    Label4->hide();
    Label1->setText(noCategoryCaption);
    textLimit_->show(QString());
    mode_ = Mode::None;
    category_ = -1;
    currentSlot_ = -1;
    shownRow_ = -1;
    shown_.clear();
    // Until a category shows a text, nothing typed could be saved anywhere.
    Text1->setEnabled(false);
    tableStack_->setCurrentWidget(noTable_);
}

bool Imsg::unconfirmed() const {
    if (mode_ == Mode::None || currentSlot_ < 0)
        return false;
    // What a save would store, against the bytes shown; a text that cannot be
    // stored at all is an edit too.
    const auto slot = encodeSlot(Text1->toPlainText(), shown_);
    return !slot.ok() || *slot != shown_;
}

bool Imsg::mayLeaveText() {
    return settleEdits(prompts(), this, unsavedQuestion, unconfirmed(),
                       [this] { return Command1_Click(); });
}

bool Imsg::mayDropFile() {
    return settleEdits(prompts(), this, unsavedQuestion, unconfirmed() || unsaved(),
                       [this] { return writeTexts(); });
}

void Imsg::pressSave() {
    Command1->click();
}

bool Imsg::saveDocument() {
    return !(unsaved() || unconfirmed()) || writeTexts();
}

bool Imsg::reopenAt(const QString& path) {
    const int category = category_;
    return RegionWindow::reopenAt(path, [this, category] {
        if (category >= 0)
            chooseCategory(category);
    });
}

Failure Imsg::readFile(const QString& path) {
    // A file that cannot be a message file is refused; the one chosen before stays.
    RegionSet read(tableLayout());
    Failure failure = MessageFile(path).check();
    if (failure.ok())
        failure = read.read(path);
    if (!failure.ok())
        return failure;
    file_ = MessageFile(path);
    file_.keepStamp(read.stamp());
    texts_ = read;
    return {};
}

DiskStamp Imsg::fileStamp() const {
    return texts_.loaded() ? file_.stamp() : DiskStamp();
}

void Imsg::fillForm() {
    for (QAction* entry : entries_)
        entry->setEnabled(true);
    // Nothing shown from the file before may be saved into this one.
    showNothing();
    showChanged();
}

Failure Imsg::reloadFromDisk() {
    MessageFile file(file_.path());
    RegionSet read(tableLayout());
    Failure failure = file.check();
    if (failure.ok())
        failure = read.read(file.path());
    if (!failure.ok())
        return failure;
    file.keepStamp(read.stamp());
    file_ = file;
    texts_ = read;
    onDisk_ = read;
    history_.clear();
    // The text box shows the stored text, whatever was typed in it.
    if (currentSlot_ >= 0) {
        shown_.clear();
        textLimit_->show(QString());
    }
    showChanged();
    return {};
}

void Imsg::chooseCategory(int c) {
    if (!mayLeaveText())
        return;
    shownRow_ = -1;
    const Category& category = categories[c];
    if (!category.named() && !fillList(c))
        return;
    showOnly(c);
    Label1->setText(QString::fromUtf16(category.caption));
    textLimit_->show(QString());
    category_ = c;
    mode_ = category.mode;
    selectRow(c, 0);
    if (tableAction_->isChecked())
        showTable(true);
}

bool Imsg::fillList(int c) {
    const auto read = file_.readSlots(categories[c]);
    if (!read.ok()) {
        say(QStringLiteral("读取文件出错\n\n") + read.error());
        showNothing();
        return false;
    }
    for (int row = 0; row < read->size(); ++row)
        takeFromDisk(c, row, read->at(row));
    QListWidget* list = lists_[c];
    const QSignalBlocker blocker(list);
    list->clear();
    // One insertion for all rows.
    QStringList texts;
    texts.reserve(read->size());
    for (int row = 0; row < read->size(); ++row)
        texts.append(decodeSlot(slotView(texts_, c, row)));
    list->addItems(texts);
    return true;
}

void Imsg::fillRows(int c) {
    QListWidget* list = lists_[c];
    const QSignalBlocker blocker(list);
    for (int row = 0; row < list->count(); ++row) {
        const QString text = decodeSlot(slotView(texts_, c, row));
        if (list->item(row)->text() != text)
            list->item(row)->setText(text);
    }
}

void Imsg::takeFromDisk(int c, int row, const QByteArray& slot) {
    if (slotView(onDisk_, c, row) == slot)
        return;
    const bool pending = slotView(texts_, c, row) != slotView(onDisk_, c, row);
    setSlotIn(onDisk_, c, row, slot);
    if (pending)
        return;
    // The steps of the history were taken over bytes that are gone now.
    setSlotIn(texts_, c, row, slot);
    history_.clear();
    showTitle();
}

void Imsg::showOnly(int c) {
    for (int i = 0; i < int(lists_.size()); ++i)
        lists_[i]->setVisible(i == c);
    const Mode mode = categories[c].mode;
    Label2->setVisible(mode == Mode::Critical);
    Label3->clear();
    Label3->setVisible(mode == Mode::Critical);
    Label4->setVisible(mode == Mode::Battle);
}

void Imsg::selectRow(int c, int row) {
    {
        const QSignalBlocker blocker(lists_[c]);
        lists_[c]->setCurrentRow(row);
    }
    List_Click(c);
}

void Imsg::List_Click(int c) {
    const int row = lists_[c]->currentRow();
    if (c != category_ || row < 0)
        return;
    if (!settleEditsBeforeRow(lists_[c], shownRow_, prompts(), this, unsavedQuestion, unconfirmed(),
                              [this] { return Command1_Click(); }))
        return;
    shownRow_ = row;
    if (categories[c].named())
        showNamedEntry(c, row);
    else
        showTextEntry(c, row);
    showTitle();
}

void Imsg::showNamedEntry(int c, int row) {
    const auto slot = file_.readSlot(categories[c], row);
    if (!slot.ok()) {
        // Nothing is shown, so nothing can be saved over the slot.
        currentSlot_ = -1;
        shown_.clear();
        textLimit_->show(QString());
        Text1->setEnabled(false);
        say(QStringLiteral("读取文件出错\n\n") + slot.error());
        return;
    }
    takeFromDisk(c, row, *slot);
    shown_ = slotIn(texts_, c, row);
    textLimit_->show(decodeSlot(shown_));
    currentSlot_ = categories[c].slotOffset(row);
    Text1->setEnabled(true);
}

void Imsg::showTextEntry(int c, int row) {
    shown_ = slotIn(texts_, c, row);
    textLimit_->show(decodeSlot(shown_));
    currentSlot_ = categories[c].slotOffset(row);
    Text1->setEnabled(true);
    if (mode_ == Mode::Critical)
        Label3->setText(criticalTypeText(row));
    else if (mode_ == Mode::Battle)
        Label4->setText(battleNumberText(row));
}

void Imsg::showStoredText() {
    if (currentSlot_ < 0)
        return;
    shown_ = slotIn(texts_, category_, shownRow_);
    const QString text = decodeSlot(shown_);
    if (text == Text1->toPlainText())
        return;
    // Showing the text again puts the caret at its start; it goes back where
    // it stood, and the box keeps its scroll position.
    const QTextCursor before = Text1->textCursor();
    const int anchor = before.anchor(), position = before.position();
    const int scrolled = Text1->verticalScrollBar()->value();
    textLimit_->show(text);
    QTextCursor after = Text1->textCursor();
    const int end = int(text.size());
    after.setPosition(std::min(anchor, end));
    after.setPosition(std::min(position, end), QTextCursor::KeepAnchor);
    Text1->setTextCursor(after);
    Text1->verticalScrollBar()->setValue(scrolled);
}

bool Imsg::Command1_Click() {
    if (mode_ == Mode::None || currentSlot_ < 0)
        return false;
    const QString typed = Text1->toPlainText();
    const auto slot = encodeSlot(typed, shown_);
    if (!slot.ok()) {
        say(QStringLiteral("文本：") + slot.error() + QStringLiteral("，没有保存"));
        return false;
    }
    return writeTexts(&*slot);
}

bool Imsg::writeTexts(const QByteArray* shownSlot) {
    if (!shownSlot && currentSlot_ >= 0)
        return Command1_Click();
    if (!texts_.loaded())
        return false;
    // A merge with another program's change takes the text shown as written.
    const MergeSource merge = mergeSource(fields::FileKind::Imsg, [this, shownSlot] {
        QByteArray mine = documents().first().mine();
        if (shownSlot && currentSlot_ >= 0)
            placeSlot(mine, category_, shownRow_, *shownSlot);
        return mine;
    });
    const auto gate = lockForSave(this, prompts(), file_.stamp(), file_.path(),
                                  QStringLiteral("Imsg文件"), false, &merge);
    if (!gate.lock)
        return gate.merged;
    int changed = 0;
    // The slot shown is written even when unchanged; with it every text
    // changed since the last save, in one replace of the file.
    const Failure failure = history_.run([&]() -> Failure {
        if (shownSlot)
            setSlotIn(texts_, category_, shownRow_, *shownSlot);
        const SlotPatches write =
            slotPatches(texts_, onDisk_, shownSlot ? category_ : -1, shownRow_);
        changed = write.changed;
        return file_.writeSlots(write.patches);
    });
    if (!failure.ok()) {
        say(QStringLiteral("保存出错\n\n") + failure.error());
        return false;
    }
    setRegionBytes(onDisk_, regionBytes(texts_));
    history_.markSaved();
    showChanged();
    showSaved(changed);
    return true;
}

void Imsg::showChanged() {
    if (category_ >= 0 && !categories[category_].named())
        fillRows(category_);
    showStoredText();
    for (int c = 0; c < int(views_.size()); ++c)
        if (views_[c]) {
            views_[c]->setSaved(diskTables_[c].get());
            views_[c]->refresh();
        }
    showTitle();
}

void Imsg::showTitle() {
    showFileState(file_.path(), unsaved() || unconfirmed());
}

fields::FieldTableView* Imsg::tableOf(int c) {
    if (!views_[c]) {
        auto run = [this](const std::function<Failure()>& change,
                          const std::function<QString()>& step) -> Failure {
            if (Failure failure = history_.run(change, step); !failure.ok())
                return failure;
            showChanged();
            return {};
        };
        views_[c] = new fields::FieldTableView(*tables_[c], run, prompts());
        views_[c]->setObjectName(QStringLiteral("table_") +
                                 QString::fromUtf16(categories[c].entry));
        views_[c]->setSaved(diskTables_[c].get());
        tableStack_->addWidget(views_[c]);
        // The row chosen in the table is the row the list shows.
        connect(views_[c], &fields::FieldTableView::currentRowChanged, this, [this, c](int row) {
            if (c == category_ && row >= 0 && row != shownRow_ && !unconfirmed())
                selectRow(c, row);
        });
    }
    return views_[c];
}

void Imsg::showTable(bool on) {
    if (on && !form_->isHidden() && !mayLeaveText()) {
        const QSignalBlocker blocker(tableAction_);
        tableAction_->setChecked(false);
        return;
    }
    if (on && category_ >= 0) {
        fields::FieldTableView* view = tableOf(category_);
        tableStack_->setCurrentWidget(view);
        view->refresh();
        if (shownRow_ >= 0)
            view->setCurrentRow(shownRow_);
    } else if (on) {
        tableStack_->setCurrentWidget(noTable_);
    }
    form_->setVisible(!on);
    tableStack_->setVisible(on);
}

void Imsg::takeNames(const names::GameNames& names) {
    for (int c = 0; c < int(categories.size()); ++c) {
        const QString list = QString::fromUtf16(categories[c].list);
        if (list == u"List1")
            renameRows(lists_[c], names.characters);
        else if (list == u"List3")
            renameRows(lists_[c], names.items);
    }
}

bool Imsg::showPlace(int part, int row) {
    if (part < 0 || part >= int(lists_.size()) || !entries_[part]->isEnabled())
        return false;
    if (category_ != part)
        chooseCategory(part);
    QListWidget* list = lists_[part];
    if (category_ != part || row < 0 || row >= list->count())
        return false;
    if (list->currentRow() != row)
        list->setCurrentRow(row);
    list->scrollToItem(list->item(row));
    return list->currentRow() == row;
}

} // namespace lcj::imsg
