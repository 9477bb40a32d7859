#include "ClubFixture.h"

using namespace Qt::StringLiterals;

namespace {

class MessagesTest : public ClubFixture {
protected:
    QStringList logLines(const QString &file = u"admlog.ini"_s) {
        QFile log(path(file));
        return log.open(QIODevice::ReadOnly | QIODevice::Text)
                   ? QString::fromUtf8(log.readAll()).split(u'\n', Qt::SkipEmptyParts)
                   : QStringList();
    }
};

TEST_F(MessagesTest, ErrorReportShowsTheCodeTableAndLogsTheHeaderInTheLogOfTheLocation) {
    module->session.UserName = u"MARY"_s;
    module->session.LocationName = u"BASIC"_s;
    prompts.expectError();
    module->messages.ShowErrorCodes({3022, u"Duplicate key"_s});
    const auto &shown = prompts.lastMessage();
    EXPECT_EQ(shown.title, u"Brevant Codes"_s);
    EXPECT_EQ(shown.icon, Icon::Information);
    EXPECT_TRUE(
        shown.text.startsWith(u"Code 3022 - Duplicate key\n\nFYI - other possible codes"_s));
    EXPECT_TRUE(shown.text.endsWith(
        u"Crystal Report errors. Try restarting the computer. \nOther codes - call Quorvane"_s));
    EXPECT_EQ(shown.text.count(u'\n'), 2 + 13);
    EXPECT_EQ(module->channel.MessageText, u"Code 3022 - Duplicate key"_s);
    EXPECT_EQ(logLines(),
              QStringList{u"12/06/2026-09:30:00-MARY-BASIC-Code 3022 - Duplicate key"_s});

    // Error number 0 is no error.
    module->messages.ShowErrorCodes({0, u"nothing"_s});
    EXPECT_EQ(prompts.messages.size(), 1);
    EXPECT_EQ(logLines().size(), 1);

    // During a backup the entries go to the backup log, each on one line.
    module->session.LocationName = u"Backup/Restore"_s;
    ASSERT_TRUE(module->messages.WriteAdminLog(u"first line\r\nsecond line"_s));
    EXPECT_EQ(logLines().size(), 1);
    EXPECT_EQ(logLines(u"lastbkup.dat"_s),
              QStringList{u"12/06/2026-09:30:00-MARY-Backup/Restore-first line second line"_s});
}

TEST_F(MessagesTest, ALogLineThatCannotBeWrittenIsShownAndKeptForTheNextWrite) {
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
}

// Only a lock is retried, for as long as the operator answers Yes; the answer is kept.
TEST_F(MessagesTest, LockedWriteAsksToRetryUntilItSucceedsOrTheOperatorWaits) {
    int attempts = 0;
    const auto write = [&]() -> Status {
        return ++attempts < 3 ? Status(DbError{ErrorNumber::RecordLocked, u"locked"_s}) : Status();
    };
    prompts.answerYesNo(true);
    prompts.answerYesNo(false);
    EXPECT_EQ(module->messages.RetryWhileLocked(write).error().number, ErrorNumber::RecordLocked);
    EXPECT_EQ(attempts, 2);
    EXPECT_EQ(module->channel.YesNoAnswer, MessageChannel::No);
    EXPECT_EQ(prompts.questions[1].title, u"Multi-user database lock..."_s);
    EXPECT_EQ(prompts.questions[1].text,
              u"Plase wait... another user is editing a record; Click YES to try again now or \r\n"
              "or click NO to wait a moment or two and try again."_s);
    EXPECT_TRUE(module->messages.RetryWhileLocked(write).ok());
    EXPECT_EQ(module->messages.RetryWhileLocked([] {
                                  return Status(DbError{3022, {}});
                              })
                  .error()
                  .number,
              3022);
    prompts.answerYesNo(true);
    EXPECT_TRUE(module->messages.AskYesNo());
    EXPECT_EQ(module->channel.YesNoAnswer, MessageChannel::Yes);
    EXPECT_EQ(prompts.questions.size(), 3);
}

} // namespace
