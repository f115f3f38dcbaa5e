#include "savelock.h"

#include "diskchange.h"
#include "editorwindow.h"
#include "prompts.h"

#include <QWidget>

namespace lcj {

std::optional<files::WriteLock> lockForSave(QWidget* window, Prompts& prompts,
                                            const DiskStamp& stamp, const QString& target,
                                            const QString& kind, bool holdsWholeFile) {
    auto lock = files::WriteLock::take(target);
    if (!lock) {
        prompts.showMessage(window, QStringLiteral("保存出错\n\n") + lock.error(),
                            EditorWindow::messageTitle(window));
        return std::nullopt;
    }
    if (!mayOverwrite(window, prompts, stamp, target, kind, holdsWholeFile))
        return std::nullopt;
    return std::move(*lock);
}

} // namespace lcj
