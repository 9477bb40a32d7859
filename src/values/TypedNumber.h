#pragma once

#include "Money.h"
#include "storage/Schema.h"

#include <QLocale>
#include <QString>
#include <QStringView>
#include <optional>

// A number an operator typed into a box that takes an amount, a quantity, a
// count or a percentage. The whole text is the number, or it is refused with
// a message that names the box and shows what was typed; nothing is ever
// read from the leading digits alone ("12abc" is not 12).
//
// Taken: blanks around the number, a sign (also the minus sign U+2212 and
// the locale's own), a leading currency sign in an amount, digits of one
// script (Arabic-Indic digits are read as the digits they are), groups of
// thousands marked by commas or as the workstation's locale marks them, and
// one decimal mark. Text that the comma reading ("1,250.00") and the
// locale's ("1.250,00") would take as two different numbers is refused
// rather than guessed, and so is a value the box's column cannot hold.
class TypedNumber {
public:
    // What a box takes.
    struct Bounds {
        std::optional<Decimal> least;
        std::optional<Decimal> most;
        int decimals = -1;   // decimal places kept; -1 for any
        int digits = 0;      // significant digits kept; 0 for any
        bool amount = false; // money: a leading currency sign is taken

        Bounds atLeast(const Decimal &value) const;
        Bounds atMost(const Decimal &value) const;
        Bounds withDecimals(int places) const;
    };
    enum class Refusal {
        None,
        Empty, // nothing but blanks; the box decides what that means
        NotANumber,
        Ambiguous,
        NotWhole,
        TooManyDecimals,
        TooManyDigits,
        BelowLeast,
        AboveMost,
    };

    // What a column of that type holds on either engine: the 16- and 32-bit
    // integers, a double's significant digits, or Money's range and places.
    static Bounds of(Schema::ColumnType type);
    // The same for a column of the schema.
    static Bounds ofColumn(const QString &database, const QString &table, const QString &column);

    static TypedNumber read(QStringView typed, const QString &box, const Bounds &bounds,
                            const QLocale &locale = QLocale());

    // The text the program writes into a box for a value: digits and a
    // point, read back the same under every locale. Three decimal places
    // get a fourth zero, since "1.250" is 1250 where the point groups
    // thousands.
    static QString plainText(const Decimal &value);

    bool isNumber() const { return m_refusal == Refusal::None; }
    bool isEmpty() const { return m_refusal == Refusal::Empty; }
    Refusal refusal() const { return m_refusal; }
    // A number, but not one the box takes.
    bool isOutOfRange() const {
        return m_refusal == Refusal::BelowLeast || m_refusal == Refusal::AboveMost;
    }
    const Decimal &value() const { return m_value; }
    // For the operator (title "Oops..."); empty for a number or an empty box.
    const QString &message() const { return m_message; }

private:
    TypedNumber() = default;

    Refusal m_refusal = Refusal::None;
    Decimal m_value;
    QString m_message;
};
