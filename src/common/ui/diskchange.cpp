#include "diskchange.h"

#include "editorwindow.h"
#include "prompts.h"

#include <QDir>
#include <QWidget>

namespace lcj {

bool mayOverwrite(QWidget* window, Prompts& prompts, const DiskStamp& stamp, const QString& target,
                  const QString& kind, bool holdsWholeFile) {
    return mayOverwrite(window, prompts, stamp.stateOf(target), target, kind, holdsWholeFile);
}

bool mayOverwrite(QWidget* window, Prompts& prompts, DiskStamp::State state, const QString& target,
                  const QString& kind, bool holdsWholeFile) {
    switch (state) {
    case DiskStamp::State::Unchanged:
        return true;
    case DiskStamp::State::Vanished:
        if (!holdsWholeFile)
            return true;
        break;
    case DiskStamp::State::Changed:
        break;
    }
    const QString where = QDir::toNativeSeparators(target);
    const QString title = EditorWindow::messageTitle(window);
    if (prompts.ask(window,
                    QStringLiteral("%1“%2”在读入之后已被其他程序改动。\n"
                                   "仍要用编辑器中的内容覆盖它吗？")
                        .arg(kind, where),
                    title))
        return true;
    prompts.showMessage(window,
                        QStringLiteral("没有写入任何内容：%1“%2”保持其他程序留下的样子，"
                                       "编辑器中的修改仍然保留。")
                            .arg(kind, where),
                        title, Prompts::Icon::Information);
    return false;
}

} // namespace lcj
