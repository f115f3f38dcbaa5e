#include "jsontext.h"

#include <QSet>

namespace lcj::cli::json {

namespace {

// Walks JSON text that QJsonDocument has already accepted, so that every
// token is known to be well formed; stops at the first repeated key.
class KeyWalker {
public:
    explicit KeyWalker(QStringView text) : text_(text) {}

    std::optional<DuplicateKey> value(QStringList& path) {
        skipBlanks();
        if (pos_ >= text_.size())
            return std::nullopt;
        const QChar c = text_[pos_];
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
            if (text_[pos_] == u'}')
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
            if (text_[pos_] == u',')
                ++pos_;
        }
        ++pos_; // }
        return std::nullopt;
    }

    std::optional<DuplicateKey> array(QStringList& path) {
        ++pos_; // [
        for (int index = 0;; ++index) {
            skipBlanks();
            if (text_[pos_] == u']')
                break;
            path.append(QString::number(index));
            if (auto found = value(path))
                return found;
            path.removeLast();
            skipBlanks();
            if (text_[pos_] == u',')
                ++pos_;
        }
        ++pos_; // ]
        return std::nullopt;
    }

    // A string token, its escapes resolved, so that "a" and "\u0061" are one key.
    QString string() {
        QString out;
        ++pos_; // "
        while (text_[pos_] != u'"') {
            QChar c = text_[pos_++];
            if (c == u'\\') {
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
                    c = QChar(char16_t(text_.sliced(pos_, 4).toUShort(nullptr, 16)));
                    pos_ += 4;
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

    void skipBlanks() {
        while (pos_ < text_.size() && QStringView(u" \t\r\n").contains(text_[pos_]))
            ++pos_;
    }

    QStringView text_;
    qsizetype pos_ = 0;
};

} // namespace

std::optional<DuplicateKey> firstDuplicateKey(QStringView text) {
    QStringList path;
    return KeyWalker(text).value(path);
}

} // namespace lcj::cli::json
