#include "RepeatWindow.h"

#include "EventEditor.h"
#include "EventRecord.h"
#include "calendar/Rooms.h"
#include "orders/EventOrderWindow.h"
#include "ports/Clock.h"
#include "ports/Messages.h"
#include "ports/ReportLauncher.h"
#include "session/Module.h"
#include "values/DateNumber.h"
#include "values/TextValue.h"

namespace {

constexpr int EnquiryStatus = 1;

const QString WindowTitle = QStringLiteral("Repeat");
const QString EventDatabase = QStringLiteral("evnt");
constexpr int DefaultCount = 4;
constexpr int DefaultMonths = 3;

// "3rd", "21st", for the monthly choice's caption.
QString ordinal(int day) {
    const int tens = day % 100 / 10;
    const int units = day % 10;
    const char *suffix = tens == 1 || units > 3 || units == 0 ? "th"
                         : units == 1                         ? "st"
                         : units == 2                         ? "nd"
                                                              : "rd";
    return QString::number(day) + QLatin1String(suffix);
}

QString plural(qsizetype count, const char *one, const char *many) {
    return QStringLiteral("%1 %2").arg(count).arg(QLatin1String(count == 1 ? one : many));
}

// "#31 to #38" for numbers in a row, else "#31, #32 and #35".
QString numbersText(const QList<int> &numbers) {
    bool inRow = true;
    for (qsizetype i = 1; i < numbers.size(); ++i)
        inRow = inRow && numbers[i] == numbers[i - 1] + 1;
    if (numbers.size() > 2 && inRow)
        return QStringLiteral("#%1 to #%2").arg(numbers.first()).arg(numbers.last());
    QStringList each;
    for (int number : numbers)
        each << QStringLiteral("#%1").arg(number);
    return QLocale(QLocale::English).createSeparatedList(each);
}

} // namespace

RepeatWindow::RepeatWindow(Module &module, EventRecord &events, EventEditor &editor,
                           QObject *parent)
    : QObject(parent)
    , m_module(module)
    , m_events(events)
    , m_editor(editor)
    , m_copies(std::make_unique<EventRecord>(module)) {
    previewTimer.setSingleShot(true);
    previewTimer.setInterval(PreviewDelayMs);
    connect(&previewTimer, &QTimer::timeout, this, &RepeatWindow::recompute);
}

RepeatWindow::~RepeatWindow() = default;

QString RepeatWindow::refusalFor(Module &module, const QString &doing) {
    const CurrentEvent &event = module.event;
    if (event.EventNumber < 1 || event.mode == CurrentEvent::EnteringNew)
        return QStringLiteral("Recall the original reservation first, then %1 it.").arg(doing);
    // The copies are made from the event as stored.
    if (event.UnsavedChanges)
        return QStringLiteral("You must first save your changes.");
    if (module.databases.settings().readOnly)
        return QStringLiteral("The club directory is read-only: events can be looked at, but "
                              "nothing can be saved.");
    if (!module.session.CheckAccess(OperatorSession::evaccess1))
        return QStringLiteral("Your access level does not allow events to be entered or changed.");
    return {};
}

QString RepeatWindow::dateText(const ClubSettings &club, const QDate &date) {
    return club.locale().dayName(date.dayOfWeek(), QLocale::ShortFormat) + QLatin1Char(' ') +
           club.shortDate(date);
}

void RepeatWindow::refuse(const QString &text) {
    m_module.messages.show(text, WindowTitle, Icon::Information);
}

bool RepeatWindow::open() {
    if (const QString why = refusalFor(m_module, QStringLiteral("repeat")); !why.isEmpty()) {
        refuse(why);
        return false;
    }
    const CurrentEvent &event = m_module.event;
    const auto &fields = event.fields;
    // Its copies would be cancelled too, holding nothing.
    if (integerValue(event.loaded[EventField::Status]) == CurrentEvent::CancelledStatus) {
        refuse(QStringLiteral("Event #%1 is cancelled; a cancelled event is not repeated.")
                   .arg(event.EventNumber));
        return false;
    }
    const auto rooms = LoadRooms(m_module.access);
    if (!rooms)
        return false;
    eventNumber = event.EventNumber;
    m_club = ReportLauncher(m_module).clubSettings();
    originalDate = dateOfNumber(integerValue(fields[EventField::Date]));
    m_booking = {integerValue(fields[EventField::Date]),
                 fields[EventField::Start].trimmed(),
                 fields[EventField::End].trimmed(),
                 integerValue(fields[EventField::Status]),
                 eventNumber,
                 integerValue(fields[EventField::Room]),
                 event.LinkedRoom};
    m_roomName = QStringLiteral("room %1").arg(m_booking.room);
    for (const Room &room : *rooms)
        if (room.roomnum == m_booking.room)
            m_roomName = room.room.trimmed();
    caption = QStringLiteral("%1 - #%2 %3")
                  .arg(WindowTitle)
                  .arg(eventNumber)
                  .arg(fields[EventField::Title].trimmed());
    eventSummary = QStringLiteral("%1, %2 to %3, %4")
                       .arg(m_club.longDate(originalDate), m_club.time(m_booking.start),
                            m_club.time(m_booking.end), m_roomName);
    if (m_booking.status == EnquiryStatus)
        eventSummary += QStringLiteral(" (an enquiry: its copies hold no room)");
    static const char *const nth[] = {"first", "second", "third", "fourth", "fifth"};
    m_dayOfMonth = ordinal(originalDate.day());
    m_weekdayOfMonth =
        QStringLiteral("%1 %2").arg(QLatin1String(nth[(originalDate.day() - 1) / 7]),
                                    QLocale(QLocale::English).dayName(originalDate.dayOfWeek()));
    monthlyDateCaption = QStringLiteral("the ") + m_dayOfMonth;
    monthlyWeekdayCaption = QStringLiteral("the ") + m_weekdayOfMonth;

    // Every week on the original's weekday, a few times, to start from.
    kind = RepeatRule::Kind::Weeks;
    everyText = QStringLiteral("1");
    weekdays.fill(false);
    weekdays[originalDate.dayOfWeek() - 1] = true;
    ending = Ending::Count;
    countText = QString::number(DefaultCount);
    until = originalDate.addMonths(DefaultMonths);
    untilFormat = m_club.shortDateFormat();
    picked.clear();
    pickedTexts.clear();
    statusText.clear();
    visible = true;
    recompute();
    return true;
}

void RepeatWindow::close() {
    previewTimer.stop();
    visible = false;
    emit changed();
}

RepeatRule RepeatWindow::rule() const {
    RepeatRule made;
    made.kind = kind;
    made.every = integerValue(everyText);
    for (int day = 1; day <= 7; ++day)
        if (weekdays[day - 1])
            made.weekdays << day;
    if (ending == Ending::Count)
        made.count = qMax(0, integerValue(countText));
    else
        made.until = until;
    made.picked = picked;
    return made;
}

void RepeatWindow::ruleChanged(bool typed) {
    statusText.clear();
    if (typed) {
        previewTimer.start();
        emit changed();
    } else {
        recompute();
    }
}

void RepeatWindow::chooseKind(RepeatRule::Kind chosen) {
    kind = chosen;
    ruleChanged(false);
}

void RepeatWindow::editEvery(const QString &typed) {
    everyText = typed.trimmed();
    ruleChanged(true);
}

void RepeatWindow::setWeekday(int day, bool on) {
    if (day < 1 || day > 7)
        return;
    weekdays[day - 1] = on;
    ruleChanged(false);
}

void RepeatWindow::chooseEnding(Ending chosen) {
    ending = chosen;
    ruleChanged(false);
}

void RepeatWindow::editCount(const QString &typed) {
    countText = typed.trimmed();
    ruleChanged(true);
}

void RepeatWindow::editUntil(const QDate &date) {
    until = date;
    ruleChanged(true);
}

void RepeatWindow::pickDate(const QDate &date) {
    if (!date.isValid())
        return;
    if (!picked.removeOne(date))
        picked << date;
    std::sort(picked.begin(), picked.end());
    pickedTexts.clear();
    for (const QDate &each : picked)
        pickedTexts << dateText(m_club, each);
    ruleChanged(false);
}

bool RepeatWindow::readOutcomes(const QList<QDate> &dates, QList<RepeatOutcome> &found) {
    DatabasePtr evnt = m_module.access.open(EventDatabase);
    if (!evnt)
        return false;
    const Status read = m_module.messages.RetryWhileLocked([&] {
        auto outcomes = RepeatPreview::outcomes(*evnt, m_booking, m_roomName, dates,
                                                m_module.ports.clock.today());
        if (!outcomes)
            return Status(outcomes.error());
        found = *outcomes;
        return Status();
    });
    if (!read && read.error().number != ErrorNumber::RecordLocked)
        m_module.messages.ShowErrorCodes(read.error());
    return read.ok();
}

void RepeatWindow::recompute() {
    previewTimer.stop();
    everyUnit = kind == RepeatRule::Kind::Days     ? QStringLiteral("days")
                : kind == RepeatRule::Kind::Weeks  ? QStringLiteral("weeks")
                : kind == RepeatRule::Kind::Picked ? QString()
                                                   : QStringLiteral("months");
    m_outcomes.clear();
    notice.clear();
    const auto expanded = rule().expand(originalDate);
    if (const auto *why = std::get_if<QString>(&expanded)) {
        notice = *why;
    } else {
        const auto &found = std::get<RepeatRule::Expansion>(expanded);
        if (!found.skippedMonths.isEmpty()) {
            QStringList months;
            for (const QDate &month : found.skippedMonths)
                months << m_club.locale().toString(month, QStringLiteral("MMMM yyyy"));
            notice =
                QStringLiteral("Passed over, having no %1: %2.")
                    .arg(kind == RepeatRule::Kind::MonthlyByDate ? m_dayOfMonth : m_weekdayOfMonth,
                         QLocale(QLocale::English).createSeparatedList(months));
        }
        readOutcomes(found.dates, m_outcomes);
    }
    showOutcomes();
}

void RepeatWindow::showOutcomes() {
    rows.clear();
    qsizetype saveable = 0;
    qsizetype cautions = 0;
    for (const RepeatOutcome &outcome : m_outcomes) {
        Row row;
        row.date = dateText(m_club, outcome.date);
        row.outcome = outcome.text.isEmpty() ? QStringLiteral("Free") : outcome.text;
        if (!outcome.saveable()) {
            row.foreground = RefusedText;
            row.background = RefusedBackground;
        } else if (outcome.kind != RepeatOutcome::Kind::Free) {
            row.foreground = EventOrderWindow::CautionText;
            row.background = EventOrderWindow::CautionBackground;
            ++cautions;
        }
        saveable += outcome.saveable() ? 1 : 0;
        rows << row;
    }
    const qsizetype total = m_outcomes.size();
    summary.clear();
    if (total > 0) {
        // "8 of 10 dates are free": the noun follows the total.
        summary = QStringLiteral("%1 of %2 %3 free")
                      .arg(saveable)
                      .arg(total)
                      .arg(total == 1 ? u"date is" : u"dates are");
        if (cautions > 0)
            summary += QStringLiteral(" (%1 with a caution)").arg(cautions);
        summary += total > saveable ? QStringLiteral("; %1 cannot be saved.").arg(total - saveable)
                                    : QStringLiteral(".");
    }
    saveEnabled = saveable > 0;
    emit changed();
}

bool RepeatWindow::saveFreeDates() {
    if (previewTimer.isActive())
        recompute();
    QList<QDate> dates;
    for (const RepeatOutcome &outcome : m_outcomes)
        if (outcome.saveable())
            dates << outcome.date;
    if (dates.isEmpty()) {
        refuse(notice.isEmpty() ? QStringLiteral("None of the dates can be saved.") : notice);
        return false;
    }
    const qsizetype unsaveable = m_outcomes.size() - dates.size();
    if (unsaveable > 0 &&
        !m_module.messages.AskYesNo(
            QStringLiteral("%1 of the %2 dates cannot be saved.\r\nClick YES to save the %3 "
                           "free %4; click NO to save none.")
                .arg(unsaveable)
                .arg(m_outcomes.size())
                .arg(dates.size())
                .arg(dates.size() == 1 ? u"date" : u"dates"),
            WindowTitle))
        return false;

    QSet<QDate> cautioned;
    for (const RepeatOutcome &outcome : m_outcomes)
        if (outcome.kind == RepeatOutcome::Kind::LinkedCaution ||
            outcome.kind == RepeatOutcome::Kind::TurnoverCaution)
            cautioned << outcome.date;
    const QList<int> numbers = RepeatPreview::saveCopies(m_module, *m_copies, eventNumber, dates,
                                                         rule().describe(), cautioned);
    // What stood in the way of a copy refused after the preview (another
    // workstation booked the date meanwhile), as the preview would say it.
    QList<QDate> refusedDates;
    for (qsizetype i = 0; i < dates.size(); ++i)
        if (numbers.value(i) == 0)
            refusedDates << dates[i];
    QList<RepeatOutcome> refused;
    if (!refusedDates.isEmpty() && !readOutcomes(refusedDates, refused))
        refused.clear();

    // The main window shows the original again, its package with the copies.
    m_events.LoadEvent(eventNumber);
    m_editor.endEditing();
    statusText = savedReport(dates, numbers, refused);
    rows.clear();
    for (qsizetype i = 0; i < dates.size(); ++i) {
        Row row;
        row.date = dateText(m_club, dates[i]);
        row.outcome = numbers.value(i) > 0 ? QStringLiteral("Saved as event #%1").arg(numbers[i])
                                           : QStringLiteral("Not saved");
        if (numbers.value(i) == 0) {
            row.foreground = RefusedText;
            row.background = RefusedBackground;
        }
        rows << row;
    }
    m_outcomes.clear();
    saveEnabled = false;
    summary.clear();
    notice.clear();
    emit eventChanged();
    emit calendarChanged();
    emit changed();
    m_module.messages.show(statusText, WindowTitle, Icon::Information);
    return std::any_of(numbers.begin(), numbers.end(), [](int number) { return number > 0; });
}

QString RepeatWindow::savedReport(const QList<QDate> &dates, const QList<int> &numbers,
                                  const QList<RepeatOutcome> &refused) const {
    QList<int> saved;
    for (int number : numbers)
        if (number > 0)
            saved << number;
    QStringList lines;
    if (saved.isEmpty())
        lines << QStringLiteral("No copy was saved.");
    else
        lines << QStringLiteral("%1 saved as %2 %3, a series with #%4.")
                     .arg(plural(saved.size(), "copy", "copies"),
                          saved.size() == 1 ? QStringLiteral("event") : QStringLiteral("events"),
                          numbersText(saved))
                     .arg(eventNumber);
    for (qsizetype i = 0; i < dates.size(); ++i) {
        if (numbers.value(i) > 0)
            continue;
        QString why;
        for (const RepeatOutcome &outcome : refused)
            if (outcome.date == dates[i] && !outcome.text.isEmpty())
                why = QLatin1Char(' ') + outcome.text;
        lines << QStringLiteral("%1 was not saved.%2").arg(dateText(m_club, dates[i]), why);
    }
    return lines.join(QLatin1Char('\n'));
}
