// The chunks in which text reaches a Windows console: no chunk ends between
// the two halves of a character outside the Basic Multilingual Plane, which
// the console would show as two broken characters.
#include "cli/console.h"

#include <QStringList>

#include <gtest/gtest.h>

using namespace lcj::cli;

namespace {

// `text` cut as the console writer cuts it, `limit` code units at most.
QStringList chunks(const QString& text, qsizetype limit) {
    QStringList out;
    const auto* at = reinterpret_cast<const char16_t*>(text.utf16());
    qsizetype left = text.size();
    while (left > 0) {
        const qsizetype n = console::chunkLength(at, left, limit);
        if (n <= 0 || n > limit) {
            ADD_FAILURE() << "a chunk of " << n << " code units, limit " << limit;
            break;
        }
        out << QString(reinterpret_cast<const QChar*>(at), n);
        at += n;
        left -= n;
    }
    return out;
}

} // namespace

TEST(ConsoleChunks, NeverSplitASurrogatePair) {
    // Characters outside the BMP at every offset against every limit.
    const QString pair = QString::fromUtf8("\xF0\xA0\x80\x80"); // 𠀀, two code units
    for (int lead = 0; lead < 5; ++lead) {
        const QString text = QString(lead, u'岚') + pair + u'川' + pair + pair + u'记';
        for (qsizetype limit = 2; limit <= text.size() + 1; ++limit) {
            const QStringList cut = chunks(text, limit);
            EXPECT_EQ(cut.join(QString()), text) << "lead " << lead << " limit " << limit;
            for (const QString& c : cut) {
                EXPECT_FALSE(c.back().isHighSurrogate()) << "lead " << lead << " limit " << limit;
                EXPECT_FALSE(c.front().isLowSurrogate()) << "lead " << lead << " limit " << limit;
            }
        }
    }
}

TEST(ConsoleChunks, TakeWholeLimitsOfPlainText) {
    const QString text(20000, u'岚');
    const QStringList cut = chunks(text, 8192);
    ASSERT_EQ(cut.size(), 3);
    EXPECT_EQ(cut[0].size(), 8192);
    EXPECT_EQ(cut[1].size(), 8192);
    EXPECT_EQ(cut[2].size(), 20000 - 2 * 8192);
}
