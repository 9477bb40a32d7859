#pragma once

#include "values/Result.h"

#include <QList>
#include <QString>
#include <QStringList>

class Database;

// The contracts of cbuilder: one row per component, the description
// repeated on every row. A contract exists while it has rows; none is ever
// deleted.
namespace ContractStore {

struct Entry {
    int number = 0;
    QString description;
};

struct Contract {
    QString description;
    QStringList components; // file names in their order
};

// Every contract, by number, read in one grouped query.
Result<QList<Entry>> list(Database &evnt);
Result<Contract> load(Database &evnt, int number);
// The highest number in use + 1.
Result<int> nextNumber(Database &evnt);

struct Saved {
    int number = 0;
    bool renumbered = false; // the number was taken meanwhile: saved under the next free one
};

// Replaces the contract's rows with the components, in one transaction. A
// new contract whose number another workstation has used meanwhile is
// saved under the next free one. Empty names are left out; there must be
// at least one other.
Result<Saved> save(Database &evnt, int number, bool isNew, const QString &description,
                   const QStringList &components);
Status changeDescription(Database &evnt, int number, const QString &description);

} // namespace ContractStore
