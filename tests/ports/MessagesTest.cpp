#include "ClubFixture.h"
#include "HeldLock.h"

#include <QDir>
#include <QFile>

using namespace Qt::StringLiterals;

namespace {

class MessagesTest : public ClubFixture {
protected:
    QStringList logLines(const QString &file = u"admlog.ini"_s) {
        QFile log(path(file));
        if (!log.open(QIODevice::ReadOnly | QIODevice::Text))
            return {};
        return QString::fromUtf8(log.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }
};

TEST_F(MessagesTest, ErrorReportShowsTheCodeTableAndLogsTheHeader) {
    module->session.UserName = u"MARY"_s;
    module->session.LocationName = u"BASIC"_s;
    prompts.expectError();
    module->messages.ShowErrorCodes({3022, u"Duplicate key"_s});

    ASSERT_EQ(prompts.messages.size(), 1);
    const auto &shown = prompts.lastMessage();
    EXPECT_EQ(shown.title, u"Brevant Codes"_s);
    EXPECT_EQ(shown.icon, Icon::Information);
    EXPECT_TRUE(
        shown.text.startsWith(u"Code 3022 - Duplicate key\n\nFYI - other possible codes"_s));
    EXPECT_TRUE(shown.text.endsWith(
        u"Crystal Report errors. Try restarting the computer. \nOther codes - call Quorvane"_s));
    EXPECT_EQ(shown.text.count(QLatin1Char('\n')), 2 + 13);
    EXPECT_EQ(module->channel.MessageText, u"Code 3022 - Duplicate key"_s);
    EXPECT_EQ(logLines(),
              QStringList{u"12/06/2026-09:30:00-MARY-BASIC-Code 3022 - Duplicate key"_s});

    // Error number 0 is no error.
    module->messages.ShowErrorCodes({0, u"nothing"_s});
    EXPECT_EQ(prompts.messages.size(), 1);
    EXPECT_EQ(logLines().size(), 1);
}

TEST_F(MessagesTest, AdminLogGoesToTheBackupLogDuringBackupAndKeepsOneLinePerEntry) {
    module->session.UserName = u"DEMO"_s;
    module->session.LocationName = u"Backup/Restore"_s;
    ASSERT_TRUE(module->messages.WriteAdminLog(u"first line\r\nsecond line"_s));
    EXPECT_TRUE(logLines().isEmpty());
    EXPECT_EQ(logLines(u"lastbkup.dat"_s),
              QStringList{u"12/06/2026-09:30:00-DEMO-Backup/Restore-first line second line"_s});
}

TEST_F(MessagesTest, ALogLineThatCannotBeWrittenIsShownAndKeptForTheNextWrite) {
    module->session.UserName = u"MARY"_s;
    module->session.LocationName = u"BASIC"_s;
    // The log cannot be written: here a folder stands where the file goes.
    ASSERT_TRUE(QDir(club).mkdir(u"admlog.ini"_s));
    prompts.expectError(2);
    module->messages.ShowErrorCodes({3022, u"Duplicate key"_s});
    ASSERT_EQ(prompts.messages.size(), 2);
    EXPECT_EQ(prompts.lastMessage().title, u"Uh-oh..."_s);
    EXPECT_TRUE(prompts.lastMessage().text.startsWith(
        u"This line could not be written to admlog.ini; it is kept"_s));
    EXPECT_TRUE(prompts.lastMessage().text.endsWith(u"Code 3022 - Duplicate key"_s));

    // Once it can be written again, the kept line goes first.
    ASSERT_TRUE(QDir(club).rmdir(u"admlog.ini"_s));
    prompts.expectError();
    module->messages.ShowErrorCodes({3186, u"Locked"_s});
    const QStringList lines = logLines();
    ASSERT_EQ(lines.size(), 2);
    EXPECT_TRUE(lines[0].endsWith(u"-Code 3022 - Duplicate key"_s));
    EXPECT_TRUE(lines[1].endsWith(u"-Code 3186 - Locked"_s));

    // At closing, what still cannot be written is shown for the operator to note.
    ASSERT_TRUE(QFile::remove(path(u"admlog.ini"_s)));
    ASSERT_TRUE(QDir(club).mkdir(u"admlog.ini"_s));
    prompts.expectError(2);
    EXPECT_FALSE(module->messages.WriteAdminLog(u"Location not set back"_s));
    EXPECT_FALSE(module->messages.flushLogs());
    EXPECT_TRUE(prompts.lastMessage().text.startsWith(
        u"These lines could not be written to admlog.ini:\n\n"_s));
    EXPECT_TRUE(prompts.lastMessage().text.endsWith(u"-Location not set back"_s));
}

TEST_F(MessagesTest, AskYesNoStoresTheAnswer) {
    prompts.answerYesNo(true);
    prompts.answerYesNo(false);
    EXPECT_TRUE(module->messages.AskYesNo(u"Sure?"_s, u"Please confirm"_s));
    EXPECT_EQ(module->channel.YesNoAnswer, MessageChannel::Yes);
    EXPECT_FALSE(module->messages.AskYesNo());
    EXPECT_EQ(module->channel.YesNoAnswer, MessageChannel::No);
    EXPECT_EQ(prompts.questions[1].text, u"Sure?"_s);
    EXPECT_EQ(prompts.questions[1].title, u"Please confirm"_s);
}

TEST_F(MessagesTest, LockedWriteAsksToRetryUntilItSucceedsOrTheOperatorWaits) {
    auto held = std::make_unique<HeldLock>(settings(), u"evnt"_s, u"location"_s);
    ASSERT_TRUE(held->held());

    const auto write = [&] {
        auto db = module->databases.open(u"evnt"_s);
        return db.value()->execute(
            u"insert into location (roomnum, room, capacity, subdiv) values (1, 'x', 1, 0)"_s);
    };

    // No: the save is abandoned with the lock error, nothing written.
    prompts.answerYesNo(false);
    const Status abandoned = module->messages.RetryWhileLocked(write);
    ASSERT_FALSE(abandoned.ok());
    EXPECT_EQ(abandoned.error().number, ErrorNumber::RecordLocked);
    ASSERT_EQ(prompts.questions.size(), 1);
    EXPECT_EQ(prompts.questions[0].title, u"Multi-user database lock..."_s);
    EXPECT_EQ(prompts.questions[0].text,
              u"Plase wait... another user is editing a record; Click YES to try again now or \r\n"
              "or click NO to wait a moment or two and try again."_s);

    // Yes after the other workstation let go: the write goes through.
    int attempts = 0;
    prompts.answerYesNo(true);
    const Status saved = module->messages.RetryWhileLocked([&] {
        if (++attempts == 2)
            held.reset();
        return write();
    });
    EXPECT_TRUE(saved.ok());
    EXPECT_EQ(attempts, 2);
    EXPECT_TRUE(prompts.messages.isEmpty());
}

} // namespace
