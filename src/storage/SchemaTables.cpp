#include "Schema.h"

// The tables themselves. Names are lower case throughout: both engines fold
// unquoted identifiers, and the suite's own spellings (Memo, Description,
// Comments, Todo) reach the same columns.

namespace Schema {

namespace {

Column column(const char *name, ColumnType type, int size, const char *description) {
    return Column{QString::fromLatin1(name), type, size, QString::fromUtf8(description)};
}

Column text(const char *name, int size, const char *description = "") {
    return column(name, ColumnType::Text, size, description);
}
Column memo(const char *name, const char *description = "") {
    return column(name, ColumnType::Memo, 0, description);
}
Column lng(const char *name, const char *description = "") {
    return column(name, ColumnType::Long, 0, description);
}
Column integer(const char *name, const char *description = "") {
    return column(name, ColumnType::Integer, 0, description);
}
Column dbl(const char *name, const char *description = "") {
    return column(name, ColumnType::Double, 0, description);
}
Column money(const char *name, const char *description = "") {
    return column(name, ColumnType::Currency, 0, description);
}

Index index(const QStringList &columns) {
    return Index{columns, false, QString()};
}
Index unique(const QStringList &columns, const char *where = "") {
    return Index{columns, true, QString::fromLatin1(where)};
}

Table table(const char *database, const char *name, const QList<Column> &columns,
            const QStringList &primaryKey = {}, const QList<Index> &indexes = {}) {
    return Table{QString::fromLatin1(database), QString::fromLatin1(name), columns, primaryKey,
                 indexes};
}

// ---- Column sets shared by a table and its copies ----------------------

// One line of an event's payment schedule; the report template keeps a copy
// for the contract and the client's bill.
QList<Column> eventPaymentColumns() {
    return {lng("eventnum", "Event number"),
            integer("line", "Line of the schedule; the first is the deposit"),
            text("what", 30, "What it is: Deposit, Second payment, Balance, ..."),
            lng("duedate", "Due date, YYYYMMDD"),
            money("amountdue", "Amount due"),
            lng("receiveddate", "Date received, YYYYMMDD; 0 until it is"),
            money("amountreceived", "Amount received"),
            text("reference", 30, "Cheque or card slip number"),
            text("recordedby", 30, "Operator who recorded the payment"),
            text("recordedat", 19, "When it was recorded, YYYY-MM-DD HH:MM:SS"),
            integer("posted", "1 once the accounting staff posted it to receivables"),
            text("postedby", 30, "Operator who marked it posted")};
}

// One booking. Box n of the event window edits column n, so the order is
// fixed; the descriptions are the boxes' tooltips.
QList<Column> eventInfoColumns() {
    return {
        lng("eventdate", "Date of the event, YYYYMMDD or MMDD for this year (F5: date look-up)"),
        text("eventtitle", 50, "Title of the event as it shows on the calendar"),
        lng("eventnum", "Event number, given out when a new event is begun"),
        text("starttime", 5, "Start time, HH:MM on the 24-hour clock (double-click: list)"),
        text("endtime", 5, "End time, HH:MM, or CLOSE for the end of the day (double-click: list)"),
        integer("status", "Status: 1 contact, 2 reserved, 3 w/deposit, 4 confirmed, 5 billed, "
                          "9 cancelled"),
        integer("setfor", "Number of guests the room is set for (expected guests)"),
        integer("guarantee", "Guaranteed number of guests"),
        integer("roomnumber", "Room number (F5 or double-click: room list)"),
        integer("memnonmem", "1 = member event, 2 = non-member event"),
        dbl("custid", "Billing account number, member or event (F5: account look-up)"),
        text("custname", 50, "Billing name"),
        text("custaddr1", 50, "Billing address, line 1"),
        text("custaddr2", 50, "Billing address, line 2"),
        text("custcity", 50, "Billing city"),
        text("custstate", 2, "Billing state, two letters"),
        text("custzip", 10, "Billing zip code"),
        text("custphone1", 12, "Billing phone 1 (digits are grouped as you leave the box)"),
        text("custphone2", 12, "Billing phone 2"),
        text("custfax", 12, "Billing fax"),
        text("custemail", 75, "Billing e-mail address"),
        text("contactname", 50, "Name of the contact person for the event"),
        text("contaddr1", 50, "Contact address, line 1"),
        text("contaddr2", 50, "Contact address, line 2"),
        text("contcity", 50, "Contact city"),
        text("contstate", 2, "Contact state, two letters"),
        text("contzip", 10, "Contact zip code"),
        text("contphone1", 12, "Contact phone 1 (digits are grouped as you leave the box)"),
        text("contphone2", 12, "Contact phone 2"),
        text("contfax", 12, "Contact fax"),
        text("contemail", 75, "Contact e-mail address"),
        money("deposit", "Deposit received, in dollars (not kept for statuses 1 and 2)"),
        text("bookedby", 30, "Operator who booked the event"),
        lng("createdate", "Date the event was created, YYYYMMDD (F5: date look-up)"),
        memo("notes", "Notes for the event"),
        memo("internalnotes", "Internal notes, not for the customer"),
    };
}

// Items sold to an event. The report copy takes the ten columns by position.
QList<Column> eventItemColumns() {
    return {
        lng("eventid", "Event number"),
        dbl("qty", "Quantity; fractions allowed"),
        lng("itemnum", "Inventory item number"),
        text("dept", 5, "Inventory department code"),
        text("itemdesc", 50, "Quantity, a blank and the inventory description"),
        money("cost", "Inventory unit cost"),
        money("price", "Extended price: quantity times unit price"),
        money("servchg", "Service charge of the row"),
        money("tax", "Sales tax of the row"),
        lng("glnum", "Sales general-ledger account the charge posts to"),
    };
}

QList<Column> locationColumns() {
    return {integer("roomnum", "Room number, 1 to 20"), text("room", 50, "Room name"),
            integer("capacity", "Seating capacity"),
            integer("subdiv", "Room this one is part of, 0 when none")};
}

QList<Column> companyColumns() {
    return {text("compname", 50, "Club name"),
            text("compaddr1", 50, "Address line 1"),
            text("compaddr2", 50, "Address line 2"),
            text("compcity", 30, "City"),
            text("compstate", 2, "State"),
            text("compzip", 10, "Zip code"),
            text("compphone1", 12, "Phone 1"),
            text("compphone2", 12, "Phone 2"),
            text("compfax", 12, "Fax"),
            text("compemail", 75, "E-mail address"),
            dbl("salestax", "Sales-tax factor, 0.07 = 7%")};
}

QList<Column> contractColumns() {
    return {
        integer("contractnum", "Contract number, 1 upwards"),
        text("contractdesc", 50, "Contract description, repeated on every row"),
        integer("ord", "Position of the component in the contract, 0 first"),
        text("cbfilename", 255, "Component file name in the club directory"),
    };
}

QList<Column> taskColumns() {
    return {
        lng("eventnumber", "Event the task belongs to"),
        lng("taskdate", "Date the task is due, YYYYMMDD"),
        text("todo", 1, "Y when the task is done, N when not"),
        text("task", 255, "What is to be done"),
        text("staff", 30, "Operator who last saved the task"),
    };
}

// Member accounts. The till copy is filled by position, so both share this
// order. Fixed by use: acctnumber (0), lname at 2 (new event accounts are
// named there), classcode, taxexempt, suspended, terminated, fname and the
// till price level at 28; the rest is our choice for the suite's table.
QList<Column> accountColumns() {
    return {
        dbl("acctnumber", "Account number, #####.##"),
        text("fname", 30, "First name"),
        text("lname", 50, "Last name, or the account's name"),
        text("classcode", 5, "Membership class code"),
        text("billcode", 5, "Billing code"),
        integer("taxexempt", "1 = tax exempt"),
        integer("suspended", "1 = charging privileges suspended"),
        integer("terminated", "1 = membership terminated"),
        lng("joindate", "Date joined, YYYYMMDD"),
        lng("termdate", "Date terminated, YYYYMMDD"),
        lng("birthdate", "Date of birth, YYYYMMDD"),
        text("title", 10, "Title (Mr., Mrs., Dr.)"),
        text("salutation", 50, "Salutation for letters"),
        text("spousefname", 30, "Spouse's first name"),
        text("spouselname", 50, "Spouse's last name"),
        money("creditlimit", "Charge limit, 0 for none"),
        money("minimumamt", "Monthly spending minimum"),
        money("balance", "Current balance"),
        lng("lastchargedate", "Date of the last charge, YYYYMMDD"),
        lng("lastpaydate", "Date of the last payment, YYYYMMDD"),
        money("lastpayment", "Amount of the last payment"),
        integer("printstatement", "1 = mail a printed statement"),
        integer("emailstatement", "1 = e-mail the statement"),
        integer("autopay", "1 = paid by bank draft"),
        integer("chargeok", "1 = may charge at the tills"),
        text("posmessage", 50, "Message shown at the tills for this account"),
        text("cardnumber", 20, "Member card number"),
        dbl("sponsor", "Account number of the sponsoring member"),
        integer("pricelevel", "Till price level: 1 = alternative retail prices"),
    };
}

// Employees; the till copy is filled by name. Every column is fixed by use.
QList<Column> employeeColumns() {
    return {
        lng("empid", "Employee number, 1 to 9999"),
        text("emplname", 30, "Last name"),
        text("empfname", 20, "First name"),
        text("empmainname", 50, "Name as shown at the tills"),
        text("empphone1", 12, "Phone 1"),
        text("empphone2", 12, "Phone 2"),
        text("empstatus", 2, "1 = active"),
        integer("operator", "Till operator number"),
        integer("accessnum", "Till access level"),
        lng("pword", "Till password number; negative locks the employee out"),
    };
}

// Inventory; the till copy is filled by position. Fixed by use: every column
// but onhand, which is our choice for the suite's table.
QList<Column> inventoryColumns() {
    return {
        lng("itemnumber", "Item number"),
        text("description", 50, "Item description"),
        text("dept", 5, "Department code"),
        money("unitcost", "Unit cost"),
        money("avgcost", "Average unit cost"),
        money("retail", "Retail price"),
        money("altretail", "Alternative retail price"),
        dbl("taxpct", "Sales-tax factor, 0.07 = 7%"),
        dbl("scpct", "Service-charge factor, 0.18 = 18%"),
        lng("glsales", "Sales account"),
        lng("glpurch", "Purchases account"),
        lng("glcogs", "Cost-of-goods account"),
        lng("gldisc", "Discount account"),
        text("arcodes", 4, "Receivables codes: minimum, prepaid, instalment, to-total"),
        text("upccode", 20, "Bar code"),
        dbl("onhand", "Quantity on hand"),
    };
}

// A till's sale buttons. Fixed by use: btype to bupccode; bnumber and
// bcaption are our choice.
QList<Column> buttonColumns() {
    return {
        integer("bnumber", "Button position on the till screen"),
        text("bcaption", 20, "Button caption"),
        integer("btype", "Button kind; 3 and 4 sell an inventory item"),
        lng("bitemnumber", "Inventory item number"),
        text("bdeptcode", 5, "Department code"),
        money("bcost", "Cost"),
        money("bretail", "Retail price"),
        money("bretail1", "Price typed on the button; 0 takes the inventory prices"),
        money("baltretail", "Alternative retail price"),
        dbl("btaxpct", "Sales-tax factor"),
        dbl("bscpct", "Service-charge factor"),
        lng("bglsales", "Sales account"),
        lng("bglexp", "Purchases account"),
        lng("bglcogs", "Cost-of-goods account"),
        lng("bgldisc", "Discount account"),
        text("bcodes", 4, "Receivables codes"),
        text("bupccode", 20, "Bar code"),
    };
}

// One receivables charge; daily work area and month file share the shape.
// Every column is fixed by use.
QList<Column> chargeColumns() {
    return {
        lng("aracctnum", "Receivables account"),
        text("architnum", 10, "Item number of the charge (EV + event number)"),
        lng("architdate", "Charge date, YYYYMMDD"),
        dbl("armemberacctnum", "Member account charged"),
        dbl("architemployee", "Employee credited"),
        integer("architcovers", "Covers"),
        money("architbase", "Amount before service charge and tax"),
        money("architsrvchg", "Service charge"),
        money("archittax", "Sales tax"),
        money("archittotal", "Total"),
        integer("mincode", "Applies to the member's minimum"),
        integer("totalcode", "Goes to the total"),
        integer("ppcode", "Prepaid code"),
        integer("installcode", "Instalment code"),
        text("batch", 10, "Batch (daily work area)"),
        text("validated", 1, "P = posted (month file)"),
        text("memo", 40, "Charge description"),
        integer("tendtype", "Tender type; 9 = event billing"),
    };
}

// ---- evnt.mdb ------------------------------------------------------------

void addEventTables(QList<Table> &t) {
    // One row per booking.
    // Event numbers are unique; rows below 1 are the unsaved rows that
    // beginning a new event clears away, and may repeat. A partial index
    // serves no "eventnum = ?" lookup (the engine cannot tell that the value
    // is above 0), so the number has a plain index as well.
    t << table("evnt", "eventinfo", eventInfoColumns(), {},
               {unique({"eventnum"}, "eventnum > 0"), index({"eventnum"}), index({"eventdate"}),
                index({"custid"})});

    // One row per quarter-hour; Event<n>/Room<n> pairs are added per room.
    t << table("evnt", "reserv",
               {lng("resdate", "Date, YYYYMMDD"), text("restime", 5, "Slot start, HH:MM")}, {},
               {unique({"resdate", "restime"})});

    // Function rooms; roomnum names the room's pair of reservation columns.
    t << table("evnt", "location", locationColumns(), {"roomnum"});

    t << table("evnt", "items", eventItemColumns(), {}, {index({"eventid"})});

    // Multi-event packages; the heading event has pkgnum = eventnum. An
    // event belongs to one package at most.
    t << table("evnt", "pkg",
               {lng("pkgnum", "Package number: the heading event's number"),
                lng("eventnum", "Member event"), lng("eventdate", "Copy of the event's date"),
                text("eventtitle", 50, "Copy of the event's title")},
               {}, {index({"pkgnum"}), unique({"eventnum"}, "eventnum > 0"), index({"eventnum"})});

    // Contract definitions, one row per component and position; rows below
    // contract 1 are unsaved and may repeat.
    t << table("evnt", "cbuilder", contractColumns(), {},
               {unique({"contractnum", "ord"}, "contractnum > 0"), index({"contractnum"})});

    t << table("evnt", "tasklist", taskColumns(), {},
               {index({"eventnumber"}), index({"taskdate"})});

    // Each event's change count: every write that concerns the event raises
    // it, and a write made from an older copy of the event is refused. The
    // row of a deleted event stays, naming who deleted it.
    t << table("evnt", "eventchange",
               {lng("eventnum", "Event number"),
                lng("changecount", "How often the event has been written"),
                text("changedby", 30, "Operator of the last write"),
                text("changedat", 19, "Time of the last write, YYYY-MM-DD HH:MM:SS")},
               {"eventnum"});

    // The club's own settings, by name, and each room's: this program's,
    // where the suite's settings tables in config and the room table keep
    // the suite's columns only.
    t << table("evnt", "clubsetting",
               {text("name", 40, "Setting"), text("value", 255, "Its value, as text")}, {"name"});
    t << table("evnt", "roomsetting",
               {lng("roomnum", "Room number"), text("name", 40, "Setting"),
                text("value", 255, "Its value, as text")},
               {"roomnum", "name"});

    // The event order beside each event: its set-up, service notes and the
    // record of its last issue; its timeline, dietary counts and the course
    // each item is served in.
    t << table(
        "evnt", "eventorder",
        {lng("eventnum", "Event number"),
         text("setupstyle", 40, "Set-up style: banquet rounds, theatre, ... or the club's own"),
         lng("tablecount", "Tables set"), lng("seatcount", "Seats set"), text("linen", 50, "Linen"),
         text("stage", 50, "Stage"), text("dancefloor", 50, "Dance floor"),
         text("audiovisual", 100, "Audio-visual"), memo("setupnote", "Set-up note"),
         memo("kitchennote", "Notes for the kitchen"), memo("barnote", "Notes for the bar"),
         memo("floornote", "Notes for the floor"),
         text("sitecontact", 50, "On-site contact on the day"),
         text("sitephone", 20, "On-site contact's phone"),
         lng("revision", "Revision last issued, 0 before the first issue"),
         text("issuedat", 19, "Time of the last issue, YYYY-MM-DD HH:MM:SS"),
         text("issuedby", 30, "Operator who issued it"),
         text("issuedchanged", 100, "Sections changed in that revision"),
         memo("issuedprints", "Fingerprints of the sections as issued")},
        {"eventnum"});
    t << table("evnt", "eventordertime",
               {lng("eventnum", "Event number"), integer("ord", "Line of the timeline"),
                text("attime", 5, "Time, HH:MM"), text("what", 100, "What happens")},
               {"eventnum", "ord"});
    t << table("evnt", "eventorderdiet",
               {lng("eventnum", "Event number"), integer("ord", "Line of the counts"),
                text("need", 40, "Dietary need"), lng("guests", "Guests with that need")},
               {"eventnum", "ord"});
    t << table("evnt", "eventordercourse",
               {lng("eventnum", "Event number"), lng("itemnum", "Inventory item number"),
                text("course", 30, "Course the item is served in")},
               {"eventnum", "itemnum"});

    // The payment schedule of each event: what is due when, and what was
    // received against it. The lines are the record; the event's deposit
    // column mirrors what its first line received.
    t << table("evnt", "eventpayment", eventPaymentColumns(), {"eventnum", "line"},
               {index({"duedate"})});

    // Repeated bookings: each copy made by a repeat, and its original, under
    // the original's number. Kept apart from the packages, so an event can
    // be in a series and a package.
    t << table("evnt", "eventseries",
               {lng("eventnum", "Event number"),
                lng("seriesnum", "The series: its original event's number"),
                text("rule", 100, "The repeat that made it, in words")},
               {"eventnum"}, {index({"seriesnum"})});

    // The columns' descriptions, which the event window shows as tooltips.
    // Filled from the descriptions here when the database is created, and
    // a club may reword them.
    t << table("evnt", "fielddesc",
               {text("tablename", 30, "Table"), text("fieldname", 64, "Column"),
                text("description", 255, "What the column holds")},
               {"tablename", "fieldname"});
}

// ---- config.mdb (one-row settings tables) -----------------------------------

void addConfigTables(QList<Table> &t) {
    // The club's identity and sales tax. Every column is fixed by use.
    t << table("config", "company", companyColumns());

    // This module's settings. Every column is fixed by use.
    t << table("config", "evmgr",
               {integer("evaccess0", "Lowest level that may run the module"),
                integer("evaccess1", "Lowest level that may change events"),
                integer("evaccess2", "Lowest level for rooms, year set-up, billing"),
                integer("evaccess3", "Administrator level"),
                text("ccode", 5, "Class code of new event accounts"),
                text("bcode", 5, "Billing code of new event accounts"),
                dbl("rangefrom", "First account number for new event accounts"),
                dbl("rangeto", "Last account number for new event accounts"),
                text("timefrom", 5, "First time slot of the day, HH:MM"),
                text("timeto", 5, "Last time slot of the day, HH:MM"),
                text("status1", 30, "Name of status 1"), text("status2", 30, "Name of status 2"),
                text("status3", 30, "Name of status 3"), text("status4", 30, "Name of status 4"),
                text("status5", 30, "Name of status 5"),
                integer("billing", "0 = bill to the A/R work area, 1 = to the month file")});

    // Receivables settings. Every column is fixed by use.
    t << table("config", "ar",
               {text("deptorstax", 1, "Tax on service charge: S club rate, D item rate"),
                text("taxscyesno", 1, "Y = the service charge is taxed"),
                dbl("sctaxpct", "Taxable fraction of the service charge"), integer("araccess0"),
                integer("araccess1"), integer("araccess2"), integer("araccess3"),
                integer("arperiod", "Receivables period"), integer("aryear", "Receivables year")});

    // Point-of-sale set-up; the till-count column's name is our choice.
    t << table("config", "pos", {integer("tillcount", "Number of tills")});
}

// ---- rpt00.sys, the report template -----------------------------------------

// The papers of the event orders (the order itself, the function sheet,
// the kitchen production): the module writes them as they print, dates,
// times and the revision in the club's words, so that the layouts only
// place them.
void addOrderReportTables(QList<Table> &t) {
    t << table("rpt", "orderhead",
               {lng("eventnum", "Event number"),
                integer("seq", "Place of the event on the paper"),
                lng("eventdate", "Date, YYYYMMDD"),
                text("datetext", 60, "Date as the club writes it in letters"),
                integer("dayfirst", "1 on the first event of its day"),
                text("eventtitle", 50, "Title of the event"),
                text("roomname", 50, "Room"),
                text("starttime", 20, "Start time as the club writes it"),
                text("endtime", 20, "End time as the club writes it"),
                lng("setfor", "Guests the room is set for; empty for none"),
                lng("guarantee", "Guaranteed guests; empty for none"),
                text("contact", 50, "Contact"),
                text("phone", 20, "Contact's phone"),
                text("sitecontact", 50, "On-site contact"),
                text("sitephone", 20, "On-site phone"),
                text("setupstyle", 40, "Set-up style"),
                lng("tablecount", "Tables; empty for none"),
                lng("seatcount", "Seats; empty for none"),
                text("tablesseats", 40, "Tables and seats in words: \"1 table, 12 seats\""),
                text("linen", 50, "Linen"),
                text("stage", 50, "Stage"),
                text("dancefloor", 50, "Dance floor"),
                text("audiovisual", 100, "Audio-visual"),
                memo("setupnote", "Set-up note"),
                integer("hassetup", "1 when any of the set-up is given"),
                memo("kitchennote", "Notes for the kitchen"),
                memo("barnote", "Notes for the bar"),
                memo("floornote", "Notes for the floor"),
                integer("hasnotes", "1 when any of the three notes is given"),
                lng("dietarytotal", "Guests with a dietary need"),
                lng("guests", "Guests the dietary counts are held against"),
                integer("revision", "Revision last issued, 0 for none"),
                text("revisionline", 120, "\"Revision 2, issued ... by ...\" or what the draft is"),
                text("markevent", 40, "Mark of a changed event section; empty when unchanged"),
                text("marktimeline", 40, "Mark of a changed timeline"),
                text("marksetup", 40, "Mark of a changed set-up"),
                text("markmenu", 40, "Mark of a changed menu"),
                text("markdietary", 40, "Mark of changed dietary counts"),
                text("markservice", 40, "Mark of changed service notes")});
    t << table("rpt", "ordertime",
               {lng("eventnum", "Event number"), integer("ord", "Line of the timeline"),
                text("attime", 20, "Time as the club writes it"),
                text("what", 100, "What happens")});
    t << table("rpt", "ordermenu",
               {lng("eventnum", "Event number"), integer("ord", "Line of the menu"),
                integer("courserank", "Place of the course in the club's list"),
                text("course", 30, "Course; Other for none"), text("qty", 20, "Quantity"),
                lng("itemnum", "Inventory item number"),
                text("description", 50, "Item, without its quantity"), money("price", "Price"),
                money("servchg", "Service charge"), money("tax", "Tax"),
                money("total", "Price, service charge and tax")});
    t << table("rpt", "orderdiet",
               {lng("eventnum", "Event number"), integer("ord", "Line of the counts"),
                text("need", 40, "Dietary need"), lng("guests", "Guests with that need")});
    // Kitchen production: one row per course and item over the events.
    t << table("rpt", "orderprod",
               {integer("ord", "Line of the paper"),
                integer("courserank", "Place of the course in the club's list"),
                text("course", 30, "Course; Other for none"),
                lng("itemnum", "Inventory item number"),
                text("description", 50, "Item, without its quantity"),
                text("qty", 20, "Quantity of all the events"),
                memo("events", "The events and their quantities: \"#12 Park Reception 30; ...\"")});
}

// The papers of the payment schedules: the contract's and the client's bill's
// copy of the event's lines, the bill's balance worked out in the module's
// money, and one row per line for the listings of payments due and of
// payments not yet posted, dates written as the club writes them.
void addPaymentReportTables(QList<Table> &t) {
    t << table("rpt", "eventpayment", eventPaymentColumns());
    t << table("rpt", "paybalance",
               {lng("eventnum", "Event number"),
                money("priced", "The items' price, service charge and tax"),
                money("received", "Every payment received"),
                money("balancedue", "What is still owed; empty when more was received"),
                money("credit", "What was received beyond the priced total; empty for none")});
    t << table("rpt", "paylist",
               {integer("ord", "Line of the paper"), lng("eventnum", "Event number"),
                text("eventtitle", 50, "Title of the event"),
                text("eventdate", 20, "Date of the event as the club writes it"),
                text("statusname", 30, "The event's status"), text("contact", 50, "Contact"),
                text("phone", 20, "Contact's phone"),
                dbl("custid", "Billing account; empty for none"),
                text("custname", 50, "Name on the billing account"),
                text("what", 30, "What the line is: Deposit, Second payment, ..."),
                text("duedate", 20, "Due date as the club writes it"),
                money("amountdue", "Amount due"), money("outstanding", "What is still owed"),
                text("overdue", 20, "OVERDUE when due before the paper's first day or today"),
                text("receiveddate", 20, "Date received as the club writes it"),
                money("amountreceived", "Amount received"),
                text("reference", 30, "Cheque or card slip number"),
                text("recordedby", 30, "Operator who recorded the payment")});
}

void addReportTables(QList<Table> &t) {
    // Heading lines of every listing; the template holds one row.
    t << table("rpt", "headings",
               {text("ctlcompname", 30, "Club name"), text("ctlauxtitle", 80, "Subtitle"),
                text("ctlseq", 40, "Sort order"), text("ctlselect", 40, "Selection"),
                text("ctllinetop", 250, "Optional top line")});

    // Copies filled by position from evnt.
    t << table("rpt", "eventinfo", eventInfoColumns());
    t << table("rpt", "eventitems", eventItemColumns());

    // Quarter-hours in which a room and the room it is part of are both booked.
    t << table("rpt", "eventreserv",
               {lng("resdate", "Date, YYYYMMDD"), text("restime", 5, "Slot start, HH:MM"),
                lng("event1", "Event in the larger room"),
                text("room1", 50, "Booking text of the larger room"),
                lng("event2", "Event in the part room"),
                text("room2", 50, "Booking text of the part room")});

    // Contract text (acctnumber = event, billto = contract) and the e-mail list
    // (acctnumber = event, names and addresses of the contact).
    t << table("rpt", "master",
               {dbl("acctnumber", "Event number"), text("lname", 50, "Last name"),
                text("fname", 30, "First name"), text("email1", 75, "E-mail address"),
                text("email2", 75, "E-mail address"), text("email3", 75, "E-mail address"),
                lng("billto", "Contract number"), memo("comments", "Assembled contract text")});

    t << table("rpt", "cbuilder", contractColumns());
    // The club's name and address for the letters that print them (contracts).
    t << table("rpt", "company", companyColumns());
    // The rooms, so that listings print a room's name.
    t << table("rpt", "location", locationColumns());
    t << table("rpt", "tasklist", taskColumns());
    // The inventory departments by name, as the items window's buttons name
    // them, so that item listings print a department's name.
    t << table("rpt", "department",
               {text("dept", 5, "Inventory department code"),
                text("deptname", 50, "Department name: the caption of its button")});

    addOrderReportTables(t);
    addPaymentReportTables(t);
}

// ---- user.mdb -----------------------------------------------------------------

void addUserTables(QList<Table> &t) {
    // Operators. Fixed by use: username to memomail; fullname and userlevel
    // are our choice for the suite's table.
    t << table("user", "staff",
               {text("username", 30, "Log-in name, compared upper-cased"),
                text("location", 30, "Where the operator is working"),
                text("work", 30, "What the operator is working on"),
                integer("sysuser", "Operator number; names the operator's work files"),
                text("localdrive", 100, "Operator's local drive path"),
                integer("memomail", "1 = receives memo mail"), text("fullname", 50, "Full name"),
                integer("userlevel", "Access level")},
               {"username"});
}

// ---- master.mdb and the second master database ----------------------------------

void addMemberTables(QList<Table> &t) {
    t << table("master", "acctinfo", accountColumns(), {"acctnumber"});

    // Name, address and phones per account. Positions 0 to 20 are fixed by
    // use (the event's billing and contact blocks); the names are our choice.
    t << table("master", "address",
               {dbl("acctnumber", "Account number"),
                text("mailname", 50, "Name"),
                text("mailaddr1", 50, "Address line 1"),
                text("mailaddr2", 50, "Address line 2"),
                text("mailcity", 50, "City"),
                text("mailstate", 2, "State"),
                text("mailzip", 10, "Zip code"),
                text("mailphone1", 12, "Phone 1"),
                text("mailphone2", 12, "Phone 2"),
                text("mailfax", 12, "Fax"),
                text("mailemail", 75, "E-mail address"),
                text("altname", 50, "Second name"),
                text("altaddr1", 50, "Second address line 1"),
                text("altaddr2", 50, "Second address line 2"),
                text("altcity", 50, "Second city"),
                text("altstate", 2, "Second state"),
                text("altzip", 10, "Second zip code"),
                text("altphone1", 12, "Second phone 1"),
                text("altphone2", 12, "Second phone 2"),
                text("altfax", 12, "Second fax"),
                text("altemail", 75, "Second e-mail address")},
               {"acctnumber"});

    // Class codes. Fixed by use: classcode, description; dues is our choice.
    t << table("master", "classcode",
               {text("classcode", 5, "Class code"), text("description", 30, "Class name"),
                money("dues", "Monthly dues")},
               {"classcode"});

    // Finance-charge settings per account. Fixed by use: acctnumber.
    t << table("master", "interesta",
               {dbl("acctnumber", "Account number"),
                integer("chargeinterest", "1 = charge interest on overdue balances"),
                dbl("interestrate", "Yearly interest rate, 0.18 = 18%"),
                integer("gracedays", "Days before interest is charged"),
                money("mininterest", "Smallest interest charge"),
                lng("lastcharged", "Date interest was last charged, YYYYMMDD")},
               {"acctnumber"});

    // Free comments per account. Fixed by use: acctnumber.
    t << table("master", "comments",
               {dbl("acctnumber", "Account number"), memo("comments", "Comments")}, {"acctnumber"});

    // Receivables balances per account. Fixed by use: acctnumber.
    t << table("master2", "ar",
               {dbl("acctnumber", "Account number"), money("arbalance", "Balance"),
                money("arcurrent", "Current charges"), money("ar30", "Over 30 days"),
                money("ar60", "Over 60 days"), money("ar90", "Over 90 days"),
                lng("arlastpaydate", "Date of the last payment, YYYYMMDD"),
                money("arlastpayment", "Last payment"), money("arytdcharges", "Charges this year")},
               {"acctnumber"});
}

// ---- emp, ar, daily, invntory ---------------------------------------------------

void addSuiteTables(QList<Table> &t) {
    t << table("emp", "empinfo", employeeColumns(), {"empid"});

    // Receivables charge codes. Fixed by use: all but ardesc.
    t << table("ar", "ar0",
               {lng("aracctnum", "Receivables account"), text("ardesc", 30, "Description"),
                integer("arapplytominimum", "Applies to the member's minimum"),
                integer("artototal", "Goes to the total"), integer("arppcode", "Prepaid code"),
                integer("arinstallcode", "Instalment code"),
                dbl("arsrvchg", "Service-charge factor"), dbl("arsalestax", "Sales-tax factor")},
               {"aracctnum"});

    t << table("daily", "ardaily", chargeColumns(), {}, {index({"armemberacctnum"})});
    t << table("daily", "armonthly", chargeColumns(), {}, {index({"armemberacctnum"})});

    t << table("invntory", "items", inventoryColumns(), {"itemnumber"},
               {index({"dept"}), index({"glsales"})});
}

// ---- point-of-sale copies ------------------------------------------------------

void addPointOfSaleTables(QList<Table> &t) {
    t << table("qnposmem", "acctinfo", accountColumns(), {"acctnumber"});
    t << table("qnposemp", "empinfo", employeeColumns(), {"empid"});
    t << table("qnposinv", "items", inventoryColumns(), {"itemnumber"});
    // A new club has one till; further tills get buttondefNN of the same shape.
    t << table("qnposh", "buttondef01", buttonColumns());
    t << table("qnposh", "optiondef", buttonColumns());
}

// Every database records which upgrade steps it has had.
void addVersionTables(QList<Table> &t) {
    for (const QString &database : databases())
        t << Table{database,
                   QStringLiteral("schemaversion"),
                   {lng("version", "Last upgrade step this database has had")},
                   {},
                   {}};
}

QList<Table> buildTables() {
    QList<Table> t;
    addEventTables(t);
    addConfigTables(t);
    addUserTables(t);
    addMemberTables(t);
    addSuiteTables(t);
    addPointOfSaleTables(t);
    addReportTables(t);
    addVersionTables(t);
    return t;
}

} // namespace

QString Index::name(const QString &table) const {
    return table + QLatin1Char('_') + columns.join(QLatin1Char('_')) +
           (unique ? QLatin1String("_uq") : QLatin1String("_ix"));
}

int Table::columnIndex(const QString &column) const {
    for (qsizetype i = 0; i < columns.size(); ++i) {
        if (columns.at(i).name.compare(column, Qt::CaseInsensitive) == 0)
            return int(i);
    }
    return -1;
}

int Table::textSize(const QString &column) const {
    const int index = columnIndex(column);
    return index < 0 ? 0 : columns.at(index).size;
}

QStringList databases() {
    return {"evnt",  "config",   "user",     "master",   "master2",  "emp",    "ar",
            "daily", "invntory", "qnposmem", "qnposemp", "qnposinv", "qnposh", "rpt"};
}

const QList<Table> &tables() {
    static const QList<Table> all = buildTables();
    return all;
}

QList<Table> tablesOf(const QString &database) {
    QList<Table> result;
    for (const Table &t : tables()) {
        if (t.database.compare(database, Qt::CaseInsensitive) == 0)
            result << t;
    }
    return result;
}

const Table *findTable(const QString &database, const QString &table) {
    for (const Table &t : tables()) {
        if (t.database.compare(database, Qt::CaseInsensitive) == 0 &&
            t.name.compare(table, Qt::CaseInsensitive) == 0)
            return &t;
    }
    return nullptr;
}

int providerTypeCode(ColumnType type) {
    switch (type) {
    case ColumnType::Text:
        return 202;
    case ColumnType::Memo:
        return 203;
    case ColumnType::Long:
        return 3;
    case ColumnType::Integer:
        return 2;
    case ColumnType::Double:
        return 5;
    case ColumnType::Currency:
        return 6;
    case ColumnType::DateTime:
        return 7;
    case ColumnType::Binary:
        return 205;
    }
    return 202;
}

bool isTextType(ColumnType type) {
    return type == ColumnType::Text || type == ColumnType::Memo;
}

} // namespace Schema
