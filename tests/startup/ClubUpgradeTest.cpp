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
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTimeZone>

using namespace Qt::StringLiterals;

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
            exec(name, u"drop table schemaversion"_s);
        const Schema::Table *eventinfo = Schema::findTable(u"evnt"_s, u"eventinfo"_s);
        QStringList columns;
        for (const Schema::Column &column : eventinfo->columns)
            columns << column.name + QLatin1Char(' ') +
                           (column.name == QLatin1String("custid")
                                ? u"integer"_s
                                : module->databases.dialect().columnType(column.type, column.size));
        exec(u"evnt"_s, u"drop table eventinfo"_s);
        exec(u"evnt"_s, u"create table eventinfo (%1)"_s.arg(columns.join(QLatin1String(", "))));
        exec(u"evnt"_s, u"create index eventinfo_ix1 on eventinfo (eventnum)"_s);
        exec(u"evnt"_s, u"drop index pkg_eventnum_uq"_s);
        exec(u"evnt"_s, u"create index pkg_ix2 on pkg (eventnum)"_s);
        exec(u"rpt"_s, u"delete from headings"_s);
        exec(u"evnt"_s, u"drop table clubsetting"_s);
        addEvent(1, u"O'Brien wedding"_s, 1042.5);
        addEvent(2, u"Rotary lunch"_s, 2001);
        addEvent(0, u"unsaved"_s, 0);
        addEvent(0, u"unsaved"_s, 0);
    }
    void addEvent(int number, const QString &title, double account) {
        exec(u"evnt"_s,
             u"insert into eventinfo (eventdate, eventnum, eventtitle, custid) "
             "values (?, ?, ?, ?)"_s,
             {20270610 + number, number, title, account});
    }
    Status insertEvent(int number) {
        Databases databases(settings());
        auto db = databases.open(u"evnt"_s);
        return db.value()->execute(u"insert into eventinfo (eventnum) values (?)"_s, {number});
    }
    // How the engine hands back a whole account number: a whole-number
    // column gives an integer, an account-number column a double.
    QMetaType::Type custidType() {
        return QMetaType::Type(
            scalar(u"evnt"_s, u"select custid from eventinfo where eventnum = 2"_s)
                .metaType()
                .id());
    }
    Result<QStringList> upgrade() {
        Databases databases(settings());
        const QDateTime now(QDate(2026, 12, 7), QTime(5, 15, 30));
        return ClubUpgrade::run(databases, QString(), now, u"ann"_s);
    }
};

TEST_F(ClubUpgradeTest, AnOlderClubIsBroughtUpToDateWithoutLosingARow) {
    auto done = upgrade();
    ASSERT_TRUE(done.ok()) << done.error().number << " " << done.error().description.toStdString();
    EXPECT_TRUE(done->contains(u"evnt.mdb: billing account numbers keep their cents"_s));
    EXPECT_TRUE(done->contains(u"rpt00.sys: the report template's headings row"_s));
    EXPECT_EQ(scalar(u"evnt"_s, u"select value from clubsetting where name = 'locale'"_s),
              ClubSettings::workstationLocale().name())
        << "the upgrading workstation's locale, as a new club takes its creator's";
    const QString zone = QString::fromUtf8(QTimeZone::systemTimeZoneId());
    EXPECT_EQ(scalar(u"evnt"_s, u"select value from clubsetting where name = 'timezone'"_s), zone);
    const QString said =
        u"The club had no time zone; it now has this workstation's, %1."_s.arg(zone);
    EXPECT_TRUE(done->contains(said));
    QFile adminLog(path(QString::fromLatin1(Messages::AdminLogName)));
    ASSERT_TRUE(adminLog.open(QIODevice::ReadOnly | QIODevice::Text));
    EXPECT_EQ(QString::fromUtf8(adminLog.readAll()),
              u"12/07/2026-05:15:30-ann-moravel-club-"_s + said + QLatin1Char('\n'));

    EXPECT_EQ(
        column(u"evnt"_s, u"select eventdate || '/' || eventtitle || '/' || custid "
                          "from eventinfo where eventnum > 0 order by eventnum"_s),
        (QVariantList{u"20270611/O'Brien wedding/1042.5"_s, u"20270612/Rotary lunch/2001.0"_s}));
    EXPECT_EQ(scalar(u"evnt"_s, u"select count(*) from eventinfo"_s), 4);
    EXPECT_EQ(custidType(), QMetaType::Double);
    EXPECT_EQ(insertEvent(2).error().number, ErrorNumber::DuplicateKey);
    EXPECT_TRUE(insertEvent(0).ok()) << "unsaved rows may repeat";
    EXPECT_EQ(column(u"evnt"_s, u"select name from sqlite_master where tbl_name = 'pkg' and "
                                "type = 'index' order by name"_s),
              (QVariantList{u"pkg_eventnum_ix"_s, u"pkg_eventnum_uq"_s, u"pkg_pkgnum_ix"_s}));
    EXPECT_EQ(column(u"rpt"_s, u"select ctlcompname from headings"_s),
              QVariantList{u"Your Club Name"_s});
    for (const QString &name : Schema::databases())
        EXPECT_EQ(scalar(name, u"select version from schemaversion"_s).toInt(),
                  SchemaUpgrade::currentVersion())
            << name.toStdString();

    auto again = upgrade();
    ASSERT_TRUE(again.ok());
    EXPECT_TRUE(again->isEmpty()) << again->join(QLatin1Char('\n')).toStdString();
}

TEST_F(ClubUpgradeTest, AStepThatCannotRunChangesNothingAndStartUpStops) {
    addEvent(2, u"Rotary lunch, entered twice"_s, 2001);
    SingleInstance instance(club, u"test-account"_s);
    {
        MainWindowLogic logic(*module);
        prompts.expectError();
        EXPECT_EQ(logic.StartMainWindow(u"ZQJ99DEMO"_s, instance),
                  MainWindowLogic::Outcome::DatabaseFailure);
    }
    EXPECT_TRUE((prompts.lastMessage().title + u": "_s + prompts.lastMessage().text)
                    .startsWith(u"Brevant Codes: Code 3022 - Upgrade step 1 (named indexes and "
                                "unique keys) of EVNT.MDB"_s));
    EXPECT_EQ(scalar(u"evnt"_s, u"select count(*) from eventinfo"_s), 5);
    EXPECT_EQ(custidType(), QMetaType::LongLong);
    EXPECT_EQ(scalar(u"evnt"_s, u"select count(*) from schemaversion"_s), 0);

    // Once the office has settled which is which, the next start upgrades.
    exec(u"evnt"_s, u"update eventinfo set eventnum = 3 where eventtitle like '%twice'"_s);
    instance.release();
    MainWindowLogic logic(*module);
    EXPECT_EQ(logic.StartMainWindow(u"ZQJ99DEMO"_s, instance), MainWindowLogic::Outcome::Started);
    EXPECT_EQ(custidType(), QMetaType::Double);
    logic.QueryUnloadMainWindow();
}

TEST_F(ClubUpgradeTest, ShippedFilesAreAddedOrUpdatedButAClubsOwnAreKept) {
    const QDir share(QDir(temp.path()).filePath(u"share"_s));
    auto write = [](const QString &file, const QByteArray &text) {
        QDir().mkpath(QFileInfo(file).path());
        QFile out(file);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly) && out.write(text) == text.size());
    };
    auto read = [](const QString &file) {
        QFile in(file);
        return in.open(QIODevice::ReadOnly) ? in.readAll() : QByteArray();
    };
    const auto sha = [](const QByteArray &text) {
        return QCryptographicHash::hash(text, QCryptographicHash::Sha256).toHex();
    };
    write(share.filePath(u"evnt-1.txt"_s), "shipped help, version 2");
    write(share.filePath(u"cb-welcome.txt"_s), "shipped component");
    write(share.filePath(u"layouts/evntlist.rpt"_s), "shipped layout, version 2");
    write(share.filePath(u".shipped.sha256"_s),
          sha("shipped help, version 1") + "  evnt-1.txt\n" + sha("shipped layout, version 1") +
              "  layouts/evntlist.rpt\n" + sha("shipped layout, version 2") +
              "  layouts/evntlist.rpt\n");
    write(path(u"EVNT-1.TXT"_s), "the club's own help");
    write(path(u"Layouts/EvntList.rpt"_s), "shipped layout, version 1");

    auto done = ClubUpgrade::copyMissingFiles(share.path(), club);
    ASSERT_TRUE(done.ok());
    EXPECT_EQ(*done,
              (QStringList{u"copied cb-welcome.txt"_s, u"kept evnt-1.txt, which the club edited"_s,
                           u"updated layouts/evntlist.rpt"_s}));
    EXPECT_EQ(read(path(u"EVNT-1.TXT"_s)), "the club's own help");
    EXPECT_FALSE(QFile::exists(path(u"evnt-1.txt"_s)));
    EXPECT_EQ(read(path(u"Layouts/EvntList.rpt"_s)), "shipped layout, version 2")
        << "replaced under the club's own spelling of its name";
    EXPECT_FALSE(QFile::exists(path(u".shipped.sha256"_s)));
    EXPECT_EQ(*ClubUpgrade::copyMissingFiles(share.path(), club),
              QStringList{u"kept evnt-1.txt, which the club edited"_s});
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
    const QString current = QDir::currentPath();
    const auto restore = qScopeGuard([&] {
        QDir::setCurrent(current);
        saved.isNull() ? qunsetenv("MORAVEL_SHARE_DIR") : qputenv("MORAVEL_SHARE_DIR", saved);
    });
    qunsetenv("MORAVEL_SHARE_DIR");
    EXPECT_TRUE(QFile::exists(QDir(ClubUpgrade::shareDirectory()).filePath("evntcon1.rpt")))
        << "a build finds the layouts in its source tree";
    QTemporaryDir named;
    QDir(named.path()).mkpath(u"club"_s);
    qputenv("MORAVEL_SHARE_DIR", named.path().toUtf8());
    EXPECT_EQ(ClubUpgrade::shareDirectory(), named.path() + u"/club"_s);
    // The program changes into the club directory after looking: a relative
    // name must already point where it pointed at start.
    QDir::setCurrent(named.path());
    qputenv("MORAVEL_SHARE_DIR", "elsewhere");
    EXPECT_EQ(ClubUpgrade::shareDirectory(), named.path() + u"/elsewhere/club"_s)
        << "made absolute, and no quiet fallback to the source tree when missing";
}

} // namespace
