#include "events/EventRow.h"

#include "ClubFixture.h"
#include "session/EventField.h"
#include "storage/Databases.h"
#include "storage/Schema.h"

namespace {

class EventRowTest : public ClubFixture {
protected:
    // One value per field as a save stores it: text cut to its column, a
    // number for the numeric columns.
    static QVariantList fields(int number, const QString &title) {
        const Schema::Table *table =
            Schema::findTable(QStringLiteral("evnt"), QStringLiteral("eventinfo"));
        QVariantList values;
        for (EventField field : AllEventFields) {
            const Schema::Column &column = table->columns[columnOf(field)];
            const bool isText =
                column.type == Schema::ColumnType::Text || column.type == Schema::ColumnType::Memo;
            values << (isText ? QVariant(QStringLiteral("%1%2")
                                             .arg(column.name)
                                             .left(column.size > 0 ? column.size : 100))
                              : QVariant(columnOf(field) + 1));
        }
        values[columnOf(EventField::Number)] = number;
        values[columnOf(EventField::Title)] = title;
        return values;
    }
    Database &evnt() {
        if (!m_evnt)
            m_evnt = std::move(*module->databases.open(QStringLiteral("evnt")));
        return *m_evnt;
    }
    QString titleOf(int number) {
        return scalar(QStringLiteral("evnt"),
                      QStringLiteral("select eventtitle from eventinfo where eventnum = ?"),
                      {number})
            .toString();
    }

private:
    DatabasePtr m_evnt;
};

TEST_F(EventRowTest, AnAddedRowReadsBackFieldForFieldAndNullsStayEmpty) {
    const QString quoted = QStringLiteral("O'Neil's \"bar\"; drop table eventinfo; --");
    const QVariantList written = fields(12, quoted);
    ASSERT_TRUE(EventRow::add(evnt(), written).ok());
    exec(QStringLiteral("evnt"),
         QStringLiteral("update eventinfo set custfax = null where eventnum = 12"));

    const auto row = EventRow::read(evnt(), 12);
    ASSERT_TRUE(row.ok());
    ASSERT_TRUE(row->has_value());
    const QVariantList &read = **row;
    ASSERT_GE(read.size(), EventFieldCount);
    for (EventField field : AllEventFields) {
        if (field == EventField::BillingFax)
            EXPECT_FALSE(read[columnOf(field)].isValid());
        else if (written[columnOf(field)].typeId() == QMetaType::QString)
            EXPECT_EQ(read[columnOf(field)].toString(), written[columnOf(field)].toString())
                << "field " << columnOf(field);
        else // an engine may give a number back with its scale ("32.0000")
            EXPECT_EQ(read[columnOf(field)].toDouble(), written[columnOf(field)].toDouble())
                << "field " << columnOf(field);
    }

    const auto missing = EventRow::read(evnt(), 13);
    ASSERT_TRUE(missing.ok());
    EXPECT_FALSE(missing->has_value());
}

TEST_F(EventRowTest, AnUpdateRewritesThatEventAloneOrFailsWithoutARow) {
    ASSERT_TRUE(EventRow::add(evnt(), fields(1, QStringLiteral("Spring Gala"))).ok());
    ASSERT_TRUE(EventRow::add(evnt(), fields(2, QStringLiteral("Book Club"))).ok());

    ASSERT_TRUE(EventRow::update(evnt(), 2, fields(2, QStringLiteral("Book Club Lunch"))).ok());
    EXPECT_EQ(titleOf(1), QStringLiteral("Spring Gala"));
    EXPECT_EQ(titleOf(2), QStringLiteral("Book Club Lunch"));

    struct Case {
        const char *what;
        int number;
        bool dropped; // the engine skips the write without an error
        int values;
    };
    for (const Case &c : {Case{"deleted meanwhile", 3, false, EventFieldCount},
                          Case{"dropped by the engine", 2, true, EventFieldCount},
                          Case{"too few values", 2, false, EventFieldCount - 1}}) {
        if (c.dropped)
            addFault(QStringLiteral("evnt"), QStringLiteral("keep_events"),
                     QStringLiteral("update"), QStringLiteral("eventinfo"), QString(), QString());
        QVariantList values = fields(c.number, QStringLiteral("Lost"));
        values = values.mid(0, c.values);
        const Status written = EventRow::update(evnt(), c.number, values);
        EXPECT_FALSE(written.ok()) << c.what;
        if (c.values == EventFieldCount) {
            EXPECT_EQ(written.error().number, ErrorNumber::NoCurrentRecord) << c.what;
        }
        if (c.dropped)
            removeFault(QStringLiteral("evnt"), QStringLiteral("keep_events"),
                        QStringLiteral("eventinfo"));
        EXPECT_EQ(titleOf(2), QStringLiteral("Book Club Lunch")) << c.what;
    }
    EXPECT_FALSE(EventRow::add(evnt(), fields(4, QStringLiteral("Short")).mid(0, 3)).ok());
    EXPECT_EQ(
        scalar(QStringLiteral("evnt"), QStringLiteral("select count(*) from eventinfo")).toInt(),
        2);
}

} // namespace
