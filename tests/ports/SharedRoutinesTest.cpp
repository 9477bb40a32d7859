#include "ClubFixture.h"
#include "storage/SharedFile.h"

#include <QFile>
#include <QProcess>
#include <QTimer>

using namespace Qt::StringLiterals;

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
    touch(u"SchemaFix.DAT"_s);
    EXPECT_TRUE(module->routines.CheckDatabaseUpdate());
    ASSERT_EQ(prompts.messages.size(), 1);
    EXPECT_EQ(prompts.lastMessage().title, u"Brevant Database Update Required"_s);
    EXPECT_EQ(prompts.lastMessage().icon, Icon::Critical);
    EXPECT_EQ(prompts.lastMessage().text,
              u"Before you may continue, you must run the \nSCHEMAFIX module.  Note "
              "that no users may be  \n"
              "using Brevant Accounting during an update.  \n\n"_s);

    touch(u"tillzo.exe"_s); // copied from Windows in whatever case
    EXPECT_TRUE(module->routines.CheckDatabaseUpdate());
    EXPECT_TRUE(prompts.lastMessage().text.endsWith(
        u"\n\nUnless the instructions specify otherwise, it is NOT \nnecessary to "
        "shut down Tillzo Point of sale."_s));
}

TEST_F(SharedRoutinesTest, RunAndWaitWarnsAndLogsOnlyOnANonZeroExitCode) {
    module->session.UserName = u"DEMO"_s;
    module->session.LocationName = u"BASIC"_s;
    EXPECT_EQ(module->routines.RunAndWait(u"backup"_s), 0);
    EXPECT_TRUE(prompts.messages.isEmpty());
    EXPECT_EQ(module->session.LocationName, u"BASIC"_s);

    prompts.expectError();
    programs.exitCodes.enqueue(3);
    module->channel.MessageText = u"the caller's"_s;
    EXPECT_EQ(module->routines.RunAndWait(u"backup"_s, {u"--all"_s}), 3);
    EXPECT_EQ(module->channel.MessageText, u"the caller's"_s);
    EXPECT_EQ(programs.waited.last(), u"backup --all"_s);
    ASSERT_EQ(prompts.messages.size(), 1);
    EXPECT_EQ(prompts.lastMessage().text,
              u"WARNING - PREMATURE USER TERMINATION OF BACKUP PROCEDURE"_s);
    EXPECT_EQ(prompts.lastMessage().title, u"CAUTION"_s);
    EXPECT_EQ(prompts.lastMessage().icon, Icon::Critical);
    EXPECT_EQ(module->session.LocationName, u"Backup/Restore"_s);
    EXPECT_TRUE(QFile::exists(path(u"lastbkup.dat"_s)));
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

TEST_F(SharedRoutinesTest, WorkstationsUpdatingOneCounterLoseNoIncrement) {
    // Separate processes, as workstations are; each adds one at a time.
    const QString counter = path(u"evntsched.dat"_s);
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
