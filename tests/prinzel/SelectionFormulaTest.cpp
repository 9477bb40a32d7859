#include "SelectionFormula.h"

#include "Fuzz.h"
#include "ReportClub.h"

#include <QRegularExpression>
#include <gtest/gtest.h>

namespace {

const QStringList Columns{"eventnum", "eventdate", "status", "eventtitle"};

TEST(SelectionFormula, AcceptedFormsBindTheirLiterals) {
    const struct {
        const char *formula;
        const char *where;
        QVariantList values;
    } cases[] = {
        {"{eventinfo.eventnum} = 123", " where \"eventnum\" = ?", {qlonglong(123)}},
        {"{EVENTINFO.EVENTNUM}=123", " where \"eventnum\" = ?", {qlonglong(123)}},
        {"{eventinfo.status} <> 1 and {eventinfo.status} <= 8",
         " where \"status\" <> ? and \"status\" <= ?",
         {qlonglong(1), qlonglong(8)}},
        {"{eventinfo.eventdate} >= 20270101 OR {eventinfo.eventdate} < 20260101",
         " where \"eventdate\" >= ? or \"eventdate\" < ?",
         {qlonglong(20270101), qlonglong(20260101)}},
        {"{eventinfo.status} > -1.5", " where \"status\" > ?", {-1.5}},
        {"{eventinfo.eventtitle} = 'O''Hara'", " where \"eventtitle\" = ?", {"O'Hara"}},
        {"{eventinfo.eventtitle} = \"x' or 1=1; drop table eventinfo\"",
         " where \"eventtitle\" = ?",
         {"x' or 1=1; drop table eventinfo"}},
    };
    for (const auto &c : cases) {
        const auto formula = SelectionFormula::parse(QString::fromUtf8(c.formula));
        SCOPED_TRACE(c.formula);
        ASSERT_TRUE(formula) << formula.error().message.toStdString();
        EXPECT_EQ(formula->table().toLower(), "eventinfo");
        const auto condition = formula->condition(Columns);
        ASSERT_TRUE(condition) << condition.error().message.toStdString();
        EXPECT_EQ(condition->where, QString::fromUtf8(c.where));
        EXPECT_EQ(condition->values, c.values);
    }
    EXPECT_TRUE(SelectionFormula::parse("  ")->isEmpty());
}

TEST(SelectionFormula, RefusalsNameTheProblem) {
    const struct {
        const char *formula;
        const char *named;
    } cases[] = {
        {"{eventinfo.eventnum} = 1; delete from eventinfo", "\";\""},
        {"{eventinfo.eventnum} = (select max(eventnum) from eventinfo)", "sub-select"},
        {"{eventinfo.eventtitle} = upper('a')", "upper()"},
        {"lower({eventinfo.eventtitle}) = 'a'", "lower()"},
        {"({eventinfo.eventnum} = 1)", "parentheses"},
        {"{eventinfo.eventnum} != 1", "one of = <> < <= > >="},
        {"{eventinfo.eventtitle} like 'a%'", "one of = <> < <= > >="},
        {"{eventinfo.eventnum} = {eventinfo.status}", "a number or a quoted text"},
        {"{eventnum} = 1", "{table.column}"},
        {"{eventinfo.eventtitle} = 'abc", "not closed"},
        {"{eventinfo.eventnum} = 1 and {eventitems.eventnum} = 1", "more than one table"},
        {"{eventinfo.eventnum} = 1 {eventinfo.status} = 2", "\"and\" or \"or\""},
        {"{eventinfo.eventnum} =", "ends where"},
    };
    for (const auto &c : cases) {
        const auto formula = SelectionFormula::parse(QString::fromUtf8(c.formula));
        expectRefused(formula, ExitCode::Data, c.named);
    }
}

// Random text and damaged formulas: each is refused with a message, or read
// into a condition that holds nothing of the formula but the query's own
// column names and one bound value per term.
TEST(SelectionFormula, DamagedFormulasAreReadOrRefused) {
    const QString alphabet = QStringLiteral("{}.eventinfo_num =<>!'\"0123456789.-+ andor();\n\t"
                                            "select()\u00e9");
    const QStringList samples{
        "{eventinfo.eventnum} = 123",
        "{eventinfo.status} <> 1 and {eventinfo.status} <= 8 or {eventinfo.eventdate} > -1.5",
        "{eventinfo.eventtitle} = 'O''Hara' and {eventinfo.eventtitle} <> \"a \"\" b\""};
    static const QRegularExpression safe(
        "^(( where | and | or )\"(eventnum|eventdate|status|eventtitle)\" "
        "(=|<>|<|<=|>|>=) \\?)*$");
    FuzzInputs fuzz(20270116);
    const int count = FuzzInputs::count(5000);
    for (int i = 0; i < count; ++i) {
        const QString text =
            fuzz.oneIn(4) ? fuzz.from(alphabet, 80) : fuzz.mutate(fuzz.pick(samples), alphabet, 6);
        const std::string input = "input " + std::to_string(i) + ": " + text.toStdString();
        const auto formula = SelectionFormula::parse(text);
        const auto condition = formula ? formula->condition(Columns) : formula.error();
        if (!condition) {
            EXPECT_EQ(condition.error().code, ExitCode::Data) << input;
            EXPECT_TRUE(condition.error().message.startsWith("The selection formula \"")) << input;
            continue;
        }
        EXPECT_TRUE(safe.match(condition->where).hasMatch())
            << input << " gives " << condition->where.toStdString();
        EXPECT_EQ(condition->values.size(), formula->terms().size()) << input;
        EXPECT_EQ(condition->where.count('?'), formula->terms().size()) << input;
        EXPECT_EQ(formula->isEmpty(), text.trimmed().isEmpty()) << input;
    }
}

} // namespace
