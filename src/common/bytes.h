#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QtGlobal>

namespace lcj {

// Game numbers are unsigned bytes and little-endian 16-bit words.

inline quint8 byteAt(QByteArrayView bytes, qsizetype pos) {
    return static_cast<quint8>(bytes[pos]);
}

inline quint16 wordAt(QByteArrayView bytes, qsizetype pos) {
    return static_cast<quint16>(byteAt(bytes, pos) | (byteAt(bytes, pos + 1) << 8));
}

inline void setByte(QByteArray& bytes, qsizetype pos, quint8 value) {
    bytes[pos] = static_cast<char>(value);
}

inline void setWord(QByteArray& bytes, qsizetype pos, quint16 value) {
    bytes[pos] = static_cast<char>(value & 0xFF);
    bytes[pos + 1] = static_cast<char>(value >> 8);
}

inline QByteArray wordBytes(quint16 value) {
    QByteArray bytes(2, '\0');
    setWord(bytes, 0, value);
    return bytes;
}

} // namespace lcj
