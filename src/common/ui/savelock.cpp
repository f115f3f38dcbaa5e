#include "savelock.h"

#include "editorwindow.h"
#include "prompts.h"

#include <QWidget>

namespace lcj {

SaveGate lockForSave(QWidget* window, Prompts& prompts, const DiskStamp& stamp,
                     const QString& target, const QString& kind, bool holdsWholeFile,
                     const MergeSource* merge) {
    auto lock = files::WriteLock::take(target);
    if (!lock.ok()) {
        prompts.showMessage(window, QStringLiteral("保存出错\n\n") + lock.error(),
                            EditorWindow::messageTitle(window));
        return {};
    }
    switch (settleDiskChange(window, prompts, stamp, stamp.stateOf(target), target, kind,
                             holdsWholeFile, merge)) {
    case SaveRoute::Write:
        return {std::move(*lock), false};
    case SaveRoute::Merged:
        return {std::nullopt, true};
    case SaveRoute::Keep:
        break;
    }
    return {};
}

} // namespace lcj
