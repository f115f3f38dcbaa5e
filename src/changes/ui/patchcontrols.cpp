#include "patchcontrols.h"

#include "common/ui/controls.h"
#include "common/ui/prompts.h"

#include <QFileInfo>
#include <QLineEdit>

namespace lcj {

QLineEdit* readOnlyBox(const QString& name) {
    auto* box = named(new QLineEdit, name);
    box->setReadOnly(true);
    return box;
}

QString chooseGameFolder(Prompts& prompts, QWidget* parent, const QString& title) {
    const QString file = prompts.chooseOpenFile(
        parent, title,
        QStringLiteral("游戏文件 (*.e5 *.e5s *.eex *.exe *.E5 *.E5S *.EEX *.EXE);;所有文件 (*)"),
        Prompts::editorFolder());
    return file.isEmpty() ? QString() : QFileInfo(file).absolutePath();
}

} // namespace lcj
