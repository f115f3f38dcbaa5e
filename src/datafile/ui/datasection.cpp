#include "datasection.h"

#include "common/ui/keyboard.h"
#include "common/ui/listfilter.h"
#include "common/ui/prompts.h"
#include "common/ui/unsavededits.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPaintEvent>
#include <QPushButton>
#include <QSignalBlocker>
#include <algorithm>

namespace lcj::data {

DataSection::DataSection(const SectionContext& context, const QString& objectName,
                         const QString& caption, QWidget* parent)
    : QGroupBox(caption, parent), context_(context) {
    setObjectName(objectName);
}

namespace {

const QString unsavedQuestion = QStringLiteral("当前记录的修改还没有保存。要保存吗？");

} // namespace

bool DataSection::mayLeave() {
    return shownRow_ < 0 || settleEdits(context_.prompts, window(), unsavedQuestion, edited(),
                                        [this] { return saveEdits(); });
}

bool DataSection::mayLeaveRow(QListWidget* list) {
    if (!settleEditsBeforeRow(list, shownRow_, context_.prompts, window(), unsavedQuestion,
                              shownRow_ >= 0 && edited(), [this] { return saveEdits(); }))
        return false;
    shownRow_ = list->currentRow();
    return true;
}

void DataSection::paintEvent(QPaintEvent* event) {
    // The frame has nothing to draw inside its contents; the window's
    // background there is painted before this.
    if (contentsRect().contains(event->region().boundingRect()))
        return;
    QGroupBox::paintEvent(event);
}

void DataSection::say(const QString& text) {
    context_.prompts.showMessage(window(), text, QStringLiteral("Data文件修改"));
}

void DataSection::showStatus(const QString& text) {
    if (context_.status)
        context_.status(text);
}

bool DataSection::load() {
    const int loads = file().loads();
    if (auto failure = file().load(); !failure.ok()) {
        say(failure.error());
        return false;
    }
    if (file().loads() != loads && context_.reloaded)
        context_.reloaded();
    return true;
}

std::optional<QByteArray> DataSection::readRecord(const Table& table, int row, QPushButton* save) {
    const bool loaded = load();
    save->setEnabled(loaded);
    if (!loaded)
        return std::nullopt;
    return file().record(table, row);
}

std::optional<QStringList> DataSection::readNames(const Table& table) {
    if (!load())
        return std::nullopt;
    return file().names(table);
}

bool DataSection::writeRecord(const Table& table, int row, const QByteArray& record) {
    return context_.save([this, &table, row, &record] { file().setRecord(table, row, record); });
}

void DataSection::renameEntries(QListWidget* list, const QStringList& names) {
    for (int row = 0; row < list->count() && row < names.size(); ++row)
        if (QListWidgetItem* entry = list->item(row); entry->text() != names[row])
            entry->setText(names[row]);
}

void DataSection::renameEntries(QComboBox* combo, const QStringList& names) {
    for (int row = 0; row < combo->count() && row < names.size(); ++row)
        if (combo->itemText(row) != names[row])
            combo->setItemText(row, names[row]);
}

namespace {

// More names changed than this and a list is filled afresh: the list's filter
// and its width look at every rename on its own, at every entry of the list.
constexpr int fewRenames = 16;

// The rows of `count` entries whose text differs from `names`, up to one more than fewRenames.
template <class TextAt>
QList<int> renamedRows(int count, const QStringList& names, const TextAt& textAt) {
    QList<int> rows;
    for (int row = 0; row < count && rows.size() <= fewRenames; ++row)
        if (textAt(row) != names[row])
            rows.append(row);
    return rows;
}

} // namespace

void DataSection::fillEntries(QListWidget* list, const QStringList& names) {
    const QSignalBlocker blocker(list);
    if (list->count() == names.size()) {
        const QList<int> rows =
            renamedRows(list->count(), names, [list](int row) { return list->item(row)->text(); });
        if (rows.size() <= fewRenames) {
            for (const int row : rows)
                list->item(row)->setText(names[row]);
            return;
        }
    }
    list->clear();
    list->addItems(names);
}

void DataSection::fillEntries(QComboBox* combo, const QStringList& names) {
    if (combo->count() == names.size()) {
        const QList<int> rows =
            renamedRows(combo->count(), names, [combo](int row) { return combo->itemText(row); });
        if (rows.size() <= fewRenames) {
            for (const int row : rows)
                combo->setItemText(row, names[row]);
            return;
        }
    }
    combo->clear();
    combo->addItems(names);
}

void DataSection::placeTable(QWidget* table) {
    // The space the hidden controls' stretches ask for goes to the table.
    if (auto* box = qobject_cast<QBoxLayout*>(layout()))
        box->addWidget(table, 100);
    else
        layout()->addWidget(table);
}

void DataSection::showTable(QWidget* table) {
    if (table == table_)
        return;
    QListWidget* list = recordList();
    if (table_) {
        table_->hide();
        for (QWidget* control : std::as_const(hiddenForTable_))
            control->show();
        hiddenForTable_.clear();
        // The list comes back, and its filter box with it.
        list->show();
        if (auto* filter = findChild<ListFilter*>(list->objectName() + QStringLiteral("Filter")))
            filter->setMaximumWidth(filterWidth_);
    }
    table_ = table;
    if (!table)
        return;
    // The table has the width: its own first columns name each row, so the list
    // goes; its filter box stays, as wide as its hint, and filters the table.
    list->hide();
    auto* filter = findChild<ListFilter*>(list->objectName() + QStringLiteral("Filter"));
    if (filter) {
        filterWidth_ = filter->maximumWidth();
        const QFontMetrics metrics = filter->fontMetrics();
        filter->setMaximumWidth(metrics.horizontalAdvance(filter->placeholderText()) +
                                2 * metrics.height());
        filter->show();
    }
    for (QWidget* control : findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (control == list || control == filter || control == table || control->isHidden() ||
            control->isAncestorOf(list))
            continue;
        control->hide();
        hiddenForTable_.append(control);
    }
    if (table->parentWidget() != this)
        placeTable(table);
    table->show();
}

void DataSection::replaceEntry(QListWidget* list, int row, const QString& text) {
    const QSignalBlocker blocker(list);
    // The row keeps its place and height: the list repaints one row and lays
    // out nothing.
    if (QListWidgetItem* entry = list->item(row))
        entry->setText(text);
    list->setCurrentRow(row);
}

void DataSection::selectFirst(QListWidget* list, const std::function<void()>& click) {
    if (list->currentRow() == 0)
        click();
    else
        list->setCurrentRow(0);
}

void DataSection::useSaveKeys(QPushButton* save) {
    save_ = save;
    pressOnEnter(this, save);
}

QHBoxLayout* DataSection::buttonRow(QPushButton* save, QPushButton* restore) {
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(save);
    buttons->addWidget(restore);
    return buttons;
}

} // namespace lcj::data
