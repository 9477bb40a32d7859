#include "ReportLayout.h"

#include "Fuzz.h"
#include "ReportClub.h"

#include <QDir>
#include <QFile>
#include <QRectF>
#include <gtest/gtest.h>
#include <kainjow/mustache.hpp>

namespace {

TEST(ReportLayout, ReadsPageQueriesAndTemplates) {
    const auto layout = ReportLayout::parse(QStringLiteral(R"(# a comment before the sections
[page]
size = A4
Orientation = LANDSCAPE
margins = 1 0.25 0.75 0.5
font = DejaVu Serif
font size = 11
address = 0.875 2 3.75 1.125

[query items]
sql = select eventnum, amount, itemdate
      from eventitems where note <> ';' order by eventnum;
table = eventitems
group = eventnum
sum = amount, tax
format = amount:money, itemdate:date, tax : Money, note:memo, day:weekday, month:Month

[query events]
sql = select * from eventinfo

[header]
<h1>{{headings.ctlcompname}}</h1>

[Address]
<p>{{#events}}{{custname}}{{/events}}</p>

[body]
{{#items}}<p>[x] {{amount}}</p>{{/items}}
)"),
                                            "test.rpt");
    ASSERT_TRUE(layout) << layout.error().message.toStdString();
    EXPECT_EQ(layout->page.size, QPageSize::A4);
    EXPECT_EQ(layout->page.orientation, QPageLayout::Landscape);
    EXPECT_EQ(layout->page.margins, QMarginsF(0.5, 1, 0.25, 0.75));
    EXPECT_EQ(layout->page.fontFamily, "DejaVu Serif");
    EXPECT_EQ(layout->page.fontSize, 11);
    EXPECT_FALSE(layout->page.hasGrid());
    EXPECT_EQ(layout->page.address, QRectF(0.875, 2, 3.75, 1.125));
    ASSERT_EQ(layout->queries.size(), 2);
    const QuerySection &items = layout->queries.first();
    EXPECT_EQ(items.name, "items");
    EXPECT_EQ(items.sql, "select eventnum, amount, itemdate from eventitems where note <> ';' "
                         "order by eventnum")
        << "continuation lines joined, the closing ; dropped";
    // Formats by column name in any case; a column without one is text. (The
    // shipped layouts and the value renders show the other formats.)
    EXPECT_EQ(items.formatOf("AMOUNT"), ValueFormat::Money);
    EXPECT_EQ(items.formatOf("tax"), ValueFormat::Money);
    EXPECT_EQ(items.formatOf("eventnum"), ValueFormat::Text);
    EXPECT_EQ(layout->header, "<h1>{{headings.ctlcompname}}</h1>");
    EXPECT_EQ(layout->address, "<p>{{#events}}{{custname}}{{/events}}</p>");
    EXPECT_EQ(layout->body, "{{#items}}<p>[x] {{amount}}</p>{{/items}}")
        << "brackets within a line are template text";
    EXPECT_TRUE(layout->footer.isEmpty());
}

// Sections `depth` deep, `{{#a}}` and `{{/a}}` written with the marks given.
QString nested(int depth, const QString &open = "{{", const QString &close = "}}") {
    return (open + "#a" + close).repeated(depth) + "x" + (open + "/a" + close).repeated(depth);
}

// A layout of exactly `size` characters, its body in lines of 100.
QString ofSize(qint64 size) {
    QString text = "[body]\n" + (QString(99, u'x') + "\n").repeated((size - 7) / 100);
    return text + QString(size - text.size(), u'x');
}

// `first`, then numbered lines from `line` ("key%1 = 1") up to the largest file.
QString filled(const QString &first, const char *line) {
    QString text = first;
    for (int n = 0; text.size() < ReportLayout::MaxFileBytes - 100; ++n)
        text += QString::fromLatin1(line).arg(n) + "\n";
    return text;
}

TEST(ReportLayout, LimitsLeaveRoomForAnyRealLayout) {
    const QString longest(ReportLayout::MaxLineLength, u'x');
    const QString deepest = nested(ReportLayout::MaxNesting);
    for (const QString &text : {
             "[body]\n" + longest,
             "[body]\n" + deepest,
             "[body]\n" + QString(deepest).replace("{{#", "{{^").replace("x", "{{{y}}}"),
             "[body]\n" + deepest + "\n" + deepest,
             "[body]\n{{=<% %>=}}" + nested(ReportLayout::MaxNesting, "<%", "%>") + "{{#a}}",
             ofSize(ReportLayout::MaxFileBytes),
         }) {
        const auto layout = ReportLayout::parse(text, "big.rpt");
        EXPECT_TRUE(layout) << layout.error().message.toStdString();
    }
}

TEST(ReportLayout, RefusalsNameTheLineAndTheProblem) {
    const struct {
        QString text;
        const char *named;
    } cases[] = {
        {"[page]\nsize = Letter\n", "no [body]"},
        {"size = Letter\n[body]\nx", "line 1: text before"},
        {"[body]\nx\n[details]\ny", "line 3: unknown section [details]"},
        {"[body]\nx\n[body]\ny", "a second [body]"},
        {"[query]\nsql = select 1\n[body]\nx", "needs a name"},
        {"[query a]\ntable = t\n[body]\nx", "[query a] has no sql"},
        {"[page]\npaper = Letter\n[body]\nx", "line 2: [page] has no key \"paper\""},
        {"[page]\nsize = A4\nsize = Letter\n[body]\nx", "given twice"},
        {"[page]\nsize = Tabloid\n[body]\nx", "Letter, A4 or Legal"},
        {"[page]\nmargins = 1 1 1\n[body]\nx", "top right bottom left"},
        {"[page]\nmargins = -1\n[body]\nx", "top right bottom left"},
        {"[page]\nmargins = 4 5 4 4\n[body]\nx", "no printable area"},
        {"[page]\ncolumns = 3\nlabel width = 3\n[body]\nx", "do not fit across"},
        {"[page]\ncolumns = 0\n[body]\nx", "1 to 100"},
        {"[query a]\nsql = update t set x = 1\n[body]\nx", "only a select"},
        {"[query a]\nsql = select 1; delete from t\n[body]\nx", "single statement"},
        {"[query a]\nsql = select 1 -- note\n[body]\nx", "comments"},
        {"[query a]\nsql = select 1\nformat = x:percent\n[body]\nx", "column:money"},
        {"[query a]\nsql = select 1\ngroup = a b\n[body]\nx", "column name"},
        {"[query a]\nsql = select 1\ngroup = a\nsum = b\nper guest = p: b * c\n[body]\nx",
         "line 5: per guest is NAME: SUM / COUNT"},
        {"[query a]\nsql = select 1\ngroup = a\nper guest = p: b / c\n[body]\nx",
         "per guest needs a group and SUM among the sum columns"},
        {"[body]\n{{#items}}x", "[body]"},
        {"[page]\nsize\n[body]\nx", "line 2: \"key = value\""},
        {"[page]\naddress = 1 2 3 1\n[body]\nx",
         "line 2: an address in [page] needs an [address] section"},
        {"[body]\nx\n[address]\ny", "line 3: [address] needs"},
        {"[page]\nsize = A4\naddress = 6 2 3 1\n[address]\ny\n[body]\nx",
         "line 3: the address block does not lie within the paper"},
        {"[page]\norientation = landscape\naddress = 1 8 3 1\n[address]\ny\n[body]\nx",
         "line 3: the address block does not lie within the paper"},
        {"[page]\naddress = 1 2 wide 1\n[address]\ny\n[body]\nx",
         "line 2: address is four lengths"},
        {"[page]\naddress = 1 2 0 1\n[address]\ny\n[body]\nx", "line 2: address is four lengths"},
        {"[page]\ncolumns = 2\nlabel lines = clip\n[body]\nx",
         "line 3: label lines is wrap or cut"},
        {"[page]\nlabel lines = cut\n[body]\nx", "label lines are for labels"},
        {"[page]\ncolumns = 2\naddress = 1 1 1 1\n[address]\ny\n[body]\nx",
         "line 4: [address] is not for labels"},
        {ofSize(ReportLayout::MaxFileBytes + 1),
         "it is larger than 1 MB, the most a layout may hold"},
        {"[body]\nx\n" + QString(ReportLayout::MaxLineLength + 1, u'x'),
         "line 3: the line is longer than 100000 characters"},
        {"[body]\nx\n" + nested(ReportLayout::MaxNesting + 1),
         "line 3: it nests sections deeper than 64 levels"},
        {"[footer]\n\n" + nested(ReportLayout::MaxNesting + 1).replace("{{#", "{{ ^") +
             "\n[body]\nx",
         "line 3: it nests sections deeper than 64"},
        {filled("[page]\n", "key%1 = 1"), "line 2: [page] has no key \"key0\""},
        {filled("[body]\nx\n", "[query q%1]"), "line 3: [query q0] has no sql"},
        {"[body]\n{{=<% %>=}}\n<%={{ }}=%>{{={| |}=}}\n" +
             nested(ReportLayout::MaxNesting + 1, "{|", "|}"),
         "line 4: it nests sections deeper than 64"},
    };
    for (const auto &c : cases) {
        const auto layout = ReportLayout::parse(c.text, "bad.rpt");
        expectRefused(layout, ExitCode::Layout, c.named);
        EXPECT_TRUE(layout.error().message.contains("bad.rpt")) << c.named;
    }
}

// The shipped layouts damaged, and random text: each is read or refused
// with a message, and what is read is one prinzel can print from.
TEST(ReportLayout, DamagedLayoutsAreReadOrRefused) {
    const QString alphabet =
        QStringLiteral("[]{}#^/=<>%!&;'\"-., \n\r\t\\abcpagequerybodysqlselectfrom019\u00e9");
    QStringList samples{"[page]\ncolumns = 2\nlabel lines = cut\n[query a]\n"
                        "sql = select x from t\nformat = x:money\n[body]\n"
                        "{{=<% %>=}}<%#a%><%{{x}}%><%/a%><%={{ }}=%>{{^a}}{{{y}}}{{/a}}"};
    const ReportClub club;
    for (const QString &name : QDir(club.directory).entryList({"*.rpt"})) {
        QFile file(club.path(name));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        samples << QString::fromUtf8(file.readAll());
    }
    FuzzInputs fuzz(20270117);
    const int count = FuzzInputs::count(5000);
    for (int i = 0; i < count; ++i) {
        const QString text =
            fuzz.oneIn(4) ? fuzz.from(alphabet, 300) : fuzz.mutate(fuzz.pick(samples), alphabet, 8);
        const std::string input = "input " + std::to_string(i) + ": " + text.toStdString();
        const auto layout = ReportLayout::parse(text, "fuzz.rpt");
        if (!layout) {
            EXPECT_EQ(layout.error().code, ExitCode::Layout) << input;
            EXPECT_TRUE(layout.error().message.startsWith("The layout fuzz.rpt ")) << input;
            continue;
        }
        const PageSettings &page = layout->page;
        EXPECT_TRUE(page.fontSize >= 4 && page.margins.left() >= 0 && page.margins.top() >= 0 &&
                    page.margins.right() >= 0 && page.margins.bottom() >= 0)
            << input;
        EXPECT_TRUE(page.columns >= 0 && page.columns <= 100 && page.rows >= 0 &&
                    page.rows <= 100 && (!page.cutLabelLines || page.hasGrid()))
            << input;
        for (const QuerySection &query : layout->queries)
            EXPECT_TRUE(query.sql.startsWith("select", Qt::CaseInsensitive)) << input;
        for (const QString &part : {layout->header, layout->body, layout->footer, layout->address})
            EXPECT_TRUE(kainjow::mustache::mustache(part.toStdString()).is_valid()) << input;
        EXPECT_TRUE(layout->address.isEmpty() || (page.address && !page.hasGrid())) << input;
    }
}

} // namespace
