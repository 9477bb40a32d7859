#pragma once

#include "ClubFixture.h"

#include <QFile>
#include <QSqlRecord>

// A club signed in at the top level, with the report program and the named
// layouts there, and the rows an operator's work copy rpt05.mdb was given.
class ReportsFixture : public ClubFixture {
protected:
    void setUpReports(std::initializer_list<const char *> layouts) {
        signIn(99);
        module->session.SysUser = 5;
        programs.available << QStringLiteral("prinzel.exe");
        for (const char *file : layouts) {
            QFile layout(path(QString::fromLatin1(file)));
            ASSERT_TRUE(layout.exists() || layout.open(QIODevice::WriteOnly)) << file;
        }
    }
    // The rows of a query on the work copy (or on evnt), their values
    // separated by blanks.
    QStringList rows(const QString &sql, const QString &database = "rpt05.mdb") {
        Databases databases(settings());
        auto db = database == QLatin1String("evnt") ? databases.open(database)
                                                    : databases.openLocalFile(path(database));
        EXPECT_TRUE(db.ok());
        QStringList found;
        auto result = db.value()->exec(sql);
        EXPECT_TRUE(result.ok()) << sql.toStdString();
        while (result && result->next()) {
            QStringList values;
            for (int column = 0; column < result->record().count(); ++column)
                values << result->value(column).toString();
            found << values.join(QLatin1Char(' '));
        }
        return found;
    }
    QStringList copiedEvents() { return rows("select eventnum from eventinfo order by rowid"); }
    QString subtitle() { return rows("select ctlauxtitle from headings").value(0); }
    void expectOops(const QString &text) {
        EXPECT_EQ(prompts.lastMessage().text, text);
        EXPECT_EQ(prompts.lastMessage().title, "Oops...");
        EXPECT_EQ(prompts.lastMessage().icon, Icon::Information);
    }
};
