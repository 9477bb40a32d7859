#pragma once

#include <QString>
#include <optional>
#include <utility>

// A failure as the suite numbers it: the error report, the admin log and the
// lock-retry question all work on these numbers whatever engine produced them.
struct DbError {
    int number = 0;
    QString description;

    bool isLocked() const {
        return number == 3186 || number == 3187 || number == 3188 || number == 3189 ||
               number == 3260 || number == 3000 || number == 8194;
    }
};

namespace ErrorNumber {
inline constexpr int TypeMismatch = 13;
inline constexpr int FileMissing = 53;
inline constexpr int FileAccess = 75; // a file there that cannot be read or written
inline constexpr int FieldMissing = 3018;
inline constexpr int NoCurrentRecord = 3021;
inline constexpr int DuplicateKey = 3022;
inline constexpr int TableMissing = 3024;
inline constexpr int ReadOnly = 3027;
inline constexpr int CorruptDatabase = 3049;
inline constexpr int OpenFailed = 3051;
inline constexpr int RecordLocked = 3186;
inline constexpr int DuplicateName = 3191;
inline constexpr int InvalidFieldType = 3259;
inline constexpr int Unknown = 3146; // "ODBC call failed": any engine error we cannot classify
} // namespace ErrorNumber

// The outcome of an operation that returns nothing: ok, or the error. The
// logic library's errors are DbErrors; a tool with failures of its own (the
// report program's exit codes) names its error type instead.
template <typename E = DbError> class BasicStatus {
public:
    BasicStatus() = default;
    BasicStatus(E error)
        : m_error(std::move(error)) {}

    bool ok() const { return !m_error.has_value(); }
    explicit operator bool() const { return ok(); }
    const E &error() const { return *m_error; }

private:
    std::optional<E> m_error;
};

using Status = BasicStatus<DbError>;

// A value, or the error that prevented it. The error of a value that is
// there is E's empty one.
template <typename T, typename E = DbError> class Result {
public:
    Result(T value)
        : m_value(std::move(value)) {}
    Result(E error)
        : m_error(std::move(error)) {}

    bool ok() const { return m_value.has_value(); }
    explicit operator bool() const { return ok(); }
    T &value() { return *m_value; }
    const T &value() const { return *m_value; }
    T *operator->() { return &*m_value; }
    const T *operator->() const { return &*m_value; }
    T &operator*() { return *m_value; }
    const T &operator*() const { return *m_value; }
    const E &error() const { return m_error; }
    BasicStatus<E> status() const { return ok() ? BasicStatus<E>() : BasicStatus<E>(m_error); }

private:
    std::optional<T> m_value;
    E m_error{};
};
