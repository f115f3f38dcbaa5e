#include "scriptedprompts.h"

namespace lcj::test {

QString ScriptedPrompts::chooseOpenFile(QWidget*, const QString&, const QString&,
                                        const QString& startFolder) {
    openFolders.append(startFolder);
    return openAnswers.isEmpty() ? QString() : openAnswers.dequeue();
}

QString ScriptedPrompts::chooseSaveFile(QWidget*, const QString&, const QString&, const QString&) {
    return saveAnswers.isEmpty() ? QString() : saveAnswers.dequeue();
}

QString ScriptedPrompts::chooseFolder(QWidget*, const QString&, const QString& startFolder) {
    openFolders.append(startFolder);
    return folderAnswers.isEmpty() ? QString() : folderAnswers.dequeue();
}

void ScriptedPrompts::showMessage(QWidget* parent, const QString& text, const QString& title,
                                  Icon icon) {
    messages.append(text);
    if (realBoxes)
        DialogPrompts().showMessage(parent, text, title, icon);
}

bool ScriptedPrompts::ask(QWidget* parent, const QString& text, const QString& title) {
    questions.append(text);
    if (realBoxes)
        return DialogPrompts().ask(parent, text, title);
    return askAnswers.isEmpty() ? false : askAnswers.dequeue();
}

Prompts::SaveChoice ScriptedPrompts::askToSave(QWidget* parent, const QString& text,
                                               const QString& title) {
    questions.append(text);
    if (realBoxes)
        return DialogPrompts().askToSave(parent, text, title);
    return saveChoices.isEmpty() ? SaveChoice::Cancel : saveChoices.dequeue();
}

int ScriptedPrompts::choose(QWidget* parent, const QString& text, const QStringList& buttons,
                            int defaultButton, int escapeButton, const QString& title) {
    questions.append(text);
    if (realBoxes)
        return DialogPrompts().choose(parent, text, buttons, defaultButton, escapeButton, title);
    return chooseAnswers.isEmpty() ? escapeButton : chooseAnswers.dequeue();
}

Prompts::SaveChoice ScriptedPrompts::askToSaveFiles(QWidget* parent, const QString& text,
                                                    const QStringList& files, QList<bool>& chosen,
                                                    const QString& title) {
    if (!realBoxes)
        return Prompts::askToSaveFiles(parent, text, files, chosen, title);
    questions.append(text);
    return DialogPrompts().askToSaveFiles(parent, text, files, chosen, title);
}

} // namespace lcj::test
