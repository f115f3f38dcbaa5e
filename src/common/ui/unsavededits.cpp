#include "unsavededits.h"

#include "common/regionset.h"
#include "editorwindow.h"
#include "prompts.h"

#include <QListWidget>
#include <QSignalBlocker>
#include <QTimer>

namespace lcj {

bool settleEdits(Prompts& prompts, QWidget* parent, const QString& question, bool edited,
                 const std::function<bool()>& save) {
    if (!edited)
        return true;
    switch (prompts.askToSave(parent, question,
                              parent ? EditorWindow::messageTitle(parent->window()) : QString())) {
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
    if (!settleEdits(prompts, parent, question, edited, save)) {
        // A mouse press on another row selects that row after its handler
        // has run, that is after this question: once the press is over, the
        // highlight goes back to the row the controls show.
        QTimer::singleShot(0, list, [list, shownRow] {
            if (list->currentRow() != shownRow || shownRow >= list->count())
                return;
            const QSignalBlocker blocker(list);
            list->setCurrentRow(shownRow, QItemSelectionModel::ClearAndSelect);
        });
        return false;
    }
    const QSignalBlocker blocker(list);
    list->setCurrentRow(wanted);
    return true;
}

QString unconfirmedQuestion() {
    return QStringLiteral("当前的修改还没有确定。要保存（确定）这些修改吗？");
}

bool settleRegionEdits(Prompts& prompts, QWidget* parent, const QString& question,
                       const std::function<bool()>& unconfirmed, bool unsaved,
                       const std::function<bool()>& confirm, const std::function<bool()>& save) {
    return settleEdits(prompts, parent, question, unconfirmed() || unsaved,
                       [&] { return (!unconfirmed() || confirm()) && save(); });
}

void SavedRegions::take(const RegionSet& regions) {
    bytes_.clear();
    if (!regions.loaded())
        return;
    for (std::size_t i = 0; i < regions.layout().size(); ++i)
        bytes_.push_back(regions.bytes(i));
}

bool SavedRegions::differ(const RegionSet& regions) const {
    if (!regions.loaded() || bytes_.size() != regions.layout().size())
        return false;
    for (std::size_t i = 0; i < bytes_.size(); ++i)
        if (bytes_[i] != regions.bytes(i))
            return true;
    return false;
}

} // namespace lcj
