#pragma once

#include "common/bytes.h"
#include "samplegen/samplegame.h"

#include <QByteArray>

// Hand-built scenario buffers for the core tests: zero bytes with a battle
// header at `p`, an army block of `army` entries and, unless `equip` is -1, an
// equipment group of `equip` entries, then `tail` zero bytes.
namespace lcj::test {

inline QByteArray hex(const char* text) {
    return QByteArray::fromHex(QByteArray(text));
}

struct Built {
    QByteArray bytes;
    qint64 p;    // battle header
    qint64 army; // army block's length word
    qint64 q;    // army block's end
};

inline Built buildScenario(int army, int equip, qint64 p = 40, int tail = 64) {
    Built b;
    b.p = p;
    b.army = p + 5588;
    b.q = b.army + 2 + 28 * army;
    const qint64 groupSize = equip >= 0 ? 23 + 26 * equip : 19;
    b.bytes = QByteArray(b.q + groupSize + tail, '\0');
    setByte(b.bytes, p, 0x44);
    setByte(b.bytes, p + 2, 0x45);
    setWord(b.bytes, 14, 1000);
    setWord(b.bytes, 18, 2000);
    setWord(b.bytes, b.army, quint16(2 + 28 * army));
    for (int k = 0; k < army; ++k) {
        const qint64 e = b.army + 2 + 28 * k;
        setWord(b.bytes, e, 0x4B);
        setByte(b.bytes, e + 4, quint8(k));
        setByte(b.bytes, e + 10, quint8(10 + k));
    }
    if (equip >= 0) {
        setByte(b.bytes, b.q + 2, 0x01);
        setByte(b.bytes, b.q + 4, 0x02);
        setByte(b.bytes, b.q + 6, 0x05);
        setWord(b.bytes, b.q + 21, quint16(2 + 26 * equip));
        for (int j = 0; j < equip; ++j) {
            const qint64 e = b.q + 23 + 26 * j;
            setWord(b.bytes, e, 0x48);
            setWord(b.bytes, e + 4, quint16(20 + j));
            setByte(b.bytes, e + 8, quint8(7 + j));
        }
    } else {
        // The bytes a group can be made from: 00 ?? 02 ?? 05.
        setByte(b.bytes, b.q + 2, 0x02);
        setByte(b.bytes, b.q + 4, 0x05);
    }
    // Marks after the group, so that moved bytes show.
    for (int i = 0; i < tail; ++i)
        setByte(b.bytes, b.bytes.size() - tail + i, quint8(0x80 + i));
    return b;
}

} // namespace lcj::test
