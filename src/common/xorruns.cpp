#include "xorruns.h"

#include <cstring>
#include <utility>

namespace lcj {

// A step's runs, packed into one byte array:
//   varint  count of runs
//   byte    gapBits, byte lengthBits (the parameters of the two codes below)
//   varint  count of XOR bytes, then the XOR bytes of every run, one after the other
//   bits    for each run: the equal bytes before it (less one after the first run) and its
//           length less one, each in an exponential Golomb code: the value shifted right by
//           its parameter, plus one, in Elias gamma (as many zeros as it has bits after the
//           first, then its bits from the top), then the value's low bits. The parameters are
//           chosen for the step so that the heads take the fewest bits: a step of runs close
//           together spends a few bits on each head, one of runs far apart a few more, and a
//           single far gap costs only its own bits. A step whose runs are all one byte long
//           writes no lengths at all (lengthBits is `allSingle`).
// Runs are found over all buffers read as one stretch, so a run may go on into the next buffer.

namespace {

// A byte array's block: the header before its bytes and the allocator's rounding.
constexpr qint64 blockOverhead = 32;
constexpr int maxCodeBits = 48;
constexpr int allSingle = 0xff;

struct Run {
    qint64 start;
    qint64 length;
};

void putVarint(QByteArray& out, quint64 v) {
    while (v >= 0x80) {
        out.append(char((v & 0x7f) | 0x80));
        v >>= 7;
    }
    out.append(char(v));
}

quint64 getVarint(const uchar*& p) {
    quint64 v = 0;
    int shift = 0;
    while (*p & 0x80) {
        v |= quint64(*p++ & 0x7f) << shift;
        shift += 7;
    }
    v |= quint64(*p++) << shift;
    return v;
}

class BitWriter {
public:
    explicit BitWriter(QByteArray& out) : out_(out) {}
    void bit(bool b) {
        if (b)
            acc_ |= 1u << used_;
        if (++used_ == 8)
            flush();
    }
    void bits(quint64 v, int n) {
        for (int i = 0; i < n; ++i)
            bit((v >> i) & 1);
    }
    void code(quint64 v, int k) {
        const quint64 q = (v >> k) + 1;
        int top = 63;
        while (!((q >> top) & 1))
            --top;
        for (int i = 0; i < top; ++i)
            bit(false);
        for (int i = top; i >= 0; --i)
            bit((q >> i) & 1);
        bits(v, k);
    }
    void finish() {
        if (used_ > 0)
            flush();
    }

private:
    void flush() {
        out_.append(char(acc_));
        acc_ = 0;
        used_ = 0;
    }
    QByteArray& out_;
    unsigned acc_ = 0;
    int used_ = 0;
};

class BitReader {
public:
    explicit BitReader(const uchar* p) : p_(p) {}
    bool bit() {
        const bool b = (*p_ >> used_) & 1;
        if (++used_ == 8) {
            used_ = 0;
            ++p_;
        }
        return b;
    }
    quint64 code(int k) {
        int top = 0;
        while (!bit())
            ++top;
        quint64 q = 1;
        for (int i = 0; i < top; ++i)
            q = q << 1 | quint64(bit());
        quint64 low = 0;
        for (int i = 0; i < k; ++i)
            low |= quint64(bit()) << i;
        return (q - 1) << k | low;
    }

private:
    const uchar* p_;
    int used_ = 0;
};

// The bits of `v` in the code with parameter `k`.
qint64 codeBits(quint64 v, int k) {
    quint64 q = (v >> k) + 1;
    int top = 0;
    while (q >>= 1)
        ++top;
    return 2 * top + 1 + k;
}

// The parameter whose codes of `values` take the fewest bits.
int bestParameter(const std::vector<quint64>& values) {
    int best = 0;
    qint64 bestBits = -1;
    for (int k = 0; k <= maxCodeBits; ++k) {
        qint64 bits = 0;
        for (quint64 v : values)
            bits += codeBits(v, k);
        if (bestBits < 0 || bits < bestBits) {
            best = k;
            bestBits = bits;
        }
    }
    return best;
}

bool sameShape(const std::vector<QByteArray>& a, const std::vector<QByteArray>& b) {
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (a[i].size() != b[i].size())
            return false;
    return true;
}

// The count and sizes of `buffers` in one number (FNV-1a), so that a step is never applied
// to buffers of another shape.
quint64 shapeOf(const std::vector<QByteArray>& buffers) {
    quint64 h = 1469598103934665603ull;
    const auto mix = [&h](quint64 v) {
        for (int i = 0; i < 8; ++i, v >>= 8) {
            h ^= v & 0xff;
            h *= 1099511628211ull;
        }
    };
    mix(buffers.size());
    for (const QByteArray& b : buffers)
        mix(quint64(b.size()));
    return h;
}

// The runs where `before` and `after` differ, and their XOR bytes.
void findRuns(const std::vector<QByteArray>& before, const std::vector<QByteArray>& after,
              std::vector<Run>& runs, QByteArray& data) {
    qint64 base = 0;
    for (size_t b = 0; b < before.size(); ++b) {
        const char* x = before[b].constData();
        const char* y = after[b].constData();
        const qint64 n = before[b].size();
        qint64 i = 0;
        while (i < n) {
            while (i + 8 <= n && std::memcmp(x + i, y + i, 8) == 0)
                i += 8;
            while (i < n && x[i] == y[i])
                ++i;
            if (i == n)
                break;
            const qint64 start = i;
            while (i < n && x[i] != y[i]) {
                data.append(char(x[i] ^ y[i]));
                ++i;
            }
            if (!runs.empty() && runs.back().start + runs.back().length == base + start)
                runs.back().length += i - start;
            else
                runs.push_back({base + start, i - start});
        }
        base += n;
    }
}

QByteArray pack(const std::vector<Run>& runs, const QByteArray& data) {
    std::vector<quint64> gaps;
    std::vector<quint64> lengths;
    gaps.reserve(runs.size());
    lengths.reserve(runs.size());
    qint64 end = 0;
    for (const Run& r : runs) {
        gaps.push_back(quint64(r.start - end - (gaps.empty() ? 0 : 1)));
        lengths.push_back(quint64(r.length - 1));
        end = r.start + r.length;
    }
    const int gapBits = bestParameter(gaps);
    bool single = true;
    for (quint64 l : lengths)
        single = single && l == 0;
    const int lengthBits = single ? allSingle : bestParameter(lengths);
    QByteArray out;
    putVarint(out, runs.size());
    out.append(char(gapBits));
    out.append(char(lengthBits));
    putVarint(out, quint64(data.size()));
    out.append(data);
    BitWriter heads(out);
    for (size_t i = 0; i < runs.size(); ++i) {
        heads.code(gaps[i], gapBits);
        if (lengthBits != allSingle)
            heads.code(lengths[i], lengthBits);
    }
    heads.finish();
    out.squeeze();
    return out;
}

// XORs the runs of `packed` into `buffers`.
void xorInto(const QByteArray& packed, std::vector<QByteArray>& buffers) {
    const uchar* p = reinterpret_cast<const uchar*>(packed.constData());
    const quint64 count = getVarint(p);
    const int gapBits = *p++;
    const int lengthBits = *p++;
    const quint64 dataSize = getVarint(p);
    const uchar* data = p;
    BitReader heads(p + dataSize);
    size_t buffer = 0;
    qint64 base = 0; // where `buffer` starts
    qint64 end = 0;
    for (quint64 i = 0; i < count; ++i) {
        qint64 at = end + qint64(heads.code(gapBits)) + (i == 0 ? 0 : 1);
        qint64 length = lengthBits == allSingle ? 1 : qint64(heads.code(lengthBits)) + 1;
        end = at + length;
        while (length > 0) {
            while (at >= base + buffers[buffer].size())
                base += buffers[buffer++].size();
            QByteArray& b = buffers[buffer];
            char* out = b.data();
            const qint64 here = std::min(length, base + b.size() - at);
            for (qint64 j = 0; j < here; ++j)
                out[at - base + j] ^= char(*data++);
            at += here;
            length -= here;
        }
    }
}

} // namespace

std::optional<XorRuns> XorRuns::between(const std::vector<QByteArray>& before,
                                        const std::vector<QByteArray>& after) {
    if (!sameShape(before, after))
        return std::nullopt;
    std::vector<Run> runs;
    QByteArray data;
    findRuns(before, after, runs, data);
    if (runs.empty())
        return std::nullopt;
    XorRuns step;
    step.runs_ = pack(runs, data);
    step.shape_ = shapeOf(before);
    return step;
}

std::optional<XorRuns> XorRuns::between(const QByteArray& before, const QByteArray& after) {
    return between(std::vector<QByteArray>{before}, std::vector<QByteArray>{after});
}

bool XorRuns::fits(const std::vector<QByteArray>& buffers) const {
    return shapeOf(buffers) == shape_;
}

bool XorRuns::apply(std::vector<QByteArray>& buffers) const {
    if (!fits(buffers))
        return false;
    xorInto(runs_, buffers);
    return true;
}

bool XorRuns::apply(QByteArray& buffer) const {
    std::vector<QByteArray> buffers{std::move(buffer)};
    const bool done = apply(buffers);
    buffer = std::move(buffers.front());
    return done;
}

qint64 XorRuns::cost() const {
    return qint64(sizeof(XorRuns)) + runs_.capacity() + blockOverhead;
}

} // namespace lcj
