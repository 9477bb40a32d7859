#pragma once

#include "values/Money.h"
#include "values/Result.h"

#include <QDateTime>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>
#include <optional>
#include <span>

class ClubSettings;
class Database;

// The event order: the one sheet per event the kitchen, the bar and the
// floor work from. It keeps what the event row has no room for (the
// timeline, the room's set-up, dietary counts, service notes, each item's
// course) in tables of its own beside the event, and the record of its last
// issue: the revision number, and a fingerprint of each printed section, so
// the next issue knows what changed since.
struct EventOrder {
    // The printed sections, in the order they print; each is marked when it
    // changed since the revision before.
    enum class Section { Event, Timeline, Setup, Menu, Dietary, Service };
    static constexpr int SectionCount = 6;
    static QList<Section> sections();
    // "event", "timeline", ...: the section's stored name.
    static QString sectionKey(Section section);
    // "Event", "Timeline", "Set-up", "Menu", "Dietary counts", "Service notes".
    static QString sectionTitle(Section section);

    struct TimelineLine {
        QString time; // "HH:MM"
        QString what;
        bool operator==(const TimelineLine &) const = default;
    };
    struct DietaryNeed {
        QString need;
        int count = 0;
        bool operator==(const DietaryNeed &) const = default;
    };
    // The last issue of the order: revision 0 until it is first issued.
    struct Issue {
        int revision = 0;
        QString at; // "YYYY-MM-DD HH:MM:SS", the club's wall-clock time
        QString by;
        QList<Section> changed;              // marked on the revision's pages
        QMap<Section, QString> fingerprints; // of each section as issued

        // "Revision 2, issued 12/08/2026 by DEMO", the date as the club writes it.
        QString describe(const ClubSettings &club) const;
    };

    // The set-up.
    QString style;
    int tables = 0;
    int seats = 0;
    QString linen, stage, danceFloor, audioVisual, setupNote;
    // The service notes and who is in charge on the day.
    QString kitchenNote, barNote, floorNote, siteContact, sitePhone;
    QList<TimelineLine> timeline;
    QList<DietaryNeed> dietary;
    // The course each item number is served in, where the office chose one;
    // the others take their department's.
    QMap<int, QString> courses;

    Issue issued;

    // The set-up's and the service's texts: the stored column, the label
    // refusals and the change log name it by, and its stored length (0: a
    // note of any length, logged as changed rather than quoted).
    struct TextField {
        const char *column;
        const char *label;
        int length;
        QString EventOrder::*member;
    };
    static std::span<const TextField> textFields();

    // Everything the office edits (the issue record aside) is the same.
    bool sameDetails(const EventOrder &other) const;
    int dietaryTotal() const;

    // The stored lengths of the lines' texts and of a course.
    static constexpr int StyleLength = 40, WhatLength = 100, NeedLength = 40, CourseLength = 30;
    static constexpr int MaxCount = 99999; // tables, seats and dietary counts
};

// The club's lists for the order window: the set-up styles and the courses
// offered, and the course each department's items default to. Club settings
// (setupstyles, courses: entries separated by ";"; coursebydept:
// "DEPT=Course;..."), with the usual banquet lists where a club sets none.
struct OrderLists {
    static constexpr auto StylesSetting = "setupstyles";
    static constexpr auto CoursesSetting = "courses";
    static constexpr auto CourseByDepartmentSetting = "coursebydept";

    QStringList styles;
    QStringList courses;
    QMap<QString, QString> courseByDepartment; // department code, trimmed -> course

    static OrderLists from(const ClubSettings &club);
    // Why a value cannot be used for one of the three settings; empty when it
    // can, and for any other setting.
    static QString refusal(const QString &setting, const QString &value);
    QString defaultCourse(const QString &department) const;
    // Where a course's items come: in the club's order, then courses it no
    // longer lists, then items without a course.
    int courseRank(const QString &course) const;
};

// Everything an event order prints: the event's own columns, its items with
// their courses, and the order itself.
struct OrderSheet {
    struct Item {
        QString quantity; // as stored, "12" or "2.5"
        int item = 0;
        QString department;
        QString description; // without the quantity the stored one starts with
        Money price, serviceCharge, tax;
        QString course; // chosen, else the department's; empty for none
    };

    int number = 0;
    QString title;
    int date = 0; // YYYYMMDD
    QString start, end;
    int room = 0;
    QString roomName;
    int status = 0;
    int setFor = 0;
    int guarantee = 0;
    QString contact, phone;
    QList<Item> items; // in the order the courses are listed, then as sold
    EventOrder order;

    // The guests the dietary counts are held against: the guarantee, else
    // the number set for.
    int guests() const { return guarantee > 0 ? guarantee : setFor; }
    // A fingerprint of each section's printed content.
    QMap<EventOrder::Section, QString> fingerprints() const;
    // The sections that differ from the last issue; none before the first.
    QList<EventOrder::Section> changedSinceIssue() const;
};

namespace EventOrders {

// The event's order; an empty one when none was ever saved.
Result<EventOrder> read(Database &evnt, int number);
// Writes the order's details over the stored ones, keeping the issue
// record; inside the caller's transaction.
Status write(Database &evnt, int number, const EventOrder &order);
// The event's order sheet; none when the event is not there.
Result<std::optional<OrderSheet>> sheet(Database &evnt, int number, const OrderLists &lists);
// The change-log entries of a save, each ended by a backslash, as the
// event's own: what changed from `before` to `after`.
QString changeTexts(const EventOrder &before, const EventOrder &after);

struct Issued {
    int revision = 0;
    bool raised = false; // false: nothing changed since the last issue
    QList<EventOrder::Section> changed;
    int status = 0;     // the event's, as held
    bool logged = true; // the change log took the issue's line (issueOrder)
};
// Issues the order: in one transaction with the event's row held, raises
// the revision when the order was never issued or a section changed since
// its last issue, and records the sections' fingerprints. The event's own
// change count stays: issuing changes nothing the office edits.
Result<Issued> issue(Database &evnt, int number, const OrderLists &lists, const QString &by,
                     const QDateTime &at);

// The events that have an order; the order rows of an event that is gone
// go with it.
Status removeOrder(Database &evnt, int number);

} // namespace EventOrders
