#include "dialogkeys.h"

#include <QAbstractButton>
#include <QApplication>
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
    if (!box || !box->isVisible())
        return;
    Seen now;
    now.text = box->text();
    for (QAbstractButton* button : box->buttons()) {
        now.buttons.append(button->text());
        if (auto* push = qobject_cast<QPushButton*>(button); push && push->isDefault())
            now.defaultButton = push->text();
    }
    now.key = keys_.isEmpty() ? Qt::Key_Escape : keys_.takeFirst();
    QTest::keyClick(box, Qt::Key(now.key));
    if (QAbstractButton* pressed = box->clickedButton())
        now.pressedButton = pressed->text();
    seen.append(now);
    // A box that did not take the key would be read again: close it, so
    // that the test ends and reports what it saw.
    if (box->isVisible())
        box->reject();
}

} // namespace lcj::test
