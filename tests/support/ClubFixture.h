#pragma once

#include "Fakes.h"
#include "session/Module.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

// A fresh club directory per test, a copy of one the club-directory creator
// made (see ClubTemplate), and a Module over it driven by the scripted fakes.
class ClubFixture : public ::testing::Test, protected FakeOperator {
protected:
    void SetUp() override;
    void TearDown() override;

    // Makes a new Module over the club (after a test changed the files).
    Module &reopen(const StorageSettings &settings);
    StorageSettings settings() const;
    QString path(const QString &fileName) const;
    // The operator at a level, with the new club's thresholds 10, 20, 50, 90.
    void signIn(int level);

    // On a logical database, on a connection of their own; an error fails the test.
    void exec(const QString &database, const QString &sql, const QVariantList &values = {});
    // The statement once per row of values, in one transaction.
    void execEach(const QString &database, const QString &sql, const QList<QVariantList> &rows);
    // The first column of every row a query returns.
    QVariantList column(const QString &database, const QString &sql,
                        const QVariantList &values = {});
    QVariant scalar(const QString &database, const QString &sql, const QVariantList &values = {});
    // Every row a query returns, its values' texts joined by "|" ("<null>" for
    // Null), money as a number: the engines spell 2.5 differently.
    QStringList rowTexts(const QString &database, const QString &sql,
                         const QVariantList &values = {});
    // The number of the (first) event of that title.
    int eventNumber(const QString &title);

    virtual bool demoData() const { return false; }

    bool onPostgres() const { return server.has_value(); }
    // Takes a logical database away, as a workstation would find it missing:
    // its file, or its schema on the server.
    void removeDatabase(const QString &name);
    // A trigger on the table that makes the writes matching the condition
    // fail with the message, or (with an empty message) skips them quietly.
    void addFault(const QString &database, const QString &name, const QString &write,
                  const QString &table, const QString &condition, const QString &message);
    void removeFault(const QString &database, const QString &name, const QString &table);
    // The names of the indexes on a table, in name order.
    QStringList indexNames(const QString &database, const QString &table);

    QTemporaryDir temp;
    QString club;
    std::unique_ptr<Module> module;
    // The test's own database on the PostgreSQL test server, when there is one.
    std::optional<StorageSettings> server;
};
