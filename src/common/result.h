#pragma once

#include <QString>
#include <QtGlobal>
#include <optional>
#include <utility>

namespace lcj {

// How a step went: all well (default-constructed, ok()), or a message in
// Chinese that says why not. Where the message is about one field, field() is
// that field's key: a table's column key, or the caption a form's field is
// known by. Never converts to bool: callers ask ok().
class [[nodiscard]] Failure {
public:
    Failure() = default;
    Failure(QString message) : error_(std::move(message)), failed_(true) {}
    Failure(QString message, QString field)
        : error_(std::move(message)), field_(std::move(field)), failed_(true) {}

    bool ok() const { return !failed_; }
    // The message; empty when all went well.
    const QString& error() const { return error_; }
    // The key of the field refused; empty when the failure is about no one field.
    const QString& field() const { return field_; }

private:
    QString error_;
    QString field_;
    bool failed_ = false;
};

// A value, or the failure that says why there is none.
template <class T> class [[nodiscard]] Result {
public:
    Result(T value) : value_(std::move(value)) {}
    // Passes a failure on as it is; `failure` must not be ok().
    Result(Failure failure) : failure_(std::move(failure)) { Q_ASSERT(!failure_.ok()); }
    static Result failure(QString message, QString field = {}) {
        return Result(Failure(std::move(message), std::move(field)));
    }

    bool ok() const { return value_.has_value(); }
    const QString& error() const { return failure_.error(); }
    const QString& field() const { return failure_.field(); }
    // Why there is no value, to pass on; ok() when there is one.
    const Failure& why() const { return failure_; }

    T& operator*() { return *value_; }
    const T& operator*() const { return *value_; }
    T* operator->() { return &*value_; }
    const T* operator->() const { return &*value_; }

private:
    std::optional<T> value_;
    Failure failure_;
};

} // namespace lcj
