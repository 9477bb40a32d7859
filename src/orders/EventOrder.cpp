#include "EventOrder.h"

#include "events/ChangeLog.h"
#include "session/ClubSettings.h"
#include "session/CurrentEvent.h"
#include "storage/Databases.h"
#include "storage/EventChanges.h"
#include "storage/Schema.h"
#include "storage/Transaction.h"

#include <QCryptographicHash>
#include <algorithm>

namespace {

const QString StampFormat = QStringLiteral("yyyy-MM-dd HH:mm:ss");

QStringList splitList(const QString &value) {
    QStringList entries;
    for (const QString &entry : value.split(QLatin1Char(';'))) {
        const QString trimmed = entry.trimmed();
        if (!trimmed.isEmpty() && !entries.contains(trimmed, Qt::CaseInsensitive))
            entries << trimmed;
    }
    return entries;
}

QString fingerprint(const QStringList &lines) {
    return QString::fromLatin1(
        QCryptographicHash::hash(lines.join(QChar(0x1F)).toUtf8(), QCryptographicHash::Sha1)
            .toHex()
            .left(16));
}

QString quantityText(const QVariant &stored) {
    return QString::number(stored.toDouble(), 'g', 15);
}

QString sectionsText(const QList<EventOrder::Section> &sections) {
    QStringList keys;
    for (EventOrder::Section section : sections)
        keys << EventOrder::sectionKey(section);
    return keys.join(QLatin1Char(','));
}

std::optional<EventOrder::Section> sectionNamed(const QString &key) {
    for (EventOrder::Section section : EventOrder::sections())
        if (EventOrder::sectionKey(section) == key)
            return section;
    return std::nullopt;
}

void readIssue(const QSqlQuery &row, int first, EventOrder::Issue &issued) {
    issued.revision = row.value(first).toInt();
    issued.at = row.value(first + 1).toString();
    issued.by = row.value(first + 2).toString();
    for (const QString &key :
         row.value(first + 3).toString().split(QLatin1Char(','), Qt::SkipEmptyParts))
        if (const auto section = sectionNamed(key))
            issued.changed << *section;
    for (const QString &pair :
         row.value(first + 4).toString().split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const auto section = sectionNamed(pair.section(QLatin1Char('='), 0, 0));
        if (section)
            issued.fingerprints.insert(*section, pair.section(QLatin1Char('='), 1));
    }
}

QString fingerprintsText(const QMap<EventOrder::Section, QString> &prints) {
    QStringList pairs;
    for (auto it = prints.begin(); it != prints.end(); ++it)
        pairs << EventOrder::sectionKey(it.key()) + QLatin1Char('=') + it.value();
    return pairs.join(QLatin1Char(';'));
}

} // namespace

// ---- EventOrder -------------------------------------------------------------

std::span<const EventOrder::TextField> EventOrder::textFields() {
    // The lengths are the stored columns'; a memo's 0 marks a note.
    static const QList<TextField> fields = [] {
        QList<TextField> named{
            {"setupstyle", "Set-up style", 0, &EventOrder::style},
            {"linen", "Linen", 0, &EventOrder::linen},
            {"stage", "Stage", 0, &EventOrder::stage},
            {"dancefloor", "Dance floor", 0, &EventOrder::danceFloor},
            {"audiovisual", "Audio-visual", 0, &EventOrder::audioVisual},
            {"setupnote", "Set-up note", 0, &EventOrder::setupNote},
            {"kitchennote", "Kitchen notes", 0, &EventOrder::kitchenNote},
            {"barnote", "Bar notes", 0, &EventOrder::barNote},
            {"floornote", "Floor notes", 0, &EventOrder::floorNote},
            {"sitecontact", "On-site contact", 0, &EventOrder::siteContact},
            {"sitephone", "On-site phone", 0, &EventOrder::sitePhone},
        };
        const Schema::Table *table =
            Schema::findTable(QStringLiteral("evnt"), QStringLiteral("eventorder"));
        for (TextField &field : named)
            field.length = table->textSize(QString::fromLatin1(field.column));
        return named;
    }();
    return fields;
}

QList<EventOrder::Section> EventOrder::sections() {
    return {Section::Event, Section::Timeline, Section::Setup,
            Section::Menu,  Section::Dietary,  Section::Service};
}

QString EventOrder::sectionKey(Section section) {
    static const char *const keys[SectionCount] = {"event", "timeline", "setup",
                                                   "menu",  "dietary",  "service"};
    return QString::fromLatin1(keys[int(section)]);
}

QString EventOrder::sectionTitle(Section section) {
    static const char *const titles[SectionCount] = {"Event", "Timeline",       "Set-up",
                                                     "Menu",  "Dietary counts", "Service notes"};
    return QString::fromLatin1(titles[int(section)]);
}

bool EventOrder::sameDetails(const EventOrder &other) const {
    for (const TextField &field : textFields())
        if (this->*field.member != other.*field.member)
            return false;
    return tables == other.tables && seats == other.seats && timeline == other.timeline &&
           dietary == other.dietary && courses == other.courses;
}

QString EventOrder::Issue::describe(const ClubSettings &club) const {
    const QDate day = QDate::fromString(at.left(10), QStringLiteral("yyyy-MM-dd"));
    return QStringLiteral("Revision %1, issued %2 by %3")
        .arg(revision)
        .arg(day.isValid() ? club.shortDate(day) : at, by);
}

int EventOrder::dietaryTotal() const {
    int total = 0;
    for (const DietaryNeed &need : dietary)
        total += need.count;
    return total;
}

// ---- OrderLists -------------------------------------------------------------

OrderLists OrderLists::from(const ClubSettings &club) {
    OrderLists lists;
    const QString styles = club.value(QString::fromLatin1(StylesSetting));
    lists.styles = splitList(styles.isEmpty() ? QStringLiteral("Reception;Banquet rounds;Theatre;"
                                                               "Classroom;Boardroom;U-shape")
                                              : styles);
    const QString courses = club.value(QString::fromLatin1(CoursesSetting));
    lists.courses = splitList(
        courses.isEmpty() ? QStringLiteral("Reception;Starter;Main;Dessert;Bar") : courses);
    for (const QString &pair :
         splitList(club.value(QString::fromLatin1(CourseByDepartmentSetting)))) {
        const QString department = pair.section(QLatin1Char('='), 0, 0).trimmed();
        const QString course = pair.section(QLatin1Char('='), 1).trimmed();
        if (!department.isEmpty() && !course.isEmpty())
            lists.courseByDepartment.insert(department, course);
    }
    return lists;
}

QString OrderLists::refusal(const QString &setting, const QString &value) {
    const bool list = setting == QLatin1String(StylesSetting) ||
                      setting == QLatin1String(CoursesSetting) ||
                      setting == QLatin1String(CourseByDepartmentSetting);
    if (!list || value.isEmpty())
        return {};
    const QStringList entries = splitList(value);
    const int longest = setting == QLatin1String(StylesSetting) ? EventOrder::StyleLength
                                                                : EventOrder::CourseLength;
    if (setting == QLatin1String(CourseByDepartmentSetting)) {
        QStringList departments;
        for (const QString &pair : entries) {
            const QString department = pair.section(QLatin1Char('='), 0, 0).trimmed();
            const QString course = pair.section(QLatin1Char('='), 1).trimmed();
            if (!pair.contains(QLatin1Char('=')) || department.isEmpty() || course.isEmpty())
                return QStringLiteral("\"%1\" is not DEPT=Course; write the department's code, "
                                      "an equals sign and the course, such as 1=Main;2=Bar.")
                    .arg(pair);
            if (departments.contains(department))
                return QStringLiteral("The department %1 is given two courses.").arg(department);
            departments << department;
            if (course.size() > EventOrder::CourseLength)
                return QStringLiteral("The course \"%1\" is longer than %2 characters.")
                    .arg(course)
                    .arg(EventOrder::CourseLength);
        }
        return {};
    }
    if (entries.isEmpty())
        return QStringLiteral("The list names nothing; separate its entries with \";\".");
    for (const QString &entry : entries)
        if (entry.size() > longest)
            return QStringLiteral("\"%1\" is longer than %2 characters.").arg(entry).arg(longest);
    return {};
}

QString OrderLists::defaultCourse(const QString &department) const {
    return courseByDepartment.value(department.trimmed());
}

int OrderLists::courseRank(const QString &course) const {
    if (course.isEmpty())
        return int(courses.size()) + 1;
    const int at = int(courses.indexOf(course));
    return at >= 0 ? at : int(courses.size());
}

// ---- OrderSheet -------------------------------------------------------------

QMap<EventOrder::Section, QString> OrderSheet::fingerprints() const {
    using S = EventOrder::Section;
    const EventOrder &o = order;
    QMap<S, QString> prints;
    prints[S::Event] =
        fingerprint({title, QString::number(date), start, end, QString::number(room), roomName,
                     QString::number(setFor), QString::number(guarantee), contact, phone});
    QStringList timeline;
    for (const EventOrder::TimelineLine &line : o.timeline)
        timeline << line.time << line.what;
    prints[S::Timeline] = fingerprint(timeline);
    prints[S::Setup] = fingerprint({o.style, QString::number(o.tables), QString::number(o.seats),
                                    o.linen, o.stage, o.danceFloor, o.audioVisual, o.setupNote});
    QStringList menu;
    for (const Item &item : items)
        menu << item.course << item.quantity << QString::number(item.item) << item.description
             << item.price.toString() << item.serviceCharge.toString() << item.tax.toString();
    prints[S::Menu] = fingerprint(menu);
    QStringList dietary;
    for (const EventOrder::DietaryNeed &need : o.dietary)
        dietary << need.need << QString::number(need.count);
    prints[S::Dietary] = fingerprint(dietary);
    prints[S::Service] =
        fingerprint({o.kitchenNote, o.barNote, o.floorNote, o.siteContact, o.sitePhone});
    return prints;
}

QList<EventOrder::Section> OrderSheet::changedSinceIssue() const {
    QList<EventOrder::Section> changed;
    if (order.issued.revision == 0)
        return changed;
    const auto now = fingerprints();
    for (EventOrder::Section section : EventOrder::sections())
        if (order.issued.fingerprints.value(section) != now.value(section))
            changed << section;
    return changed;
}

// ---- Storage ----------------------------------------------------------------

namespace EventOrders {

namespace {

QString textColumnList() {
    QStringList columns;
    for (const EventOrder::TextField &field : EventOrder::textFields())
        columns << QString::fromLatin1(field.column);
    return columns.join(QLatin1String(", "));
}

} // namespace

Result<EventOrder> read(Database &evnt, int number) {
    EventOrder order;
    const auto fields = EventOrder::textFields();
    const int textCount = int(fields.size());
    auto row =
        evnt.exec(QStringLiteral("select ") + textColumnList() +
                      QStringLiteral(", tablecount, seatcount, revision, issuedat, issuedby, "
                                     "issuedchanged, issuedprints from eventorder where "
                                     "eventnum = ?"),
                  {number});
    if (!row)
        return row.error();
    if (row->next()) {
        for (int k = 0; k < textCount; ++k)
            order.*fields[k].member = row->value(k).toString();
        order.tables = row->value(textCount).toInt();
        order.seats = row->value(textCount + 1).toInt();
        readIssue(*row, textCount + 2, order.issued);
    }
    row->finish();
    auto times = evnt.exec(
        QStringLiteral("select attime, what from eventordertime where eventnum = ? order by ord"),
        {number});
    if (!times)
        return times.error();
    while (times->next())
        order.timeline << EventOrder::TimelineLine{times->value(0).toString(),
                                                   times->value(1).toString()};
    auto needs = evnt.exec(
        QStringLiteral("select need, guests from eventorderdiet where eventnum = ? order by ord"),
        {number});
    if (!needs)
        return needs.error();
    while (needs->next())
        order.dietary << EventOrder::DietaryNeed{needs->value(0).toString(),
                                                 needs->value(1).toInt()};
    auto courses =
        evnt.exec(QStringLiteral("select itemnum, course from eventordercourse where eventnum = ?"),
                  {number});
    if (!courses)
        return courses.error();
    while (courses->next())
        order.courses.insert(courses->value(0).toInt(), courses->value(1).toString());
    return order;
}

Status write(Database &evnt, int number, const EventOrder &order) {
    // The issue record stays as it is; a new order starts at revision 0.
    auto exists =
        evnt.exec(QStringLiteral("select count(*) from eventorder where eventnum = ?"), {number});
    if (!exists)
        return exists.status();
    const bool stored = exists->next() && exists->value(0).toInt() > 0;
    exists->finish();
    QVariantList values;
    QStringList assignments;
    for (const EventOrder::TextField &field : EventOrder::textFields()) {
        values << order.*field.member;
        assignments << QString::fromLatin1(field.column) + QStringLiteral(" = ?");
    }
    values << order.tables << order.seats << number;
    const Status written =
        stored
            ? evnt.change(QStringLiteral("update eventorder set ") +
                              assignments.join(QLatin1String(", ")) +
                              QStringLiteral(", tablecount = ?, seatcount = ? where eventnum = ?"),
                          values)
            : evnt.execute(QStringLiteral("insert into eventorder (") + textColumnList() +
                               QStringLiteral(", tablecount, seatcount, eventnum, revision) "
                                              "values (") +
                               QString(QStringLiteral("?, "))
                                   .repeated(int(EventOrder::textFields().size()) + 3) +
                               QStringLiteral("0)"),
                           values);
    if (!written)
        return written;
    for (const char *table : {"eventordertime", "eventorderdiet", "eventordercourse"})
        if (Status cleared = evnt.execute(
                QStringLiteral("delete from %1 where eventnum = ?").arg(QLatin1String(table)),
                {number});
            !cleared)
            return cleared;
    for (int k = 0; k < order.timeline.size(); ++k)
        if (Status added =
                evnt.execute(QStringLiteral("insert into eventordertime (eventnum, ord, "
                                            "attime, what) values (?, ?, ?, ?)"),
                             {number, k + 1, order.timeline[k].time, order.timeline[k].what});
            !added)
            return added;
    for (int k = 0; k < order.dietary.size(); ++k)
        if (Status added =
                evnt.execute(QStringLiteral("insert into eventorderdiet (eventnum, ord, "
                                            "need, guests) values (?, ?, ?, ?)"),
                             {number, k + 1, order.dietary[k].need, order.dietary[k].count});
            !added)
            return added;
    for (auto it = order.courses.begin(); it != order.courses.end(); ++it)
        if (Status added = evnt.execute(QStringLiteral("insert into eventordercourse (eventnum, "
                                                       "itemnum, course) values (?, ?, ?)"),
                                        {number, it.key(), it.value()});
            !added)
            return added;
    return {};
}

Result<std::optional<OrderSheet>> sheet(Database &evnt, int number, const OrderLists &lists) {
    auto row = evnt.exec(
        QStringLiteral("select e.eventtitle, e.eventdate, e.starttime, e.endtime, e.roomnumber, "
                       "l.room, e.status, e.setfor, e.guarantee, e.contactname, e.contphone1 "
                       "from eventinfo e left join location l on l.roomnum = e.roomnumber "
                       "where e.eventnum = ?"),
        {number});
    if (!row)
        return row.error();
    if (!row->next())
        return std::optional<OrderSheet>();
    OrderSheet sheet;
    sheet.number = number;
    sheet.title = row->value(0).toString();
    sheet.date = row->value(1).toInt();
    sheet.start = row->value(2).toString();
    sheet.end = row->value(3).toString();
    sheet.room = row->value(4).toInt();
    sheet.roomName = row->value(5).toString();
    sheet.status = row->value(6).toInt();
    sheet.setFor = row->value(7).toInt();
    sheet.guarantee = row->value(8).toInt();
    sheet.contact = row->value(9).toString();
    sheet.phone = row->value(10).toString();
    row->finish();
    auto order = read(evnt, number);
    if (!order)
        return order.error();
    sheet.order = *order;
    // Items in the order of their rows as sold: the table has no key, so
    // its engine's order is steadied by the columns.
    auto items =
        evnt.exec(QStringLiteral("select qty, itemnum, dept, itemdesc, price, servchg, tax "
                                 "from items where eventid = ? order by itemnum, itemdesc, "
                                 "qty, price"),
                  {number});
    if (!items)
        return items.error();
    while (items->next()) {
        OrderSheet::Item item;
        item.quantity = quantityText(items->value(0));
        item.item = items->value(1).toInt();
        item.department = items->value(2).toString().trimmed();
        // The items window writes the quantity before the description; the
        // order shows it in a column of its own.
        const QString described = items->value(3).toString();
        const QString quantityFirst = item.quantity + QLatin1Char(' ');
        item.description =
            described.startsWith(quantityFirst) ? described.mid(quantityFirst.size()) : described;
        item.price = Money::fromVariant(items->value(4)).value_or(Money());
        item.serviceCharge = Money::fromVariant(items->value(5)).value_or(Money());
        item.tax = Money::fromVariant(items->value(6)).value_or(Money());
        item.course = sheet.order.courses.value(item.item, lists.defaultCourse(item.department));
        sheet.items << item;
    }
    // Courses the club no longer lists each stay together, by name.
    std::stable_sort(sheet.items.begin(), sheet.items.end(),
                     [&](const OrderSheet::Item &a, const OrderSheet::Item &b) {
                         const int rankA = lists.courseRank(a.course);
                         const int rankB = lists.courseRank(b.course);
                         return rankA != rankB
                                    ? rankA < rankB
                                    : rankA == int(lists.courses.size()) && a.course < b.course;
                     });
    return std::optional<OrderSheet>(sheet);
}

QString changeTexts(const EventOrder &before, const EventOrder &after) {
    QString texts;
    const auto entry = [&](const QString &text) {
        texts += text + QLatin1Char('\\');
    };
    for (const EventOrder::TextField &field : EventOrder::textFields()) {
        const QString &was = before.*field.member;
        const QString &now = after.*field.member;
        if (was == now)
            continue;
        entry(field.length == 0
                  ? QLatin1String(field.label) + QStringLiteral(" changed")
                  : QLatin1String(field.label) + QStringLiteral(" changed from ") +
                        ChangeLog::field(was) + QStringLiteral(" to ") + ChangeLog::field(now));
    }
    if (before.tables != after.tables)
        entry(QStringLiteral("Tables changed from %1 to %2").arg(before.tables).arg(after.tables));
    if (before.seats != after.seats)
        entry(QStringLiteral("Seats changed from %1 to %2").arg(before.seats).arg(after.seats));
    if (before.timeline != after.timeline)
        entry(QStringLiteral("Event order timeline changed"));
    if (before.dietary != after.dietary)
        entry(QStringLiteral("Dietary counts changed from %1 to %2")
                  .arg(before.dietaryTotal())
                  .arg(after.dietaryTotal()));
    if (before.courses != after.courses)
        entry(QStringLiteral("Courses of the items changed"));
    return texts;
}

Result<Issued> issue(Database &evnt, int number, const OrderLists &lists, const QString &by,
                     const QDateTime &at) {
    Transaction transaction(evnt);
    if (!transaction.begun())
        return transaction.begun().error();
    auto held = EventChanges::hold(evnt, number);
    if (!held)
        return held.error();
    if (!held->has_value())
        return DbError{
            ErrorNumber::NoCurrentRecord,
            QStringLiteral("Event #%1 is no longer there; its order was not issued.").arg(number)};
    // A cancelled event is not prepared, and a billed one has been held.
    if (const int status = (*held)->status;
        status == CurrentEvent::CancelledStatus || status == CurrentEvent::BilledStatus)
        return DbError{ErrorNumber::ReadOnly,
                       QStringLiteral("Event #%1 is %2; its order is not issued again.")
                           .arg(number)
                           .arg(status == CurrentEvent::CancelledStatus
                                    ? QStringLiteral("cancelled")
                                    : QStringLiteral("billed"))};
    auto current = sheet(evnt, number, lists);
    if (!current)
        return current.error();
    OrderSheet &now = **current;
    Issued issued;
    issued.status = now.status;
    issued.revision = now.order.issued.revision;
    const bool first = issued.revision == 0;
    issued.changed = now.changedSinceIssue();
    if (!first && issued.changed.isEmpty())
        return issued; // nothing to commit
    issued.raised = true;
    issued.revision += 1;
    // Each item keeps the course it was issued in: a later change of the
    // club's department courses does not change an issued order.
    for (const OrderSheet::Item &item : now.items)
        now.order.courses.insert(item.item, item.course);
    // The order's details row, made empty when the office never saved one.
    if (Status made = write(evnt, number, now.order); !made)
        return made.error();
    if (Status recorded = evnt.change(
            QStringLiteral("update eventorder set revision = ?, issuedat = ?, issuedby = ?, "
                           "issuedchanged = ?, issuedprints = ? where eventnum = ?"),
            {issued.revision, at.toString(StampFormat), by, sectionsText(issued.changed),
             fingerprintsText(now.fingerprints()), number});
        !recorded)
        return recorded.error();
    if (Status committed = transaction.commit(); !committed)
        return committed.error();
    return issued;
}

Status removeOrder(Database &evnt, int number) {
    for (const char *table : {"eventorder", "eventordertime", "eventorderdiet", "eventordercourse"})
        if (Status removed = evnt.execute(
                QStringLiteral("delete from %1 where eventnum = ?").arg(QLatin1String(table)),
                {number});
            !removed)
            return removed;
    return {};
}

} // namespace EventOrders
