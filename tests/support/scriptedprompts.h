#pragma once

#include "common/ui/prompts.h"

#include <QQueue>
#include <QStringList>

namespace lcj::test {

// Prompts that answer from a script instead of a person: each file dialog
// takes the next queued path (an empty one is a cancel), each question the
// next queued answer, and every message is recorded; with `realBoxes` the
// questions and messages go to the real boxes instead.
class ScriptedPrompts : public Prompts {
public:
    QQueue<QString> openAnswers;
    QQueue<QString> saveAnswers;
    QQueue<QString> folderAnswers;
    QQueue<bool> askAnswers;
    // Answers to the unsaved-edits question; none left answers "取消".
    QQueue<SaveChoice> saveChoices;
    // Answers to the questions with buttons of their own (the button's index); none left
    // presses the Escape button.
    QQueue<int> chooseAnswers;
    QStringList messages;
    QStringList questions;
    QStringList openFolders; // the start folder of each open dialog
    // When set, every question and message is also shown in the real box
    // (DialogPrompts) and answered there, as by a DialogKeys; the file
    // dialogs still answer from the script.
    bool realBoxes = false;

    QString chooseOpenFile(QWidget* parent, const QString& title, const QString& filter,
                           const QString& startFolder) override;
    QString chooseSaveFile(QWidget* parent, const QString& title, const QString& filter,
                           const QString& startPath) override;
    QString chooseFolder(QWidget* parent, const QString& title,
                         const QString& startFolder) override;
    void showMessage(QWidget* parent, const QString& text, const QString& title,
                     Icon icon) override;
    bool ask(QWidget* parent, const QString& text, const QString& title) override;
    SaveChoice askToSave(QWidget* parent, const QString& text, const QString& title) override;
    int choose(QWidget* parent, const QString& text, const QStringList& buttons, int defaultButton,
               int escapeButton, const QString& title) override;
    // One question (in `questions`, answered from `saveChoices`): 保存 keeps every file
    // checked; with `realBoxes` the real list (unsavedlist) is shown.
    SaveChoice askToSaveFiles(QWidget* parent, const QString& text, const QStringList& files,
                              QList<bool>& chosen, const QString& title) override;

    QString lastMessage() const { return messages.isEmpty() ? QString() : messages.last(); }
};

} // namespace lcj::test
