#pragma once

#include "ClubFixture.h"
#include "startup/ConfigurationLoader.h"

#include <QFile>

// A new club (account range 90000 to 99999.99, daily billing) with the
// configuration read as start-up reads it, and helpers that store events,
// items and accounts directly.
class BillingFixture : public ClubFixture {
protected:
    void SetUp() override {
        ClubFixture::SetUp();
        loadConfiguration();
        signIn(99);
    }
    void loadConfiguration() {
        auto loaded = LoadConfiguration(module->databases);
        ASSERT_TRUE(loaded.ok());
        module->config = loaded->settings;
    }

    void addEvent(int number, int status = 4, double account = 1001) {
        exec(QStringLiteral("evnt"),
             QStringLiteral("insert into eventinfo (eventdate, eventtitle, eventnum, status, "
                            "memnonmem, custid) values (20270801, 'Dinner', ?, ?, 1, ?)"),
             {number, status, account});
    }
    void addItem(int event, const QString &description, int glnum, const QString &price,
                 const QString &servchg, const QString &tax) {
        exec(QStringLiteral("evnt"),
             QStringLiteral("insert into items (eventid, qty, itemnum, dept, itemdesc, cost, "
                            "price, servchg, tax, glnum) values (?, 1, 100, 'FOOD', ?, 0, ?, ?, "
                            "?, ?)"),
             {event, description, price, servchg, tax, glnum});
    }
    void addAccount(double number, int suspended = 0, int taxexempt = 0) {
        exec(QStringLiteral("master"),
             QStringLiteral("insert into acctinfo (acctnumber, fname, lname, classcode, "
                            "taxexempt, suspended, terminated) values (?, 'Ada', 'Byron', 'FM', "
                            "?, ?, 0)"),
             {number, taxexempt, suspended});
    }
    // A file in the club directory, empty for a marker such as "TILLZO.EXE".
    void touch(const QString &name, const QByteArray &content = {}) {
        QFile file(path(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
    }
    int count(const QString &database, const QString &sql, const QVariantList &values = {}) {
        return scalar(database, sql, values).toInt();
    }
    // The rows of the accounts the condition picks, in each of an account's
    // five tables.
    QList<int> accountRows(const QString &condition) {
        QList<int> rows;
        for (const auto &[database, table] :
             {std::pair{"master", "acctinfo"}, std::pair{"master", "address"},
              std::pair{"master", "interesta"}, std::pair{"master", "comments"},
              std::pair{"master2", "ar"}})
            rows << count(QString::fromLatin1(database),
                          QStringLiteral("select count(*) from %1 where %2")
                              .arg(QString::fromLatin1(table), condition));
        return rows;
    }
    int status(int event) {
        return count(QStringLiteral("evnt"),
                     QStringLiteral("select status from eventinfo where eventnum = ?"), {event});
    }
    int charges(int event, const QString &table = QStringLiteral("ardaily")) {
        return count(QStringLiteral("daily"),
                     QStringLiteral("select count(*) from %1 where architnum = ?").arg(table),
                     {QStringLiteral("EV%1").arg(event).left(10)});
    }
};
