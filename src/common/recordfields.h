#pragma once

#include "choice.h"
#include "numberinput.h"
#include "result.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <array>
#include <functional>
#include <span>
#include <vector>

// Number fields of fixed records, described once as data: which box of a form
// shows which bytes of the record, and how.
namespace lcj {

enum class FieldKind {
    Byte,         // 0..255, typed value rounded down
    ByteHalfEven, // 0..255, typed value to the nearest whole number, halves to even
    HalvedByte,   // shown doubled (0..510); typed value rounded down, then halved to even
    Word,         // 16-bit little-endian, 0..65535, rounded down
};

NumberRule ruleFor(FieldKind kind);

QString showNumber(QByteArrayView record, int offset, FieldKind kind);

// A typed number that a field stores as another: a halved field given an odd
// number holds an even one. Nothing stored changes silently: the windows show
// text() in their status line, lcjtool on its error output.
struct Rounded {
    QString caption; // the field's caption, "武力"
    QString typed;   // the text as typed, "85"
    QString stored;  // the value as the box shows it once stored, "84"

    // "武力按2的倍数保存：85 → 84"
    QString text() const;
    bool operator==(const Rounded&) const = default;
};
using Roundings = QList<Rounded>;

// Every rounding of one save in one line, joined by "；"; empty for none.
QString roundingsText(const Roundings& rounded);

// Parses `text` by the kind's rule and stores it at `offset`; on a refusal the
// record is left as it was and the message names `label`. A value stored other
// than typed is added to `rounded`, where given.
Failure storeNumber(QByteArray& record, int offset, FieldKind kind, const QString& label,
                    const QString& text, Roundings* rounded = nullptr);

// Stores a typed name in a text field. A name left as it was shown keeps its
// stored bytes exactly, even bytes that are not GBK or that follow the first zero.
// A name whose GBK form is longer than the field is refused, never cut.
Failure storeText(QByteArray& record, int offset, int width, const QString& label,
                  const QString& text);

// The message for a text of `used` bytes that does not fit a field of `width`.
QString tooLong(const QString& label, int used, int width);

template <class Form> struct NumberField {
    QString Form::*box;
    const char16_t* label; // caption of the box, used in messages
    int offset;            // within the record
    FieldKind kind = FieldKind::Byte;
};

template <class Form>
void showNumbers(std::span<const NumberField<Form>> fields, QByteArrayView record, Form& form) {
    for (const auto& f : fields)
        form.*f.box = showNumber(record, f.offset, f.kind);
}

// All or nothing: the record changes only when every field is valid. What is
// stored other than typed is added to `rounded`, where given, only when the
// record changes.
template <class Form>
Failure applyNumbers(std::span<const NumberField<Form>> fields, const Form& form,
                     QByteArray& record, Roundings* rounded = nullptr) {
    QByteArray staged = record;
    Roundings found;
    for (const auto& f : fields)
        if (auto failure = storeNumber(staged, f.offset, f.kind, QString::fromUtf16(f.label),
                                       form.*f.box, &found);
            !failure.ok())
            return failure;
    record = staged;
    if (rounded)
        rounded->append(found);
    return {};
}

// ---- A form's fields as the user names them

// One field of a form: its caption, the text that stands for it in a table,
// and how a typed text goes back into the form. A typed text only fills the
// form; the form's own apply() decides what reaches the record.
template <class Form> struct FormField {
    QString caption;
    std::function<QString(const Form&, QByteArrayView record)> show;
    std::function<Failure(Form&, const QString& text)> take;
    bool text = false;         // a name rather than a number
    const void* key = nullptr; // the form member it edits (fieldKey), for finding the caption
};

template <class Form> using FormFields = std::vector<FormField<Form>>;

// Tells the members of a form apart whatever their type: the address of the
// member in one default form.
template <class Form> const Form& probeForm() {
    static const Form form{};
    return form;
}
template <class Form, class T> const void* fieldKey(T Form::*member) {
    return &(probeForm<Form>().*member);
}
template <class Form, class T, std::size_t N>
const void* fieldKey(std::array<T, N> Form::*member, int k) {
    return &(probeForm<Form>().*member)[std::size_t(k)];
}

// The caption of the field whose key is `key`; empty when the form has none.
template <class Form> QString captionOf(const FormFields<Form>& fields, const void* key) {
    for (const auto& f : fields)
        if (f.key == key)
            return f.caption;
    return {};
}

// The caption of the field of Form::fields() that edits `member`, as in
// fieldCaption(&CharacterForm::force).
template <class Form, class T> QString fieldCaption(T Form::*member) {
    return captionOf(Form::fields(), fieldKey(member));
}
template <class Form, class T, std::size_t N>
QString fieldCaption(std::array<T, N> Form::*member, int k) {
    return captionOf(Form::fields(), fieldKey(member, k));
}

// A box of the form taken as typed; the form checks it when applied.
template <class Form>
FormField<Form> boxField(const QString& caption, QString Form::*box, bool text = false) {
    return {caption, [box](const Form& f, QByteArrayView) { return f.*box; },
            [box](Form& f, const QString& typed) -> Failure {
                f.*box = typed;
                return {};
            },
            text, fieldKey(box)};
}

// Box k of a row of boxes, taken as typed.
template <class Form, std::size_t N>
FormField<Form> boxField(const QString& caption, std::array<QString, N> Form::*boxes, int k) {
    return {caption, [boxes, k](const Form& f, QByteArrayView) { return (f.*boxes)[k]; },
            [boxes, k](Form& f, const QString& typed) -> Failure {
                (f.*boxes)[k] = typed;
                return {};
            },
            false, fieldKey(boxes, k)};
}

// The number box of `fields` that shows `box`, captioned as its messages are.
template <class Form>
FormField<Form> boxField(std::span<const NumberField<Form>> fields, QString Form::*box) {
    for (const auto& f : fields)
        if (f.box == box)
            return boxField(QString::fromUtf16(f.label), box);
    return boxField(QString(), box);
}

// A typed list choice as its stored number: a whole number 0..max.
Result<qint64> parseChoice(const QString& caption, const QString& text, qint64 max = 255);

// A list whose entry is the stored number itself, typed as that number.
template <class Form> FormField<Form> numberChoiceField(const QString& caption, int Form::*entry) {
    return {caption, [entry](const Form& f, QByteArrayView) { return QString::number(f.*entry); },
            [caption, entry](Form& f, const QString& text) -> Failure {
                const auto value = parseChoice(caption, text);
                if (!value.ok())
                    return value.why();
                f.*entry = int(*value);
                return {};
            },
            false, fieldKey(entry)};
}

// A typed code for a list whose entry p stands for code p + first and whose
// optional entry `noneEntry` (-1 for none) stands for 255.
Result<Choice> codeToChoice(const QString& caption, const QString& text, int first, int entries,
                            int noneEntry);

// An equipment list of a character: entries 0..noneEntry-1 are items, entry
// noneEntry is "无", stored as 255. Typed as the stored number.
QString showEquipment(int entry, int noneEntry);
Failure takeEquipment(const QString& caption, const QString& text, int noneEntry, int& entry);

// A ticked box typed as 1, a clear one as 0.
Result<bool> parseFlag(const QString& caption, const QString& text);

// The stored byte at `offset`, whatever a list makes of it.
QString showStoredByte(QByteArrayView record, int offset);

} // namespace lcj
