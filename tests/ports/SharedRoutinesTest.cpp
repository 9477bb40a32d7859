#include "ClubFixture.h"

#include <QTimer>

using namespace Qt::StringLiterals;

namespace {

using SharedRoutinesTest = ClubFixture;

TEST_F(SharedRoutinesTest, DatabaseUpdateCheck) {
    EXPECT_FALSE(module->routines.CheckDatabaseUpdate());
    EXPECT_TRUE(prompts.messages.isEmpty());

    prompts.expectError(2);
    QFile(path(u"SchemaFix.DAT"_s)).open(QIODevice::WriteOnly);
    EXPECT_TRUE(module->routines.CheckDatabaseUpdate());
    EXPECT_EQ(prompts.lastMessage().title, u"Brevant Database Update Required"_s);
    EXPECT_EQ(prompts.lastMessage().text,
              u"Before you may continue, you must run the \nSCHEMAFIX module.  Note "
              "that no users may be  \n"
              "using Brevant Accounting during an update.  \n\n"_s);

    QFile(path(u"tillzo.exe"_s)).open(QIODevice::WriteOnly); // copied from Windows in any case
    EXPECT_TRUE(module->routines.CheckDatabaseUpdate());
    EXPECT_TRUE(prompts.lastMessage().text.endsWith(
        u"\n\nUnless the instructions specify otherwise, it is NOT \nnecessary to "
        "shut down Tillzo Point of sale."_s));
}

TEST_F(SharedRoutinesTest, ClipboardWaitEndsWhenALookupAnswers) {
    clipboard.content = u"stale answer"_s;
    QTimer::singleShot(30, [&] { clipboard.content = u"1042.00"_s; });
    EXPECT_TRUE(module->routines.WaitForClipboardText(5000));
    EXPECT_EQ(module->channel.LookupResult, u"1042.00"_s);

    // A button that sets the result directly ends the wait too.
    QTimer::singleShot(30, [&] { module->channel.LookupResult = u"NOHELP"_s; });
    EXPECT_TRUE(module->routines.WaitForClipboardText(5000));
    EXPECT_EQ(module->channel.LookupResult, u"NOHELP"_s);

    EXPECT_FALSE(module->routines.WaitForClipboardText(100));
}

} // namespace
