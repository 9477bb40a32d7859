#include "DemoSeason.h"

#include "SilentPorts.h"
#include "billing/BillingAccounts.h"
#include "billing/EventBilling.h"
#include "calendar/RoomBuffers.h"
#include "contracts/ContractBuilder.h"
#include "events/EventPackages.h"
#include "events/EventRecord.h"
#include "events/WholeEvent.h"
#include "items/ItemWindow.h"
#include "orders/EventOrder.h"
#include "payments/EventPayments.h"
#include "session/ClubSettings.h"
#include "session/Module.h"
#include "startup/ConfigurationLoader.h"
#include "storage/EventChanges.h"
#include "storage/Transaction.h"

#include <algorithm>

namespace DemoSeason {

namespace {

enum Room { GrandBallroom = 1, BallroomEast, BallroomWest, Terrace, BoardRoom, FairwayDining };

// One booking: month from this one, day of that month (0: the busy
// Saturday), times, room, status, guests, the member account that pays (0
// for a non-member event) and whom to call.
struct Booking {
    int month; // from this one; Tomorrow: `day` counts days from today
    int day;
    const char *title;
    const char *start;
    const char *end;
    int room;
    int status;
    int guests;
    int account;
    const char *contact;
    const char *phone;
    const char *email;
    const char *deposit = "";
    const char *notes = "";
    bool overlapAccepted = false; // shares the ballroom's time with a section
    // A non-member customer's billing address, "street|city|ST|zip".
    const char *billTo = nullptr;
    // For day 0: days from the busy Saturday (the wedding's Friday and Sunday).
    int besideSaturday = 0;
};

// A non-member event whose account the office has already made.
constexpr int NewAccount = -1;
// A booking dated from the day the demo is made, so tomorrow always has one.
constexpr int Tomorrow = -100;
// A booking on a Wednesday: `day` counts weeks from the first one after the
// day the demo is made. The Rotary lunches, and the two Wednesdays their room
// is taken.
constexpr int Wednesdays = -101;

const Booking Bookings[] = {
    // Tomorrow, whatever day the club is made: the committee's lunch after
    // its meeting. The board room is never booked then.
    {Tomorrow, 1, "Membership Committee Lunch", "12:30", "14:00", BoardRoom, 4, 12, 2901,
     "Club Secretary", "215-555-0100", "events@hollowcreek.example.org", "",
     "Plated lunch after the committee's meeting."},
    // This month.
    {0, 2, "Garden Club Luncheon", "11:30", "14:00", Terrace, 4, 46, 1238, "Susan Abernathy",
     "215-555-0167", "sabernathy@example.com", "", "Salads and iced tea; podium with microphone."},
    {0, 4, "Meridian Financial Board Meeting", "08:00", "12:00", BoardRoom, 4, 14, 2001,
     "Karen Holt", "215-555-0190", "kholt@meridianfg.example.com"},
    {0, 6, "Whitaker Family Dinner", "18:00", "21:00", FairwayDining, 4, 22, 1001,
     "Robert Whitaker", "215-555-0141", "rwhitaker@example.com"},
    {Wednesdays, 0, "Rotary Club Weekly Lunch", "12:00", "13:30", BallroomWest, 4, 38, 2510,
     "Dale Fisher", "215-555-0213", "dfisher@example.org"},
    {0, 12, "Holiday Cookie Swap", "14:00", "16:30", Terrace, 3, 30, 1249, "Linh Nguyen",
     "215-555-0158", "lnguyen@example.com", "150.00"},
    {0, 13, "Chen Anniversary Brunch", "10:30", "13:30", FairwayDining, 3, 40, 1012, "Lisa Chen",
     "215-555-0149", "lchen@example.com", "500.00"},
    {0, 16, "Halvorsen Engineering Holiday Party", "18:30", "CLOSE", GrandBallroom, 4, 180, 2005,
     "Greta Halvorsen", "215-555-0177", "events@halvorsen.example.com", "2500.00",
     "Carving station, open bar until 23:00, DJ from 20:00."},
    {0, 16, "Halvorsen Children's Corner", "18:30", "21:00", BallroomEast, 4, 25, 2005,
     "Greta Halvorsen", "215-555-0177", "events@halvorsen.example.com", "",
     "Crafts and a film for the guests' children; the party has the rest of the ballroom.", true},
    {0, 19, "St. Andrew's Choir Christmas Supper", "17:30", "20:30", BallroomEast, 3, 85, 2501,
     "Rev. Martha Quinn", "215-555-0221", "office@standrews.example.org", "400.00"},
    {0, 20, "Moreno Holiday Open House", "13:00", "17:00", Terrace, 2, 60, 1217, "Teresa Moreno",
     "215-555-0171", "tmoreno@example.com"},
    {0, 27, "Fairbanks Retirement Party", "19:00", "23:00", FairwayDining, 1, 50, 0,
     "Caroline Fairbanks", "215-555-0165", "cfairbanks@example.com", "",
     "Asked for a quote; wants the room until 23:00."},
    {0, 31, "New Year's Eve Gala", "19:00", "CLOSE", GrandBallroom, 4, 220, 2901, "Club Manager",
     "215-555-0100", "events@hollowcreek.example.org", "", "Black tie; champagne at midnight."},
    // Next month.
    {1, 8, "Wellington School Auction Committee", "19:00", "21:00", BoardRoom, 2, 12, 2504,
     "Helen Prescott", "215-555-0230", "hprescott@wellington.example.org"},
    {1, 10, "Patel Engagement Dinner", "18:30", "22:30", BallroomEast, 3, 70, 1041, "Priya Patel",
     "215-555-0144", "ppatel@example.com", "750.00"},
    {1, 14, "Ladies' Bridge Luncheon", "11:00", "14:30", Terrace, 2, 32, 1058, "Margaret Sullivan",
     "215-555-0147", "msullivan@example.com"},
    {1, 17, "Alvarez-Kim Wedding Tasting", "15:00", "16:30", FairwayDining, 2, 6, NewAccount,
     "Daniel Alvarez", "610-555-0182", "dalvarez@example.net", "",
     "Non-member wedding for June; tasting of three menus.", false,
     "48 Sumneytown Pike|North Wales|PA|19454"},
    {1, 22, "Annual Meeting of Members", "19:00", "22:00", GrandBallroom, 2, 160, 2901,
     "Club Secretary", "215-555-0100", "events@hollowcreek.example.org"},
    {1, 24, "Cancelled: Delgado Birthday", "18:00", "21:00", FairwayDining, 9, 30, 1004,
     "Ana Delgado", "215-555-0143", "adelgado@example.com", "", "Family moved the party home."},
    {1, 0, "Board Room Planning Session", "09:00", "11:00", BoardRoom, 4, 10, 2012,
     "Dr. Ruth Abrams", "610-555-0145", "rabrams@gwyneddortho.example.com"},
    {1, 0, "Bridal Shower - Reilly", "11:00", "14:00", BallroomEast, 3, 65, 1079, "Colleen Reilly",
     "215-555-0153", "creilly@example.com", "300.00"},
    {1, 0, "Junior Golf Awards Lunch", "12:00", "15:00", BallroomWest, 2, 75, 1301, "Tyler Brooks",
     "215-555-0174", "tbrooks@example.com"},
    {1, 0, "Sullivan-Park Wedding Ceremony", "16:00", "17:30", Terrace, 4, 120, NewAccount,
     "Hannah Park", "267-555-0136", "hpark@example.net", "1000.00",
     "Non-member wedding; string quartet; chairs on the terrace.", false,
     "311 Spring Garden St.|Philadelphia|PA|19123"},
    // Its account is the office's to make ("New", then the account button).
    {1, 0, "Sullivan-Park Reception", "18:00", "CLOSE", FairwayDining, 4, 58, 0, "Hannah Park",
     "267-555-0136", "hpark@example.net", "1500.00", "", false,
     "311 Spring Garden St.|Philadelphia|PA|19123"},
    // The wedding's weekend, grouped into one package with the ceremony.
    {1, 0, "Sullivan-Park Rehearsal Dinner", "18:30", "21:30", FairwayDining, 2, 40, 0,
     "Hannah Park", "267-555-0136", "hpark@example.net", "", "", false,
     "311 Spring Garden St.|Philadelphia|PA|19123", -1},
    {1, 0, "Sullivan-Park Farewell Brunch", "10:00", "13:00", FairwayDining, 2, 45, 0,
     "Hannah Park", "267-555-0136", "hpark@example.net", "", "", false,
     "311 Spring Garden St.|Philadelphia|PA|19123", 1},
    // The month after.
    {2, 5, "Lindqvist Midsummer Preview Dinner", "18:00", "21:30", FairwayDining, 2, 24, 1115,
     "Karin Lindqvist", "215-555-0161", "klindqvist@example.com"},
    {2, 11, "Meridian Client Seminar", "08:30", "11:30", BallroomWest, 3, 90, 2001, "Karen Holt",
     "215-555-0190", "kholt@meridianfg.example.com", "1000.00"},
    {2, 14, "Valentine's Dinner Dance", "18:30", "CLOSE", GrandBallroom, 2, 200, 2901,
     "Club Manager", "215-555-0100", "events@hollowcreek.example.org"},
    {2, 21, "Hargrove Memorial Reception", "13:00", "16:00", Terrace, 1, 80, 1033,
     "Thomas Hargrove", "215-555-0151", "thargrove@example.com"},
    {2, 25, "Bennett 50th Anniversary", "17:00", "21:00", BallroomEast, 3, 95, 1102, "Joan Bennett",
     "215-555-0155", "jbennett@example.com", "600.00"},
    // Three months on.
    {3, 7, "Wellington School Spring Auction", "18:00", "CLOSE", GrandBallroom, 2, 230, 2504,
     "Helen Prescott", "215-555-0230", "hprescott@wellington.example.org"},
    {3, 12, "Orthopedic Associates Lunch-and-Learn", "12:00", "13:30", BoardRoom, 2, 16, 2012,
     "Dr. Ruth Abrams", "610-555-0145", "rabrams@gwyneddortho.example.com"},
    {3, 18, "Castellano Sweet Sixteen", "19:00", "23:00", BallroomWest, 1, 90, 1306,
     "Sofia Castellano", "215-555-0179", "scastellano@example.com"},
    {3, 26, "Spring Member-Guest Kickoff", "17:30", "20:00", Terrace, 2, 110, 2901,
     "Golf Committee", "215-555-0100", "golf@hollowcreek.example.org"},
    // Last month: held and billed.
    {-1, 14, "Harvest Member Dinner Dance", "18:30", "CLOSE", GrandBallroom, 4, 150, 2901,
     "Club Manager", "215-555-0100", "events@hollowcreek.example.org", "",
     "Live band from 19:30; buffet with a carving station."},
    {-1, 21, "O'Brien Thanksgiving Brunch", "11:00", "14:00", FairwayDining, 4, 28, 1027,
     "Maureen O'Brien", "215-555-0139", "mobrien@example.com"},
    // Added after the season above, so its events keep their numbers: the
    // Rotary lunch's room taken on two later Wednesdays, and a wedding
    // reception in the ballroom, which takes an hour to clear after it.
    {Wednesdays, 3, "Ladies' Nine-Hole League Luncheon", "11:30", "13:30", BallroomWest, 3, 44,
     1238, "Susan Abernathy", "215-555-0167", "sabernathy@example.com", "200.00"},
    {Wednesdays, 6, "Red Cross Blood Drive", "09:00", "15:00", BallroomWest, 2, 60, 2901,
     "Club Secretary", "215-555-0100", "events@hollowcreek.example.org", "",
     "Donor beds along the west wall; juice and cookies after."},
    {2, 20, "Lindqvist Wedding Reception", "16:00", "23:00", GrandBallroom, 3, 180, 1115,
     "Karin Lindqvist", "215-555-0161", "klindqvist@example.com", "2000.00",
     "Dinner and dancing; the band plays until 22:45."},
};

// To-do tasks: the event's title, the due date in days from today, done.
struct Task {
    const char *event;
    int days;
    bool done;
    const char *task;
};

const Task Tasks[] = {
    {"Halvorsen Engineering Holiday Party", -5, true, "Confirm the DJ's arrival time"},
    {"Halvorsen Engineering Holiday Party", 0, false, "Final head count from Greta Halvorsen"},
    {"Halvorsen Engineering Holiday Party", 0, false, "Order poinsettias for the tables"},
    {"Halvorsen Children's Corner", 2, false, "Book the craft table & film projector"},
    {"St. Andrew's Choir Christmas Supper", -2, true, "Send the menu for approval"},
    {"St. Andrew's Choir Christmas Supper", 0, false, "Collect the \"special diets\" list"},
    {"New Year's Eve Gala", 7, false, "Order champagne: 30 cases"},
    {"New Year's Eve Gala", 14, false, "Print place cards"},
    {"Patel Engagement Dinner", 10, false, "Florist meeting with Priya Patel"},
};

Status addTasks(Module &module, const QDate &today) {
    auto db = module.databases.open(QStringLiteral("evnt"));
    if (!db)
        return db.error();
    Transaction transaction(*db.value());
    if (!transaction.begun())
        return transaction.begun();
    for (const Task &task : Tasks) {
        const QDate due = today.addDays(task.days);
        const Status added = db.value()->execute(
            QStringLiteral("insert into tasklist (eventnumber, taskdate, todo, task, staff) "
                           "select eventnum, ?, ?, ?, ? from eventinfo where eventtitle = ?"),
            {due.year() * 10000 + due.month() * 100 + due.day(),
             task.done ? QStringLiteral("Y") : QStringLiteral("N"), QString::fromUtf8(task.task),
             QStringLiteral("DEMO"), QString::fromUtf8(task.event)});
        if (!added)
            return added;
    }
    return transaction.commit();
}

// What the office has sold to an event: item numbers and quantities.
struct Sale {
    int item;
    const char *quantity;
};
struct Menu {
    const char *event;
    std::initializer_list<Sale> sales;
};

const Menu Menus[] = {
    {"Garden Club Luncheon", {{107, "46"}, {209, "46"}, {304, "1"}, {403, "1"}}},
    {"Meridian Financial Board Meeting", {{108, "14"}, {210, "14"}, {305, "1"}, {401, "1"}}},
    {"Whitaker Family Dinner", {{102, "12"}, {101, "10"}, {205, "4"}, {303, "1"}}},
    {"Halvorsen Engineering Holiday Party",
     {{112, "180"}, {109, "15"}, {201, "720"}, {301, "1"}, {404, "1"}, {501, "8"}}},
    {"Halvorsen Children's Corner", {{113, "25"}, {209, "25"}}},
    {"St. Andrew's Choir Christmas Supper", {{106, "85"}, {114, "85"}, {210, "85"}}},
    {"Chen Anniversary Brunch", {{108, "40"}, {204, "40"}, {111, "40"}}},
    {"New Year's Eve Gala",
     {{101, "120"}, {103, "100"}, {201, "1100"}, {204, "220"}, {301, "1"}, {407, "12"}}},
    {"Patel Engagement Dinner", {{105, "70"}, {203, "280"}, {111, "70"}}},
    {"Sullivan-Park Wedding Ceremony", {{306, "1"}, {406, "120"}, {402, "2"}}},
    {"Sullivan-Park Reception",
     {{109, "6"}, {110, "6"}, {103, "30"}, {101, "28"}, {204, "58"}, {202, "232"}, {504, "58"}}},
    {"Membership Committee Lunch", {{102, "12"}, {114, "12"}, {210, "12"}}},
    {"Harvest Member Dinner Dance", {{105, "150"}, {202, "600"}, {301, "1"}, {501, "6"}}},
    {"O'Brien Thanksgiving Brunch", {{108, "28"}, {204, "28"}, {205, "3"}}},
};

// The departments of the demo inventory on the items window's buttons, set
// up in its panel as the office would; the other buttons are left unused.
Status setUpButtons(Module &module) {
    const std::pair<const char *, const char *> departments[] = {{"Food", "1"},
                                                                 {"Beverage", "2"},
                                                                 {"Room Rental", "3"},
                                                                 {"Equipment", "4"},
                                                                 {"Staffing", "5"}};
    DepartmentButtons buttons(module.databases, module.messages, module.session);
    buttons.windowOpened();
    if (!buttons.openPanel())
        return DbError{ErrorNumber::Unknown, QStringLiteral("The button panel did not open.")};
    for (int k = 0; k < DepartmentButtons::ButtonCount; ++k) {
        const bool used = k < int(std::size(departments));
        buttons.chooseButton(k);
        buttons.editCaption(used ? QString::fromLatin1(departments[k].first) : QString());
        buttons.editTag(used ? QString::fromLatin1(departments[k].second) : QString());
        if (!buttons.saveSettings())
            return DbError{ErrorNumber::FileAccess,
                           QStringLiteral("evnt.dat could not be written.")};
    }
    buttons.closePanel();
    return {};
}

// Sells the menu to the event as the office does, through the items window:
// its department, its quantity, "Add -->".
Status sell(Module &module, EventRecord &record, int eventNumber, const Menu &menu) {
    if (!record.LoadEvent(eventNumber))
        return DbError{ErrorNumber::Unknown,
                       QStringLiteral("Event %1 not found.").arg(eventNumber)};
    ItemWindow window(module);
    if (!window.open())
        return DbError{ErrorNumber::Unknown, QStringLiteral("The items window did not open.")};
    for (const Sale &sale : menu.sales) {
        const QString department = QString::number(sale.item / 100);
        window.showDepartment(department, department);
        const auto found = std::find_if(window.inventory.cbegin(), window.inventory.cend(),
                                        [&](const ItemWindow::InventoryItem &item) {
                                            return item.itemnumber.toInt() == sale.item;
                                        });
        if (found == window.inventory.cend())
            return DbError{ErrorNumber::Unknown, QStringLiteral("No item %1.").arg(sale.item)};
        const int rows = int(window.eventItems.size());
        window.setQuantityText(QString::fromLatin1(sale.quantity));
        window.addInventoryRow(int(found - window.inventory.cbegin()));
        if (window.eventItems.size() != rows + 1)
            return DbError{ErrorNumber::Unknown, QStringLiteral("Item %1 was not added to \"%2\".")
                                                     .arg(sale.item)
                                                     .arg(QString::fromUtf8(menu.event))};
    }
    return {};
}

// What has happened is billed as the office bills it: its charges go to
// the receivables work area and its status becomes 5.
Status bill(Module &module, SilentPorts &ports, int eventNumber, double account) {
    ports.yesAnswers = 2; // "Bill this event now?", and status 5 when nothing was sold
    const auto billed = EventBilling(module).BillEvent(eventNumber, account, 0);
    ports.yesAnswers = 0;
    if (billed != EventBilling::Billed::Charged && billed != EventBilling::Billed::MarkedBilled)
        return DbError{
            ErrorNumber::Unknown,
            QStringLiteral("Event %1 was not billed: %2").arg(eventNumber).arg(ports.lastMessage)};
    return {};
}

// A non-member customer's billing block: the contact, the address, the
// contact's phone and e-mail.
void fillBillTo(const Booking &booking, CurrentEvent &event) {
    const QStringList address = QString::fromUtf8(booking.billTo).split(QLatin1Char('|'));
    event.fields[EventField::BillingName] = QString::fromUtf8(booking.contact);
    event.fields[EventField::BillingAddress1] = address.value(0);
    event.fields[EventField::BillingCity] = address.value(1);
    event.fields[EventField::BillingState] = address.value(2);
    event.fields[EventField::BillingZip] = address.value(3);
    event.fields[EventField::BillingPhone1] = QString::fromLatin1(booking.phone);
    event.fields[EventField::BillingEmail] = QString::fromLatin1(booking.email);
}

// The second Saturday of a month.
QDate busySaturday(const QDate &first) {
    QDate day = first;
    while (day.dayOfWeek() != Qt::Saturday)
        day = day.addDays(1);
    return day.addDays(7);
}

QString dateNumber(const QDate &date) {
    return date.toString(QStringLiteral("yyyyMMdd"));
}

// The account's name and address, as the billing panel shows them.
void fillBilling(Module &module, int account, CurrentEvent &event) {
    auto db = module.databases.open(QStringLiteral("master"));
    if (!db)
        return;
    auto row =
        db.value()->exec(QStringLiteral("select * from address where acctnumber = ?"), {account});
    if (!row || !row->next())
        return;
    int position = 1;
    for (EventField field : eventFieldsFrom(EventField::BillingName, EventField::BillingEmail))
        event.fields[field] = row->value(position++).toString();
}

// The event with that title; 0 when there is none.
int eventNumber(Module &module, const QString &title) {
    auto evnt = module.databases.open(QStringLiteral("evnt"));
    if (!evnt)
        return 0;
    auto found = evnt.value()->exec(
        QStringLiteral("select eventnum from eventinfo where eventtitle = ?"), {title});
    return found && found->next() ? found->value(0).toInt() : 0;
}

// The Sullivan-Park wedding weekend as one package headed by the ceremony,
// made as the office makes it from the event window.
Status addWeddingPackage(Module &module, EventRecord &record) {
    EventPackages packages(module);
    const char *const titles[] = {"Sullivan-Park Wedding Ceremony",
                                  "Sullivan-Park Rehearsal Dinner", "Sullivan-Park Reception",
                                  "Sullivan-Park Farewell Brunch"};
    int heading = 0;
    for (const char *title : titles) {
        const int number = eventNumber(module, QString::fromUtf8(title));
        if (number == 0 || !record.LoadEvent(number))
            return DbError{ErrorNumber::Unknown, QStringLiteral("%1 is missing.").arg(title)};
        packages.SelectedPackage = heading;
        if (!packages.WritePackageRow(heading == 0 ? EventPackages::CreatePackage
                                                   : EventPackages::LinkToPackage))
            return DbError{ErrorNumber::Unknown,
                           QStringLiteral("%1 could not join the package.").arg(title)};
        if (heading == 0)
            heading = number;
    }
    return {};
}

// Last year's harvest dinner booked again a year on, items and all, as the
// office clones an event.
Status addClone(Module &module, EventRecord &record) {
    const QString title = QStringLiteral("Harvest Member Dinner Dance");
    const int source = eventNumber(module, title);
    if (source == 0 || !record.LoadEvent(source))
        return DbError{ErrorNumber::Unknown, title + QStringLiteral(" is missing.")};
    const QDate held =
        QDate::fromString(module.event.fields[EventField::Date], QStringLiteral("yyyyMMdd"));
    if (!WholeEvent::prepareClone(module, record, dateNumber(held.addYears(1)).toInt()) ||
        record.SaveEvent(EventRecord::NewEvent) != EventRecord::Saved::Done)
        return DbError{ErrorNumber::Unknown, QStringLiteral("%1 could not be cloned.").arg(title)};
    return {};
}

} // namespace

// The club's two model contracts, made as an operator makes them in the
// contract builder from the shipped components.
Status addContracts(Module &module, SilentPorts &ports) {
    const ContractBuilder::EventTokens tokens = ContractBuilder::schemaEventTokens();
    module.event = CurrentEvent();
    ContractBuilder builder(module, tokens);
    if (!builder.open())
        return DbError{ErrorNumber::Unknown, QStringLiteral("The contract builder did not open.")};
    const std::pair<const char *, QStringList> contracts[] = {
        {"Wedding Reception",
         {"cbintro.txt", "cbmenu.txt", "cbterms.txt", "cbcancel.txt", "cbsignature.txt"}},
        {"Corporate Meeting", {"cbintro.txt", "cbterms.txt", "cbcancel.txt", "cbsignature.txt"}}};
    for (const auto &[description, files] : contracts) {
        ports.inputAnswers = {QString::fromLatin1(description)};
        builder.chooseContractEntry(1);
        // A new contract starts from the components shown: the last one's.
        ports.yesAnswers = 1;
        builder.moveComponent(ContractBuilder::ClearComponents);
        for (const QString &file : files) {
            const auto row = builder.componentFiles.indexOf(file);
            if (row < 0)
                return DbError{ErrorNumber::FileMissing,
                               QStringLiteral("The contract component %1 is missing.").arg(file)};
            builder.addComponentFile(int(row));
        }
        builder.moveComponent(ContractBuilder::SaveComponents);
        if (builder.NewContract)
            return DbError{ErrorNumber::Unknown,
                           QStringLiteral("The contract \"%1\" was not saved: %2")
                               .arg(QString::fromLatin1(description), ports.lastMessage)};
    }
    return {};
}

// What the kitchen and the floor work from for the events the office has
// planned in detail: each order saved as the order window saves one, then
// issued once, so its papers show revision 1.
struct DemoOrder {
    const char *event;
    const char *style;
    int tables;
    int seats;
    const char *linen, *danceFloor, *audioVisual, *setupNote;
    std::initializer_list<std::pair<const char *, const char *>> timeline;
    std::initializer_list<std::pair<const char *, int>> dietary;
    std::initializer_list<std::pair<int, const char *>>
        courses; // chosen, where not the department's
    const char *kitchen, *bar, *floor, *contact, *phone;
};

const DemoOrder DemoOrders[] = {
    {"Sullivan-Park Reception",
     "Banquet rounds",
     7,
     58,
     "Ivory, floor length; gold napkins",
     "21 x 21 ft, centre of the room",
     "Wireless microphone for the toasts; DJ power by the stage wall",
     "Head table for 8 facing the room. Cake table beside the dance floor, gift table at the door.",
     {{"18:00", "Guests arrive; champagne and hors d'oeuvres passed"},
      {"18:45", "Guests seated; wedding party introduced"},
      {"19:00", "Dinner served"},
      {"20:15", "Toasts, then the cake is cut"},
      {"20:45", "First dance; dancing until close"},
      {"23:30", "Last call at the bar"}},
     {{"Vegetarian (risotto)", 6}, {"Gluten-free", 3}, {"Nut allergy (table 4, seat 2)", 1}},
     {{109, "Reception"}, {110, "Reception"}, {204, "Reception"}, {504, "Dessert"}},
     "Salmon 30 and filet 28 as ordered; vegetarian plates are the vegetable risotto. No nuts "
     "in the plate or the dessert for table 4, seat 2.",
     "Champagne poured for the toast at 20:10. House brands until 23:30.",
     "Captain: Megan Gallagher. Serve the head table first; clear the dance floor by 20:40.",
     "Erin Walsh (planner)",
     "267-555-0190"},
    {"Meridian Financial Board Meeting",
     "Boardroom",
     1,
     14,
     "White",
     "",
     "Projector and screen; conference phone",
     "Water and notepads at every seat.",
     {{"07:30", "Breakfast buffet set in the room"},
      {"08:00", "Meeting starts"},
      {"10:00", "Coffee refreshed"},
      {"12:00", "Meeting ends"}},
     {{"Vegetarian", 2}},
     {{108, "Reception"}, {210, "Bar"}},
     "Breakfast buffet ready at 07:45.",
     "",
     "Quiet service: enter after 08:00 only for the 10:00 refresh.",
     "Karen Holt",
     "215-555-0190"},
    {"Halvorsen Engineering Holiday Party",
     "Reception",
     18,
     120,
     "Red and white",
     "21 x 21 ft, in front of the stage",
     "DJ booth stage left",
     "High-top tables around the dance floor; carving station on the east wall.",
     {{"18:30", "Doors open; shrimp cocktail passed"},
      {"19:30", "Carving station opens"},
      {"20:00", "DJ starts"},
      {"22:30", "Coffee and dessert"},
      {"23:00", "Bar closes"}},
     {{"Vegetarian", 15}, {"Gluten-free", 6}, {"Vegan", 4}},
     {{109, "Reception"}},
     "Carving station: prime rib for 180; vegetarian and vegan plates from the kitchen.",
     "Premium bar until 23:00; 8 bartender hours.",
     "Coat check at the door from 18:15.",
     "Greta Halvorsen",
     "215-555-0177"},
    {"Membership Committee Lunch",
     "Boardroom",
     1,
     12,
     "White",
     "",
     "",
     "",
     {{"12:30", "Lunch served"}, {"13:15", "Dessert and coffee"}, {"14:00", "Room cleared"}},
     {{"Vegetarian", 1}},
     {{114, "Dessert"}},
     "Chicken piccata for 11, one vegetable risotto.",
     "",
     "",
     "Club Secretary",
     "215-555-0100"},
};

// The course each department's items are served in, as the office sets it.
Status setUpCourses(Module &module) {
    auto evnt = module.databases.open(QStringLiteral("evnt"));
    if (!evnt)
        return evnt.error();
    return ClubSettings::write(**evnt, QString::fromLatin1(OrderLists::CourseByDepartmentSetting),
                               QStringLiteral("1=Main;2=Bar"));
}

// The event's order saved and issued, as the office does once its items
// are sold and before it is held and billed.
Status addEventOrder(Module &module, int number, const DemoOrder &demo, const QDate &today) {
    auto evnt = module.databases.open(QStringLiteral("evnt"));
    if (!evnt)
        return evnt.error();
    Database &db = **evnt;
    auto club = ClubSettings::read(db);
    if (!club)
        return club.error();
    EventOrder order;
    order.style = QString::fromUtf8(demo.style);
    order.tables = demo.tables;
    order.seats = demo.seats;
    order.linen = QString::fromUtf8(demo.linen);
    order.danceFloor = QString::fromUtf8(demo.danceFloor);
    order.audioVisual = QString::fromUtf8(demo.audioVisual);
    order.setupNote = QString::fromUtf8(demo.setupNote);
    for (const auto &[time, what] : demo.timeline)
        order.timeline << EventOrder::TimelineLine{QString::fromLatin1(time),
                                                   QString::fromUtf8(what)};
    for (const auto &[need, count] : demo.dietary)
        order.dietary << EventOrder::DietaryNeed{QString::fromUtf8(need), count};
    for (const auto &[item, course] : demo.courses)
        order.courses.insert(item, QString::fromUtf8(course));
    order.kitchenNote = QString::fromUtf8(demo.kitchen);
    order.barNote = QString::fromUtf8(demo.bar);
    order.floorNote = QString::fromUtf8(demo.floor);
    order.siteContact = QString::fromUtf8(demo.contact);
    order.sitePhone = QString::fromLatin1(demo.phone);
    const QDateTime at(today, QTime(9, 0));
    Transaction transaction(db);
    if (!transaction.begun())
        return transaction.begun();
    auto claimed = EventChanges::claim(db, number, std::nullopt, QStringLiteral("DEMO"), at);
    if (!claimed)
        return claimed.error();
    if (Status written = EventOrders::write(db, number, order); !written)
        return written;
    if (Status committed = transaction.commit(); !committed)
        return committed;
    return EventOrders::issue(db, number, OrderLists::from(*club), QStringLiteral("DEMO"), at)
        .status();
}

// The events whose payments the office keeps on a schedule from the club's
// terms: the deposit each was booked with is its first line, received;
// the accounting staff have posted the engagement dinner's.
const char *const Scheduled[] = {"Patel Engagement Dinner", "Sullivan-Park Reception"};
const char *const Posted = "Patel Engagement Dinner";

Status addSchedule(Module &module, int number, const QString &title, const QDate &today) {
    auto evnt = module.databases.open(QStringLiteral("evnt"));
    if (!evnt)
        return evnt.error();
    auto club = ClubSettings::read(**evnt);
    if (!club)
        return club.error();
    const EventPayments::Actor office{QStringLiteral("DEMO"), QDateTime(today, QTime(9, 0)), *club};
    auto applied = EventPayments::applyTerms(**evnt, number, PaymentTerms::from(*club), office);
    if (!applied)
        return applied.error();
    if (title != QLatin1String(Posted))
        return {};
    const EventPayments::Actor accounts{QStringLiteral("ACCT"), office.at, *club};
    return EventPayments::setPosted(**evnt, number, 1, true, accounts).status();
}

Status add(Module &module, SilentPorts &ports, const QDate &today) {
    auto settings = LoadConfiguration(module.databases);
    if (!settings)
        return settings.error();
    module.config = settings->settings;
    if (Status buttons = setUpButtons(module); !buttons)
        return buttons;
    if (Status courses = setUpCourses(module); !courses)
        return courses;
    // The ballroom takes an hour to clear after a booking.
    if (auto evnt = module.databases.open(QStringLiteral("evnt")); !evnt)
        return evnt.error();
    else if (Status buffered = RoomBuffers::write(**evnt, GrandBallroom, {0, 60}); !buffered)
        return buffered;
    BillingAccounts accounts(module);
    EventRecord record(module);
    const QDate thisMonth(today.year(), today.month(), 1);
    for (const Booking &booking : Bookings) {
        const bool fromToday = booking.month == Tomorrow || booking.month == Wednesdays;
        const QDate month = thisMonth.addMonths(fromToday ? 0 : booking.month);
        const QDate wednesday = today.addDays((Qt::Wednesday - today.dayOfWeek() + 6) % 7 + 1);
        const QDate date = booking.month == Tomorrow     ? today.addDays(booking.day)
                           : booking.month == Wednesdays ? wednesday.addDays(7 * booking.day)
                           : booking.day == 0 ? busySaturday(month).addDays(booking.besideSaturday)
                                              : QDate(month.year(), month.month(),
                                                      std::min(booking.day, month.daysInMonth()));
        // What has already happened has been billed; its items were sold
        // while it was still confirmed.
        const bool billed = date < today && booking.status >= 2 && booking.status <= 4;
        const int status = billed ? 4 : booking.status;
        record.ClearEvent();
        const int number = record.NextEventNumber();
        if (number <= 0)
            return DbError{ErrorNumber::Unknown, QStringLiteral("No event number was issued.")};
        CurrentEvent &event = module.event;
        auto &fields = event.fields;
        fields[EventField::Date] = dateNumber(date);
        fields[EventField::Title] = QString::fromUtf8(booking.title);
        fields[EventField::Start] = QString::fromLatin1(booking.start);
        fields[EventField::End] = QString::fromLatin1(booking.end);
        fields[EventField::Status] = QString::number(status);
        fields[EventField::Guests] = QString::number(booking.guests);
        fields[EventField::Guarantee] =
            status >= 4 ? QString::number(booking.guests - booking.guests / 10) : QString();
        fields[EventField::Member] = booking.account > 0 && booking.account < 2900
                                         ? QStringLiteral("1")
                                         : QStringLiteral("2");
        if (booking.account > 0) {
            fields[EventField::Account] = QString::number(booking.account);
            fillBilling(module, booking.account, event);
        }
        if (booking.billTo)
            fillBillTo(booking, event);
        fields[EventField::ContactName] = QString::fromUtf8(booking.contact);
        fields[EventField::ContactPhone1] = QString::fromLatin1(booking.phone);
        fields[EventField::ContactEmail] = QString::fromLatin1(booking.email);
        fields[EventField::Deposit] = QString::fromLatin1(booking.deposit);
        fields[EventField::BookedBy] = QStringLiteral("DEMO");
        fields[EventField::Created] = dateNumber(date < today ? date.addDays(-60) : today);
        fields[EventField::Notes] = QString::fromUtf8(booking.notes);
        if (booking.account == NewAccount && !accounts.CreateAccount(number))
            return DbError{ErrorNumber::Unknown,
                           QStringLiteral("No account for \"%1\": %2")
                               .arg(fields[EventField::Title], ports.lastMessage)};
        record.chooseRoom(booking.room);
        ports.yesAnswers = booking.overlapAccepted ? 1 : 0;
        const auto saved = record.SaveEvent(EventRecord::NewEvent);
        if (saved != EventRecord::Saved::Done)
            return DbError{ErrorNumber::Unknown,
                           QStringLiteral("The demo event \"%1\" could not be booked.")
                               .arg(fields[EventField::Title])};
        const Menu *menu = std::find_if(std::begin(Menus), std::end(Menus), [&](const Menu &m) {
            return QString::fromUtf8(m.event) == QString::fromUtf8(booking.title);
        });
        if (menu != std::end(Menus)) {
            if (Status sold = sell(module, record, number, *menu); !sold)
                return sold;
        }
        const DemoOrder *planned =
            std::find_if(std::begin(DemoOrders), std::end(DemoOrders), [&](const DemoOrder &o) {
                return QString::fromUtf8(o.event) == QString::fromUtf8(booking.title);
            });
        if (planned != std::end(DemoOrders)) {
            if (Status ordered = addEventOrder(module, number, *planned, today); !ordered)
                return ordered;
        }
        const bool scheduled =
            std::any_of(std::begin(Scheduled), std::end(Scheduled), [&](const char *title) {
                return QString::fromUtf8(title) == fields[EventField::Title];
            });
        if (scheduled && !billed) {
            if (Status paid = addSchedule(module, number, fields[EventField::Title], today); !paid)
                return paid;
        }
        if (billed) {
            if (Status done = bill(module, ports, number, fields[EventField::Account].toDouble());
                !done)
                return done;
        }
    }
    if (Status cloned = addClone(module, record); !cloned)
        return cloned;
    if (Status packaged = addWeddingPackage(module, record); !packaged)
        return packaged;
    record.ClearEvent();
    if (Status tasks = addTasks(module, today); !tasks)
        return tasks;
    return addContracts(module, ports);
}

} // namespace DemoSeason
