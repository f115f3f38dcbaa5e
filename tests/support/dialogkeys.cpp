#include "dialogkeys.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QtTest>

namespace lcj::test {

DialogKeys::DialogKeys(QList<int> keys) : keys_(std::move(keys)) {
    // A box runs its own event loop: the timer fires inside it.
    timer_.setInterval(5);
    connect(&timer_, &QTimer::timeout, this, &DialogKeys::look);
    timer_.start();
}

void DialogKeys::look() {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box) {
        if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            dialog && dialog->isVisible())
            answer(dialog);
        return;
    }
    if (!box->isVisible())
        return;
    Seen now;
    now.text = box->text();
    for (QAbstractButton* button : box->buttons()) {
        now.buttons.append(button->text());
        if (auto* push = qobject_cast<QPushButton*>(button); push && push->isDefault())
            now.defaultButton = push->text();
    }
    now.key = keys_.isEmpty() ? Qt::Key_Escape : keys_.takeFirst();
    if (beforeKey)
        beforeKey(box);
    QTest::keyClick(box, Qt::Key(now.key));
    if (QAbstractButton* pressed = box->clickedButton())
        now.pressedButton = pressed->text();
    seen.append(now);
    // A box that did not take the key would be read again: close it, so
    // that the test ends and reports what it saw.
    if (box->isVisible())
        box->reject();
}

void DialogKeys::answer(QDialog* dialog) {
    Seen now;
    for (const QLabel* label : dialog->findChildren<QLabel*>())
        now.text += label->text();
    QString pressed;
    QList<QMetaObject::Connection> clicks;
    for (QPushButton* button : dialog->findChildren<QPushButton*>()) {
        now.buttons.append(button->text());
        if (button->isDefault())
            now.defaultButton = button->text();
        clicks << connect(button, &QPushButton::clicked, this,
                          [&pressed, button] { pressed = button->text(); });
    }
    now.key = keys_.isEmpty() ? Qt::Key_Escape : keys_.takeFirst();
    if (beforeKey)
        beforeKey(dialog);
    QTest::keyClick(dialog->focusWidget() ? dialog->focusWidget() : dialog, Qt::Key(now.key));
    for (const auto& click : clicks)
        disconnect(click);
    now.pressedButton = pressed;
    seen.append(now);
    if (dialog->isVisible())
        dialog->reject();
}

} // namespace lcj::test
