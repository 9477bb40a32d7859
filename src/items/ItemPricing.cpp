#include "ItemPricing.h"

#include "values/TextValue.h"

namespace ItemPricing {
namespace {

const QString QuantityRefusal = QStringLiteral("Set the Quantity and try again.");
const QString PriceTooLarge =
    QStringLiteral("The extended price is too large to store; nothing was added.");
const QString ChargeTooLarge =
    QStringLiteral("The service charge or the tax is too large to store; nothing was added.");
const QString TotalTooLarge = QStringLiteral(
    "The price, service charge and tax together are too large to bill; nothing was added.");
constexpr qsizetype ItemdescLength = 50;

enum class ServiceChargeTax { None, ClubRate, ItemRate };

// The factors one row needs, read once so that arithmetic can only fail by
// size.
struct Rates {
    Decimal taxpct;
    Decimal scpct;
    // Set when the service charge is taxed: its rate and taxable fraction.
    std::optional<Decimal> serviceChargeRate;
    Decimal sctaxpct;
};

ServiceChargeTax serviceChargeTax(const Settings &settings) {
    if (settings.taxscyesno.toUpper() != u"Y")
        return ServiceChargeTax::None;
    const QString mode = settings.deptorstax.toUpper();
    if (mode == u"S")
        return ServiceChargeTax::ClubRate;
    if (mode == u"D" || mode.isEmpty())
        return ServiceChargeTax::ItemRate;
    return ServiceChargeTax::None;
}

bool readFactor(const QVariant &value, const char *column, Decimal *into, QString *unreadable) {
    const auto factor = Decimal::fromFactor(value);
    if (!factor) {
        *unreadable = QLatin1String(column);
        return false;
    }
    *into = *factor;
    return true;
}

// The club's settings are read only when they count, so an odd one cannot
// block an exempt account or an untaxed service charge.
std::optional<Rates> readRates(const Item &item, const Settings &settings, QString *unreadable) {
    Rates rates;
    if (!readFactor(item.taxpct, "taxpct", &rates.taxpct, unreadable) ||
        !readFactor(item.scpct, "scpct", &rates.scpct, unreadable))
        return std::nullopt;
    const ServiceChargeTax taxedBy =
        item.taxExempt ? ServiceChargeTax::None : serviceChargeTax(settings);
    if (taxedBy == ServiceChargeTax::None)
        return rates;
    Decimal rate = rates.taxpct;
    if (!readFactor(settings.sctaxpct, "sctaxpct", &rates.sctaxpct, unreadable) ||
        (taxedBy == ServiceChargeTax::ClubRate &&
         !readFactor(settings.salestax, "salestax", &rate, unreadable)))
        return std::nullopt;
    rates.serviceChargeRate = rate;
    return rates;
}

// With a taxed service charge the tax is kept to cents: the price's tax to
// four decimals plus the exact tax on the taxable part of the exact service
// charge, plus half a tenth of a cent before rounding, as the club's bills
// always did. The service charge is rounded only where it is stored: a
// charge of 7.75425 is taxed as that, not as 7.7543.
std::optional<Money> taxWithServiceCharge(Money priceTax, const Decimal &serviceCharge,
                                          const Rates &rates) {
    static const Decimal halfMill = *Decimal::fromText(u"0.0005");
    const auto taxable = rates.sctaxpct.times(serviceCharge);
    const auto serviceTax = taxable ? rates.serviceChargeRate->times(*taxable) : std::nullopt;
    const auto sum = serviceTax ? priceTax.toDecimal().plus(*serviceTax) : std::nullopt;
    const auto biased = sum ? sum->plus(halfMill) : std::nullopt;
    return biased ? Money::fromDecimal(biased->roundedTo(2)) : std::nullopt;
}

std::optional<Money> tax(Money extended, const Decimal &serviceCharge, const Rates &rates) {
    const auto priceTax = extended.times(rates.taxpct);
    if (!priceTax || !rates.serviceChargeRate)
        return priceTax;
    return taxWithServiceCharge(*priceTax, serviceCharge, rates);
}

// "2 Coffee", as much as the column holds.
QString itemdesc(const Decimal &quantity, const QString &description) {
    return cutToLength(quantity.toString() + u' ' + description, ItemdescLength);
}

} // namespace

Priced price(const Item &item, const Settings &settings) {
    if (item.quantity < Decimal::fromInteger(1))
        return QuantityRefusal;
    const auto extended = item.unitPrice.times(item.quantity);
    if (!extended)
        return PriceTooLarge;
    QString unreadable;
    const auto rates = readRates(item, settings, &unreadable);
    if (!rates)
        return QStringLiteral("The rate %1 is not a number; nothing was added.").arg(unreadable);
    // The service charge exactly, as the tax on it needs it.
    const auto serviceCharge = item.noServiceCharge ? std::optional<Decimal>(Decimal())
                                                    : extended->toDecimal().times(rates->scpct);
    const auto servchg = serviceCharge ? Money::fromDecimal(*serviceCharge) : std::nullopt;
    const auto taxed = item.taxExempt || !servchg ? std::optional<Money>(Money())
                                                  : tax(*extended, *serviceCharge, *rates);
    if (!servchg || !taxed)
        return ChargeTooLarge;
    // Billing charges the row's total as one amount and refuses one out of
    // range: such a row could never be billed.
    if (!(*extended + *servchg + *taxed).isInRange())
        return TotalTooLarge;
    return Line{item.quantity.toDouble(), itemdesc(item.quantity, item.description), *extended,
                *servchg, *taxed};
}

// From the exact total straight to cents: a share first rounded to four
// decimals (6.66496 to 6.6650) would round up once more (to 6.67).
std::optional<Money> perGuest(Money total, qint64 guests) {
    if (guests < 1)
        return std::nullopt;
    using Wide = __int128;
    const Wide units = total.units();
    const Wide centUnits = Money::Scale / 100;
    const Wide magnitude = units < 0 ? -units : units;
    const Wide shares = centUnits * guests;
    Wide cents = magnitude / shares;
    if (2 * (magnitude % shares) >= shares)
        ++cents;
    return Money::fromUnits(qint64((units < 0 ? -cents : cents) * centUnits));
}

} // namespace ItemPricing
