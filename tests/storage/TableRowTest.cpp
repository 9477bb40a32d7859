#include "storage/TableRow.h"

#include "ClubFixture.h"
#include "storage/Transaction.h"

using namespace Qt::StringLiterals;

namespace {

class TableRowTest : public ClubFixture {};

TEST_F(TableRowTest, AShownRowIsFoundAgainByItsValuesAndChangedAlone) {
    for (const char *task : {"Call the florist", "Call the florist", "Print menus"})
        exec(u"evnt"_s,
             u"insert into tasklist (eventnumber, taskdate, todo, task) "
             "values (12, 20270305, 'N', ?)"_s,
             {QString::fromLatin1(task)});
    Databases databases(settings());
    auto db = databases.open(u"evnt"_s);
    ASSERT_TRUE(db.ok());
    // The task list window's columns, as it showed a row.
    const QStringList columns{u"eventnumber"_s, u"taskdate"_s, u"todo"_s, u"task"_s, u"staff"_s};
    const auto find = [&](const QString &task) {
        return TableRow::findShown(*db.value(), u"tasklist"_s, columns,
                                   {12, 20270305, u"N"_s, task, QVariant()});
    };
    const auto tasks = [&] {
        return column(u"evnt"_s, u"select task || '/' || todo from tasklist order by task, todo"_s);
    };
    // Changed once without a commit, which is rolled back, then committed: one task is done.
    for (const bool commit : {false, true}) {
        Transaction transaction(*db.value());
        auto row = find(u"Call the florist"_s);
        ASSERT_TRUE(row.ok());
        ASSERT_TRUE(
            TableRow::update(*db.value(), u"tasklist"_s, row.value(), {u"todo"_s}, {u"Y"_s}).ok());
        if (commit) {
            ASSERT_TRUE(transaction.commit().ok());
        }
    }
    EXPECT_EQ(tasks(),
              (QVariantList{u"Call the florist/N"_s, u"Call the florist/Y"_s, u"Print menus/N"_s}));
    {
        Transaction transaction(*db.value());
        ASSERT_TRUE(
            TableRow::remove(*db.value(), u"tasklist"_s, find(u"Print menus"_s).value()).ok());
        ASSERT_TRUE(transaction.commit().ok());
    }
    EXPECT_EQ(tasks().size(), 2);

    // Removed at another workstation meanwhile: nothing matches, nothing changes.
    Transaction transaction(*db.value());
    EXPECT_EQ(find(u"Print menus"_s).error().number, ErrorNumber::NoCurrentRecord);
}

} // namespace
