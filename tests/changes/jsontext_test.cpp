#include "changes/jsontext.h"

#include <QJsonObject>
#include <gtest/gtest.h>

using namespace lcj;

// The hand-written JSON must read back as QJsonDocument writes it, byte for byte.
TEST(JsonText, ValuesAreWrittenAsQJsonDocumentWritesThem) {
    QString controls;
    for (char16_t u = 0; u < 0x20; ++u)
        controls += QChar(u);
    const QJsonValue values[] = {QJsonValue(QJsonValue::Null),
                                 true,
                                 false,
                                 0,
                                 -1,
                                 65535,
                                 999999,
                                 -999999,
                                 1000000,
                                 2.5,
                                 -0.0,
                                 1e20,
                                 0.1,
                                 QString(),
                                 QStringLiteral("林青"),
                                 controls,
                                 QStringLiteral("\"quoted\" back\\slash / \x7f"),
                                 QStringLiteral("表情😀"),
                                 QString(QChar(0xD800)) + u'x',
                                 QJsonArray{1, QStringLiteral("a")},
                                 QJsonObject{{QStringLiteral("k"), 1}}};
    for (const QJsonValue& v : values) {
        const QByteArray a = QJsonDocument(QJsonArray{v}).toJson(QJsonDocument::Compact);
        EXPECT_EQ(changes::json::value(v), QString::fromUtf8(a.mid(1, a.size() - 2)))
            << QString::fromUtf8(a).toStdString();
    }
}

TEST(JsonText, FindsTheFirstRepeatedKeyAndItsPlace) {
    const auto found = changes::json::firstDuplicateKey(
        uR"({"a": [1, {"x": "\"}", "y": 2}], "b": {"c": {"d": 1, "\u0064": 2}}, "b": 3})");
    ASSERT_TRUE(found);
    EXPECT_EQ(found->key, QStringLiteral("d"));
    EXPECT_EQ(found->path, (QStringList{QStringLiteral("b"), QStringLiteral("c")}));
    EXPECT_FALSE(
        changes::json::firstDuplicateKey(uR"([{"a": 1}, {"a": 2}, "a", {"b": {"a": 1}}])"));
}

// Text QJsonDocument would refuse never makes the walk read past its end.
TEST(JsonText, CutTextEndsTheWalk) {
    const QString whole =
        QString::fromUtf16(uR"({"a": [1, {"x": "\u0041\"}"}], "b": {"c": 1, "c": 2}})");
    // The repeat is found once the cut text holds the second key (its closing quote may be cut).
    const qsizetype second = whole.lastIndexOf(QStringLiteral("\"c\"")) + 2;
    for (qsizetype n = 0; n <= whole.size(); ++n)
        EXPECT_EQ(bool(changes::json::firstDuplicateKey(QStringView(whole).first(n))), n >= second)
            << n;
}
