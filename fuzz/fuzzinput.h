#pragma once

#include <QByteArray>
#include <QString>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace lcj::fuzz {

// Takes values off the front of a fuzz input; once it is used up every value is zero.
class Input {
public:
    Input(const std::uint8_t* data, std::size_t size)
        : data_(reinterpret_cast<const char*>(data)), left_(size) {}

    bool empty() const { return left_ == 0; }
    std::size_t left() const { return left_; }

    std::uint8_t byte() {
        if (left_ == 0)
            return 0;
        --left_;
        return static_cast<std::uint8_t>(*data_++);
    }
    // A number in 0..limit-1 (limit > 0).
    int below(int limit) {
        const unsigned v = unsigned(byte()) | (unsigned(byte()) << 8);
        return int(v % unsigned(limit));
    }
    bool flag() { return byte() & 1; }
    // Up to `most` bytes; the first byte says how many.
    QByteArray bytes(int most) {
        const int n = below(most + 1);
        return take(std::size_t(n));
    }
    QByteArray take(std::size_t n) {
        if (n > left_)
            n = left_;
        QByteArray out(data_, qsizetype(n));
        data_ += n;
        left_ -= n;
        return out;
    }
    QByteArray rest() { return take(left_); }
    // Text typed into a box: either a number-like string or raw UTF-8 of the input.
    QString text() {
        switch (byte() % 4) {
        case 0:
            return QString::number(below(2000) - 500);
        case 1:
            return QString::number(below(1000)) + QStringLiteral(".") + QString::number(below(100));
        default:
            return QString::fromUtf8(bytes(40));
        }
    }

private:
    const char* data_;
    std::size_t left_;
};

} // namespace lcj::fuzz

// A property of the program that must hold for every input; a breach is a finding.
#define LCJ_FUZZ_CHECK(cond)                                                                       \
    do {                                                                                           \
        if (!(cond)) {                                                                             \
            std::fprintf(stderr, "%s:%d: property broken: %s\n", __FILE__, __LINE__, #cond);       \
            std::abort();                                                                          \
        }                                                                                          \
    } while (false)
