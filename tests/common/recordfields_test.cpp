#include "common/recordfields.h"

#include <array>
#include <functional>
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
    EXPECT_TRUE(applyNumbers<Form>(fields, form, record).ok());
    EXPECT_EQ(record, QByteArray("\x07\x26\xFF\xFF\x77", 5));
}

TEST(RecordFields, OneBadFieldChangesNothing) {
    const QByteArray before("\x05\x25\x2C\x01\x77", 5);
    QByteArray record = before;
    const Form form{QStringLiteral("9"), QStringLiteral("511"), QStringLiteral("1")};
    const auto failure = applyNumbers<Form>(fields, form, record);
    ASSERT_FALSE(failure.ok());
    EXPECT_EQ(failure.error(), QStringLiteral("乙：请输入0到510之间的整数"));
    EXPECT_EQ(record, before);
}

TEST(RecordFields, UnchangedTextKeepsItsStoredBytes) {
    // Bytes after the first zero, and bytes that are not GBK, survive a save
    // that leaves the box as shown.
    const QByteArray before("ab\0\x99\xFF\x01", 6);
    QByteArray record = before;
    EXPECT_TRUE(storeText(record, 0, 6, QStringLiteral("姓名"), QStringLiteral(" ab ")).ok());
    EXPECT_EQ(record, before);
    EXPECT_TRUE(storeText(record, 0, 6, QStringLiteral("姓名"), QStringLiteral("abc")).ok());
    EXPECT_EQ(record, QByteArray("abc\0\0\0", 6));
}

TEST(RecordFields, NameLongerThanItsFieldIsRefusedNotCut) {
    const QByteArray before("ab\0\0\0\0", 6);
    QByteArray record = before;
    // Seven letters, or four Chinese characters (8 bytes), do not fit 6 bytes.
    for (const QString& name : {QStringLiteral("abcdefg"), QStringLiteral("岚川记数")}) {
        const Failure refused = storeText(record, 0, 6, QStringLiteral("姓名"), name);
        ASSERT_FALSE(refused.ok());
        EXPECT_TRUE(refused.error().startsWith(QStringLiteral("姓名：")))
            << refused.error().toStdString();
        EXPECT_TRUE(refused.error().contains(QStringLiteral("6字节")));
        EXPECT_EQ(record, before);
    }
    // Exactly the width fits, with no zero left over.
    EXPECT_TRUE(storeText(record, 0, 6, QStringLiteral("姓名"), QStringLiteral(" 岚川记 ")).ok());
    EXPECT_EQ(record, QByteArray("\xE1\xB0\xB4\xA8\xBC\xC7", 6));
}

// How a step went, as every caller reads it: ok() on success only, the message and the
// refused field's key otherwise; a Result built from a failure keeps both.
struct Outcome {
    const char* name;
    std::function<Failure()> step;
    bool ok;
    QString error;
    QString field;
};

class RefusalNamesItsField : public ::testing::TestWithParam<Outcome> {};

TEST_P(RefusalNamesItsField, OkErrorAndField) {
    const Outcome& o = GetParam();
    const Failure f = o.step();
    EXPECT_EQ(f.ok(), o.ok);
    EXPECT_EQ(f.error(), o.error);
    EXPECT_EQ(f.field(), o.field);
}

namespace {

QByteArray record6() {
    return QByteArray("ab\0\0\0\0", 6);
}

const Outcome outcomes[] = {
    {"Success", [] { return Failure(); }, true, {}, {}},
    {"FailureWithoutText", [] { return Failure(QString()); }, false, {}, {}},
    {"FailureAboutNoField",
     [] { return Failure(QStringLiteral("坏了")); },
     false,
     QStringLiteral("坏了"),
     {}},
    {"ResultWithValue", [] { return Result<int>(3).why(); }, true, {}, {}},
    {"ResultFromFailure",
     [] {
         const Result<int> r = Failure(QStringLiteral("甲：不对"), QStringLiteral("甲"));
         return r.ok() ? Failure(QStringLiteral("有值")) : r.why();
     },
     false, QStringLiteral("甲：不对"), QStringLiteral("甲")},
    {"NumberOutOfRange",
     [] {
         QByteArray r = record6();
         return storeNumber(r, 0, FieldKind::Byte, QStringLiteral("武力"), QStringLiteral("256"));
     },
     false, QStringLiteral("武力：请输入0到255之间的整数"), QStringLiteral("武力")},
    {"OneFieldOfMany",
     [] {
         QByteArray r = record6();
         const Form form{QStringLiteral("9"), QStringLiteral("abc"), QStringLiteral("1")};
         return applyNumbers<Form>(fields, form, r);
     },
     false, QStringLiteral("乙：“abc”不是数字，请输入0到510之间的整数"), QStringLiteral("乙")},
    {"NameTooLong",
     [] {
         QByteArray r = record6();
         return storeText(r, 0, 6, QStringLiteral("姓名"), QStringLiteral("abcdefg"));
     },
     false, tooLong(QStringLiteral("姓名"), 7, 6), QStringLiteral("姓名")},
    {"ChoiceNotWhole",
     [] { return parseChoice(QStringLiteral("兵种"), QStringLiteral("3.5")).why(); }, false,
     QStringLiteral("兵种：请输入0到255之间的整数"), QStringLiteral("兵种")},
    {"CodeOutsideTheList",
     [] { return codeToChoice(QStringLiteral("特效"), QStringLiteral("9"), 1, 4, -1).why(); },
     false, QStringLiteral("特效：请输入1到4之间的代码"), QStringLiteral("特效")},
    {"EquipmentPastTheItems",
     [] {
         int entry = 0;
         return takeEquipment(QStringLiteral("武器"), QStringLiteral("200"), 100, entry);
     },
     false, QStringLiteral("武器：请输入0到99之间的道具序号，或255表示无"), QStringLiteral("武器")},
    {"FlagNotZeroOrOne",
     [] { return parseFlag(QStringLiteral("会心"), QStringLiteral("2")).why(); }, false,
     QStringLiteral("会心：请输入0到1之间的整数"), QStringLiteral("会心")},
};

} // namespace

INSTANTIATE_TEST_SUITE_P(Failures, RefusalNamesItsField, ::testing::ValuesIn(outcomes),
                         [](const auto& info) { return std::string(info.param.name); });
