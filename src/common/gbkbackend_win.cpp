#include "gbkbackend.h"

#include <limits>

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

namespace lcj::gbk::backend {

namespace {

constexpr UINT kGbk = 936;

bool isLead(quint8 b) {
    return b >= 0x81 && b <= 0xFE;
}

bool isTrail(quint8 b) {
    return b >= 0x40 && b <= 0xFE && b != 0x7F;
}

// Converts the whole run, or returns false when a byte in it is not GBK.
bool decodeStrict(const char* data, int size, QString* out) {
    const int n = MultiByteToWideChar(kGbk, MB_ERR_INVALID_CHARS, data, size, nullptr, 0);
    if (n <= 0)
        return false;
    out->resize(n);
    return MultiByteToWideChar(kGbk, MB_ERR_INVALID_CHARS, data, size,
                               reinterpret_cast<wchar_t*>(out->data()), n) == n;
}

} // namespace

bool ready() {
    return IsValidCodePage(kGbk) != 0;
}

QString decode(QByteArrayView bytes) {
    QString text;
    if (bytes.isEmpty())
        return text;
    if (bytes.size() <= std::numeric_limits<int>::max() &&
        decodeStrict(bytes.data(), static_cast<int>(bytes.size()), &text))
        return text;
    // Some byte is not GBK: one character at a time, U+FFFD for each one that
    // is not. A lead byte takes the next byte only if that can be a trail byte,
    // so a broken pair never swallows the character after it.
    text.clear();
    text.reserve(bytes.size());
    for (qsizetype i = 0; i < bytes.size();) {
        const auto b = static_cast<quint8>(bytes[i]);
        const int len =
            (isLead(b) && i + 1 < bytes.size() && isTrail(static_cast<quint8>(bytes[i + 1]))) ? 2
                                                                                              : 1;
        QString ch;
        if (decodeStrict(bytes.data() + i, len, &ch))
            text += ch;
        else
            text += QChar(QChar::ReplacementCharacter);
        i += len;
    }
    return text;
}

QByteArray encode(QStringView text, bool* failed) {
    *failed = false;
    if (text.isEmpty())
        return {};
    if (text.size() > std::numeric_limits<int>::max()) {
        *failed = true;
        return {};
    }
    const auto* wide = reinterpret_cast<const wchar_t*>(text.utf16());
    const int size = static_cast<int>(text.size());
    // No best fit: a character GBK lacks is refused, never turned into a
    // look-alike; the used-default flag tells that one was met.
    BOOL usedDefault = FALSE;
    const int n = WideCharToMultiByte(kGbk, WC_NO_BEST_FIT_CHARS, wide, size, nullptr, 0, nullptr,
                                      &usedDefault);
    if (n <= 0 || usedDefault) {
        *failed = true;
        return {};
    }
    QByteArray out(n, Qt::Uninitialized);
    usedDefault = FALSE;
    const int written = WideCharToMultiByte(kGbk, WC_NO_BEST_FIT_CHARS, wide, size, out.data(), n,
                                            nullptr, &usedDefault);
    *failed = written != n || usedDefault;
    return out;
}

} // namespace lcj::gbk::backend
