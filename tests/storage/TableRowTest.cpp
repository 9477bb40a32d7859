#include "storage/TableRow.h"

#include "ClubFixture.h"
#include "storage/Transaction.h"

namespace {

class TableRowTest : public ClubFixture {
protected:
    void SetUp() override {
        ClubFixture::SetUp();
        for (const char *task : {"Call the florist", "Call the florist", "Print menus"})
            exec(QStringLiteral("evnt"),
                 QStringLiteral("insert into tasklist (eventnumber, taskdate, todo, task) "
                                "values (12, 20270305, 'N', ?)"),
                 {QString::fromLatin1(task)});
    }
    // The task list window's columns, as it showed a row.
    static QStringList columns() {
        return {QStringLiteral("eventnumber"), QStringLiteral("taskdate"), QStringLiteral("todo"),
                QStringLiteral("task"), QStringLiteral("staff")};
    }
    static QVariantList shown(const QString &task) {
        return {12, 20270305, QStringLiteral("N"), task, QVariant()};
    }
    QVariantList tasks() {
        return column(
            QStringLiteral("evnt"),
            QStringLiteral("select task || '/' || todo from tasklist order by task, todo"));
    }
};

TEST_F(TableRowTest, AShownRowIsFoundAgainByItsValuesAndChangedAlone) {
    Databases databases(settings());
    auto db = databases.open(QStringLiteral("evnt"));
    ASSERT_TRUE(db.ok());
    {
        Transaction transaction(*db.value());
        auto row = TableRow::findShown(*db.value(), QStringLiteral("tasklist"), columns(),
                                       shown(QStringLiteral("Call the florist")));
        ASSERT_TRUE(row.ok());
        ASSERT_TRUE(TableRow::update(*db.value(), QStringLiteral("tasklist"), row.value(),
                                     {QStringLiteral("todo")}, {QStringLiteral("Y")})
                        .ok());
        ASSERT_TRUE(transaction.commit().ok());
    }
    EXPECT_EQ(tasks(), (QVariantList{QStringLiteral("Call the florist/N"),
                                     QStringLiteral("Call the florist/Y"),
                                     QStringLiteral("Print menus/N")}));
    {
        Transaction transaction(*db.value());
        auto row = TableRow::findShown(*db.value(), QStringLiteral("tasklist"), columns(),
                                       shown(QStringLiteral("Print menus")));
        ASSERT_TRUE(row.ok());
        ASSERT_TRUE(TableRow::remove(*db.value(), QStringLiteral("tasklist"), row.value()).ok());
        ASSERT_TRUE(transaction.commit().ok());
    }
    EXPECT_EQ(tasks().size(), 2);

    // Removed at another workstation meanwhile: nothing matches, nothing changes.
    Transaction transaction(*db.value());
    auto gone = TableRow::findShown(*db.value(), QStringLiteral("tasklist"), columns(),
                                    shown(QStringLiteral("Print menus")));
    ASSERT_FALSE(gone.ok());
    EXPECT_EQ(gone.error().number, ErrorNumber::NoCurrentRecord);
}

} // namespace
