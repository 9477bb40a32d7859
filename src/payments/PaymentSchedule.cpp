#include "PaymentSchedule.h"

#include "session/ClubSettings.h"
#include "values/DateNumber.h"

namespace {

const Decimal Hundred = Decimal::fromInteger(100);

} // namespace

// ---- PaymentSchedule --------------------------------------------------------

Money PaymentSchedule::totalDue() const {
    Money total;
    for (const PaymentLine &line : lines)
        total += line.amountDue;
    return total;
}

Money PaymentSchedule::totalReceived() const {
    Money total;
    for (const PaymentLine &line : lines)
        total += line.amountReceived;
    return total;
}

Money PaymentSchedule::outstanding() const {
    Money total;
    for (const PaymentLine &line : lines)
        total += line.outstanding();
    return total;
}

QList<Money> PaymentSchedule::owing() const {
    QList<Money> owed;
    Money ahead;
    for (const PaymentLine &line : lines) {
        owed << line.outstanding();
        ahead += std::max(Money(), line.amountReceived - line.amountDue);
    }
    QList<qsizetype> order;
    for (qsizetype k = 0; k < lines.size(); ++k)
        order << k;
    std::stable_sort(order.begin(), order.end(),
                     [&](qsizetype a, qsizetype b) { return lines[a].due < lines[b].due; });
    for (qsizetype k : order) {
        const Money taken = std::min(ahead, owed[k]);
        owed[k] -= taken;
        ahead -= taken;
    }
    return owed;
}

namespace {

// The lines of the deposit: the first, and those of its name after it.
qsizetype depositLines(const QList<PaymentLine> &lines) {
    qsizetype count = lines.isEmpty() ? 0 : 1;
    while (count < lines.size() && lines[count].what == lines.first().what)
        ++count;
    return count;
}

} // namespace

Money PaymentSchedule::depositDue() const {
    Money due;
    for (qsizetype k = 0; k < depositLines(lines); ++k)
        due += lines[k].amountDue;
    return due;
}

Money PaymentSchedule::deposit() const {
    Money received;
    for (qsizetype k = 0; k < depositLines(lines); ++k)
        received += lines[k].amountReceived;
    return received;
}

bool PaymentSchedule::depositReceived() const {
    return deposit() > Money() && deposit() >= depositDue();
}

const PaymentLine *PaymentSchedule::find(int line) const {
    for (const PaymentLine &each : lines)
        if (each.line == line)
            return &each;
    return nullptr;
}

int PaymentSchedule::nextLine() const {
    int last = 0;
    for (const PaymentLine &line : lines)
        last = std::max(last, line.line);
    return last + 1;
}

QString PaymentSchedule::caution(const Money &priced, const ClubSettings &club) const {
    if (lines.isEmpty())
        return QString();
    const Money scheduled = totalDue();
    if (scheduled == priced)
        return QString();
    const Money difference = scheduled > priced ? scheduled - priced : priced - scheduled;
    return QStringLiteral("The schedule comes to %1, %2 %3 than the priced total of %4.")
        .arg(club.currency(scheduled), club.currency(difference),
             scheduled > priced ? QStringLiteral("more") : QStringLiteral("less"),
             club.currency(priced));
}

// ---- PaymentTerms -----------------------------------------------------------

std::variant<PaymentTerms, QString> PaymentTerms::parse(const QString &text) {
    PaymentTerms parsed;
    Decimal percents;
    const QStringList entries = text.split(QLatin1Char(';'), Qt::SkipEmptyParts);
    for (const QString &raw : entries) {
        const QString entry = raw.trimmed();
        if (entry.isEmpty())
            continue;
        const auto refuse = [&](const QString &why) {
            return QStringLiteral("\"%1\": %2 Give each entry as WHAT=AMOUNT,WHEN, for example "
                                  "Deposit=25%,booking;Balance=rest,14.")
                .arg(entry, why);
        };
        const qsizetype equals = entry.indexOf(QLatin1Char('='));
        const qsizetype comma = entry.lastIndexOf(QLatin1Char(','));
        if (equals < 0)
            return refuse(QStringLiteral("it has no \"=\" between what it is and the amount."));
        if (comma < equals)
            return refuse(QStringLiteral("it has no \",\" between the amount and when it is due."));
        Term term;
        term.what = entry.left(equals).trimmed();
        if (term.what.isEmpty() || term.what.size() > PaymentLine::WhatLength)
            return refuse(QStringLiteral("what it is must be 1 to %1 characters.")
                              .arg(PaymentLine::WhatLength));
        if (!parsed.terms.isEmpty() && std::holds_alternative<Rest>(parsed.terms.last().amount))
            return refuse(QStringLiteral("only the last entry may be the rest."));
        const QString amount = entry.mid(equals + 1, comma - equals - 1).trimmed();
        if (amount.compare(QLatin1String("rest"), Qt::CaseInsensitive) == 0) {
            term.amount = Rest{};
        } else if (amount.endsWith(QLatin1Char('%'))) {
            const auto percent = Decimal::fromText(amount.chopped(1));
            if (!percent || *percent <= Decimal() || *percent > Hundred ||
                percent->roundedTo(2) != *percent)
                return refuse(
                    QStringLiteral("\"%1\" is not a percentage from 0.01% to 100%.").arg(amount));
            const auto sum = percents.plus(*percent);
            if (!sum || *sum > Hundred)
                return refuse(QStringLiteral("the percentages come to more than 100%."));
            percents = *sum;
            term.amount = Percent{*percent};
        } else {
            const auto fixed = Money::fromText(amount);
            if (!fixed || *fixed <= Money() || fixed->roundedToCents() != *fixed)
                return refuse(QStringLiteral("\"%1\" is not a percentage, an amount (digits and "
                                             "a point, such as 1000.00) or \"rest\".")
                                  .arg(amount));
            term.amount = Fixed{*fixed};
        }
        const QString when = entry.mid(comma + 1).trimmed();
        if (when.compare(QLatin1String("booking"), Qt::CaseInsensitive) != 0) {
            bool whole = false;
            const int days = when.toInt(&whole);
            if (!whole || days < -3660 || days > 3660)
                return refuse(QStringLiteral("\"%1\" is not \"booking\" or a number of days from "
                                             "the event (-30: thirty days before).")
                                  .arg(when));
            term.days = days;
        }
        parsed.terms << term;
    }
    if (parsed.terms.isEmpty())
        return QStringLiteral("The terms name no payment.");
    return parsed;
}

PaymentTerms PaymentTerms::from(const ClubSettings &club) {
    const QString text = club.value(QString::fromLatin1(Setting)).trimmed();
    if (!text.isEmpty()) {
        auto parsed = parse(text);
        if (auto *terms = std::get_if<PaymentTerms>(&parsed))
            return *terms;
    }
    return std::get<PaymentTerms>(parse(QString::fromLatin1(DefaultText)));
}

bool PaymentTerms::strictDeposit(const ClubSettings &club) {
    return club.value(QString::fromLatin1(StrictDepositSetting))
               .trimmed()
               .compare(QLatin1String("yes"), Qt::CaseInsensitive) == 0;
}

QString PaymentTerms::refusal(const QString &setting, const QString &value) {
    if (value.trimmed().isEmpty())
        return QString();
    if (setting == QLatin1String(Setting)) {
        const auto parsed = parse(value);
        const auto *why = std::get_if<QString>(&parsed);
        return why ? *why : QString();
    }
    if (setting == QLatin1String(StrictDepositSetting)) {
        const QString answer = value.trimmed().toLower();
        if (answer != QLatin1String("yes") && answer != QLatin1String("no"))
            return QStringLiteral("\"%1\" is neither yes nor no.").arg(value);
    }
    return QString();
}

QList<PaymentLine> PaymentTerms::schedule(const Money &priced, int eventDate,
                                          const QDate &today) const {
    const QDate event = dateOfNumber(eventDate);
    QList<PaymentLine> lines;
    Money scheduled;
    for (const Term &term : terms) {
        PaymentLine line;
        line.line = int(lines.size()) + 1;
        line.what = term.what;
        QDate due = today;
        if (term.days && event.isValid())
            due = std::max(today, event.addDays(*term.days));
        line.due = dateNumber(due);
        if (const auto *percent = std::get_if<Percent>(&term.amount)) {
            const auto factor = percent->percent.times(*Decimal::fromText(u"0.01"));
            line.amountDue =
                priced.times(factor.value_or(Decimal())).value_or(Money()).roundedToCents();
        } else if (const auto *fixed = std::get_if<Fixed>(&term.amount)) {
            line.amountDue = fixed->amount;
        } else {
            line.amountDue = std::max(Money(), priced - scheduled);
        }
        scheduled += line.amountDue;
        lines << line;
    }
    return lines;
}
