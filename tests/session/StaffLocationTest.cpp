#include "ClubFixture.h"
#include "HeldLock.h"

#include <QFile>

namespace {

class StaffLocationTest : public ClubFixture {
protected:
    void addOperator(const QString &name, const QVariant &sysuser) {
        exec(QStringLiteral("user"),
             QStringLiteral(
                 "insert into staff (username, location, work, sysuser) values (?, ?, ?, ?)"),
             {name, QStringLiteral("Menu"), QStringLiteral("Payroll"), sysuser});
    }
    QString locationOf(const QString &name) {
        return scalar(QStringLiteral("user"),
                      QStringLiteral("select location from staff where username = ?"), {name})
            .toString();
    }
};

TEST_F(StaffLocationTest, NamesWithQuotesAndAccentsReachOnlyTheirOwnRow) {
    addOperator(QStringLiteral("O'Brien \"Bo\""), 7);
    addOperator(QStringLiteral("Zoë"), QVariant());
    module->session.UserName = QStringLiteral(" o'brien \"bo\" ");
    module->session.LocationName = QStringLiteral("BASIC");
    ASSERT_TRUE(module->staff.SetStaffLocation());
    EXPECT_EQ(module->session.UserName, QStringLiteral("O'BRIEN \"BO\""));
    EXPECT_EQ(locationOf(QStringLiteral("O'Brien \"Bo\"")), QStringLiteral("BASIC"));
    EXPECT_EQ(
        scalar(QStringLiteral("user"), QStringLiteral("select work from staff where sysuser = 7"))
            .toString(),
        QString());
    EXPECT_EQ(module->session.SysUser, 7);
    EXPECT_EQ(locationOf(QStringLiteral("Zoë")), QStringLiteral("Menu"));
    EXPECT_EQ(locationOf(QStringLiteral("DEMO")), QStringLiteral("Startup"));

    // Upper-casing a non-ASCII name still finds it; a Null number is 0.
    module->session.UserName = QStringLiteral("zoë");
    ASSERT_TRUE(module->staff.SetStaffLocation());
    EXPECT_EQ(locationOf(QStringLiteral("Zoë")), QStringLiteral("BASIC"));
    EXPECT_EQ(module->session.SysUser, 0);

    ASSERT_TRUE(module->staff.ResetStaffLocation(QStringLiteral("ZOË")));
    EXPECT_EQ(locationOf(QStringLiteral("Zoë")), QStringLiteral("Startup"));
    EXPECT_EQ(module->session.LocationName, QStringLiteral("Startup"));
    EXPECT_TRUE(prompts.messages.isEmpty());
}

TEST_F(StaffLocationTest, UnknownOperatorIsReportedAndLogged) {
    module->session.UserName = QStringLiteral("NOBODY");
    module->session.LocationName = QStringLiteral("BASIC");
    EXPECT_FALSE(module->staff.SetStaffLocation());
    ASSERT_EQ(prompts.messages.size(), 1);
    EXPECT_EQ(prompts.lastMessage().title, QStringLiteral("User database problem"));
    EXPECT_EQ(prompts.lastMessage().text,
              QStringLiteral(
                  "User name not found in user database.\nContact your system administrator.\n\n"
                  "User name: NOBODY   Sysuser: 0"));
    EXPECT_TRUE(QFile::exists(path(QStringLiteral("admlog.ini"))));
}

TEST_F(StaffLocationTest, ALockedRowIsRetriedAFewTimesThenReported) {
    module->session.UserName = QStringLiteral("DEMO");
    module->session.LocationName = QStringLiteral("BASIC");
    HeldLock held(settings(), QStringLiteral("user"), QStringLiteral("staff"));
    ASSERT_TRUE(held.held());

    EXPECT_FALSE(module->staff.SetStaffLocation());
    EXPECT_EQ(clock.pauses,
              QList<int>(StaffLocation::WriteAttempts - 1, StaffLocation::RetryPauseMs));
    ASSERT_EQ(prompts.messages.size(), 1);
    EXPECT_EQ(prompts.lastMessage().title, QStringLiteral("Unexpected writelocation conflict..."));
    EXPECT_TRUE(prompts.lastMessage().text.startsWith(QStringLiteral("Code3186\n")));
    EXPECT_TRUE(prompts.lastMessage().text.endsWith(QStringLiteral("Try again.")));
}

TEST_F(StaffLocationTest, MissingUserDatabaseIsReportedNotFatal) {
    prompts.expectError();
    removeDatabase(QStringLiteral("user"));
    module->session.UserName = QStringLiteral("DEMO");
    EXPECT_FALSE(module->staff.LoadOperator());
    ASSERT_EQ(prompts.messages.size(), 1);
    EXPECT_TRUE(
        prompts.lastMessage().text.startsWith(QStringLiteral("The USER.MDB database is missing.")));
    EXPECT_FALSE(module->staff.ResetStaffLocation(QStringLiteral("DEMO")));
    EXPECT_EQ(prompts.messages.size(), 1) << "closing stays quiet";
}

} // namespace
