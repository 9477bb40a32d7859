#pragma once

#include "storage/EventChanges.h"
#include "values/Result.h"

#include <QObject>
#include <QStringList>

class Database;
class Module;

// Multi-event packages: events that belong together (the parts of one
// wedding or conference) tied to a heading event. Table pkg holds one row
// per member, the heading event's with pkgnum = eventnum, and copies of each
// member's date and title for the list.
//
// The main window shows the list lstpkg below the event panel and the two
// buttons cmdmulti(0) "Create a new multi-event package from this event" and
// cmdmulti(1) "Link/Unlink to an existing multi-event package". Every write
// is one transaction that checks, inside it, what another workstation may
// have changed since the list was drawn.
class EventPackages : public QObject {
    Q_OBJECT

public:
    enum Button { CreateButton = 0, LinkButton = 1 };
    static constexpr int ButtonCount = 2;
    // What WritePackageRow does.
    enum Mode { CreatePackage = 1, LinkToPackage = 2, UnlinkEvent = 3 };

    explicit EventPackages(Module &module, QObject *parent = nullptr);

    // A click on cmdmulti(index) with the list entry in selectedRow (-1 when
    // none is selected).
    void changePackage(int index, int selectedRow);
    // A double click on a list entry: offers to open the member it names.
    // A heading line names none and does nothing.
    void openListedEvent(int row);

    // Writes the current event's package row: CreatePackage heads a new
    // package, LinkToPackage links it to SelectedPackage (moving it out of
    // the package it was in), UnlinkEvent takes it out (with the whole
    // package when it heads one). Date and title are copied from the stored
    // event. False when nothing was written; the operator has been told why.
    bool WritePackageRow(int mode);
    // The list: the heading rows of every package, with a heading line.
    void ListOpenPackages();
    // The list: the members of the current event's package, after
    // "Unlink this event"; empty when the event is in none. Run after every
    // load of an event.
    void ListEventPackage();
    // No event shown: empty list, nothing selected or linked.
    void clear();

    // Inside the caller's transaction: `number`, a new event, joins the
    // package `source` is in, or one `source` heads from then on when it is
    // in none. The package's number. Date and title are copied from the
    // stored events.
    static Result<int> joinPackageOf(Database &evnt, int source, int number);

    // The list is shown while it has entries.
    bool listVisible() const { return !listLines.isEmpty(); }
    // Both buttons for an event in no package, only the link button for
    // one in a package; none without an event.
    bool buttonVisible(int index) const;

    int PackageAction = 0;   // the last package button pressed
    int SelectedPackage = 0; // package number of the selected entry, 0 when none
    int PackageLinked = 0;   // 1 while the current event belongs to a package
    QStringList listLines;

signals:
    void changed();
    // The operator chose to open a member event.
    void eventRequested(int eventNumber);

private:
    // Why a write left pkg as it was.
    enum class Refusal { None, EventMissing, AlreadyInPackage, HeadsPackage, PackageMissing };
    struct Written {
        Refusal refusal = Refusal::None;
        int package = 0; // the package the event already belongs to
    };

    Result<Written> writeRow(Database &evnt, int mode, int number, int package);
    bool removeUnnumbered();
    void fillList(Database &evnt, const QString &heading, const QString &sql,
                  const QVariantList &values);
    void tell(const QString &text, const QString &title);
    bool mayChange() const;

    Module &m_module;
    EventChanges::Claim m_claim; // the last package write's
};
