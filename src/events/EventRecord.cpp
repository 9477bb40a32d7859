#include "EventRecord.h"

#include "BookingCheck.h"
#include "EventPackages.h"
#include "EventRow.h"
#include "EventSeries.h"
#include "billing/BillingAccounts.h"
#include "calendar/RoomBuffers.h"
#include "calendar/Rooms.h"
#include "payments/EventPayments.h"
#include "ports/Clipboard.h"
#include "ports/Clock.h"
#include "session/Module.h"
#include "storage/Schema.h"
#include "storage/SharedFile.h"
#include "storage/Transaction.h"
#include "values/Money.h"
#include "values/TextValue.h"

#include <QDir>
#include <algorithm>
#include <cmath>
#include <limits>

namespace {

const QString EventDatabase = QStringLiteral("evnt");
constexpr qint64 HighestEventNumber = std::numeric_limits<int>::max();
constexpr int DepositStatus = 3; // "Reserved w/Dep"

// The statuses a changed event keeps its cells in.
bool heldRoom(int status) {
    return status >= 2 && status < 6;
}

// The number the counter file holds; 0 when it is empty or damaged, so the
// count goes on after the events. Digits beyond any number read as more
// than the highest event number, which is then refused, not started anew.
qint64 counterNumber(const QString &content) {
    const QString text = content.trimmed();
    bool readable = false;
    const qint64 number = text.toLongLong(&readable);
    if (readable)
        return number;
    const QStringView digits =
        text.startsWith(QLatin1Char('+')) ? QStringView(text).mid(1) : QStringView(text);
    const bool allDigits =
        !digits.isEmpty() && std::all_of(digits.begin(), digits.end(), [](QChar c) {
            return c >= QLatin1Char('0') && c <= QLatin1Char('9');
        });
    return allDigits ? std::numeric_limits<qint64>::max() : 0;
}

const Schema::Table &eventTable() {
    return *Schema::findTable(EventDatabase, QStringLiteral("eventinfo"));
}

// A stored value as its box shows it.
QString boxText(const QVariant &value, Schema::ColumnType type) {
    if (!value.isValid() || value.isNull())
        return QString();
    if (type == Schema::ColumnType::Currency) {
        if (const auto money = Money::fromVariant(value))
            return TypedNumber::plainText(money->toDecimal());
    }
    // Qt writes some whole doubles in exponent form ("1e+05"), which the
    // boxes refuse.
    if (type == Schema::ColumnType::Double)
        return QString::number(value.toDouble(), 'g', 15);
    return value.toString();
}

constexpr EventField NumberFields[] = {EventField::Guests, EventField::Guarantee, EventField::Room,
                                       EventField::Account, EventField::Deposit};

QString numberFieldName(EventField field, bool member) {
    switch (field) {
    case EventField::Guests:
        return QStringLiteral("Set for");
    case EventField::Guarantee:
        return QStringLiteral("Guarantee");
    case EventField::Room:
        return QStringLiteral("Location/room");
    case EventField::Account:
        return member ? QStringLiteral("Member #") : QStringLiteral("Account #");
    default:
        return QStringLiteral("Deposit");
    }
}

// A box's text as its column stores it: text as typed (never Null, so a
// cleared box clears its column), numbers as the program writes them into
// the boxes, with an empty box (or "New" for the account) as 0.
QVariant storedValue(const QString &text, const Schema::Column &column) {
    switch (column.type) {
    case Schema::ColumnType::Text:
    case Schema::ColumnType::Memo:
        return text.isNull() ? QString(QLatin1String("")) : text;
    case Schema::ColumnType::Currency:
        return Money::fromText(text).value_or(Money()).toVariant();
    case Schema::ColumnType::Double:
        return numericValue(text);
    default:
        return qint64(std::trunc(numericValue(text)));
    }
}

} // namespace

EventRecord::EventRecord(Module &module, QObject *parent)
    : QObject(parent)
    , changeLog(module.messages, module.ports.clock, module.event)
    , m_module(module) {}

bool EventRecord::LoadEvent(int number) {
    DatabasePtr db = m_module.access.open(EventDatabase);
    return db && loadEvent(*db, number);
}

bool EventRecord::loadEvent(Database &evnt, int number) {
    // The count before the row: a change between the two reads then makes
    // the next save a refused one rather than a lost one.
    const auto stamp = EventChanges::read(evnt, number);
    if (!stamp) {
        m_module.messages.ShowErrorCodes(stamp.error());
        return false;
    }
    const auto row = EventRow::read(evnt, number);
    if (!row) {
        m_module.messages.ShowErrorCodes(row.error());
        return false;
    }
    if (!row->has_value())
        return false; // no such event

    CurrentEvent &event = m_module.event;
    event.CloneSource = 0;
    event.CloneCopies = {};
    event.SeriesOf = 0;
    const Schema::Table &table = eventTable();
    const QVariantList &values = **row;
    for (int column = 0; column < values.size() && column < EventColumnLimit; ++column) {
        const auto type =
            column < table.columns.size() ? table.columns[column].type : Schema::ColumnType::Text;
        const QString text = boxText(values[column], type);
        if (isEventField(column))
            event.fields[eventFieldAt(column)] = text;
        event.loaded[column] = text;
        event.changed[column] = 0;
    }
    const auto &fields = event.fields;
    if (const auto rooms = ReadRooms(evnt))
        event.LinkedRoom =
            SlotBooking::linkedRoomOnLoad(*rooms, integerValue(fields[EventField::Room]));
    event.EventNumber = number;
    event.ChangeCount = stamp->count;
    event.Title = fields[EventField::Title].trimmed();
    const QString &date = fields[EventField::Date];
    event.Date = integerValue(date);
    event.StartTime = fields[EventField::Start];
    event.EndTime = fields[EventField::End];
    event.Room = integerValue(fields[EventField::Room]);
    event.MemberFlag = integerValue(fields[EventField::Member]);
    event.Account = numericValue(fields[EventField::Account]);
    event.Status = integerValue(fields[EventField::Status]);
    event.Caption = event.Title + QStringLiteral(" - ") + date.mid(4, 2) + QLatin1Char('/') +
                    date.mid(6, 2) + QLatin1Char('/') + date.left(4);
    if (numericValue(fields[EventField::Deposit]) < 0.01)
        event.fields[EventField::Deposit].clear();
    checkAccount();
    showContactPanel = event.Status == 1;
    emit loaded();
    return true;
}

bool EventRecord::isNumberField(EventField field) {
    return std::ranges::find(NumberFields, field) != std::end(NumberFields);
}

TypedNumber::Bounds EventRecord::numberFieldBounds(EventField field) {
    const TypedNumber::Bounds bounds =
        TypedNumber::of(eventTable().columns[columnOf(field)].type).atLeast(Decimal());
    if (field != EventField::Account)
        return bounds;
    return bounds.withDecimals(2).atMost(
        *Decimal::fromText(QString::number(BillingAccounts::HighestNumber, 'f', 2)));
}

TypedNumber EventRecord::readNumberField(EventField field, const QString &text, bool member) {
    const bool askedForNew = field == EventField::Account &&
                             text.trimmed().compare(QLatin1String("New"), Qt::CaseInsensitive) == 0;
    return TypedNumber::read(askedForNew ? QString() : text, numberFieldName(field, member),
                             numberFieldBounds(field));
}

bool EventRecord::takeNumberField(EventField field) {
    CurrentEvent &event = m_module.event;
    QString &text = event.fields[field];
    const TypedNumber read =
        readNumberField(field, text, integerValue(event.fields[EventField::Member]) == 1);
    if (read.isNumber())
        text = TypedNumber::plainText(read.value());
    if (read.isNumber() || read.isEmpty())
        return true;
    refusedField = field;
    m_module.messages.show(read.message(), QStringLiteral("Oops..."), Icon::Information);
    return false;
}

bool EventRecord::takeNumberFields() {
    return std::ranges::all_of(NumberFields,
                               [this](EventField field) { return takeNumberField(field); });
}

void EventRecord::checkAccount() {
    const CurrentEvent &event = m_module.event;
    taxExemptShown = false;
    classCodeText.clear();
    if (event.Account <= 0)
        return;
    const MemberCheck member = m_module.checks.checkMember(QString::number(event.Account, 'f', 2));
    if (member.outcome == MemberCheck::Outcome::Unknown)
        return;
    taxExemptShown = m_module.checks.TaxExemptFlag != 0;
    classCodeText = QStringLiteral("Classcode: ") +
                    m_module.ports.clipboard.text().section(QLatin1Char('-'), 0, 0);
}

Result<qint64> EventRecord::highestEventNumber() {
    auto db = m_module.databases.open(EventDatabase);
    if (!db)
        return db.error();
    auto highest = db.value()->exec(QStringLiteral("select max(eventnum) from eventinfo"));
    if (!highest)
        return highest.error();
    return highest->next() ? highest->value(0).toLongLong() : 0;
}

int EventRecord::NextEventNumber() {
    const QString counter = m_module.clubPath(QStringLiteral("evntsched.dat"));
    int number = 0;
    for (int attempt = 1;; ++attempt) {
        // Read, add one and write back under one lock. A counter that is
        // damaged, empty or behind the events (restored from a backup)
        // continues after the highest number in use. That number is read
        // before the lock, so the lock is held for the file alone: every
        // number issued since was written to the file under it.
        const auto highest = highestEventNumber();
        bool full = false;
        QString failure;
        const bool issued = SharedFile::update(
            counter,
            [&](const QString &content) -> QString {
                const qint64 last = std::max(counterNumber(content), highest ? *highest : 0);
                // The next number would not fit an event number: the
                // content goes back as it was, so nothing is written.
                if (last >= HighestEventNumber) {
                    full = true;
                    return content;
                }
                number = int(last + 1);
                return QString::number(number) + QLatin1Char('\n');
            },
            &failure);
        if (issued && full) {
            m_module.messages.show(
                QStringLiteral("No new event can be entered: event numbers have reached %1, the "
                               "highest there can be.\r\nNo number was issued and the event "
                               "counter %2 was left as it is. Please call for support.")
                    .arg(QString::number(HighestEventNumber), QDir::toNativeSeparators(counter)),
                QStringLiteral("Event numbers used up"), Icon::Critical);
            return 0;
        }
        if (issued)
            break;
        if (attempt < CounterAttempts)
            continue;
        // Said before the question, so the operator knows whether waiting
        // can help at all (a file that is missing its rights never will).
        if (!m_module.messages.AskYesNo(
                QStringLiteral("The event counter %1 could not be updated: %2")
                        .arg(QDir::toNativeSeparators(counter), failure) +
                    QStringLiteral("\r\n\r\n") + QStringLiteral("Try network again?"),
                QStringLiteral("Network Connection Timeout")))
            return 0;
        attempt = 0;
    }
    CurrentEvent &event = m_module.event;
    event.mode = CurrentEvent::EnteringNew;
    event.EventNumber = number;
    event.fields[EventField::Number] = QString::number(number);
    changeLog.AuditLine = QStringLiteral("Event#%1 opened").arg(number);
    changeLog.WriteAudit();
    return number;
}

Result<bool> EventRecord::yearInitialized(Database &evnt, int date) {
    auto rows = evnt.exec(QStringLiteral("select count(*) from reserv where resdate = ?"), {date});
    if (!rows)
        return rows.error();
    return rows->next() && rows->value(0).toInt() > 0;
}

EventRecord::Held EventRecord::calendarHolds(Database &evnt, int date) {
    auto initialized = yearInitialized(evnt, date);
    if (!initialized) {
        m_module.messages.reportFailure(initialized.error(), EventDatabase);
        return Held::Unread;
    }
    if (!*initialized) {
        const auto purged = wasPurged(evnt, date);
        m_module.messages.show(
            purged && *purged
                ? QStringLiteral("The calendar for %1 was purged \r\nand the reservation "
                                 "cannot be taken at this time.")
                      .arg(date)
                : QStringLiteral("The calendar year for this reservation has not yet been "
                                 "initialized \r\nand the reservation cannot be taken at this "
                                 "time."),
            QStringLiteral("Uh-oh..."), Icon::Information);
        return Held::No;
    }
    return Held::Yes;
}

// A date the calendar lacks in a year it was set up for: the year still
// has other days, or bookings (which only a set-up year takes) are dated in
// it. Only a purge takes days out of a year.
Result<bool> EventRecord::wasPurged(Database &evnt, int date) {
    const int year = date / 10000;
    auto found = evnt.exec(
        QStringLiteral("select (select count(*) from reserv where resdate between ? and ?) + "
                       "(select count(*) from eventinfo where eventnum > 0 and status between 2 "
                       "and 5 and eventdate between ? and ?)"),
        {year * 10000 + 101, year * 10000 + 1231, year * 10000 + 101, year * 10000 + 1231});
    if (!found)
        return found.error();
    return found->next() && found->value(0).toInt() > 0;
}

bool EventRecord::calendarHolds(int date) {
    DatabasePtr db = m_module.access.open(EventDatabase);
    return db && calendarHolds(*db, date) == Held::Yes;
}

// The source's items under the new number, every other column as it is.
Status EventRecord::copyItems(Database &evnt, int source, int target) {
    const Schema::Table *items = Schema::findTable(EventDatabase, QStringLiteral("items"));
    QStringList others;
    for (qsizetype i = 1; i < items->columns.size(); ++i)
        others << items->columns[i].name;
    const QString columns = others.join(QLatin1String(", "));
    return evnt.execute(QStringLiteral("insert into items (eventid, %1) select ?, %1 from items "
                                       "where eventid = ?")
                            .arg(columns),
                        {target, source});
}

EventRecord::Saved EventRecord::refuseConflict(const QString &clash) {
    m_module.messages.show(
        QStringLiteral("The chosen time and room combination is already in use.") +
            QStringLiteral("\r\nIt is held by %1.").arg(clash),
        QStringLiteral("Oops..."), Icon::Information);
    return Saved::Conflict;
}

bool EventRecord::bookable(Database &evnt) {
    const auto &fields = m_module.event.fields;
    const auto rooms = ReadRooms(evnt);
    if (!rooms) {
        m_module.messages.ShowErrorCodes(rooms.error());
        return false;
    }
    const auto refused =
        BookingCheck::check(*rooms, fields[EventField::Room].trimmed(),
                            fields[EventField::Start].trimmed(), fields[EventField::End].trimmed());
    if (!refused)
        return true;
    refusedField = refused->field;
    m_module.messages.show(refused->text, QStringLiteral("Oops..."), Icon::Information);
    return false;
}

bool EventRecord::askReloadStale(int number, const EventChanges::Stamp &stamp) {
    return m_module.messages.AskYesNo(
        EventChanges::staleText(number, stamp, m_module.ports.clock.today()) +
            QStringLiteral("\r\nClick YES to load it as it is now (what you typed here is "
                           "dropped); click NO to keep your screen as it is."),
        QStringLiteral("Event changed elsewhere"));
}

void EventRecord::tellDeleted(int number, const EventChanges::Stamp &stamp) {
    m_module.messages.show(EventChanges::deletedText(number, stamp, m_module.ports.clock.today()),
                           QStringLiteral("Oops..."), Icon::Information);
}

EventRecord::Saved EventRecord::SaveEvent(int mode) {
    CurrentEvent &event = m_module.event;
    refusedField.reset();
    if (!takeNumberFields())
        return Saved::Refused;
    // Stored as the calendar and the packages show it.
    event.fields[EventField::Title] = event.fields[EventField::Title].trimmed();
    event.takeFieldsForSaving(mode == NewEvent);
    const auto &fields = event.fields;
    SaveRequest request;
    const int status = integerValue(fields[EventField::Status]);
    request.number =
        mode == NewEvent ? event.EventNumber : integerValue(fields[EventField::Number]);
    request.mode = mode == ChangedEvent && !heldRoom(status) ? OffCalendar : mode;
    request.books =
        (request.mode == NewEvent && status >= 2 && status <= 8) || request.mode == ChangedEvent;
    request.booking = {integerValue(fields[EventField::Date]),
                       fields[EventField::Start].trimmed(),
                       fields[EventField::End].trimmed(),
                       status,
                       request.number,
                       integerValue(fields[EventField::Room]),
                       event.LinkedRoom};
    request.title = fields[EventField::Title];
    request.acceptLinked = cautionsAccepted;
    // An event that stays where it is is not asked about again.
    request.checkTurnovers = request.books && !cautionsAccepted &&
                             (request.mode == NewEvent || event.changed[EventField::Date] ||
                              event.changed[EventField::Start] || event.changed[EventField::End] ||
                              event.changed[EventField::Room] ||
                              !heldRoom(integerValue(event.loaded[EventField::Status])));
    if (mode == NewEvent) {
        request.cloneSource = event.CloneSource;
        request.copies = event.CloneCopies;
        request.seriesOf = event.SeriesOf;
        request.seriesRule = event.SeriesRule;
    }

    // One connection serves the whole save, the reload included.
    DatabasePtr db = m_module.access.open(EventDatabase);
    if (!db)
        return Saved::NotWritten;
    switch (calendarHolds(*db, request.booking.date)) {
    case Held::Yes:
        break;
    case Held::No:
        return Saved::YearNotInitialized;
    case Held::Unread:
        return Saved::NotWritten;
    }
    if (request.books && !bookable(*db))
        return Saved::Refused;

    // The linked-room question is asked only after the transaction has
    // rolled back, so no other workstation waits on the operator; the
    // save then runs again with the answer.
    Outcome outcome;
    for (;;) {
        const Status written = m_module.messages.RetryWhileLocked([&] {
            // A busy database is tried again a few times before the
            // operator is asked.
            Status last;
            for (int attempt = 1; attempt <= BusyAttempts; ++attempt) {
                auto result = writeSave(*db, request);
                if (result) {
                    outcome = *result;
                    return Status();
                }
                last = result.error();
                if (last.error().number != ErrorNumber::RecordLocked)
                    return last;
                if (attempt < BusyAttempts)
                    m_module.ports.clock.pause(BusyPauseMs);
            }
            return last;
        });
        if (!written) {
            if (written.error().number != ErrorNumber::RecordLocked)
                m_module.messages.ShowErrorCodes(written.error());
            return Saved::NotWritten;
        }
        switch (outcome.written) {
        case Written::Done:
            break;
        case Written::Conflict:
            return refuseConflict(outcome.clash);
        case Written::NoDeposit:
            m_module.messages.show(
                QStringLiteral("The club books \"Reserved w/Dep\" only once the deposit is "
                               "received. Record it in Payments first; the event was not saved."),
                QStringLiteral("Oops..."), Icon::Information);
            return Saved::Refused;
        case Written::Stale:
            if (askReloadStale(request.number, outcome.stamp) && loadEvent(*db, request.number))
                event.UnsavedChanges = false;
            return Saved::Stale;
        case Written::Deleted:
            tellDeleted(request.number, outcome.stamp);
            return Saved::Deleted;
        case Written::SourceDeleted:
            m_module.messages.show(
                EventChanges::deletedText(request.cloneSource, outcome.stamp,
                                          m_module.ports.clock.today()) +
                    QStringLiteral(" Its clone, which takes its items, was not saved."),
                QStringLiteral("Oops..."), Icon::Information);
            return Saved::Deleted;
        case Written::LinkedConflict:
            if (!m_module.messages.AskYesNo(
                    QStringLiteral("Caution - a possible conflict with room # %1 exists with "
                                   "this reservation.\r\nRoom # %1 is held by %2.\r\nClick YES "
                                   "to make the reservation anyway; click NO to exit.")
                        .arg(request.booking.linkedRoom)
                        .arg(outcome.clash),
                    QStringLiteral("** Room Conflict? **")))
                return Saved::Declined;
            request.acceptLinked = true;
            continue;
        case Written::Turnover:
            if (!m_module.messages.AskYesNo(
                    QStringLiteral("Caution - %1\r\nClick YES to make the reservation anyway; "
                                   "click NO to exit.")
                        .arg(outcome.clash),
                    QStringLiteral("** Room Conflict? **")))
                return Saved::Declined;
            request.checkTurnovers = false;
            continue;
        }
        break;
    }

    for (EventField field : AllEventFields)
        event.loaded[field] = event.saving[field];
    event.UnsavedChanges = false;
    event.CloneSource = 0;
    event.CloneCopies = {};
    event.SeriesOf = 0;
    if (request.cloneSource > 0)
        logEventChange(m_module, request.number,
                       ChangeLog::cloneEntry(request.cloneSource, request.copies, outcome.package));
    reportShortened();
    if (!m_depositKept.isEmpty())
        m_module.messages.show(m_depositKept, QStringLiteral("FYI..."), Icon::Information);
    loadEvent(*db, request.number);
    emit saved(request.title + QStringLiteral(" data saved."));
    return Saved::Done;
}

Result<EventRecord::Outcome> EventRecord::writeSave(Database &evnt, const SaveRequest &request) {
    Transaction transaction(evnt);
    if (!transaction.begun())
        return transaction.begun().error();
    const QString &operatorName = m_module.session.UserName;
    const QDateTime now = m_module.ports.clock.now();
    EventChanges::StoredEvent stored;
    if (request.mode != NewEvent) {
        // The row as stored decides which cells are freed; a row changed or
        // deleted since the window loaded it is not written over.
        auto claimed = EventChanges::claim(evnt, request.number, m_module.event.ChangeCount,
                                           operatorName, now);
        if (!claimed)
            return claimed.error();
        if (claimed->outcome == EventChanges::Claim::Missing)
            return Outcome{Written::Deleted, {}, claimed->stamp};
        if (claimed->outcome == EventChanges::Claim::Stale)
            return Outcome{Written::Stale, {}, claimed->stamp};
        stored = claimed->stored;
    } else if (request.cloneSource > 0) {
        // Held until the copy of its items commits, so a delete waits.
        auto source =
            EventChanges::claim(evnt, request.cloneSource, std::nullopt, operatorName, now);
        if (!source)
            return source.error();
        if (source->outcome == EventChanges::Claim::Missing)
            return Outcome{Written::SourceDeleted, {}, source->stamp};
    }
    // A club that keeps "Reserved w/Dep" for deposits received lets an
    // event become it only once its first payment line is.
    if (request.booking.status == DepositStatus && stored.status != DepositStatus) {
        auto club = ClubSettings::read(evnt);
        if (!club)
            return club.error();
        if (PaymentTerms::strictDeposit(*club)) {
            auto schedule = EventPayments::read(evnt, request.number);
            if (!schedule)
                return schedule.error();
            if (!schedule->depositReceived())
                return Outcome{Written::NoDeposit, {}, {}};
        }
    }
    if (request.books) {
        auto conflicts = SlotBooking::SlotConflictCheck(evnt, request.booking);
        if (!conflicts)
            return conflicts.error();
        if (conflicts->room)
            return Outcome{
                Written::Conflict, BookingCheck::describeEvent(evnt, conflicts->room), {}};
        if (conflicts->linked && !request.acceptLinked)
            return Outcome{
                Written::LinkedConflict, BookingCheck::describeEvent(evnt, conflicts->linked), {}};
    }
    if (request.checkTurnovers) {
        auto caution = turnoverCaution(evnt, request.booking);
        if (!caution)
            return caution.error();
        if (!caution->isEmpty())
            return Outcome{Written::Turnover, *caution, {}};
    }
    if (Status row = writeRow(evnt, request); !row)
        return row.error();
    if (request.mode == NewEvent) {
        if (Status counted = EventChanges::start(evnt, request.number, operatorName, now); !counted)
            return counted.error();
    } else if (Status freed =
                   SlotBooking::ClearEventCells(evnt, stored.room, stored.date, request.number);
               !freed) {
        return freed.error();
    }
    if (request.books) {
        if (Status booked = SlotBooking::WriteEventCells(evnt, request.booking, request.title);
            !booked)
            return booked.error();
    }
    Outcome done;
    if (request.cloneSource > 0 && request.copies.items) {
        if (Status copied = copyItems(evnt, request.cloneSource, request.number); !copied)
            return copied.error();
        // Never the source's payments: a schedule of its own from the terms.
        // A clone without items has nothing to schedule.
        auto club = ClubSettings::read(evnt);
        if (!club)
            return club.error();
        if (Status scheduled = EventPayments::scheduleClone(
                evnt, request.cloneSource, request.number, PaymentTerms::from(*club),
                request.booking.date, m_module.ports.clock.today());
            !scheduled)
            return scheduled.error();
    }
    if (request.cloneSource > 0 && request.copies.linkPackage) {
        auto joined = EventPackages::joinPackageOf(evnt, request.cloneSource, request.number);
        if (!joined)
            return joined.error();
        done.package = *joined;
    }
    if (request.seriesOf > 0) {
        if (Status joined =
                EventSeries::join(evnt, request.seriesOf, request.number, request.seriesRule);
            !joined)
            return joined.error();
    }
    if (request.mode != NewEvent &&
        (m_module.event.changed[EventField::Date] || m_module.event.changed[EventField::Title])) {
        const int titleSize = Schema::findTable(EventDatabase, QStringLiteral("pkg"))
                                  ->textSize(QStringLiteral("eventtitle"));
        const Status copied = evnt.execute(
            QStringLiteral("update pkg set eventdate = ?, eventtitle = ? where eventnum = ?"),
            {request.booking.date, cutToLength(request.title, titleSize), request.number});
        if (!copied)
            return copied.error();
    }
    if (Status committed = transaction.commit(); !committed)
        return committed.error();
    return done;
}

Result<QString> EventRecord::turnoverCaution(Database &evnt,
                                             const SlotBooking::SlotRequest &booking) {
    auto buffers = RoomBuffers::read(evnt);
    if (!buffers)
        return buffers.error();
    if (!buffers->contains(booking.room))
        return QString();
    auto name =
        evnt.exec(QStringLiteral("select room from location where roomnum = ?"), {booking.room});
    if (!name)
        return name.error();
    const QString roomName = name->next() ? name->value(0).toString().trimmed()
                                          : QStringLiteral("room %1").arg(booking.room);
    name->finish();
    return RoomBuffers::cautionFor(evnt, buffers->value(booking.room), booking.room, roomName,
                                   booking.date, booking.start, booking.end, booking.eventNumber);
}

Status EventRecord::writeRow(Database &evnt, const SaveRequest &request) {
    const CurrentEvent &event = m_module.event;
    const Schema::Table &table = eventTable();
    QVariantList values;
    for (EventField field : AllEventFields) {
        const Schema::Column &column = table.columns[columnOf(field)];
        QString text = event.saving[field];
        if (column.type == Schema::ColumnType::Text && column.size > 0)
            text = cutToLength(text, column.size);
        values << storedValue(text, column);
    }
    values[columnOf(EventField::Number)] = request.number;
    const int status = integerValue(event.saving[EventField::Status]);
    if (status == 1 || status == 2)
        values[columnOf(EventField::Deposit)] = Money().toVariant();
    // An event with a payment schedule keeps as its deposit what the first
    // line received, whatever the box says; the operator is told when the
    // box said otherwise.
    m_depositKept.clear();
    if (request.mode != NewEvent) {
        auto kept = EventPayments::depositFor(evnt, request.number, status);
        if (!kept)
            return kept.error();
        const QVariant typed = values[columnOf(EventField::Deposit)];
        if (kept->has_value() && Money::fromVariant(typed) != **kept) {
            values[columnOf(EventField::Deposit)] = (*kept)->toVariant();
            m_depositKept = **kept > Money()
                                ? QStringLiteral("The deposit follows the event's payments: %1 "
                                                 "received on its first line.")
                                      .arg((*kept)->formatted())
                                : QStringLiteral("The deposit follows the event's payments, "
                                                 "where none is received on its first line yet.");
            m_depositKept += QStringLiteral(" Record a deposit in Payments.");
        }
    }
    // A changed event's row is edited where it is (its claim found it); only
    // a new event adds one.
    return request.mode == NewEvent ? EventRow::add(evnt, values)
                                    : EventRow::update(evnt, request.number, values);
}

// Text longer than its column was saved cut to the column's size; the
// operator learns which.
void EventRecord::reportShortened() {
    const Schema::Table &table = eventTable();
    QStringList cut;
    for (EventField field : AllEventFields) {
        const Schema::Column &column = table.columns[columnOf(field)];
        if (column.type == Schema::ColumnType::Text && column.size > 0 &&
            m_module.event.saving[field].size() > column.size)
            cut << QStringLiteral("%1: the first %2 characters")
                       .arg(column.description.section(QLatin1Char(','), 0, 0))
                       .arg(column.size);
    }
    if (!cut.isEmpty())
        m_module.messages.show(
            QStringLiteral("Some entries were longer than their fields allow and were saved "
                           "shortened:\n") +
                cut.join(QLatin1Char('\n')),
            QStringLiteral("FYI..."), Icon::Information);
}

void EventRecord::chooseStartTime(const QString &entry) {
    m_module.event.fields[EventField::Start] = SlotBooking::entryTime(entry);
    m_module.event.UnsavedChanges = true;
    emit boxesChanged();
}

bool EventRecord::chooseEndTime(const QString &entry) {
    CurrentEvent &event = m_module.event;
    if (!SlotBooking::endFollowsStart(event.fields[EventField::Start], entry)) {
        m_module.messages.show(
            QStringLiteral("End time cannot be equal to or earlier than the start time"),
            QStringLiteral("Oops..."), Icon::Information);
        return false;
    }
    event.fields[EventField::End] = SlotBooking::entryTime(entry);
    event.UnsavedChanges = true;
    emit boxesChanged();
    return true;
}

void EventRecord::chooseRoom(int roomnum) {
    CurrentEvent &event = m_module.event;
    event.fields[EventField::Room] = QString::number(roomnum);
    if (const auto rooms = LoadRooms(m_module.access))
        event.LinkedRoom = SlotBooking::linkedRoomOnChoice(*rooms, roomnum);
    event.UnsavedChanges = true;
    emit boxesChanged();
}

void EventRecord::ClearEvent() {
    m_module.event = CurrentEvent();
    taxExemptShown = false;
    classCodeText.clear();
    showContactPanel = false;
    emit cleared();
}
