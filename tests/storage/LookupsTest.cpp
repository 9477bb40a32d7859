#include "storage/Lookups.h"

#include "ClubFixture.h"

using namespace Qt::StringLiterals;

namespace {

// The account and staff look-ups read the demo club.
class LookupsTest : public ClubFixture {
protected:
    bool demoData() const override { return true; }

    Lookups lookups() { return Lookups(module->databases, clipboard); }

    // The numbers of the rows a text finds, in their order.
    template <typename Number, typename Found> static QList<Number> numbers(const Found &found) {
        EXPECT_TRUE(found.ok());
        QList<Number> numbers;
        for (const auto &match : found ? found->rows : decltype(found->rows)())
            numbers << match.number;
        return numbers;
    }
    QList<double> accountNumbers(const QString &text) {
        return numbers<double>(lookups().findAccounts(text));
    }
    QList<int> employeeNumbers(const QString &text) {
        return numbers<int>(lookups().findEmployees(text));
    }
    // The one row a text finds, as "number|name|class|status"; "(n rows)" otherwise.
    QString onlyAccount(const QString &text) {
        auto found = lookups().findAccounts(text);
        if (!found || found->rows.size() != 1 || found->more)
            return u"(%1 rows)"_s.arg(found ? found->rows.size() : -1);
        const AccountMatch &m = found->rows.first();
        return u"%1|%2|%3|%4|%5"_s.arg(m.number).arg(m.name, m.classCode, m.classDescription,
                                                     m.statusWords().join(u' '));
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
    EXPECT_EQ(onlyAccount(u"bRIe"_s), u"1027|O'Brien, Patrick|FG|Full Golf|SUSPENDED"_s);
    EXPECT_TRUE(onlyAccount(u"1066"_s).endsWith(u"|TERMINATED"_s))
        << onlyAccount(u"1066"_s).toStdString();
    // An organisation has no first name and shows its name alone.
    EXPECT_EQ(onlyAccount(u"financial"_s), u"2001|Meridian Financial Group|CORP|Corporate|"_s);
    EXPECT_EQ(onlyAccount(u"andrew's"_s),
              u"2501|St. Andrew's Episcopal Church|ORG|Community Organization|TaxExempt"_s);
    // Words may come from first and last name, in either order, with a comma.
    // Typed wildcards and quotes are plain characters.
    const struct {
        const char *typed;
        QList<double> found;
    } cases[] = {{"robert WHIT", {1001}},
                 {"Whitaker, Robert", {1001}},
                 {"_", {}},
                 {"%", {}},
                 {"nobody-here", {}},
                 {"[a]", {}}};
    for (const auto &c : cases)
        EXPECT_EQ(accountNumbers(QString::fromUtf8(c.typed)), c.found) << c.typed;
    // Ordered by name: Abernathy, Bennett, ... Whitaker.
    const QList<double> all = accountNumbers(QString());
    EXPECT_EQ(all.size(), 27) << "25 members and organisations, two event accounts";
    EXPECT_EQ(all.first(), 1238);

    // Letters beyond ASCII match in either case too.
    exec(u"master"_s, u"insert into acctinfo (acctnumber, lname, fname) values (1999, "
                      "'Ångström', 'Zoë')"_s);
    EXPECT_EQ(accountNumbers(u"ÅNGSTRÖM zoË"_s), QList<double>{1999});
    EXPECT_EQ(accountNumbers(u"ångström"_s), QList<double>{1999});
    AccountMatch flags;
    flags.taxExempt = flags.suspended = flags.terminated = true;
    EXPECT_EQ(flags.statusWords(), (QStringList{u"TaxExempt"_s, u"SUSPENDED"_s, u"TERMINATED"_s}));
}

TEST_F(LookupsTest, AccountNumbersMatchByPrefixInNumberOrder) {
    // A stored 3001.5 is an event account, named "Event #12".
    exec(u"master"_s,
         u"insert into acctinfo (acctnumber, fname, lname, classcode, taxexempt, "
         "suspended, terminated) values (?, ?, ?, ?, 0, 0, 0)"_s,
         {3001.5, QString(), u"Event #12"_s, u"EV"_s});
    const struct {
        const char *typed;
        QList<double> found;
    } cases[] = {
        {"10", {1001, 1004, 1012, 1027, 1033, 1041, 1058, 1066, 1079}},
        {"25", {2501, 2504, 2510}},
        {"1041", {1041}},
        {"1041.", {1041}},
        {"1041.00", {1041}},
        {"1041.5", {}},
        // Cents count.
        {"3001.5", {3001.5}},
        {"3001.50", {3001.5}},
        {"3001.51", {}},
        // A number also finds an event account by its name.
        {"12", {1203, 1217, 1224, 1238, 1249, 3001.5}},
    };
    for (const auto &c : cases)
        EXPECT_EQ(accountNumbers(QString::fromLatin1(c.typed)), c.found) << c.typed;
}

TEST_F(LookupsTest, LongListsStopAtTheLimit) {
    QList<QVariantList> guests;
    for (int i = 0; i < Lookups::ResultLimit + 5; ++i)
        guests << QVariantList{50000 + i, u"Guest"_s,
                               u"Zephyr %1"_s.arg(i, 3, 10, QLatin1Char('0')), u"EV"_s};
    execEach(u"master"_s,
             u"insert into acctinfo (acctnumber, fname, lname, classcode) values (?, ?, ?, ?)"_s,
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
    EXPECT_TRUE(employeeNumbers(u"105."_s).isEmpty()) << "employee numbers are whole";
    EXPECT_EQ(employeeNumbers(QString()).first(), 108) << "by name: Brennan, Gallagher, ...";

    removeDatabase(u"emp"_s);
    removeDatabase(u"master"_s);
    auto missing = lookups().findEmployees(QString());
    ASSERT_FALSE(missing.ok());
    EXPECT_EQ(missing.error().number, ErrorNumber::FileMissing);
    auto accounts = lookups().findAccounts(u"patel"_s);
    ASSERT_FALSE(accounts.ok());
    EXPECT_EQ(accounts.error().number, ErrorNumber::FileMissing);
    EXPECT_TRUE(prompts.messages.isEmpty()) << "returned, not shown";
}

TEST(LookupsTexts, ChoicesAreTheSuiteFormats) {
    for (const auto &[number, shown] : {std::pair{1042.0, "1042.00"},
                                        {1042.5, "1042.50"},
                                        {99999.99, "99999.99"},
                                        {0.5, ".50"},
                                        {0.0, ".00"}})
        EXPECT_EQ(Lookups::accountText(number), QLatin1String(shown)) << shown;
    EXPECT_EQ(Lookups::employeeText(7), u"7"_s);
    EXPECT_EQ(Lookups::dateText(QDate(2025, 7, 4)), u"20250704"_s);
    // A choice leaves its text on the clipboard; no date chosen leaves it as it was.
    FakeClipboard clipboard;
    Databases none({});
    Lookups chooser(none, clipboard);
    chooser.chooseAccount(1027);
    EXPECT_EQ(clipboard.content, u"1027.00"_s);
    chooser.chooseEmployee(104);
    EXPECT_EQ(clipboard.content, u"104"_s);
    chooser.chooseDate(QDate(2026, 12, 31));
    chooser.chooseDate(QDate());
    EXPECT_EQ(clipboard.content, u"20261231"_s);
}

} // namespace
