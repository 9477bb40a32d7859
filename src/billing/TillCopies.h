#pragma once

#include "values/Result.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>

class Database;
class Databases;

// The point-of-sale system's own copies of the member list, the employee
// list, the inventory and the sale buttons, refreshed from the accounting
// databases.
//
// Each routine replaces its copy in one write transaction that reads the
// source only after it holds the copy's write lock: a till reading meanwhile
// sees the old copy or the new one, never part of either; a failure leaves
// the copy as it was; and two workstations refreshing at once cannot commit
// an older reading over a newer one.
class TillCopies {
public:
    // A routine's failure and where in the routine it happened (the line
    // the export window shows: 10, 20, ...).
    struct Failure {
        DbError error;
        int line = 0;
    };
    using Outcome = std::optional<Failure>; // none: done

    // progress: the status line while a routine works. pause: called
    // between the statements of a routine, so that the window can repaint.
    TillCopies(const Databases &databases, std::function<void(const QString &)> progress,
               std::function<void()> pause);
    ~TillCopies();

    // Active members (terminated 0; a Null terminated is set to 0 first),
    // copied by position into qnposmem.mdb.
    Outcome members();
    // Employees whose status reads as 1 and whose password is not negative,
    // copied by name into qnposemp.mdb.
    Outcome employees();
    // The items' service charge, tax and receivables codes refreshed from
    // their sales account's ar0 row, then every item copied by position
    // into qnposinv.mdb.
    Outcome inventory();
    // The item buttons (types 3 and 4) of tills 1 to tillCount and of
    // optiondef take their item's current prices, accounts and codes.
    Outcome buttons(int tillCount);
    // Every button selling oldNumber sells newNumber with its bar code.
    Outcome renumberButtons(int tillCount, qint64 oldNumber, qint64 newNumber, const QString &code);

    // The button tables of tills 1 to tillCount ("buttondef01", ...), then
    // "optiondef".
    static QStringList buttonTables(int tillCount);

    // The routines run between begin() and finish() are one transaction on
    // one connection, over every database named (the copies they write and
    // the sources they read; the first is the connection's own): a run
    // changes all of its copies or none. Without begin() each routine is a
    // transaction of its own.
    Outcome begin(const QStringList &databases);
    Outcome finish();
    // Drops what the run has done so far.
    void abandon();

private:
    // Runs the routine's statements in one transaction on `target` with
    // `sources` attached; `work` returns the failure of a statement.
    Outcome replace(const QString &target, const QStringList &sources,
                    const QStringList &lockedTables,
                    const std::function<Outcome(Database &)> &work);
    Outcome copyByPosition(Database &db, const QString &table, const QString &source,
                           const QString &condition);
    Outcome refreshCodes(Database &db);
    Outcome copyEmployees(Database &db);
    Outcome updateButtons(Database &db, const QString &table);
    Outcome at(int line, const Status &status);
    // A table of the routine's copy as its connection names it.
    QString own(const QString &table) const { return m_own + table; }

    const Databases &m_databases;
    std::function<void(const QString &)> m_progress;
    std::function<void()> m_pause;
    // The run begun with begin(), while it lasts.
    struct Run;
    std::unique_ptr<Run> m_run;
    QString m_own; // "qnposmem." for a copy attached to the run's connection
};
