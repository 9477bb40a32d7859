#include "storage/SqlDialect.h"

#include "ClubFixture.h"

#include <QSqlError>

using namespace Qt::StringLiterals;

namespace {

class SqlDialectTest : public ClubFixture {};

// Every character either pattern language reads as more than itself, and
// letters whose cases only Unicode knows, stored and searched on the engine
// the tests run on (\u212A is the Kelvin sign).
TEST_F(SqlDialectTest, ContainsTextMatchesLiterallyAndWithoutCase) {
    // Each typed text and the one word it finds, if any.
    const std::pair<const char *, const char *> cases[] = {
        {".", "a.b"},
        {"a.b", "a.b"},
        {"^y$", "x^y$z"},
        {"(a|b)+{2}", "(a|b)+{2}"},
        {"|", "(a|b)+{2}"},
        {"\\path\\", "C:\\path\\d"},
        {"\\d", "C:\\path\\d"},
        {"% _", "50% _off_"},
        {"_", "50% _off_"},
        {"?*[", "q?*[r]"},
        {"[r]", "q?*[r]"},
        {"]", "q?*[r]"},
        {"'", "O'Hara"},
        {"o'hARA", "O'Hara"},
        {"ÆRØ", "Ærøskøbing"},
        {"σίσυφος", "ΣΊΣΥΦΟΣ"},
        {"STRASSE", "Straſſe"},
        {"москва", "МОСКВА"},
        {"100 k", "100 \u212A"},
        {"京 d", "東京 Dinner"},
        {"\U0001F600", "smile \U0001F600 please"},
        {"\U00010428 deseret", "\U00010400 Deseret"},
        {"zz", nullptr}};

    Databases databases(settings());
    auto db = databases.open(u"evnt"_s);
    ASSERT_TRUE(db.ok());
    Database &evnt = *db.value();
    ASSERT_TRUE(evnt.execute(u"create temporary table words (word text)"_s).ok());
    // Every word a case finds, and near misses a pattern character would find too.
    QStringList stored{u"axb"_s, u"ab"_s, u"C:pathd"_s, u"50 off"_s};
    for (const auto &[typed, word] : cases)
        if (word && !stored.contains(QString::fromUtf8(word)))
            stored << QString::fromUtf8(word);
    for (const QString &word : stored)
        ASSERT_TRUE(evnt.execute(u"insert into words (word) values (?)"_s, {word}).ok());
    ASSERT_TRUE(evnt.execute(u"insert into words (word) values (null)"_s).ok());

    for (const auto &[typed, word] : cases) {
        const SqlDialect::Match match =
            evnt.dialect().containsText(u"word"_s, QString::fromUtf8(typed));
        auto rows =
            evnt.exec(u"select word from words where "_s + match.condition + u" order by word"_s,
                      {match.value});
        ASSERT_TRUE(rows.ok()) << typed << ": " << rows.error().description.toStdString();
        QStringList found;
        while (rows->next())
            found << rows->value(0).toString();
        EXPECT_EQ(found, word ? QStringList{QString::fromUtf8(word)} : QStringList()) << typed;
    }
}

// Errors as the drivers hand them over, numbered and worded for the
// operator: never a bare number, and a full disk told as one. A failed
// commit is the databases test's.
TEST(SqlDialectErrors, EveryErrorIsNumberedAndSaysSomething) {
    const auto sqlite = SqlDialect::sqlite();
    const auto postgres = SqlDialect::postgres();
    const struct {
        const SqlDialect &dialect;
        QSqlError error;
        int number;
        const char *says;
    } rows[] = {
        {*postgres, QSqlError(), ErrorNumber::Unknown, "gave no reason"},
        {*postgres, QSqlError({}, {}, QSqlError::StatementError), ErrorNumber::Unknown,
         "connection to it may have been lost"},
        {*postgres,
         QSqlError({}, u"terminating connection"_s, QSqlError::StatementError, u"57P01"_s),
         ErrorNumber::OpenFailed, "was lost: terminating connection"},
        {*sqlite, QSqlError({}, u"database or disk is full"_s, QSqlError::StatementError, u"13"_s),
         ErrorNumber::FileAccess, "The disk is full"},
        {*sqlite, QSqlError({}, u"file is not a database"_s, QSqlError::StatementError, u"26"_s),
         ErrorNumber::CorruptDatabase, "file is not a database"},
    };
    for (const auto &row : rows) {
        const DbError mapped = row.dialect.mapError(row.error);
        EXPECT_EQ(mapped.number, row.number) << row.says;
        EXPECT_TRUE(mapped.description.contains(QString::fromLatin1(row.says)))
            << row.says << ": " << mapped.description.toStdString();
    }
}

} // namespace
