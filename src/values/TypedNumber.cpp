#include "TypedNumber.h"

#include <QStringList>
#include <algorithm>
#include <limits>

namespace {

// How one way of writing numbers marks the decimals and the groups.
struct Marks {
    QString point;
    QString groups;               // every character that may group thousands
    const QLocale *own = nullptr; // the locale's own grouping is taken as well
};

bool isDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

bool allDigits(QStringView text) {
    return std::all_of(text.begin(), text.end(), isDigit);
}

// The digits of any one script as ASCII digits; none when the text mixes
// scripts ("1٢3"), which no keyboard types by itself.
std::optional<QString> asciiDigits(QStringView text) {
    QString ascii;
    char32_t zero = 0;
    for (const char32_t c : text.toUcs4()) {
        if (QChar::category(c) != QChar::Number_DecimalDigit) {
            ascii += QString::fromUcs4(&c, 1);
            continue;
        }
        const int digit = QChar::digitValue(c);
        if (zero != 0 && c - char32_t(digit) != zero)
            return std::nullopt;
        zero = c - char32_t(digit);
        ascii += QChar(u'0' + digit);
    }
    return ascii;
}

// The locale's grouping mark and what people type for it: a plain blank
// where the locale groups with a (non-breaking or thin) space, an
// apostrophe where it groups with a typographic one.
QString groupMarks(const QLocale &locale) {
    const QString mark = locale.groupSeparator();
    static const QString spaces = QStringLiteral(" \u00A0\u202F\u2009");
    if (mark.size() == 1 && spaces.contains(mark))
        return spaces;
    if (mark == u"\u2019")
        return mark + u'\'';
    return mark;
}

// Digits grouped as the locale writes them (1,00,000 in India).
bool groupedAsLocale(QStringView whole, const QString &digits, const Marks &marks) {
    if (digits.size() > 18)
        return false;
    const auto written = asciiDigits(marks.own->toString(digits.toLongLong()));
    if (!written || written->size() != whole.size())
        return false;
    for (qsizetype i = 0; i < whole.size(); ++i) {
        const bool mark = marks.groups.contains(whole[i]);
        if (mark != marks.groups.contains(written->at(i)) || (!mark && whole[i] != written->at(i)))
            return false;
    }
    return true;
}

// The whole part's digits. Grouped, the first group has one to three digits
// and no leading zero ("0,250" is no way of writing 250), each other three.
std::optional<QString> wholeDigits(QStringView whole, const Marks &marks) {
    if (allDigits(whole))
        return whole.toString();
    QString digits;
    QList<qsizetype> groups{0};
    for (const QChar c : whole) {
        if (isDigit(c)) {
            digits += c;
            ++groups.last();
        } else if (marks.groups.contains(c) && groups.last() > 0) {
            groups << 0;
        } else {
            return std::nullopt;
        }
    }
    if (groups.last() == 0)
        return std::nullopt;
    const bool thousands =
        groups.first() <= 3 && digits.front() != u'0' &&
        std::all_of(groups.begin() + 1, groups.end(), [](qsizetype size) { return size == 3; });
    if (thousands || (marks.own && groupedAsLocale(whole, digits, marks)))
        return digits;
    return std::nullopt;
}

// The number written with these marks, as plain text ("1250.5").
std::optional<QString> readWith(QStringView body, const Marks &marks) {
    const qsizetype point = body.indexOf(marks.point);
    if (point >= 0 && body.indexOf(marks.point, point + marks.point.size()) >= 0)
        return std::nullopt;
    const QStringView whole = point < 0 ? body : body.left(point);
    const QStringView fraction = point < 0 ? QStringView() : body.mid(point + marks.point.size());
    if (!allDigits(fraction))
        return std::nullopt;
    const auto digits =
        whole.isEmpty() ? std::optional<QString>(QString()) : wholeDigits(whole, marks);
    if (!digits || (digits->isEmpty() && fraction.isEmpty()))
        return std::nullopt;
    QString plain = digits->isEmpty() ? QStringLiteral("0") : *digits;
    if (!fraction.isEmpty())
        plain += u'.' + fraction.toString();
    return plain;
}

// Takes a sign from the front of the text; true when there was one.
bool takeSign(QStringView &text, const QLocale &locale, bool *negative) {
    const QString signs[] = {locale.negativeSign(), QStringLiteral("-"), QStringLiteral("\u2212"),
                             locale.positiveSign(), QStringLiteral("+")};
    for (int i = 0; i < 5; ++i) {
        if (!signs[i].isEmpty() && text.startsWith(signs[i])) {
            text = text.mid(signs[i].size());
            *negative = i < 3;
            return true;
        }
    }
    return false;
}

void takeCurrency(QStringView &text, const QLocale &locale) {
    for (const QString &sign : {QStringLiteral("$"), locale.currencySymbol()}) {
        if (!sign.isEmpty() && text.startsWith(sign)) {
            text = text.mid(sign.size()).trimmed();
            return;
        }
    }
}

int decimalPlaces(const Decimal &value) {
    const QString text = value.toString();
    const qsizetype point = text.indexOf(u'.');
    return point < 0 ? 0 : int(text.size() - point - 1);
}

// From the first digit that is not zero to the last.
int significantDigits(const Decimal &value) {
    QString digits = value.toString().remove(u'-').remove(u'.');
    while (digits.startsWith(u'0'))
        digits.remove(0, 1);
    while (digits.endsWith(u'0'))
        digits.chop(1);
    return int(digits.size());
}

// A value as the operator would type it here: the locale's decimal mark,
// no groups.
QString shown(const Decimal &value, const QLocale &locale) {
    return value.toString().replace(u'.', locale.decimalPoint());
}

} // namespace

TypedNumber::Bounds TypedNumber::Bounds::atLeast(const Decimal &value) const {
    Bounds narrowed = *this;
    if (!least || value > *least)
        narrowed.least = value;
    return narrowed;
}

TypedNumber::Bounds TypedNumber::Bounds::atMost(const Decimal &value) const {
    Bounds narrowed = *this;
    if (!most || value < *most)
        narrowed.most = value;
    return narrowed;
}

TypedNumber::Bounds TypedNumber::Bounds::withDecimals(int places) const {
    Bounds narrowed = *this;
    if (decimals < 0 || places < decimals)
        narrowed.decimals = places;
    return narrowed;
}

TypedNumber::Bounds TypedNumber::of(Schema::ColumnType type) {
    Bounds bounds;
    switch (type) {
    case Schema::ColumnType::Integer:
        bounds.least = Decimal::fromInteger(std::numeric_limits<qint16>::min());
        bounds.most = Decimal::fromInteger(std::numeric_limits<qint16>::max());
        bounds.decimals = 0;
        break;
    case Schema::ColumnType::Long:
        bounds.least = Decimal::fromInteger(std::numeric_limits<qint32>::min());
        bounds.most = Decimal::fromInteger(std::numeric_limits<qint32>::max());
        bounds.decimals = 0;
        break;
    case Schema::ColumnType::Double:
        bounds.digits = std::numeric_limits<double>::digits10;
        break;
    case Schema::ColumnType::Currency:
        bounds.least = Money::fromUnits(-Money::Limit).toDecimal();
        bounds.most = Money::fromUnits(Money::Limit).toDecimal();
        bounds.decimals = decimalPlaces(Money::fromUnits(1).toDecimal());
        bounds.amount = true;
        break;
    default:
        // Not a number: nothing fits.
        bounds.least = bounds.most = Decimal();
        bounds.decimals = 0;
        break;
    }
    return bounds;
}

TypedNumber::Bounds TypedNumber::ofColumn(const QString &database, const QString &table,
                                          const QString &column) {
    const Schema::Table *found = Schema::findTable(database, table);
    const int index = found ? found->columnIndex(column) : -1;
    Q_ASSERT(index >= 0);
    return of(index >= 0 ? found->columns[index].type : Schema::ColumnType::Text);
}

TypedNumber TypedNumber::read(QStringView typed, const QString &box, const Bounds &bounds,
                              const QLocale &locale) {
    TypedNumber number;
    const QString shownTyped = typed.trimmed().toString();
    const auto refuse = [&](Refusal refusal, const QString &why) {
        number.m_refusal = refusal;
        number.m_message = QStringLiteral("%1: \"%2\" %3").arg(box, shownTyped, why);
        return number;
    };
    QStringView text = typed.trimmed();
    if (text.isEmpty()) {
        number.m_refusal = Refusal::Empty;
        return number;
    }
    const QString notANumber =
        bounds.decimals == 0
            ? QStringLiteral("is not a number.\nType a whole number in digits.")
            : QStringLiteral("is not a number.\nType digits, with a decimal mark before any "
                             "decimal places.");

    bool negative = false;
    const bool signedFirst = takeSign(text, locale, &negative);
    if (bounds.amount)
        takeCurrency(text, locale);
    if (!signedFirst)
        takeSign(text, locale, &negative);
    const auto body = asciiDigits(text);
    if (!body)
        return refuse(Refusal::NotANumber, notANumber);

    const auto plain = readWith(*body, {QStringLiteral("."), QStringLiteral(","), nullptr});
    const auto local = readWith(*body, {locale.decimalPoint(), groupMarks(locale), &locale});
    if (!plain && !local)
        return refuse(Refusal::NotANumber, notANumber);
    const QString sign = negative ? QStringLiteral("-") : QString();
    const auto plainValue = plain ? Decimal::fromText(sign + *plain) : std::nullopt;
    const auto localValue = local ? Decimal::fromText(sign + *local) : std::nullopt;
    if (plainValue && localValue && *plainValue != *localValue)
        return refuse(Refusal::Ambiguous,
                      QStringLiteral("could mean %1 or %2.\nType it again without marks between "
                                     "the thousands.")
                          .arg(shown(*plainValue, locale), shown(*localValue, locale)));
    const auto value = plainValue ? plainValue : localValue;

    // More digits than any column holds.
    if (!value) {
        if (negative && bounds.least)
            return refuse(Refusal::BelowLeast, QStringLiteral("is below %1, the least the box "
                                                              "takes.")
                                                   .arg(shown(*bounds.least, locale)));
        if (!negative && bounds.most)
            return refuse(Refusal::AboveMost, QStringLiteral("is above %1, the most the box holds.")
                                                  .arg(shown(*bounds.most, locale)));
        return refuse(
            Refusal::TooManyDigits,
            QStringLiteral("has more digits than the box keeps (%1).").arg(bounds.digits));
    }
    if (bounds.least && *value < *bounds.least)
        return refuse(Refusal::BelowLeast, QStringLiteral("is below %1, the least the box takes.")
                                               .arg(shown(*bounds.least, locale)));
    if (bounds.most && *value > *bounds.most)
        return refuse(Refusal::AboveMost, QStringLiteral("is above %1, the most the box holds.")
                                              .arg(shown(*bounds.most, locale)));
    if (bounds.decimals == 0 && decimalPlaces(*value) > 0)
        return refuse(Refusal::NotWhole, QStringLiteral("is not a whole number."));
    if (bounds.decimals > 0 && decimalPlaces(*value) > bounds.decimals)
        return refuse(Refusal::TooManyDecimals,
                      QStringLiteral("has more decimal places than the box keeps (%1).")
                          .arg(bounds.decimals));
    if (bounds.digits > 0 && significantDigits(*value) > bounds.digits)
        return refuse(
            Refusal::TooManyDigits,
            QStringLiteral("has more digits than the box keeps (%1).").arg(bounds.digits));
    number.m_value = *value;
    return number;
}

QString TypedNumber::plainText(const Decimal &value) {
    const QString text = value.toString();
    return decimalPlaces(value) == 3 ? text + u'0' : text;
}
