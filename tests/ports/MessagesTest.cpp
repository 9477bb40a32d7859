#include "ClubFixture.h"
#include "HeldLock.h"

#include <QDir>
#include <QFile>

namespace {

class MessagesTest : public ClubFixture {
protected:
    QStringList logLines(const QString &file = QStringLiteral("admlog.ini")) {
        QFile log(path(file));
        if (!log.open(QIODevice::ReadOnly | QIODevice::Text))
            return {};
        return QString::fromUtf8(log.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }
};

TEST_F(MessagesTest, ErrorReportShowsTheCodeTableAndLogsTheHeader) {
    module->session.UserName = QStringLiteral("MARY");
    module->session.LocationName = QStringLiteral("BASIC");
    prompts.expectError();
    module->messages.ShowErrorCodes({3022, QStringLiteral("Duplicate key")});

    ASSERT_EQ(prompts.messages.size(), 1);
    const auto &shown = prompts.lastMessage();
    EXPECT_EQ(shown.title, QStringLiteral("Brevant Codes"));
    EXPECT_EQ(shown.icon, Icon::Information);
    EXPECT_TRUE(shown.text.startsWith(
        QStringLiteral("Code 3022 - Duplicate key\n\nFYI - other possible codes")));
    EXPECT_TRUE(shown.text.endsWith(QStringLiteral(
        "Crystal Report errors. Try restarting the computer. \nOther codes - call Quorvane")));
    EXPECT_EQ(shown.text.count(QLatin1Char('\n')), 2 + 13);
    EXPECT_EQ(module->channel.MessageText, QStringLiteral("Code 3022 - Duplicate key"));
    EXPECT_EQ(logLines(), QStringList{QStringLiteral(
                              "12/06/2026-09:30:00-MARY-BASIC-Code 3022 - Duplicate key")});

    // Error number 0 is no error.
    module->messages.ShowErrorCodes({0, QStringLiteral("nothing")});
    EXPECT_EQ(prompts.messages.size(), 1);
    EXPECT_EQ(logLines().size(), 1);
}

TEST_F(MessagesTest, AdminLogGoesToTheBackupLogDuringBackupAndKeepsOneLinePerEntry) {
    module->session.UserName = QStringLiteral("DEMO");
    module->session.LocationName = QStringLiteral("Backup/Restore");
    ASSERT_TRUE(module->messages.WriteAdminLog(QStringLiteral("first line\r\nsecond line")));
    EXPECT_TRUE(logLines().isEmpty());
    EXPECT_EQ(logLines(QStringLiteral("lastbkup.dat")),
              QStringList{QStringLiteral(
                  "12/06/2026-09:30:00-DEMO-Backup/Restore-first line second line")});
}

TEST_F(MessagesTest, ALogLineThatCannotBeWrittenIsShownAndKeptForTheNextWrite) {
    module->session.UserName = QStringLiteral("MARY");
    module->session.LocationName = QStringLiteral("BASIC");
    // The log cannot be written: here a folder stands where the file goes.
    ASSERT_TRUE(QDir(club).mkdir(QStringLiteral("admlog.ini")));
    prompts.expectError(2);
    module->messages.ShowErrorCodes({3022, QStringLiteral("Duplicate key")});
    ASSERT_EQ(prompts.messages.size(), 2);
    EXPECT_EQ(prompts.lastMessage().title, QStringLiteral("Uh-oh..."));
    EXPECT_TRUE(prompts.lastMessage().text.startsWith(
        QStringLiteral("This line could not be written to admlog.ini; it is kept")));
    EXPECT_TRUE(prompts.lastMessage().text.endsWith(QStringLiteral("Code 3022 - Duplicate key")));

    // Once it can be written again, the kept line goes first.
    ASSERT_TRUE(QDir(club).rmdir(QStringLiteral("admlog.ini")));
    prompts.expectError();
    module->messages.ShowErrorCodes({3186, QStringLiteral("Locked")});
    const QStringList lines = logLines();
    ASSERT_EQ(lines.size(), 2);
    EXPECT_TRUE(lines[0].endsWith(QStringLiteral("-Code 3022 - Duplicate key")));
    EXPECT_TRUE(lines[1].endsWith(QStringLiteral("-Code 3186 - Locked")));

    // At closing, what still cannot be written is shown for the operator to note.
    ASSERT_TRUE(QFile::remove(path(QStringLiteral("admlog.ini"))));
    ASSERT_TRUE(QDir(club).mkdir(QStringLiteral("admlog.ini")));
    prompts.expectError(2);
    EXPECT_FALSE(module->messages.WriteAdminLog(QStringLiteral("Location not set back")));
    EXPECT_FALSE(module->messages.flushLogs());
    EXPECT_TRUE(prompts.lastMessage().text.startsWith(
        QStringLiteral("These lines could not be written to admlog.ini:\n\n")));
    EXPECT_TRUE(prompts.lastMessage().text.endsWith(QStringLiteral("-Location not set back")));
}

TEST_F(MessagesTest, AskYesNoStoresTheAnswer) {
    prompts.answerYesNo(true);
    prompts.answerYesNo(false);
    EXPECT_TRUE(
        module->messages.AskYesNo(QStringLiteral("Sure?"), QStringLiteral("Please confirm")));
    EXPECT_EQ(module->channel.YesNoAnswer, MessageChannel::Yes);
    EXPECT_FALSE(module->messages.AskYesNo());
    EXPECT_EQ(module->channel.YesNoAnswer, MessageChannel::No);
    EXPECT_EQ(prompts.questions[1].text, QStringLiteral("Sure?"));
    EXPECT_EQ(prompts.questions[1].title, QStringLiteral("Please confirm"));
}

TEST_F(MessagesTest, LockedWriteAsksToRetryUntilItSucceedsOrTheOperatorWaits) {
    auto held =
        std::make_unique<HeldLock>(settings(), QStringLiteral("evnt"), QStringLiteral("location"));
    ASSERT_TRUE(held->held());

    const auto write = [&] {
        auto db = module->databases.open(QStringLiteral("evnt"));
        return db.value()->execute(QStringLiteral(
            "insert into location (roomnum, room, capacity, subdiv) values (1, 'x', 1, 0)"));
    };

    // No: the save is abandoned with the lock error, nothing written.
    prompts.answerYesNo(false);
    const Status abandoned = module->messages.RetryWhileLocked(write);
    ASSERT_FALSE(abandoned.ok());
    EXPECT_EQ(abandoned.error().number, ErrorNumber::RecordLocked);
    ASSERT_EQ(prompts.questions.size(), 1);
    EXPECT_EQ(prompts.questions[0].title, QStringLiteral("Multi-user database lock..."));
    EXPECT_EQ(
        prompts.questions[0].text,
        QStringLiteral(
            "Plase wait... another user is editing a record; Click YES to try again now or \r\n"
            "or click NO to wait a moment or two and try again."));

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
