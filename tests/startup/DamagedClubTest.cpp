#include "ClubFixture.h"
#include "app/MainWindowLogic.h"
#include "session/SingleInstance.h"
#include "startup/ClubUpgrade.h"
#include "storage/Schema.h"
#include "storage/SchemaUpgrade.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTimeZone>
#include <random>

namespace {

// A database that is not the program's is never used, never filled with
// new tables, and named in the refusal by every command that opens it.
class DamagedClubTest : public ClubFixture {
protected:
    static QByteArray contents(const QString &file) {
        QFile read(file);
        return read.open(QIODevice::ReadOnly) ? read.readAll() : QByteArray("(a directory)");
    }
    static void write(const QString &file, const QByteArray &bytes) {
        QFile out(file);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
        ASSERT_EQ(out.write(bytes), bytes.size());
    }

    // The tool as an operator runs it: exit status and what it said.
    std::pair<int, QString> tool(const QStringList &arguments) {
        QProcess process;
        process.start(QStringLiteral(MORAVEL_CLUB), arguments);
        EXPECT_TRUE(process.waitForFinished(60000));
        return {process.exitCode(), QString::fromUtf8(process.readAllStandardError())};
    }

    // Start-up as the next launch on this club makes it: the message shown.
    std::pair<bool, QString> startUp() {
        reopen(settings());
        SingleInstance instance(club, QStringLiteral("test-account"));
        MainWindowLogic logic(*module);
        prompts.clear();
        prompts.expectError();
        const bool started = logic.StartMainWindow(QStringLiteral("ZQJ99DEMO"), instance) ==
                             MainWindowLogic::Outcome::Started;
        return {started, prompts.messages.isEmpty() ? QString() : prompts.lastMessage().text};
    }
};

TEST_F(DamagedClubTest, EveryCommandRefusesADamagedFileAndLeavesItAsItIs) {
    if (onPostgres())
        GTEST_SKIP() << "the files of a SQLite club";
    QString damagedFile;
    QByteArray whole;
    QByteArray random(8192, '\0');
    std::mt19937 bytes(27);
    for (char &byte : random)
        byte = char(bytes());
    const struct {
        const char *damage;
        std::function<void()> make;
    } damages[] = {
        {"0 bytes",
         [&] {
             write(damagedFile, {});
         }},
        {"truncated",
         [&] {
             write(damagedFile, whole.left(whole.size() / 3));
         }},
        {"random bytes",
         [&] {
             write(damagedFile, random);
         }},
        {"another database's file",
         [&] {
             write(damagedFile, contents(path(QStringLiteral("user.mdb"))));
         }},
        {"a directory",
         [&] {
             QFile::remove(damagedFile);
             QDir().mkdir(damagedFile);
         }},
    };
    const QString copyTarget = QDir(temp.path()).filePath(QStringLiteral("copied"));
    const struct {
        const char *command;
        std::function<std::pair<bool, QString>()> run;
    } commands[] = {
        {"start-up",
         [&] {
             return startUp();
         }},
        {"upgrade",
         [&] {
             const auto [status, said] = tool({QStringLiteral("upgrade"), club});
             return std::pair{status == 0, said};
         }},
        {"copy",
         [&] {
             const auto [status, said] = tool({QStringLiteral("copy"), club, copyTarget});
             EXPECT_FALSE(QFileInfo::exists(copyTarget)) << "refused before TO is touched";
             return std::pair{status == 0, said};
         }},
        {"export-ics",
         [&] {
             const auto [status, said] =
                 tool({QStringLiteral("export-ics"), club, QStringLiteral("20270101"),
                       QStringLiteral("20271231")});
             return std::pair{status == 0, said};
         }},
    };
    for (const char *file : {"evnt.mdb", "config.mdb"}) {
        damagedFile = path(QString::fromLatin1(file));
        whole = contents(damagedFile);
        for (const auto &damage : damages) {
            for (const auto &command : commands) {
                const std::string row =
                    std::string(file) + ", " + damage.damage + " / " + command.command;
                QDir(damagedFile).removeRecursively();
                QDir(copyTarget).removeRecursively();
                write(damagedFile, whole);
                damage.make();
                const QByteArray damaged = contents(damagedFile);
                const auto [succeeded, said] = command.run();
                EXPECT_FALSE(succeeded) << row;
                EXPECT_TRUE(said.contains(damagedFile)) << row << ": " << said.toStdString();
                EXPECT_EQ(contents(damagedFile), damaged) << row << ": nothing is written into it";
            }
        }
        QDir(damagedFile).removeRecursively();
        write(damagedFile, whole);
    }
}

TEST_F(DamagedClubTest, RecreateStartsOnlyAnUnrecognisedDatabaseEmptyAndKeepsTheOldOne) {
    Databases &databases = module->databases;
    const QDateTime now(QDate(2026, 12, 7), QTime(5, 15, 30));
    auto kept =
        ClubUpgrade::recreate(databases, QStringLiteral("evnt"), now, QStringLiteral("ann"));
    ASSERT_FALSE(kept.ok());
    EXPECT_TRUE(kept.error().description.contains(QStringLiteral("kept as it is")));
    exec(QStringLiteral("evnt"), QStringLiteral("insert into eventinfo (eventnum) values (7)"));

    // Every table gone (a file emptied, a schema cleared): refused, then
    // recreated beside the old one, which keeps what it had.
    for (const Schema::Table &table : Schema::tablesOf(QStringLiteral("evnt")))
        exec(QStringLiteral("evnt"), QStringLiteral("drop table %1").arg(table.name));
    const Status refused = SchemaUpgrade::recognise(databases);
    ASSERT_FALSE(refused.ok());
    EXPECT_TRUE(refused.error().description.contains(QStringLiteral("--recreate evnt")))
        << refused.error().description.toStdString();
    EXPECT_FALSE(ClubUpgrade::run(databases, QString(), now, QStringLiteral("ann")).ok());
    EXPECT_FALSE(SchemaUpgrade::recognise(databases).ok()) << "upgrade made no tables";

    auto made =
        ClubUpgrade::recreate(databases, QStringLiteral("evnt.mdb"), now, QStringLiteral("ann"));
    ASSERT_TRUE(made.ok()) << made.error().description.toStdString();
    EXPECT_TRUE(made->contains(QStringLiteral("20261207")));
    EXPECT_TRUE(SchemaUpgrade::recognise(databases).ok());
    EXPECT_EQ(scalar(QStringLiteral("evnt"), QStringLiteral("select count(*) from eventinfo")), 0);
    EXPECT_EQ(*ClubUpgrade::run(databases, QString(), now, QStringLiteral("ann")),
              QStringList{QStringLiteral("The club had no time zone; it now has this "
                                         "workstation's, %1.")
                              .arg(QString::fromUtf8(QTimeZone::systemTimeZoneId()))})
        << "made at this version, but without the club's settings";
    QFile log(path(QStringLiteral("admlog.ini")));
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    EXPECT_TRUE(log.readAll().contains("12/07/2026-05:15:30-ann-moravel-club-"));
    if (!onPostgres()) {
        EXPECT_TRUE(
            QFileInfo(path(QStringLiteral("evnt.mdb.unrecognised-20261207-051530"))).isFile());
    }

    // A missing database is left to the program's own report of it, never made.
    removeDatabase(QStringLiteral("master"));
    EXPECT_TRUE(ClubUpgrade::run(databases, QString(), now, QStringLiteral("ann")).ok());
    EXPECT_FALSE(databases.exists(QStringLiteral("master")));
    EXPECT_FALSE(ClubUpgrade::recreate(databases, QStringLiteral("ledger"), now, {}).ok());
}

} // namespace
