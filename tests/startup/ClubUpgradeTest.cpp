#include "startup/ClubUpgrade.h"

#include "ClubFixture.h"
#include "app/MainWindowLogic.h"
#include "ports/Messages.h"
#include "session/ClubSettings.h"
#include "session/SingleInstance.h"
#include "storage/Schema.h"
#include "storage/SchemaUpgrade.h"

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QTemporaryDir>
#include <QTimeZone>

namespace {

// A club made by an earlier version: no version records, event account
// numbers as whole numbers, unnamed indexes, a template without its
// headings row.
class ClubUpgradeTest : public ClubFixture {
protected:
    void SetUp() override {
        ClubFixture::SetUp();
        if (onPostgres())
            GTEST_SKIP() << "earlier versions kept every club in SQLite files";
        for (const QString &name : Schema::databases())
            exec(name, QStringLiteral("drop table schemaversion"));
        const Schema::Table *eventinfo =
            Schema::findTable(QStringLiteral("evnt"), QStringLiteral("eventinfo"));
        QStringList columns;
        for (const Schema::Column &column : eventinfo->columns)
            columns << column.name + QLatin1Char(' ') +
                           (column.name == QLatin1String("custid")
                                ? QStringLiteral("integer")
                                : module->databases.dialect().columnType(column.type, column.size));
        exec(QStringLiteral("evnt"), QStringLiteral("drop table eventinfo"));
        exec(QStringLiteral("evnt"),
             QStringLiteral("create table eventinfo (%1)").arg(columns.join(QLatin1String(", "))));
        exec(QStringLiteral("evnt"),
             QStringLiteral("create index eventinfo_ix1 on eventinfo (eventnum)"));
        exec(QStringLiteral("evnt"), QStringLiteral("drop index pkg_eventnum_uq"));
        exec(QStringLiteral("evnt"), QStringLiteral("create index pkg_ix2 on pkg (eventnum)"));
        exec(QStringLiteral("rpt"), QStringLiteral("delete from headings"));
        exec(QStringLiteral("evnt"), QStringLiteral("drop table clubsetting"));
        addEvent(1, QStringLiteral("O'Brien wedding"), 1042.5);
        addEvent(2, QStringLiteral("Rotary lunch"), 2001);
        addEvent(0, QStringLiteral("unsaved"), 0);
        addEvent(0, QStringLiteral("unsaved"), 0);
    }
    void addEvent(int number, const QString &title, double account) {
        exec(
            QStringLiteral("evnt"),
            QStringLiteral("insert into eventinfo (eventdate, eventnum, eventtitle, custid) "
                           "values (?, ?, ?, ?)"),
            {20270610 + number, number, title, account});
    }
    Status insertEvent(int number) {
        Databases databases(settings());
        auto db = databases.open(QStringLiteral("evnt"));
        return db.value()->execute(QStringLiteral("insert into eventinfo (eventnum) values (?)"),
                                   {number});
    }
    // How the engine hands back a whole account number: a whole-number
    // column gives an integer, an account-number column a double.
    QMetaType::Type custidType() {
        return QMetaType::Type(
            scalar(QStringLiteral("evnt"),
                   QStringLiteral("select custid from eventinfo where eventnum = 2"))
                .metaType()
                .id());
    }
    Result<QStringList> upgrade() {
        Databases databases(settings());
        const QDateTime now(QDate(2026, 12, 7), QTime(5, 15, 30));
        return ClubUpgrade::run(databases, QString(), now, QStringLiteral("ann"));
    }
};

TEST_F(ClubUpgradeTest, AnOlderClubIsBroughtUpToDateWithoutLosingARow) {
    auto done = upgrade();
    ASSERT_TRUE(done.ok()) << done.error().number << " " << done.error().description.toStdString();
    EXPECT_TRUE(
        done->contains(QStringLiteral("evnt.mdb: billing account numbers keep their cents")));
    EXPECT_TRUE(done->contains(QStringLiteral("rpt00.sys: the report template's headings row")));
    EXPECT_EQ(scalar(QStringLiteral("evnt"),
                     QStringLiteral("select value from clubsetting where name = 'locale'")),
              ClubSettings::workstationLocale().name())
        << "the upgrading workstation's locale, as a new club takes its creator's";
    const QString zone = QString::fromUtf8(QTimeZone::systemTimeZoneId());
    EXPECT_EQ(scalar(QStringLiteral("evnt"),
                     QStringLiteral("select value from clubsetting where name = 'timezone'")),
              zone);
    const QString said =
        QStringLiteral("The club had no time zone; it now has this workstation's, %1.").arg(zone);
    EXPECT_TRUE(done->contains(said));
    QFile adminLog(path(QString::fromLatin1(Messages::AdminLogName)));
    ASSERT_TRUE(adminLog.open(QIODevice::ReadOnly | QIODevice::Text));
    EXPECT_EQ(QString::fromUtf8(adminLog.readAll()),
              QStringLiteral("12/07/2026-05:15:30-ann-moravel-club-") + said + QLatin1Char('\n'));

    EXPECT_EQ(column(QStringLiteral("evnt"),
                     QStringLiteral("select eventdate || '/' || eventtitle || '/' || custid "
                                    "from eventinfo where eventnum > 0 order by eventnum")),
              (QVariantList{QStringLiteral("20270611/O'Brien wedding/1042.5"),
                            QStringLiteral("20270612/Rotary lunch/2001.0")}));
    EXPECT_EQ(scalar(QStringLiteral("evnt"), QStringLiteral("select count(*) from eventinfo")), 4);
    EXPECT_EQ(custidType(), QMetaType::Double);
    EXPECT_EQ(insertEvent(2).error().number, ErrorNumber::DuplicateKey);
    EXPECT_TRUE(insertEvent(0).ok()) << "unsaved rows may repeat";
    EXPECT_EQ(column(QStringLiteral("evnt"),
                     QStringLiteral("select name from sqlite_master where tbl_name = 'pkg' and "
                                    "type = 'index' order by name")),
              (QVariantList{QStringLiteral("pkg_eventnum_ix"), QStringLiteral("pkg_eventnum_uq"),
                            QStringLiteral("pkg_pkgnum_ix")}));
    EXPECT_EQ(column(QStringLiteral("rpt"), QStringLiteral("select ctlcompname from headings")),
              QVariantList{QStringLiteral("Your Club Name")});
    for (const QString &name : Schema::databases())
        EXPECT_EQ(scalar(name, QStringLiteral("select version from schemaversion")).toInt(),
                  SchemaUpgrade::currentVersion())
            << name.toStdString();

    auto again = upgrade();
    ASSERT_TRUE(again.ok());
    EXPECT_TRUE(again->isEmpty()) << again->join(QLatin1Char('\n')).toStdString();
}

TEST_F(ClubUpgradeTest, AStepThatCannotRunChangesNothingAndStartUpStops) {
    addEvent(2, QStringLiteral("Rotary lunch, entered twice"), 2001);
    SingleInstance instance(club, QStringLiteral("test-account"));
    {
        MainWindowLogic logic(*module);
        prompts.expectError();
        EXPECT_EQ(logic.StartMainWindow(QStringLiteral("ZQJ99DEMO"), instance),
                  MainWindowLogic::Outcome::DatabaseFailure);
    }
    EXPECT_EQ(prompts.lastMessage().title, QStringLiteral("Brevant Codes"));
    EXPECT_TRUE(prompts.lastMessage().text.startsWith(
        QStringLiteral("Code 3022 - Upgrade step 1 (named indexes and unique keys) of EVNT.MDB")));
    EXPECT_EQ(scalar(QStringLiteral("evnt"), QStringLiteral("select count(*) from eventinfo")), 5);
    EXPECT_EQ(custidType(), QMetaType::LongLong);
    EXPECT_EQ(scalar(QStringLiteral("evnt"), QStringLiteral("select count(*) from schemaversion")),
              0);

    // Once the office has settled which is which, the next start upgrades.
    exec(QStringLiteral("evnt"),
         QStringLiteral("update eventinfo set eventnum = 3 where eventtitle like '%twice'"));
    instance.release();
    MainWindowLogic logic(*module);
    EXPECT_EQ(logic.StartMainWindow(QStringLiteral("ZQJ99DEMO"), instance),
              MainWindowLogic::Outcome::Started);
    EXPECT_EQ(custidType(), QMetaType::Double);
    logic.QueryUnloadMainWindow();
}

TEST_F(ClubUpgradeTest, ShippedFilesAreAddedOrUpdatedButAClubsOwnAreKept) {
    const QString share = QDir(temp.path()).filePath(QStringLiteral("share"));
    auto write = [](const QString &file, const QByteArray &text) {
        QDir().mkpath(QFileInfo(file).path());
        QFile out(file);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(text);
    };
    auto read = [](const QString &file) {
        QFile in(file);
        return in.open(QIODevice::ReadOnly) ? in.readAll() : QByteArray();
    };
    const auto sha = [](const QByteArray &text) {
        return QCryptographicHash::hash(text, QCryptographicHash::Sha256).toHex();
    };
    write(QDir(share).filePath(QStringLiteral("evnt-1.txt")), "shipped help, version 2");
    write(QDir(share).filePath(QStringLiteral("cb-welcome.txt")), "shipped component");
    write(QDir(share).filePath(QStringLiteral("layouts/evntlist.rpt")),
          "shipped layout, version 2");
    write(QDir(share).filePath(QStringLiteral(".shipped.sha256")),
          sha("shipped help, version 1") + "  evnt-1.txt\n" + sha("shipped layout, version 1") +
              "  layouts/evntlist.rpt\n" + sha("shipped layout, version 2") +
              "  layouts/evntlist.rpt\n");
    write(path(QStringLiteral("EVNT-1.TXT")), "the club's own help");
    write(path(QStringLiteral("Layouts/EvntList.rpt")), "shipped layout, version 1");

    auto done = ClubUpgrade::copyMissingFiles(share, club);
    ASSERT_TRUE(done.ok());
    EXPECT_EQ(*done, (QStringList{QStringLiteral("copied cb-welcome.txt"),
                                  QStringLiteral("kept evnt-1.txt, which the club edited"),
                                  QStringLiteral("updated layouts/evntlist.rpt")}));
    EXPECT_EQ(read(path(QStringLiteral("EVNT-1.TXT"))), "the club's own help");
    EXPECT_FALSE(QFile::exists(path(QStringLiteral("evnt-1.txt"))));
    EXPECT_EQ(read(path(QStringLiteral("Layouts/EvntList.rpt"))), "shipped layout, version 2")
        << "replaced under the club's own spelling of its name";
    EXPECT_FALSE(QFile::exists(path(QStringLiteral(".shipped.sha256"))));
    EXPECT_EQ(*ClubUpgrade::copyMissingFiles(share, club),
              QStringList{QStringLiteral("kept evnt-1.txt, which the club edited")});
}

TEST(ShippedFilesList, NamesTheVersionOfEveryFileShippedNow) {
    // scripts/shipped-checksums.sh must be run after a shipped file changes;
    // otherwise clubs would keep that version as if they had edited it.
    const QDir share(ClubUpgrade::shareDirectory());
    QFile list(share.filePath(QString::fromLatin1(ClubUpgrade::ShippedChecksums)));
    ASSERT_TRUE(list.open(QIODevice::ReadOnly));
    const QByteArray listed = list.readAll();
    QDirIterator files(share.path(), QDir::Files, QDirIterator::Subdirectories);
    while (files.hasNext()) {
        QFile file(files.next());
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QByteArray line =
            QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256).toHex() + "  " +
            share.relativeFilePath(file.fileName()).toUtf8() + "\n";
        EXPECT_TRUE(listed.contains(line)) << line.toStdString();
    }
}

// An installed program's folder (../share/moravel beside it) is checked by
// the package's own test; a test program has none beside it.
TEST(ShippedFilesLookup, AFolderNamedByHandWinsOverTheSourceTree) {
    const QByteArray saved = qgetenv("MORAVEL_SHARE_DIR");
    qunsetenv("MORAVEL_SHARE_DIR");
    EXPECT_TRUE(QFile::exists(QDir(ClubUpgrade::shareDirectory()).filePath("evntcon1.rpt")))
        << "a build finds the layouts in its source tree";

    QTemporaryDir named;
    QDir(named.path()).mkpath(QStringLiteral("club"));
    qputenv("MORAVEL_SHARE_DIR", named.path().toUtf8());
    EXPECT_EQ(ClubUpgrade::shareDirectory(), named.path() + QStringLiteral("/club"));

    // The program changes into the club directory after looking: a relative
    // name must already point where it pointed at start.
    const QString current = QDir::currentPath();
    QDir::setCurrent(named.path());
    qputenv("MORAVEL_SHARE_DIR", "elsewhere");
    EXPECT_EQ(ClubUpgrade::shareDirectory(), named.path() + QStringLiteral("/elsewhere/club"))
        << "made absolute, and no quiet fallback to the source tree when missing";
    QDir::setCurrent(current);

    if (saved.isNull())
        qunsetenv("MORAVEL_SHARE_DIR");
    else
        qputenv("MORAVEL_SHARE_DIR", saved);
}

} // namespace
