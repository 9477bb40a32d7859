#include "storage/Lookups.h"

#include "ClubFixture.h"

#include <QDir>
#include <QFile>

namespace {

class LookupsTest : public ClubFixture {
protected:
    bool demoData() const override { return true; }

    Lookups lookups() { return Lookups(module->databases, clipboard); }

    QList<double> accountNumbers(const QString &text) {
        QList<double> numbers;
        auto found = lookups().findAccounts(text);
        EXPECT_TRUE(found.ok()) << text.toStdString();
        if (found)
            for (const AccountMatch &match : found->rows)
                numbers << match.number;
        return numbers;
    }
    QList<int> employeeNumbers(const QString &text) {
        QList<int> numbers;
        auto found = lookups().findEmployees(text);
        EXPECT_TRUE(found.ok()) << text.toStdString();
        if (found)
            for (const EmployeeMatch &match : found->rows)
                numbers << match.number;
        return numbers;
    }
};

TEST_F(LookupsTest, AccountNamesMatchAnyPartInAnyCase) {
    auto found = lookups().findAccounts(QStringLiteral("bRIe"));
    ASSERT_TRUE(found.ok());
    ASSERT_EQ(found->rows.size(), 1);
    const AccountMatch &obrien = found->rows.first();
    EXPECT_EQ(obrien.number, 1027);
    EXPECT_EQ(obrien.name, QStringLiteral("O'Brien, Patrick"));
    EXPECT_EQ(obrien.classCode, QStringLiteral("FG"));
    EXPECT_EQ(obrien.classDescription, QStringLiteral("Full Golf"));
    EXPECT_FALSE(found->more);

    // Words may come from first and last name, in either order, with a comma.
    EXPECT_EQ(accountNumbers(QStringLiteral("robert WHIT")), QList<double>{1001});
    EXPECT_EQ(accountNumbers(QStringLiteral("Whitaker, Robert")), QList<double>{1001});
    // An organisation has no first name and shows its name alone.
    found = lookups().findAccounts(QStringLiteral("financial"));
    ASSERT_TRUE(found.ok());
    ASSERT_EQ(found->rows.size(), 1);
    EXPECT_EQ(found->rows.first().name, QStringLiteral("Meridian Financial Group"));
    // Ordered by name: Abernathy, Bennett, ... Whitaker.
    const QList<double> all = accountNumbers(QString());
    EXPECT_EQ(all.size(), 27) << "25 members and organisations, two event accounts";
    EXPECT_EQ(all.first(), 1238);
    // Typed wildcards and quotes are plain characters.
    EXPECT_TRUE(accountNumbers(QStringLiteral("_")).isEmpty());
    EXPECT_TRUE(accountNumbers(QStringLiteral("%")).isEmpty());
    EXPECT_EQ(accountNumbers(QStringLiteral("andrew's")), QList<double>{2501});
    EXPECT_TRUE(accountNumbers(QStringLiteral("nobody-here")).isEmpty());
    EXPECT_TRUE(accountNumbers(QStringLiteral("[a]")).isEmpty());

    // Letters beyond ASCII match in either case too.
    exec(QStringLiteral("master"),
         QStringLiteral("insert into acctinfo (acctnumber, lname, fname) values (1999, "
                        "'Ångström', 'Zoë')"));
    EXPECT_EQ(accountNumbers(QStringLiteral("ÅNGSTRÖM zoË")), QList<double>{1999});
    EXPECT_EQ(accountNumbers(QStringLiteral("ångström")), QList<double>{1999});
}

TEST_F(LookupsTest, AccountNumbersMatchByPrefixInNumberOrder) {
    EXPECT_EQ(accountNumbers(QStringLiteral("10")),
              (QList<double>{1001, 1004, 1012, 1027, 1033, 1041, 1058, 1066, 1079}));
    EXPECT_EQ(accountNumbers(QStringLiteral("25")), (QList<double>{2501, 2504, 2510}));
    EXPECT_EQ(accountNumbers(QStringLiteral("1041")), QList<double>{1041});
    EXPECT_EQ(accountNumbers(QStringLiteral("1041.")), QList<double>{1041});
    EXPECT_EQ(accountNumbers(QStringLiteral("1041.00")), QList<double>{1041});
    EXPECT_TRUE(accountNumbers(QStringLiteral("1041.5")).isEmpty());

    // Cents count: a stored 3001.5 is found by 3001.5 and 3001.50, not by 3001.51.
    exec(QStringLiteral("master"),
         QStringLiteral("insert into acctinfo (acctnumber, fname, lname, classcode, taxexempt, "
                        "suspended, terminated) values (?, ?, ?, ?, 0, 0, 0)"),
         {3001.5, QString(), QStringLiteral("Event #12"), QStringLiteral("EV")});
    EXPECT_EQ(accountNumbers(QStringLiteral("3001.5")), QList<double>{3001.5});
    EXPECT_EQ(accountNumbers(QStringLiteral("3001.50")), QList<double>{3001.5});
    EXPECT_TRUE(accountNumbers(QStringLiteral("3001.51")).isEmpty());
    // A number also finds an event account by its name "Event #12".
    EXPECT_EQ(accountNumbers(QStringLiteral("12")),
              (QList<double>{1203, 1217, 1224, 1238, 1249, 3001.5}));
}

TEST_F(LookupsTest, AccountStatusFlagsAndWords) {
    auto found = lookups().findAccounts(QString());
    ASSERT_TRUE(found.ok());
    QMap<double, QStringList> words;
    for (const AccountMatch &match : found->rows)
        if (!match.statusWords().isEmpty())
            words.insert(match.number, match.statusWords());
    const QMap<double, QStringList> expected{{1027, {QStringLiteral("SUSPENDED")}},
                                             {1066, {QStringLiteral("TERMINATED")}},
                                             {2501, {QStringLiteral("TaxExempt")}},
                                             {2504, {QStringLiteral("TaxExempt")}}};
    EXPECT_EQ(words, expected);

    AccountMatch all;
    all.taxExempt = all.suspended = all.terminated = true;
    EXPECT_EQ(all.statusWords(),
              (QStringList{QStringLiteral("TaxExempt"), QStringLiteral("SUSPENDED"),
                           QStringLiteral("TERMINATED")}));
}

TEST_F(LookupsTest, LongListsStopAtTheLimit) {
    QList<QVariantList> guests;
    for (int i = 0; i < Lookups::ResultLimit + 5; ++i)
        guests << QVariantList{50000 + i, QStringLiteral("Guest"),
                               QStringLiteral("Zephyr %1").arg(i, 3, 10, QLatin1Char('0')),
                               QStringLiteral("EV")};
    execEach(QStringLiteral("master"),
             QStringLiteral("insert into acctinfo (acctnumber, fname, lname, classcode) values (?, "
                            "?, ?, ?)"),
             guests);
    auto found = lookups().findAccounts(QStringLiteral("zephyr"));
    ASSERT_TRUE(found.ok());
    EXPECT_EQ(found->rows.size(), Lookups::ResultLimit);
    EXPECT_TRUE(found->more);
    EXPECT_EQ(found->rows.first().name, QStringLiteral("Zephyr 000, Guest"));
    EXPECT_EQ(found->rows.first().classDescription, QStringLiteral("Event Account"));
}

TEST_F(LookupsTest, EmployeesByNameOrNumberWithActiveFlag) {
    auto found = lookups().findEmployees(QStringLiteral("LUTZ"));
    ASSERT_TRUE(found.ok());
    ASSERT_EQ(found->rows.size(), 1);
    EXPECT_EQ(found->rows.first().number, 110);
    EXPECT_EQ(found->rows.first().name, QStringLiteral("Lutz, Craig"));
    EXPECT_FALSE(found->rows.first().active);

    found = lookups().findEmployees(QStringLiteral("megan"));
    ASSERT_TRUE(found.ok());
    ASSERT_EQ(found->rows.size(), 1);
    EXPECT_EQ(found->rows.first().number, 104);
    EXPECT_TRUE(found->rows.first().active);

    EXPECT_EQ(employeeNumbers(QStringLiteral("10")),
              (QList<int>{101, 102, 103, 104, 105, 106, 107, 108, 109}));
    EXPECT_EQ(employeeNumbers(QStringLiteral("11")), QList<int>{110});
    EXPECT_EQ(employeeNumbers(QStringLiteral("105")), QList<int>{105});
    // Employee numbers are whole: a decimal point matches no number.
    EXPECT_TRUE(employeeNumbers(QStringLiteral("105.")).isEmpty());
    // By name: Brennan, Gallagher, Harper, ...
    EXPECT_EQ(employeeNumbers(QString()).first(), 108);
}

TEST_F(LookupsTest, ChoicesLeaveTheSuiteFormatsOnTheClipboard) {
    EXPECT_EQ(Lookups::accountText(1042), QStringLiteral("1042.00"));
    EXPECT_EQ(Lookups::accountText(1042.5), QStringLiteral("1042.50"));
    EXPECT_EQ(Lookups::accountText(99999.99), QStringLiteral("99999.99"));
    EXPECT_EQ(Lookups::accountText(0.5), QStringLiteral(".50"));
    EXPECT_EQ(Lookups::accountText(0), QStringLiteral(".00"));
    EXPECT_EQ(Lookups::employeeText(7), QStringLiteral("7"));
    EXPECT_EQ(Lookups::dateText(QDate(2025, 7, 4)), QStringLiteral("20250704"));

    Lookups chooser = lookups();
    chooser.chooseAccount(1027);
    EXPECT_EQ(clipboard.content, QStringLiteral("1027.00"));
    chooser.chooseEmployee(104);
    EXPECT_EQ(clipboard.content, QStringLiteral("104"));
    chooser.chooseDate(QDate(2026, 12, 31));
    EXPECT_EQ(clipboard.content, QStringLiteral("20261231"));
    chooser.chooseDate(QDate());
    EXPECT_EQ(clipboard.content, QStringLiteral("20261231"));
}

TEST_F(LookupsTest, MissingDatabasesAreReturnedNotShown) {
    removeDatabase(QStringLiteral("master"));
    removeDatabase(QStringLiteral("emp"));
    auto accounts = lookups().findAccounts(QStringLiteral("patel"));
    ASSERT_FALSE(accounts.ok());
    EXPECT_EQ(accounts.error().number, ErrorNumber::FileMissing);
    auto employees = lookups().findEmployees(QString());
    ASSERT_FALSE(employees.ok());
    EXPECT_EQ(employees.error().number, ErrorNumber::FileMissing);
    EXPECT_TRUE(prompts.messages.isEmpty());
    EXPECT_TRUE(clipboard.content.isEmpty());
}

} // namespace
