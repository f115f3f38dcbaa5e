#pragma once

#include <QList>

class QLineEdit;
class QPushButton;
class QWidget;

namespace lcj {

// Enter in any text box inside `frame` presses `button`, as a click would
// (nothing happens while the button is disabled). Filter boxes are left out.
void pressOnEnter(QWidget* frame, QPushButton* button);
// The same for the boxes named.
void pressOnEnter(const QList<QLineEdit*>& boxes, QPushButton* button);

} // namespace lcj
