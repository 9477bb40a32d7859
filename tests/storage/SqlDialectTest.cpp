#include "storage/SqlDialect.h"

#include "ClubFixture.h"

#include <QSqlError>

namespace {

class SqlDialectTest : public ClubFixture {};

// Every character either pattern language reads as more than itself, and
// letters whose cases only Unicode knows, stored and searched on the engine
// the tests run on.
TEST_F(SqlDialectTest, ContainsTextMatchesLiterallyAndWithoutCase) {
    const QStringList stored = {QStringLiteral("a.b"),
                                QStringLiteral("axb"),
                                QStringLiteral("x^y$z"),
                                QStringLiteral("(a|b)+{2}"),
                                QStringLiteral("ab"),
                                QStringLiteral("C:\\path\\d"),
                                QStringLiteral("C:pathd"),
                                QStringLiteral("50% _off_"),
                                QStringLiteral("50 off"),
                                QStringLiteral("q?*[r]"),
                                QStringLiteral("O'Hara"),
                                QStringLiteral("Ærøskøbing"),
                                QStringLiteral("ΣΊΣΥΦΟΣ"),
                                QStringLiteral("Straſſe"),
                                QStringLiteral("МОСКВА"),
                                QStringLiteral("100 \u212A"), // Kelvin sign
                                QStringLiteral("東京 Dinner"),
                                QStringLiteral("smile \U0001F600 please"),
                                QStringLiteral("\U00010400 Deseret")};
    const struct {
        const char *typed;
        QStringList found;
    } cases[] = {
        {".", {"a.b"}},
        {"a.b", {"a.b"}},
        {"^y$", {"x^y$z"}},
        {"(a|b)+{2}", {"(a|b)+{2}"}},
        {"|", {"(a|b)+{2}"}},
        {"\\path\\", {"C:\\path\\d"}},
        {"\\d", {"C:\\path\\d"}},
        {"% _", {"50% _off_"}},
        {"_", {"50% _off_"}},
        {"?*[", {"q?*[r]"}},
        {"[r]", {"q?*[r]"}},
        {"]", {"q?*[r]"}},
        {"'", {"O'Hara"}},
        {"o'hARA", {"O'Hara"}},
        {"ÆRØ", {"Ærøskøbing"}},
        {"σίσυφος", {"ΣΊΣΥΦΟΣ"}},
        {"STRASSE", {"Straſſe"}},
        {"москва", {"МОСКВА"}},
        {"100 k", {"100 \u212A"}},
        {"京 d", {"東京 Dinner"}},
        {"\U0001F600", {"smile \U0001F600 please"}},
        {"\U00010428 deseret", {"\U00010400 Deseret"}},
        {"zz", {}},
    };

    Databases databases(settings());
    auto db = databases.open(QStringLiteral("evnt"));
    ASSERT_TRUE(db.ok());
    Database &evnt = *db.value();
    ASSERT_TRUE(evnt.execute(QStringLiteral("create temporary table words (word text)")).ok());
    for (const QString &word : stored)
        ASSERT_TRUE(
            evnt.execute(QStringLiteral("insert into words (word) values (?)"), {word}).ok());
    ASSERT_TRUE(evnt.execute(QStringLiteral("insert into words (word) values (null)")).ok());

    for (const auto &c : cases) {
        const QString typed = QString::fromUtf8(c.typed);
        const SqlDialect::Match match = evnt.dialect().containsText(QStringLiteral("word"), typed);
        auto rows = evnt.exec(QStringLiteral("select word from words where ") + match.condition +
                                  QStringLiteral(" order by word"),
                              {match.value});
        ASSERT_TRUE(rows.ok()) << c.typed << ": " << rows.error().description.toStdString();
        QStringList found;
        while (rows->next())
            found << rows->value(0).toString();
        EXPECT_EQ(found, c.found) << c.typed;
    }
}

} // namespace

namespace {

// Errors as the drivers hand them over, numbered and worded for the
// operator: never a bare number, and a full disk told as one.
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
         QSqlError({}, QStringLiteral("terminating connection"), QSqlError::StatementError,
                   QStringLiteral("57P01")),
         ErrorNumber::OpenFailed, "was lost: terminating connection"},
        {*sqlite,
         QSqlError(QStringLiteral("Unable to commit transaction"), QStringLiteral("disk I/O error"),
                   QSqlError::TransactionError),
         ErrorNumber::FileAccess, "disk I/O error"},
        {*sqlite,
         QSqlError({}, QStringLiteral("database or disk is full"), QSqlError::StatementError,
                   QStringLiteral("13")),
         ErrorNumber::FileAccess, "The disk is full"},
        {*sqlite,
         QSqlError({}, QStringLiteral("file is not a database"), QSqlError::StatementError,
                   QStringLiteral("26")),
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
