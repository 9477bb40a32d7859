#pragma once

#include <QString>
#include <optional>

class Clipboard;
class Clock;
class Databases;
class Messages;

// Two YYYYMMDD dates, both ends included.
struct DateRange {
    int from = 0;
    int to = 0;
};

// A date judged by EntryChecks::checkDate: its YYYYMMDD text, and whether it
// was refused (the operator has then been told what is wrong with it).
struct CheckedDate {
    QString text;
    bool refused = false;
    int number() const { return text.toInt(); }
};

// Two dates as typed at the range prompt: eight digits each, the earlier
// text first.
struct TypedDates {
    QString from;
    QString to;
    bool operator==(const TypedDates &) const = default;
};

// What a member number check found: the account's description (its name,
// then " TaxExempt", " SUSPENDED", " TERMINATED" as they apply), or why
// there is none.
struct MemberCheck {
    enum class Outcome {
        Described,
        NoNumber, // nothing that reads as a number: nothing was done
        Unknown,  // no such account: "Invalid member number!" was shown
        Failed,   // the member database failed; the operator has been told
    };
    Outcome outcome = Outcome::NoNumber;
    QString description;
};

// Checks of what operators type: dates exchanged as YYYYMMDD numbers, date
// ranges for reports, and member account numbers. The date checks leave
// their results in the values below, which callers test afterwards.
class EntryChecks {
public:
    EntryChecks(Databases &databases, Messages &messages, Clipboard &clipboard, Clock &clock);

    static bool isLeapYear(int year);
    // A typed date number as YYYYMMDD text: month first with a four-digit
    // year (MMDDYYYY) is turned round.
    static QString yearFirst(int dateNumber);
    // The number a typed date stands for, for checkDate: month first with
    // a four-digit year is turned round while still text, so "02012024"
    // keeps its zero. 0 for what is no number of eight digits or fewer.
    static int dateNumber(const QString &typed);

    // Judges a typed date number. Month first with a four-digit year
    // (MMDDYYYY) is turned round. A date has eight digits: fewer
    // ("2026011", 0) are refused as an invalid month.
    CheckedDate checkDate(int dateNumber);
    // Asks FROM and TO dates (MMDD means this year) under titles ending in
    // `suffix`, each box offering `offered` (YYYYMMDD) when given, the TO box
    // `offeredTo` when that is given; none when the operator cancels either.
    std::optional<TypedDates> askTypedDates(const QString &suffix, const QString &offered = {},
                                            const QString &offeredTo = {});
    // What a date range is asked for. Listings of events, items and charges
    // read the event records, which outlive a purge of the calendar, so any
    // valid date will do; the purge and the room-conflict report work on
    // the calendar's own rows, so the calendar must hold both years.
    enum class RangeFor { Events, CalendarRows };
    // askTypedDates with `suffix`, then both dates checked by checkDate
    // (and for the calendar's rows, against the years it holds). None when
    // cancelled or a date is refused (the operator has been told which), so
    // a typing slip never purges or prints a wrong range.
    std::optional<DateRange> askDateRange(const QString &suffix, RangeFor use,
                                          const QString &offered = {},
                                          const QString &offeredTo = {});
    // Looks up the typed account number; the flags below describe that
    // account and the clipboard gets its class code and the code's
    // description.
    MemberCheck checkMember(const QString &typedNumber);

    int TaxExemptFlag = 0;  // the last checked account's taxexempt value
    int TerminatedFlag = 0; // the last checked account's terminated value

private:
    // One date of the range prompt; empty when cancelled.
    QString askDate(const QString &which, const QString &suffix, const QString &offered);
    // The typed date as YYYYMMDD when checkDate accepts it.
    std::optional<int> checkedDate(const QString &typed);
    // True when the calendar has days in the years of both dates; the
    // operator is told which year it lacks.
    bool calendarHolds(const DateRange &range);

    Databases &m_databases;
    Messages &m_messages;
    Clipboard &m_clipboard;
    Clock &m_clock;
};
