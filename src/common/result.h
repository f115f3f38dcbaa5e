#pragma once

#include <QString>
#include <optional>
#include <utility>

namespace lcj {

// A failure message in Chinese, or nothing when all went well.
using Failure = std::optional<QString>;

// A value, or the message that says why there is none.
template <class T> class Result {
public:
    Result(T value) : value_(std::move(value)) {}
    static Result failure(QString message) {
        Result r;
        r.error_ = std::move(message);
        return r;
    }

    bool ok() const { return value_.has_value(); }
    explicit operator bool() const { return ok(); }
    const QString& error() const { return error_; }

    T& operator*() { return *value_; }
    const T& operator*() const { return *value_; }
    T* operator->() { return &*value_; }
    const T* operator->() const { return &*value_; }

private:
    Result() = default;
    std::optional<T> value_;
    QString error_;
};

} // namespace lcj
