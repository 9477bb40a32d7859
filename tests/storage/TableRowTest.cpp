#include "storage/TableRow.h"

#include "ClubFixture.h"
#include "storage/Transaction.h"

using namespace Qt::StringLiterals;

namespace {

class TableRowTest : public ClubFixture {
protected:
    void SetUp() override {
        ClubFixture::SetUp();
        for (const char *task : {"Call the florist", "Call the florist", "Print menus"})
            exec(u"evnt"_s,
                 u"insert into tasklist (eventnumber, taskdate, todo, task) "
                 "values (12, 20270305, 'N', ?)"_s,
                 {QString::fromLatin1(task)});
    }
    // The task list window's columns, as it showed a row.
    static QStringList columns() {
        return {u"eventnumber"_s, u"taskdate"_s, u"todo"_s, u"task"_s, u"staff"_s};
    }
    static QVariantList shown(const QString &task) {
        return {12, 20270305, u"N"_s, task, QVariant()};
    }
    QVariantList tasks() {
        return column(u"evnt"_s, u"select task || '/' || todo from tasklist order by task, todo"_s);
    }
};

TEST_F(TableRowTest, AShownRowIsFoundAgainByItsValuesAndChangedAlone) {
    Databases databases(settings());
    auto db = databases.open(u"evnt"_s);
    ASSERT_TRUE(db.ok());
    {
        Transaction transaction(*db.value());
        auto row = TableRow::findShown(*db.value(), u"tasklist"_s, columns(),
                                       shown(u"Call the florist"_s));
        ASSERT_TRUE(row.ok());
        ASSERT_TRUE(
            TableRow::update(*db.value(), u"tasklist"_s, row.value(), {u"todo"_s}, {u"Y"_s}).ok());
        ASSERT_TRUE(transaction.commit().ok());
    }
    EXPECT_EQ(tasks(),
              (QVariantList{u"Call the florist/N"_s, u"Call the florist/Y"_s, u"Print menus/N"_s}));
    {
        Transaction transaction(*db.value());
        auto row =
            TableRow::findShown(*db.value(), u"tasklist"_s, columns(), shown(u"Print menus"_s));
        ASSERT_TRUE(row.ok());
        ASSERT_TRUE(TableRow::remove(*db.value(), u"tasklist"_s, row.value()).ok());
        ASSERT_TRUE(transaction.commit().ok());
    }
    EXPECT_EQ(tasks().size(), 2);

    // Removed at another workstation meanwhile: nothing matches, nothing changes.
    Transaction transaction(*db.value());
    auto gone = TableRow::findShown(*db.value(), u"tasklist"_s, columns(), shown(u"Print menus"_s));
    ASSERT_FALSE(gone.ok());
    EXPECT_EQ(gone.error().number, ErrorNumber::NoCurrentRecord);
}

} // namespace
