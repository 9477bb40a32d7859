#include "reports/MailList.h"

#include "storage/Databases.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

StorageSettings folder(const QString &directory) {
    StorageSettings settings;
    settings.clubDirectory = directory;
    return settings;
}

// An operator's work database rpt05.mdb made from the report template, as
// the program makes it, in a folder of its own.
class MailListTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(temp.isValid());
        {
            auto made = databases.create("rpt");
            ASSERT_TRUE(made) << made.error().description.toStdString();
        }
        ASSERT_TRUE(QFile::rename(path("rpt00.sys"), work));
    }

    QString path(const QString &name) const { return QDir(temp.path()).filePath(name); }

    // One event's row with the name parts exactly as given.
    void add(double event, const QVariant &fname, const QVariant &lname, const QVariant &email) {
        auto db = databases.openLocalFile(work);
        ASSERT_TRUE(db);
        const Status added = db.value()->execute(
            "insert into master (acctnumber, fname, lname, email1, email2, email3) "
            "values (?, ?, ?, ?, ?, ?)",
            {event, fname, lname, email, email, email});
        ASSERT_TRUE(added) << added.error().description.toStdString();
    }
    // A contact name cut by position into its two padded parts.
    void addContact(double event, const QString &name, const QString &email) {
        add(event, name.left(15).leftJustified(15), name.mid(15, 20).leftJustified(20), email);
    }

    MailList read() {
        auto list = MailList::read(databases, work);
        EXPECT_TRUE(list) << (list ? "" : list.error().description.toStdString());
        return list ? *list : MailList();
    }
    QString failure(const QString &file) {
        auto list = MailList::read(databases, file);
        EXPECT_FALSE(list);
        return list ? QString() : list.error().description;
    }

    QTemporaryDir temp;
    Databases databases{folder(temp.path())};
    QString work = path("rpt05.mdb");
};

QStringList names(const MailList &list) {
    QStringList found;
    for (const MailRow &row : list.rows())
        found << row.name;
    return found;
}

// The companion window's test shows a list read; here each rule of the reading.
TEST_F(MailListTest, OneLinePerAddressWhateverItsCaseNamesJoinedAndUnusableOnesListed) {
    addContact(1017, "Ann Lee", "Ann.Lee@Example.org");
    addContact(1003, "Ann Lee-Porter", " ann.lee@example.ORG ");
    add(1009, "Bob Hart       ", QString(20, QLatin1Char(' ')), "bob@hart.com");
    // Cut right after a blank, and stored without its trailing blanks.
    add(1011, "Anna-Maria Cox", "Catering", "BOB@HART.COM");
    addContact(1004, "Zoë  Ångström", QString());
    add(1005, QVariant(), QVariant(), QVariant());
    addContact(1020, "Blank", "two words@x.org");

    const MailList list = read();
    EXPECT_EQ(names(list), (QStringList{"Ann Lee-Porter", "Zoë  Ångström", "", "Bob Hart",
                                        "Anna-Maria Cox Catering", "Ann Lee", "Blank"}))
        << "in event-number order";
    ASSERT_EQ(list.addresses().size(), 2);
    // The first event's spelling and name stand for the address.
    EXPECT_EQ(list.addresses()[0].address, "ann.lee@example.ORG");
    EXPECT_EQ(list.addresses()[0].name, "Ann Lee-Porter");
    EXPECT_EQ(list.addresses()[0].events, (QList<qint64>{1003, 1017}));
    EXPECT_EQ(list.addresses()[1].address, "bob@hart.com");
    EXPECT_EQ(list.addresses()[1].events, (QList<qint64>{1009, 1011}));
    EXPECT_EQ(list.withoutAddress(), (QList<qint64>{1004, 1005, 1020}));
    EXPECT_EQ(list.counts(), "7 events, 2 addresses, 3 events without a usable address: 1004, "
                             "1005, 1020");
    EXPECT_FALSE(QString::fromUtf8(list.csv()).contains("two words"));
}

TEST(MailListAddress, RulesOneByOne) {
    for (const char *usable : {"ann@example.org", "first.last+tag@mail.example.co.uk",
                               "o'brien@example.ie", "zoë@exämple.se"})
        EXPECT_TRUE(MailList::isUsable(QString::fromUtf8(usable))) << usable;
    for (const char *unusable :
         {"", "no-at-sign", "a@b@example.org", "@example.org", "ann@", "a@b", "ann@.example.org",
          "ann@example.org.", "two words@x.org", "ann\t@example.org", "ann\u00a0lee@example.org",
          "ann\u0001@example.org", "x@y.com;z@w.com", "x@y.com,z@w.com", "<ann@example.org>",
          "\"ann\"@example.org"})
        EXPECT_FALSE(MailList::isUsable(QString::fromUtf8(unusable))) << unusable;
}

TEST_F(MailListTest, CsvFileHasTheExactBytesASpreadsheetReadsOrSaysWhereItFailed) {
    addContact(1001, "Bob \"Bobby\" Jones", "bob@jones.com");
    addContact(1002, "=HYPERLINK(1)", "evil@example.com");
    addContact(1006, "Zoë Ångström", "zoe@example.se");
    addContact(1007, "Bob Jones", "BOB@jones.com");
    addContact(1008, QString(), "anon@example.org");

    const MailList list = read();
    // A file where the folder should be: nothing can be created below it.
    const QString blocked = path("rpt05.mdb/email05.csv");
    const Status failed = list.writeCsv(blocked);
    ASSERT_FALSE(failed);
    EXPECT_TRUE(failed.error().description.startsWith(
        QStringLiteral("The CSV file %1 was not saved: ").arg(QDir::toNativeSeparators(blocked))))
        << failed.error().description.toStdString();

    const QString csv = MailList::csvPath(work);
    EXPECT_EQ(csv, path("email05.csv"));
    const Status saved = list.writeCsv(csv);
    ASSERT_TRUE(saved) << saved.error().description.toStdString();
    QFile file(csv);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("\xEF\xBB\xBF"
                                         "\"Name\",\"E-mail\",\"Event#\"\r\n"
                                         "\"Bob \"\"Bobby\"\" Jones\",\"bob@jones.com\",\"1001 "
                                         "1007\"\r\n"
                                         "\"'=HYPERLINK(1)\",\"evil@example.com\",\"1002\"\r\n"
                                         "\"Zo\xC3\xAB \xC3\x85ngstr\xC3\xB6m\",\"zoe@example.se\","
                                         "\"1006\"\r\n"
                                         "\"\",\"anon@example.org\",\"1008\"\r\n"));
}

TEST(MailListCsv, NoFieldOfTheFileStartsAFormula) {
    // Names by what a spreadsheet runs, addresses as far as they stay usable,
    // event numbers by a sign.
    for (const char *start : {"=", "+", "-", "@", "\t", "\r", "\n"})
        EXPECT_TRUE(MailList({{1001, QLatin1String(start) + "S", "a@b.org"}})
                        .csv()
                        .contains("\r\n\"'" + QByteArray(start) + "S\",\"a@b.org\",\"1001\"\r\n"))
            << start;
    for (const char *start : {"=", "+", "-"})
        EXPECT_TRUE(MailList({{1001, "Ann", QLatin1String(start) + "1@x.com"}})
                        .csv()
                        .contains(",\"'" + QByteArray(start) + "1@x.com\","))
            << start;
    EXPECT_TRUE(MailList({{-12, "Ann", "a@b.org"}}).csv().endsWith(",\"'-12\"\r\n"));
}

TEST(MailListCsv, IsNamedAfterTheOperatorsWorkDatabase) {
    for (const auto &[work, csv] : {std::pair{"/club/rpt05.mdb", "/club/email05.csv"},
                                    {"/club/RPT23.MDB", "/club/email23.csv"},
                                    {"/mail/spring list.db", "/mail/spring list-email.csv"},
                                    {"/club/rpt5.mdb", "/club/rpt5-email.csv"},
                                    {"/club/rpt05.mdb.bak", "/club/rpt05.mdb-email.csv"}})
        EXPECT_EQ(MailList::csvPath(QString::fromUtf8(work)), QString::fromUtf8(csv)) << work;
}

TEST_F(MailListTest, AddressLineQuotesNamesThatWouldBreakIt) {
    addContact(1001, "Ann Lee", "ann@example.org");
    addContact(1002, "Smith, John", "john@smith.com");
    addContact(1003, "Bob \"B\" Jones", "bob@jones.com");
    addContact(1004, "Events (Main) \\ Hall", "hall@club.org");
    addContact(1005, QString(), "anon@example.org");
    addContact(1006, "Ann Lee", "ANN@example.org");
    addContact(1007, "Dr. Mary O'Neil", "mary@oneil.ie");

    EXPECT_EQ(read().addressLine(),
              "Ann Lee <ann@example.org>, \"Smith, John\" <john@smith.com>, "
              "\"Bob \\\"B\\\" Jones\" <bob@jones.com>, "
              "\"Events (Main) \\\\ Hall\" <hall@club.org>, anon@example.org, "
              "Dr. Mary O'Neil <mary@oneil.ie>");
}

TEST_F(MailListTest, WorkDatabaseNamedByTheArguments) {
    EXPECT_EQ(MailList::workPath(temp.path(), {"RPT05.MDB"}), work)
        << "a bare name is found in the club directory whatever its case";
    EXPECT_EQ(MailList::workPath(temp.path(), {"rpt07.mdb"}), path("rpt07.mdb"));
    EXPECT_EQ(MailList::workPath(temp.path(), {}), QString());
}

TEST_F(MailListTest, FilesThatAreNoWorkDatabaseFailClearly) {
    const QString missing = path("rpt07.mdb");
    EXPECT_EQ(failure(missing), QStringLiteral("The work database %1 was not found.")
                                    .arg(QDir::toNativeSeparators(missing)));
    EXPECT_FALSE(QFile::exists(missing)) << "looking made no empty database";
    EXPECT_EQ(failure(QString()), "No work database was named.");

    const QString text = path("notes.mdb");
    {
        QFile file(text);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(
            QByteArray("Standard Jet DB, or any other file that is not ours\n").repeated(80));
    }
    EXPECT_EQ(
        failure(text),
        QStringLiteral("%1 is not a report work database.").arg(QDir::toNativeSeparators(text)));

    {
        auto made = databases.create("evnt");
        ASSERT_TRUE(made);
    }
    const QString other = path("evnt.mdb");
    EXPECT_EQ(failure(other), QStringLiteral("%1 has no e-mail list: the table master is missing.")
                                  .arg(QDir::toNativeSeparators(other)));
}

} // namespace
