#include "ClubFixture.h"
#include "storage/SharedFile.h"

#include <QFile>
#include <QProcess>
#include <QTimer>

namespace {

class SharedRoutinesTest : public ClubFixture {
protected:
    void touch(const QString &name) {
        QFile file(path(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
};

TEST_F(SharedRoutinesTest, DatabaseUpdateCheck) {
    EXPECT_FALSE(module->routines.CheckDatabaseUpdate());
    EXPECT_TRUE(prompts.messages.isEmpty());

    prompts.expectError(2);
    touch(QStringLiteral("SchemaFix.DAT"));
    EXPECT_TRUE(module->routines.CheckDatabaseUpdate());
    ASSERT_EQ(prompts.messages.size(), 1);
    EXPECT_EQ(prompts.lastMessage().title, QStringLiteral("Brevant Database Update Required"));
    EXPECT_EQ(prompts.lastMessage().icon, Icon::Critical);
    EXPECT_EQ(prompts.lastMessage().text,
              QStringLiteral("Before you may continue, you must run the \nSCHEMAFIX module.  Note "
                             "that no users may be  \n"
                             "using Brevant Accounting during an update.  \n\n"));

    touch(QStringLiteral("tillzo.exe")); // copied from Windows in whatever case
    EXPECT_TRUE(module->routines.CheckDatabaseUpdate());
    EXPECT_TRUE(prompts.lastMessage().text.endsWith(
        QStringLiteral("\n\nUnless the instructions specify otherwise, it is NOT \nnecessary to "
                       "shut down Tillzo Point of sale.")));
}

TEST_F(SharedRoutinesTest, RunAndWaitWarnsAndLogsOnlyOnANonZeroExitCode) {
    module->session.UserName = QStringLiteral("DEMO");
    module->session.LocationName = QStringLiteral("BASIC");
    EXPECT_EQ(module->routines.RunAndWait(QStringLiteral("backup")), 0);
    EXPECT_TRUE(prompts.messages.isEmpty());
    EXPECT_EQ(module->session.LocationName, QStringLiteral("BASIC"));

    prompts.expectError();
    programs.exitCodes.enqueue(3);
    module->channel.MessageText = QStringLiteral("the caller's");
    EXPECT_EQ(module->routines.RunAndWait(QStringLiteral("backup"), {QStringLiteral("--all")}), 3);
    EXPECT_EQ(module->channel.MessageText, QStringLiteral("the caller's"));
    EXPECT_EQ(programs.waited.last(), QStringLiteral("backup --all"));
    ASSERT_EQ(prompts.messages.size(), 1);
    EXPECT_EQ(prompts.lastMessage().text,
              QStringLiteral("WARNING - PREMATURE USER TERMINATION OF BACKUP PROCEDURE"));
    EXPECT_EQ(prompts.lastMessage().title, QStringLiteral("CAUTION"));
    EXPECT_EQ(prompts.lastMessage().icon, Icon::Critical);
    EXPECT_EQ(module->session.LocationName, QStringLiteral("Backup/Restore"));
    EXPECT_TRUE(QFile::exists(path(QStringLiteral("lastbkup.dat"))));
}

TEST_F(SharedRoutinesTest, ClipboardWaitEndsWhenALookupAnswers) {
    clipboard.content = QStringLiteral("stale answer");
    QTimer::singleShot(30, [&] { clipboard.content = QStringLiteral("1042.00"); });
    EXPECT_TRUE(module->routines.WaitForClipboardText(5000));
    EXPECT_EQ(module->channel.LookupResult, QStringLiteral("1042.00"));

    // A button that sets the result directly ends the wait too.
    QTimer::singleShot(30, [&] { module->channel.LookupResult = QStringLiteral("NOHELP"); });
    EXPECT_TRUE(module->routines.WaitForClipboardText(5000));
    EXPECT_EQ(module->channel.LookupResult, QStringLiteral("NOHELP"));

    EXPECT_FALSE(module->routines.WaitForClipboardText(100));
}

TEST_F(SharedRoutinesTest, WorkstationsUpdatingOneCounterLoseNoIncrement) {
    // Separate processes, as workstations are; each adds one at a time.
    const QString counter = path(QStringLiteral("evntsched.dat"));
    constexpr int Workstations = 4;
    constexpr int Increments = 100;
    QList<QProcess *> workers;
    for (int i = 0; i < Workstations; ++i) {
        workers << new QProcess;
        workers.last()->start(QStringLiteral(SHARED_FILE_WORKER),
                              {counter, QString::number(Increments)});
    }
    for (QProcess *worker : workers) {
        EXPECT_TRUE(worker->waitForFinished(60000));
        EXPECT_EQ(worker->exitCode(), 0) << worker->readAllStandardError().toStdString();
        delete worker;
    }
    QFile file(counter);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll().trimmed().toInt(), Workstations * Increments);
}

} // namespace
