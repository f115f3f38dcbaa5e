#pragma once

#include "prompts.h"

#include <QDialog>
#include <QList>
#include <QStringList>

class QCheckBox;
class QKeyEvent;
class QPushButton;

namespace lcj {

// unsavedlist: the one question before the program ends or leaves its game folder while
// files hold unsaved edits. Each file has a check box (`unsaved0`, `unsaved1`, …), all
// checked; 保存所选 (`savechosen`, the default: Enter) saves the checked ones, 不保存
// (`discard`) drops every edit, 取消 (`cancel`, also Escape and the frame's ×) keeps
// everything as it was.
class UnsavedList : public QDialog {
    Q_OBJECT
public:
    UnsavedList(const QString& text, const QStringList& files, QWidget* parent = nullptr);

    // The answer once the dialog has closed.
    Prompts::SaveChoice choice() const { return choice_; }
    // Whether each file was checked, in the order given.
    QList<bool> checked() const;

protected:
    // Escape presses 取消, as in a message box.
    void keyPressEvent(QKeyEvent* event) override;

private:
    QList<QCheckBox*> boxes_;
    QPushButton* cancel_;
    Prompts::SaveChoice choice_ = Prompts::SaveChoice::Cancel;
};

} // namespace lcj
