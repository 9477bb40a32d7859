#include "ClubFixture.h"
#include "HeldLock.h"

#include <QFile>

using namespace Qt::StringLiterals;

namespace {

class StaffLocationTest : public ClubFixture {
protected:
    void addOperator(const QString &name, const QVariant &sysuser) {
        exec(u"user"_s,
             u"insert into staff (username, location, work, sysuser) values (?, ?, ?, ?)"_s,
             {name, u"Menu"_s, u"Payroll"_s, sysuser});
    }
    QString locationOf(const QString &name) {
        return scalar(u"user"_s, u"select location from staff where username = ?"_s, {name})
            .toString();
    }
};

TEST_F(StaffLocationTest, NamesWithQuotesAndAccentsReachOnlyTheirOwnRow) {
    addOperator(u"O'Brien \"Bo\""_s, 7);
    addOperator(u"Zoë"_s, QVariant());
    module->session.UserName = u" o'brien \"bo\" "_s;
    module->session.LocationName = u"BASIC"_s;
    ASSERT_TRUE(module->staff.SetStaffLocation());
    EXPECT_EQ(module->session.UserName, u"O'BRIEN \"BO\""_s);
    EXPECT_EQ(locationOf(u"O'Brien \"Bo\""_s), u"BASIC"_s);
    EXPECT_EQ(scalar(u"user"_s, u"select work from staff where sysuser = 7"_s).toString(),
              QString());
    EXPECT_EQ(module->session.SysUser, 7);
    EXPECT_EQ(locationOf(u"Zoë"_s), u"Menu"_s);
    EXPECT_EQ(locationOf(u"DEMO"_s), u"Startup"_s);

    // Upper-casing a non-ASCII name still finds it; a Null number is 0.
    module->session.UserName = u"zoë"_s;
    ASSERT_TRUE(module->staff.SetStaffLocation());
    EXPECT_EQ(locationOf(u"Zoë"_s), u"BASIC"_s);
    EXPECT_EQ(module->session.SysUser, 0);

    // Signing in clears the work column; closing sets the location back and
    // leaves the work the operator has taken up since.
    exec(u"user"_s, u"update staff set work = 'Payroll' where username = ?"_s, {u"Zoë"_s});
    ASSERT_TRUE(module->staff.ResetStaffLocation(u"ZOË"_s));
    EXPECT_EQ(locationOf(u"Zoë"_s), u"Startup"_s);
    EXPECT_EQ(scalar(u"user"_s, u"select work from staff where username = ?"_s, {u"Zoë"_s}),
              u"Payroll"_s);
    EXPECT_EQ(module->session.LocationName, u"Startup"_s);
    EXPECT_TRUE(prompts.messages.isEmpty());
}

TEST_F(StaffLocationTest, UnknownOperatorIsReportedAndLogged) {
    module->session.UserName = u"NOBODY"_s;
    module->session.LocationName = u"BASIC"_s;
    EXPECT_FALSE(module->staff.SetStaffLocation());
    ASSERT_EQ(prompts.messages.size(), 1);
    EXPECT_EQ(prompts.lastMessage().title, u"User database problem"_s);
    EXPECT_EQ(prompts.lastMessage().text,
              u"User name not found in user database.\nContact your system administrator.\n\n"
              "User name: NOBODY   Sysuser: 0"_s);
    EXPECT_TRUE(QFile::exists(path(u"admlog.ini"_s)));
}

TEST_F(StaffLocationTest, ALockedRowIsRetriedAFewTimesThenReported) {
    module->session.UserName = u"DEMO"_s;
    module->session.LocationName = u"BASIC"_s;
    HeldLock held(settings(), u"user"_s, u"staff"_s);
    ASSERT_TRUE(held.held());

    EXPECT_FALSE(module->staff.SetStaffLocation());
    EXPECT_EQ(clock.pauses,
              QList<int>(StaffLocation::WriteAttempts - 1, StaffLocation::RetryPauseMs));
    ASSERT_EQ(prompts.messages.size(), 1);
    EXPECT_EQ(prompts.lastMessage().title, u"Unexpected writelocation conflict..."_s);
    EXPECT_TRUE(prompts.lastMessage().text.startsWith(u"Code3186\n"_s));
    EXPECT_TRUE(prompts.lastMessage().text.endsWith(u"Try again."_s));
}

TEST_F(StaffLocationTest, MissingUserDatabaseIsReportedNotFatal) {
    prompts.expectError();
    removeDatabase(u"user"_s);
    module->session.UserName = u"DEMO"_s;
    EXPECT_FALSE(module->staff.LoadOperator());
    ASSERT_EQ(prompts.messages.size(), 1);
    EXPECT_TRUE(prompts.lastMessage().text.startsWith(u"The USER.MDB database is missing."_s));
    EXPECT_FALSE(module->staff.ResetStaffLocation(u"DEMO"_s));
    EXPECT_EQ(prompts.messages.size(), 1) << "closing stays quiet";
}

} // namespace
