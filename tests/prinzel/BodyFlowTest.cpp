#include "BodyFlow.h"

#include <gtest/gtest.h>

namespace {

TEST(BodyFlow, TopLevelTablesAreCutIntoRows) {
    const BodyFlow flow = BodyFlow::split(QStringLiteral(
        "<p>Intro a &lt; b</p>\n<!-- <table><tr><td>not a table</td></tr></table> -->"
        "<TABLE width=\"100%\" title='a > b'><thead><tr><th>Head</th></tr></thead>\n"
        "<tbody><tr><td>1</td></tr>\n<tr class=\"x\"><td><table><tr><td>nested</td></tr>"
        "</table></td></tr><tr><td>3</tbody></table>"
        "<p>Between</p><table><tr><td>only</td></tr></table><table></table><p>End</p>"));
    ASSERT_EQ(flow.tables().size(), 2);
    EXPECT_EQ(flow.tables()[0].open, "<TABLE width=\"100%\" title='a > b'>");
    EXPECT_EQ(flow.tables()[0].head, "<thead><tr><th>Head</th></tr></thead>");
    EXPECT_EQ(flow.tables()[0].headRows, 1);
    EXPECT_TRUE(flow.tables()[1].head.isEmpty());

    const QStringList expected{
        "<p>Intro a &lt; b</p>\n<!-- <table><tr><td>not a table</td></tr></table> -->",
        "<tr><td>1</td></tr>",
        "<tr class=\"x\"><td><table><tr><td>nested</td></tr></table></td></tr>",
        "<tr><td>3",
        "<p>Between</p>",
        "<tr><td>only</td></tr>",
        "<table></table><p>End</p>",
    };
    ASSERT_EQ(flow.items().size(), expected.size());
    for (qsizetype i = 0; i < expected.size(); ++i)
        EXPECT_EQ(flow.items()[i].html, expected[i]) << i;
    EXPECT_EQ(flow.items()[1].table, 0);
    EXPECT_EQ(flow.items()[5].table, 1);
    EXPECT_EQ(flow.items()[6].table, -1);
    EXPECT_EQ(flow.items()[6].frames, 1) << "a table without rows stays whole";
}

TEST(BodyFlow, APieceReopensAndClosesItsTables) {
    const BodyFlow flow = BodyFlow::split(QStringLiteral(
        "<p>a</p><table border=1><thead><tr><th>H</th></tr></thead><tr><td>1</td></tr>"
        "<tr><td>2</td></tr><tr><td>3</td></tr></table><p>b</p>"));
    ASSERT_EQ(flow.items().size(), 5);
    EXPECT_EQ(flow.html(0, 2),
              "<p>a</p><table border=1><thead><tr><th>H</th></tr></thead><tr><td>1</td></tr>"
              "</table>");
    EXPECT_EQ(flow.html(2, 5), "<table border=1><thead><tr><th>H</th></tr></thead>"
                               "<tr><td>2</td></tr><tr><td>3</td></tr></table><p>b</p>");
}

TEST(BodyFlow, LeftOutEndTags) {
    const BodyFlow flow =
        BodyFlow::split("<table><thead><tr><th>H<tbody><tr><td>1<tr><td>2</table>");
    ASSERT_EQ(flow.tables().size(), 1);
    EXPECT_EQ(flow.tables()[0].head, "<thead><tr><th>H</thead>");
    EXPECT_EQ(flow.tables()[0].headRows, 1);
    ASSERT_EQ(flow.items().size(), 2);
    EXPECT_EQ(flow.items()[0].html, "<tr><td>1");
    EXPECT_EQ(flow.items()[1].html, "<tr><td>2");
}

} // namespace
