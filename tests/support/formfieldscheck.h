#pragma once

#include "common/recordfields.h"

#include <QSet>
#include <gtest/gtest.h>

// Checks of a form's field table over two records `a` and `b` of the same kind.
namespace lcj::test {

template <class Form> QStringList shownFields(const QByteArray& record) {
    const Form form = Form::show(record);
    QStringList out;
    for (const auto& f : Form::fields())
        out.append(f.show(form, record));
    return out;
}

// Every field is found by its own caption, and a window asking for a member's
// caption gets that field's.
template <class Form> void expectDistinctFields() {
    QSet<QString> captions;
    QSet<const void*> keys;
    for (const auto& f : Form::fields()) {
        EXPECT_FALSE(f.caption.isEmpty());
        EXPECT_TRUE(f.key);
        captions.insert(f.caption);
        keys.insert(f.key);
    }
    EXPECT_EQ(captions.size(), qsizetype(Form::fields().size()));
    EXPECT_EQ(keys.size(), qsizetype(Form::fields().size()));
}

// Each field of `a` typed with the text `b` shows: the form stores it, `a`
// then shows that text there and every other field as before; or it is refused
// naming the field, with `a` unchanged.
template <class Form> void expectFieldsCarry(const QByteArray& a, const QByteArray& b) {
    const auto& fields = Form::fields();
    const QStringList before = shownFields<Form>(a);
    const QStringList typed = shownFields<Form>(b);
    for (std::size_t i = 0; i < fields.size(); ++i) {
        const auto& f = fields[i];
        QByteArray record = a;
        Form form = Form::show(record);
        auto failure = f.take(form, typed[int(i)]);
        if (failure.ok())
            failure = form.apply(record);
        if (!failure.ok()) {
            EXPECT_TRUE(failure.error().startsWith(f.caption)) << failure.error().toStdString();
            EXPECT_EQ(failure.field(), f.caption) << failure.error().toStdString();
            EXPECT_EQ(record, a) << f.caption.toStdString();
            continue;
        }
        QStringList expected = before;
        expected[int(i)] = typed[int(i)];
        EXPECT_EQ(shownFields<Form>(record), expected) << f.caption.toStdString();
    }
}

// A number far out of every field's range is refused naming the field, and
// the record stays as it was.
template <class Form> void expectOutOfRangeRefused(const QByteArray& a) {
    for (const auto& f : Form::fields()) {
        if (f.text)
            continue;
        QByteArray record = a;
        Form form = Form::show(record);
        auto failure = f.take(form, QStringLiteral("70000"));
        if (failure.ok())
            failure = form.apply(record);
        ASSERT_FALSE(failure.ok()) << f.caption.toStdString();
        EXPECT_TRUE(failure.error().startsWith(f.caption)) << failure.error().toStdString();
        EXPECT_EQ(failure.field(), f.caption) << failure.error().toStdString();
        EXPECT_EQ(record, a);
    }
}

} // namespace lcj::test
