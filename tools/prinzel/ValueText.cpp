#include "ValueText.h"

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

QString date(const QVariant &value) {
    const QString text = value.toString().trimmed();
    if (text.isEmpty() || text == QLatin1String("0"))
        return QString();
    const QDate day = QDate::fromString(text, QStringLiteral("yyyyMMdd"));
    return day.isValid() && text.size() == 8 ? day.toString(QStringLiteral("MM/dd/yyyy")) : text;
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
    case ValueFormat::Text:
    case ValueFormat::Time:
    case ValueFormat::Memo: // its lines are made by the caller
        break;
    }
    return value.toString();
}

} // namespace ValueText
