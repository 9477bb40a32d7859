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

// Checks of what operators type: dates exchanged as YYYYMMDD numbers, date
// ranges for reports, and member account numbers. Results travel in the
// shared values below (and MessageText), which callers test afterwards.
class EntryChecks {
public:
    EntryChecks(Databases &databases, Messages &messages, Clipboard &clipboard, Clock &clock);

    static bool isLeapYear(int year);
    // A typed date number as YYYYMMDD text: month first with a four-digit
    // year (MMDDYYYY) is turned round.
    static QString yearFirst(int dateNumber);
    // The number a typed date stands for, for DateNumber: month first with
    // a four-digit year is turned round while still text, so "02012024"
    // keeps its zero. 0 for what is no number of eight digits or fewer.
    static int dateNumber(const QString &typed);

    // Checks DateNumber; DateText ends as YYYYMMDD, DateError 0 or 1.
    // Month first with a four-digit year (MMDDYYYY) is turned round. A date
    // has eight digits: fewer ("2026011", 0) are refused as an invalid month.
    void ValidateDate();
    // Asks FROM and TO dates (MMDD means this year); MessageText becomes the
    // two dates, earlier first, or "CANCEL". MessageText on entry is the
    // title suffix.
    void PromptDateRange();
    // What a date range is asked for. Listings of events, items and charges
    // read the event records, which outlive a purge of the calendar, so any
    // valid date will do; the purge and the room-conflict report work on
    // the calendar's own rows, so the calendar must hold both years.
    enum class RangeFor { Events, CalendarRows };
    // PromptDateRange with `suffix`, then both dates checked by ValidateDate
    // (and for the calendar's rows, against the years it holds). None when
    // cancelled or a date is refused (the operator has been told which), so
    // a typing slip never purges or prints a wrong range.
    std::optional<DateRange> askDateRange(const QString &suffix, RangeFor use);
    void LoadToday();
    // The year in LeapYearText becomes "Y" or "N".
    void CheckLeapYear();
    // Looks up the account number in MessageText: MessageText becomes the
    // account's description, or "REDO" after "Invalid member number!"; the
    // clipboard gets the class code and its description.
    void CheckMemberNumber();

    int DateNumber = 0;
    QString DateText;
    int DateError = 0;
    QString LeapYearText;
    int TaxExemptFlag = 0;  // the last checked account's taxexempt value
    int TerminatedFlag = 0; // the last checked account's terminated value

private:
    // One date of the range prompt; empty when cancelled.
    QString askDate(const QString &which, const QString &suffix);
    // The typed date as YYYYMMDD when ValidateDate accepts it.
    std::optional<int> checkedDate(const QString &typed);
    // True when the calendar has days in the years of both dates; the
    // operator is told which year it lacks.
    bool calendarHolds(const DateRange &range);

    Databases &m_databases;
    Messages &m_messages;
    Clipboard &m_clipboard;
    Clock &m_clock;
};
