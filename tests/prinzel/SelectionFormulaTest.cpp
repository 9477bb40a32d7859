#include "SelectionFormula.h"

#include <gtest/gtest.h>

namespace {

const QStringList Columns{"eventnum", "eventdate", "status", "eventtitle"};

TEST(SelectionFormula, AcceptedFormsBindTheirLiterals) {
    const struct {
        const char *rule;
        const char *formula;
        const char *where;
        QVariantList values;
    } cases[] = {
        {"the calling program's formula",
         "{eventinfo.eventnum} = 123",
         " where \"eventnum\" = ?",
         {qlonglong(123)}},
        {"no blanks, upper-case names",
         "{EVENTINFO.EVENTNUM}=123",
         " where \"eventnum\" = ?",
         {qlonglong(123)}},
        {"each operator",
         "{eventinfo.status} <> 1 and {eventinfo.status} <= 8",
         " where \"status\" <> ? and \"status\" <= ?",
         {qlonglong(1), qlonglong(8)}},
        {"or, any case",
         "{eventinfo.eventdate} >= 20270101 OR {eventinfo.eventdate} < 20260101",
         " where \"eventdate\" >= ? or \"eventdate\" < ?",
         {qlonglong(20270101), qlonglong(20260101)}},
        {"a negative decimal", "{eventinfo.status} > -1.5", " where \"status\" > ?", {-1.5}},
        {"single quotes, a doubled quote inside",
         "{eventinfo.eventtitle} = 'O''Hara'",
         " where \"eventtitle\" = ?",
         {QStringLiteral("O'Hara")}},
        {"double quotes keep SQL as text",
         "{eventinfo.eventtitle} = \"x' or 1=1; drop table eventinfo\"",
         " where \"eventtitle\" = ?",
         {QStringLiteral("x' or 1=1; drop table eventinfo")}},
    };
    for (const auto &c : cases) {
        const auto formula = SelectionFormula::parse(QString::fromUtf8(c.formula));
        ASSERT_TRUE(formula) << c.rule << ": " << formula.failure().message.toStdString();
        EXPECT_EQ(formula->table().toLower(), "eventinfo") << c.rule;
        const auto condition = formula->condition(Columns);
        ASSERT_TRUE(condition) << c.rule << ": " << condition.failure().message.toStdString();
        EXPECT_EQ(condition->where, QString::fromUtf8(c.where)) << c.rule;
        EXPECT_EQ(condition->values, c.values) << c.rule;
    }
    EXPECT_TRUE(SelectionFormula::parse(QStringLiteral("  "))->isEmpty());
}

TEST(SelectionFormula, RefusalsNameTheProblem) {
    const struct {
        const char *rule;
        const char *formula;
        const char *named;
    } cases[] = {
        {"a second statement", "{eventinfo.eventnum} = 1; delete from eventinfo", "\";\""},
        {"a sub-select", "{eventinfo.eventnum} = (select max(eventnum) from eventinfo)",
         "sub-select"},
        {"a function call", "{eventinfo.eventtitle} = upper('a')", "upper()"},
        {"a function around the field", "lower({eventinfo.eventtitle}) = 'a'", "lower()"},
        {"parentheses", "({eventinfo.eventnum} = 1)", "parentheses"},
        {"an operator not offered", "{eventinfo.eventnum} != 1", "one of = <> < <= > >="},
        {"like", "{eventinfo.eventtitle} like 'a%'", "one of = <> < <= > >="},
        {"a column for a literal", "{eventinfo.eventnum} = {eventinfo.status}",
         "a number or a quoted text"},
        {"a field without its table", "{eventnum} = 1", "{table.column}"},
        {"an unclosed quote", "{eventinfo.eventtitle} = 'abc", "not closed"},
        {"two tables", "{eventinfo.eventnum} = 1 and {eventitems.eventnum} = 1",
         "more than one table"},
        {"a missing joiner", "{eventinfo.eventnum} = 1 {eventinfo.status} = 2",
         "\"and\" or \"or\""},
        {"an unfinished term", "{eventinfo.eventnum} =", "ends where"},
    };
    for (const auto &c : cases) {
        const auto formula = SelectionFormula::parse(QString::fromUtf8(c.formula));
        ASSERT_FALSE(formula) << c.rule;
        EXPECT_EQ(formula.failure().code, ExitCode::Data) << c.rule;
        EXPECT_TRUE(formula.failure().message.contains(QString::fromUtf8(c.named)))
            << c.rule << ": " << formula.failure().message.toStdString();
    }
}

} // namespace
