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

void ScriptedPrompts::showMessage(QWidget*, const QString& text, const QString&, Icon) {
    messages.append(text);
}

bool ScriptedPrompts::ask(QWidget*, const QString& text, const QString&) {
    questions.append(text);
    return askAnswers.isEmpty() ? false : askAnswers.dequeue();
}

Prompts::SaveChoice ScriptedPrompts::askToSave(QWidget*, const QString& text, const QString&) {
    questions.append(text);
    return saveChoices.isEmpty() ? SaveChoice::Cancel : saveChoices.dequeue();
}

} // namespace lcj::test
