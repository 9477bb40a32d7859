#include "TillCopies.h"

#include "storage/Databases.h"
#include "storage/SchemaBuilder.h"
#include "storage/Transaction.h"
#include "values/TextValue.h"

namespace {

// Where in a routine a failure happened, as the export window shows it.
enum Line {
    Opening = 1,    // opening the databases, beginning, taking the locks
    Preparing = 10, // the clean-up or refresh before the copy
    Emptying = 20,  // checking and emptying the copy
    Copying = 30,
    Committing = 90,
};

// The table's columns as the database has them, in their order,
// lower-cased, as both engines compare them.
Result<QStringList> columnsOf(Database &db, const QString &table) {
    auto found = SchemaBuilder::columnNames(db, table);
    if (!found)
        return found;
    QStringList names;
    for (const QString &column : *found) {
        if (!SqlDialect::isSafeIdentifier(column))
            return DbError{
                ErrorNumber::FieldMissing,
                QStringLiteral("%1 has a column \"%2\" that cannot be copied.").arg(table, column)};
        names << column.toLower();
    }
    return names;
}

// One character of an item's receivables codes: the code's digit, or the
// "0" it starts from when the code is not set.
QChar codeCharacter(const QVariant &code) {
    if (code.isNull())
        return QLatin1Char('0');
    return QString::number(code.toLongLong()).at(0);
}

} // namespace

struct TillCopies::Run {
    DatabasePtr db;
    std::unique_ptr<Transaction> transaction;
};

TillCopies::TillCopies(const Databases &databases, std::function<void(const QString &)> progress,
                       std::function<void()> pause)
    : m_databases(databases)
    , m_progress(std::move(progress))
    , m_pause(std::move(pause)) {}

TillCopies::~TillCopies() = default;

TillCopies::Outcome TillCopies::begin(const QStringList &databases) {
    abandon();
    if (databases.isEmpty())
        return std::nullopt;
    auto db = m_databases.openTogether(databases.first(), databases.mid(1));
    if (!db)
        return Failure{db.error(), Opening};
    auto run = std::make_unique<Run>();
    run->db = std::move(*db);
    run->transaction = std::make_unique<Transaction>(*run->db);
    if (auto failed = at(Opening, run->transaction->begun()))
        return failed;
    m_run = std::move(run);
    return std::nullopt;
}

TillCopies::Outcome TillCopies::finish() {
    if (!m_run)
        return std::nullopt;
    m_pause();
    auto failed = at(Committing, m_run->transaction->commit());
    abandon();
    return failed;
}

void TillCopies::abandon() {
    m_run.reset(); // the transaction rolls back unless committed
    m_own.clear();
}

QStringList TillCopies::buttonTables(int tillCount) {
    QStringList tables;
    for (int till = 1; till <= tillCount; ++till)
        tables << QStringLiteral("buttondef%1").arg(till, 2, 10, QLatin1Char('0'));
    tables << QStringLiteral("optiondef");
    return tables;
}

TillCopies::Outcome TillCopies::at(int line, const Status &status) {
    if (status)
        return std::nullopt;
    return Failure{status.error(), line};
}

TillCopies::Outcome TillCopies::replace(const QString &target, const QStringList &sources,
                                        const QStringList &lockedTables,
                                        const std::function<Outcome(Database &)> &work) {
    if (m_run) {
        Database &db = *m_run->db;
        m_own = target == db.name() ? QString() : target + QLatin1Char('.');
        for (const QString &table : lockedTables) {
            const QString lock = db.dialect().lockTableStatement(own(table));
            if (auto failed = lock.isEmpty() ? std::nullopt : at(Opening, db.execute(lock)))
                return failed;
        }
        return work(db);
    }
    m_own.clear();
    auto db = m_databases.openTogether(target, sources);
    if (!db)
        return Failure{db.error(), Opening};
    Transaction transaction(**db);
    if (auto failed = at(Opening, transaction.begun()))
        return failed;
    for (const QString &table : lockedTables) {
        const QString lock = (*db)->dialect().lockTableStatement(table);
        if (auto failed = lock.isEmpty() ? std::nullopt : at(Opening, (*db)->execute(lock)))
            return failed;
    }
    if (auto failed = work(**db))
        return failed;
    m_pause();
    return at(Committing, transaction.commit());
}

TillCopies::Outcome TillCopies::copyByPosition(Database &db, const QString &table,
                                               const QString &source, const QString &condition) {
    auto targetColumns = columnsOf(db, own(table));
    if (!targetColumns)
        return Failure{targetColumns.error(), Emptying};
    auto sourceColumns = columnsOf(db, source);
    if (!sourceColumns)
        return Failure{sourceColumns.error(), Emptying};
    if (*targetColumns != *sourceColumns)
        return Failure{{ErrorNumber::FieldMissing,
                        QStringLiteral("The point-of-sale copy of %1 does not have the columns of "
                                       "its source; nothing was copied.")
                            .arg(table)},
                       Emptying};
    if (auto failed = at(Emptying, db.execute(QStringLiteral("delete from ") + own(table))))
        return failed;
    m_pause();
    const QString columns = targetColumns->join(QStringLiteral(", "));
    return at(Copying,
              db.execute(QStringLiteral("insert into %1 (%2) select %2 from %3%4")
                             .arg(own(table), columns, source,
                                  condition.isEmpty() ? QString()
                                                      : QStringLiteral(" where ") + condition)));
}

TillCopies::Outcome TillCopies::members() {
    m_progress(QStringLiteral("Updating Members..."));
    const QString table = QStringLiteral("acctinfo");
    return replace(QStringLiteral("qnposmem"), {QStringLiteral("master")}, {table},
                   [this, table](Database &db) -> Outcome {
                       if (auto failed =
                               at(Preparing, db.execute(QStringLiteral(
                                                 "update master.acctinfo set terminated = 0 "
                                                 "where terminated is null"))))
                           return failed;
                       m_pause();
                       return copyByPosition(db, table, QStringLiteral("master.acctinfo"),
                                             QStringLiteral("terminated = 0"));
                   });
}

TillCopies::Outcome TillCopies::employees() {
    m_progress(QStringLiteral("Updating Employees..."));
    return replace(QStringLiteral("qnposemp"), {QStringLiteral("emp")}, {QStringLiteral("empinfo")},
                   [this](Database &db) { return copyEmployees(db); });
}

TillCopies::Outcome TillCopies::copyEmployees(Database &db) {
    if (auto failed = at(
            Emptying, db.execute(QStringLiteral("delete from ") + own(QStringLiteral("empinfo")))))
        return failed;
    m_pause();
    const QString columns = QStringLiteral("empid, emplname, empfname, empmainname, empphone1, "
                                           "empphone2, empstatus, operator, accessnum, pword");
    constexpr int StatusColumn = 6, ColumnCount = 10;
    auto rows = db.exec(
        QStringLiteral("select %1 from emp.empinfo where pword >= 0 order by empid").arg(columns));
    if (!rows)
        return Failure{rows.error(), Copying};
    // Read whole before the first insert: a statement on the connection ends
    // the reading of a result not yet fetched.
    QList<QVariantList> active;
    while (rows->next()) {
        // " 1" and "01" are active as "1" is: the status is read as a number.
        if (numericValue(rows->value(StatusColumn).toString()) != 1)
            continue;
        QVariantList values;
        for (int i = 0; i < ColumnCount; ++i)
            values << rows->value(i);
        active << values;
    }
    auto insert = db.prepare(QStringLiteral("insert into %1 (%2) values (?%3)")
                                 .arg(own(QStringLiteral("empinfo")), columns,
                                      QStringLiteral(", ?").repeated(ColumnCount - 1)));
    if (!insert)
        return Failure{insert.error(), Copying};
    for (const QVariantList &values : active) {
        for (const QVariant &value : values)
            insert->addBindValue(value);
        if (auto failed = at(Copying, db.exec(*insert)))
            return failed;
    }
    return std::nullopt;
}

TillCopies::Outcome TillCopies::inventory() {
    const QString table = QStringLiteral("items");
    return replace(QStringLiteral("qnposinv"), {QStringLiteral("invntory"), QStringLiteral("ar")},
                   {table}, [this, table](Database &db) -> Outcome {
                       if (auto failed = refreshCodes(db))
                           return failed;
                       m_progress(QStringLiteral("Updating Inventory..."));
                       m_pause();
                       return copyByPosition(db, table, QStringLiteral("invntory.items"), {});
                   });
}

// Each sales account's service charge, tax and receivables codes, as ar0
// has them now, go into the items sold on it. A rate ar0 leaves Null keeps
// the items' own; an account without an ar0 row leaves its items alone.
TillCopies::Outcome TillCopies::refreshCodes(Database &db) {
    auto accounts = db.exec(QStringLiteral(
        "select distinct glsales from invntory.items where glsales > 0 order by glsales"));
    if (!accounts)
        return Failure{accounts.error(), Preparing};
    QList<qint64> numbers;
    while (accounts->next())
        numbers << accounts->value(0).toLongLong();
    for (qint64 account : numbers) {
        m_progress(QStringLiteral("Updating ") + QString::number(account));
        m_pause();
        auto code = db.exec(QStringLiteral("select arapplytominimum, arppcode, arinstallcode, "
                                           "artototal, arsrvchg, arsalestax from ar.ar0 where "
                                           "aracctnum = ?"),
                            {account});
        if (!code)
            return Failure{code.error(), Preparing};
        if (!code->next())
            continue;
        QString codes;
        for (int i = 0; i < 4; ++i)
            codes += codeCharacter(code->value(i));
        QStringList assignments{QStringLiteral("arcodes = ?")};
        QVariantList values{codes};
        const char *const rates[] = {"scpct", "taxpct"};
        for (int i = 0; i < 2; ++i) {
            if (code->value(4 + i).isNull())
                continue;
            assignments << QString::fromLatin1(rates[i]) + QStringLiteral(" = ?");
            values << code->value(4 + i);
        }
        values << account;
        if (auto failed = at(Preparing, db.execute(QStringLiteral("update invntory.items set %1 "
                                                                  "where glsales = ?")
                                                       .arg(assignments.join(QStringLiteral(", "))),
                                                   values)))
            return failed;
    }
    return std::nullopt;
}

TillCopies::Outcome TillCopies::buttons(int tillCount) {
    m_progress(QStringLiteral("Updating Tillzo buttons..."));
    const QStringList tables = buttonTables(tillCount);
    return replace(QStringLiteral("qnposh"), {QStringLiteral("invntory")}, tables,
                   [this, tables](Database &db) -> Outcome {
                       for (const QString &table : tables) {
                           m_progress(QStringLiteral("Updating Tillzo ") + table);
                           m_pause();
                           if (auto failed = updateButtons(db, table))
                               return failed;
                       }
                       return std::nullopt;
                   });
}

// An item button takes its item's cost, rates, accounts and department; its
// prices only when none was typed on the button (bretail1 0 or Null), a
// Null price as 0; its codes and bar code only when the item has them. A
// button whose item is gone keeps what it had.
TillCopies::Outcome TillCopies::updateButtons(Database &db, const QString &table) {
    const QString sql =
        QStringLiteral(
            "update %1 as b set bcost = i.avgcost, "
            "bretail = case when %2 then coalesce(i.retail, 0) else b.bretail end, "
            "baltretail = case when %2 then coalesce(i.altretail, 0) else b.baltretail end, "
            "btaxpct = i.taxpct, bscpct = i.scpct, bglsales = i.glsales, bglexp = i.glpurch, "
            "bglcogs = i.glcogs, bgldisc = i.gldisc, "
            "bcodes = case when coalesce(i.arcodes, '') = '' then b.bcodes else i.arcodes end, "
            "bupccode = case when coalesce(i.upccode, '') = '' then b.bupccode "
            "else i.upccode end, "
            "bdeptcode = i.dept "
            "from invntory.items i "
            "where i.itemnumber = b.bitemnumber and (b.btype = 3 or b.btype = 4)")
            .arg(own(table), QStringLiteral("coalesce(b.bretail1, 0) = 0"));
    return at(Copying, db.execute(sql));
}

TillCopies::Outcome TillCopies::renumberButtons(int tillCount, qint64 oldNumber, qint64 newNumber,
                                                const QString &code) {
    const QStringList tables = buttonTables(tillCount);
    return replace(QStringLiteral("qnposh"), {}, tables, [&](Database &db) -> Outcome {
        for (const QString &table : tables) {
            m_progress(QStringLiteral("Updating Tillzo ") + table);
            m_pause();
            if (auto failed = at(Copying, db.execute(QStringLiteral("update %1 set bitemnumber = "
                                                                    "?, bupccode = ? where "
                                                                    "bitemnumber = ?")
                                                         .arg(own(table)),
                                                     {newNumber, code, oldNumber})))
                return failed;
        }
        return std::nullopt;
    });
}
