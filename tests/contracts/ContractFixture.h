#pragma once

#include "EventFixture.h"
#include "contracts/ContractBuilder.h"
#include "storage/Databases.h"

#include <QFile>

// A club with one confirmed event on the calendar, loaded as the main window
// loads it, and the contract builder over the module.
class ContractFixture : public EventFixture {
protected:
    void SetUp() override {
        EventFixture::SetUp();
        tokens = ContractBuilder::schemaEventTokens();
        Configuration &club = module->config;
        club.compname = QStringLiteral("Fairway Country Club");
        club.compaddr1 = QStringLiteral("1 Club Lane");
        club.compcity = QStringLiteral("Lakeside");
        club.compstate = QStringLiteral("MN");
        club.compzip = QStringLiteral("55401");
        builder = std::make_unique<ContractBuilder>(*module, tokens);
    }
    void TearDown() override {
        builder.reset();
        EventFixture::TearDown();
    }

    // A confirmed dinner on 15 March 2027 in the ballroom, shown in the boxes.
    int loadEvent(const QString &title = QStringLiteral("Harper Anniversary Dinner")) {
        EXPECT_EQ(book("20270315", title, "18:00", "22:00", 1, 2), EventRecord::Saved::Done);
        EXPECT_TRUE(record->LoadEvent(lastNumber));
        module->event.EventNumber = lastNumber;
        module->event.mode = CurrentEvent::Viewing;
        module->event.Caption = title + QStringLiteral(" - 03/15/2027");
        return lastNumber;
    }

    void writeFile(const QString &name, const QByteArray &bytes) {
        QFile file(path(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
    }

    // Contract rows as "number|description|ord|file", in order.
    QStringList stored() {
        QStringList rows;
        for (const QVariant &row : column(
                 "evnt", QStringLiteral(
                             "select contractnum || '|' || contractdesc || '|' || ord || '|' || "
                             "coalesce(cbfilename, '') from cbuilder order by contractnum, ord")))
            rows << row.toString();
        return rows;
    }
    void storeContract(int number, const QString &description, const QStringList &files) {
        for (int ord = 0; ord < files.size(); ++ord)
            exec("evnt",
                 "insert into cbuilder (contractnum, contractdesc, ord, cbfilename) "
                 "values (?, ?, ?, ?)",
                 {number, description, ord, files[ord]});
    }

    // The change log's last line, without its date and time.
    QString logEntry() {
        QFile log(path("evntsched.ini"));
        if (!log.open(QIODevice::ReadOnly | QIODevice::Text))
            return QStringLiteral("(no log)");
        return QString::fromUtf8(log.readAll())
            .trimmed()
            .section(QLatin1Char('\n'), -1)
            .section(QLatin1Char('\\'), 2);
    }

    // The first column of a query on the operator's report work copy.
    QStringList workRows(const QString &sql) {
        Databases databases(settings());
        auto db =
            databases.openLocalFile(path(ReportLauncher::workCopyName(module->session.SysUser)));
        EXPECT_TRUE(db.ok());
        QStringList rows;
        auto result = db.value()->exec(sql);
        EXPECT_TRUE(result.ok()) << sql.toStdString();
        while (result && result->next())
            rows << result->value(0).toString();
        return rows;
    }

    ContractBuilder::EventTokens tokens;
    std::unique_ptr<ContractBuilder> builder;
};
