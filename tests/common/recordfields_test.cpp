#include "common/recordfields.h"

#include <array>
#include <gtest/gtest.h>

using namespace lcj;

namespace {

struct Form {
    QString a, b, c;
};
const std::array<NumberField<Form>, 3> fields{{
    {&Form::a, u"甲", 0},
    {&Form::b, u"乙", 1, FieldKind::HalvedByte},
    {&Form::c, u"丙", 2, FieldKind::Word},
}};

} // namespace

TEST(RecordFields, ShowAndApplyWalkTheTable) {
    QByteArray record("\x05\x25\x2C\x01\x77", 5);
    Form form;
    showNumbers<Form>(fields, record, form);
    EXPECT_EQ(form.a, QStringLiteral("5"));
    EXPECT_EQ(form.b, QStringLiteral("74"));
    EXPECT_EQ(form.c, QStringLiteral("300"));
    form = {QStringLiteral("7"), QStringLiteral("75"), QStringLiteral("65535")};
    EXPECT_FALSE(applyNumbers<Form>(fields, form, record));
    EXPECT_EQ(record, QByteArray("\x07\x26\xFF\xFF\x77", 5));
}

TEST(RecordFields, OneBadFieldChangesNothing) {
    const QByteArray before("\x05\x25\x2C\x01\x77", 5);
    QByteArray record = before;
    const Form form{QStringLiteral("9"), QStringLiteral("511"), QStringLiteral("1")};
    const auto failure = applyNumbers<Form>(fields, form, record);
    ASSERT_TRUE(failure);
    EXPECT_EQ(*failure, QStringLiteral("乙：请输入0到510之间的整数"));
    EXPECT_EQ(record, before);
}

TEST(RecordFields, UnchangedTextKeepsItsStoredBytes) {
    // Bytes after the first zero, and bytes that are not GBK, survive a save
    // that leaves the box as shown.
    const QByteArray before("ab\0\x99\xFF\x01", 6);
    QByteArray record = before;
    EXPECT_FALSE(storeText(record, 0, 6, QStringLiteral("姓名"), QStringLiteral(" ab ")));
    EXPECT_EQ(record, before);
    EXPECT_FALSE(storeText(record, 0, 6, QStringLiteral("姓名"), QStringLiteral("abc")));
    EXPECT_EQ(record, QByteArray("abc\0\0\0", 6));
}

TEST(RecordFields, NameLongerThanItsFieldIsRefusedNotCut) {
    const QByteArray before("ab\0\0\0\0", 6);
    QByteArray record = before;
    // Seven letters, or four Chinese characters (8 bytes), do not fit 6 bytes.
    for (const QString& name : {QStringLiteral("abcdefg"), QStringLiteral("岚川记数")}) {
        const Failure refused = storeText(record, 0, 6, QStringLiteral("姓名"), name);
        ASSERT_TRUE(refused);
        EXPECT_TRUE(refused->startsWith(QStringLiteral("姓名："))) << refused->toStdString();
        EXPECT_TRUE(refused->contains(QStringLiteral("6字节")));
        EXPECT_EQ(record, before);
    }
    // Exactly the width fits, with no zero left over.
    EXPECT_FALSE(storeText(record, 0, 6, QStringLiteral("姓名"), QStringLiteral(" 岚川记 ")));
    EXPECT_EQ(record, QByteArray("\xE1\xB0\xB4\xA8\xBC\xC7", 6));
}
