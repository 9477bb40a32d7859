#include "EntryChecks.h"

#include "AccountNumber.h"
#include "TextValue.h"
#include "ports/Clipboard.h"
#include "ports/Clock.h"
#include "ports/Messages.h"
#include "storage/Databases.h"

#include <algorithm>

namespace {

const QString Brevant = QStringLiteral("Brevant");

// MMDDYYYY with a year after 1900 as YYYYMMDD; any other number as it is.
int yearFirstNumber(int date) {
    if (date >= 10000000 && date <= 99999999 && date % 10000 > 1900)
        return date % 10000 * 10000 + date / 10000;
    return date;
}

} // namespace

EntryChecks::EntryChecks(Databases &databases, Messages &messages, Clipboard &clipboard,
                         Clock &clock)
    : m_databases(databases)
    , m_messages(messages)
    , m_clipboard(clipboard)
    , m_clock(clock) {}

bool EntryChecks::isLeapYear(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

QString EntryChecks::yearFirst(int dateNumber) {
    return QString::number(yearFirstNumber(dateNumber));
}

int EntryChecks::dateNumber(const QString &typed) {
    const QString text = typed.trimmed();
    const bool digits = std::all_of(text.cbegin(), text.cend(), [](QChar c) {
        return c >= QLatin1Char('0') && c <= QLatin1Char('9');
    });
    const bool monthFirst = text.size() == 8 && digits && text.right(4).toInt() > 1900;
    const double number = numericValue(monthFirst ? text.right(4) + text.left(4) : text);
    // Larger numbers than a date are judged as no date at all.
    return number >= 1 && number <= 99999999 ? int(number) : 0;
}

CheckedDate EntryChecks::checkDate(int dateNumber) {
    const int date = yearFirstNumber(dateNumber);
    const QString text = QString::number(date);

    // Judged as numbers, never as texts: compared as text, "1" (of the
    // seven digits 2026011) passed for a day between "01" and "31". A date
    // has a four-digit year, so a shorter number has no month to judge.
    const int year = date / 10000;
    const int month = date / 100 % 100;
    if (date < 10000000 || date > 99999999 || month < 1 || month > 12) {
        m_messages.show(QStringLiteral("Invalid month"), Brevant, Icon::Information);
        return {text, true};
    }
    // 29 February exists in leap years only.
    int lastDay = 31;
    if (month == 2)
        lastDay = isLeapYear(year) ? 29 : 28;
    else if (month == 4 || month == 6 || month == 9 || month == 11)
        lastDay = 30;
    const int day = date % 100;
    if (day < 1 || day > lastDay) {
        m_messages.show(QStringLiteral("Invalid day of the month"), Brevant, Icon::Information);
        return {text, true};
    }
    return {text, false};
}

QString EntryChecks::askDate(const QString &which, const QString &suffix, const QString &offered) {
    const QString prompt =
        QStringLiteral("Type the %1 date in YYYYMMDD format.\n").arg(which) +
        QStringLiteral("When done, press ENTER or click OK.\n\nClick CANCEL to exit this feature.");
    for (;;) {
        QString answer = m_messages.prompts()
                             .input(prompt, which + QStringLiteral(" Date - ") + suffix, offered)
                             .trimmed();
        if (answer.isEmpty())
            return QString();
        if (answer.size() == 4)
            answer = QString::number(m_clock.today().year()) + answer;
        if (answer.size() == 8)
            return answer;
    }
}

std::optional<TypedDates> EntryChecks::askTypedDates(const QString &suffix, const QString &offered,
                                                     const QString &offeredTo) {
    const QString from = askDate(QStringLiteral("FROM"), suffix, offered);
    if (from.isEmpty())
        return std::nullopt;
    const QString to =
        askDate(QStringLiteral("TO"), suffix, offeredTo.isEmpty() ? offered : offeredTo);
    if (to.isEmpty())
        return std::nullopt;
    return to < from ? TypedDates{to, from} : TypedDates{from, to};
}

std::optional<DateRange> EntryChecks::askDateRange(const QString &suffix, RangeFor use,
                                                   const QString &offered,
                                                   const QString &offeredTo) {
    const auto typed = askTypedDates(suffix, offered, offeredTo);
    if (!typed)
        return std::nullopt;
    const auto from = checkedDate(typed->from);
    if (!from)
        return std::nullopt;
    const auto to = checkedDate(typed->to);
    if (!to)
        return std::nullopt;
    // Month-first dates are turned round only now, so order them again.
    const DateRange range{std::min(*from, *to), std::max(*from, *to)};
    if (use == RangeFor::CalendarRows && !calendarHolds(range))
        return std::nullopt;
    return range;
}

std::optional<int> EntryChecks::checkedDate(const QString &typed) {
    const CheckedDate date = checkDate(dateNumber(typed));
    if (date.refused)
        return std::nullopt;
    return date.number();
}

bool EntryChecks::calendarHolds(const DateRange &range) {
    auto db = m_databases.open(QStringLiteral("evnt"));
    if (!db) {
        m_messages.reportFailure(db.error(), QStringLiteral("evnt"));
        return false;
    }
    for (const int date : {range.from, range.to}) {
        const int year = date / 10000;
        // The first row found is enough.
        auto held = db.value()->exec(
            QStringLiteral("select resdate from reserv where resdate between ? and ?"),
            {year * 10000 + 101, year * 10000 + 1231});
        if (!held) {
            m_messages.ShowErrorCodes(held.error());
            return false;
        }
        if (!held->next()) {
            m_messages.show(QStringLiteral("%1 is not a date of the calendar: the calendar holds "
                                           "no days of the year %2.")
                                .arg(date)
                                .arg(year),
                            Brevant, Icon::Information);
            return false;
        }
    }
    return true;
}

MemberCheck EntryChecks::checkMember(const QString &typedNumber) {
    using enum MemberCheck::Outcome;
    const double number = numericValue(typedNumber.trimmed());
    if (number == 0)
        return {NoNumber, {}};
    m_clipboard.clear();
    // Both flags describe this account alone: a tax-exempt account checked
    // before must not make the next one's items untaxed.
    TaxExemptFlag = 0;
    TerminatedFlag = 0;

    const QString master = QStringLiteral("master");
    auto db = m_databases.open(master);
    if (!db) {
        m_messages.reportFailure(db.error(), master);
        return {Failed, {}};
    }
    auto account = db.value()->exec(
        QStringLiteral(
            "select lname, fname, taxexempt, suspended, terminated, classcode from acctinfo "
            "where acctnumber between ? and ?"),
        AccountNumber::around(number));
    if (!account) {
        m_messages.ShowErrorCodes(account.error());
        return {Failed, {}};
    }
    if (!account->next()) {
        m_messages.show(QStringLiteral("Invalid member number!"), QStringLiteral("Member # Check"),
                        Icon::Critical);
        return {Unknown, {}};
    }
    QString description;
    if (!account->value(0).isNull())
        description = account->value(0).toString().trimmed();
    if (!account->value(1).isNull())
        description += QStringLiteral(", ") + account->value(1).toString().trimmed();
    if (const int taxExempt = account->value(2).toInt()) {
        description += QStringLiteral(" TaxExempt");
        TaxExemptFlag = taxExempt;
    }
    if (account->value(3).toInt())
        description += QStringLiteral(" SUSPENDED");
    if (const int terminated = account->value(4).toInt()) {
        description += QStringLiteral(" TERMINATED");
        TerminatedFlag = terminated;
    }
    const QString classCode = account->value(5).toString();
    auto classRow = db.value()->exec(
        QStringLiteral("select description from classcode where classcode = ?"), {classCode});
    if (!classRow) {
        m_messages.ShowErrorCodes(classRow.error());
        return {Described, description};
    }
    m_clipboard.setText(classCode + QLatin1Char('-') +
                        (classRow->next() ? classRow->value(0).toString() : QString()));
    return {Described, description};
}
