#include "ContractStore.h"

#include "storage/Databases.h"
#include "storage/Transaction.h"

namespace ContractStore {

namespace {

// Two workstations saving at once on a server both find a number free; the
// second meets the unique key and tries again with a number free then.
constexpr int Attempts = 5;

Result<int> highestNumber(Database &evnt) {
    auto query = evnt.exec(QStringLiteral("select max(contractnum) from cbuilder"));
    if (!query)
        return query.error();
    return query->next() ? query->value(0).toInt() : 0;
}

Result<bool> inUse(Database &evnt, int number) {
    auto query =
        evnt.exec(QStringLiteral("select count(*) from cbuilder where contractnum = ?"), {number});
    if (!query)
        return query.error();
    return query->next() && query->value(0).toInt() > 0;
}

Result<Saved> saveOnce(Database &evnt, int number, bool isNew, const QString &description,
                       const QStringList &components) {
    Transaction transaction(evnt);
    if (!transaction.begun())
        return transaction.begun().error();
    Saved saved{number, false};
    if (isNew) {
        auto taken = inUse(evnt, number);
        if (!taken)
            return taken.error();
        if (*taken) {
            auto highest = highestNumber(evnt);
            if (!highest)
                return highest.error();
            saved = {*highest + 1, true};
        }
    } else if (Status removed = evnt.execute(
                   QStringLiteral("delete from cbuilder where contractnum = ?"), {number});
               !removed) {
        return removed.error();
    }
    auto insert = evnt.prepare(QStringLiteral(
        "insert into cbuilder (contractnum, contractdesc, ord, cbfilename) values (?, ?, ?, ?)"));
    if (!insert)
        return insert.error();
    for (int ord = 0; ord < components.size(); ++ord) {
        if (components[ord].isEmpty())
            continue;
        insert->bindValue(0, saved.number);
        insert->bindValue(1, description);
        insert->bindValue(2, ord);
        insert->bindValue(3, components[ord]);
        if (Status added = evnt.exec(*insert); !added)
            return added.error();
    }
    if (Status committed = transaction.commit(); !committed)
        return committed.error();
    return saved;
}

} // namespace

Result<QList<Entry>> list(Database &evnt) {
    auto query = evnt.exec(QStringLiteral("select contractnum, min(contractdesc) from cbuilder "
                                          "where contractnum >= 1 group by contractnum "
                                          "order by contractnum"));
    if (!query)
        return query.error();
    QList<Entry> entries;
    while (query->next())
        entries << Entry{query->value(0).toInt(), query->value(1).toString()};
    return entries;
}

Result<Contract> load(Database &evnt, int number) {
    auto query = evnt.exec(QStringLiteral("select contractdesc, cbfilename from cbuilder where "
                                          "contractnum = ? order by ord"),
                           {number});
    if (!query)
        return query.error();
    Contract contract;
    bool first = true;
    while (query->next()) {
        if (first)
            contract.description = query->value(0).toString();
        first = false;
        contract.components << query->value(1).toString();
    }
    return contract;
}

Result<int> nextNumber(Database &evnt) {
    auto highest = highestNumber(evnt);
    if (!highest)
        return highest.error();
    return std::max(*highest, 0) + 1;
}

Result<Saved> save(Database &evnt, int number, bool isNew, const QString &description,
                   const QStringList &components) {
    Result<Saved> saved = DbError{ErrorNumber::DuplicateKey, QString()};
    for (int attempt = 0; attempt < Attempts; ++attempt) {
        saved = saveOnce(evnt, number, isNew, description, components);
        if (saved || saved.error().number != ErrorNumber::DuplicateKey)
            break;
    }
    return saved;
}

Status changeDescription(Database &evnt, int number, const QString &description) {
    Transaction transaction(evnt);
    if (!transaction.begun())
        return transaction.begun();
    if (Status changed = evnt.execute(
            QStringLiteral("update cbuilder set contractdesc = ? where contractnum = ?"),
            {description, number});
        !changed)
        return changed;
    return transaction.commit();
}

} // namespace ContractStore
