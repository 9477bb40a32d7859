#include "ValueText.h"

namespace {

// The stored text of a date column; empty for 0.
QString dateText(const QVariant &value) {
    const QString text = value.toString().trimmed();
    return text == QLatin1String("0") ? QString() : text;
}

QDate day(const QString &text) {
    return text.size() == 8 ? QDate::fromString(text, QStringLiteral("yyyyMMdd")) : QDate();
}

// A stored date written by `write`, or the stored text when it is none.
template <typename Write> QString dated(const QVariant &value, Write write) {
    const QString text = dateText(value);
    const QDate date = day(text);
    return date.isValid() ? write(date) : text;
}

} // namespace

ValueText::ValueText(ClubSettings club)
    : m_club(std::move(club)) {}

QString ValueText::money(Money amount) const {
    return m_club.amount(amount);
}

QString ValueText::date(const QDate &day) const {
    return m_club.shortDate(day);
}

QString ValueText::date(const QVariant &value) const {
    return dated(value, [&](const QDate &day) { return date(day); });
}

QString ValueText::longDate(const QVariant &value) const {
    return dated(value, [&](const QDate &day) { return m_club.longDate(day); });
}

QString ValueText::weekday(const QVariant &value) const {
    return dated(value, [&](const QDate &day) {
        return m_club.locale().dayName(day.dayOfWeek()) + QStringLiteral(", ") + date(day);
    });
}

QString ValueText::month(const QVariant &value) const {
    const QString text = dateText(value);
    const QDate first = text.size() == 6 ? day(text + QStringLiteral("01")) : day(text);
    return first.isValid() ? m_club.locale().standaloneMonthName(first.month()) + QLatin1Char(' ') +
                                 QString::number(first.year())
                           : text;
}

QString ValueText::time(const QVariant &value) const {
    return m_club.time(value.toString());
}

QString ValueText::format(const QVariant &value, ValueFormat format) const {
    if (value.isNull())
        return QString();
    switch (format) {
    case ValueFormat::Money:
        if (const auto amount = Money::fromVariant(value))
            return money(*amount);
        break;
    case ValueFormat::Date:
        return date(value);
    case ValueFormat::LongDate:
        return longDate(value);
    case ValueFormat::Weekday:
        return weekday(value);
    case ValueFormat::Month:
        return month(value);
    case ValueFormat::Time:
        return time(value);
    case ValueFormat::Text:
    case ValueFormat::Memo: // its lines are made by the caller
        break;
    }
    return value.toString();
}
