#pragma once

#include "fields/fieldtable.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonValue>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <optional>

// JSON text written by hand where the order of keys matters to a reader.
namespace lcj::changes::json {

using fields::wholeNumber;

// A value as compact JSON, written exactly as QJsonDocument writes it.
QString value(const QJsonValue& v);

// The same texts appended to `out`, for text built of many values.
void appendValue(QString& out, const QJsonValue& v);
void appendMember(QString& out, QStringView key, const QJsonValue& v);

inline QString member(const QString& key, const QJsonValue& v) {
    QString out;
    appendMember(out, key, v);
    return out;
}

// A key that an object of the text holds twice (QJsonDocument would silently
// keep only the last), with the keys and array indexes that lead to that object.
struct DuplicateKey {
    QString key;
    QStringList path;
};

// The first repeated key of JSON text that QJsonDocument has accepted.
std::optional<DuplicateKey> firstDuplicateKey(QStringView text);

} // namespace lcj::changes::json
