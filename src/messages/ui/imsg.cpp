#include "imsg.h"

#include "common/nametables.h"
#include "common/ui/bytelimit.h"
#include "common/ui/controls.h"
#include "common/ui/listfilter.h"
#include "common/ui/numbergutter.h"
#include "common/ui/regionwindow.h"
#include "common/ui/savelock.h"
#include "common/ui/twinfile.h"
#include "common/ui/unsavededits.h"

#include <QAction>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalBlocker>
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

Imsg::Imsg(Prompts& prompts, QWidget* parent) : EditorWindow(prompts, parent) {
    setObjectName(QStringLiteral("Imsg"));
    setWindowTitle(QStringLiteral("Imsg文件修改"));

    const FileMenu file =
        addFileMenu(menuBar(), this, this->prompts(), QStringLiteral("fileopen"),
                    names::gameNamesInto([this](const names::GameNames& n) { takeNames(n); }));
    connect(file.open, &QAction::triggered, this, &Imsg::fileopen_Click);
    connect(file.exit, &QAction::triggered, this, &Imsg::exit_Click);

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

    Label1 = named(new QLabel, QStringLiteral("Label1"));
    Text1 = named(new QPlainTextEdit, QStringLiteral("Text1"));
    textLimit_ = ByteLimit::attach(Text1, slotSize, slotBytes);
    Label2 = named(new QLabel(criticalTypeCaption()), QStringLiteral("Label2"));
    Label3 = named(new QLabel, QStringLiteral("Label3"));
    Label4 = named(new QLabel, QStringLiteral("Label4"));
    Command1 = makeButton(this, QStringLiteral("Command1"), QStringLiteral("保存"));
    connect(Command1, &QPushButton::clicked, this, &Imsg::Command1_Click);
    setSaveKey([this] { Command1->click(); });

    auto* labels = new QHBoxLayout;
    labels->addWidget(Label2);
    labels->addWidget(Label3);
    labels->addWidget(Label4);
    labels->addStretch();
    labels->addWidget(textLimit_->label());
    labels->addWidget(Command1);
    auto* textColumn = new QVBoxLayout;
    textColumn->addWidget(Label1);
    textColumn->addWidget(Text1, 1);
    textColumn->addLayout(labels);

    auto* row = new QHBoxLayout;
    row->addLayout(listColumn);
    row->addLayout(textColumn, 1);
    static_cast<QBoxLayout*>(layout())->addLayout(row);
    // Once the lists are laid out, each gets its numbers and its filter box.
    for (QListWidget* list : lists_) {
        NumberGutter::install(list);
        new ListFilter(list);
    }

    Form_Load();
}

void Imsg::Form_Load() {
    for (QAction* entry : entries_)
        entry->setEnabled(false);
    showNothing();
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
}

bool Imsg::edited() const {
    if (mode_ == Mode::None || currentSlot_ < 0)
        return false;
    // What a save would store, against the bytes read; a text that cannot be
    // stored at all is an edit too.
    const auto slot = encodeSlot(Text1->toPlainText(), shown_);
    return !slot || *slot != shown_;
}

bool Imsg::mayLeaveText() {
    return settleEdits(prompts(), this, unsavedQuestion, edited(),
                       [this] { return Command1_Click(); });
}

bool Imsg::mayClose() {
    return mayLeaveText();
}

void Imsg::fileopen_Click() {
    if (!mayLeaveText())
        return;
    const QString path = offerVirtualStoreTwin(
        this, prompts(),
        prompts().chooseOpenFile(this, QStringLiteral("打开"),
                                 QStringLiteral("岚川记Imsg文件 (Imsg.e5);;所有文件 (*)"),
                                 Prompts::editorFolder()));
    // Cancelling the dialog is no error: the file chosen before stays.
    if (path.isEmpty())
        return;
    // A file that cannot be a message file is refused; the one chosen before stays.
    if (auto failure = MessageFile(path).check()) {
        say(QStringLiteral("文件打开出错\n\n") + *failure);
        return;
    }
    file_ = MessageFile(path);
    file_.stampNow();
    for (QAction* entry : entries_)
        entry->setEnabled(true);
    // Nothing shown from the file before may be saved into this one.
    showNothing();
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
}

bool Imsg::fillList(int c) {
    const auto read = file_.readSlots(categories[c]);
    if (!read) {
        say(QStringLiteral("读取文件出错\n\n") + read.error());
        showNothing();
        return false;
    }
    QListWidget* list = lists_[c];
    const QSignalBlocker blocker(list);
    list->clear();
    // One insertion for all rows, then the slot bytes beside each.
    QStringList texts;
    texts.reserve(read->size());
    for (const QByteArray& slot : *read)
        texts.append(decodeSlot(slot));
    list->addItems(texts);
    for (int row = 0; row < read->size(); ++row)
        list->item(row)->setData(Qt::UserRole, read->at(row));
    return true;
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
    if (!settleEditsBeforeRow(lists_[c], shownRow_, prompts(), this, unsavedQuestion, edited(),
                              [this] { return Command1_Click(); }))
        return;
    shownRow_ = row;
    if (categories[c].named())
        showNamedEntry(c, row);
    else
        showTextEntry(c, row);
}

void Imsg::showNamedEntry(int c, int row) {
    const auto slot = file_.readSlot(categories[c], row);
    if (!slot) {
        // Nothing is shown, so nothing can be saved over the slot.
        currentSlot_ = -1;
        shown_.clear();
        textLimit_->show(QString());
        say(QStringLiteral("读取文件出错\n\n") + slot.error());
        return;
    }
    shown_ = *slot;
    textLimit_->show(decodeSlot(shown_));
    currentSlot_ = categories[c].slotOffset(row);
}

void Imsg::showTextEntry(int c, int row) {
    QListWidgetItem* item = lists_[c]->item(row);
    shown_ = item->data(Qt::UserRole).toByteArray();
    textLimit_->show(item->text().trimmed());
    currentSlot_ = categories[c].slotOffset(row);
    if (mode_ == Mode::Critical)
        Label3->setText(criticalTypeText(row));
    else if (mode_ == Mode::Battle)
        Label4->setText(battleNumberText(row));
}

bool Imsg::Command1_Click() {
    if (mode_ == Mode::None || currentSlot_ < 0)
        return false;
    const QString typed = Text1->toPlainText();
    const auto slot = encodeSlot(typed, shown_);
    if (!slot) {
        say(QStringLiteral("文本：") + slot.error() + QStringLiteral("，没有保存"));
        return false;
    }
    const auto lock = lockForSave(this, prompts(), file_.stamp(), file_.path(),
                                  QStringLiteral("Imsg文件"), false);
    if (!lock)
        return false;
    if (auto failure = file_.writeSlot(currentSlot_, *slot)) {
        say(QStringLiteral("保存出错\n\n") + *failure);
        return false;
    }
    shown_ = *slot;
    // The box and the list show the text as stored.
    const QString stored = decodeSlot(shown_);
    if (categories[category_].named()) {
        textLimit_->show(stored);
        return true;
    }
    // A text category shows the saved text as its row, selected again.
    QListWidget* list = lists_[category_];
    const int row = list->currentRow();
    if (QListWidgetItem* item = list->item(row)) {
        const QSignalBlocker blocker(list);
        item->setText(stored);
        item->setData(Qt::UserRole, *slot);
    }
    selectRow(category_, row);
    return true;
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

void Imsg::exit_Click() {
    closeByExitCommand();
}

} // namespace lcj::imsg
