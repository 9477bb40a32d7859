#include "ReportValues.h"

#include "DataConnection.h"
#include "ReportClub.h"
#include "ValueText.h"

#include <QSqlQuery>
#include <gtest/gtest.h>

namespace {

// The values a layout's queries give over the club's data files, rendered
// through a template.
class Values : public ::testing::Test {
protected:
    void SetUp() override {
        club.exec("create table charges (eventnum integer, amount, note text)");
        club.execMany("insert into charges values (?, ?, ?)",
                      {{1, 0.1, "a"}, {1, 0.2, QVariant()}, {2, "1000", "c"}});
    }

    Result<QString, ReportFailure> render(const QString &layoutText, const QString &templateText,
                                          const QString &formulaText = {}) {
        const auto layout = ReportLayout::parse(layoutText, "test.rpt");
        if (!layout)
            return layout.error();
        const auto formula = SelectionFormula::parse(formulaText);
        if (!formula)
            return formula.error();
        const auto connection = DataConnection::open(club.directory, {"rpt05.mdb"});
        if (!connection)
            return connection.error();
        const auto values = ReportValues::read((*connection)->database(), *layout, *formula,
                                               "Title", ReportClub::today());
        if (!values)
            return values.error();
        kainjow::mustache::mustache parsed(templateText.toStdString());
        return QString::fromStdString(parsed.render(*values));
    }
    // The text of a render that must succeed.
    QString rendered(const QString &layoutText, const QString &templateText,
                     const QString &formulaText = {}) {
        const auto text = render(layoutText, templateText, formulaText);
        EXPECT_TRUE(text) << text.error().message.toStdString();
        return text ? *text : QString();
    }

    ReportClub club;
};

const QString Charges = QStringLiteral(
    "[query charges]\nsql = select eventnum, amount, note from charges order by eventnum\n"
    "table = charges\ngroup = eventnum\nsum = amount\n[body]\nx");
const QString PerGroup = QStringLiteral(
    "{{#charges_groups}}{{group}}:{{count}}:{{sum.amount}}:{{note}};{{/charges_groups}}"
    "|{{charges_total.amount}}|{{charges_count}}");

// 0.1 + 0.2 in binary floating point would print 0.30000000000000004.
TEST_F(Values, GroupsAndTotalsAreSummedInExactDecimalsOverTheSelectedRows) {
    const struct {
        QString layout;
        QString templateText;
        const char *formula;
        const char *expected;
    } cases[] = {
        {Charges, PerGroup, "", "1:2:0.3:a;2:1:1000:c;|1000.3|3"},
        {QString(Charges).replace("sum = amount", "sum = amount\nformat = amount:money"),
         "{{#charges}}{{amount}} {{/charges}}|{{charges_total.amount}}", "",
         "0.10 0.20 1,000.00 |1,000.30"},
        // Each group's total per guest, none without a guest.
        {QString(Charges)
             .replace("note from", "note, 3 * eventnum - 3 as guests from")
             .replace("sum = amount", "sum = amount\nper guest = each: amount / guests"),
         "{{#charges_groups}}{{group}}:{{^each}}-{{/each}}{{each}};{{/charges_groups}}", "",
         "1:-;2:333.33;"},
        // The selection formula narrows the query of its table.
        {Charges, PerGroup, "{charges.eventnum} = 1", "1:2:0.3:a;|0.3|2"},
        {Charges, PerGroup, "{Charges.EventNum} > 1", "2:1:1000:c;|1000|1"},
        {Charges, PerGroup, "{charges.note} = 'c' or {charges.eventnum} = 1",
         "1:2:0.3:a;2:1:1000:c;|1000.3|3"},
        {Charges, PerGroup, "{charges.note} = 'c' and {charges.eventnum} = 1", "|0|0"},
        {Charges, PerGroup, "{charges.note} = \"x' or '1'='1\"", "|0|0"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(rendered(c.layout, c.templateText, c.formula), c.expected) << c.formula;
}

TEST_F(Values, RefusalsNameWhatIsWrong) {
    const struct {
        QString layout;
        const char *formula;
        ExitCode code;
        const char *named;
    } cases[] = {
        {Charges, "{charges.amount2} = 1", ExitCode::Data, "amount2"},
        {Charges, "{eventinfo.eventnum} = 1", ExitCode::Data, "eventinfo"},
        {"[query gone]\nsql = select * from nothere\n[body]\nx", "", ExitCode::Data, "gone"},
        {QString(Charges).replace("sum = amount", "sum = note"), "", ExitCode::Data,
         "note holds \"a\""},
        {QString(Charges).replace("sum = amount", "sum = amount\nper guest = each: amount / x"), "",
         ExitCode::Layout, "no column x"},
        {QString(Charges).replace("group = eventnum", "group = x"), "", ExitCode::Layout,
         "no column x"},
    };
    for (const auto &c : cases) {
        const auto text = render(c.layout, PerGroup, QString::fromUtf8(c.formula));
        expectRefused(text, c.code, c.named);
    }
}

TEST_F(Values, HeadingsFlagsEmptyValuesAndMemoLines) {
    club.exec("update headings set ctlauxtitle = ?", {"All"});
    EXPECT_EQ(rendered("[query none]\nsql = select * from charges where eventnum > 5\n"
                       "[query charges]\nsql = select note from charges order by eventnum\n"
                       "[body]\nx",
                       "{{headings.ctlcompname}}/{{headings.ctlauxtitle}}/{{title}}/{{today}}|"
                       "{{#none_empty}}no rows{{/none_empty}}|{{#empty}}all empty{{/empty}}|"
                       "{{#charges}}[{{#note}}{{note}}{{/note}}{{^note}}-{{/note}}]{{/charges}}"),
              "Harbour Club/All/Title/01/15/2027|no rows||[a][-][c]");

    // A memo is the list of its lines.
    club.exec("create table notes (id integer, body text)");
    club.execMany("insert into notes values (?, ?)",
                  {{1, "Terms\r\n  1. <Deposit> & \"fees\"\n\n   \rlast\n"},
                   {2, "no break at the end"},
                   {3, QString()},
                   {4, QVariant()}});
    EXPECT_EQ(rendered("[query notes]\nsql = select id, body from notes order by id\n"
                       "format = body:memo\n[body]\nx",
                       "{{#notes}}{{id}}:{{#body}}[{{line}}{{#blank}}_{{/blank}}]{{/body}}"
                       "{{^body}}none{{/body}};{{/notes}}"),
              "1:[Terms][  1. &lt;Deposit&gt; &amp; &quot;fees&quot;][_][   _][last];"
              "2:[no break at the end];3:none;4:none;");
}

// Without a locale from the calling program, American English; with one,
// the club's: its grouping, its date order, its names and its clock.
TEST(ValueText, MoneyDatesAndTimesInTheClubsFormats) {
    const struct {
        const char *locale; // none: the block named none
        QVariant stored;
        ValueFormat format;
        const char *printed;
    } cases[] = {
        {nullptr, 0, ValueFormat::Money, "0.00"},
        {nullptr, 0.05, ValueFormat::Money, "0.05"},
        {nullptr, 1.005, ValueFormat::Money, "1.01"}, // the double 1.00499999... is read as 1.005
        {nullptr, -1.005, ValueFormat::Money, "-1.01"},
        {nullptr, -0.004, ValueFormat::Money, "0.00"},
        {nullptr, "1234.5", ValueFormat::Money, "1,234.50"},
        {nullptr, 999.995, ValueFormat::Money, "1,000.00"},
        {nullptr, 9999999.99, ValueFormat::Money, "9,999,999.99"},
        {nullptr, "n/a", ValueFormat::Money, "n/a"},
        {nullptr, 20270105, ValueFormat::Date, "01/05/2027"},
        {nullptr, "20271231", ValueFormat::Date, "12/31/2027"},
        {nullptr, 0, ValueFormat::Date, ""},
        {nullptr, 20271301, ValueFormat::Date, "20271301"},
        {nullptr, QVariant(), ValueFormat::Date, ""},
        {nullptr, 20270102, ValueFormat::LongDate, "Saturday, January 2, 2027"},
        {nullptr, 20270116, ValueFormat::Weekday, "Saturday, 01/16/2027"},
        {nullptr, "20280229", ValueFormat::Weekday, "Tuesday, 02/29/2028"},
        {nullptr, 20270229, ValueFormat::Weekday, "20270229"},
        {nullptr, 0, ValueFormat::Weekday, ""},
        {nullptr, 202701, ValueFormat::Month, "January 2027"},
        {nullptr, 20271231, ValueFormat::Month, "December 2027"},
        {nullptr, 202713, ValueFormat::Month, "202713"},
        {nullptr, QVariant(), ValueFormat::Month, ""},
        {nullptr, "09:15", ValueFormat::Time, "9:15 AM"},
        {nullptr, "18:00", ValueFormat::Time, "6:00 PM"},
        {nullptr, "CLOSE", ValueFormat::Time, "close"},
        {nullptr, "late", ValueFormat::Time, "late"},
        {nullptr, 12.5, ValueFormat::Text, "12.5"},
        {"en_GB", 20270105, ValueFormat::Date, "05/01/2027"},
        {"en_GB", "18:00", ValueFormat::Time, "18:00"},
        {"de_DE", 1234567.891, ValueFormat::Money, "1.234.567,89"},
        {"de_DE", 20270102, ValueFormat::LongDate, "Samstag, 2. Januar 2027"},
        {"de_DE", 20270116, ValueFormat::Weekday, "Samstag, 16.01.2027"},
        {"de_DE", 202703, ValueFormat::Month, "März 2027"},
    };
    for (const auto &c : cases) {
        QHash<QString, QString> formats;
        if (c.locale)
            formats.insert(QString::fromLatin1(ClubSettings::Locale),
                           QString::fromLatin1(c.locale));
        const ValueText writer = c.locale ? ValueText(ClubSettings(formats)) : ValueText();
        EXPECT_EQ(writer.format(c.stored, c.format), QString::fromUtf8(c.printed))
            << (c.locale ? c.locale : "") << " " << c.stored.toString().toStdString();
    }
}

TEST(DataConnection, OpensEveryFileReadOnly) {
    ReportClub club;
    club.exec("create table rooms (name text)", {});
    club.execMany("create table rooms (name text)", {{}}, "extra.mdb");
    club.execMany("insert into rooms values (?)", {{"Terrace"}}, "extra.mdb");
    {
        const auto connection =
            DataConnection::open(club.directory, {"RPT05.MDB", {}, "Extra.mdb"});
        ASSERT_TRUE(connection) << connection.error().message.toStdString();
        EXPECT_EQ((*connection)->mainFile(), club.path("rpt05.mdb"));
        QSqlQuery query((*connection)->database());
        ASSERT_TRUE(query.exec("select name from data2.rooms"));
        ASSERT_TRUE(query.next());
        EXPECT_EQ(query.value(0).toString(), "Terrace");
        EXPECT_FALSE(query.exec("insert into rooms values ('x')"));
        EXPECT_FALSE(query.exec("insert into data2.rooms values ('x')"));
    }
    club.writeFile("notes.mdb", "not a database, but long enough "
                                "to be read as a header page");
    for (const char *file : {"missing.mdb", "notes.mdb"}) {
        const auto connection =
            DataConnection::open(club.directory, {"rpt05.mdb", QString::fromUtf8(file)});
        expectRefused(connection, ExitCode::Data, file);
    }
}

} // namespace
