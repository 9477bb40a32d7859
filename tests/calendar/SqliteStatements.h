#pragma once

#include <QStringList>
#include <dlfcn.h>
#include <sqlite3.h>

// Records the statements SQLite runs on every connection opened while an
// instance lives, so a test can tell how many queries an operation made.
// It reaches the SQLite library Qt's driver loaded; valid() is false when
// the driver brings its own copy.
class SqliteStatements {
public:
    SqliteStatements() {
        s_current = this;
        void *library = dlopen("libsqlite3.so.0", RTLD_NOW | RTLD_NOLOAD);
        if (!library)
            return;
        m_autoExtension = reinterpret_cast<AutoExtension>(dlsym(library, "sqlite3_auto_extension"));
        m_cancel = reinterpret_cast<AutoExtension>(dlsym(library, "sqlite3_cancel_auto_extension"));
        s_trace = reinterpret_cast<Trace>(dlsym(library, "sqlite3_trace_v2"));
        if (m_autoExtension && m_cancel && s_trace)
            m_valid = m_autoExtension(reinterpret_cast<void (*)()>(&install)) == SQLITE_OK;
    }
    ~SqliteStatements() {
        if (m_valid)
            m_cancel(reinterpret_cast<void (*)()>(&install));
        s_current = nullptr;
    }
    SqliteStatements(const SqliteStatements &) = delete;
    SqliteStatements &operator=(const SqliteStatements &) = delete;

    bool valid() const { return m_valid; }
    // The statements run so far that name the table.
    QStringList on(const QString &table) const {
        return statements.filter(table, Qt::CaseInsensitive);
    }

    QStringList statements;

private:
    using AutoExtension = int (*)(void (*)());
    using Callback = int (*)(unsigned, void *, void *, void *);
    using Trace = int (*)(sqlite3 *, unsigned, Callback, void *);

    static int install(sqlite3 *db, const char **, const void *) {
        return s_trace(db, SQLITE_TRACE_STMT, &traced, nullptr);
    }
    static int traced(unsigned, void *, void *, void *sql) {
        if (s_current)
            s_current->statements << QString::fromUtf8(static_cast<const char *>(sql));
        return 0;
    }

    inline static SqliteStatements *s_current = nullptr;
    inline static Trace s_trace = nullptr;
    AutoExtension m_autoExtension = nullptr;
    AutoExtension m_cancel = nullptr;
    bool m_valid = false;
};
