#include "common/bytes.h"
#include "samplegame.h"

#include <random>

// Invented scenario scripts and R files. The structures the editor reads are
// laid out as it expects; everything else is invented script that never holds
// a battle-header (44 ?? 45) or spoils (59 ?? 04) signature by chance.
namespace lcj::sample {

namespace {

constexpr int fileHeaderSize = 64;
constexpr quint16 none = 0xFFFF;

// Numbers whose bytes could start a signature are moved one on.
quint16 safe(int v) {
    auto bad = [](int b) { return b == 0x44 || b == 0x59 || b == 0x2E; };
    while (bad(v & 0xFF) || bad((v >> 8) & 0xFF))
        ++v;
    return quint16(v);
}

class Writer {
public:
    explicit Writer(quint32 seed) : rng_(seed) {}
    QByteArray bytes;

    qint64 pos() const { return bytes.size(); }
    void byte(int b) { bytes.append(char(b)); }
    void word(quint16 w) { bytes.append(wordBytes(w)); }
    void words(std::initializer_list<quint16> ws) {
        for (quint16 w : ws)
            word(w);
    }
    // Invented script bytes, all below 0x40.
    void script(int count) {
        for (int i = 0; i < count; ++i)
            byte(std::uniform_int_distribution<int>(0, 0x3F)(rng_));
    }
    int roll(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng_); }

private:
    std::mt19937 rng_;
};

QByteArray slotEntry(Writer& w, int size, int k, bool ally) {
    // Offsets of the enemy entry; the ally entry has them 4 bytes earlier.
    const int s = ally ? 4 : 0;
    QByteArray e(size, '\0');
    for (int i = 0; i < size; ++i)
        setByte(e, i, quint8((i * 7 + k) % 0x40));
    const bool empty = ally ? k % 4 == 3 : k >= 60;
    const int character = ally ? 2 + 3 * k : 100 + 5 * k;
    setWord(e, 2, empty ? none : safe(character));
    const quint16 modes[3] = {0, 1, none};
    setWord(e, 10 - s, modes[k % 3]);
    setWord(e, 14 - s, safe(k % 30 + 1));
    setWord(e, 20 - s, safe(k % 20 + 2));
    setWord(e, 26 - s, quint16(k % 4));
    const quint16 bonuses[5] = {none, 3, 53, 50, 0};
    setWord(e, 30 - s, bonuses[k % 5]);
    setWord(e, 38 - s, quint16(k % 5));
    setWord(e, 42 - s, safe(k * 2));
    setWord(e, 46 - s, safe(w.roll(0, 40)));
    setWord(e, 52 - s, safe(w.roll(0, 40)));
    return e;
}

void armyEntry(Writer& w, int k) {
    const quint16 modes[3] = {0, 1, none};
    w.words({0x4B, 0x04, quint16(k), 0, 0x04, safe(3 + 2 * k), 0, 0x04, safe(10 + k), 0, 0x2B,
             quint16(k % 4), 0x26, modes[k % 3]});
}

void equipEntry(Writer& w, int j) {
    auto code = [](int c) { return quint16(safe(c) & 0xFF); };
    w.words({0x48, 0x02, safe(10 + 5 * j), 0x3B, j % 3 == 2 ? none : code(2 + j % 100), 0x49, none,
             0x3C, j % 4 == 3 ? none : code(j % 30), 0x49, none, 0x3D,
             j % 5 == 4 ? none : code(j % 50)});
}

void spoilsInstruction(Writer& w, int i) {
    w.words({0x59, 0x04, 0x01, 0, 0x17, quint16(7 + i), 0x04, 0, 0, i % 2 ? none : quint16(30 + i),
             0x04, 0, 0, quint16(60 + i)});
}

} // namespace

qint64 scenarioHeaderPos(const ScenarioShape& shape) {
    return fileHeaderSize + shape.scriptBefore;
}

QByteArray scenarioFile(const ScenarioShape& shape) {
    Q_ASSERT(shape.armyEntries >= 0 && shape.armyEntries <= 15);
    Q_ASSERT(shape.equipEntries >= -1 && shape.equipEntries <= 100);
    Writer w(shape.seed);
    // File header: an invented tag and two length words at 14 and 18.
    w.bytes.append("LCJS", 4);
    w.script(fileHeaderSize - 4);
    setWord(w.bytes, 14, quint16(0x1200 + shape.seed % 64));
    setWord(w.bytes, 18, quint16(0x0800 + shape.seed % 64));
    w.script(shape.scriptBefore);

    // Battle header.
    const qint64 p = w.pos();
    w.script(48);
    setByte(w.bytes, p, 0x44);
    setByte(w.bytes, p + 1, 0x00);
    setByte(w.bytes, p + 2, 0x45);
    setByte(w.bytes, p + 14, 30);
    setByte(w.bytes, p + 20, shape.levelBonus);
    setWord(w.bytes, p + 28, 5);
    setWord(w.bytes, p + 36, none);
    for (int k = 0; k < 20; ++k)
        w.bytes.append(slotEntry(w, 52, k, true));
    w.word(0);
    for (int k = 0; k < 80; ++k)
        w.bytes.append(slotEntry(w, 56, k, false));
    w.script(18);

    // Army block.
    w.word(quint16(2 + 28 * shape.armyEntries));
    for (int k = 0; k < shape.armyEntries; ++k)
        armyEntry(w, k);

    // Equipment group, or the bytes a new one is made from.
    if (shape.equipEntries >= 0) {
        w.words({0x00, 0x01, 0x02, 0x05});
        w.script(13);
        w.word(quint16(2 + 26 * shape.equipEntries));
        for (int j = 0; j < shape.equipEntries; ++j)
            equipEntry(w, j);
    } else {
        w.words({0x00, 0x02, 0x05});
        w.script(13);
    }

    const int gap = shape.scriptAfter / (shape.spoils + 1);
    for (int i = 0; i < shape.spoils; ++i) {
        w.script(gap);
        spoilsInstruction(w, i);
    }
    w.script(shape.scriptAfter - gap * shape.spoils);
    return w.bytes;
}

QByteArray rFile(int records, quint32 seed) {
    Writer w(seed);
    w.script(40);
    for (int r = 0; r < records; ++r) {
        const qint64 p = w.pos();
        w.bytes.append("\x2E\x00\x01\x00\x04", 5);
        w.byte(0);
        w.byte(6 + r); // deployed count
        w.script(5);
        for (int k = 0; k < 5; ++k)
            w.words({k == 0 ? safe(1 + r) : (k < 2 + r ? safe(10 * k + r) : none), 0x04});
        for (int k = 0; k < 5; ++k)
            w.words({k < 1 + r ? safe(200 + 10 * k + r) : none, 0x04});
        Q_ASSERT(w.pos() - p == 52);
        w.bytes.chop(2); // the record is 50 bytes
        w.script(30);
    }
    return w.bytes;
}

QList<std::pair<QString, ScenarioShape>> sampleScenarios() {
    ScenarioShape several;
    several.armyEntries = 5;
    several.equipEntries = 3;
    several.spoils = 3;
    ScenarioShape full;
    full.armyEntries = 15;
    full.equipEntries = 2;
    full.spoils = 1;
    full.levelBonus = 14;
    full.seed = 2;
    ScenarioShape noGroup;
    noGroup.armyEntries = 4;
    noGroup.equipEntries = -1;
    noGroup.spoils = 2;
    noGroup.levelBonus = 60;
    noGroup.seed = 3;
    ScenarioShape emptyGroup;
    emptyGroup.armyEntries = 3;
    emptyGroup.equipEntries = 0;
    emptyGroup.spoils = 0;
    emptyGroup.levelBonus = 50;
    emptyGroup.seed = 4;
    return {{QStringLiteral("S_01.eex"), several},
            {QStringLiteral("S_02.eex"), full},
            {QStringLiteral("S_03.eex"), noGroup},
            {QStringLiteral("S_04.eex"), emptyGroup}};
}

QList<SampleFile> sampleScenarioFiles() {
    QList<SampleFile> out;
    int n = 0;
    for (const auto& [name, shape] : sampleScenarios()) {
        ++n;
        out.append({name, scenarioFile(shape)});
        QString rName = name;
        rName[0] = u'R';
        // The first battle's R file holds two records: the later one counts.
        out.append({rName, rFile(n == 1 ? 2 : 1, n)});
    }
    return out;
}

} // namespace lcj::sample
