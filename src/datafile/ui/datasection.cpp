#include "datasection.h"

#include "common/ui/keyboard.h"
#include "common/ui/prompts.h"
#include "common/ui/savelock.h"
#include "common/ui/unsavededits.h"

#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>

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

void DataSection::say(const QString& text) {
    context_.prompts.showMessage(window(), text, QStringLiteral("Data文件修改"));
}

std::optional<QByteArray> DataSection::readRecord(const Table& table, int row, QPushButton* save) {
    auto record = file().readRecord(table, row);
    save->setEnabled(record.ok());
    if (!record) {
        say(record.error());
        return std::nullopt;
    }
    return *record;
}

bool DataSection::writeRecord(const Table& table, int row, const QByteArray& record) {
    const auto lock = lockForSave(window(), context_.prompts, file().stamp(), file().path(),
                                  QStringLiteral("Data文件"), false);
    if (!lock)
        return false;
    if (auto failure = file().writeRecord(table, row, record)) {
        say(*failure);
        return false;
    }
    return true;
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
