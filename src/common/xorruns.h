#pragma once

#include <QByteArray>
#include <optional>
#include <vector>

namespace lcj {

// What one edit changed in buffers of fixed sizes (a data file, the regions of a region set):
// the runs of before XOR after, so that taking the edit back and making it again apply the
// same runs. It keeps about the bytes changed plus a small head.
//
// The buffers are read as one stretch, one after the other. The runs are stored packed: where
// each run starts (the count of equal bytes since the last one) and its length are written in
// as few bits as their sizes allow, the XOR bytes follow in one piece.
class XorRuns {
public:
    // The runs from `before` to `after` (same count of buffers, each of the same size); none
    // when they are equal or do not match in shape.
    static std::optional<XorRuns> between(const std::vector<QByteArray>& before,
                                          const std::vector<QByteArray>& after);
    static std::optional<XorRuns> between(const QByteArray& before, const QByteArray& after);
    // XORs the runs into `buffers`: takes the edit back from the bytes after it, makes it
    // again on the bytes before it. False and nothing changed when the buffers are not of the
    // shape the runs were taken from.
    bool apply(std::vector<QByteArray>& buffers) const;
    bool apply(QByteArray& buffer) const;
    // Whether `buffers` are of the shape the runs were taken from.
    bool fits(const std::vector<QByteArray>& buffers) const;
    // Memory the runs hold, heads included.
    qint64 cost() const;

private:
    QByteArray runs_;   // packed runs, see xorruns.cpp
    quint64 shape_ = 0; // the count and sizes of the buffers, hashed
};

} // namespace lcj
