#pragma once

#include "EventPayments.h"
#include "values/EnumArray.h"

#include <QObject>
#include <QString>
#include <optional>

class Module;

// The columns of the payments table, left to right.
enum class PaymentColumn {
    What,
    Due,
    AmountDue,
    Received,
    AmountReceived,
    Reference,
    RecordedBy,
    Posted,
};
inline constexpr int PaymentColumnCount = static_cast<int>(PaymentColumn::Posted) + 1;
inline constexpr auto AllPaymentColumns = enumValues<PaymentColumn, PaymentColumnCount>();

// A date typed for a payment line, as YYYYMMDD: as the event window's date
// box takes it (YYYYMMDD, MMDDYYYY, MMDD for this year) or as the club
// writes it in the table ("06/12/2027"); none for anything else.
std::optional<int> paymentDate(const QString &typed, const ClubSettings &club, const QDate &today);

// "Payments": the payment schedule of the main window's event. Every
// action is one change of the stored schedule, written at once in its own
// transaction (there is nothing to save), after which the window shows the
// schedule as stored and the main window's deposit box what the event's row
// now keeps. Lines and payments are changed at the level that edits events,
// the Posted tick at the billing level.
class PaymentsWindow : public QObject {
    Q_OBJECT

public:
    // One line as the table shows it.
    struct Row {
        int line = 0; // its stored key
        EnumArray<PaymentColumn, QString, PaymentColumnCount> cells;
        bool received = false;
        bool posted = false;
    };
    // What the Record Payment box offers and the operator typed.
    struct PaymentEntry {
        QString date;
        QString amount;
        QString reference;
    };

    explicit PaymentsWindow(Module &module, QObject *parent = nullptr);

    static QString columnTitle(PaymentColumn column);
    // The columns typed into when the window is editable.
    static bool isTyped(PaymentColumn column);

    // Opens on the main window's event; false, with the reason shown, when
    // there is none saved or it cannot be read.
    bool open();
    void close();

    // Apply Terms: the club's usual schedule, after asking when there are
    // lines already.
    bool applyTerms();
    // A line owing what the schedule does not cover yet, due today.
    bool addLine();
    // A typed cell of a row (what, due date, amount due).
    bool editCell(int row, PaymentColumn column, const QString &text);
    bool removeLine(int row);
    // The Record Payment box's first texts: today and what the line owes.
    PaymentEntry paymentFor(int row) const;
    bool recordPayment(int row, const PaymentEntry &typed);
    bool undoPayment(int row);
    bool setPosted(int row, bool posted);

    // Whether the chosen row allows the action; for the view's buttons.
    bool canRemove(int row) const;
    bool canRecord(int row) const;
    bool canUndo(int row) const;
    bool canPost(int row) const;

    // What the window shows.
    bool visible = false;
    bool editable = false; // lines and payments: the level that edits events
    bool postable = false; // the Posted tick: the billing level
    int eventNumber = 0;
    QString caption;      // "Payments - #24 Sullivan-Park Reception"
    QString eventSummary; // the event's date and status
    QList<Row> rows;
    QString pricedText;   // "$6,622.50"
    QString receivedText; // total received
    QString balanceLabel; // "Balance due", or "Credit" when more was received
    QString balanceText;
    QString caution; // the lines do not add up to the priced total
    QString statusText;

signals:
    void changed();
    // The main window's event took a new deposit and change count.
    void eventChanged();

private:
    bool load();
    void show(const PaymentSchedule &schedule);
    const PaymentLine *lineAt(int row) const;
    // Runs one change of the schedule, waiting for a lock as the operator
    // chooses, and shows its outcome; true when it was written.
    bool change(const std::function<
                Result<EventPayments::Changed>(Database &, const EventPayments::Actor &)> &write);
    // A change of one stored line, the chosen row's.
    using LineChange = Result<EventPayments::Changed> (*)(Database &, int, int,
                                                          const EventPayments::Actor &);
    bool changeLine(int row, LineChange write);
    void refuse(const QString &why);
    void takeDeposit(const EventPayments::Changed &changed);

    Module &m_module;
    ClubSettings m_club;
    PaymentSchedule m_schedule;
    Money m_priced;
};
