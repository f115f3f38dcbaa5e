#include "jsontext.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QSet>
#include <algorithm>
#include <charconv>
#include <cmath>

namespace lcj::changes::json {

namespace {

// Walks JSON text that QJsonDocument has already accepted, so that every
// token is known to be well formed; stops at the first repeated key.
class KeyWalker {
public:
    explicit KeyWalker(QStringView text) : text_(text) {}

    std::optional<DuplicateKey> value(QStringList& path) {
        skipBlanks();
        if (ended())
            return std::nullopt;
        const QChar c = at();
        if (c == u'{')
            return object(path);
        if (c == u'[')
            return array(path);
        if (c == u'"') {
            string();
            return std::nullopt;
        }
        while (pos_ < text_.size() && !QStringView(u",]} \t\r\n").contains(text_[pos_]))
            ++pos_;
        return std::nullopt;
    }

private:
    std::optional<DuplicateKey> object(QStringList& path) {
        ++pos_; // {
        QSet<QString> keys;
        for (;;) {
            skipBlanks();
            if (at() == u'}' || ended())
                break;
            const QString key = string();
            if (keys.contains(key))
                return DuplicateKey{key, path};
            keys.insert(key);
            skipBlanks();
            ++pos_; // :
            path.append(key);
            if (auto found = value(path))
                return found;
            path.removeLast();
            skipBlanks();
            if (at() == u',')
                ++pos_;
        }
        ++pos_; // }
        return std::nullopt;
    }

    std::optional<DuplicateKey> array(QStringList& path) {
        ++pos_; // [
        for (int index = 0;; ++index) {
            skipBlanks();
            if (at() == u']' || ended())
                break;
            path.append(QString::number(index));
            if (auto found = value(path))
                return found;
            path.removeLast();
            skipBlanks();
            if (at() == u',')
                ++pos_;
        }
        ++pos_; // ]
        return std::nullopt;
    }

    // A string token, its escapes resolved, so that "a" and "\u0061" are one key.
    QString string() {
        QString out;
        ++pos_; // "
        while (!ended() && at() != u'"') {
            QChar c = text_[pos_++];
            if (c == u'\\' && !ended()) {
                c = text_[pos_++];
                switch (c.unicode()) {
                case u'b':
                    c = u'\b';
                    break;
                case u'f':
                    c = u'\f';
                    break;
                case u'n':
                    c = u'\n';
                    break;
                case u'r':
                    c = u'\r';
                    break;
                case u't':
                    c = u'\t';
                    break;
                case u'u':
                    c = QChar(char16_t(text_.mid(pos_, 4).toUShort(nullptr, 16)));
                    pos_ = std::min(pos_ + 4, text_.size());
                    break;
                default:
                    break; // \" \\ \/ stand for themselves
                }
            }
            out += c;
        }
        ++pos_; // "
        return out;
    }

    // The character at the walk's position; the walk never reads past the end,
    // whatever text it is given.
    QChar at() const { return ended() ? QChar() : text_[pos_]; }
    bool ended() const { return pos_ >= text_.size(); }

    void skipBlanks() {
        while (pos_ < text_.size() && QStringView(u" \t\r\n").contains(text_[pos_]))
            ++pos_;
    }

    QStringView text_;
    qsizetype pos_ = 0;
};

// QJsonDocument's own writing, for what the quick paths below leave out.
QString viaDocument(const QJsonValue& v) {
    // A one-element array gives QJsonDocument's escaping for any value.
    const QByteArray a = QJsonDocument(QJsonArray{v}).toJson(QJsonDocument::Compact);
    return QString::fromUtf8(a.mid(1, a.size() - 2));
}

void appendQuoted(QString& out, QStringView text) {
    static constexpr char hex[] = "0123456789abcdef";
    out += u'"';
    qsizetype plain = 0; // the start of the run not yet copied
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t u = text[i].unicode();
        if (u >= 0x20 && u != u'"' && u != u'\\')
            continue;
        out += text.mid(plain, i - plain);
        plain = i + 1;
        out += u'\\';
        switch (u) {
        case u'"':
            out += u'"';
            break;
        case u'\\':
            out += u'\\';
            break;
        case u'\b':
            out += u'b';
            break;
        case u'\f':
            out += u'f';
            break;
        case u'\n':
            out += u'n';
            break;
        case u'\r':
            out += u'r';
            break;
        case u'\t':
            out += u't';
            break;
        default:
            out += QLatin1StringView("u00");
            out += QLatin1Char(hex[u >> 4]);
            out += QLatin1Char(hex[u & 0xF]);
        }
    }
    out += text.mid(plain);
    out += u'"';
}

} // namespace

void appendValue(QString& out, const QJsonValue& v) {
    // Written directly for speed: a scenario shows over a thousand values.
    switch (v.type()) {
    case QJsonValue::Null:
        out += QLatin1StringView("null");
        return;
    case QJsonValue::Bool:
        out += v.toBool() ? QLatin1StringView("true") : QLatin1StringView("false");
        return;
    case QJsonValue::Double: {
        const double d = v.toDouble();
        const auto whole = wholeNumber(d);
        if (whole && *whole > -1000000 && *whole < 1000000 && !(d == 0 && std::signbit(d))) {
            char digits[16];
            const auto end = std::to_chars(digits, digits + sizeof digits, *whole).ptr;
            out += QLatin1StringView(digits, end);
            return;
        }
        break;
    }
    case QJsonValue::String: {
        const QString text = v.toString();
        // Lone surrogates are QJsonDocument's to replace.
        if (std::none_of(text.begin(), text.end(), [](QChar c) { return c.isSurrogate(); })) {
            appendQuoted(out, text);
            return;
        }
        break;
    }
    default:
        break;
    }
    out += viaDocument(v);
}

void appendMember(QString& out, QStringView key, const QJsonValue& v) {
    appendQuoted(out, key);
    out += u':';
    appendValue(out, v);
}

QString value(const QJsonValue& v) {
    QString out;
    appendValue(out, v);
    return out;
}

std::optional<DuplicateKey> firstDuplicateKey(QStringView text) {
    QStringList path;
    return KeyWalker(text).value(path);
}

} // namespace lcj::changes::json
