#pragma once

#include "numberinput.h"
#include "result.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <span>

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

// Parses `text` by the kind's rule and stores it at `offset`; on a refusal the
// record is left as it was and the message names `label`.
Failure storeNumber(QByteArray& record, int offset, FieldKind kind, const QString& label,
                    const QString& text);

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

// All or nothing: the record changes only when every field is valid.
template <class Form>
Failure applyNumbers(std::span<const NumberField<Form>> fields, const Form& form,
                     QByteArray& record) {
    QByteArray staged = record;
    for (const auto& f : fields)
        if (auto failure =
                storeNumber(staged, f.offset, f.kind, QString::fromUtf16(f.label), form.*f.box))
            return failure;
    record = staged;
    return std::nullopt;
}

} // namespace lcj
