#pragma once

#include "values/Money.h"
#include "values/Result.h"

#include <QDate>
#include <QHash>
#include <QLocale>
#include <QString>
#include <QTimeZone>

class Database;
class Databases;

// The club's own settings, kept by name in evnt's clubsetting table (and a
// room's in roomsetting): the locale its papers are written for, its time
// zone, and the date formats derived from them unless the club sets its
// own. A locale the club has not set is the workstation's; its time zone
// is always its own (an upgrade gives a club without one the upgrading
// workstation's), so every workstation and server agrees on its times.
class ClubSettings {
public:
    static constexpr auto Locale = "locale";           // "en_US", "de_DE"
    static constexpr auto TimeZone = "timezone";       // "America/New_York"
    static constexpr auto LongDateFormat = "longdate"; // Qt date format text
    static constexpr auto ShortDateFormat = "shortdate";

    ClubSettings() = default;
    // Settings given by name (Locale, LongDateFormat, ...), as the report
    // program receives them.
    explicit ClubSettings(QHash<QString, QString> values);

    static Result<ClubSettings> read(Database &evnt);
    static Result<ClubSettings> load(const Databases &databases);
    // Sets (or with an empty value, removes) one setting. A time zone this
    // system does not know is refused, and the setting kept.
    static Status write(Database &evnt, const QString &name, const QString &value);
    // This workstation's locale and time zone, for a club that has none
    // yet; within the caller's transaction.
    static Status writeDefaults(Database &evnt);
    // One of them (Locale or TimeZone), when the club has none yet; within
    // the caller's transaction. The value written, empty when the club had one.
    static Result<QString> writeDefault(Database &evnt, const char *name);

    QString value(const QString &name) const { return m_values.value(name); }
    // The workstation's locale; American English where the workstation
    // sets none (the "C" locale of a bare system), as the club's papers
    // have always been written.
    static QLocale workstationLocale();
    QLocale locale() const;
    // The club's time zone; an error saying so when it has none, or one
    // this system does not know.
    Result<QTimeZone> timeZone() const;
    // "Saturday, January 2, 2027" in letters, "01/02/2027" in tables, as
    // the club's locale writes them (or in the club's own formats).
    QString longDate(const QDate &date) const;
    QString shortDate(const QDate &date) const;
    // The Qt date format shortDate() writes with.
    QString shortDateFormat() const;
    // A YYYYMMDD date as shortDate() writes it; anything else as the number.
    QString dateNumber(int yyyymmdd) const;
    // A time of the calendar ("18:00") as the club's locale writes it
    // ("6:00 PM"); "CLOSE" as "close"; other text as it is.
    QString time(const QString &calendarTime) const;
    // An amount with the locale's grouping and two decimals ("2,000.00"),
    // and the same with its currency ("$2,000.00").
    QString amount(const Money &value) const;
    QString currency(const Money &value) const;
    // The locale's short format with the year in four digits and the day
    // and month in two: "M/d/yy" becomes "MM/dd/yyyy".
    static QString fullShortFormat(const QLocale &locale);

private:
    QHash<QString, QString> m_values;
};
