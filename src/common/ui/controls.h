#pragma once

#include <QString>

class QComboBox;
class QGridLayout;
class QLineEdit;
class QPushButton;
class QWidget;

// Small helpers that build the named controls of the window designs.
namespace lcj {

template <class W> W* named(W* widget, const QString& objectName) {
    widget->setObjectName(objectName);
    return widget;
}

// A caption label at (row, column) and its text box to the right of it.
QLineEdit* addLabelledBox(QGridLayout* grid, int row, int column, const QString& objectName,
                          const QString& caption);

// A caption label at (row, column) and its drop-down list to the right of it.
QComboBox* addLabelledCombo(QGridLayout* grid, int row, int column, const QString& objectName,
                            const QString& caption);

QPushButton* makeButton(QWidget* parent, const QString& objectName, const QString& caption);

} // namespace lcj
