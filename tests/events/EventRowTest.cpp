#include "events/EventRow.h"

#include "EditingFixture.h"
#include "session/EventField.h"
#include "storage/Databases.h"
#include "storage/Schema.h"

using namespace Qt::StringLiterals;

namespace {

class EventRowTest : public RecordFixture {
protected:
    void SetUp() override {
        RecordFixture::SetUp();
        evnt = std::move(*module->databases.open(u"evnt"_s));
    }
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

    DatabasePtr evnt;
};

TEST_F(EventRowTest, AnAddedRowReadsBackFieldForFieldAndNullsStayEmpty) {
    const QVariantList written = fields(12, u"O'Neil's \"bar\"; drop table eventinfo; --"_s);
    ASSERT_TRUE(EventRow::add(*evnt, written).ok());
    exec(u"evnt"_s, u"update eventinfo set custfax = null where eventnum = 12"_s);

    const auto row = EventRow::read(*evnt, 12);
    ASSERT_TRUE(row.ok() && row->has_value());
    const QVariantList &read = **row;
    ASSERT_GE(read.size(), EventFieldCount);
    for (EventField field : AllEventFields) {
        const int at = columnOf(field);
        if (field == EventField::BillingFax)
            EXPECT_FALSE(read[at].isValid());
        else if (written[at].typeId() == QMetaType::QString)
            EXPECT_EQ(read[at].toString(), written[at].toString()) << "field " << at;
        else // an engine may give a number back with its scale ("32.0000")
            EXPECT_EQ(read[at].toDouble(), written[at].toDouble()) << "field " << at;
    }
    const auto missing = EventRow::read(*evnt, 13);
    ASSERT_TRUE(missing.ok());
    EXPECT_FALSE(missing->has_value());
}

TEST_F(EventRowTest, AnUpdateRewritesThatEventAloneOrFailsWithoutARow) {
    ASSERT_TRUE(EventRow::add(*evnt, fields(1, u"Spring Gala"_s)).ok());
    ASSERT_TRUE(EventRow::add(*evnt, fields(2, u"Book Club"_s)).ok());
    ASSERT_TRUE(EventRow::update(*evnt, 2, fields(2, u"Book Club Lunch"_s)).ok());
    EXPECT_EQ(stored(u"eventtitle"_s, 1), u"Spring Gala"_s);
    EXPECT_EQ(stored(u"eventtitle"_s, 2), u"Book Club Lunch"_s);

    // Deleted meanwhile, or the write dropped by the engine without an error.
    EXPECT_EQ(EventRow::update(*evnt, 3, fields(3, u"Lost"_s)).error().number,
              ErrorNumber::NoCurrentRecord);
    addFault(u"evnt"_s, u"keep_events"_s, u"update"_s, u"eventinfo"_s, QString(), QString());
    EXPECT_EQ(EventRow::update(*evnt, 2, fields(2, u"Lost"_s)).error().number,
              ErrorNumber::NoCurrentRecord);
    removeFault(u"evnt"_s, u"keep_events"_s, u"eventinfo"_s);
    EXPECT_FALSE(EventRow::update(*evnt, 2, fields(2, u"Lost"_s).mid(0, EventFieldCount - 1)).ok())
        << "too few values";
    EXPECT_EQ(stored(u"eventtitle"_s, 2), u"Book Club Lunch"_s);
    EXPECT_FALSE(EventRow::add(*evnt, fields(4, u"Short"_s).mid(0, 3)).ok());
    EXPECT_EQ(scalar(u"evnt"_s, u"select count(*) from eventinfo"_s).toInt(), 2);
}

} // namespace
