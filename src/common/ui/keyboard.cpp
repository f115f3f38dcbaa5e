#include "keyboard.h"

#include "listfilter.h"

#include <QLineEdit>
#include <QPushButton>

namespace lcj {

void pressOnEnter(QWidget* frame, QPushButton* button) {
    QList<QLineEdit*> boxes;
    for (QLineEdit* box : frame->findChildren<QLineEdit*>())
        if (!qobject_cast<ListFilter*>(box))
            boxes << box;
    pressOnEnter(boxes, button);
}

void pressOnEnter(const QList<QLineEdit*>& boxes, QPushButton* button) {
    for (QLineEdit* box : boxes) {
        QObject::connect(box, &QLineEdit::returnPressed, button, [button] {
            if (button->isEnabled() && button->isVisible())
                button->click();
        });
    }
}

} // namespace lcj
