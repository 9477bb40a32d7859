#include "DemoData.h"

#include "storage/Databases.h"
#include "storage/Schema.h"
#include "storage/Transaction.h"

#include <QStringList>
#include <QVariantList>
#include <span>

namespace DemoData {

namespace {

using Row = QVariantList;

// The rows of one table, each value at its column's stored position.
struct TableRows {
    QString table;
    QList<Row> rows;
};

int ymd(const QDate &date) {
    return date.year() * 10000 + date.month() * 100 + date.day();
}

// Money computed here is kept to whole cents, as the ledger would hold it.
double cents(double value) {
    return qRound64(value * 100) / 100.0;
}

QString str(const char *value) {
    return QString::fromUtf8(value ? value : "");
}

// Every table of one database in one transaction. Each row fills every column
// so that nothing is left Null: the till export selects "terminated = 0".
Status insertRows(Databases &databases, const QString &database, const QList<TableRows> &tables) {
    auto db = databases.open(database);
    if (!db)
        return db.status();
    Database &connection = *db.value();
    Transaction transaction(connection);
    if (!transaction.begun())
        return transaction.begun();
    for (const TableRows &rows : tables) {
        const Schema::Table *table = Schema::findTable(database, rows.table);
        if (!table)
            return DbError{ErrorNumber::TableMissing,
                           QStringLiteral("No table %1 in %2").arg(rows.table, database)};
        QStringList names, marks;
        for (const Schema::Column &column : table->columns) {
            names << column.name;
            marks << QStringLiteral("?");
        }
        auto query = connection.prepare(QStringLiteral("insert into %1 (%2) values (%3)")
                                            .arg(table->name, names.join(", "), marks.join(", ")));
        if (!query)
            return query.status();
        for (const Row &row : rows.rows) {
            if (row.size() != names.size())
                return DbError{ErrorNumber::FieldMissing,
                               QStringLiteral("%1: wrong number of values").arg(table->name)};
            for (qsizetype i = 0; i < row.size(); ++i)
                query->bindValue(int(i), row.at(i));
            if (Status status = connection.exec(*query); !status)
                return status;
        }
    }
    return transaction.commit();
}

// ---- Member accounts ----------------------------------------------------------

struct MemberClass {
    const char *code;
    const char *description;
    double dues, creditLimit, minimum; // minimum: monthly food and beverage spending
};

std::span<const MemberClass> memberClasses() {
    // "EV" is the class the event window gives the accounts it creates.
    static const MemberClass classes[] = {
        {"FG", "Full Golf", 685.00, 5000.00, 150.00},
        {"SR", "Senior Golf", 450.00, 3000.00, 100.00},
        {"SOC", "Social", 195.00, 2500.00, 75.00},
        {"JR", "Junior Golf (under 35)", 240.00, 1000.00, 50.00},
        {"CORP", "Corporate", 950.00, 10000.00, 300.00},
        {"ORG", "Community Organization", 0.00, 2500.00, 0.00},
        {"HOUSE", "House Account", 0.00, 0.00, 0.00},
        {"EV", "Event Account", 0.00, 0.00, 0.00},
    };
    return classes;
}

const MemberClass &memberClass(const char *code) {
    for (const MemberClass &c : memberClasses())
        if (qstrcmp(c.code, code) == 0)
            return c;
    return memberClasses().back();
}

Status addMembers(Databases &databases, const QDate &today) {
    enum Flag { TaxExempt = 1, Suspended = 2, Terminated = 4, AltPrice = 8 };
    // clang-format off
    struct Town { const char *city, *state, *zip; };
    static const Town towns[] = {
        {"Maple Glen", "PA", "19002"}, {"Ambler", "PA", "19002"}, {"Blue Bell", "PA", "19422"},
        {"Fort Washington", "PA", "19034"}, {"Horsham", "PA", "19044"}, {"Dresher", "PA", "19025"},
        {"Philadelphia", "PA", "19103"},
    };
    // Organisations have no first name; their second address block is the
    // person who books their events. Ages and years are counted back from today.
    struct Name { const char *title, *fname, *lname, *spouse; };
    struct Address {
        const char *street, *street2; int town; const char *phone, *phone2, *fax, *email;
    };
    struct Contact { const char *name = nullptr, *phone = nullptr, *email = nullptr; };
    struct Account {
        int number;
        const char *classCode;
        Name name;
        int flags, yearsJoined, age, sponsor;
        double balance, pastDue;
        Address address;
        Contact contact = {};
        const char *comment = nullptr;
    };
    static const Account accounts[] = {
        {1001, "FG", {"Mr.", "Robert", "Whitaker", "Ellen"}, 0, 24, 63, 0, 412.36, 0,
         {"27 Fairway Lane", "", 0, "215-555-0141", "267-555-0112", "", "rwhitaker@example.com"},
         {}, "Past club president; family dinners in the Fairway Dining Room."},
        {1004, "FG", {"Mr.", "Marcus", "Delgado", "Ana"}, 0, 9, 48, 0, 186.20, 0,
         {"1412 Limekiln Pike", "", 0, "215-555-0143", "267-555-0119", "", "mdelgado@example.com"}},
        {1012, "FG", {"Dr.", "David", "Chen", "Lisa"}, 0, 12, 52, 0, 927.45, 0,
         {"318 Butler Pike", "", 1, "215-555-0152", "267-555-0125", "", "dchen@example.com"},
         {}, "Hosts the member-guest dinner every April."},
        {1027, "FG", {"Mr.", "Patrick", "O'Brien", "Maureen"},
         Suspended, 15, 58, 0, 1842.65, 1385.20,
         {"902 Norristown Rd", "", 4, "215-555-0157", "267-555-0131", "", "pobrien@example.com"},
         {}, "Charging suspended by the board: balance over 90 days. Payment plan under review."},
        {1033, "FG", {"Mr.", "Thomas", "Hargrove", nullptr}, 0, 31, 74, 0, 96.80, 0,
         {"55 Dreshertown Rd", "", 5, "215-555-0160", "", "", "thargrove@example.com"}},
        {1041, "FG", {"Mr.", "Anil", "Patel", "Priya"}, 0, 6, 45, 0, 538.10, 0,
         {"16 Cedar Hill Rd", "", 0, "215-555-0164", "267-555-0137", "", "apatel@example.com"},
         {}, "Daughter's wedding reception planned for next fall."},
        {1058, "FG", {"Dr.", "Margaret", "Sullivan", nullptr}, 0, 18, 59, 0, 244.00, 0,
         {"740 Welsh Rd", "", 2, "215-555-0166", "267-555-0140", "", "msullivan@example.com"}},
        {1066, "FG", {"Mr.", "Stanley", "Kowalski", "Janet"}, Terminated, 27, 71, 0, 0.00, 0,
         {"1093 Susquehanna Rd", "", 4, "215-555-0168", "", "", "skowalski@example.com"},
         {}, "Resigned on retiring to Florida; final statement paid in full."},
        {1079, "FG", {"Mr.", "James", "Reilly", "Colleen"}, 0, 3, 44, 0, 367.25, 0,
         {"21 Gwynedd Manor Rd", "", 1, "215-555-0172", "267-555-0144", "", "jreilly@example.com"}},
        {1102, "SR", {"Mr.", "Harold", "Bennett", "Joan"}, 0, 38, 79, 0, 152.75, 0,
         {"3 Pheasant Run", "", 0, "215-555-0170", "", "", "hbennett@example.com"}},
        {1115, "SR", {"Mr.", "Erik", "Lindqvist", "Karin"}, 0, 29, 72, 0, 78.40, 0,
         {"129 Morris Rd", "", 2, "215-555-0174", "267-555-0146", "", "elindqvist@example.com"}},
        {1203, "SOC", {"Ms.", "Caroline", "Fairbanks", nullptr}, 0, 7, 41, 0, 64.15, 0,
         {"418 Twining Rd", "", 5, "215-555-0176", "267-555-0148", "", "cfairbanks@example.com"}},
        {1217, "SOC", {"Mr.", "Luis", "Moreno", "Teresa"}, 0, 4, 39, 0, 311.90, 0,
         {"62 Meetinghouse Rd", "", 3, "215-555-0178", "267-555-0151", "", "lmoreno@example.com"},
         {}, "Prefers the Terrace Pavilion. Teresa is allergic to shellfish."},
        {1224, "SOC", {"Mr.", "Curtis", "Washington", "Denise"}, 0, 11, 50, 0, 0.00, 0,
         {"2250 Norristown Rd", "", 0, "215-555-0183", "267-555-0155", "",
          "cwashington@example.com"}},
        {1238, "SOC", {"Mrs.", "Susan", "Abernathy", "Gregory"}, 0, 14, 55, 0, 205.60, 85.00,
         {"9 Foxcroft Dr", "", 1, "215-555-0185", "267-555-0158", "", "sabernathy@example.com"}},
        {1249, "SOC", {"Mr.", "Tuan", "Nguyen", "Linh"}, 0, 2, 36, 0, 120.00, 0,
         {"811 Bethlehem Pike", "", 3, "215-555-0187", "267-555-0161", "", "tnguyen@example.com"}},
        {1301, "JR", {"Mr.", "Tyler", "Brooks", nullptr}, 0, 3, 27, 1012, 48.50, 0,
         {"1640 Tennis Ave", "Apt 3B", 1, "267-555-0163", "", "", "tbrooks@example.com"}},
        {1306, "JR", {"Ms.", "Sofia", "Castellano", nullptr}, 0, 1, 24, 1041, 0.00, 0,
         {"204 Skippack Pike", "", 2, "267-555-0166", "", "", "scastellano@example.com"}},
        {2001, "CORP", {"", nullptr, "Meridian Financial Group", nullptr},
         AltPrice, 10, 0, 0, 2864.30, 0,
         {"1700 Market Street", "Suite 2400", 6, "215-555-0190", "", "215-555-0191",
          "accounts@meridian.example.com"},
         {"Janet Morrow", "215-555-0192", "jmorrow@meridian.example.com"},
         "Quarterly client dinners. Invoice accounts payable; purchase order required."},
        {2005, "CORP", {"", nullptr, "Halvorsen Engineering LLC", nullptr},
         AltPrice, 5, 0, 0, 640.00, 0,
         {"500 Office Center Dr", "Suite 120", 3, "267-555-0170", "", "267-555-0171",
          "ap@halvorsen.example.com"},
         {"Greg Halvorsen", "267-555-0172", "greg@halvorsen.example.com"}},
        {2012, "CORP", {"", nullptr, "Gwynedd Orthopedic Associates", nullptr},
         AltPrice, 3, 0, 0, 1125.50, 0,
         {"1 Medical Park Dr", "Suite 300", 2, "215-555-0194", "", "215-555-0195",
          "billing@gwyneddortho.example.com"},
         {"Karen Liu", "215-555-0196", "kliu@gwyneddortho.example.com"},
         "Holiday party on the second Saturday of December."},
        {2501, "ORG", {"", nullptr, "St. Andrew's Episcopal Church", nullptr},
         TaxExempt, 16, 0, 0, 380.00, 0,
         {"35 Church Rd", "", 1, "215-555-0130", "", "215-555-0131",
          "office@standrews.example.org"},
         {"Rev. Anne Caldwell", "215-555-0132", "rector@standrews.example.org"},
         "Exemption certificate on file. Parish brunch after Easter services."},
        {2504, "ORG", {"", nullptr, "Wellington School Foundation", nullptr},
         TaxExempt, 9, 0, 0, 0.00, 0,
         {"1200 Wellington Ave", "", 3, "215-555-0134", "", "215-555-0135",
          "foundation@wellington.example.org"},
         {"Michael Ferris", "215-555-0136", "mferris@wellington.example.org"},
         "Spring gala and golf outing. Exemption certificate on file."},
        {2510, "ORG", {"", nullptr, "Rotary Club of Ambler", nullptr}, 0, 8, 0, 0, 246.00, 0,
         {"PO Box 214", "", 1, "215-555-0138", "", "", "secretary@amblerrotary.example.org"},
         {"Paul Jennings", "267-555-0176", "pjennings@example.com"},
         "Breakfast meeting every Tuesday at 7:00 in the Board Room."},
        {2901, "HOUSE", {"", nullptr, "House - Club Functions", nullptr},
         AltPrice, 20, 0, 0, 0.00, 0,
         {"1200 Fairway Drive", "", 0, "215-555-0100", "", "215-555-0102",
          "events@hollowcreek.example.org"},
         {"Club Office", "215-555-0100", "events@hollowcreek.example.org"},
         "Board dinners, staff party and member socials."},
    };
    // clang-format on

    const QDate firstOfMonth(today.year(), today.month(), 1), termDate = today.addDays(-120);
    QList<Row> acctinfo, address, interest, comments, receivables;
    for (const Account &a : accounts) {
        const MemberClass &c = memberClass(a.classCode);
        const Name &n = a.name;
        const Address &ad = a.address;
        const Town &town = towns[ad.town];
        const bool person = n.fname != nullptr;
        const double number = a.number;
        const QString lname = str(n.lname);
        const QDate paid = a.flags & Suspended    ? today.addDays(-118)
                           : a.flags & Terminated ? termDate
                                                  : today.addDays(-(5 + a.number % 20));
        const QDate charged = a.flags & Terminated ? termDate : today.addDays(-(1 + a.number % 9));
        const double lastPayment = c.dues + c.minimum > 0 ? c.dues + c.minimum : 450.00;
        const QString posMessage =
            a.flags & Suspended    ? QStringLiteral("Charging suspended - see the office")
            : a.flags & Terminated ? QStringLiteral("Account closed")
            : a.flags & TaxExempt  ? QStringLiteral("Tax exempt - certificate on file")
                                   : QString();
        const QString salutation =
            !person    ? str(a.contact.name)
            : n.spouse ? QStringLiteral("%1 and %2").arg(str(n.fname), str(n.spouse))
                       : str(n.fname);
        const QString mailName =
            !person    ? lname
            : n.spouse ? QStringLiteral("%1 and %2 %3").arg(str(n.fname), str(n.spouse), lname)
                       : QStringLiteral("%1 %2 %3").arg(str(n.title), str(n.fname), lname);
        const int birth = person ? ymd(today.addYears(-a.age).addDays(-(a.number * 7 % 300))) : 0;
        // Organisations and older members get paper statements; some pay by bank draft.
        const int paper = !person || a.age >= 70 ? 1 : 0, draft = person && a.number % 3 == 0;
        // clang-format off
        auto flag = [&a](int which) { return a.flags & which ? 1 : 0; };
        acctinfo << Row{number, str(n.fname), lname, str(c.code), QStringLiteral("M"),
                        flag(TaxExempt), flag(Suspended), flag(Terminated),
                        ymd(today.addYears(-a.yearsJoined).addDays(-(a.number % 200))),
                        flag(Terminated) ? ymd(termDate) : 0, birth,
                        str(n.title), salutation, str(n.spouse), n.spouse ? lname : QString(),
                        c.creditLimit, c.minimum, a.balance, ymd(charged), ymd(paid), lastPayment,
                        paper, person ? 1 : 0, draft, flag(Suspended | Terminated) ? 0 : 1,
                        posMessage, QStringLiteral("HC-%1").arg(a.number, 6, 10, QLatin1Char('0')),
                        double(a.sponsor), flag(AltPrice)};

        Row addressRow{number, mailName, str(ad.street), str(ad.street2), str(town.city),
                       str(town.state), str(town.zip), str(ad.phone), str(ad.phone2), str(ad.fax),
                       str(ad.email)};
        if (a.contact.name)
            addressRow << str(a.contact.name) << str(ad.street) << str(ad.street2) << str(town.city)
                       << str(town.state) << str(town.zip) << str(a.contact.phone) << QString()
                       << str(ad.fax) << str(a.contact.email);
        else
            for (int i = 0; i < 10; ++i)
                addressRow << QString();
        address << addressRow;

        // Interest only on personal accounts; organisations are invoiced.
        const int interestDate = a.pastDue > 0 ? ymd(firstOfMonth) : 0;
        interest << Row{number, person ? 1 : 0, 0.18, 30, 1.00, interestDate};
        comments << Row{number, str(a.comment)};
        // A suspension follows ninety days unpaid; other arrears are a month old.
        const bool ninety = a.flags & Suspended;
        receivables << Row{number, a.balance, cents(a.balance - a.pastDue),
                           ninety ? 0.0 : a.pastDue, 0.0, ninety ? a.pastDue : 0.0, ymd(paid),
                           lastPayment, cents(lastPayment * today.month() + a.balance)};
        // clang-format on
    }

    QList<Row> classes;
    for (const MemberClass &c : memberClasses())
        classes << Row{str(c.code), str(c.description), c.dues};

    Status status = insertRows(databases, QStringLiteral("master"),
                               {{QStringLiteral("classcode"), classes},
                                {QStringLiteral("acctinfo"), acctinfo},
                                {QStringLiteral("address"), address},
                                {QStringLiteral("interesta"), interest},
                                {QStringLiteral("comments"), comments}});
    if (!status)
        return status;
    return insertRows(databases, QStringLiteral("master2"), {{QStringLiteral("ar"), receivables}});
}

// ---- Employees, receivables codes and inventory ----------------------------------

Status addEmployees(Databases &databases) {
    // clang-format off
    struct Employee {
        int id; const char *lname, *fname, *phone, *phone2; bool active;
        int tillOperator, tillAccess, password;
    };
    static const Employee employees[] = {
        {101, "Harper", "Linda", "215-555-0110", "267-555-0180", true, 1, 9, 4821}, // manager
        {102, "Okafor", "James", "215-555-0111", "267-555-0181", true, 2, 7, 3307}, // sales
        {103, "Russo", "Dominic", "215-555-0112", "267-555-0182", true, 3, 5, 6142}, // chef
        {104, "Gallagher", "Megan", "267-555-0183", "", true, 4, 4, 2275}, // captain
        {105, "Ramirez", "Sofia", "267-555-0184", "", true, 5, 1, 8810}, // server
        {106, "Whitfield", "Jordan", "267-555-0185", "", true, 6, 1, 1938}, // server
        {107, "Novak", "Emily", "267-555-0186", "", true, 7, 1, 5064}, // server
        {108, "Brennan", "Kevin", "267-555-0187", "", true, 8, 2, 7731}, // bartender
        {109, "Jackson", "Andre", "267-555-0188", "", true, 9, 2, 2649}, // bartender
        {110, "Lutz", "Craig", "267-555-0189", "", false, 10, 1, 9402}, // server, has left
    };
    QList<Row> rows;
    for (const Employee &e : employees)
        rows << Row{e.id, str(e.lname), str(e.fname),
                    QStringLiteral("%1 %2.").arg(str(e.fname), str(e.lname).left(1)),
                    str(e.phone), str(e.phone2), QString::number(e.active ? 1 : 0),
                    e.tillOperator, e.tillAccess, e.password};
    // clang-format on
    return insertRows(databases, QStringLiteral("emp"), {{QStringLiteral("empinfo"), rows}});
}

struct ReceivablesCode {
    int account;
    const char *description;
    int minimum, toTotal, prepaid, instalment;
    double serviceCharge, salesTax; // factors, 0.06 = 6%
};

// Food and beverage count towards a member's monthly minimum; deposits are
// prepayments. The factors match what the inventory of each code carries, as
// the till export copies them onto the items.
std::span<const ReceivablesCode> receivablesCodes() {
    static const ReceivablesCode codes[] = {
        {2200, "Sales Tax Payable", 0, 1, 0, 0, 0.00, 0.00},
        {2400, "Event Deposits", 0, 1, 1, 0, 0.00, 0.00},
        {4100, "Banquet Food", 1, 1, 0, 0, 0.20, 0.06},
        {4200, "Banquet Beverage", 1, 1, 0, 0, 0.20, 0.06},
        {4300, "Function Room Rental", 0, 1, 0, 0, 0.00, 0.00},
        {4400, "Equipment and AV Rental", 0, 1, 0, 0, 0.00, 0.06},
        {4500, "Banquet Staffing Fees", 0, 1, 0, 0, 0.00, 0.06},
        {4600, "Banquet Service Charge", 0, 1, 0, 0, 0.00, 0.00},
    };
    return codes;
}

const ReceivablesCode &receivablesCode(int account) {
    for (const ReceivablesCode &code : receivablesCodes())
        if (code.account == account)
            return code;
    return receivablesCodes().front();
}

Status addReceivablesCodes(Databases &databases) {
    QList<Row> rows;
    for (const ReceivablesCode &c : receivablesCodes())
        rows << Row{c.account, str(c.description), c.minimum,       c.toTotal,
                    c.prepaid, c.instalment,       c.serviceCharge, c.salesTax};
    return insertRows(databases, QStringLiteral("ar"), {{QStringLiteral("ar0"), rows}});
}

Status addInventory(Databases &databases) {
    // Department n holds items n01 to n99; the item window's department
    // buttons carry these codes.
    // clang-format off
    struct Department { const char *code; int sales, purchases, costOfGoods, discounts; };
    static const Department departments[] = {
        {"1", 4100, 5100, 5110, 4190}, // food
        {"2", 4200, 5200, 5210, 4290}, // beverage
        {"3", 4300, 0, 0, 4390},       // room rental
        {"4", 4400, 5400, 5410, 4490}, // equipment rental
        {"5", 4500, 0, 0, 4590},       // staffing
    };
    struct Item { int number; const char *description; double cost, retail, altRetail, onHand; };
    static const Item items[] = {
        {101, "Plated Dinner - Filet Mignon", 14.80, 48.00, 43.00, 0},
        {102, "Plated Dinner - Chicken Piccata", 7.90, 34.00, 30.50, 0},
        {103, "Plated Dinner - Grilled Salmon", 10.60, 39.00, 35.00, 0},
        {104, "Plated Dinner - Vegetable Risotto", 5.20, 30.00, 27.00, 0},
        {105, "Buffet - Clubhouse Dinner", 13.50, 44.00, 39.50, 0},
        {106, "Buffet - Italian Dinner", 10.25, 36.00, 32.50, 0},
        {107, "Buffet - Deli Lunch", 6.10, 22.00, 19.75, 0},
        {108, "Breakfast Buffet", 5.40, 19.50, 17.50, 0},
        {109, "Hors d'Oeuvres - Shrimp Cocktail (dozen)", 16.00, 42.00, 38.00, 0},
        {110, "Hors d'Oeuvres - Mini Crab Cakes (dozen)", 14.50, 39.00, 35.00, 0},
        {111, "Cheese and Fruit Display (per guest)", 2.60, 8.50, 7.50, 0},
        {112, "Carving Station - Prime Rib (per guest)", 8.90, 24.00, 21.50, 0},
        {113, "Children's Meal", 3.50, 16.00, 14.00, 0},
        {114, "Dessert Display (per guest)", 2.40, 9.00, 8.00, 0},
        {201, "Open Bar - Premium (per guest, hour)", 4.10, 16.00, 14.50, 0},
        {202, "Open Bar - House Brands (per guest, hour)", 3.00, 12.00, 10.75, 0},
        {203, "Beer and Wine Bar (per guest, hour)", 2.20, 9.00, 8.00, 0},
        {204, "Champagne Toast (per guest)", 1.60, 5.50, 5.00, 0},
        {205, "Wine - House Cabernet (bottle)", 9.50, 32.00, 28.00, 144},
        {206, "Wine - House Chardonnay (bottle)", 8.75, 30.00, 26.00, 120},
        {207, "Wine - Sonoma Pinot Noir (bottle)", 17.00, 54.00, 48.00, 48},
        {208, "Sparkling Wine - Prosecco (bottle)", 10.20, 34.00, 30.00, 60},
        {209, "Soft Drink and Juice Station (per guest)", 0.60, 4.00, 3.50, 0},
        {210, "Coffee and Tea Service (per guest)", 0.45, 3.75, 3.25, 0},
        {301, "Room Rental - Grand Ballroom, Evening", 0, 1800.00, 1500.00, 0},
        {302, "Room Rental - Grand Ballroom, Daytime", 0, 950.00, 800.00, 0},
        {303, "Room Rental - Fairway Dining Room", 0, 650.00, 550.00, 0},
        {304, "Room Rental - Terrace Pavilion", 0, 900.00, 750.00, 0},
        {305, "Room Rental - Board Room (half day)", 0, 225.00, 175.00, 0},
        {306, "Ceremony Site - Rose Garden", 0, 600.00, 500.00, 0},
        {401, "Projector and Screen", 45.00, 175.00, 150.00, 3},
        {402, "Wireless Microphone", 10.00, 60.00, 50.00, 4},
        {403, "Podium with Microphone", 5.00, 40.00, 35.00, 2},
        {404, "Dance Floor (21 x 21 ft)", 120.00, 450.00, 400.00, 1},
        {405, "Table Linen, Floor Length", 4.50, 18.00, 15.00, 200},
        {406, "Chair Cover with Sash", 1.75, 6.50, 5.50, 250},
        {407, "Uplighting (per fixture)", 8.00, 35.00, 30.00, 24},
        {501, "Bartender (per hour)", 18.00, 40.00, 35.00, 0},
        {502, "Chef Attendant (per station)", 45.00, 100.00, 85.00, 0},
        {503, "Valet Attendant (per hour)", 16.00, 35.00, 30.00, 0},
        {504, "Cake Cutting Fee (per guest)", 0.30, 2.50, 2.00, 0},
    };
    // clang-format on
    QList<Row> rows;
    for (const Item &item : items) {
        const Department &d = departments[item.number / 100 - 1];
        const ReceivablesCode &code = receivablesCode(d.sales);
        // Minimum, prepaid, instalment, to-total: the order the tills read them.
        // clang-format off
        const QString arCodes = QStringLiteral("%1%2%3%4").arg(code.minimum).arg(code.prepaid)
                                    .arg(code.instalment).arg(code.toTotal);
        rows << Row{item.number, str(item.description), str(d.code), item.cost, item.cost,
                    item.retail, item.altRetail, code.salesTax, code.serviceCharge, d.sales,
                    d.purchases, d.costOfGoods, d.discounts, arCodes, QString(), item.onHand};
        // clang-format on
    }
    return insertRows(databases, QStringLiteral("invntory"), {{QStringLiteral("items"), rows}});
}

} // namespace

Status add(Databases &databases, const QDate &today) {
    Status status = addMembers(databases, today);
    for (auto next : {addEmployees, addReceivablesCodes, addInventory})
        if (status)
            status = next(databases);
    return status;
}

} // namespace DemoData
