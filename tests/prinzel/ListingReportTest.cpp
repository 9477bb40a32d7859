#include "ReportClub.h"

#include <QRegularExpression>
#include <gtest/gtest.h>

namespace {

const QString EventColumns = QStringLiteral(
    "insert into eventinfo (eventnum, eventdate, eventtitle, starttime, endtime, status, setfor, "
    "guarantee, roomnumber, memnonmem, custid, custname, contactname, contphone1, contphone2, "
    "deposit, bookedby, createdate, notes, internalnotes) "
    "values (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
const QString ItemColumns =
    QStringLiteral("insert into eventitems values (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");

// The report work file as the calling program fills it for a selection of
// events over two months: six events, four of them with items.
class Listings : public ::testing::Test {
protected:
    void SetUp() override {
        club.exec("update headings set ctlauxtitle = ?", {"from 20270101 to 20270228 - All"});
        // Room 2 has lost its name: its number prints instead.
        club.execMany("insert into location values (?, ?, ?, 0)",
                      {{1, "Terrace Pavilion", 60}, {2, " ", 40}, {3, "Grand Ballroom", 250}});
        club.execMany(
            EventColumns,
            rows({"1001|20270116|Smith & Jones Wedding|17:30|CLOSE|4|120|110|3|2|5150.25|Avery "
                  "Billing|Dana Planner|207-555-0142||500.00|DEMO|20261201|Menu: salmon\nBand from "
                  "8 pm|Deposit cheque not yet cleared",
                  "1002|20270116|Board Lunch|12:00|14:00|2|20|20|1|1|25|Harbour Club|Lee "
                  "Chair||207-555-0177|0|DEMO|20261215||",
                  "1003|20270122|Rotary Breakfast|07:30|09:00|5|40|40|2|2|0|||||0||0||",
                  "1004|20270205|Valentine Dinner Dance|19:00|23:00|3|90|0|3|1|0||Sam "
                  "Host|207-555-0110||250.00|DEMO|20270102||",
                  "1005|20270213|Tasting|15:00|16:00|1|0|0|2|2|0||Kim "
                  "Guest|207-555-0190||0|DEMO|20270110||",
                  "1006|20270227|Retirement "
                  "Reception|18:00|21:00|9|50|50|1|1|0|||||0|DEMO|20261120||"}));
        club.execMany(
            ItemColumns,
            rows({"1001|110|501|FOOD|110 Plated dinner, salmon|12.50|4400.00|792.00|285.56|4010",
                  "1001|1|730|BAR|1 Champagne toast|90.00|240.00|43.20|15.58|4020",
                  "1001|2|731|BAR|2 Wine, case|60.00|300.00|54.00|19.47|4020",
                  "1002|20|501|FOOD|20 Plated dinner, salmon|12.50|800.00|144.00|51.92|4010",
                  "1003|40|510|FOOD|40 Continental breakfast|4.10|598.00|107.64|38.87|4010",
                  "1003|1|0||1 Room rental|0|150.00|0|0|4100",
                  "1004|80|501|FOOD|80 Plated dinner, salmon|12.50|3200.00|576.00|207.68|4010",
                  "1004|1|0||1 Room rental|0|150.00|0|0|4100"}));
    }

    // The event sheets (evnt01*, evnt02*) print event 1001.
    QString print(const QString &layout) { return sheet(layout, isSheet(layout) ? 1001 : 0); }
    QString sheet(const QString &layout, int event) {
        return club.print(ReportClub::block(
            layout, event ? QStringLiteral("{eventinfo.eventnum} = %1").arg(event) : QString()));
    }
    static bool isSheet(const QString &layout) {
        return layout.startsWith("evnt01") || layout.startsWith("evnt02");
    }
    // The listings by day and by month are printed across the paper.
    static QSizeF paper(const QString &layout) {
        return layout.startsWith("evnt03") || layout.startsWith("evnt05") ? QSizeF(792, 612)
                                                                          : QSizeF(612, 792);
    }

    ReportClub club;
};

QString simplified(const QString &text) {
    QStringList lines;
    for (const QString &line : text.split(QLatin1Char('\n')))
        lines << line.simplified();
    return lines.join(QLatin1Char('\n'));
}

bool hasLine(const QString &text, const QString &line) {
    return simplified(text).split(QLatin1Char('\n')).contains(line);
}

// Each of `lines` is a line of the text, its blanks run together.
void expectLines(const QString &text, std::initializer_list<const char *> lines) {
    for (const char *line : lines)
        EXPECT_TRUE(hasLine(text, line)) << line;
}

struct Listing {
    const char *layout;
    const char *title;
    const char *nothing; // the line an empty work file prints; none for labels
    const char *sample;  // a line of the representative work file
};

const char *const NoEvent = "No event was selected.", *const NoEvents = "No events were selected.",
                  *const NoItems = "No items were selected.",
                  *const PerGuest = "Total per guest (110 guaranteed) 55.91",
                  *const AllEvents = "Events in all: 6",
                  *const AllItems = "All events, 8 items 9,838.00 1,716.84 619.08",
                  *const AllMonths = "All months, 6 events 9,838.00 1,716.84 619.08 12,173.92";
const Listing AllListings[] = {
    {"evnt01a.rpt", "Event Detail Sheet", NoEvent, PerGuest},
    {"evnt01b.rpt", "Event Detail Sheet", NoEvent, PerGuest},
    {"evnt02b.rpt", "Event Items", NoEvent, PerGuest},
    {"evnt03a.rpt", "Events Today", NoEvents, AllEvents},
    {"evnt03b.rpt", "Events This Month", NoEvents, AllEvents},
    {"evnt03c.rpt", "Events Next Month", NoEvents, AllEvents},
    {"evnt03d.rpt", "Events This Year", NoEvents, AllEvents},
    {"evnt03e.rpt", "Events by Date Range", NoEvents, AllEvents},
    {"evnt04b.rpt", "Event Items This Month", NoItems, AllItems},
    {"evnt04c.rpt", "Event Items Next Month", NoItems, AllItems},
    {"evnt04e.rpt", "Event Items by Date Range", NoItems, AllItems},
    {"evnt04f.rpt", "Consolidated Event Items", NoItems, "501 Plated dinner, salmon 210 8,400.00"},
    {"evnt05b.rpt", "Revenue Projection This Month", NoEvents, AllMonths},
    {"evnt05c.rpt", "Revenue Projection Next Month", NoEvents, AllMonths},
    {"evnt05e.rpt", "Revenue Projection by Date Range", NoEvents, AllMonths},
    {"evntmail1.rpt", "", "", "Dana Planner"},
    {"evntmail2.rpt", "", "", "Avery Billing"},
};

TEST_F(Listings, EveryLayoutPrintsItsHeadingsAndNothingSelectedWhenEmpty) {
    for (const bool empty : {false, true}) {
        if (empty)
            club.execAll({{"delete from eventinfo", {{}}}, {"delete from eventitems", {{}}}});
        for (const Listing &listing : AllListings) {
            SCOPED_TRACE(listing.layout);
            const QString text = print(listing.layout);
            EXPECT_EQ(club.pages, 1);
            EXPECT_EQ(simplified(text).contains(listing.sample), !empty) << listing.sample;
            if (*listing.title == 0) { // a label sheet has no room for headings
                EXPECT_EQ(text.trimmed().isEmpty(), empty) << text.toStdString();
                continue;
            }
            for (const char *expected :
                 {"Harbour Club", listing.title, "Printed 01/15/2027 Page 1 of 1"})
                EXPECT_TRUE(hasLine(text, expected)) << expected;
            EXPECT_EQ(hasLine(text, listing.nothing), empty) << text.toStdString();
        }
    }
}

// The listings by day and by event, as a whole.
TEST_F(Listings, DaysAndEventsPrintAsTheirGoldenFiles) {
    expectGolden("evnt03b.txt", print("evnt03b.rpt"));
    expectGolden("evnt04b.txt", print("evnt04b.rpt"));
}

// Items added up by department over events (FOOD has a name; BAR and items
// without a department do not; WINE has no items), and events by month.
TEST_F(Listings, TotalsByDepartmentAndByMonth) {
    club.execMany("insert into department values (?, ?)",
                  {{"FOOD", "Kitchen & Catering"}, {"WINE", "Cellar"}});
    const QString items = print("evnt04f.rpt");
    expectLines(items,
                {"Department (none)", "0 Room rental 2 300.00",
                 "Department (none), 1 items 2 300.00", "Department BAR",
                 "730 Champagne toast 1 240.00", "731 Wine, case 2 300.00", "Kitchen & Catering",
                 "501 Plated dinner, salmon 210 8,400.00", "510 Continental breakfast 40 598.00",
                 "Kitchen & Catering, 2 items 250 8,998.00",
                 "All departments, 5 items 255 9,838.00"});
    EXPECT_FALSE(items.contains("FOOD") || items.contains("Cellar"));
    expectLines(print("evnt05e.rpt"),
                {"January 2027", "February 2027",
                 "01/16/2027 1001 Smith & Jones Wedding 4-Confirmed w/Count 120 4,940.00 889.20 "
                 "320.61 6,149.81",
                 "guar. 110", "02/13/2027 1005 Tasting 1-Contact Only 0 0.00 0.00 0.00 0.00",
                 "January 2027, 3 events 6,488.00 1,140.84 411.40 8,040.24",
                 "February 2027, 3 events 3,350.00 576.00 207.68 4,133.68"});
}

// The largest amount an amount column holds, in every money column of every
// layout that prints amounts: whole, on one line, inside the paper's margin.
TEST_F(Listings, LargeAmountsStayWhole) {
    club.exec("delete from eventitems");
    club.exec(ItemColumns, {1001, 1, 501, "FOOD", "1 Gala", "9999999.99", "9999999.99",
                            "9999999.99", "9999999.99", 4010});
    club.exec("update eventinfo set deposit = '9999999.99' where eventnum = 1001");
    for (const char *layout :
         {"evnt01a.rpt", "evnt01b.rpt", "evnt02b.rpt", "evnt04b.rpt", "evnt04c.rpt", "evnt04e.rpt",
          "evnt04f.rpt", "evnt05b.rpt", "evnt05c.rpt", "evnt05e.rpt"}) {
        print(layout);
        EXPECT_GE(
            expectAmountsWhole(club.path("out.pdf"), paper(layout).width() - 36 + 0.5, layout), 1)
            << layout;
    }
}

TEST_F(Listings, TheEventSheetsShowTheSelectedEvent) {
    club.exec("update headings set ctlauxtitle = ?, ctlseq = ?", {"Saturday", "01/16/27"});
    const QString internal = print("evnt01a.rpt"), customer = print("evnt01b.rpt"),
                  items = print("evnt02b.rpt");
    for (const QString &text : {internal, customer, items}) {
        expectLines(text,
                    {"Saturday 01/16/27", "Subtotal 4,940.00", "Service charge 889.20",
                     "Tax 320.61", "Total 6,149.81", "Total per guest (110 guaranteed) 55.91"});
        EXPECT_TRUE(text.contains("Smith & Jones Wedding"));
        EXPECT_EQ(text.count("Champagne toast"), 1);
        EXPECT_FALSE(text.contains("Board Lunch"));
        EXPECT_FALSE(text.contains("800.00")) << "another event's item";
    }
    for (const char *expected :
         {"Bill to (account 5150.25)", "Status: 4-Confirmed w/Count", "Deposit received: 500.00",
          "Notes", "Menu: salmon", "Band from 8 pm", "Date: Saturday, January 16, 2027",
          "Time: 5:30 PM to close", "Guests: 120 (guaranteed 110)"}) {
        EXPECT_TRUE(simplified(internal).contains(expected)) << expected;
        EXPECT_TRUE(simplified(customer).contains(expected)) << expected;
    }
    EXPECT_EQ(customer.count("Band from 8 pm"), 1);
    // The quantity once, though the description starts with it.
    expectLines(internal, {"110 Plated dinner, salmon 12.50 4,400.00 792.00 285.56 5,477.56"});
    expectLines(customer, {"110 Plated dinner, salmon 4,400.00 792.00 285.56 5,477.56"});
    EXPECT_TRUE(internal.contains("Deposit cheque not yet cleared"));
    EXPECT_TRUE(internal.contains("Unit cost"));
    for (const QString &text : {customer, items})
        for (const char *internalOnly : {"Deposit cheque", "cost", "12.50"})
            EXPECT_FALSE(text.contains(internalOnly)) << internalOnly;
    expectLines(items, {"Saturday, January 16, 2027, 5:30 PM to close Event # 1001 Grand "
                        "Ballroom Guests: 120 (guaranteed 110)"});
    EXPECT_FALSE(items.contains("Band from 8 pm"));

    // No guarantee, no total per guest; no items, totals of nothing.
    EXPECT_FALSE(sheet("evnt01a.rpt", 1004).contains("per guest"));
    const QString cancelled = sheet("evnt01a.rpt", 1006);
    expectLines(cancelled, {"No items.", "Total 0.00", "Total per guest (50 guaranteed) 0.00"});
    EXPECT_FALSE(cancelled.contains("Notes"));
    expectLines(sheet("evnt01a.rpt", 999), {"No event was selected."});
}

TEST_F(Listings, MoneyRoundsOnceHalfAwayFromZeroAndAddsUpExactly) {
    // 24.53 over 2 guests is 12.265: half a cent, which goes up, neither
    // down (cut off) nor to the even cent. 999.744 over 150 is 6.66496:
    // 6.66, not 6.6650 rounded up again.
    club.exec("delete from eventitems where eventid in (1002, 1003)");
    club.exec("update eventinfo set guarantee = 2 where eventnum = 1002");
    club.exec("update eventinfo set guarantee = 150 where eventnum = 1003");
    club.execMany(ItemColumns, rows({"1002|1|9|BAR|1 Coffee|0|24.50|0.03|0|1",
                                     "1003|1|9|BAR|1 Coffee|0|500|90|34.872|1",
                                     "1003|1|9|BAR|1 Tea|0|300|54|20.872|1"}));
    expectLines(sheet("evnt01b.rpt", 1002), {"Total per guest (2 guaranteed) 12.27"});
    expectLines(sheet("evnt02b.rpt", 1003), {"Total per guest (150 guaranteed) 6.66"});

    // A thousand items of 0.10: the stored doubles do not add up to 100
    // exactly; every layout, whether prinzel or the query adds up, prints
    // 100.00.
    club.exec("delete from eventitems");
    club.execMany(ItemColumns, QList<QVariantList>(1000, {1001, 1, 900, "BAR", "1 Mint", "0", 0.1,
                                                          0.1, 0.1, 4020}));
    expectLines(print("evnt01a.rpt"), {"Subtotal 100.00", "Total 300.00"});
    expectLines(print("evnt02b.rpt"), {"Total per guest (110 guaranteed) 2.73"});
    expectLines(print("evnt04b.rpt"), {"Event 1001, 1000 items 100.00 100.00 100.00",
                                       "All events, 1000 items 100.00 100.00 100.00"});
    expectLines(print("evnt04f.rpt"), {"900 Mint 1000 100.00"});
    expectLines(print("evnt05b.rpt"), {"January 2027, 3 events 100.00 100.00 100.00 300.00",
                                       "All months, 6 events 100.00 100.00 100.00 300.00"});
}

// A title of 10,000 characters in four scripts, in every layout that prints
// an event's title, contracts included: wrapped within the paper, no word
// drawn over another.
TEST_F(Listings, LongTitlesInAnyScriptWrapWithoutOverlapping) {
    club.exec("update eventinfo set eventtitle = ? where eventnum = 1001", {longTitle()});
    club.execMany("insert into tasklist (eventnumber, taskdate, todo, task, staff) "
                  "values (1001, ?, 'N', ?, 'DEMO')",
                  {{20270110, "Confirm the band"}, {20270112, "Order flowers"}});
    club.exec("insert into master (acctnumber, billto, comments) values (1001, 3, 'clause1')");
    for (const char *layout : {"evnt01a.rpt", "evnt01b.rpt", "evnt02b.rpt", "evnt03e.rpt",
                               "evnt04e.rpt", "evnt05e.rpt", "evnttask1.rpt", "evntcb01.rpt",
                               "evntcb02.rpt", "evntcb01w.rpt", "evntcb02w.rpt", "evntcbudf.rpt"}) {
        const QString text = print(layout);
        for (const char *word : {"東京の夕べ1", "Праздник2"})
            EXPECT_TRUE(text.contains(word)) << layout;
        EXPECT_EQ(text.contains("clause1"), QByteArray(layout).startsWith("evntcb")) << layout;
        // Once: a heading of pages is not repeated on every page it goes on to.
        const QRegularExpression once("\\bΓιορτή3\\b",
                                      QRegularExpression::UseUnicodePropertiesOption);
        EXPECT_EQ(text.count(once), 1) << layout;
        expectWordsApart(club.path("out.pdf"), paper(layout), layout);
    }
}

// Addresses as the calling program copies them into eventinfo: the contact
// columns for evntmail1.rpt and the billing ones for evntmail2.rpt.
class Labels : public ::testing::Test {
protected:
    // The addresses of the layout's columns, instead of any there were.
    void addAddresses(const char *layout) {
        club.exec("delete from eventinfo");
        prefix = layout == std::string("evntmail1.rpt") ? "cont" : "cust";
        const QString name = prefix == QLatin1String("cont") ? QStringLiteral("contactname")
                                                             : QStringLiteral("custname");
        const QString insert =
            QStringLiteral("insert into eventinfo (eventnum, eventdate, %1, %2addr1, %2addr2, "
                           "%2city, %2state, %2zip) values (?, 20270116, ?, ?, ?, ?, ?, ?)")
                .arg(name, prefix);
        QList<QVariantList> rows;
        for (int n = 1; n <= 35; ++n) {
            const QString number = QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0'));
            rows.append({2000 + n, QStringLiteral("Guest %1").arg(number),
                         n % 5 == 0 ? QString() : QStringLiteral("%1 Quay Road").arg(n),
                         n % 3 == 0 ? QStringLiteral("Suite %1").arg(n) : QString(),
                         n == 7 ? QString() : QStringLiteral("Portland"), "ME",
                         QStringLiteral("041%1").arg(number)});
        }
        rows[11][2] = QStringLiteral("1234 Long Meadow Road, Building C, Apartment 1205");
        rows.append(rows[20]); // a contact with two events gets one label
        rows.last()[0] = 2100; // under another event number
        rows.append({2101, QString(), QString(), QString(), "  ", QString(),
                     QString()}); // nothing to print
        club.execMany(insert, rows);
    }

    ReportClub club;
    QString prefix;
};

// Thirty labels a sheet, read across; lines closed up when empty, cut
// when too long, one label for one address. The two layouts differ only in
// the columns they read. The operator's print margins move the whole label
// grid, as a printer's offset: each word keeps its place on the labels,
// moved by the margins, and what would reach beyond the paper is cut at its
// edge. Margins that push the labels' text off the paper are refused by name.
TEST_F(Labels, ThirtyLabelsASheetThatPrintMarginsMoveWhole) {
    const struct {
        double top, left; // inches
        const char *refusal = nullptr;
    } cases[] = {
        {0.05, 0.05},
        {0.25, 0},
        {0, 0.25},
        {1.25, 0,
         "The top print margin of 1.25 inches pushes the text of label 28 off the paper's bottom "
         "edge, so the labels are not printed. Set a smaller margin with Adjust Print Margins."},
        {0, 3,
         "The left print margin of 3 inches pushes the text of label 3 off the paper's right "
         "edge"},
    };
    const QString pdf = club.path("out.pdf");
    for (const char *layout : {"evntmail1.rpt", "evntmail2.rpt"}) {
        addAddresses(layout);
        expectGolden("evntmail1.txt", club.print(ReportClub::block(layout)));
        EXPECT_EQ(club.pages, 2) << layout;
        // A line of narrow letters ends close to its label's edge in the
        // third column, where the paper's edge comes first.
        club.exec(
            QStringLiteral("update eventinfo set %1addr2 = ? where eventnum = 2012").arg(prefix),
            {QString(120, u'i')});
        ASSERT_TRUE(club.makePdf(ReportClub::block(layout)));
        const QList<PdfWord> plain = pdfWords(pdf);
        for (const auto &c : cases) {
            SCOPED_TRACE(testing::Message() << layout << " top " << c.top << " left " << c.left);
            const auto made =
                club.makePdf(ReportClub::block(layout, {}, int(c.top * 1440), int(c.left * 1440)));
            if (c.refusal) {
                expectRefused(made, ExitCode::Block, c.refusal);
                continue;
            }
            ASSERT_TRUE(made) << made.error().message.toStdString();
            EXPECT_EQ(*made, 2);
            const QList<PdfWord> shifted = pdfWords(pdf);
            ASSERT_EQ(shifted.size(), plain.size()) << "every word is printed";
            for (qsizetype i = 0; i < plain.size(); ++i) {
                const PdfWord &was = plain[i], &is = shifted[i];
                const std::string word = was.text.toStdString();
                EXPECT_EQ(is.page, was.page);
                EXPECT_NEAR(is.box.left() - was.box.left(), c.left * 72, 0.5) << word;
                EXPECT_NEAR(is.box.top() - was.box.top(), c.top * 72, 0.5) << word;
                EXPECT_LE(is.box.right(), 612) << "whole letters on the paper: " << word;
                // The paper's edge may cut a line further than its label's edge did.
                EXPECT_TRUE(is.text == was.text ||
                            (was.box.right() + c.left * 72 > 612 && was.text.startsWith(is.text)))
                    << is.text.toStdString() << " for " << word;
            }
        }
    }
}

} // namespace
