#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

// The system's own GBK converter, one file per system, chosen at build time:
// gbkbackend_qt.cpp (the toolkit's "GBK" codec, ICU) and gbkbackend_win.cpp
// (code page 936 through Win32). Only gbk.cpp calls these.
namespace lcj::gbk::backend {

// True when the converter exists on this system.
bool ready();

// Bytes to text; a byte or pair that is not GBK becomes U+FFFD.
QString decode(QByteArrayView bytes);

// Text to bytes; *failed is set when a character has no code (the bytes then
// hold a substitute and must not be used).
QByteArray encode(QStringView text, bool* failed);

} // namespace lcj::gbk::backend
