#include "EventPackages.h"

#include "ports/Clock.h"
#include "session/Module.h"
#include "storage/Schema.h"
#include "storage/Transaction.h"
#include "values/TextValue.h"

#include <algorithm>

namespace {

const QString EventDatabase = QStringLiteral("evnt");
int pkgTitleSize() {
    return Schema::findTable(QStringLiteral("evnt"), QStringLiteral("pkg"))
        ->textSize(QStringLiteral("eventtitle"));
}
const QString Oops = QStringLiteral("Oops...");
const QString UnlinkLine = QStringLiteral("Unlink this event");
const QString AvailableLine = QStringLiteral("Available packages are:");
const QString Separator = QStringLiteral(" - ");

// package - event - title - date
const QString ListedColumns =
    QStringLiteral("select pkgnum, eventnum, eventtitle, eventdate from pkg");

// The package row of an event, copied from its eventinfo row.
Status addToPackage(Database &evnt, int package, int number) {
    auto row = evnt.exec(
        QStringLiteral("select eventdate, eventtitle from eventinfo where eventnum = ?"), {number});
    if (!row)
        return row.status();
    if (!row->next())
        return DbError{ErrorNumber::NoCurrentRecord,
                       QStringLiteral("Event #%1 is no longer there.").arg(number)};
    const QVariantList values{package, number, row->value(0),
                              cutToLength(row->value(1).toString(), pkgTitleSize())};
    row->finish();
    return evnt.execute(QStringLiteral("insert into pkg (pkgnum, eventnum, eventdate, eventtitle) "
                                       "values (?, ?, ?, ?)"),
                        values);
}

} // namespace

Result<int> EventPackages::joinPackageOf(Database &evnt, int source, int number) {
    // The source's row held, so that an unlink elsewhere waits for this one.
    auto package = evnt.exec(QStringLiteral("select pkgnum from pkg where eventnum = ?") +
                                 evnt.dialect().lockRowsClause(),
                             {source});
    if (!package)
        return package.error();
    int heading = package->next() ? package->value(0).toInt() : 0;
    package->finish();
    if (heading == 0) {
        heading = source;
        if (Status headed = addToPackage(evnt, heading, source); !headed)
            return headed.error();
    }
    if (Status added = addToPackage(evnt, heading, number); !added)
        return added.error();
    return heading;
}

EventPackages::EventPackages(Module &module, QObject *parent)
    : QObject(parent)
    , m_module(module) {}

bool EventPackages::buttonVisible(int index) const {
    if (m_module.event.EventNumber <= 0)
        return false;
    return index == LinkButton || (index == CreateButton && PackageLinked == 0);
}

void EventPackages::tell(const QString &text, const QString &title) {
    m_module.messages.show(text, title, Icon::Information);
}

bool EventPackages::mayChange() const {
    return !m_module.databases.settings().readOnly && !m_module.longOperation.running() &&
           m_module.session.CheckAccess(OperatorSession::evaccess1);
}

void EventPackages::changePackage(int index, int selectedRow) {
    if ((index != CreateButton && index != LinkButton) || !mayChange())
        return;
    const CurrentEvent &event = m_module.event;
    if (event.mode == CurrentEvent::EnteringNew) {
        tell(QStringLiteral("You must first 'save' the new event record before a multi-event "
                            "package or link may be created."),
             Oops);
        return;
    }
    PackageAction = index;
    const bool selected = selectedRow >= 0 && selectedRow < listLines.size();
    // A heading line holds no package number.
    SelectedPackage = selected ? std::max(0, integerValue(listLines[selectedRow])) : 0;
    if (!removeUnnumbered())
        return;
    const int number = event.EventNumber;

    if (index == CreateButton) {
        if (m_module.messages.AskYesNo(QStringLiteral("Do you wish to create a new package?"),
                                       QStringLiteral("Create Package")) &&
            WritePackageRow(CreatePackage)) {
            ListOpenPackages();
            PackageLinked = 1;
        }
        emit changed();
        return;
    }

    // The heading line of a linked event's list unlinks it; an event in no
    // package has nothing to unlink and is shown the open packages instead.
    if (selectedRow == 0 && SelectedPackage == 0 && PackageLinked == 1) {
        if (m_module.messages.AskYesNo(QStringLiteral("Do you wish to un-link this event?"),
                                       QStringLiteral("Unlink?"))) {
            if (!WritePackageRow(UnlinkEvent)) {
                emit changed();
                return;
            }
            listLines.clear();
            PackageLinked = 0;
        }
    }
    if (SelectedPackage > 0 && SelectedPackage != number) {
        if (m_module.messages.AskYesNo(
                QStringLiteral("Do you wish to link this event to package #%1?")
                    .arg(SelectedPackage),
                QStringLiteral("Create Link"))) {
            if (WritePackageRow(LinkToPackage)) {
                PackageLinked = 1;
                ListEventPackage();
            } else {
                // The package may have gone meanwhile: show what is open now.
                ListOpenPackages();
            }
        }
    }
    if (SelectedPackage == 0 && number >= 1) {
        ListOpenPackages();
        if (listLines.isEmpty())
            tell(QStringLiteral("No packages are open for linking."), QStringLiteral("FYI..."));
    }
    emit changed();
}

// Rows saved without a package number belong to nothing.
bool EventPackages::removeUnnumbered() {
    DatabasePtr db = m_module.access.open(EventDatabase);
    if (!db)
        return false;
    const Status removed = m_module.messages.RetryWhileLocked(
        [&] { return db->execute(QStringLiteral("delete from pkg where pkgnum < ?"), {1}); });
    if (!removed) {
        if (!removed.error().isLocked())
            m_module.messages.ShowErrorCodes(removed.error());
        return false;
    }
    return true;
}

bool EventPackages::WritePackageRow(int mode) {
    const int number = m_module.event.EventNumber;
    if (mode < CreatePackage || mode > UnlinkEvent || number < 1)
        return false;
    DatabasePtr db = m_module.access.open(EventDatabase);
    if (!db)
        return false;
    Written outcome;
    const Status written = m_module.messages.RetryWhileLocked([&] {
        auto result = writeRow(*db, mode, number, SelectedPackage);
        if (result)
            outcome = *result;
        return result.status();
    });
    if (!written) {
        if (!written.error().isLocked())
            m_module.messages.ShowErrorCodes(written.error());
        return false;
    }
    switch (outcome.refusal) {
    case Refusal::None:
        EventChanges::adopt(m_module.event, number, m_claim);
        return true;
    case Refusal::EventMissing:
        tell(EventChanges::deletedText(number, m_claim.stamp, m_module.ports.clock.today()) +
                 QStringLiteral(" Its package cannot be changed."),
             Oops);
        return false;
    case Refusal::AlreadyInPackage:
        tell(QStringLiteral("This event already belongs to package #%1. Unlink it first.")
                 .arg(outcome.package),
             Oops);
        return false;
    case Refusal::HeadsPackage:
        tell(QStringLiteral("Event #%1 heads a package; unlink its package first.").arg(number),
             Oops);
        return false;
    case Refusal::PackageMissing:
        tell(QStringLiteral("Package #%1 is no longer open: it was unlinked on another "
                            "workstation.")
                 .arg(SelectedPackage),
             Oops);
        return false;
    }
    return false;
}

Result<EventPackages::Written> EventPackages::writeRow(Database &evnt, int mode, int number,
                                                       int package) {
    Transaction transaction(evnt);
    if (!transaction.begun())
        return transaction.begun().error();
    const QString lock = evnt.dialect().lockRowsClause();
    // The event's row, locked: one deleted meanwhile gets no package row.
    auto claimed = EventChanges::claim(evnt, number, std::nullopt, m_module.session.UserName,
                                       m_module.ports.clock.now());
    if (!claimed)
        return claimed.error();
    m_claim = *claimed;
    if (claimed->outcome == EventChanges::Claim::Missing)
        return Written{Refusal::EventMissing};

    if (mode == UnlinkEvent) {
        // The heading event takes its whole package along.
        if (Status removed =
                evnt.execute(QStringLiteral("delete from pkg where eventnum = ? or pkgnum = ?"),
                             {number, number});
            !removed)
            return removed.error();
        if (Status committed = transaction.commit(); !committed)
            return committed.error();
        return Written{};
    }

    // The copies come from the stored event, not from boxes that may hold
    // changes the operator has not saved.
    const qint64 date = claimed->stored.date;
    const QString title = cutToLength(claimed->stored.title.trimmed(), pkgTitleSize());

    if (mode == LinkToPackage) {
        // Another workstation may have unlinked the package since the list
        // was drawn; its heading row is held until this write commits.
        auto heading = evnt.exec(
            QStringLiteral("select eventnum from pkg where pkgnum = ? and eventnum = ?") + lock,
            {package, package});
        if (!heading)
            return heading.error();
        if (!heading->next())
            return Written{Refusal::PackageMissing};
        heading->finish();
    }

    auto own =
        evnt.exec(QStringLiteral("select pkgnum from pkg where eventnum = ?") + lock, {number});
    if (!own)
        return own.error();
    const bool member = own->next();
    const int current = member ? own->value(0).toInt() : 0;
    own->finish();

    if (mode == CreatePackage) {
        // One row per event: an event in a package heads no other.
        if (member)
            return Written{Refusal::AlreadyInPackage, current};
        if (Status added =
                evnt.execute(QStringLiteral("insert into pkg (pkgnum, eventnum, "
                                            "eventdate, eventtitle) values (?, ?, ?, ?)"),
                             {number, number, date, title});
            !added)
            return added.error();
    } else if (member) {
        // Its members would be left without a heading row.
        if (current == number)
            return Written{Refusal::HeadsPackage, current};
        if (Status moved = evnt.change(QStringLiteral("update pkg set pkgnum = ?, eventdate = ?, "
                                                      "eventtitle = ? where eventnum = ?"),
                                       {package, date, title, number});
            !moved)
            return moved.error();
    } else if (Status added = evnt.execute(QStringLiteral("insert into pkg (pkgnum, eventnum, "
                                                          "eventdate, eventtitle) values (?, ?, ?, "
                                                          "?)"),
                                           {package, number, date, title});
               !added) {
        return added.error();
    }
    if (Status committed = transaction.commit(); !committed)
        return committed.error();
    return Written{};
}

void EventPackages::fillList(Database &evnt, const QString &heading, const QString &sql,
                             const QVariantList &values) {
    listLines.clear();
    auto rows = evnt.exec(sql, values);
    if (!rows) {
        m_module.messages.ShowErrorCodes(rows.error());
        return;
    }
    while (rows->next()) {
        if (listLines.isEmpty())
            listLines << heading;
        QStringList parts;
        for (int i = 0; i < 4; ++i)
            parts << rows->value(i).toString();
        listLines << parts.join(Separator);
    }
}

void EventPackages::ListOpenPackages() {
    listLines.clear();
    DatabasePtr db = m_module.access.open(EventDatabase);
    if (db) {
        const bool unlinked =
            m_module.event.mode == CurrentEvent::EnteringNew || PackageLinked == 0;
        fillList(*db, unlinked ? AvailableLine : UnlinkLine,
                 ListedColumns +
                     QStringLiteral(" where pkgnum = eventnum order by eventtitle, eventnum"),
                 {});
    }
    emit changed();
}

void EventPackages::ListEventPackage() {
    listLines.clear();
    PackageLinked = 0;
    const int number = m_module.event.EventNumber;
    DatabasePtr db = number > 0 ? m_module.access.open(EventDatabase) : nullptr;
    if (db) {
        auto own = db->exec(QStringLiteral("select pkgnum from pkg where eventnum = ?"), {number});
        if (!own) {
            m_module.messages.ShowErrorCodes(own.error());
        } else if (own->next()) {
            const int package = own->value(0).toInt();
            own->finish();
            PackageLinked = 1;
            fillList(*db, UnlinkLine,
                     ListedColumns +
                         QStringLiteral(" where pkgnum = ? order by eventdate, eventnum"),
                     {package});
        }
    }
    emit changed();
}

void EventPackages::clear() {
    listLines.clear();
    PackageAction = 0;
    SelectedPackage = 0;
    PackageLinked = 0;
    emit changed();
}

void EventPackages::openListedEvent(int row) {
    if (row < 0 || row >= listLines.size())
        return;
    // package - event - title - date; a heading line names no event.
    const int number = integerValue(listLines[row].section(QLatin1Char('-'), 1, 1).trimmed());
    if (number <= 0)
        return;
    if (!m_module.messages.AskYesNo(
            QStringLiteral("Do you want to switch to viewing linked event #%1 ?").arg(number),
            QStringLiteral("View linked event?")))
        return;
    if (m_module.event.UnsavedChanges) {
        tell(QStringLiteral("You must first save your changes."), Oops);
        return;
    }
    emit eventRequested(number);
}
