#include "ReportClub.h"

#include <QRectF>
#include <QRegularExpression>
#include <gtest/gtest.h>

namespace {

// The work file as the contract builder fills it for event 1207.
class ContractReport : public ::testing::Test {
protected:
    void SetUp() override {
        club.execMany("insert into company (compname, compaddr1, compaddr2, "
                      "compcity, compstate, compzip, compphone1, compfax, "
                      "compemail, salestax) values (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)",
                      rows({"Harbour Club & Marina|1 Quay Road|Pier 4|Portland|ME|04101|207-555-"
                            "0100|207-555-0101|events@harbour.example|0.055"}));
        club.execMany(
            "insert into eventinfo (eventdate, eventtitle, eventnum, starttime, "
            "endtime, status, setfor, guarantee, roomnumber, memnonmem, deposit, "
            "bookedby, createdate, custid, custname, custaddr1, custaddr2, "
            "custcity, custstate, custzip, custphone1, contactname, contphone1, "
            "contemail) values (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, "
            "?, ?, ?, ?, ?, ?, ?, ?)",
            rows({"20270612|Smith & Jones <Wedding>|1207|17:30|23:00|4|120|110|3|2|500.00|DEMO|"
                  "20270110|5150|Avery Billing|12 Elm Street|Suite 5|Falmouth|ME|04105|207-555-"
                  "0199|Dana Planner|207-555-0142|dana@example.com"}));
        club.execMany("insert into eventitems values (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)",
                      rows({"1207|110|501|FOOD|110 Plated dinner, salmon|1800.00|4400.00|792.00|"
                            "285.56|4010",
                            "1207|1|730|BAR|1 Champagne toast|90.00|240.00|43.20|15.58|4020"}));
        club.exec("insert into location (roomnum, room) values (3, 'Lighthouse Room')");
    }

    void setContract(const QString &text) {
        club.exec("insert into master (acctnumber, billto, comments) values (?, ?, "
                  "?)",
                  {1207, 3, text});
    }

    QString print(const QString &layout) { return club.print(ReportClub::block(layout)); }

    ReportClub club;
};

const QStringList EventLayouts{"evntcb01.rpt", "evntcb02.rpt", "evntcb01w.rpt", "evntcb02w.rpt",
                               "evntcbudf.rpt"};

TEST_F(ContractReport, StandardLayoutAndTheContractLists) {
    setContract("AGREEMENT\r\n\r\nThe club reserves the room for the event.\n"
                "  1. A deposit of 500.00 holds the date.\n");
    const QString text = print("evntcb01.rpt");
    ASSERT_EQ(club.pages, 1);
    expectGolden("evntcb01.txt", text);
    EXPECT_EQ(print("evntcbudf.rpt"), text) << "the club's own layout starts as the standard one";
    club.exec("delete from eventinfo");
    club.exec("delete from eventitems");
    EXPECT_TRUE(print("evntcbudf.rpt").contains("AGREEMENT"))
        << "a blank contract without a saved event";

    // The lists of the club's contracts and of their components.
    QList<QVariantList> rows{{2, "Dinner dance", 0, "cbterms.txt"},
                             {1, "Wedding & reception", 1, "cbmenu.txt"},
                             {1, "Wedding & reception", 0, "cbterms.txt"},
                             {2, "Dinner dance", 1, "cbdeposit.txt"}};
    club.execMany("insert into cbuilder values (?, ?, ?, ?)", rows);
    expectGolden("evntcontracts.txt", print("evntcontracts.rpt"));
    club.exec("delete from cbuilder");
    club.execMany("insert into cbuilder (cbfilename) values (?)",
                  {{"cbterms.txt"}, {"cbMenu.txt"}, {"cbdeposit.txt"}});
    expectGolden("evntcomponents.txt", print("evntcomponents.rpt"));
    club.exec("delete from cbuilder");
    EXPECT_TRUE(print("evntcontracts.rpt").contains("No contracts"));
}

// Every layout prints a contract of many pages whole, each line once and in
// order, whatever its letters; blank lines and leading blanks keep their room.
TEST_F(ContractReport, LongContractsFlowOverPages) {
    QStringList lines;
    QList<int> printed;
    for (int n = 1; n <= 110; ++n) {
        lines << (n % 12 == 0 ? QString() : QStringLiteral("clause%1 of the agreement").arg(n));
        if (n % 12 != 0)
            printed << n;
    }
    lines[4].prepend("    ");
    lines[20] = QStringLiteral("clause21 Łódź Ωmega 日本");
    setContract(lines.join(QLatin1Char('\n')));
    for (const QString &layout : EventLayouts) {
        SCOPED_TRACE(layout.toStdString());
        const QString text = print(layout);
        EXPECT_EQ(numbers(text, "clause"), printed);
        EXPECT_TRUE(text.simplified().contains(lines[20]));
        EXPECT_GE(club.pages, 3);
        EXPECT_TRUE(text.contains(QStringLiteral("Page %1 of %1").arg(club.pages)));
        EXPECT_TRUE(layout != "evntcb01.rpt" || club.pages == 3);
        // The club's heading is on the first page only, and the later
        // pages' text starts where it would have been.
        const bool heading = !layout.startsWith(QLatin1String("evntcb02"));
        const QStringList pages = text.split(QLatin1Char('\f'));
        EXPECT_EQ(pages[0].contains("1 Quay Road"), heading);
        EXPECT_FALSE(pages[1].contains("1 Quay Road"));
        const auto words = pdfWords(club.path("out.pdf"));
        const auto at = [&](const QString &text) {
            const auto found = std::find_if(words.begin(), words.end(),
                                            [&](const PdfWord &word) { return word.text == text; });
            return found == words.end() ? QRectF() : found->box;
        };
        const auto top = std::find_if(words.begin(), words.end(),
                                      [](const PdfWord &word) { return word.page == 2; });
        ASSERT_NE(top, words.end());
        EXPECT_LT(top->box.top(), heading ? 40 : 150);
        if (heading) {
            EXPECT_GT(at("Contract").top(), at("Phone").bottom())
                << "the first page's text starts below the heading";
        }
        const qreal line = at("clause11").top() - at("clause10").top();
        EXPECT_NEAR(at("clause13").top() - at("clause11").top(), 2 * line, 0.5);
        EXPECT_GT(at("clause5").left() - at("clause4").left(), 8) << "four leading blanks";
    }
}

// The largest amount each money field of a contract can be asked to show
// stays whole on one line in every layout.
TEST_F(ContractReport, LargeAmountsStayWhole) {
    setContract("clause1");
    const struct {
        const char *name;
        QVariantList item; // price, servchg, tax
        const char *deposit;
        int shown; // money fields showing the largest amount: row, column total, row
                   // total, grand total, balance; or deposit twice and balance
    } scenarios[] = {{"price", {"9999999.99", "0", "0"}, "0", 5},
                     {"service charge", {"0", "9999999.99", "0"}, "0", 5},
                     {"tax", {"0", "0", "9999999.99"}, "0", 5},
                     {"deposit", {"19999999.98", "0", "0"}, "9999999.99", 3}};
    for (const auto &scenario : scenarios) {
        club.exec("delete from eventitems");
        club.exec("insert into eventitems (eventid, qty, itemdesc, price, servchg, "
                  "tax) values (1207, 1, '1 Gala', ?, ?, ?)",
                  scenario.item);
        club.exec("update eventinfo set deposit = ?", {scenario.deposit});
        for (const QString &layout : EventLayouts) {
            const std::string where = layout.toStdString() + ", " + scenario.name;
            EXPECT_EQ(print(layout).count("9,999,999.99"), scenario.shown) << where;
            // Every amount whole: never a part of one cut off or wrapped.
            EXPECT_EQ(expectAmountsWhole(club.path("out.pdf"), 612 - 0.75 * 72 + 0.5, where, 1),
                      scenario.shown)
                << where;
        }
    }
}

TEST_F(ContractReport, WindowLayoutsShowTheBillingAddressInTheWindow) {
    setContract("clause1\nclause2");
    // A #10 envelope's window, 0.875 in from the left, 2 in down, 3.75 by 1.125,
    // in points and a little wider for rounding.
    const QRectF window = QRectF(63, 144, 270, 81).adjusted(-0.1, -0.1, 0.1, 0.1);
    for (const QString &layout : QStringList{"evntcb01w.rpt", "evntcb02w.rpt"}) {
        SCOPED_TRACE(layout.toStdString());
        const QString text = print(layout);
        // The name is printed again at the signature.
        bool nameInWindow = false;
        int addressWords = 0;
        for (const PdfWord &word : pdfWords(club.path("out.pdf"))) {
            if (word.page != 1)
                continue;
            nameInWindow |= word.text == QLatin1String("Avery") && window.contains(word.box);
            if (QStringList{"Elm", "Suite", "Falmouth,", "04105"}.contains(word.text)) {
                EXPECT_TRUE(window.contains(word.box)) << word.text.toStdString();
                ++addressWords;
            } else if (word.text.startsWith(QLatin1String("clause"))) {
                EXPECT_GT(word.box.top(), window.bottom()) << "the body starts below the window";
            }
        }
        EXPECT_TRUE(nameInWindow);
        EXPECT_EQ(addressWords, 4);
        EXPECT_EQ(text.count("12 Elm Street"), 1) << "not repeated in the body";
        EXPECT_EQ(text.contains("1 Quay Road"), layout == QLatin1String("evntcb01w.rpt"))
            << "letterhead paper has the club's address printed on it";
    }
}

} // namespace
