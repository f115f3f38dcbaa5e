#include "namesmenu.h"

#include "controls.h"
#include "prompts.h"

#include <QAction>
#include <QComboBox>
#include <QListWidget>
#include <QMenu>

namespace lcj {

void addNamesEntry(QMenu* menu, QWidget* window, Prompts& prompts,
                   std::function<void(const names::GameNames&)> apply) {
    QAction* entry =
        named(menu->addAction(QStringLiteral("从Data文件读取名称")), QStringLiteral("datanames"));
    QObject::connect(entry, &QAction::triggered, window, [window, &prompts, apply] {
        const QString path = prompts.chooseOpenFile(
            window, QStringLiteral("从Data文件读取名称"),
            QStringLiteral("岚川记Data文件 (Data.e5 data.e5 DATA.E5);;所有文件 (*)"),
            Prompts::editorFolder());
        if (path.isEmpty())
            return;
        const auto read = names::readGameNames(path);
        if (!read) {
            prompts.showMessage(window, QStringLiteral("读取名称出错\n\n") + read.error(),
                                window->windowTitle());
            return;
        }
        apply(*read);
    });
}

void renameRows(QListWidget* list, const QStringList& names) {
    const int rows = std::min<int>(list->count(), names.size());
    for (int i = 0; i < rows; ++i)
        list->item(i)->setText(names[i]);
}

void renameRows(QComboBox* combo, const QStringList& names) {
    const int rows = std::min<int>(combo->count(), names.size());
    for (int i = 0; i < rows; ++i)
        combo->setItemText(i, names[i]);
}

} // namespace lcj
