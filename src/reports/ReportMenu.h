#pragma once

#include "orders/OrderReports.h"
#include "values/EntryChecks.h"

#include <QDate>
#include <QObject>
#include <QString>
#include <QVariantList>
#include <functional>
#include <memory>
#include <optional>

class ClubSettings;
class Module;
class ReportWorkCopy;

// The listings of the main window's "Reports" menu: event listings, item
// listings, revenue projections and the sheets of the displayed event. Each
// command asks its prompts, copies the selected events (and their items)
// into the operator's report work copy, writes its headings and prints.
class ReportMenu : public QObject {
    Q_OBJECT

public:
    // The report kind each command sets before its listing runs.
    enum Kind {
        Today = 0,
        ThisMonth = 1,
        NextMonth = 2,
        ThisYear = 3,
        DateRangeList = 4,
        ContactsOnly = 5,
        ItemsThisMonth = 20,
        ItemsNextMonth = 21,
        ItemsByDateRange = 22,
        ItemsConsolidated = 23,
        ProjectionThisMonth = 30,
        ProjectionNextMonth = 31,
        ProjectionByDateRange = 32,
    };
    // The sheets of the displayed event.
    enum Sheet { InternalSheet = 0, ExternalSheet = 1, ItemsSheet = 2 };

    // The member filter's answer: 1 members, 2 non-members, 3 both, 4 one
    // account.
    struct MemberFilter {
        int option = 3;
        double account = 0;
    };

    // The dates listings are counted from, as YYYYMMDD numbers.
    struct DateNumbers {
        int today = 0;
        int monthStart = 0;     // YYYYMM00
        int nextMonthStart = 0; // the next month's YYYYMM00, into the next year in December
        int yearStart = 0;      // YYYY0000

        static DateNumbers from(const QDate &date);
    };

    // What a listing selects from evnt and prints.
    struct Listing {
        QString where; // the condition and order after the select list
        QVariantList values;
        QString subtitle;
        QString reportFile;
        bool items = false;        // one row per item, the event's columns first
        bool writeHeadings = true; // else the template's headings row stays
    };

    explicit ReportMenu(Module &module, QObject *parent = nullptr);

    // "Currently Displayed Event": the internal and external sheets and the
    // items list of the event the window shows.
    void printSheet(Sheet sheet);
    // mnueventlist(0..3): Today, This Month, Next Month, This Year.
    void listEvents(int index);
    void listEventsByDateRange();
    void listContacts();
    // mnuitemlist(0..3): this month, next month, by date range, consolidated.
    void listItems(int index);
    // mnurevproj(0..2): this month, next month, by date range.
    void projectRevenue(int index);
    // The displayed event's order, the kitchen's or the client's copy, as it
    // stands: nothing is issued.
    void printOrder(OrderReports::Copy copy);
    // The function sheet and the kitchen production of the dates the
    // operator types, tomorrow offered.
    void printFunctionSheet();
    void printProduction();
    // The displayed event's bill for the client: its items, the payments
    // received and what is left to pay. Refused before the event is
    // confirmed.
    void printClientBill();
    // The payment lines still owing by the dates the operator types (today
    // to the end of the month offered), with those overdue.
    void printPaymentsDue();
    // Every payment received that the accounting staff have yet to post.
    void printPaymentsNotPosted();

    // The member filter's two prompts; none when the operator cancelled.
    std::optional<MemberFilter> askMemberFilter();
    // The selection, subtitle and report file of a listing. range is used by
    // the kinds that ask for one, filter by those that ask for it; the
    // subtitle writes the range's dates as the club does.
    static Listing listing(int kind, const DateNumbers &dates, const MemberFilter &filter,
                           const DateRange &range, const ClubSettings &club);
    static bool asksMemberFilter(int kind);
    static bool asksDateRange(int kind);
    // The date-range prompt's heading for a kind.
    static QString dateRangeHeading(int kind);
    // The account as the subtitles show it: "25.00".
    static QString accountText(double account);

    // Copies what the listing selects into the work copy in one
    // transaction; false after the failure was shown.
    bool copy(const ReportWorkCopy &work, const Listing &listing);
    // A work copy filled for the listing, or for the sheet of the event the
    // module holds, with the request set to print it; null after the
    // failure was shown. The menu commands print them; so does a command
    // without windows.
    std::unique_ptr<ReportWorkCopy> fillListing(const Listing &listing);
    std::unique_ptr<ReportWorkCopy> fillSheet(Sheet sheet);
    static QString sheetFile(Sheet sheet);

    // The kind of the listing last run; 0 once a sheet has printed.
    int ReportKind = 0;

signals:
    // The main window's status line.
    void status(const QString &text);

private:
    // Runs the listing of `kind`: its prompts, the copy and the print.
    void run(int kind);
    bool copyListing(const ReportWorkCopy &work, const Listing &listing);
    bool copyItemListing(const ReportWorkCopy &work, const Listing &listing);
    // The rooms, whose names the layouts print.
    bool copyRooms(const ReportWorkCopy &work);
    // The departments by the names their buttons give them, for the item
    // listings to print.
    bool copyDepartments(const ReportWorkCopy &work);
    void launch(ReportWorkCopy &work);
    // Asks the dates under `heading`, offering `from` and `to`, fills the
    // paper for them and prints it.
    using FillDays = std::unique_ptr<ReportWorkCopy> (*)(Module &, int from, int to);
    void printDays(const QString &heading, FillDays fill, const QDate &from, const QDate &to);
    // Fills the paper, telling the operator to wait meanwhile, and prints it.
    void printFilled(const std::function<std::unique_ptr<ReportWorkCopy>()> &fill);
    // The displayed event's number; 0 after telling the operator none is shown.
    int shownEvent();

    Module &m_module;
};
