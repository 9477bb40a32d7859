#include "ClubFixture.h"
#include "HeldLock.h"

using namespace Qt::StringLiterals;

namespace {

using StaffLocationTest = ClubFixture;

TEST_F(StaffLocationTest, TheOperatorsOwnRowIsFoundByNameAndFailuresAreToldOnce) {
    const auto staff = [&](const char *column, const QString &name) {
        return scalar(u"user"_s, u"select %1 from staff where username = ?"_s.arg(column), {name})
            .toString();
    };
    exec(u"user"_s,
         u"insert into staff (username, location, work, sysuser) values (?, 'Menu', "
         "'Payroll', 7), (?, 'Menu', 'Payroll', null)"_s,
         {u"O'Brien \"Bo\""_s, u"Zoë"_s});
    module->session.UserName = u" o'brien \"bo\" "_s;
    module->session.LocationName = u"BASIC"_s;
    ASSERT_TRUE(module->staff.SetStaffLocation());
    EXPECT_EQ(module->session.UserName, u"O'BRIEN \"BO\""_s);
    EXPECT_EQ(staff("location", u"O'Brien \"Bo\""_s), u"BASIC"_s);
    EXPECT_EQ(staff("work", u"O'Brien \"Bo\""_s), QString()) << "signing in clears the work";
    EXPECT_EQ(module->session.SysUser, 7);
    EXPECT_EQ(staff("location", u"Zoë"_s), u"Menu"_s);

    // Upper-casing a non-ASCII name still finds it; a Null number is 0.
    module->session.UserName = u"zoë"_s;
    ASSERT_TRUE(module->staff.SetStaffLocation());
    EXPECT_EQ(staff("location", u"Zoë"_s), u"BASIC"_s);
    EXPECT_EQ(module->session.SysUser, 0);

    // Closing sets the location back and leaves the work taken up since.
    exec(u"user"_s, u"update staff set work = 'Payroll' where username = ?"_s, {u"Zoë"_s});
    ASSERT_TRUE(module->staff.ResetStaffLocation(u"ZOË"_s));
    EXPECT_EQ(staff("location", u"Zoë"_s), u"Startup"_s);
    EXPECT_EQ(staff("work", u"Zoë"_s), u"Payroll"_s);
    EXPECT_EQ(module->session.LocationName, u"Startup"_s);

    // An unknown name and a locked row are each told once.
    module->session.UserName = u"NOBODY"_s;
    EXPECT_FALSE(module->staff.SetStaffLocation());
    EXPECT_EQ(prompts.messageTexts(),
              QStringList{u"User name not found in user database.\nContact your system "
                          "administrator.\n\nUser name: NOBODY   Sysuser: 0"_s});
    EXPECT_EQ(prompts.lastMessage().title, u"User database problem"_s);
    EXPECT_TRUE(QFile::exists(path(u"admlog.ini"_s)));
    module->session.UserName = u"DEMO"_s;
    prompts.clear();
    HeldLock held(settings(), u"user"_s, u"staff"_s);
    EXPECT_FALSE(module->staff.SetStaffLocation());
    EXPECT_EQ(clock.pauses,
              QList<int>(StaffLocation::WriteAttempts - 1, StaffLocation::RetryPauseMs));
    ASSERT_EQ(prompts.messages.size(), 1);
    EXPECT_EQ(prompts.lastMessage().title, u"Unexpected writelocation conflict..."_s);
    EXPECT_TRUE(prompts.lastMessage().text.startsWith(u"Code3186\n"_s));
    EXPECT_TRUE(prompts.lastMessage().text.endsWith(u"Try again."_s));
}

} // namespace
