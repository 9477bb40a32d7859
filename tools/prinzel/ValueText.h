#pragma once

#include "ReportLayout.h"
#include "session/ClubSettings.h"
#include "values/Money.h"

#include <QDate>
#include <QString>
#include <QVariant>

// Stored values as a report prints them, in the club's formats: its locale
// and its own date formats, as the calling program passes them. Without
// them, American English.
class ValueText {
public:
    ValueText() = default;
    explicit ValueText(ClubSettings club);

    // Cents rounded half away from zero, with the locale's grouping and
    // decimal mark: "1,234.50", "0.05", "-12.00".
    QString money(Money amount) const;
    // YYYYMMDD in the club's table format ("01/16/2027"); 0 and empty as
    // empty; anything else as stored.
    QString date(const QVariant &value) const;
    // YYYYMMDD as letters write it: "Saturday, January 16, 2027".
    QString longDate(const QVariant &value) const;
    // YYYYMMDD as "Saturday, 01/16/2027": the day's name, then the date.
    QString weekday(const QVariant &value) const;
    // YYYYMM, or the month of YYYYMMDD, as "January 2027".
    QString month(const QVariant &value) const;
    // A calendar time ("18:00") as the locale writes it ("6:00 PM");
    // "CLOSE" as "close"; anything else as stored.
    QString time(const QVariant &value) const;
    QString date(const QDate &day) const;
    QString format(const QVariant &value, ValueFormat format) const;

private:
    ClubSettings m_club{{{QString::fromLatin1(ClubSettings::Locale), QStringLiteral("en_US")}}};
};
