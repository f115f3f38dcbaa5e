#include "unsavededits.h"

#include "prompts.h"

#include <QListWidget>
#include <QSignalBlocker>

namespace lcj {

bool settleEdits(Prompts& prompts, QWidget* parent, const QString& question, bool edited,
                 const std::function<bool()>& save) {
    if (!edited)
        return true;
    switch (
        prompts.askToSave(parent, question, parent ? parent->window()->windowTitle() : QString())) {
    case Prompts::SaveChoice::Save:
        return save();
    case Prompts::SaveChoice::Discard:
        return true;
    case Prompts::SaveChoice::Cancel:
        break;
    }
    return false;
}

bool settleEditsBeforeRow(QListWidget* list, int shownRow, Prompts& prompts, QWidget* parent,
                          const QString& question, bool edited, const std::function<bool()>& save) {
    const int wanted = list->currentRow();
    if (!edited || wanted == shownRow || shownRow < 0)
        return true;
    {
        const QSignalBlocker blocker(list);
        list->setCurrentRow(shownRow);
    }
    if (!settleEdits(prompts, parent, question, edited, save))
        return false;
    const QSignalBlocker blocker(list);
    list->setCurrentRow(wanted);
    return true;
}

} // namespace lcj
