#pragma once

#include "storage/Databases.h"
#include "storage/SharedFile.h"
#include "values/TypedNumber.h"

#include <QString>
#include <QStringList>
#include <QVariantHash>
#include <array>
#include <functional>
#include <memory>
#include <optional>

class ClubSettings;
class Module;
class Transaction;

// What the calling window sets before a report is launched.
struct ReportRequest {
    static constexpr auto ReportProgram = "prinzel.exe";

    QString ReportFile;       // "evntcon1.rpt"
    QString ReportTitle;      // the report program's window title; may be empty
    QString SelectionFormula; // empty means every row
    std::array<QString, 5> DataFiles{};
    int ReportResult = 0;
    // 0 club name, 1 subtitle, 2 sort order, 3 selection, 4 optional top line.
    std::array<QString, 5> ReportHeadings{};
    // The dates of the last report's date-range prompt. Kept apart from the
    // configured account range, which account creation reads.
    int RangeFrom = 0;
    int RangeTo = 0;
    // Set by a command that prints without a workstation: the work copy is
    // made in this folder of its own instead of the operator's copy in the
    // club directory, and the report goes to PdfFile without a preview.
    QString WorkDirectory;
    QString PdfFile;
};

// One table of the report work database and the columns a copy fills.
struct WorkTable {
    QString name;
    QStringList columns;

    // Every column of the report template's table, in its stored order: rows
    // are copied into it by position.
    static WorkTable whole(const QString &name);
    // The columns as a select list, each prefixed with `alias.` when given:
    // a select of the same columns from the shared table fills this one.
    QString selectList(const QString &alias = {}) const;
};

// A row of a work table by column name; columns left out stay empty.
using WorkRow = QVariantHash;
// The rows of work tables, by table name, in the order they are written.
using WorkRows = QList<std::pair<QString, QList<WorkRow>>>;

// The operator's report work database ("rpt05.mdb"), a fresh copy of the
// template. Two operators can share one (23 and 123 both use rpt23.mdb), so
// the copy is locked from its preparation until its report has ended: hold
// this object that long.
class ReportWorkCopy {
public:
    // In the club directory, or in `directory` when one is given.
    ReportWorkCopy(const Databases &databases, QString fileName, const QString &directory = {});

    const QString &fileName() const { return m_fileName; }
    const QString &path() const { return m_path; }
    bool locked() const { return m_lock.locked(); }
    Result<DatabasePtr> open() const;
    // Adds the rows to one of the copy's work tables in one transaction.
    Status append(const QString &table, const QStringList &columns,
                  const QList<QVariantList> &rows) const;
    // Adds rows by column name to whole tables of the template, all in one
    // transaction.
    Status write(const WorkRows &tables) const;

    // Adds rows to some of the copy's tables in one transaction, one by one
    // as they are read elsewhere: the copy keeps all of them or, when
    // commit() is not reached or fails, none.
    class Writer {
    public:
        Writer(const ReportWorkCopy &work, const QList<WorkTable> &tables);
        ~Writer();
        Writer(const Writer &) = delete;
        Writer &operator=(const Writer &) = delete;

        // The failure of opening the copy or preparing its inserts.
        const Status &ready() const { return m_ready; }
        // A row of tables[table] from the values of `source` that start at
        // position `first`, one per column.
        Status add(int table, const QSqlQuery &source, int first = 0);
        Status add(int table, const QVariantList &values);
        Status commit();

    private:
        Status insert(int table, const std::function<QVariant(int)> &value);

        DatabasePtr m_db;
        std::unique_ptr<Transaction> m_transaction;
        QList<QSqlQuery> m_inserts;
        QList<int> m_widths;
        Status m_ready;
    };

private:
    const Databases &m_databases;
    QString m_fileName;
    QString m_path;
    SharedFile::FileLock m_lock;
};

// Report launching: the work copy, its headings, the parameter block for the
// report program, and the operator's print margins.
class ReportLauncher {
public:
    static constexpr int TwipsPerInch = 1440;

    explicit ReportLauncher(Module &module);

    // "rpt" + the last two digits of the operator number + ".mdb".
    static QString workCopyName(int sysUser);
    // "<operator number>printmargin."
    static QString marginFileName(int sysUser);
    // The block the report program reads: one "~"-ended line per value.
    static QString parameterBlock(const ReportRequest &request, int marginTop, int marginLeft);
    // The block's lines that give the club's locale and its own date
    // formats, each after a line break.
    static QString clubFormatLines(const ClubSettings &club);
    // An answer to a margin prompt, in inches from 0 to 3.
    static TypedNumber marginInches(const QString &answer, const QString &which);

    // Copies the template into the operator's work copy (or, with the
    // request's WorkDirectory, into one there) and starts the request's
    // headings anew (0 = the club's name). Null, with the failure shown,
    // when there is no template, the copy fails or another workstation
    // holds the copy.
    std::unique_ptr<ReportWorkCopy> PrepareReportDatabase();
    // Copies every row the select on `database` gives into a table of the
    // copy, by position; how many, or none after the failure was shown.
    std::optional<qsizetype> copyRows(const ReportWorkCopy &work, const QString &database,
                                      const QString &sql, const QVariantList &values,
                                      const QString &table);
    // Writes ReportHeadings into the copy's headings row.
    bool WriteReportHeadings(ReportWorkCopy &work);
    // A fresh work copy for a paper the module writes as it prints: the
    // subtitle as its second heading, the rows written, and the request set
    // to print `layout` from it with no selection. Null after the failure
    // was shown.
    std::unique_ptr<ReportWorkCopy> fillPaper(const QString &layout, const QString &subtitle,
                                              const WorkRows &rows);
    // Runs the report program on the request and waits for it; false when
    // nothing was started or it failed (ReportResult holds its exit code).
    bool LaunchReport(ReportWorkCopy &work);
    // The club's settings, for the texts a report is given; the
    // workstation's where they cannot be read.
    ClubSettings clubSettings() const;
    void LoadPrintMargins();
    void SetPrintMargins();
    void RunPrinterControl();

    int MarginTop = 0;
    int MarginLeft = 0;

private:
    Module &m_module;
};
