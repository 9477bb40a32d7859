#pragma once

#include <QString>

// A long operation that keeps the window painting between its units of work
// (a year set-up). While one runs, commands that write refuse to start, so
// nothing can slip in between two of its steps or wait on its locks.
class LongOperation {
public:
    // Marks the operation as running until it goes out of scope.
    class Scope {
    public:
        Scope(LongOperation &operation, QString name)
            : m_operation(operation) {
            m_operation.m_name = std::move(name);
        }
        ~Scope() { m_operation.m_name.clear(); }
        Scope(const Scope &) = delete;
        Scope &operator=(const Scope &) = delete;

    private:
        LongOperation &m_operation;
    };

    bool running() const { return !m_name.isEmpty(); }
    const QString &name() const { return m_name; }

private:
    QString m_name;
};
