#include "gbk.h"

#include "gbkbackend.h"

namespace lcj::gbk {

namespace {

// Length of the GBK character that starts with this byte: 81..FE lead a
// two-byte character; FF, like every byte below 81, stands alone.
int charLength(char lead) {
    const auto b = static_cast<quint8>(lead);
    return b >= 0x81 && b <= 0xFE ? 2 : 1;
}

QByteArray encodeRaw(QStringView text, bool* failed) {
    return backend::encode(text, failed);
}

// True when the bytes end with the first byte of a two-byte character whose
// second byte is missing.
bool endsInsideCharacter(QByteArrayView bytes) {
    qsizetype i = 0;
    while (i < bytes.size()) {
        const auto b = static_cast<quint8>(bytes[i]);
        if (b < 0x81 || b == 0xFF)
            ++i;
        else if (i + 1 == bytes.size())
            return true;
        else {
            const auto t = static_cast<quint8>(bytes[i + 1]);
            i += (t >= 0x40 && t <= 0xFE && t != 0x7F) ? 2 : 1;
        }
    }
    return false;
}

// A character that GBK has no code for comes back as a substitute ('?' or a
// control byte) or as an error; a round trip tells them apart.
bool encodesFaithfully(QStringView ch, const QByteArray& code) {
    if (code.isEmpty())
        return false;
    return decode(code) == ch;
}

} // namespace

bool available() {
    if (!backend::ready())
        return false;
    // 岚 is E1 B0 in GBK: a codec that answers to the name but is not GBK fails here.
    bool failed = false;
    return encodeRaw(u"岚", &failed) == QByteArray("\xE1\xB0", 2) && !failed &&
           decode("\xE1\xB0") == QStringView(u"岚");
}

QString decode(QByteArrayView bytes) {
    // A cut-off character at the end shows as U+FFFD like any other broken
    // byte, never vanishes (it would be lost on the next save).
    if (endsInsideCharacter(bytes))
        return backend::decode(bytes.chopped(1)) + QChar(QChar::ReplacementCharacter);
    return backend::decode(bytes);
}

std::optional<QString> decodeStrict(QByteArrayView bytes) {
    // Every byte stands alone below 80, or leads a pair from 81 to FE whose
    // second byte is 40..FE without 7F; 80 and FF stand for no character.
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<quint8>(bytes[i]);
        if (b < 0x80)
            continue;
        if (b == 0x80 || b == 0xFF || i + 1 == bytes.size())
            return std::nullopt;
        const auto t = static_cast<quint8>(bytes[++i]);
        if (t < 0x40 || t == 0x7F || t == 0xFF)
            return std::nullopt;
    }
    QString text = backend::decode(bytes);
    // Pairs GBK leaves unassigned, or to the user's own characters (the
    // private-use area), are no text the game shows.
    for (QChar c : std::as_const(text))
        if (c == QChar(QChar::ReplacementCharacter) || c.category() == QChar::Other_PrivateUse)
            return std::nullopt;
    // Text that encodes back to other bytes was not read as it is stored.
    bool failed = false;
    if (encodeRaw(text, &failed) != bytes || failed)
        return std::nullopt;
    return text;
}

Result<QByteArray> encode(const QString& text) {
    bool failed = false;
    QByteArray whole = encodeRaw(text, &failed);
    if (!failed && decode(whole) == text)
        return whole;
    // Find the culprit, one character at a time.
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype len = (text[i].isHighSurrogate() && i + 1 < text.size()) ? 2 : 1;
        const QStringView ch = QStringView(text).mid(i, len);
        const QByteArray code = encodeRaw(ch, &failed);
        if (failed || !encodesFaithfully(ch, code))
            return Result<QByteArray>::failure(
                QStringLiteral("“%1”无法用GBK编码表示").arg(ch.toString()));
        i += len;
    }
    return whole;
}

int byteCount(QStringView text) {
    bool failed = false;
    const QByteArray whole = encodeRaw(text, &failed);
    if (!failed && decode(whole) == text)
        return int(whole.size());
    // Count character by character, so that one character without a code
    // does not hide the size of the others.
    int count = 0;
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype len = (text[i].isHighSurrogate() && i + 1 < text.size()) ? 2 : 1;
        const QStringView ch = text.mid(i, len);
        const QByteArray code = encodeRaw(ch, &failed);
        count += (failed || !encodesFaithfully(ch, code)) ? 2 : int(code.size());
        i += len;
    }
    return count;
}

int fieldBytes(const QString& text) {
    return byteCount(QStringView(text).trimmed());
}

QString decodeField(QByteArrayView field) {
    const qsizetype end = field.indexOf('\0');
    return decode(end < 0 ? field : field.first(end)).trimmed();
}

Result<QByteArray> encodeField(const QString& text, int width) {
    auto code = encode(text.trimmed());
    if (!code.ok())
        return code;
    QByteArray out = *code;
    // Cut to the width, never keeping half of a two-byte character.
    qsizetype keep = 0;
    while (keep < out.size() && keep + charLength(out[keep]) <= width)
        keep += charLength(out[keep]);
    out.truncate(keep);
    out.append(width - out.size(), '\0');
    return out;
}

} // namespace lcj::gbk
