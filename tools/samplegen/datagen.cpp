#include "common/bytes.h"
#include "common/gbk.h"
#include "common/nametables.h"
#include "datafile/datalayout.h"
#include "samplegame.h"

#include <random>

namespace lcj::sample {

namespace {

void putName(QByteArray& file, qint64 pos, int width, const QString& name) {
    const auto code = gbk::encodeField(name, width);
    Q_ASSERT(code.ok());
    file.replace(pos, width, *code);
}

// Writes raw bytes over a name field, for names the encoder would not produce.
void putRaw(QByteArray& file, qint64 pos, QByteArrayView bytes) {
    file.replace(pos, bytes.size(), bytes.toByteArray());
}

} // namespace

QStringList characterNames() {
    QStringList out = names::characters();
    const QString family = QStringLiteral("岚川林江柳沈顾陆叶苏秦韩萧楚白云凌霍方洛卫宁姜谢");
    const QString given = QStringLiteral("青远风澜清岳舟寒临若明松岩霁鸿逸澄朗星宸墨砚溪岑屿昭");
    for (int i = out.size(); i < data::characters.count; ++i) {
        QString name = family[i % family.size()];
        name += given[(i * 7) % given.size()];
        if (i % 3 != 0)
            name += given[(i * 11 + 5) % given.size()];
        out.append(name);
    }
    return out;
}

QByteArray dataFile(quint32 seed) {
    std::mt19937 rng(seed);
    auto roll = [&rng](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };

    // The game's file goes on past the strategy table; so does ours.
    QByteArray file(data::minimumFileSize + 1024, '\0');
    for (qsizetype i = data::minimumFileSize; i < file.size(); ++i)
        setByte(file, i, static_cast<quint8>(roll(0, 255)));
    for (qint64 i = 0; i < data::characters.offset; ++i)
        setByte(file, i, static_cast<quint8>(i * 37 + 11));

    const QStringList people = characterNames();
    for (int c = 0; c < data::characters.count; ++c) {
        const qint64 at = data::characters.recordOffset(c);
        putName(file, at, 12, people[c]);
        setByte(file, at + 12, static_cast<quint8>(roll(0, 255)));
        setByte(file, at + 13, static_cast<quint8>(c % 200));
        setByte(file, at + 14, static_cast<quint8>(roll(0, 255)));
        setByte(file, at + 15, static_cast<quint8>(roll(0, 120)));
        setByte(file, at + 16, static_cast<quint8>(roll(0, 40)));
        setByte(file, at + 17, c < 30 ? 0 : 255);
        for (int a = 18; a <= 22; ++a)
            setByte(file, at + a, static_cast<quint8>(roll(20, 50)));
        setWord(file, at + 23, static_cast<quint16>(roll(80, 400)));
        setByte(file, at + 25, static_cast<quint8>(roll(10, 120)));
        setByte(file, at + 26, static_cast<quint8>(roll(0, 52)));
        setByte(file, at + 27, static_cast<quint8>(roll(1, 30)));
        setByte(file, at + 28, static_cast<quint8>(roll(0, 99)));
        setByte(file, at + 29, c % 4 == 3 ? 255 : static_cast<quint8>(roll(0, 35)));
        setByte(file, at + 30, c % 5 == 4 ? 255 : static_cast<quint8>(roll(36, 50)));
        setByte(file, at + 31, c % 2 == 1 ? 255 : static_cast<quint8>(roll(51, 86)));
    }
    // Names at the edges of the field: six characters fill all 12 bytes with
    // no zero byte; another carries trailing blanks.
    putName(file, data::characters.recordOffset(7), 12, QStringLiteral("岚川长风破浪"));
    putRaw(file, data::characters.recordOffset(8),
           QByteArrayView("\xC1\xD6\xC7\xE0  \0\0\0\0\0\0", 12));

    const QStringList items = names::items();
    for (int i = 0; i < data::items.count; ++i) {
        const qint64 at = data::items.recordOffset(i);
        putName(file, at, 16, items[i]);
        setByte(file, at + 16, static_cast<quint8>(roll(0, 255)));
        int kind;
        if (i < 36)
            kind = (i / 6) * 2 + (i % 6 >= 3 ? 1 : 0); // swords, spears, bows, ...
        else if (i < 51)
            kind = 14 + (i - 36) % 4; // armour and clothes
        else if (i < 87)
            kind = 18 + (i - 51); // auxiliary, effect i - 51
        else
            kind = 63 + (i - 87) % 14; // consumables
        setByte(file, at + 17, static_cast<quint8>(kind));
        setByte(file, at + 18, kind < 18 && i % 3 == 0 ? static_cast<quint8>(roll(18, 62)) : 255);
        setByte(file, at + 19, i % 9 == 0 ? 255 : static_cast<quint8>(roll(1, 120)));
        setByte(file, at + 20, static_cast<quint8>(i));
        setByte(file, at + 21, static_cast<quint8>(roll(5, 60)));
        setByte(file, at + 22, static_cast<quint8>(roll(0, 30)));
        setByte(file, at + 23,
                kind >= 18 && kind < 63 ? static_cast<quint8>(i % 4 == 0 ? 255 : roll(0, 26))
                                        : static_cast<quint8>(roll(0, 20)));
        setByte(file, at + 24, static_cast<quint8>(roll(0, 255)));
    }
    // Codes no list entry stands for: a weapon's special effect past the effect
    // codes, and a consumable kind past the 14 consumable effects.
    setByte(file, data::items.recordOffset(33) + 18, 70);
    setByte(file, data::items.recordOffset(103) + 17, 80);
    setByte(file, data::items.end(), 0x5A); // the byte no table owns

    for (int b = 0; b < data::shops.count; ++b) {
        const qint64 at = data::shops.recordOffset(b);
        for (int k = 0; k < 3; ++k)
            setByte(file, at + k, static_cast<quint8>(roll(0, 255)));
        int slot = 3;
        for (int item = 0; item < 87 && slot < 19; ++item)
            if (roll(0, 9) == 0)
                setByte(file, at + slot++, static_cast<quint8>(item));
        for (; slot < 19; ++slot)
            setByte(file, at + slot, 255);
        slot = 19;
        for (int item = 87; item < 104 && slot < 35; ++item)
            if (roll(0, 2) == 0)
                setByte(file, at + slot++, static_cast<quint8>(item));
        for (; slot < 35; ++slot)
            setByte(file, at + slot, 255);
        // Byte 35 of block 57 is troop type 0's movement, written below.
        if (b < data::shops.count - 1)
            setByte(file, at + 35, static_cast<quint8>(roll(0, 255)));
    }

    for (int t = 0; t < data::troopTypes.count; ++t) {
        const qint64 at = data::troopTypes.recordOffset(t);
        setByte(file, at, static_cast<quint8>(roll(3, 8)));
        setByte(file, at + 1, static_cast<quint8>(t % 16));
        for (int k = 2; k <= 8; ++k)
            setByte(file, at + k, static_cast<quint8>(roll(10, 120)));
        for (int k = 0; k < 18; ++k)
            setByte(file, at + 9 + k, roll(0, 2) == 0 ? 1 : 0);
    }

    for (int c = 0; c < data::terrain.count; ++c) {
        const qint64 at = data::terrain.recordOffset(c);
        for (int k = 0; k < 30; ++k) {
            setByte(file, at + k, static_cast<quint8>(roll(60, 120)));
            setByte(file, at + 30 + k, roll(0, 6) == 0 ? 255 : static_cast<quint8>(roll(1, 4)));
        }
    }

    const QStringList strategies = names::strategies();
    for (int s = 0; s < data::strategies.count; ++s) {
        const qint64 at = data::strategies.recordOffset(s);
        putName(file, at, 10, strategies[s]);
        setByte(file, at + 10, static_cast<quint8>(roll(0, 255)));
        setByte(file, at + 11, static_cast<quint8>(s / 5));
        setByte(file, at + 12, static_cast<quint8>(s < 38 ? 0 : (s < 58 ? 1 : 2)));
        setByte(file, at + 13, static_cast<quint8>(roll(0, 15)));
        setByte(file, at + 14, static_cast<quint8>(roll(0, 6)));
        setByte(file, at + 15, static_cast<quint8>(roll(3, 30)));
        setByte(file, at + 16, static_cast<quint8>(s));
        for (int t = 0; t < 53; ++t)
            setByte(file, at + 17 + t, roll(0, 3) == 0 ? static_cast<quint8>(roll(1, 40)) : 0);
    }
    return file;
}

} // namespace lcj::sample
