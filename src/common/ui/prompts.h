#pragma once

#include <QList>
#include <QString>
#include <QStringList>

class QWidget;

namespace lcj {

// Every file dialog and message box of the program goes through this seam, so
// that tests can answer in place of a person.
class Prompts {
public:
    enum class Icon { None, Information, Warning, Critical };
    // The answers to the question about unsaved edits.
    enum class SaveChoice { Save, Discard, Cancel };

    virtual ~Prompts() = default;

    // The path of the chosen file, or an empty string when the user cancelled.
    virtual QString chooseOpenFile(QWidget* parent, const QString& title, const QString& filter,
                                   const QString& startFolder) = 0;
    virtual QString chooseSaveFile(QWidget* parent, const QString& title, const QString& filter,
                                   const QString& startPath) = 0;
    // The paths of the chosen files (one dialog, several files), none when the user
    // cancelled. By default the one file chooseOpenFile() gives.
    virtual QStringList chooseOpenFiles(QWidget* parent, const QString& title,
                                        const QString& filter, const QString& startFolder);
    // The path of the chosen folder, or an empty string when the user cancelled.
    virtual QString chooseFolder(QWidget* parent, const QString& title,
                                 const QString& startFolder) = 0;
    // A message with an OK button.
    virtual void showMessage(QWidget* parent, const QString& text, const QString& title = {},
                             Icon icon = Icon::None) = 0;
    // A question answered yes (true) or no; Enter and Escape answer no, so
    // that only a deliberate yes goes on.
    virtual bool ask(QWidget* parent, const QString& text, const QString& title = {}) = 0;
    // A question about unsaved edits answered "保存", "放弃" or "取消"; closing
    // the box without choosing is "取消".
    virtual SaveChoice askToSave(QWidget* parent, const QString& text,
                                 const QString& title = {}) = 0;
    // A question with buttons of its own, in `buttons`' order: the index of the one pressed.
    // Enter presses `defaultButton`; Escape and closing the box press `escapeButton` (-1: no
    // button, the box closes answering -1).
    virtual int choose(QWidget* parent, const QString& text, const QStringList& buttons,
                       int defaultButton, int escapeButton, const QString& title = {}) = 0;

    // One question about the unsaved edits of several files ("保存所选", "不保存", "取消"):
    // `chosen` comes in with one entry per file, all true, and goes out with the files the
    // user left checked. By default one unsaved-edits question naming every file.
    virtual SaveChoice askToSaveFiles(QWidget* parent, const QString& text,
                                      const QStringList& files, QList<bool>& chosen,
                                      const QString& title = {});

    // Every open dialog starts in the editor's own folder.
    static QString editorFolder();
};

// The real dialogs.
class DialogPrompts final : public Prompts {
public:
    QString chooseOpenFile(QWidget* parent, const QString& title, const QString& filter,
                           const QString& startFolder) override;
    QString chooseSaveFile(QWidget* parent, const QString& title, const QString& filter,
                           const QString& startPath) override;
    QStringList chooseOpenFiles(QWidget* parent, const QString& title, const QString& filter,
                                const QString& startFolder) override;
    QString chooseFolder(QWidget* parent, const QString& title,
                         const QString& startFolder) override;
    void showMessage(QWidget* parent, const QString& text, const QString& title,
                     Icon icon) override;
    bool ask(QWidget* parent, const QString& text, const QString& title) override;
    SaveChoice askToSave(QWidget* parent, const QString& text, const QString& title) override;
    int choose(QWidget* parent, const QString& text, const QStringList& buttons, int defaultButton,
               int escapeButton, const QString& title) override;
    // The list with a check box per file (UnsavedList).
    SaveChoice askToSaveFiles(QWidget* parent, const QString& text, const QStringList& files,
                              QList<bool>& chosen, const QString& title) override;
};

} // namespace lcj
