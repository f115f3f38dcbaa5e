#include "twinfile.h"

#include "common/virtualstore.h"
#include "editorwindow.h"
#include "prompts.h"

#include <QDir>
#include <QFileInfo>
#include <QWidget>

namespace lcj {

QString offerVirtualStoreTwin(QWidget* window, Prompts& prompts, const QString& chosen) {
    if (chosen.isEmpty())
        return chosen;
    const QString twin =
        virtualstore::twinPath(QFileInfo(chosen).absoluteFilePath(), virtualstore::systemFolders());
    if (twin.isEmpty() || !QFileInfo(twin).isFile())
        return chosen;
    const bool openTwin = prompts.ask(
        window,
        QStringLiteral("“%1”在受Windows保护的文件夹里。Windows另存了它的一份副本：\n“%2”\n"
                       "游戏读写的很可能是这份副本，而不是您选的文件。\n\n"
                       "打开副本吗？选“否”打开您选的文件。两个文件在保存之前都不会改动。")
            .arg(QDir::toNativeSeparators(chosen), QDir::toNativeSeparators(twin)),
        EditorWindow::messageTitle(window));
    return openTwin ? twin : chosen;
}

} // namespace lcj
