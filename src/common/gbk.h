#pragma once

#include "result.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// Every conversion between the game's GBK bytes and text goes through here.
namespace lcj::gbk {

// True when the toolkit can convert GBK; the program refuses to start otherwise.
bool available();

// Decodes bytes as GBK; bytes that are not GBK become replacement characters.
QString decode(QByteArrayView bytes);

// Encodes text as GBK; fails naming the first character GBK has no code for.
Result<QByteArray> encode(const QString& text);

// A fixed-length text field is shown as its bytes up to the first zero byte,
// decoded and trimmed of blanks.
QString decodeField(QByteArrayView field);

// Stores trimmed text in a field of `width` bytes: encoded, cut to the width
// without splitting a two-byte character, padded with zero bytes.
Result<QByteArray> encodeField(const QString& text, int width);

} // namespace lcj::gbk
