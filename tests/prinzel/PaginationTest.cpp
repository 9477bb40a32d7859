#include "ReportClub.h"

#include <QPointF>
#include <QRegularExpression>
#include <gtest/gtest.h>

namespace {

// A layout over a table of numbered lines, with the header and footer
// every report has.
QString layout(const QString &page, const QString &body) {
    return QStringLiteral("[page]\n%1\n[query lines]\nsql = select n, words from lines order by n\n"
                          "[header]\n<p>Numbered lines</p>\n[body]\n%2\n"
                          "[footer]\n<p>Page {{page}} of {{pages}}</p>\n")
        .arg(page, body);
}

class Pagination : public ::testing::Test {
protected:
    void SetUp() override { club.exec("create table lines (n integer, words text)"); }

    void addLines(int count, const std::function<QString(int)> &words) {
        QList<QVariantList> rows;
        for (int n = 1; n <= count; ++n)
            rows.append({n, words(n)});
        club.execMany("insert into lines values (?, ?)", rows);
    }
    QString print(const QString &layoutText, int marginTop = 0, int marginLeft = 0) {
        club.writeFile("lines.rpt", layoutText);
        return club.print(ReportClub::block("lines.rpt", {}, marginTop, marginLeft));
    }
    // Where pdftotext first finds a word on a page, in points from its top left.
    QPointF at(const QString &word, int page = 1) {
        for (const PdfWord &found : pdfWords(club.path("out.pdf")))
            if (found.text == word && found.page == page)
                return found.box.topLeft();
        ADD_FAILURE() << word.toStdString();
        return {};
    }

    ReportClub club;
};

QList<int> oneTo(int count) {
    QList<int> all;
    for (int n = 1; n <= count; ++n)
        all << n;
    return all;
}

TEST_F(Pagination, LongBodiesBreakBetweenRowsAndLoseNothing) {
    addLines(400, [](int n) {
        return n % 13 == 0 ? QStringLiteral("a row long enough to wrap over several lines of the "
                                            "narrow column it is printed in, again and again")
                           : QStringLiteral("short");
    });
    // A table in a comment is none; a table nested in a row stays in it; end
    // tags may be left out.
    const QString text = print(layout(
        "size = A4", "<p>Before the table</p><!-- <table><tr><td>x</td></tr></table> -->\n"
                     "<table width=\"100%\" title='a > b'><thead><tr><th width=\"20%\">Head</th>"
                     "<th width=\"20%\">Words</th></tr></thead>\n{{#lines}}<tr><td>row{{n}}</td>"
                     "<td><table><tr><td>{{words}}</td></tr></table></td></tr>{{/lines}}\n"
                     "</table>\n<p>Between the tables</p>\n<table>{{#lines}}<tr><td>again{{n}}"
                     "{{/lines}}</table>\n<p>After the tables</p>"));
    EXPECT_EQ(numbers(text, "row"), oneTo(400));
    EXPECT_EQ(numbers(text, "again"), oneTo(400));
    const QStringList pages = text.split(QLatin1Char('\f'), Qt::SkipEmptyParts);
    ASSERT_EQ(pages.size(), club.pages);
    ASSERT_GT(club.pages, 10);
    for (int i = 0; i < club.pages; ++i) {
        EXPECT_TRUE(pages[i].contains(QStringLiteral("Page %1 of %2").arg(i + 1).arg(club.pages)));
        EXPECT_EQ(pages[i].contains("row"), pages[i].contains("Head"))
            << "the head repeats on each page of its table, page " << i + 1;
    }
    for (const char *once : {"Before the table", "Between the tables", "After the tables"})
        EXPECT_EQ(text.count(QString::fromLatin1(once)), 1) << once;
}

TEST_F(Pagination, TextTallerThanAPageFlowsOver) {
    addLines(1, [](int) { return QString(); });
    QString words;
    for (int n = 1; n <= 2500; ++n)
        words += QStringLiteral("word%1 ").arg(n);
    // Each line once, whatever space and indent the paragraph has.
    for (const char *paragraph :
         {"<p>%1</p>", "<p style=\"margin: 20px; text-indent: 40px\">%1</p>", "<ul><li>%1</ul>"}) {
        const QString text = print(layout(
            QString(), QStringLiteral("<table><tr><td>first</td></tr></table>%1<table><tr><td>"
                                      "last</td></tr></table>")
                           .arg(QString::fromLatin1(paragraph).arg(words))));
        EXPECT_EQ(numbers(text, "word"), oneTo(2500)) << paragraph;
        EXPECT_GE(club.pages, 3);
        EXPECT_LT(text.indexOf("first"), text.indexOf("word1 "));
        EXPECT_GT(text.indexOf("last"), text.indexOf("word2500"));
    }
}

// The shipped labels cut a line too long for its label (evntmail1's golden
// page); without "label lines = cut" it wraps over a line of its own.
TEST_F(Pagination, LabelLinesWrapUnlessCut) {
    addLines(1,
             [](int) { return QStringLiteral("Alpha Beta Gamma Delta Epsilon Zeta Eta Theta"); });
    const QString text =
        print(layout("columns = 2\nrows = 2\nlabel width = 2", "<p>top<br>{{words}}<br>under</p>"));
    EXPECT_TRUE(text.contains("Theta"));
    EXPECT_GT(at("under").y() - at("top").y(), 30);
}

TEST_F(Pagination, TheAddressBlockHasItsPlaceOnTheFirstPage) {
    addLines(150, [](int n) { return QStringLiteral("w%1").arg(n); });
    const auto withAddress = [](const QString &place, const QString &body) {
        return layout("address = " + place, body) +
               "[address]\n<p>Window<br>2<br>3<br>4<br>5<br>6<br>7<br>8<br>9<br>cut</p>\n";
    };
    const QString rows = "<table>{{#lines}}<tr><td>row{{n}}</td></tr>{{/lines}}</table>";
    const QString text = print(withAddress("1 2.5 3 1", rows));
    EXPECT_EQ(numbers(text, "row"), oneTo(150));
    ASSERT_GE(club.pages, 2);
    EXPECT_NEAR(at("Window").x(), 72, 0.5);
    EXPECT_NEAR(at("Window").y(), 180, 0.5);
    EXPECT_FALSE(text.contains("cut")) << "the block is cut off at its height";
    EXPECT_EQ(text.count("Window"), 1) << "on the first page only";
    const QPointF first = at("row1");
    EXPECT_GE(first.y(), 252) << "the body starts below the block";
    EXPECT_LT(first.y(), 262);
    EXPECT_LT(at(QStringLiteral("row%1").arg(numbers(text.split('\f')[1], "row").first()), 2).y(),
              70)
        << "later pages use the whole body";

    print(withAddress("1 2.5 3 1", rows), 720, 1440);
    EXPECT_NEAR(at("Window").x(), 144, 0.5) << "the caller's margins move it";
    EXPECT_NEAR(at("Window").y(), 216, 0.5);
    EXPECT_NEAR(at("row1").y(), first.y() + 36, 0.5);

    // In the top margin, clear of the body.
    print(withAddress("5 0.1 3 0.3", rows));
    EXPECT_LT(at("row1").y(), 70);

    // Cut by Qt at full pages, a passage taller than the room below the
    // block cannot start there: it starts on page two.
    QString passage;
    for (const char *prefix : {"a", "b", "c", "d", "e", "f", "g", "h", "i", "j", "k", "l"})
        passage += QStringLiteral("{{#lines}}%1{{n}} {{/lines}}").arg(QLatin1String(prefix));
    const QStringList pages = print(withAddress("1 2.5 3 1", "<p>" + passage + "</p>"))
                                  .split(QLatin1Char('\f'), Qt::SkipEmptyParts);
    for (const char *first : {"a", "l"})
        EXPECT_EQ(numbers(pages.join(' '), first), oneTo(150)) << first;
    ASSERT_GE(pages.size(), 3);
    EXPECT_TRUE(pages[0].contains("Window"));
    EXPECT_FALSE(pages[0].contains("a1 "));
}

// Margins, a header or an address block that leave the body no room.
TEST_F(Pagination, NoRoomForTheBodyIsRefused) {
    addLines(3, [](int n) { return QStringLiteral("w%1").arg(n); });
    const QString tallHeader = QStringLiteral(
        "<p style=\"font-size: 60pt\">1<br>2<br>3<br>4<br>5<br>6<br>7<br>8<br>9<br>10</p>");
    const struct {
        QString layout;
        int marginTop;
        const char *named;
    } cases[] = {
        {layout(QString(), "{{#lines}}<p>{{n}}</p>{{/lines}}"), 15000, "no printable area"},
        {layout(QString(), "x").replace("<p>Numbered lines</p>", tallHeader), 0,
         "header and footer"},
        {layout("address = 0.5 0.5 1 10.2", "x") + QStringLiteral("[address]\nTo\n"), 0,
         "address block"},
    };
    for (const auto &c : cases) {
        club.writeFile("lines.rpt", c.layout);
        const auto made = club.makePdf(ReportClub::block("lines.rpt", {}, c.marginTop));
        expectRefused(made, ExitCode::Layout, c.named);
    }
}

} // namespace

// Rows to insert, by statement.
using Inserts = QMap<QString, QList<QVariantList>>;

// A shipped listing with groups, and how to fill its tables with groups of
// rows of given sizes: row k of group g carries the word "r<g>n<k>".
struct GroupedListing {
    const char *layouts; // separated by blanks
    QString heading;     // a group's heading line
    QString total;       // a subtotal or total line
    std::function<void(Inserts &, int group, int rows)> fill;
};

QString rowWord(int group, int row) {
    return QStringLiteral("r%1n%2").arg(group).arg(row);
}

const QString Event = QStringLiteral("insert into eventinfo (eventnum, eventdate, eventtitle, "
                                     "starttime, status, guarantee) values (?, ?, ?, '10:00', 2, "
                                     "0)");
const QString Item = QStringLiteral("insert into eventitems (eventid, itemnum, dept, itemdesc, "
                                    "qty, price, servchg, tax) values (?, ?, ?, ?, 1, 10, 1, 0.5)");

// An event of its own for the group, with its rows as items.
void addItems(Inserts &rows, int group, int count) {
    rows[Event].append({200 + group, 20270101 + group, QStringLiteral("Gala%1").arg(group)});
    for (int k = 0; k < count; ++k)
        rows[Item].append({200 + group, k + 1, QString(), rowWord(group, k)});
}

// Its rows as events on one date.
void addEvents(Inserts &rows, int group, int count, int date) {
    for (int k = 0; k < count; ++k)
        rows[Event].append({1000 + group * 100 + k, date, rowWord(group, k)});
}

const QList<GroupedListing> &groupedListings() {
    static const QList<GroupedListing> listings{
        {"evnt03a.rpt evnt03b.rpt evnt03c.rpt evnt03d.rpt evnt03e.rpt",
         "^\\w+day, \\d\\d/\\d\\d/2027$", "Events (this day|in all):",
         [](Inserts &rows, int group, int count) {
             addEvents(rows, group, count, 20270101 + group);
         }},
        {"evnt05b.rpt evnt05c.rpt evnt05e.rpt", "^[A-Z][a-z]+ 2027$", "\\d+ events",
         [](Inserts &rows, int group, int count) {
             addEvents(rows, group, count, 20270101 + group * 100);
         }},
        {"evnt04b.rpt evnt04c.rpt evnt04e.rpt", "Event # \\d+", "Event \\d+, \\d+ items|All events",
         addItems},
        {"evnt04f.rpt", "^Department D\\d+$", "\\d+ items",
         [](Inserts &rows, int group, int count) {
             if (group == 0)
                 rows[Event].append({200, 20270101, "Gala"});
             for (int k = 0; k < count; ++k)
                 rows[Item].append({200, k + 1, QStringLiteral("D%1").arg(group, 2, 10, QChar('0')),
                                    rowWord(group, k)});
         }},
        {"evnt01a.rpt evnt01b.rpt evnt02b.rpt", "Items .*event # \\d+",
         "^\\s*(Subtotal|Service charge|Tax|Total)\\s+[-\\d,.]+\\s*$", addItems},
        {"evnttask1.rpt", "Event# \\d+", "",
         [](Inserts &rows, int group, int count) {
             addItems(rows, group, 0);
             for (int k = 0; k < count; ++k)
                 rows[QStringLiteral("insert into tasklist values (?, ?, 'N', ?, 'DEMO')")].append(
                     {200 + group, 20261201, rowWord(group, k)});
         }},
        {"evntcontracts.rpt", "\\d+ - Contract\\d+", "",
         [](Inserts &rows, int group, int count) {
             for (int k = 0; k < count; ++k)
                 rows[QStringLiteral("insert into cbuilder values (?, ?, ?, ?)")].append(
                     {group + 1, QStringLiteral("Contract%1").arg(group), k, rowWord(group, k)});
         }},
    };
    return listings;
}

// What each page of a grouped listing breaks wrongly: a page ending with a
// heading, one starting with a total (under its heading or not), one going
// on with a group without its heading marked "(continued)", or with a
// heading so marked for no group it goes on with, or repeated unmarked.
// Also rows lost or printed twice.
QStringList pageFaults(const QString &text, const GroupedListing &listing, int rows) {
    const QRegularExpression row("\\br(\\d+)n(\\d+)\\b"), heading(listing.heading),
        total(listing.total.isEmpty() ? QStringLiteral("(?!)") : listing.total);
    const QString mark = QStringLiteral(" (continued)");
    QStringList faults;
    QHash<int, QString> headingOf; // of each group, as printed above its first row
    QString lastHeading;
    int group = -1, printed = 0; // the group of the last row printed
    const QStringList pages = text.split(QLatin1Char('\f'), Qt::SkipEmptyParts);
    for (qsizetype page = 0; page < pages.size(); ++page) {
        enum Kind { Row, Total, Heading, Continued };
        QList<std::pair<Kind, QString>> lines; // the rows' groups, the headings' text
        for (const QString &line : pages[page].split(QLatin1Char('\n'))) {
            const QString plain = line.simplified();
            const bool continued = plain.endsWith(mark);
            const QString unmarked = continued ? plain.chopped(mark.size()) : plain;
            if (const auto match = row.match(line); match.hasMatch())
                lines.append({Row, match.captured(1)});
            else if (total.match(line).hasMatch())
                lines.append({Total, QString()});
            else if (heading.match(unmarked).hasMatch())
                lines.append({continued ? Continued : Heading, unmarked});
        }
        const QString where = QStringLiteral("page %1: ").arg(page + 1);
        if (!lines.isEmpty() && lines.last().first >= Heading)
            faults << where + "ends with a heading";
        QString continued;
        for (const auto &[kind, value] : lines) {
            if (kind == Continued) {
                continued = value;
                continue;
            }
            if (kind == Total)
                faults << where + "starts with a total";
            const bool goesOn = kind != Heading && page > 0 && group >= 0 &&
                                (kind == Total || value.toInt() == group);
            if (goesOn && continued != headingOf.value(group))
                faults << where + QStringLiteral("goes on with group %1 under \"%2\"")
                                      .arg(group)
                                      .arg(continued);
            if (!goesOn && !continued.isEmpty())
                faults << where + QStringLiteral("marks \"%1\" continued").arg(continued);
            break;
        }
        for (const auto &[kind, value] : lines) {
            if (kind == Heading && headingOf.values().contains(value))
                faults << where + QStringLiteral("repeats \"%1\" unmarked").arg(value);
            if (kind == Heading)
                lastHeading = value;
            if (kind == Row) {
                ++printed;
                group = value.toInt();
                headingOf.insert(group, headingOf.value(group, lastHeading));
            }
        }
    }
    if (printed != rows)
        faults << QStringLiteral("%1 rows printed of %2").arg(printed).arg(rows);
    return faults;
}

// Every shipped listing with groups, its first group of as many rows as put
// that group's end, its totals and the next heading on each line at the
// foot of the first page, and a few short groups after it.
TEST(GroupedPagination, HeadingsAndTotalsStayWithTheirRows) {
    const QList<int> after{1, 3, 2};
    ReportClub club;
    const auto print = [&](const GroupedListing &listing, const QString &layout, int first) {
        Inserts inserts; // the deletes sort first
        for (const char *table : {"eventinfo", "eventitems", "tasklist", "cbuilder"})
            inserts[QStringLiteral("delete from %1").arg(QLatin1String(table))] << QVariantList();
        int rows = first;
        listing.fill(inserts, 0, first);
        for (int group = 0; group < after.size(); ++group) {
            listing.fill(inserts, group + 1, after[group]);
            rows += after[group];
        }
        ReportClub::Statements statements;
        for (auto statement = inserts.cbegin(); statement != inserts.cend(); ++statement)
            statements.append({statement.key(), statement.value()});
        club.execAll(statements);
        const auto made = club.makePdf(ReportClub::block(layout));
        EXPECT_TRUE(made) << layout.toStdString();
        return std::pair(club.text(), rows);
    };
    for (const GroupedListing &listing : groupedListings()) {
        const QStringList layouts = QString::fromLatin1(listing.layouts).split(QLatin1Char(' '));
        // The rows the first page holds; the listing's layouts differ in their title only.
        const int fits = int(print(listing, layouts.first(), 200)
                                 .first.split(QLatin1Char('\f'))
                                 .first()
                                 .count(QRegularExpression("\\br0n\\d+\\b")));
        ASSERT_GT(fits, 8) << listing.layouts;
        for (const QString &layout : layouts) {
            for (int first = fits - 6; first <= fits + 1; ++first) {
                const auto [text, rows] = print(listing, layout, first);
                const QStringList faults = pageFaults(text, listing, rows);
                EXPECT_TRUE(faults.isEmpty()) << layout.toStdString() << ", " << first
                                              << " rows first: " << faults.join("; ").toStdString();
            }
        }
    }
}
