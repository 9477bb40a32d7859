#pragma once

#include "EventOrder.h"
#include "OrderReports.h"
#include "values/EnumArray.h"

#include <QObject>
#include <QString>
#include <QStringList>

class Module;

// A time of day as the timeline keeps it, "HH:MM" on the 24-hour clock,
// from "19:00", "7:00", "1900" or "7:00 PM"; none for anything else.
std::optional<QString> orderTime(const QString &typed);

// Issues the event's order, waiting for a lock as the operator chooses, and
// logs a raised revision beside the event's own lines ("Event order
// revision 2 issued (changed: Menu)"; not for an enquiry). The window's
// Issue and moravel-club print --issue both come here.
Result<EventOrders::Issued> issueOrder(Module &module, int number, const QString &by);

// The text boxes of the "Event Order" window, in their tab order: the
// order's texts (EventOrder::textFields()) with the two counts after the
// style.
enum class OrderField {
    Style,
    Tables,
    Seats,
    Linen,
    Stage,
    DanceFloor,
    AudioVisual,
    SetupNote,
    KitchenNote,
    BarNote,
    FloorNote,
    SiteContact,
    SitePhone,
};
inline constexpr int OrderFieldCount = static_cast<int>(OrderField::SitePhone) + 1;
inline constexpr auto AllOrderFields = enumValues<OrderField, OrderFieldCount>();

// "Event Order": the order details of the main window's event, edited at
// the level that edits events. The window keeps what the operator typed as
// text; a save reads it, refuses it naming the first field that cannot be
// stored (nothing is written then), and writes the whole order in one
// transaction that raises the event's change count, as the event's own save
// does. An order saved elsewhere since the window read it is never written
// over.
class EventOrderWindow : public QObject {
    Q_OBJECT

public:
    // A line of the timeline (time, what) or of the dietary counts (need,
    // count), as typed.
    struct Line {
        QString first;
        QString second;
        bool operator==(const Line &) const = default;
    };
    // One of the event's items, with the course it is served in.
    struct ItemLine {
        int item = 0;
        QString quantity;
        QString description;
        QString department;
        QString course;
    };

    // The caution's colours as RGB numbers: dark amber on pale cream, seen
    // without reading as an error.
    static constexpr int CautionText = 0x7A4A00;
    static constexpr int CautionBackground = 0xFFF4D6;

    explicit EventOrderWindow(Module &module, QObject *parent = nullptr);

    // The box's label, as the window shows it and a refusal names it.
    static QString fieldLabel(OrderField field);
    // The stored length of a short text; 0 for a count or a note.
    static int fieldLength(OrderField field);

    // Opens on the main window's event; false, with the reason shown, when
    // there is none or it cannot be read.
    bool open();
    // Closes, after asking whether to leave unsaved changes; false when the
    // operator stays.
    bool close();

    void editField(OrderField field, const QString &text);
    // A line at `row`; the row after the last adds one. Both texts empty
    // removes a line on save.
    void editTimeline(int row, const QString &time, const QString &what);
    void editDietary(int row, const QString &need, const QString &count);
    void removeTimeline(int row);
    void removeDietary(int row);
    void chooseCourse(int itemRow, const QString &course);

    // Writes the order; true when it was saved (or had nothing to save).
    bool save();
    // Saves first when there are changes, then issues the order: a new
    // revision when it changed since the last, and prints the kitchen's copy.
    void issue();
    // The kitchen's or the client's copy as it stands, issuing nothing.
    void print(OrderReports::Copy copy);

    // The text a save would refuse; empty when it would save. Exposed for
    // the view to show beside the boxes.
    QString refusal() const;
    // The typed order; valid when refusal() is empty.
    EventOrder typedOrder() const;

    // What the window shows.
    bool visible = false;
    bool editable = false; // the operator's level allows changes and the club is writable
    bool unsaved = false;
    int eventNumber = 0;
    QString caption;      // "Event Order - #12 Sullivan-Park Reception"
    QString eventSummary; // date, times, room and guests on one line
    EnumArray<OrderField, QString, OrderFieldCount> fields;
    QList<Line> timeline;
    QList<Line> dietary;
    QList<ItemLine> items;
    QStringList styles;
    QStringList courses;
    QString revisionText;   // "Revision 2, issued 12/08/2026 by DEMO" or "Not issued yet"
    QString dietaryCaution; // the counts add up to more than the guests
    QString statusText;

signals:
    void changed();

private:
    bool load();
    void edited();
    void updateCaution();

    Module &m_module;
    EventOrder m_stored;
    OrderLists m_lists;
    int m_guests = 0;
    int m_status = 0;
};
