#include "fieldtabledelegate.h"

#include "common/ui/bytelimit.h"
#include "fieldtablemodel.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>

#include <algorithm>

namespace lcj::fields {

using Editor = Column::Editor;

namespace {

QLineEdit* lineEditOf(QWidget* editor) {
    if (auto* box = qobject_cast<QLineEdit*>(editor))
        return box;
    return editor->findChild<QLineEdit*>();
}

} // namespace

QWidget* FieldTableDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem&,
                                          const QModelIndex& index) const {
    const int field = model_.fieldOf(index.column());
    if (field < 0)
        return nullptr;
    const Column& column = model_.column(field);
    switch (column.editor) {
    case Editor::List: {
        auto* combo = new QComboBox(parent);
        combo->setObjectName(QStringLiteral("cellList"));
        for (const Entry& e : model_.list(field).entries)
            combo->addItem(e.text, e.value);
        auto* self = const_cast<FieldTableDelegate*>(this);
        // A pick is a commit, as in the window's list.
        connect(combo, &QComboBox::activated, self, [self, combo] {
            emit self->commitData(combo);
            emit self->closeEditor(combo, QAbstractItemDelegate::NoHint);
        });
        return combo;
    }
    case Editor::Name: {
        // The box and, beside it, the bytes used of the field.
        auto* holder = new QWidget(parent);
        holder->setObjectName(QStringLiteral("cellName"));
        holder->setAutoFillBackground(true);
        auto* layout = new QHBoxLayout(holder);
        layout->setContentsMargins(0, 0, 2, 0);
        layout->setSpacing(4);
        auto* box = new QLineEdit(holder);
        box->setObjectName(QStringLiteral("cellBox"));
        box->setFrame(false);
        ByteLimit* limit = ByteLimit::attach(box, column.width);
        layout->addWidget(box, 1);
        layout->addWidget(limit->label());
        holder->setFocusProxy(box);
        return holder;
    }
    case Editor::Flag:
        return nullptr;
    case Editor::Box:
        break;
    }
    auto* box = new QLineEdit(parent);
    box->setObjectName(QStringLiteral("cellBox"));
    box->setFrame(false);
    return box;
}

void FieldTableDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const {
    // An editor is filled once: after a refusal it keeps what was typed.
    if (editor->property("filled").toBool())
        return;
    editor->setProperty("filled", true);
    const QString value = index.data(Qt::EditRole).toString();
    if (auto* combo = qobject_cast<QComboBox*>(editor)) {
        int at = combo->findData(value);
        if (at < 0) {
            // A stored value no entry stands for shows as itself.
            combo->addItem(value, value);
            at = combo->count() - 1;
        }
        combo->setCurrentIndex(at);
        return;
    }
    QLineEdit* box = lineEditOf(editor);
    if (!box)
        return;
    if (ByteLimit* limit = ByteLimit::of(box))
        limit->show(value);
    else
        box->setText(value);
}

void FieldTableDelegate::setModelData(QWidget* editor, QAbstractItemModel* model,
                                      const QModelIndex& index) const {
    if (auto* combo = qobject_cast<QComboBox*>(editor)) {
        model->setData(index, combo->currentData(), Qt::EditRole);
        return;
    }
    if (QLineEdit* box = lineEditOf(editor))
        model->setData(index, box->text(), Qt::EditRole);
}

void FieldTableDelegate::updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                                              const QModelIndex&) const {
    QRect r = option.rect;
    // A name's editor is wide enough for the box and its byte count.
    if (editor->objectName() == u"cellName")
        r.setWidth(std::max(r.width(), editor->sizeHint().width() + 40));
    editor->setGeometry(r);
}

} // namespace lcj::fields
