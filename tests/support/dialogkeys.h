#pragma once

#include <QKeySequence>
#include <QList>
#include <QObject>
#include <QStringList>
#include <QTimer>
#include <functional>

class QDialog;

namespace lcj::test {

// A person at the keyboard in front of the real message boxes: while it
// lives, each QMessageBox that comes up as the active modal window is read
// (its text, its buttons, which one is the default) and answered with the
// next of `keys` (Qt::Key_Enter, Qt::Key_Escape), pressed on the box. Boxes
// past the keys are answered with Escape. Any other modal QDialog is answered
// the same way: its labels are its text, its push buttons its buttons, the key
// pressed on the widget with the keyboard.
class DialogKeys : public QObject {
public:
    struct Seen {
        QString text;
        QStringList buttons;   // every button's caption
        QString defaultButton; // the caption Enter presses, empty for none
        QString pressedButton; // the caption of the button the key pressed
        int key = 0;
    };

    explicit DialogKeys(QList<int> keys);

    QList<Seen> seen;
    // Runs on each box or dialog before its key is pressed (a check box the user clears).
    std::function<void(QWidget*)> beforeKey;

private:
    void look();
    void answer(QDialog* dialog);

    QList<int> keys_;
    QTimer timer_;
};

} // namespace lcj::test
