#include "storage/Lookups.h"

#include "ClubFixture.h"

#include <QDir>
#include <QFile>

using namespace Qt::StringLiterals;

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
    // The one row a text finds, as "number|name|..."; "(n rows)" otherwise.
    QString onlyAccount(const QString &text) {
        auto found = lookups().findAccounts(text);
        if (!found || found->rows.size() != 1 || found->more)
            return u"(%1 rows)"_s.arg(found ? found->rows.size() : -1);
        const AccountMatch &m = found->rows.first();
        return u"%1|%2|%3|%4"_s.arg(m.number).arg(m.name, m.classCode, m.classDescription);
    }
    QString onlyEmployee(const QString &text) {
        auto found = lookups().findEmployees(text);
        if (!found || found->rows.size() != 1)
            return u"(%1 rows)"_s.arg(found ? found->rows.size() : -1);
        const EmployeeMatch &m = found->rows.first();
        return u"%1|%2|%3"_s.arg(m.number).arg(m.name, m.active ? u"active"_s : u"inactive"_s);
    }
};

TEST_F(LookupsTest, AccountNamesMatchAnyPartInAnyCase) {
    EXPECT_EQ(onlyAccount(u"bRIe"_s), u"1027|O'Brien, Patrick|FG|Full Golf"_s);

    // Words may come from first and last name, in either order, with a comma.
    EXPECT_EQ(accountNumbers(u"robert WHIT"_s), QList<double>{1001});
    EXPECT_EQ(accountNumbers(u"Whitaker, Robert"_s), QList<double>{1001});
    // An organisation has no first name and shows its name alone.
    EXPECT_EQ(onlyAccount(u"financial"_s), u"2001|Meridian Financial Group|CORP|Corporate"_s);
    // Ordered by name: Abernathy, Bennett, ... Whitaker.
    const QList<double> all = accountNumbers(QString());
    EXPECT_EQ(all.size(), 27) << "25 members and organisations, two event accounts";
    EXPECT_EQ(all.first(), 1238);
    // Typed wildcards and quotes are plain characters.
    EXPECT_TRUE(accountNumbers(u"_"_s).isEmpty());
    EXPECT_TRUE(accountNumbers(u"%"_s).isEmpty());
    EXPECT_EQ(accountNumbers(u"andrew's"_s), QList<double>{2501});
    EXPECT_TRUE(accountNumbers(u"nobody-here"_s).isEmpty());
    EXPECT_TRUE(accountNumbers(u"[a]"_s).isEmpty());

    // Letters beyond ASCII match in either case too.
    exec(u"master"_s, u"insert into acctinfo (acctnumber, lname, fname) values (1999, "
                      "'Ångström', 'Zoë')"_s);
    EXPECT_EQ(accountNumbers(u"ÅNGSTRÖM zoË"_s), QList<double>{1999});
    EXPECT_EQ(accountNumbers(u"ångström"_s), QList<double>{1999});
}

TEST_F(LookupsTest, AccountNumbersMatchByPrefixInNumberOrder) {
    EXPECT_EQ(accountNumbers(u"10"_s),
              (QList<double>{1001, 1004, 1012, 1027, 1033, 1041, 1058, 1066, 1079}));
    EXPECT_EQ(accountNumbers(u"25"_s), (QList<double>{2501, 2504, 2510}));
    EXPECT_EQ(accountNumbers(u"1041"_s), QList<double>{1041});
    EXPECT_EQ(accountNumbers(u"1041."_s), QList<double>{1041});
    EXPECT_EQ(accountNumbers(u"1041.00"_s), QList<double>{1041});
    EXPECT_TRUE(accountNumbers(u"1041.5"_s).isEmpty());

    // Cents count: a stored 3001.5 is found by 3001.5 and 3001.50, not by 3001.51.
    exec(u"master"_s,
         u"insert into acctinfo (acctnumber, fname, lname, classcode, taxexempt, "
         "suspended, terminated) values (?, ?, ?, ?, 0, 0, 0)"_s,
         {3001.5, QString(), u"Event #12"_s, u"EV"_s});
    EXPECT_EQ(accountNumbers(u"3001.5"_s), QList<double>{3001.5});
    EXPECT_EQ(accountNumbers(u"3001.50"_s), QList<double>{3001.5});
    EXPECT_TRUE(accountNumbers(u"3001.51"_s).isEmpty());
    // A number also finds an event account by its name "Event #12".
    EXPECT_EQ(accountNumbers(u"12"_s), (QList<double>{1203, 1217, 1224, 1238, 1249, 3001.5}));
}

TEST_F(LookupsTest, AccountStatusFlagsAndWords) {
    auto found = lookups().findAccounts(QString());
    ASSERT_TRUE(found.ok());
    QMap<double, QStringList> words;
    for (const AccountMatch &match : found->rows)
        if (!match.statusWords().isEmpty())
            words.insert(match.number, match.statusWords());
    const QMap<double, QStringList> expected{{1027, {u"SUSPENDED"_s}},
                                             {1066, {u"TERMINATED"_s}},
                                             {2501, {u"TaxExempt"_s}},
                                             {2504, {u"TaxExempt"_s}}};
    EXPECT_EQ(words, expected);

    AccountMatch all;
    all.taxExempt = all.suspended = all.terminated = true;
    EXPECT_EQ(all.statusWords(), (QStringList{u"TaxExempt"_s, u"SUSPENDED"_s, u"TERMINATED"_s}));
}

TEST_F(LookupsTest, LongListsStopAtTheLimit) {
    QList<QVariantList> guests;
    for (int i = 0; i < Lookups::ResultLimit + 5; ++i)
        guests << QVariantList{50000 + i, u"Guest"_s,
                               u"Zephyr %1"_s.arg(i, 3, 10, QLatin1Char('0')), u"EV"_s};
    execEach(u"master"_s,
             u"insert into acctinfo (acctnumber, fname, lname, classcode) values (?, "
             "?, ?, ?)"_s,
             guests);
    auto found = lookups().findAccounts(u"zephyr"_s);
    ASSERT_TRUE(found.ok());
    EXPECT_EQ(found->rows.size(), Lookups::ResultLimit);
    EXPECT_TRUE(found->more);
    EXPECT_EQ(found->rows.first().name, u"Zephyr 000, Guest"_s);
    EXPECT_EQ(found->rows.first().classDescription, u"Event Account"_s);
}

TEST_F(LookupsTest, EmployeesByNameOrNumberWithActiveFlag) {
    EXPECT_EQ(onlyEmployee(u"LUTZ"_s), u"110|Lutz, Craig|inactive"_s);
    EXPECT_EQ(onlyEmployee(u"megan"_s), u"104|Gallagher, Megan|active"_s);

    EXPECT_EQ(employeeNumbers(u"10"_s), (QList<int>{101, 102, 103, 104, 105, 106, 107, 108, 109}));
    EXPECT_EQ(employeeNumbers(u"11"_s), QList<int>{110});
    EXPECT_EQ(employeeNumbers(u"105"_s), QList<int>{105});
    // Employee numbers are whole: a decimal point matches no number.
    EXPECT_TRUE(employeeNumbers(u"105."_s).isEmpty());
    // By name: Brennan, Gallagher, Harper, ...
    EXPECT_EQ(employeeNumbers(QString()).first(), 108);
}

TEST_F(LookupsTest, ChoicesLeaveTheSuiteFormatsOnTheClipboard) {
    EXPECT_EQ(Lookups::accountText(1042), u"1042.00"_s);
    EXPECT_EQ(Lookups::accountText(1042.5), u"1042.50"_s);
    EXPECT_EQ(Lookups::accountText(99999.99), u"99999.99"_s);
    EXPECT_EQ(Lookups::accountText(0.5), u".50"_s);
    EXPECT_EQ(Lookups::accountText(0), u".00"_s);
    EXPECT_EQ(Lookups::employeeText(7), u"7"_s);
    EXPECT_EQ(Lookups::dateText(QDate(2025, 7, 4)), u"20250704"_s);

    Lookups chooser = lookups();
    chooser.chooseAccount(1027);
    EXPECT_EQ(clipboard.content, u"1027.00"_s);
    chooser.chooseEmployee(104);
    EXPECT_EQ(clipboard.content, u"104"_s);
    chooser.chooseDate(QDate(2026, 12, 31));
    EXPECT_EQ(clipboard.content, u"20261231"_s);
    chooser.chooseDate(QDate());
    EXPECT_EQ(clipboard.content, u"20261231"_s);
}

TEST_F(LookupsTest, MissingDatabasesAreReturnedNotShown) {
    removeDatabase(u"master"_s);
    removeDatabase(u"emp"_s);
    auto accounts = lookups().findAccounts(u"patel"_s);
    ASSERT_FALSE(accounts.ok());
    EXPECT_EQ(accounts.error().number, ErrorNumber::FileMissing);
    auto employees = lookups().findEmployees(QString());
    ASSERT_FALSE(employees.ok());
    EXPECT_EQ(employees.error().number, ErrorNumber::FileMissing);
    EXPECT_TRUE(prompts.messages.isEmpty());
    EXPECT_TRUE(clipboard.content.isEmpty());
}

} // namespace
