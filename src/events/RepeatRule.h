#pragma once

#include <QDate>
#include <QList>
#include <QString>
#include <variant>

// When a repeated booking falls: every N days, every N weeks on chosen
// weekdays, every N months on the same date or on the same weekday of the
// month ("the second Wednesday"), until a date or for a number of times;
// or on dates picked one by one. The first date is the original event's,
// which is never one of the copies.
struct RepeatRule {
    enum class Kind { Days, Weeks, MonthlyByDate, MonthlyByWeekday, Picked };

    Kind kind = Kind::Weeks;
    int every = 1;
    // Kind::Weeks: the days of the week it falls on, Qt's numbering
    // (Monday 1 ... Sunday 7); none means the original's weekday.
    QList<int> weekdays;
    // Where it stops: after `count` copies, or on `until` (inclusive);
    // one of the two.
    int count = 0;
    QDate until;
    QList<QDate> picked; // Kind::Picked

    // More copies than this are refused: a rule that makes them is almost
    // always a slip of the typing, and the preview would be unreadable.
    static constexpr int MostCopies = 120;
    static constexpr int MostEvery = 99;

    // What the rule gives from the original's date.
    struct Expansion {
        QList<QDate> dates; // in order, the original's excluded
        // Months the rule passes over because they lack the date ("31
        // April"), as the operator is told of them.
        QList<QDate> skippedMonths;
    };
    // The copies' dates, or why the rule gives none that could be saved
    // ("The rule gives no date after the original.").
    std::variant<Expansion, QString> expand(const QDate &original) const;

    // "Every 2 weeks on Wednesday and Friday, 10 times", for the preview
    // and the change log.
    QString describe() const;
};
