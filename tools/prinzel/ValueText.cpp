#include "ValueText.h"

#include <QLocale>

namespace ValueText {

QString money(Money amount) {
    const qint64 cents = amount.roundedToCents().units() / (Money::Scale / 100);
    const QString digits = QString::number(cents < 0 ? -cents : cents).rightJustified(3, u'0');
    QString whole = digits.chopped(2);
    for (qsizetype at = whole.size() - 3; at > 0; at -= 3)
        whole.insert(at, QLatin1Char(','));
    return (cents < 0 ? QStringLiteral("-") : QString()) + whole + QLatin1Char('.') +
           digits.right(2);
}

namespace {

// The stored text of a date column; empty for 0.
QString dateText(const QVariant &value) {
    const QString text = value.toString().trimmed();
    return text == QLatin1String("0") ? QString() : text;
}

QDate day(const QString &text) {
    return text.size() == 8 ? QDate::fromString(text, QStringLiteral("yyyyMMdd")) : QDate();
}

// Names in English whatever the workstation's language, as the rest of
// the report is.
const QLocale &english() {
    static const QLocale locale(QLocale::English, QLocale::UnitedStates);
    return locale;
}

} // namespace

QString date(const QVariant &value) {
    const QString text = dateText(value);
    const QDate date = day(text);
    return date.isValid() ? date.toString(QStringLiteral("MM/dd/yyyy")) : text;
}

QString weekday(const QVariant &value) {
    const QString text = dateText(value);
    const QDate date = day(text);
    return date.isValid() ? english().toString(date, QStringLiteral("dddd, MM/dd/yyyy")) : text;
}

QString month(const QVariant &value) {
    const QString text = dateText(value);
    const QDate first = text.size() == 6 ? day(text + QStringLiteral("01")) : day(text);
    return first.isValid() ? english().toString(first, QStringLiteral("MMMM yyyy")) : text;
}

QString format(const QVariant &value, ValueFormat format) {
    if (value.isNull())
        return QString();
    switch (format) {
    case ValueFormat::Money:
        if (const auto amount = Money::fromVariant(value))
            return money(*amount);
        break;
    case ValueFormat::Date:
        return date(value);
    case ValueFormat::Weekday:
        return weekday(value);
    case ValueFormat::Month:
        return month(value);
    case ValueFormat::Text:
    case ValueFormat::Time:
    case ValueFormat::Memo: // its lines are made by the caller
        break;
    }
    return value.toString();
}

} // namespace ValueText
