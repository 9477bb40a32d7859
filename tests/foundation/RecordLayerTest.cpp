#include "ClubFixture.h"

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
    QFile::remove(path(QStringLiteral("daily.mdb")));

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
    ASSERT_TRUE(records()
                    .WriteRecord(QStringLiteral("ar"),
                                 QStringLiteral("select * from ar0 where aracctnum = ?"), {4020})
                    .ok());
    EXPECT_EQ(scalar(QStringLiteral("ar"),
                     QStringLiteral("select ardesc from ar0 where aracctnum = 4020"))
                  .toString(),
              QStringLiteral("Banquet beverage"));

    // A text full of quotes is stored as typed, and only the addressed row changes.
    const int desc = records().FieldNames.indexOf(QStringLiteral("ardesc"));
    records().FieldValues[desc] = QStringLiteral("O'Neil's \"bar\"; drop table ar0; --");
    ASSERT_TRUE(records()
                    .WriteRecord(QStringLiteral("ar"),
                                 QStringLiteral("select * from ar0 where aracctnum = ?"), {4020})
                    .ok());
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
