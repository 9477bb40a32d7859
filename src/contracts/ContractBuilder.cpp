#include "ContractBuilder.h"

#include "ContractReports.h"
#include "ContractStore.h"
#include "ContractText.h"
#include "calendar/Rooms.h"
#include "events/ChangeLog.h"
#include "payments/PaymentReports.h"
#include "ports/Clock.h"
#include "ports/Companions.h"
#include "session/ClubSettings.h"
#include "session/Module.h"
#include "storage/Schema.h"
#include "values/TextValue.h"

#include <QDir>
#include <QLocale>

namespace {

const QString EventDatabase = QStringLiteral("evnt");
const QString Oops = QStringLiteral("Oops...");
const QString ChooseEntry = QStringLiteral("(Click for a list of available contracts)");
const QString NoEvent = QStringLiteral("(No Event is Active)");

QString entryText(int number, const QString &description) {
    return QString::number(number) + QStringLiteral(" - ") + description;
}

} // namespace

ContractBuilder::ContractBuilder(Module &module, const EventTokens &eventFieldTokens,
                                 QObject *parent)
    : QObject(parent)
    , m_module(module)
    , m_eventFieldTokens(eventFieldTokens) {}

ContractBuilder::EventTokens ContractBuilder::schemaEventTokens() {
    EventTokens tokens;
    const Schema::Table *eventinfo =
        Schema::findTable(QStringLiteral("evnt"), QStringLiteral("eventinfo"));
    for (int i = 0; i < eventinfo->columns.size() && i < int(tokens.size()); ++i)
        tokens[i] = QLatin1Char('<') + eventinfo->columns[i].name.toUpper() + QLatin1Char('>');
    return tokens;
}

QString ContractBuilder::layoutFile(Layout layout) {
    switch (layout) {
    case StandardLayout:
        return QStringLiteral("evntcb01.rpt");
    case StandardWindow:
        return QStringLiteral("evntcb01w.rpt");
    case LetterheadLayout:
        return QStringLiteral("evntcb02.rpt");
    case LetterheadWindow:
        return QStringLiteral("evntcb02w.rpt");
    case UserDefinedLayout:
        return QStringLiteral("evntcbudf.rpt");
    }
    return {};
}

bool ContractBuilder::mayEdit() const {
    return m_module.session.CheckAccess(OperatorSession::evaccess1);
}

bool ContractBuilder::open() {
    if (m_module.routines.CheckDatabaseUpdate()) {
        emit updateRequired();
        return false;
    }
    const CurrentEvent &event = m_module.event;
    const bool hasEvent = event.EventNumber >= 1;
    eventNumberText = hasEvent ? QString::number(event.EventNumber) : QString();
    eventNameText = hasEvent ? event.Caption : NoEvent;
    caption = m_module.session.UserName + QStringLiteral(" @ Contract Builder") +
              QStringLiteral("  -  ") + eventNameText;
    ContractNumber = 0;
    ContractDescription.clear();
    NewContract = false;
    ReportKind = 0;
    components.clear();
    componentRow = -1;
    viewerText.clear();
    statusText.clear();
    statusBold = false;
    moveEnabled.fill(true);
    keptOnTop = true;
    readComponentFiles();
    loadContractList();
    visible = true;
    emit changed();
    return true;
}

void ContractBuilder::exitWindow() {
    // Unsaved edits go without asking: nothing is stored before a save.
    visible = false;
    emit changed();
}

void ContractBuilder::loadContractList() {
    contractEntries = {ChooseEntry, QStringLiteral("0 - Create New Contract")};
    chosenContract = ChooseEntry;
    DatabasePtr evnt = m_module.access.open(EventDatabase);
    if (!evnt)
        return;
    auto entries = ContractStore::list(*evnt);
    if (!entries) {
        m_module.messages.ShowErrorCodes(entries.error());
        return;
    }
    for (const ContractStore::Entry &entry : *entries)
        contractEntries << entryText(entry.number, entry.description);
}

void ContractBuilder::readComponentFiles() {
    // Name filters match whatever the case of the letters: "CBTERMS.TXT" too.
    const QDir club(m_module.databases.settings().clubDirectory);
    componentFiles =
        club.entryList({allTextFiles ? QStringLiteral("*.txt") : QStringLiteral("cb*.txt")},
                       QDir::Files, QDir::Name | QDir::IgnoreCase);
    componentFileRow = -1;
}

void ContractBuilder::chooseContractEntry(int index) {
    if (index < 0 || index >= contractEntries.size() || !mayEdit())
        return;
    const QString entry = contractEntries[index];
    if (entry.startsWith(QLatin1String("(Click")))
        return;
    const int number = integerValue(entry);
    chosenContract = entry;
    if (number == 0)
        createContract();
    else
        chooseContract(number);
    emit changed();
}

bool ContractBuilder::chooseContract(int number) {
    viewerText.clear();
    components.clear();
    componentRow = -1;
    ContractNumber = number;
    NewContract = false;
    loadContract(number);
    assemble();
    return !components.isEmpty();
}

QString ContractBuilder::askDescription(int number, const QString &initial) {
    const QString answer =
        m_module.ports.prompts
            .input(QStringLiteral("Type a description for this contract. ") +
                       QStringLiteral("\r\n") + QStringLiteral("Max length: 50 characters"),
                   QStringLiteral("Contract Description - contract #") + QString::number(number),
                   initial)
            .trimmed();
    if (characterCount(answer) > DescriptionLength) {
        m_module.messages.show(QStringLiteral("Entry is too long. Try again."),
                               QStringLiteral("Limit to 50 characters"), Icon::Information);
        return {};
    }
    return answer;
}

void ContractBuilder::createContract() {
    DatabasePtr evnt = m_module.access.open(EventDatabase);
    if (!evnt)
        return;
    // The highest number + 1, whatever gaps the list has; the save checks
    // it again, as another workstation may take it meanwhile.
    auto number = ContractStore::nextNumber(*evnt);
    evnt.reset();
    if (!number) {
        m_module.messages.ShowErrorCodes(number.error());
        return;
    }
    const QString description = askDescription(*number, QString());
    if (description.isEmpty()) {
        chosenContract = ChooseEntry;
        return;
    }
    const QString entry = entryText(*number, description);
    contractEntries << entry;
    chosenContract = entry;
    ContractNumber = *number;
    ContractDescription = description;
    NewContract = true;
    audit(QStringLiteral("New contract created: ") + entry);
}

void ContractBuilder::loadContract(int number) {
    DatabasePtr evnt = m_module.access.open(EventDatabase);
    if (!evnt)
        return;
    auto contract = ContractStore::load(*evnt, number);
    if (!contract) {
        m_module.messages.ShowErrorCodes(contract.error());
        return;
    }
    if (!contract->components.isEmpty())
        ContractDescription = contract->description;
    components = contract->components;
}

void ContractBuilder::selectComponentFile(int row) {
    componentFileRow = row >= 0 && row < componentFiles.size() ? row : -1;
    emit changed();
}

void ContractBuilder::addComponentFile(int row) {
    selectComponentFile(row);
    if (mayEdit())
        addComponent();
    emit changed();
}

void ContractBuilder::selectComponent(int row) {
    componentRow = row >= 0 && row < components.size() ? row : -1;
    emit changed();
}

void ContractBuilder::moveComponent(int index) {
    if (index < 0 || index >= MoveCount || !moveEnabled[index] || !mayEdit())
        return;
    moveEnabled[index] = false;
    emit changed();
    switch (index) {
    case MoveUp:
        moveUp();
        break;
    case MoveDown:
        moveDown();
        break;
    case AddComponent:
        addComponent();
        break;
    case RemoveComponent:
        removeComponent();
        break;
    case RefreshView:
        assemble();
        break;
    case SaveComponents:
        saveComponents();
        break;
    case ClearComponents:
        clearComponents();
        break;
    }
    statusText = QStringLiteral("Done");
    statusBold = false;
    moveEnabled[index] = true;
    emit changed();
}

void ContractBuilder::moveUp() {
    if (componentRow < 1 || componentRow >= components.size())
        return;
    components.swapItemsAt(componentRow, componentRow - 1);
    --componentRow;
}

void ContractBuilder::moveDown() {
    if (componentRow < 0 || componentRow >= components.size() - 1)
        return;
    components.swapItemsAt(componentRow, componentRow + 1);
    ++componentRow;
}

void ContractBuilder::addComponent() {
    // Nothing chosen adds nothing: an empty entry is no component.
    if (componentFileRow < 0 || componentFileRow >= componentFiles.size())
        return;
    components << componentFiles[componentFileRow];
}

void ContractBuilder::removeComponent() {
    if (componentRow < 0 || componentRow >= components.size())
        return;
    components.removeAt(componentRow);
    componentRow = -1;
}

void ContractBuilder::clearComponents() {
    if (m_module.messages.AskYesNo(QStringLiteral("Click YES to clear the items for this event."),
                                   QStringLiteral("Clear components? "))) {
        components.clear();
        componentRow = -1;
    }
}

void ContractBuilder::saveComponents() {
    if (ContractNumber < 1)
        return;
    // A list of nothing but empty entries is as empty as none: saving it
    // would take the contract away.
    if (std::none_of(components.cbegin(), components.cend(),
                     [](const QString &entry) { return !entry.isEmpty(); })) {
        refuse(QStringLiteral("A contract must have at least one component to be valid. "));
        return;
    }
    DatabasePtr evnt = m_module.access.open(EventDatabase);
    if (!evnt)
        return;
    std::optional<ContractStore::Saved> saved;
    const Status outcome = m_module.messages.RetryWhileLocked([&]() -> Status {
        auto result = ContractStore::save(*evnt, ContractNumber, NewContract, ContractDescription,
                                          components);
        if (!result)
            return result.error();
        saved = *result;
        return {};
    });
    evnt.reset();
    if (!outcome) {
        if (outcome.error().number != ErrorNumber::RecordLocked)
            m_module.messages.ShowErrorCodes(outcome.error());
        return;
    }
    if (saved->renumbered) {
        m_module.messages.show(
            QStringLiteral("FYI... Contract #%1 was created at another workstation meanwhile, so "
                           "this contract has been saved as contract #%2.")
                .arg(ContractNumber)
                .arg(saved->number),
            QStringLiteral("FYI..."), Icon::Information);
    }
    ContractNumber = saved->number;
    NewContract = false;
    loadContractList();
    chosenContract = entryText(ContractNumber, ContractDescription);
    audit(QStringLiteral("Contract components saved or modified"));
}

void ContractBuilder::assemble() {
    Prompts &prompts = m_module.ports.prompts;
    viewerText.clear();
    statusText = QStringLiteral("One moment please while contract is being assembled...");
    statusBold = true;
    viewerText = statusText;
    prompts.setBusy(true);
    emit changed();
    const QString club = m_module.databases.settings().clubDirectory;
    QString joined;
    for (const QString &name : std::as_const(components)) {
        if (name.isEmpty())
            continue;
        const ContractText::Component component = ContractText::readComponent(club, name);
        if (component.outcome == ContractText::Component::Outcome::TooLarge) {
            viewerText = joined;
            prompts.setBusy(false);
            m_module.messages.show(QStringLiteral("File too large to load"), QString(),
                                   Icon::Critical);
            return;
        }
        if (component.outcome == ContractText::Component::Outcome::Missing) {
            m_module.messages.show(
                QStringLiteral("File: ") + name +
                    QStringLiteral(" not found or empty and will not be loaded "),
                Oops, Icon::Information);
            continue;
        }
        joined += component.text;
    }
    viewerText = merged(joined);
    prompts.setBusy(false);
    statusText = QStringLiteral("Ready");
    statusBold = false;
    emit changed();
}

QString ContractBuilder::merged(const QString &joined) const {
    const CurrentEvent &event = m_module.event;
    QList<ContractText::Replacement> replacements;
    // A blank field keeps its token, so the gap shows.
    for (EventField field : AllEventFields)
        if (!event.fields[field].trimmed().isEmpty())
            replacements.append({m_eventFieldTokens[columnOf(field)], event.fields[field]});
    const Configuration &club = m_module.config;
    const std::pair<const char *, const QString *> clubTokens[] = {
        {"<CLUBNAME>", &club.compname},     {"<CLUBADDR1>", &club.compaddr1},
        {"<CLUBADDR2>", &club.compaddr2},   {"<CLUBCITY>", &club.compcity},
        {"<CLUBSTATE>", &club.compstate},   {"<CLUBZIP>", &club.compzip},
        {"<CLUBPHONE1>", &club.compphone1}, {"<CLUBPHONE2>", &club.compphone2},
        {"<CLUBFAX>", &club.compfax},       {"<CLUBEMAIL>", &club.compemail}};
    for (const auto &[token, value] : clubTokens)
        replacements.append({QString::fromLatin1(token), *value});
    replacements.append({QStringLiteral("<DATE>"),
                         QLocale().toString(m_module.ports.clock.today(), QLocale::ShortFormat)});
    replacements << customerTokens();
    return ContractText::merge(joined, replacements);
}

// The event's values as a customer reads them, for the shipped texts: dates
// and times as the club's locale writes them, the room by its name, amounts
// with grouping and currency, and what is left to pay. The raw tokens stay
// for the clubs' own texts.
QList<ContractText::Replacement> ContractBuilder::customerTokens() const {
    const CurrentEvent &event = m_module.event;
    QList<ContractText::Replacement> tokens;
    const auto add = [&](const char *token, const QString &value) {
        if (!value.trimmed().isEmpty())
            tokens.append({QString::fromLatin1(token), value});
    };
    auto evnt = m_module.databases.open(QStringLiteral("evnt"));
    if (!evnt)
        return tokens;
    const auto settings = ClubSettings::read(*evnt.value());
    const ClubSettings club = settings ? *settings : ClubSettings();
    add("<DATELONG>", club.longDate(m_module.ports.clock.today()));
    const QDate date(event.Date / 10000, event.Date / 100 % 100, event.Date % 100);
    if (date.isValid()) {
        add("<EVENTDATELONG>", club.longDate(date));
        add("<EVENTDATESHORT>", club.shortDate(date));
    }
    add("<STARTTIMETEXT>", club.time(event.fields[EventField::Start]));
    add("<ENDTIMETEXT>", club.time(event.fields[EventField::End]));
    if (auto rooms = ReadRooms(*evnt.value())) {
        for (const Room &room : *rooms) {
            if (room.roomnum == event.Room)
                add("<ROOMNAME>", room.room.trimmed());
        }
    }
    const Money deposit =
        Money::fromText(event.fields[EventField::Deposit].trimmed()).value_or(Money());
    // The deposit that confirms the booking (its schedule's, received or
    // not), and the items priced so far, each with its service charge and
    // tax, less every payment received (the deposit, for an event without a
    // schedule).
    if (const auto paid = PaymentReports::paidOn(*evnt.value(), event.EventNumber, deposit)) {
        add("<DEPOSITAMOUNT>", club.currency(paid->deposit));
        add("<ITEMSTOTAL>", club.currency(paid->priced));
        add("<BALANCEDUE>", club.currency(paid->balance()));
    }
    return tokens;
}

void ContractBuilder::toggleAllTextFiles() {
    if (!mayEdit())
        return;
    allTextFiles = !allTextFiles;
    readComponentFiles();
    emit changed();
}

void ContractBuilder::changeDescription() {
    if (!mayEdit())
        return;
    const int number = integerValue(chosenContract);
    if (number < 1) {
        refuse(QStringLiteral("Please select a contract first."));
        return;
    }
    const QString description = askDescription(number, ContractDescription);
    if (description.isEmpty())
        return;
    DatabasePtr evnt = m_module.access.open(EventDatabase);
    if (!evnt)
        return;
    const Status changed = m_module.messages.RetryWhileLocked(
        [&] { return ContractStore::changeDescription(*evnt, number, description); });
    evnt.reset();
    if (!changed) {
        if (changed.error().number != ErrorNumber::RecordLocked)
            m_module.messages.ShowErrorCodes(changed.error());
        return;
    }
    const QString old = ContractDescription;
    ContractDescription = description;
    audit(QStringLiteral("Contract #") + QString::number(number) +
          QStringLiteral(" descripion changed from ") + old + QStringLiteral(" to ") + description);
    loadContractList();
    // A new contract not yet saved keeps its entry.
    const QString entry = entryText(number, description);
    if (!contractEntries.contains(entry))
        contractEntries << entry;
    chosenContract = entry;
    emit this->changed();
}

void ContractBuilder::printContract(Layout layout) {
    ReportKind = layout;
    if (!mayEdit())
        return;
    // The contract prints the event as stored: changes still in the main
    // window would give a letter that says one thing and an event block
    // that says another.
    if (m_module.event.EventNumber >= 1 && m_module.event.UnsavedChanges) {
        refuse(QStringLiteral("Save the event first: the contract prints the event as it is "
                              "stored."));
        return;
    }
    if (auto work = fillContract(layout))
        launch(*work, layoutFile(layout));
}

std::unique_ptr<ReportWorkCopy> ContractBuilder::fillContract(Layout layout) {
    // The text merged again from what is shown now, the stored event.
    if (!components.isEmpty())
        assemble();
    ReportLauncher launcher(m_module);
    auto work = ContractReports(launcher, m_module.messages)
                    .contract(m_module.event.EventNumber, layout, ContractNumber, viewerText);
    if (work) {
        ReportRequest &request = m_module.report;
        request.ReportFile = layoutFile(layout);
        request.DataFiles[0] = work->fileName();
        request.DataFiles[1] = work->fileName();
    }
    return work;
}

void ContractBuilder::printContractList() {
    ReportLauncher launcher(m_module);
    if (auto work = ContractReports(launcher, m_module.messages).contractList())
        launch(*work, QStringLiteral("evntcontracts.rpt"));
}

void ContractBuilder::printComponentList() {
    ReportLauncher launcher(m_module);
    if (auto work = ContractReports(launcher, m_module.messages).componentList(componentFiles))
        launch(*work, QStringLiteral("evntcomponents.rpt"));
}

void ContractBuilder::launch(ReportWorkCopy &work, const QString &reportFile) {
    ReportRequest &request = m_module.report;
    request.ReportFile = reportFile;
    request.DataFiles[0] = work.fileName();
    // The report program's preview comes in front of this window meanwhile.
    keptOnTop = false;
    emit changed();
    ReportLauncher(m_module).LaunchReport(work);
    keptOnTop = true;
    ReportKind = 0;
    m_module.session.LocationName = QStringLiteral("BASIC");
    m_module.staff.SetStaffLocation();
    m_module.routines.ShowIdle();
    emit changed();
}

void ContractBuilder::printerSetup() {
    ReportLauncher(m_module).RunPrinterControl();
}

void ContractBuilder::adjustPrintMargins() {
    ReportLauncher(m_module).SetPrintMargins();
}

void ContractBuilder::showInfo() {
    m_module.companions.Info();
    m_module.session.LocationName = QStringLiteral("BASIC");
    m_module.staff.SetStaffLocation();
    m_module.routines.ShowIdle();
}

void ContractBuilder::showHelp() {
    m_module.companions.Help(3);
}

void ContractBuilder::audit(const QString &text) {
    ChangeLog log(m_module.messages, m_module.ports.clock, m_module.event);
    log.AuditLine = ChangeLog::field(text);
    log.WriteAudit();
}

void ContractBuilder::refuse(const QString &text) {
    m_module.messages.show(text, Oops, Icon::Information);
}
