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
#include <optional>
#include <random>

using namespace Qt::StringLiterals;

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

    // The tool as an operator runs it: whether it succeeded and what it said.
    std::pair<bool, QString> tool(const QStringList &arguments) {
        QProcess process;
        process.start(QStringLiteral(MORAVEL_CLUB), arguments);
        EXPECT_TRUE(process.waitForFinished(60000));
        return {process.exitCode() == 0, QString::fromUtf8(process.readAllStandardError())};
    }

    // Start-up as the next launch on this club makes it: the message shown.
    std::pair<bool, QString> startUp() {
        reopen(settings());
        SingleInstance instance(club, u"test-account"_s);
        MainWindowLogic logic(*module);
        prompts.clear();
        prompts.expectError();
        const bool started =
            logic.StartMainWindow(u"ZQJ99DEMO"_s, instance) == MainWindowLogic::Outcome::Started;
        return {started, prompts.messages.isEmpty() ? QString() : prompts.lastMessage().text};
    }
};

TEST_F(DamagedClubTest, EveryCommandRefusesADamagedFileAndLeavesItAsItIs) {
    if (onPostgres())
        GTEST_SKIP() << "the files of a SQLite club";
    QByteArray random(8192, '\0');
    std::mt19937 bytes(27);
    for (char &byte : random)
        byte = char(bytes());
    const QString copyTarget = QDir(temp.path()).filePath(u"copied"_s);
    const QStringList commands[] = {{u"upgrade"_s, club},
                                    {u"copy"_s, club, copyTarget},
                                    {u"export-ics"_s, club, u"20270101"_s, u"20271231"_s},
                                    {}}; // start-up
    for (const char *file : {"evnt.mdb", "config.mdb"}) {
        const QString damagedFile = path(QString::fromLatin1(file));
        const QByteArray whole = contents(damagedFile);
        // 0 bytes, truncated, random bytes, another database's file, a directory.
        const std::optional<QByteArray> damages[] = {QByteArray(), whole.left(whole.size() / 3),
                                                     random, contents(path(u"user.mdb"_s)),
                                                     std::nullopt};
        for (const auto &damage : damages) {
            for (const QStringList &command : commands) {
                const std::string row = std::string(file) + ", " +
                                        (damage ? std::to_string(damage->size()) + " bytes"
                                                : std::string("a directory")) +
                                        " / " + command.value(0, u"start-up"_s).toStdString();
                QDir(damagedFile).removeRecursively();
                QDir(copyTarget).removeRecursively();
                QFile::remove(damagedFile);
                if (damage)
                    write(damagedFile, *damage);
                else
                    QDir().mkdir(damagedFile);
                const QByteArray damaged = contents(damagedFile);
                const auto [succeeded, said] = command.isEmpty() ? startUp() : tool(command);
                EXPECT_FALSE(succeeded) << row;
                EXPECT_TRUE(said.contains(damagedFile)) << row << ": " << said.toStdString();
                EXPECT_EQ(contents(damagedFile), damaged) << row << ": nothing is written into it";
                EXPECT_FALSE(QFileInfo::exists(copyTarget)) << "refused before TO is touched";
            }
        }
        QDir(damagedFile).removeRecursively();
        write(damagedFile, whole);
    }
}

TEST_F(DamagedClubTest, RecreateStartsOnlyAnUnrecognisedDatabaseEmptyAndKeepsTheOldOne) {
    Databases &databases = module->databases;
    const QDateTime now(QDate(2026, 12, 7), QTime(5, 15, 30));
    auto kept = ClubUpgrade::recreate(databases, u"evnt"_s, now, u"ann"_s);
    ASSERT_FALSE(kept.ok());
    EXPECT_TRUE(kept.error().description.contains(u"kept as it is"_s));
    exec(u"evnt"_s, u"insert into eventinfo (eventnum) values (7)"_s);

    // Every table gone (a file emptied, a schema cleared): refused, then
    // recreated beside the old one, which keeps what it had.
    for (const Schema::Table &table : Schema::tablesOf(u"evnt"_s))
        exec(u"evnt"_s, u"drop table %1"_s.arg(table.name));
    const Status refused = SchemaUpgrade::recognise(databases);
    ASSERT_FALSE(refused.ok());
    EXPECT_TRUE(refused.error().description.contains(u"--recreate evnt"_s))
        << refused.error().description.toStdString();
    EXPECT_FALSE(ClubUpgrade::run(databases, QString(), now, u"ann"_s).ok());
    EXPECT_FALSE(SchemaUpgrade::recognise(databases).ok()) << "upgrade made no tables";

    auto made = ClubUpgrade::recreate(databases, u"evnt.mdb"_s, now, u"ann"_s);
    ASSERT_TRUE(made.ok()) << made.error().description.toStdString();
    EXPECT_TRUE(made->contains(u"20261207"_s));
    EXPECT_TRUE(SchemaUpgrade::recognise(databases).ok());
    EXPECT_EQ(scalar(u"evnt"_s, u"select count(*) from eventinfo"_s), 0);
    EXPECT_EQ(
        *ClubUpgrade::run(databases, QString(), now, u"ann"_s),
        QStringList{u"The club had no time zone; it now has this "
                    "workstation's, %1."_s.arg(QString::fromUtf8(QTimeZone::systemTimeZoneId()))})
        << "made at this version, but without the club's settings";
    QFile log(path(u"admlog.ini"_s));
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    EXPECT_TRUE(log.readAll().contains("12/07/2026-05:15:30-ann-moravel-club-"));
    if (!onPostgres()) {
        EXPECT_TRUE(QFileInfo(path(u"evnt.mdb.unrecognised-20261207-051530"_s)).isFile());
    }

    // A missing database is left to the program's own report of it, never made.
    removeDatabase(u"master"_s);
    EXPECT_TRUE(ClubUpgrade::run(databases, QString(), now, u"ann"_s).ok());
    EXPECT_FALSE(databases.exists(u"master"_s));
    EXPECT_FALSE(ClubUpgrade::recreate(databases, u"ledger"_s, now, {}).ok());
}

} // namespace
