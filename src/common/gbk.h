#pragma once

#include "result.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <optional>

// Every conversion between the game's GBK bytes and text goes through here.
namespace lcj::gbk {

// True when the toolkit can convert GBK; the program refuses to start otherwise.
bool available();

// Decodes bytes as GBK; bytes that are not GBK become replacement characters.
QString decode(QByteArrayView bytes);

// Decodes bytes that are GBK text throughout, or nothing: a byte or pair that
// is not GBK (80 and FF alone, a pair GBK leaves unassigned or gives to
// user-defined characters), or a character cut off at the end, is refused,
// never replaced.
std::optional<QString> decodeStrict(QByteArrayView bytes);

// Encodes text as GBK; fails naming the first character GBK has no code for.
Result<QByteArray> encode(const QString& text);

// A fixed-length text field is shown as its bytes up to the first zero byte,
// decoded and trimmed of blanks.
QString decodeField(QByteArrayView field);

// The bytes `text` takes in GBK. A character that GBK has no code for counts
// as two bytes: storing it is refused anyway.
int byteCount(QStringView text);

// The bytes a fixed-length field needs for `text`: its trimmed form, counted
// as byteCount() does.
int fieldBytes(const QString& text);

// Stores trimmed text in a field of `width` bytes: encoded, cut to the width
// without splitting a two-byte character, padded with zero bytes.
Result<QByteArray> encodeField(const QString& text, int width);

} // namespace lcj::gbk
