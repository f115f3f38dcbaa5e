#include "imsg.h"

#include "common/nametables.h"
#include "common/ui/controls.h"
#include "common/ui/diskchange.h"
#include "common/ui/regionwindow.h"

#include <QAction>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTextCursor>
#include <QVBoxLayout>

namespace lcj::imsg {

namespace {

const QString noCategoryCaption = QStringLiteral("Imsg文件说明");
constexpr int textBoxLimit = 200; // characters, a line break counting as its two

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

int storedLength(const QString& text) {
    return int(text.size() + text.count(u'\n'));
}

} // namespace

Imsg::Imsg(Prompts& prompts, QWidget* parent) : EditorWindow(prompts, parent) {
    setObjectName(QStringLiteral("Imsg"));
    setWindowTitle(QStringLiteral("Imsg文件修改"));

    const FileMenu file = addFileMenu(menuBar(), this, this->prompts(), QStringLiteral("fileopen"),
                                      [this](const names::GameNames& n) { takeNames(n); });
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
    connect(Text1, &QPlainTextEdit::textChanged, this, &Imsg::limitText);
    Label2 = named(new QLabel(QStringLiteral("致命一击台词类型对应值")), QStringLiteral("Label2"));
    Label3 = named(new QLabel, QStringLiteral("Label3"));
    Label4 = named(new QLabel, QStringLiteral("Label4"));
    Command1 = makeButton(this, QStringLiteral("Command1"), QStringLiteral("保存"));
    connect(Command1, &QPushButton::clicked, this, &Imsg::Command1_Click);

    auto* labels = new QHBoxLayout;
    labels->addWidget(Label2);
    labels->addWidget(Label3);
    labels->addWidget(Label4);
    labels->addStretch();
    labels->addWidget(Command1);
    auto* textColumn = new QVBoxLayout;
    textColumn->addWidget(Label1);
    textColumn->addWidget(Text1, 1);
    textColumn->addLayout(labels);

    auto* row = new QHBoxLayout;
    row->addLayout(listColumn);
    row->addLayout(textColumn, 1);
    static_cast<QBoxLayout*>(layout())->addLayout(row);

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
    Text1->clear();
    mode_ = Mode::None;
    category_ = -1;
    currentSlot_ = -1;
    shown_.clear();
}

void Imsg::fileopen_Click() {
    const QString path = prompts().chooseOpenFile(
        this, QStringLiteral("打开"), QStringLiteral("岚川记Imsg文件 (Imsg.e5);;所有文件 (*)"),
        Prompts::editorFolder());
    if (path.isEmpty()) {
        say(QStringLiteral("文件打开出错"));
        return;
    }
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
    const Category& category = categories[c];
    if (!category.named() && !fillList(c))
        return;
    showOnly(c);
    Label1->setText(QString::fromUtf16(category.caption));
    Text1->clear();
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
        Text1->clear();
        say(QStringLiteral("读取文件出错\n\n") + slot.error());
        return;
    }
    shown_ = *slot;
    Text1->setPlainText(decodeSlot(shown_));
    currentSlot_ = categories[c].slotOffset(row);
}

void Imsg::showTextEntry(int c, int row) {
    QListWidgetItem* item = lists_[c]->item(row);
    shown_ = item->data(Qt::UserRole).toByteArray();
    Text1->setPlainText(item->text().trimmed());
    currentSlot_ = categories[c].slotOffset(row);
    if (mode_ == Mode::Critical)
        Label3->setText(criticalTypeText(row));
    else if (mode_ == Mode::Battle)
        Label4->setText(battleNumberText(row));
}

void Imsg::Command1_Click() {
    if (mode_ == Mode::None || currentSlot_ < 0)
        return;
    const QString typed = Text1->toPlainText();
    const auto slot = encodeSlot(typed, shown_);
    if (!slot) {
        say(QStringLiteral("文本：") + slot.error() + QStringLiteral("，没有保存"));
        return;
    }
    if (!mayOverwrite(this, prompts(), file_.stamp(), file_.path(), QStringLiteral("Imsg文件"),
                      false))
        return;
    if (auto failure = file_.writeSlot(currentSlot_, *slot)) {
        say(QStringLiteral("保存出错\n\n") + *failure);
        return;
    }
    shown_ = *slot;
    if (categories[category_].named())
        return;
    // A text category shows the saved text as its row, selected again.
    QListWidget* list = lists_[category_];
    const int row = list->currentRow();
    if (QListWidgetItem* item = list->item(row)) {
        const QSignalBlocker blocker(list);
        item->setText(typed);
        item->setData(Qt::UserRole, *slot);
    }
    selectRow(category_, row);
}

void Imsg::limitText() {
    const QString text = Text1->toPlainText();
    if (storedLength(text) <= textBoxLimit)
        return;
    QString kept = text;
    while (storedLength(kept) > textBoxLimit)
        kept.chop(1);
    const QSignalBlocker blocker(Text1);
    Text1->setPlainText(kept);
    Text1->moveCursor(QTextCursor::End);
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
