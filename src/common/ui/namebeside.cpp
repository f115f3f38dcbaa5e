#include "namebeside.h"

#include "placement.h"

#include <QLineEdit>

namespace lcj {

NameBeside::NameBeside(QLineEdit* box, Names names, qint64 noneFrom)
    : box_(box), names_(std::move(names)), noneFrom_(noneFrom) {
    setObjectName(box->objectName() + QStringLiteral("Name"));
    setStyleSheet(QStringLiteral("color: #345;"));
    // Room for a six-character name, so the row does not jump while typing.
    setMinimumWidth(fontMetrics().horizontalAdvance(QStringLiteral("（未知）汉字")));
    if (!placeBeside(box, this))
        setParent(box->parentWidget());
    connect(box, &QLineEdit::textChanged, this, &NameBeside::refresh);
    refresh();
}

void NameBeside::refresh() {
    setText(names::nameForNumber(names_(), box_->text(), noneFrom_));
}

void NameBeside::refreshAll(QWidget* window) {
    for (NameBeside* label : window->findChildren<NameBeside*>())
        label->refresh();
}

} // namespace lcj
