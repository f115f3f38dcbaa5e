#include "common/bytes.h"
#include "common/gbk.h"
#include "common/nametables.h"
#include "samplegame.h"

#include <random>

// The invented save game, message file and stand-in program file. Bytes that
// no editor owns are filled with a pattern of their own, so that a test can
// see that they stay as they were.
namespace lcj::sample {

namespace {

void fillPattern(QByteArray& file, quint32 seed) {
    std::mt19937 rng(seed);
    for (qsizetype i = 0; i < file.size(); ++i)
        setByte(file, i, static_cast<quint8>(rng() & 0xFF));
}

void putText(QByteArray& file, qint64 pos, const QString& text) {
    const auto code = gbk::encodeField(text, 200);
    Q_ASSERT(code.ok());
    file.replace(pos, 200, *code);
}

// Pieces for invented texts; any resemblance to the game's own is accidental.
const QStringList& phrases() {
    static const QStringList list{
        QStringLiteral("生于岚川之畔，少时习武，常于江边观潮。"),
        QStringLiteral("性情沉稳，善察人心，乡里皆称其贤。"),
        QStringLiteral("曾独守孤城三月，粮尽而志不衰。"),
        QStringLiteral("好读兵书，夜半犹秉烛不辍。"),
        QStringLiteral("出身寒门，以一手好箭闻名四方。"),
        QStringLiteral("为人豪爽，\r\n与军中将士同饮同食。"),
        QStringLiteral("精于筹算，军中粮草皆经其手。"),
    };
    return list;
}

const QStringList& lines() {
    static const QStringList list{
        QStringLiteral("此战虽败，来日必当雪耻！"),
        QStringLiteral("伤势太重……先退一步。"),
        QStringLiteral("诸位保重，我去去就回。"),
        QStringLiteral("看招！"),
        QStringLiteral("岚川之水，助我一臂之力！"),
        QStringLiteral("这一击，\r\n你躲得开吗？"),
        QStringLiteral("破！"),
        QStringLiteral("为了百姓，绝不后退！"),
    };
    return list;
}

} // namespace

QByteArray saveGame(quint32 seed) {
    std::mt19937 rng(seed);
    auto roll = [&rng](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };

    QByteArray file(saveGameSize, '\0');
    fillPattern(file, seed + 1000);
    setByte(file, 86, 37); // loyalty
    for (int i = 0; i < 17; ++i)
        setByte(file, 687 + i, static_cast<quint8>(roll(0, 20)));
    setByte(file, 704, 0xA5);
    for (int r = 0; r < 174; ++r) {
        const qint64 at = 5340 + 32 * r;
        setByte(file, at + 0, static_cast<quint8>(r < 30 ? r : 30));
        setByte(file, at + 1, static_cast<quint8>(roll(0, 255)));
        setByte(file, at + 2, static_cast<quint8>(r % 200));
        setByte(file, at + 3, r < 40 ? 0 : 255);
        for (int b = 4; b <= 8; ++b)
            setByte(file, at + b, static_cast<quint8>(roll(40, 120)));
        for (int b = 9; b <= 13; ++b)
            setByte(file, at + b, static_cast<quint8>(roll(20, 50)));
        setWord(file, at + 14, static_cast<quint16>(roll(100, 900)));
        setByte(file, at + 16, static_cast<quint8>(roll(10, 200)));
        setByte(file, at + 17, static_cast<quint8>(r % 53));
        setByte(file, at + 18, static_cast<quint8>(roll(1, 50)));
        setByte(file, at + 19, static_cast<quint8>(roll(0, 99)));
        setByte(file, at + 20, r % 5 == 0 ? 255 : static_cast<quint8>(r % 36));
        setByte(file, at + 21, static_cast<quint8>(roll(1, 9)));
        setByte(file, at + 22, static_cast<quint8>(roll(0, 99)));
        setByte(file, at + 23, r % 7 == 0 ? 255 : static_cast<quint8>(36 + r % 15));
        setByte(file, at + 24, static_cast<quint8>(roll(1, 9)));
        setByte(file, at + 25, static_cast<quint8>(roll(0, 99)));
        setByte(file, at + 26, r % 3 == 0 ? 255 : static_cast<quint8>(51 + r % 36));
        for (int b = 27; b <= 29; ++b)
            setByte(file, at + b, static_cast<quint8>(roll(0, 255)));
        setByte(file, at + 30, static_cast<quint8>(roll(0, 60)));
        setByte(file, at + 31, static_cast<quint8>(roll(0, 10)));
    }
    setByte(file, 10908, 0x5A);
    return file;
}

QByteArray messageFile() {
    QByteArray file(messageFileSize, '\0');
    fillPattern(file, 51);
    auto table = [&file](qint64 offset, int count, auto text) {
        for (int i = 0; i < count; ++i)
            putText(file, offset + 200 * qint64(i), text(i));
    };
    const QStringList& people = names::characters();
    table(0, 104, [](int i) {
        return names::items()[i] + QStringLiteral("：") + phrases()[(i + 3) % phrases().size()];
    });
    table(30000, 68, [](int i) {
        return names::strategies()[i] +
               QStringLiteral("：对一定范围内的部队施展的策略（编号%1）。").arg(i);
    });
    table(50000, 58, [](int i) {
        return QStringLiteral("第%1关　").arg(i + 1) + names::battles()[i] +
               QStringLiteral("。敌军压境，我军须坚守阵地。");
    });
    table(70000, 53, [](int i) {
        return names::troopTypes()[i] + QStringLiteral("：") + phrases()[i % phrases().size()];
    });
    table(90000, 174, [&people](int i) {
        return people[i] + QStringLiteral("，") + phrases()[i % phrases().size()];
    });
    table(130000, 49,
          [](int i) { return lines()[i % lines().size()] + QStringLiteral("（撤退%1）").arg(i); });
    table(140000, 99, [](int i) { return lines()[(i * 3) % lines().size()] + QString::number(i); });
    // The last biography fills its slot to the last byte: 100 two-byte characters.
    putText(file, 90000 + 200 * 173, QString(100, QChar(u'岚')));
    // A slot of three letters, the rest zero.
    putText(file, 130000 + 200 * 48, QStringLiteral("abc"));
    return file;
}

QByteArray programFile() {
    QByteArray file(programFileSize, '\0');
    fillPattern(file, 5);
    for (int r = 0; r < 174; ++r)
        setByte(file, 24793 + r, static_cast<quint8>(r < 30 ? r : 30));
    setByte(file, 24967, 0x77);
    const char switchBytes[] = {'\xEE', '\x12', '\x34', '\x56', '\xEE'};
    file.replace(269801, 5, QByteArray(switchBytes, 5));
    return file;
}

} // namespace lcj::sample
