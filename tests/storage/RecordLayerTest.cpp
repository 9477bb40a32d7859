#include "ClubFixture.h"
#include "storage/Schema.h"

#include <QFile>

namespace {

class RecordLayerTest : public ClubFixture {
protected:
    void SetUp() override {
        ClubFixture::SetUp();
        exec(QStringLiteral("ar"),
             QStringLiteral("insert into ar0 (aracctnum, ardesc) values (?, ?)"),
             {4010, QStringLiteral("Banquet food")});
        exec(QStringLiteral("ar"),
             QStringLiteral("insert into ar0 (aracctnum, ardesc) values (?, ?)"),
             {4020, QStringLiteral("Banquet beverage")});
    }
    RecordLayer &records() { return module->records; }
};

TEST_F(RecordLayerTest, ReadsTheFirstRowUnderAnySpellingOfTheFileName) {
    for (const QString &name :
         {QStringLiteral("ar"), QStringLiteral("AR.MDB"), QStringLiteral("ar.mdb")}) {
        ASSERT_TRUE(
            records()
                .ReadRecord(name,
                            QStringLiteral("select aracctnum, ardesc from ar0 order by aracctnum"))
                .ok());
        EXPECT_EQ(records().FieldCount, 1);
        EXPECT_EQ(records().FieldValues[0].toInt(), 4010);
        EXPECT_EQ(records().FieldValues[1].toString(), QStringLiteral("Banquet food"));
        EXPECT_EQ(records().FieldNames,
                  (QStringList{QStringLiteral("aracctnum"), QStringLiteral("ardesc")}));
        EXPECT_EQ(records().FieldTypes, (QList<int>{3, 202}));
        EXPECT_EQ(module->channel.MessageText, QString());
    }
}

TEST_F(RecordLayerTest, NoRowGivesNamesTypesEmptyValuesAndQuit) {
    ASSERT_TRUE(records()
                    .ReadRecord(QStringLiteral("evnt"),
                                QStringLiteral("select * from eventinfo where eventnum = ?"),
                                {-354})
                    .ok());
    EXPECT_EQ(module->channel.MessageText, QStringLiteral("QUIT"));
    ASSERT_EQ(records().FieldCount, 35);
    EXPECT_EQ(records().FieldNames[34], QStringLiteral("notes"));
    EXPECT_EQ(records().FieldTypes[34], 203); // memo
    EXPECT_EQ(records().FieldTypes[1], 202);  // text
    EXPECT_EQ(records().FieldTypes[31], 6);   // currency
    for (const QVariant &value : records().FieldValues)
        EXPECT_FALSE(value.isValid());
}

TEST_F(RecordLayerTest, MissingDatabaseShowsTheMessageAndKeepsTheArrays) {
    ASSERT_TRUE(
        records().ReadRecord(QStringLiteral("ar"), QStringLiteral("select * from ar0")).ok());
    const QVariantList before = records().FieldValues;
    removeDatabase(QStringLiteral("daily"));

    prompts.expectError();
    EXPECT_FALSE(records()
                     .ReadRecord(QStringLiteral("daily"), QStringLiteral("select * from ardaily"))
                     .ok());
    ASSERT_EQ(prompts.messages.size(), 1);
    EXPECT_EQ(prompts.lastMessage().text,
              QStringLiteral("The DAILY.MDB database is missing.\r\nContact Quorvane technical "
                             "support for assistance."));
    EXPECT_EQ(prompts.lastMessage().title, QStringLiteral("Uh-oh..."));
    EXPECT_EQ(prompts.lastMessage().icon, Icon::Information);
    EXPECT_EQ(records().FieldValues, before);

    // A statement on a missing database is passed over silently.
    prompts.clear();
    EXPECT_TRUE(
        records().ExecuteSql(QStringLiteral("daily"), QStringLiteral("delete from ardaily")).ok());
    EXPECT_TRUE(prompts.messages.isEmpty());
}

TEST_F(RecordLayerTest, WriteChangesOnlyTheValuesThatAreNotEmpty) {
    ASSERT_TRUE(records()
                    .ReadRecord(QStringLiteral("ar"),
                                QStringLiteral("select * from ar0 where aracctnum = ?"), {4020})
                    .ok());
    for (QVariant &value : records().FieldValues)
        value = QVariant();
    {
        const Status written = records().WriteRecord(
            QStringLiteral("ar"), QStringLiteral("select * from ar0 where aracctnum = ?"), {4020});
        ASSERT_TRUE(written.ok()) << written.error().description.toStdString();
    }
    EXPECT_EQ(scalar(QStringLiteral("ar"),
                     QStringLiteral("select ardesc from ar0 where aracctnum = 4020"))
                  .toString(),
              QStringLiteral("Banquet beverage"));

    // A text full of quotes is stored as typed, and only the addressed row changes.
    const int desc = records().FieldNames.indexOf(QStringLiteral("ardesc"));
    records().FieldValues[desc] = QStringLiteral("O'Neil's \"bar\"; drop table ar0; --");
    {
        const Status written = records().WriteRecord(
            QStringLiteral("ar"), QStringLiteral("select * from ar0 where aracctnum = ?"), {4020});
        ASSERT_TRUE(written.ok()) << written.error().description.toStdString();
    }
    EXPECT_EQ(
        column(QStringLiteral("ar"), QStringLiteral("select ardesc from ar0 order by aracctnum")),
        (QVariantList{QStringLiteral("Banquet food"),
                      QStringLiteral("O'Neil's \"bar\"; drop table ar0; --")}));
}

TEST_F(RecordLayerTest, NewRecordModeAddsARow) {
    ASSERT_TRUE(records()
                    .ReadRecord(QStringLiteral("ar"),
                                QStringLiteral("select * from ar0 where aracctnum = ?"), {-1})
                    .ok());
    EXPECT_EQ(module->channel.MessageText, QStringLiteral("QUIT"));
    records().FieldValues[0] = 4030;
    records().FieldValues[records().FieldNames.indexOf(QStringLiteral("ardesc"))] =
        QStringLiteral("Room rental");
    records().BeginNewRecord();
    ASSERT_TRUE(records()
                    .WriteRecord(QStringLiteral("ar"),
                                 QStringLiteral("select * from ar0 where aracctnum = ?"), {-1})
                    .ok());
    records().EndNewRecord();
    EXPECT_EQ(scalar(QStringLiteral("ar"),
                     QStringLiteral("select ardesc from ar0 where aracctnum = ?"), {4030})
                  .toString(),
              QStringLiteral("Room rental"));

    // Without add mode there is no row to edit.
    const Status noRow = records().WriteRecord(
        QStringLiteral("ar"), QStringLiteral("select * from ar0 where aracctnum = ?"), {-1});
    ASSERT_FALSE(noRow.ok());
    EXPECT_EQ(noRow.error().number, ErrorNumber::NoCurrentRecord);
}

} // namespace

namespace {

// A table without a key of its own, the column its queries select on and a
// text column to edit.
struct KeylessTable {
    const char *database;
    const char *table;
    const char *condition;
    const char *edited;
};

void PrintTo(const KeylessTable &table, std::ostream *out) {
    *out << table.database << '.' << table.table;
}

class KeylessTableTest : public ClubFixture, public ::testing::WithParamInterface<KeylessTable> {
protected:
    QString database() const { return QString::fromLatin1(GetParam().database); }
    QString table() const { return QString::fromLatin1(GetParam().table); }
    QString condition() const { return QString::fromLatin1(GetParam().condition); }
    QString edited() const { return QString::fromLatin1(GetParam().edited); }

    // Rows that differ only where a unique index makes them differ.
    void addRow(int selector, const QString &text, int distinct) {
        QStringList columns{condition(), edited()};
        QVariantList values{selector, text};
        if (const Schema::Table *def = Schema::findTable(database(), table())) {
            for (const Schema::Index &index : def->indexes) {
                if (index.unique && !columns.contains(index.columns.last())) {
                    columns << index.columns.last();
                    values << (table() == QLatin1String("reserv")
                                   ? QVariant(QStringLiteral("00:%1").arg(distinct, 2, 10,
                                                                          QLatin1Char('0')))
                                   : QVariant(distinct));
                }
            }
        }
        QStringList marks(columns.size(), QStringLiteral("?"));
        exec(database(),
             QStringLiteral("insert into %1 (%2) values (%3)")
                 .arg(table(), columns.join(QLatin1Char(',')), marks.join(QLatin1Char(','))),
             values);
    }
    int count(const QString &text) {
        return scalar(database(),
                      QStringLiteral("select count(*) from %1 where %2 = ?").arg(table(), edited()),
                      {text})
            .toInt();
    }
    Status write(const QString &sql, const QVariantList &values) {
        return module->records.WriteRecord(database(), sql, values);
    }
};

TEST_P(KeylessTableTest, EditsExactlyTheFirstRowAndAddsRows) {
    if (table() == QLatin1String("reserv"))
        exec(database(), QStringLiteral("alter table reserv add column Room1 varchar(50)"));
    for (int row = 1; row <= 3; ++row)
        addRow(7, QStringLiteral("same"), row);
    RecordLayer &records = module->records;

    // Edit one of three rows that the query cannot tell apart.
    const QString all = QStringLiteral("select * from %1 where %2 = ?").arg(table(), condition());
    ASSERT_TRUE(records.ReadRecord(database(), all, {7}).ok());
    // PostgreSQL reports the names folded to lower case.
    int position = -1;
    for (int i = 0; i < records.FieldNames.size() && position < 0; ++i)
        position = records.FieldNames[i].compare(edited(), Qt::CaseInsensitive) == 0 ? i : -1;
    ASSERT_GE(position, 0);
    for (QVariant &value : records.FieldValues)
        value = QVariant();
    records.FieldValues[position] = QStringLiteral("first");
    ASSERT_TRUE(write(all, {7}).ok());
    EXPECT_EQ(count(QStringLiteral("first")), 1);
    EXPECT_EQ(count(QStringLiteral("same")), 2);

    // A query that does not return any key column edits its first row too.
    const QString bare = QStringLiteral("select %1 from %2 where %3 = ? and %1 = ?")
                             .arg(edited(), table(), condition());
    ASSERT_TRUE(records.ReadRecord(database(), bare, {7, QStringLiteral("same")}).ok());
    records.FieldValues = {QStringLiteral("second")};
    ASSERT_TRUE(write(bare, {7, QStringLiteral("same")}).ok());
    EXPECT_EQ(count(QStringLiteral("second")), 1);
    EXPECT_EQ(count(QStringLiteral("same")), 1);

    // Adding a row leaves the others alone.
    ASSERT_TRUE(records.ReadRecord(database(), all, {-1}).ok());
    records.FieldValues[records.FieldNames.indexOf(condition())] = 8;
    records.FieldValues[position] = QStringLiteral("added");
    records.BeginNewRecord();
    const Status added = write(all, {-1});
    records.EndNewRecord();
    ASSERT_TRUE(added.ok()) << added.error().description.toStdString();
    EXPECT_EQ(count(QStringLiteral("added")), 1);
    EXPECT_EQ(scalar(database(), QStringLiteral("select count(*) from ") + table()).toInt(), 4);
}

INSTANTIATE_TEST_SUITE_P(
    RecordLayer, KeylessTableTest,
    ::testing::Values(KeylessTable{"evnt", "eventinfo", "eventdate", "eventtitle"},
                      KeylessTable{"evnt", "reserv", "resdate", "Room1"},
                      KeylessTable{"evnt", "items", "eventid", "itemdesc"},
                      KeylessTable{"evnt", "pkg", "pkgnum", "eventtitle"},
                      KeylessTable{"evnt", "tasklist", "eventnumber", "task"},
                      KeylessTable{"evnt", "cbuilder", "contractnum", "cbfilename"},
                      KeylessTable{"daily", "ardaily", "aracctnum", "memo"},
                      KeylessTable{"daily", "armonthly", "aracctnum", "memo"},
                      KeylessTable{"qnposh", "buttondef01", "bnumber", "bcaption"},
                      KeylessTable{"qnposh", "optiondef", "bnumber", "bcaption"}),
    [](const ::testing::TestParamInfo<KeylessTable> &info) {
        return std::string(info.param.table);
    });

} // namespace

namespace {

TEST_F(RecordLayerTest, AWriteThatChangesNoRowIsAFailure) {
    // The engine drops the change without an error of its own.
    addFault(QStringLiteral("ar"), QStringLiteral("keep_ar0"), QStringLiteral("update"),
             QStringLiteral("ar0"), QString(), QString());
    const QString sql = QStringLiteral("select * from ar0 where aracctnum = ?");
    ASSERT_TRUE(records().ReadRecord(QStringLiteral("ar"), sql, {4020}).ok());
    records().FieldValues[1] = QStringLiteral("Lost");
    const Status written = records().WriteRecord(QStringLiteral("ar"), sql, {4020});
    ASSERT_FALSE(written.ok());
    EXPECT_EQ(written.error().number, ErrorNumber::NoCurrentRecord);
}

TEST_F(RecordLayerTest, EmptyArgumentsChangeNothing) {
    module->channel.MessageText = QStringLiteral("kept");
    ASSERT_TRUE(records().ReadRecord(QString(), QStringLiteral("select * from ar0")).ok());
    ASSERT_TRUE(records().ReadRecord(QStringLiteral("ar"), QString()).ok());
    EXPECT_EQ(module->channel.MessageText, QStringLiteral("kept"));
    EXPECT_EQ(records().FieldCount, -1);
}

} // namespace
