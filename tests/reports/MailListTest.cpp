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

// Names are joined back from their two padded parts; each usable address is
// listed once, under its first event's spelling and name, with every event
// sharing it; the events without one are told and never saved.
TEST_F(MailListTest, EachUsableAddressIsListedOnceAndTheEventsWithoutOneAreTold) {
    add(1001, "John Smith     ", QString(20, QLatin1Char(' ')), "john@example.org");
    addContact(1002, "Westmoreland Hospitality Group Inc.", "events@westmoreland.com");
    // Cut right after a blank, and stored without its trailing blanks.
    add(1003, "Anna-Maria Cox", "Catering", "anna@cox.net");
    addContact(1004, "Zoë  Ångström", "zoe@example.se");
    add(1005, QVariant(), QVariant(), "nobody@example.org");
    addContact(1017, "Ann Lee", "Ann.Lee@Example.org");
    addContact(1006, "Ann Lee-Porter", " ann.lee@example.ORG ");
    addContact(1011, "Robert Hart", "JOHN@EXAMPLE.ORG");
    // Names that would break an address line are quoted there.
    addContact(1012, "Smith, John", "john@smith.com");
    addContact(1013, "Bob \"B\" Jones", "bob@jones.com");
    addContact(1014, "Events (Main) \\ Hall", "hall@club.org");
    addContact(1015, "Dr. Mary O'Neil", "mary@oneil.ie");
    addContact(1020, "Empty", QString());
    add(1021, "Null", QVariant(), QVariant());
    addContact(1022, "No At", "no-at-sign");

    const MailList list = read();
    EXPECT_EQ(names(list),
              (QStringList{"John Smith", "Westmoreland Hospitality Group Inc.",
                           "Anna-Maria Cox Catering", "Zoë  Ångström", "", "Ann Lee-Porter",
                           "Robert Hart", "Smith, John", "Bob \"B\" Jones", "Events (Main) \\ Hall",
                           "Dr. Mary O'Neil", "Ann Lee", "Empty", "Null", "No At"}))
        << "in event-number order";
    ASSERT_EQ(list.addresses().size(), 10);
    EXPECT_EQ(list.addresses()[0].address, "john@example.org");
    EXPECT_EQ(list.addresses()[0].events, (QList<qint64>{1001, 1011}));
    EXPECT_EQ(list.addresses()[5].address, "ann.lee@example.ORG");
    EXPECT_EQ(list.addresses()[5].name, "Ann Lee-Porter");
    EXPECT_EQ(list.addresses()[5].events, (QList<qint64>{1006, 1017}));
    EXPECT_EQ(list.withoutAddress(), (QList<qint64>{1020, 1021, 1022}));
    EXPECT_EQ(list.counts(), "15 events, 10 addresses, 3 events without a usable "
                             "address: 1020, 1021, 1022");
    EXPECT_EQ(MailList::shownAddress(list.rows()[12]), "(no usable address)");
    EXPECT_EQ(MailList::shownAddress(list.rows()[14]), "no-at-sign  (no usable address)");
    EXPECT_EQ(QString::fromUtf8(list.csv()).count("\r\n"), 11) << "a heading and each address";
    EXPECT_EQ(list.addressLine(),
              "John Smith <john@example.org>, Westmoreland Hospitality Group Inc. "
              "<events@westmoreland.com>, Anna-Maria Cox Catering <anna@cox.net>, "
              "Zoë  Ångström <zoe@example.se>, nobody@example.org, "
              "Ann Lee-Porter <ann.lee@example.ORG>, \"Smith, John\" <john@smith.com>, "
              "\"Bob \\\"B\\\" Jones\" <bob@jones.com>, "
              "\"Events (Main) \\\\ Hall\" <hall@club.org>, Dr. Mary O'Neil <mary@oneil.ie>");
}

TEST(MailListAddress, IsUsableOnlyAsOnePlainAddress) {
    for (const char *usable : {"ann@example.org", "first.last+tag@mail.example.co.uk",
                               "o'brien@example.ie", "zoë@exämple.se"})
        EXPECT_TRUE(MailList::isUsable(QString::fromUtf8(usable))) << usable;
    for (const char *refused :
         {"", "no-at-sign", "a@b@example.org", "@example.org", "ann@", "a@b", "ann@.example.org",
          "ann@example.org.", "two words@x.org", "ann\t@example.org", "ann\u00a0lee@example.org",
          "ann\u0001@example.org", "x@y.com;z@w.com", "x@y.com,z@w.com", "<ann@example.org>",
          "\"ann\"@example.org"})
        EXPECT_FALSE(MailList::isUsable(QString::fromUtf8(refused))) << refused;
}

TEST_F(MailListTest, CsvFileHasTheExactBytesASpreadsheetReads) {
    addContact(1001, "Bob \"Bobby\" Jones", "bob@jones.com");
    addContact(1002, "=HYPERLINK(1)", "evil@example.com");
    addContact(1006, "Zoë Ångström", "zoe@example.se");
    addContact(1007, "Bob Jones", "BOB@jones.com");
    addContact(1008, QString(), "anon@example.org");

    const Status saved = read().writeCsv(path("email05.csv"));
    ASSERT_TRUE(saved) << saved.error().description.toStdString();
    QFile file(path("email05.csv"));
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
    // Name, address and event number, each opened by what a spreadsheet
    // runs; the addresses only as far as they stay usable, the numbers only
    // by a sign.
    struct Case {
        int column;
        MailRow row;
    };
    QList<Case> cases;
    for (const char *start : {"=", "+", "-", "@", "\t", "\r", "\n"})
        cases << Case{0, {1001, QLatin1String(start) + "SUM(A1)", "ann@example.org"}};
    for (const char *start : {"=", "+", "-"})
        cases << Case{1, {1001, "Ann", QLatin1String(start) + "1+2@x.com"}};
    cases << Case{2, {-12, "Ann", "ann@example.org"}};
    for (const Case &c : cases) {
        const QString csv = QString::fromUtf8(MailList({c.row}).csv());
        const QString line = csv.section("\r\n", 1, 1);
        const QStringList cells = line.mid(1, line.size() - 2).split("\",\"");
        ASSERT_EQ(cells.size(), 3) << csv.toStdString();
        const QString written[] = {c.row.name, c.row.address, QString::number(c.row.event)};
        EXPECT_EQ(cells[c.column], QLatin1Char('\'') + written[c.column])
            << "column " << c.column << ": " << written[c.column].toStdString();
    }
}

// The work database is named by the companion's arguments, and the CSV file
// after the work database.
TEST_F(MailListTest, TheFilesAreNamedAfterTheArgumentsAndTheWorkDatabase) {
    for (const auto &[work, csv] : {std::pair{"/club/rpt05.mdb", "/club/email05.csv"},
                                    {"/club/RPT23.MDB", "/club/email23.csv"},
                                    {"/mail/spring list.db", "/mail/spring list-email.csv"},
                                    {"/club/rpt5.mdb", "/club/rpt5-email.csv"},
                                    {"/club/rpt05.mdb.bak", "/club/rpt05.mdb-email.csv"}})
        EXPECT_EQ(MailList::csvPath(QString::fromUtf8(work)), QString::fromUtf8(csv)) << work;
    const QString club = temp.path();
    EXPECT_EQ(MailList::workPath(club, {"rpt05.mdb"}), work);
    EXPECT_EQ(MailList::workPath(club, {"RPT05.MDB"}), work)
        << "a bare name is found in the club directory whatever its case";
    EXPECT_EQ(MailList::workPath(club, {"rpt07.mdb"}), path("rpt07.mdb"));
    EXPECT_EQ(MailList::workPath(club, {"/mail/spring", "list", "rpt05.mdb"}),
              "/mail/spring list rpt05.mdb")
        << "a path split on its blanks is joined again";
    EXPECT_EQ(MailList::workPath(club, {}), QString());
}

TEST_F(MailListTest, FilesThatCannotBeReadOrWrittenSayWhich) {
    addContact(1001, "Ann Lee", "ann@example.org");
    // A file where the folder should be: nothing can be created below it.
    const QString blocked = path("rpt05.mdb/email05.csv");
    const Status saved = read().writeCsv(blocked);
    ASSERT_FALSE(saved);
    EXPECT_TRUE(saved.error().description.startsWith(
        QStringLiteral("The CSV file %1 was not saved: ").arg(QDir::toNativeSeparators(blocked))))
        << saved.error().description.toStdString();

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
