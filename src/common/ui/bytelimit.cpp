#include "bytelimit.h"

#include "common/gbk.h"
#include "controls.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextCursor>
#include <QTextDocument>
#include <QValidator>

namespace lcj {

// Refuses an edit of a line edit before it reaches the box. A text the
// window shows through show() is taken whatever its size.
class ByteLimit::Validator : public QValidator {
public:
    explicit Validator(ByteLimit* limit) : QValidator(limit), limit_(limit) {}
    State validate(QString& input, int&) const override {
        return limit_->showing_ || limit_->allows(input, limit_->accepted_) ? Acceptable : Invalid;
    }

private:
    ByteLimit* limit_;
};

ByteLimit* ByteLimit::of(QObject* box) {
    return box->findChild<ByteLimit*>(QString(), Qt::FindDirectChildrenOnly);
}

ByteLimit::ByteLimit(QWidget* box, int limit, Measure measure, int characters)
    : QObject(box), box_(box), label_(new QLabel), limit_(limit), characters_(characters),
      measure_(measure) {
    label_->setObjectName(box->objectName() + QStringLiteral("Bytes"));
    taken(QString());
}

ByteLimit::~ByteLimit() {
    if (label_ && !label_->parent())
        delete label_;
}

QLabel* ByteLimit::label() const {
    return label_;
}

ByteLimit* ByteLimit::attach(QLineEdit* box, int limit, int characters) {
    // The characters are counted here too, so that a paste too long for the
    // box is refused whole instead of cut as a maximum length would cut it.
    auto* guard = new ByteLimit(box, limit, gbk::fieldBytes, characters);
    // Only the user's edits are checked; a text the window sets is taken whole.
    box->setValidator(new Validator(guard));
    connect(box, &QLineEdit::textChanged, guard, &ByteLimit::taken);
    guard->taken(box->text());
    return guard;
}

ByteLimit* ByteLimit::attach(QPlainTextEdit* box, int limit, Measure measure) {
    auto* guard = new ByteLimit(box, limit, measure);
    connect(box->document(), &QTextDocument::contentsChange, guard,
            [guard](int at, int removed, int added) {
                ++guard->changes_;
                guard->changeAt_ = at;
                guard->changeRemoved_ = removed;
                guard->changeAdded_ = added;
            });
    connect(box, &QPlainTextEdit::textChanged, guard, &ByteLimit::plainTextChanged);
    guard->taken(box->toPlainText());
    return guard;
}

bool ByteLimit::allows(const QString& text, const QString& before) const {
    // A text longer than the field may still be shortened or edited in place.
    const int bytes = measure_(text);
    const bool characters =
        characters_ < 0 || text.size() <= characters_ || text.size() <= before.size();
    return characters && (bytes <= limit_ || bytes <= measure_(before));
}

void ByteLimit::taken(const QString& text) {
    changes_ = 0;
    accepted_ = text;
    acceptedBytes_ = measure_(text);
    label_->setText(QStringLiteral("已用 %1/%2 字节").arg(acceptedBytes_).arg(limit_));
}

void ByteLimit::show(const QString& text) {
    showing_ = true;
    if (auto* line = qobject_cast<QLineEdit*>(box_))
        line->setText(text);
    else if (auto* plain = qobject_cast<QPlainTextEdit*>(box_))
        plain->setPlainText(text);
    showing_ = false;
    taken(text);
}

void ByteLimit::plainTextChanged() {
    if (reverting_)
        return;
    auto* box = static_cast<QPlainTextEdit*>(box_);
    const QString text = box->toPlainText();
    if (showing_ || allows(text, accepted_)) {
        taken(text);
        return;
    }
    // The edit has reached the document already: put back what it replaced.
    // The two texts differ in one run: the one the document reported when it
    // explains the change, else the run between their common start and end.
    qsizetype head = changeAt_;
    qsizetype tail = accepted_.size() - changeAt_ - changeRemoved_;
    const bool reported = changes_ == 1 && head >= 0 && tail >= 0 &&
                          head + changeAdded_ + tail == text.size() &&
                          QStringView(text).first(head) == QStringView(accepted_).first(head) &&
                          QStringView(text).last(tail) == QStringView(accepted_).last(tail);
    if (!reported) {
        const qsizetype shorter = std::min(text.size(), accepted_.size());
        head = 0;
        while (head < shorter && text[head] == accepted_[head])
            ++head;
        tail = 0;
        while (tail < shorter - head &&
               text[text.size() - 1 - tail] == accepted_[accepted_.size() - 1 - tail])
            ++tail;
    }
    const QString replaced = accepted_.mid(head, accepted_.size() - head - tail);
    reverting_ = true;
    QTextCursor cursor(box->document());
    // One undo step with the refused edit, so that undo never brings it back.
    cursor.joinPreviousEditBlock();
    cursor.setPosition(int(head));
    cursor.setPosition(int(text.size() - tail), QTextCursor::KeepAnchor);
    cursor.insertText(replaced);
    cursor.endEditBlock();
    reverting_ = false;
    changes_ = 0;
    box->setTextCursor(cursor);
}

QLineEdit* addLabelledNameBox(QGridLayout* grid, int row, int column, const QString& objectName,
                              const QString& caption, int limit, int characters) {
    auto* label = new QLabel(caption);
    auto* box = named(new QLineEdit, objectName);
    label->setBuddy(box);
    auto* cell = new QHBoxLayout;
    cell->setContentsMargins(0, 0, 0, 0);
    cell->addWidget(box, 1);
    cell->addWidget(ByteLimit::attach(box, limit, characters)->label());
    grid->addWidget(label, row, column);
    grid->addLayout(cell, row, column + 1);
    return box;
}

} // namespace lcj
