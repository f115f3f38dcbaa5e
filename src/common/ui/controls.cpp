#include "controls.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace lcj {

namespace {

template <class W>
W* addLabelled(QGridLayout* grid, int row, int column, const QString& objectName,
               const QString& caption) {
    auto* label = new QLabel(caption);
    auto* control = named(new W, objectName);
    label->setBuddy(control);
    grid->addWidget(label, row, column);
    grid->addWidget(control, row, column + 1);
    return control;
}

} // namespace

QLineEdit* addLabelledBox(QGridLayout* grid, int row, int column, const QString& objectName,
                          const QString& caption) {
    return addLabelled<QLineEdit>(grid, row, column, objectName, caption);
}

QComboBox* addLabelledCombo(QGridLayout* grid, int row, int column, const QString& objectName,
                            const QString& caption) {
    return addLabelled<QComboBox>(grid, row, column, objectName, caption);
}

QPushButton* makeButton(QWidget* parent, const QString& objectName, const QString& caption) {
    return named(new QPushButton(caption, parent), objectName);
}

} // namespace lcj
