#include "EventOrderWindow.h"

#include "events/ChangeLog.h"
#include "ports/Clock.h"
#include "ports/Messages.h"
#include "ports/ReportLauncher.h"
#include "session/ClubSettings.h"
#include "session/Module.h"
#include "storage/EventChanges.h"
#include "storage/Transaction.h"
#include "values/TypedNumber.h"

#include <QRegularExpression>

namespace {

const QString EventDatabase = QStringLiteral("evnt");
const QString WindowTitle = QStringLiteral("Event Order");

// The text a box edits; none for the two counts.
const EventOrder::TextField *textField(OrderField field) {
    if (field == OrderField::Tables || field == OrderField::Seats)
        return nullptr;
    // The boxes follow the order's texts, with the counts after the style.
    const int at = field == OrderField::Style ? 0 : int(field) - 2;
    return &EventOrder::textFields()[at];
}

// A count as every box that takes a number reads it, a whole number from 0
// to the most a count may be; an empty box is 0.
std::optional<int> wholeNumber(const QString &text) {
    static const TypedNumber::Bounds counts =
        TypedNumber::of(Schema::ColumnType::Long)
            .atLeast(Decimal())
            .atMost(Decimal::fromInteger(EventOrder::MaxCount))
            .withDecimals(0);
    const TypedNumber typed = TypedNumber::read(text, QString(), counts);
    if (typed.isEmpty())
        return 0;
    if (!typed.isNumber())
        return std::nullopt;
    return typed.value().toString().toInt();
}

QString countRefusal(const QString &what, const QString &text) {
    return QStringLiteral("%1: \"%2\" is not a whole number from 0 to %3.")
        .arg(what, text.trimmed())
        .arg(EventOrder::MaxCount);
}

QString lengthRefusal(const QString &what, int length, qsizetype typed) {
    return QStringLiteral("%1: at most %2 characters (this has %3).")
        .arg(what)
        .arg(length)
        .arg(typed);
}

} // namespace

// A time of day as the timeline keeps it, "HH:MM" on the 24-hour clock,
// from "19:00", "7:00", "1900" or "7:00 PM"; none for anything else.
std::optional<QString> orderTime(const QString &typed) {
    const QString text = typed.trimmed().toUpper().remove(QLatin1Char(' '));
    static const QRegularExpression clock(QStringLiteral("^([0-9]{1,2}):?([0-9]{2})(AM|PM|A|P)?$"));
    const auto match = clock.match(text);
    if (!match.hasMatch())
        return std::nullopt;
    int hour = match.captured(1).toInt();
    const int minute = match.captured(2).toInt();
    const QString half = match.captured(3);
    if (!half.isEmpty()) {
        if (hour < 1 || hour > 12)
            return std::nullopt;
        hour = hour % 12 + (half.startsWith(QLatin1Char('P')) ? 12 : 0);
    }
    if (hour > 23 || minute > 59)
        return std::nullopt;
    return QStringLiteral("%1:%2")
        .arg(hour, 2, 10, QLatin1Char('0'))
        .arg(minute, 2, 10, QLatin1Char('0'));
}

namespace {

QString issueLogEntry(const EventOrders::Issued &issued) {
    QStringList titles;
    for (EventOrder::Section section : issued.changed)
        titles << EventOrder::sectionTitle(section);
    return ChangeLog::field(
        QStringLiteral("Event order revision %1 issued").arg(issued.revision) +
        (titles.isEmpty()
             ? QString()
             : QStringLiteral(" (changed: %1)").arg(titles.join(QLatin1String(", ")))));
}

} // namespace

Result<EventOrders::Issued> issueOrder(Module &module, int number, const QString &by) {
    auto evnt = module.databases.open(EventDatabase);
    if (!evnt)
        return evnt.error();
    const OrderLists lists = OrderLists::from(ReportLauncher(module).clubSettings());
    Result<EventOrders::Issued> issued(EventOrders::Issued{});
    const Status done = module.messages.RetryWhileLocked([&]() -> Status {
        issued = EventOrders::issue(**evnt, number, lists, by, module.ports.clock.now());
        return issued.status();
    });
    if (!done)
        return done.error();
    // Enquiries change too often to be worth the words, as the event's own.
    if (issued->raised && issued->status > 1)
        issued->logged = logEventChange(module, number, issueLogEntry(*issued));
    return issued;
}

EventOrderWindow::EventOrderWindow(Module &module, QObject *parent)
    : QObject(parent)
    , m_module(module) {}

QString EventOrderWindow::fieldLabel(OrderField field) {
    if (const auto *text = textField(field))
        return QString::fromLatin1(text->label);
    return field == OrderField::Tables ? QStringLiteral("Tables") : QStringLiteral("Seats");
}

int EventOrderWindow::fieldLength(OrderField field) {
    const auto *text = textField(field);
    return text ? text->length : 0;
}

bool EventOrderWindow::open() {
    const int number = m_module.event.EventNumber;
    if (number <= 0) {
        m_module.messages.show(QStringLiteral("No event has been selected..."), WindowTitle,
                               Icon::Information);
        return false;
    }
    eventNumber = number;
    if (!load())
        return false;
    visible = true;
    emit changed();
    return true;
}

bool EventOrderWindow::load() {
    DatabasePtr evnt = m_module.access.open(EventDatabase);
    if (!evnt)
        return false;
    const ClubSettings club = ReportLauncher(m_module).clubSettings();
    m_lists = OrderLists::from(club);
    auto sheet = EventOrders::sheet(*evnt, eventNumber, m_lists);
    if (!sheet) {
        m_module.messages.ShowErrorCodes(sheet.error());
        return false;
    }
    if (!sheet->has_value()) {
        m_module.messages.show(QStringLiteral("Event #%1 is not saved (or was deleted at another "
                                              "workstation); its order opens once the event "
                                              "is saved.")
                                   .arg(eventNumber),
                               WindowTitle, Icon::Information);
        return false;
    }
    const OrderSheet &shown = **sheet;
    m_stored = shown.order;
    m_guests = shown.guests();
    m_status = shown.status;
    editable = m_module.session.CheckAccess(OperatorSession::evaccess1) &&
               !m_module.databases.settings().readOnly && m_status != CurrentEvent::BilledStatus &&
               m_status != CurrentEvent::CancelledStatus;
    caption = QStringLiteral("%1 - #%2 %3").arg(WindowTitle).arg(eventNumber).arg(shown.title);
    eventSummary =
        QStringLiteral("%1, %2 to %3, %4, %5 guests")
            .arg(club.dateNumber(shown.date), club.time(shown.start), club.time(shown.end),
                 shown.roomName.isEmpty() ? QStringLiteral("no room") : shown.roomName)
            .arg(m_guests);
    styles = m_lists.styles;
    courses = m_lists.courses;
    for (OrderField field : AllOrderFields) {
        if (field == OrderField::Tables)
            fields[field] = m_stored.tables ? QString::number(m_stored.tables) : QString();
        else if (field == OrderField::Seats)
            fields[field] = m_stored.seats ? QString::number(m_stored.seats) : QString();
        else
            fields[field] = m_stored.*textField(field)->member;
    }
    timeline.clear();
    for (const EventOrder::TimelineLine &line : m_stored.timeline)
        timeline << Line{line.time, line.what};
    dietary.clear();
    for (const EventOrder::DietaryNeed &need : m_stored.dietary)
        dietary << Line{need.need, QString::number(need.count)};
    items.clear();
    for (const OrderSheet::Item &item : shown.items)
        items << ItemLine{item.item, item.quantity, item.description, item.department, item.course};
    const EventOrder::Issue &issued = m_stored.issued;
    if (issued.revision == 0) {
        revisionText = QStringLiteral("Not issued yet");
    } else {
        revisionText = issued.describe(club);
        const QList<EventOrder::Section> pending = shown.changedSinceIssue();
        if (!pending.isEmpty()) {
            QStringList titles;
            for (EventOrder::Section section : pending)
                titles << EventOrder::sectionTitle(section);
            revisionText += QStringLiteral("; changed since: ") + titles.join(QLatin1String(", "));
        }
    }
    unsaved = false;
    updateCaution();
    statusText = editable ? QString() : QStringLiteral("Read only");
    return true;
}

bool EventOrderWindow::close() {
    if (unsaved && editable &&
        !m_module.messages.AskYesNo(QStringLiteral("Close the event order without saving your "
                                                   "changes?"),
                                    WindowTitle))
        return false;
    visible = false;
    unsaved = false;
    emit changed();
    return true;
}

void EventOrderWindow::edited() {
    unsaved = true;
    updateCaution();
    emit changed();
}

void EventOrderWindow::editField(OrderField field, const QString &text) {
    if (!editable || fields[field] == text)
        return;
    fields[field] = text;
    edited();
}

namespace {

void editLine(QList<EventOrderWindow::Line> &lines, int row, const QString &first,
              const QString &second) {
    if (row < 0 || row > lines.size())
        return;
    if (row == lines.size())
        lines.append(EventOrderWindow::Line{});
    lines[row] = {first, second};
}

} // namespace

void EventOrderWindow::editTimeline(int row, const QString &time, const QString &what) {
    if (!editable)
        return;
    editLine(timeline, row, time, what);
    edited();
}

void EventOrderWindow::editDietary(int row, const QString &need, const QString &count) {
    if (!editable)
        return;
    editLine(dietary, row, need, count);
    edited();
}

void EventOrderWindow::removeTimeline(int row) {
    if (!editable || row < 0 || row >= timeline.size())
        return;
    timeline.removeAt(row);
    edited();
}

void EventOrderWindow::removeDietary(int row) {
    if (!editable || row < 0 || row >= dietary.size())
        return;
    dietary.removeAt(row);
    edited();
}

void EventOrderWindow::chooseCourse(int itemRow, const QString &course) {
    if (!editable || itemRow < 0 || itemRow >= items.size() || items[itemRow].course == course)
        return;
    // Every row of the same item is served in the same course.
    const int item = items[itemRow].item;
    for (ItemLine &line : items)
        if (line.item == item)
            line.course = course.trimmed();
    edited();
}

void EventOrderWindow::updateCaution() {
    int total = 0;
    for (const Line &line : dietary)
        total += wholeNumber(line.second).value_or(0);
    dietaryCaution = total > m_guests
                         ? QStringLiteral("The dietary counts add up to %1, more than the %2 "
                                          "guests.")
                               .arg(total)
                               .arg(m_guests)
                         : QString();
}

QString EventOrderWindow::refusal() const {
    for (OrderField field : AllOrderFields) {
        const auto *text = textField(field);
        if (!text) {
            if (!wholeNumber(fields[field]))
                return countRefusal(fieldLabel(field), fields[field]);
        } else if (text->length > 0 && fields[field].trimmed().size() > text->length) {
            return lengthRefusal(fieldLabel(field), text->length, fields[field].trimmed().size());
        }
    }
    for (int k = 0; k < timeline.size(); ++k) {
        const Line &line = timeline[k];
        const QString where = QStringLiteral("Timeline line %1").arg(k + 1);
        if (line.first.trimmed().isEmpty() && line.second.trimmed().isEmpty())
            continue;
        if (!orderTime(line.first))
            return QStringLiteral("%1: \"%2\" is not a time; write it as HH:MM, such as 19:00.")
                .arg(where, line.first.trimmed());
        if (line.second.trimmed().isEmpty())
            return QStringLiteral("%1: say what happens at %2.").arg(where, line.first.trimmed());
        if (line.second.trimmed().size() > EventOrder::WhatLength)
            return lengthRefusal(where, EventOrder::WhatLength, line.second.trimmed().size());
    }
    for (int k = 0; k < dietary.size(); ++k) {
        const Line &line = dietary[k];
        const QString where = QStringLiteral("Dietary line %1").arg(k + 1);
        if (line.first.trimmed().isEmpty() && line.second.trimmed().isEmpty())
            continue;
        if (line.first.trimmed().isEmpty())
            return QStringLiteral("%1: name the need, such as Vegetarian.").arg(where);
        if (line.first.trimmed().size() > EventOrder::NeedLength)
            return lengthRefusal(where, EventOrder::NeedLength, line.first.trimmed().size());
        if (!wholeNumber(line.second))
            return countRefusal(where, line.second);
    }
    for (const ItemLine &item : items)
        if (item.course.size() > EventOrder::CourseLength)
            return lengthRefusal(QStringLiteral("Course of %1").arg(item.description),
                                 EventOrder::CourseLength, item.course.size());
    return {};
}

EventOrder EventOrderWindow::typedOrder() const {
    EventOrder order;
    for (OrderField field : AllOrderFields) {
        if (field == OrderField::Tables)
            order.tables = wholeNumber(fields[field]).value_or(0);
        else if (field == OrderField::Seats)
            order.seats = wholeNumber(fields[field]).value_or(0);
        else if (const auto *text = textField(field); text->length > 0)
            order.*text->member = fields[field].trimmed();
        else
            order.*text->member = fields[field]; // notes exactly as typed
    }
    for (const Line &line : timeline)
        if (const auto time = orderTime(line.first))
            order.timeline << EventOrder::TimelineLine{*time, line.second.trimmed()};
    for (const Line &line : dietary)
        if (!line.first.trimmed().isEmpty())
            order.dietary << EventOrder::DietaryNeed{line.first.trimmed(),
                                                     wholeNumber(line.second).value_or(0)};
    // A course is kept where it differs from the department's default.
    const QMap<int, QString> chosen = m_stored.courses;
    for (const ItemLine &item : items) {
        const bool wasChosen = chosen.contains(item.item);
        if (wasChosen || item.course != m_lists.defaultCourse(item.department))
            order.courses.insert(item.item, item.course);
    }
    order.issued = m_stored.issued;
    return order;
}

bool EventOrderWindow::save() {
    if (!editable)
        return false;
    if (!unsaved)
        return true;
    if (const QString why = refusal(); !why.isEmpty()) {
        statusText = why;
        m_module.messages.show(why, WindowTitle, Icon::Exclamation);
        emit changed();
        return false;
    }
    const EventOrder typed = typedOrder();
    DatabasePtr evnt = m_module.access.open(EventDatabase);
    if (!evnt)
        return false;
    // The order is what two workstations must not write over each other:
    // one saved since this window read it is never replaced unseen. Other
    // changes of the event (its guests, its items) do not stand in the way.
    enum class Outcome { Saved, Stale, Missing, Closed } outcome = Outcome::Saved;
    int heldStatus = 0;
    EventChanges::Claim claimed;
    EventChanges::Stamp last;
    EventOrder before = m_stored;
    const Status done = m_module.messages.RetryWhileLocked([&]() -> Status {
        Transaction transaction(*evnt);
        if (!transaction.begun())
            return transaction.begun();
        auto held = EventChanges::hold(*evnt, eventNumber);
        if (!held)
            return held.error();
        auto stamp = EventChanges::read(*evnt, eventNumber);
        if (!stamp)
            return stamp.error();
        last = *stamp;
        if (!held->has_value()) {
            outcome = Outcome::Missing;
            return {};
        }
        // Billed or cancelled since the window read it: the order is done with.
        heldStatus = (*held)->status;
        if (heldStatus == CurrentEvent::BilledStatus ||
            heldStatus == CurrentEvent::CancelledStatus) {
            outcome = Outcome::Closed;
            return {};
        }
        auto stored = EventOrders::read(*evnt, eventNumber);
        if (!stored)
            return stored.error();
        if (!stored->sameDetails(m_stored)) {
            outcome = Outcome::Stale;
            return {};
        }
        before = *stored;
        auto claim = EventChanges::claim(*evnt, eventNumber, std::nullopt,
                                         m_module.session.UserName, m_module.ports.clock.now());
        if (!claim)
            return claim.error();
        claimed = *claim;
        if (Status written = EventOrders::write(*evnt, eventNumber, typed); !written)
            return written;
        outcome = Outcome::Saved;
        return transaction.commit();
    });
    if (!done) {
        if (!done.error().isLocked())
            m_module.messages.ShowErrorCodes(done.error());
        return false;
    }
    const QDate today = m_module.ports.clock.today();
    if (outcome == Outcome::Missing) {
        m_module.messages.show(EventChanges::deletedText(eventNumber, last, today), WindowTitle,
                               Icon::Information);
        return false;
    }
    if (outcome == Outcome::Closed) {
        editable = false;
        statusText = QStringLiteral("Not saved");
        m_module.messages.show(QStringLiteral("Event #%1 was %2 at another workstation; its order "
                                              "can no longer be changed.")
                                   .arg(eventNumber)
                                   .arg(heldStatus == CurrentEvent::BilledStatus
                                            ? QStringLiteral("billed")
                                            : QStringLiteral("cancelled")),
                               WindowTitle, Icon::Information);
        emit changed();
        return false;
    }
    if (outcome == Outcome::Stale) {
        statusText = QStringLiteral("Not saved: changed at another workstation");
        m_module.messages.show(
            QStringLiteral("The order of event #%1 was changed at another workstation (%2) since "
                           "you opened it. Your changes were not saved; they are still in the "
                           "window. Close it and open it again to see the other changes.")
                .arg(eventNumber)
                .arg(EventChanges::who(last, today)),
            WindowTitle, Icon::Information);
        emit changed();
        return false;
    }
    EventChanges::adopt(m_module.event, eventNumber, claimed);
    if (m_status > 1) {
        if (const QString texts = EventOrders::changeTexts(before, typed); !texts.isEmpty())
            logEventChange(m_module, eventNumber, texts);
    }
    const QString caution = dietaryCaution;
    load();
    statusText = caution.isEmpty() ? QStringLiteral("Saved") : QStringLiteral("Saved. ") + caution;
    emit changed();
    return true;
}

void EventOrderWindow::issue() {
    if (!editable || !save())
        return;
    const auto issued = issueOrder(m_module, eventNumber, m_module.session.UserName);
    if (!issued) {
        // A lock the operator chose not to wait for has been told already.
        if (!issued.error().isLocked())
            m_module.messages.ShowErrorCodes(issued.error());
        return;
    }
    load();
    statusText = issued->raised ? QStringLiteral("Revision %1 issued").arg(issued->revision)
                                : QStringLiteral("Nothing changed since revision %1; printed "
                                                 "again as it was")
                                      .arg(issued->revision);
    emit changed();
    print(OrderReports::Copy::Kitchen);
}

void EventOrderWindow::print(OrderReports::Copy copy) {
    // The paper shows what is stored: what was typed is saved first.
    if (editable && unsaved && !save())
        return;
    if (auto work = OrderReports::fillOrder(m_module, eventNumber, copy))
        ReportLauncher(m_module).LaunchReport(*work);
}
