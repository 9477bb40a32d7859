#include "events/EventRow.h"

#include "ClubFixture.h"
#include "session/EventField.h"
#include "storage/Databases.h"
#include "storage/Schema.h"

using namespace Qt::StringLiterals;

namespace {

class EventRowTest : public ClubFixture {
protected:
    // One value per field as a save stores it: text cut to its column, a
    // number for the numeric columns.
    static QVariantList fields(int number, const QString &title) {
        const Schema::Table *table = Schema::findTable(u"evnt"_s, u"eventinfo"_s);
        QVariantList values;
        for (EventField field : AllEventFields) {
            const Schema::Column &column = table->columns[columnOf(field)];
            const bool isText =
                column.type == Schema::ColumnType::Text || column.type == Schema::ColumnType::Memo;
            values << (isText ? QVariant(u"%1%2"_s.arg(column.name)
                                             .left(column.size > 0 ? column.size : 100))
                              : QVariant(columnOf(field) + 1));
        }
        values[columnOf(EventField::Number)] = number;
        values[columnOf(EventField::Title)] = title;
        return values;
    }
    Database &evnt() {
        if (!m_evnt)
            m_evnt = std::move(*module->databases.open(u"evnt"_s));
        return *m_evnt;
    }
    QString titleOf(int number) {
        return scalar(u"evnt"_s, u"select eventtitle from eventinfo where eventnum = ?"_s, {number})
            .toString();
    }

private:
    DatabasePtr m_evnt;
};

TEST_F(EventRowTest, AnAddedRowReadsBackFieldForFieldAndNullsStayEmpty) {
    const QString quoted = u"O'Neil's \"bar\"; drop table eventinfo; --"_s;
    const QVariantList written = fields(12, quoted);
    ASSERT_TRUE(EventRow::add(evnt(), written).ok());
    exec(u"evnt"_s, u"update eventinfo set custfax = null where eventnum = 12"_s);

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
    ASSERT_TRUE(EventRow::add(evnt(), fields(1, u"Spring Gala"_s)).ok());
    ASSERT_TRUE(EventRow::add(evnt(), fields(2, u"Book Club"_s)).ok());

    ASSERT_TRUE(EventRow::update(evnt(), 2, fields(2, u"Book Club Lunch"_s)).ok());
    EXPECT_EQ(titleOf(1), u"Spring Gala"_s);
    EXPECT_EQ(titleOf(2), u"Book Club Lunch"_s);

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
            addFault(u"evnt"_s, u"keep_events"_s, u"update"_s, u"eventinfo"_s, QString(),
                     QString());
        QVariantList values = fields(c.number, u"Lost"_s);
        values = values.mid(0, c.values);
        const Status written = EventRow::update(evnt(), c.number, values);
        EXPECT_FALSE(written.ok()) << c.what;
        if (c.values == EventFieldCount) {
            EXPECT_EQ(written.error().number, ErrorNumber::NoCurrentRecord) << c.what;
        }
        if (c.dropped)
            removeFault(u"evnt"_s, u"keep_events"_s, u"eventinfo"_s);
        EXPECT_EQ(titleOf(2), u"Book Club Lunch"_s) << c.what;
    }
    EXPECT_FALSE(EventRow::add(evnt(), fields(4, u"Short"_s).mid(0, 3)).ok());
    EXPECT_EQ(scalar(u"evnt"_s, u"select count(*) from eventinfo"_s).toInt(), 2);
}

} // namespace
