#include "ClubSettings.h"

#include "storage/Databases.h"
#include "storage/Transaction.h"

#include <QRegularExpression>

namespace {

const QString EventDatabase = QStringLiteral("evnt");

} // namespace

ClubSettings::ClubSettings(QHash<QString, QString> values)
    : m_values(std::move(values)) {}

Result<ClubSettings> ClubSettings::read(Database &evnt) {
    auto rows = evnt.exec(QStringLiteral("select name, value from clubsetting"));
    if (!rows)
        return rows.error();
    ClubSettings settings;
    while (rows->next())
        settings.m_values.insert(rows->value(0).toString().trimmed().toLower(),
                                 rows->value(1).toString().trimmed());
    return settings;
}

Result<ClubSettings> ClubSettings::load(const Databases &databases) {
    auto evnt = databases.open(EventDatabase);
    if (!evnt)
        return evnt.error();
    return read(*evnt.value());
}

Status ClubSettings::write(Database &evnt, const QString &name, const QString &value) {
    if (name == QLatin1String(TimeZone) && !value.isEmpty() &&
        !QTimeZone::isTimeZoneIdAvailable(value.toUtf8()))
        return DbError{ErrorNumber::TypeMismatch,
                       QStringLiteral("\"%1\" is not a time zone this system knows; give a name "
                                      "such as America/New_York or Europe/Berlin. The club's "
                                      "time zone was not changed.")
                           .arg(value)};
    Transaction transaction(evnt);
    if (!transaction.begun())
        return transaction.begun();
    if (Status removed =
            evnt.execute(QStringLiteral("delete from clubsetting where name = ?"), {name});
        !removed)
        return removed;
    if (!value.isEmpty()) {
        if (Status added =
                evnt.execute(QStringLiteral("insert into clubsetting (name, value) values (?, ?)"),
                             {name, value});
            !added)
            return added;
    }
    return transaction.commit();
}

Status ClubSettings::writeDefaults(Database &evnt) {
    for (const char *name : {Locale, TimeZone}) {
        if (auto written = writeDefault(evnt, name); !written)
            return written.error();
    }
    return {};
}

Result<QString> ClubSettings::writeDefault(Database &evnt, const char *name) {
    auto current = read(evnt);
    if (!current)
        return current.error();
    const QString key = QString::fromLatin1(name);
    if (!current->value(key).isEmpty())
        return QString();
    const QString value = key == QLatin1String(TimeZone)
                              ? QString::fromUtf8(QTimeZone::systemTimeZoneId())
                              : workstationLocale().name();
    if (Status added = evnt.execute(
            QStringLiteral("insert into clubsetting (name, value) values (?, ?)"), {key, value});
        !added)
        return added.error();
    return value;
}

QLocale ClubSettings::workstationLocale() {
    const QLocale workstation;
    return workstation.language() == QLocale::C ? QLocale(QLocale::English, QLocale::UnitedStates)
                                                : workstation;
}

QLocale ClubSettings::locale() const {
    const QString name = value(QString::fromLatin1(Locale));
    const QLocale named(name);
    return name.isEmpty() || named.language() == QLocale::C ? workstationLocale() : named;
}

Result<QTimeZone> ClubSettings::timeZone() const {
    const QString id = value(QString::fromLatin1(TimeZone));
    if (id.isEmpty())
        return DbError{ErrorNumber::FieldMissing,
                       QStringLiteral("The club has no time zone; run \"moravel-club upgrade\" "
                                      "on the club to give it this workstation's.")};
    const QTimeZone zone(id.toUtf8());
    if (!zone.isValid())
        return DbError{ErrorNumber::TypeMismatch,
                       QStringLiteral("The club's time zone \"%1\" is not one this system "
                                      "knows.")
                           .arg(id)};
    return zone;
}

QString ClubSettings::longDate(const QDate &date) const {
    const QString own = value(QString::fromLatin1(LongDateFormat));
    const QLocale club = locale();
    return club.toString(date, own.isEmpty() ? club.dateFormat(QLocale::LongFormat) : own);
}

QString ClubSettings::shortDate(const QDate &date) const {
    return locale().toString(date, shortDateFormat());
}

QString ClubSettings::shortDateFormat() const {
    const QString own = value(QString::fromLatin1(ShortDateFormat));
    return own.isEmpty() ? fullShortFormat(locale()) : own;
}

QString ClubSettings::dateNumber(int yyyymmdd) const {
    const QDate date(yyyymmdd / 10000, yyyymmdd / 100 % 100, yyyymmdd % 100);
    return date.isValid() ? shortDate(date) : QString::number(yyyymmdd);
}

QString ClubSettings::time(const QString &calendarTime) const {
    const QString text = calendarTime.trimmed();
    if (text.compare(QLatin1String("CLOSE"), Qt::CaseInsensitive) == 0)
        return QStringLiteral("close");
    const QTime parsed = QTime::fromString(text, QStringLiteral("HH:mm"));
    return parsed.isValid() ? locale().toString(parsed, QLocale::ShortFormat) : text;
}

QString ClubSettings::amount(const Money &value) const {
    // Whole cents, then the locale's digits: exact at any size a club bills.
    const qint64 cents = value.roundedToCents().units() / (Money::Scale / 100);
    const QLocale club = locale();
    const qint64 magnitude = cents < 0 ? -cents : cents;
    QString text = club.toString(magnitude / 100) + club.decimalPoint() +
                   QStringLiteral("%1").arg(magnitude % 100, 2, 10, QLatin1Char('0'));
    return cents < 0 ? club.negativeSign() + text : text;
}

QString ClubSettings::currency(const Money &value) const {
    const double cents = double(value.roundedToCents().units() / (Money::Scale / 100));
    return locale().toCurrencyString(cents / 100.0, QString(), 2);
}

QString ClubSettings::fullShortFormat(const QLocale &locale) {
    QString format = locale.dateFormat(QLocale::ShortFormat);
    // Runs of one letter, widened: y to four, M and d to two.
    static const QRegularExpression runs(QStringLiteral("(y+|M+|d+)"));
    QString widened;
    qsizetype last = 0;
    for (auto match = runs.globalMatch(format); match.hasNext();) {
        const auto run = match.next();
        widened += format.mid(last, run.capturedStart() - last);
        const QChar letter = run.captured().front();
        const qsizetype length = run.capturedLength();
        if (letter == QLatin1Char('y'))
            widened += QStringLiteral("yyyy");
        else
            widened += QString(std::max<qsizetype>(length, 2), letter);
        last = run.capturedEnd();
    }
    return widened + format.mid(last);
}
