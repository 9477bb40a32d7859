#include "RepeatRule.h"

#include <QLocale>
#include <algorithm>

namespace {

// Far enough for "29 February every year, 120 times", never endless.
constexpr int MostSteps = 12 * 1000;

QString dayName(int weekday) {
    return QLocale(QLocale::English).dayName(weekday);
}

// The n-th (1..5) `weekday` of the month that `first` begins; invalid when
// the month has no such day.
QDate nthWeekday(const QDate &first, int weekday, int n) {
    const QDate date = first.addDays((weekday - first.dayOfWeek() + 7) % 7 + 7 * (n - 1));
    return date.month() == first.month() ? date : QDate();
}

} // namespace

std::variant<RepeatRule::Expansion, QString> RepeatRule::expand(const QDate &original) const {
    if (!original.isValid())
        return QStringLiteral("Save the event with its date before repeating it.");
    Expansion found;
    if (kind == Kind::Picked) {
        for (const QDate &date : picked)
            if (date.isValid() && date != original && !found.dates.contains(date))
                found.dates << date;
        std::sort(found.dates.begin(), found.dates.end());
    } else {
        if (every < 1 || every > MostEvery)
            return QStringLiteral("Repeat every 1 to %1 %2.")
                .arg(MostEvery)
                .arg(kind == Kind::Days    ? QStringLiteral("days")
                     : kind == Kind::Weeks ? QStringLiteral("weeks")
                                           : QStringLiteral("months"));
        if (count <= 0 && !until.isValid())
            return QStringLiteral("Say when the repeats end: a number of times or a last date.");
        if (count > MostCopies)
            return QStringLiteral("At most %1 repeats are made at once.").arg(MostCopies);
        if (until.isValid() && until <= original)
            return QStringLiteral("The last date, %1, is not after the event's own date, %2.")
                .arg(QLocale(QLocale::English).toString(until, QStringLiteral("MM/dd/yyyy")),
                     QLocale(QLocale::English).toString(original, QStringLiteral("MM/dd/yyyy")));
        // Takes a candidate; false once the rule has ended.
        const auto take = [&](const QDate &date) {
            if (count > 0 ? found.dates.size() >= count : date > until)
                return false;
            if (found.dates.size() > MostCopies)
                return false;
            found.dates << date;
            return true;
        };
        QList<int> days = weekdays;
        if (days.isEmpty())
            days << original.dayOfWeek();
        std::sort(days.begin(), days.end());
        days.erase(std::unique(days.begin(), days.end()), days.end());
        const QDate firstOfMonth(original.year(), original.month(), 1);
        const int nth = (original.day() - 1) / 7 + 1;
        bool going = true;
        for (int step = 1; going && step <= MostSteps; ++step) {
            switch (kind) {
            case Kind::Days:
                going = take(original.addDays(qint64(every) * step));
                break;
            case Kind::Weeks: {
                // The weeks run Monday to Sunday from the original's.
                const QDate monday =
                    original.addDays(1 - original.dayOfWeek() + qint64(7) * every * (step - 1));
                for (int day : days) {
                    const QDate date = monday.addDays(day - 1);
                    if (date > original && !(going = take(date)))
                        break;
                }
                break;
            }
            case Kind::MonthlyByDate:
            case Kind::MonthlyByWeekday: {
                const QDate month = firstOfMonth.addMonths(every * step);
                const QDate date = kind == Kind::MonthlyByDate
                                       ? (original.day() <= month.daysInMonth()
                                              ? QDate(month.year(), month.month(), original.day())
                                              : QDate())
                                       : nthWeekday(month, original.dayOfWeek(), nth);
                if (!date.isValid()) {
                    if (count > 0 ? found.dates.size() < count : month <= until)
                        found.skippedMonths << month;
                    going = until.isValid() ? month <= until : true;
                    break;
                }
                going = take(date);
                break;
            }
            case Kind::Picked:
                break;
            }
        }
    }
    if (found.dates.isEmpty())
        return kind == Kind::Picked
                   ? QStringLiteral("Pick the dates of the copies on the calendar.")
                   : QStringLiteral("The rule gives no date after the original.");
    if (found.dates.size() > MostCopies)
        return QStringLiteral("The rule gives more than %1 dates; at most %1 repeats are made at "
                              "once.")
            .arg(MostCopies);
    return found;
}

QString RepeatRule::describe() const {
    const QLocale english(QLocale::English);
    QString text;
    const QString plural = every == 1 ? QString() : QString::number(every) + QLatin1Char(' ');
    switch (kind) {
    case Kind::Days:
        text =
            every == 1 ? QStringLiteral("Every day") : QStringLiteral("Every %1days").arg(plural);
        break;
    case Kind::Weeks: {
        QStringList names;
        for (int day : weekdays)
            names << dayName(day);
        text = QStringLiteral("Every %1%2").arg(plural, every == 1 ? u"week" : u"weeks");
        if (!names.isEmpty())
            text += QStringLiteral(" on ") + english.createSeparatedList(names);
        break;
    }
    case Kind::MonthlyByDate:
        text = QStringLiteral("Every %1%2 on the same date")
                   .arg(plural, every == 1 ? u"month" : u"months");
        break;
    case Kind::MonthlyByWeekday:
        text = QStringLiteral("Every %1%2 on the same weekday of the month")
                   .arg(plural, every == 1 ? u"month" : u"months");
        break;
    case Kind::Picked:
        return QStringLiteral("On %1 picked %2")
            .arg(picked.size())
            .arg(picked.size() == 1 ? u"date" : u"dates");
    }
    if (count > 0)
        return text + QStringLiteral(", %1 %2").arg(count).arg(count == 1 ? u"time" : u"times");
    return text + QStringLiteral(" until ") + english.toString(until, QStringLiteral("MM/dd/yyyy"));
}
