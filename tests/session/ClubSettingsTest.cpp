#include "session/ClubSettings.h"

#include "ClubFixture.h"

using namespace Qt::StringLiterals;

namespace {

class ClubSettingsTest : public ClubFixture {
protected:
    ClubSettings settings() { return ClubSettings::load(module->databases).value(); }
    Status write(const char *name, const QString &value) {
        return ClubSettings::write(**module->databases.open(u"evnt"_s), QString::fromLatin1(name),
                                   value);
    }
    void set(const char *name, const QString &value) { ASSERT_TRUE(write(name, value).ok()); }
};

TEST_F(ClubSettingsTest, DatesAmountsAndTimesAreTheClubsOnEveryWorkstation) {
    // Dates, and amounts in whole cents with the locale's grouping at any size.
    const QDate day(2027, 1, 2);
    const char *const rows[][5] = {
        {"en_US", "Saturday, January 2, 2027", "01/02/2027", "-10100.05", "-10,100.05"},
        {"en_GB", "Saturday, 2 January 2027", "02/01/2027", "1999999.999", "2,000,000.00"},
        {"de_DE", "Samstag, 2. Januar 2027", "02.01.2027", "2000", "2.000,00"},
        {"fr_FR", "samedi 2 janvier 2027", "02/01/2027", "0.004", "0,00"},
    };
    for (const auto &[locale, letters, table, amount, amountText] : rows) {
        set(ClubSettings::Locale, QString::fromLatin1(locale));
        const ClubSettings club = settings();
        EXPECT_EQ(club.longDate(day), QString::fromUtf8(letters)) << locale;
        EXPECT_EQ(club.shortDate(day), QString::fromLatin1(table)) << locale;
        EXPECT_EQ(club.amount(*Money::fromText(QString::fromLatin1(amount))),
                  QString::fromLatin1(amountText));
    }
    const WorkstationLocale bare(QLocale::c());
    set(ClubSettings::Locale, u"C"_s);
    EXPECT_EQ(settings().longDate(day), u"Saturday, January 2, 2027"_s);
    EXPECT_EQ(settings().time(u"18:00"_s), u"6:00 PM"_s);
    set(ClubSettings::Locale, u"en_GB"_s);

    // The club's own format wins; an empty value gives the locale's back.
    set(ClubSettings::ShortDateFormat, u"yyyy-MM-dd"_s);
    EXPECT_EQ(settings().shortDate(day), u"2027-01-02"_s);
    set(ClubSettings::ShortDateFormat, QString());
    EXPECT_EQ(settings().shortDate(day), u"02/01/2027"_s);

    // The club's times are its own zone's on every workstation: a zone this
    // system does not know is refused when set, and a club without one says so.
    set(ClubSettings::TimeZone, u"Europe/Berlin"_s);
    for (const char *unknown : {"Nowhere/Atlantis", "Europe/berlin ", "CEST+2"}) {
        const Status refused = write(ClubSettings::TimeZone, QString::fromLatin1(unknown));
        ASSERT_FALSE(refused.ok()) << unknown;
        EXPECT_EQ(refused.error().description,
                  u"\"%1\" is not a time zone this system knows; give a name such "
                  "as America/New_York or Europe/Berlin. The club's time zone was "
                  "not changed."_s.arg(QString::fromLatin1(unknown)));
        EXPECT_EQ(*settings().timeZone(), QTimeZone("Europe/Berlin"));
    }
    set(ClubSettings::TimeZone, QString());
    EXPECT_EQ(settings().timeZone().error().description,
              u"The club has no time zone; run \"moravel-club upgrade\" on the "
              "club to give it this workstation's."_s);
}

} // namespace
