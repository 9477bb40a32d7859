#pragma once

#include "values/Money.h"

#include <QString>
#include <QVariant>
#include <optional>
#include <utility>

// The row an item becomes when the items window adds it to an event: its
// quantity, description, extended price, service charge and tax.
namespace ItemPricing {

// What the tax depends on besides the item, as read from the company and
// the module's settings.
struct Settings {
    QVariant salestax;  // the club's sales-tax factor
    QVariant sctaxpct;  // the taxable fraction of a service charge
    QString deptorstax; // "S": the club's rate taxes the service charge; "D" or empty: the item's
    QString taxscyesno; // "Y": the service charge is taxed
};

struct Item {
    Decimal quantity;       // at least 1
    Money unitPrice;        // retail, altretail or a free-form price
    QVariant taxpct, scpct; // the item's factors as read; Null is 0
    QString description;
    bool noServiceCharge = false; // "No S/C"
    bool taxExempt = false;       // the event's account pays no tax
};

// The values of the new items row.
struct Line {
    double qty = 0;
    QString itemdesc;
    Money price;
    Money servchg;
    Money tax;
};

// A priced line, or why the item cannot be added.
class Priced {
public:
    Priced(Line line)
        : m_line(std::move(line)) {}
    Priced(QString refusal)
        : m_refusal(std::move(refusal)) {}

    explicit operator bool() const { return m_line.has_value(); }
    const Line &operator*() const { return *m_line; }
    const Line *operator->() const { return &*m_line; }
    const QString &error() const { return m_refusal; }

private:
    std::optional<Line> m_line;
    QString m_refusal;
};

// Prices one item; refused, with the operator's text, when the quantity is
// below 1, an amount does not fit a currency column or the row's total is
// more than billing can charge.
Priced price(const Item &item, const Settings &settings);

// The price per guest: the total shared among the guests, rounded once to
// the cent, half away from zero. None below one guest ("No GTE").
std::optional<Money> perGuest(Money total, qint64 guests);

} // namespace ItemPricing
