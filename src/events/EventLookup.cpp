#include "EventLookup.h"

#include "EventRecord.h"
#include "EventWindow.h"
#include "ports/Clipboard.h"
#include "ports/Clock.h"
#include "ports/Companions.h"
#include "session/Module.h"
#include "storage/Schema.h"
#include "values/TextValue.h"

#include <QRegularExpression>
#include <limits>
#include <optional>

namespace {

const QString Oops = QStringLiteral("Oops...");
const QString EventDatabase = QStringLiteral("evnt");

const char *const Labels[EventLookup::BoxCount] = {"Event date",  "Event Title",  "Event #",
                                                   "Account ID#", "Billing Name", "Contact Name"};
const char *const Columns[EventLookup::BoxCount] = {"eventdate", "eventtitle", "eventnum",
                                                    "custid",    "custname",   "contactname"};

bool isTextBox(int box) {
    return box == EventLookup::TitleBox || box == EventLookup::BillingNameBox ||
           box == EventLookup::ContactNameBox;
}

// A date: digits only, and no more than a long integer column holds:
// "2025-06-14" and "4315217910" are no date, rather than another one.
std::optional<int> wholeNumber(const QString &text) {
    static const QRegularExpression digits(QStringLiteral("^[0-9]{1,10}$"));
    if (!digits.match(text).hasMatch())
        return std::nullopt;
    const qlonglong value = text.toLongLong();
    if (value > std::numeric_limits<int>::max())
        return std::nullopt;
    return int(value);
}

// Nothing longer than a column holds can be found in it; such a text
// is not sent to the database at all.
bool fitsColumn(const QString &column, const QString &text) {
    const Schema::Table *table = Schema::findTable(EventDatabase, QStringLiteral("eventinfo"));
    const int index = table ? table->columnIndex(column) : -1;
    return index < 0 || characterCount(text) <= table->columns[index].size;
}

QString dateText(const QVariant &value) {
    return value.isNull() ? QString() : QString::number(value.toLongLong());
}

} // namespace

const QString EventLookup::ResultsPrompt =
    QStringLiteral("(Click the down arrow to select from Lookup Results)");

EventLookup::EventLookup(Module &module, EventWindow &window, Companions &companions,
                         QObject *parent)
    : QObject(parent)
    , m_module(module)
    , m_window(window)
    , m_companions(companions) {
    criterionColor.fill(EventWindow::White);
    results.text = ResultsPrompt;
}

QString EventLookup::label(int box) {
    return valid(box) ? QString::fromLatin1(Labels[box]) : QString();
}

const std::array<int, EventLookup::BoxCount> &EventLookup::shownOrder() {
    static const std::array<int, BoxCount> order{DateBox,    NumberBox,      TitleBox,
                                                 AccountBox, BillingNameBox, ContactNameBox};
    return order;
}

bool EventLookup::valid(int box) {
    return box >= 0 && box < BoxCount;
}

bool EventLookup::visible() const {
    return m_window.lookupVisible;
}

void EventLookup::cancel() {
    m_window.lookupVisible = false;
    resultsVisible = false;
    results.entries.clear();
    results.text = ResultsPrompt;
    m_numbers.clear();
    resultCount.clear();
    emit changed();
}

void EventLookup::noRecords() {
    emit changed();
    m_module.messages.show(QStringLiteral("No records matched your lookup criteria."), Oops,
                           Icon::Information);
}

void EventLookup::search() {
    results.entries.clear();
    m_numbers.clear();
    resultCount.clear();
    int box = 0;
    while (box < BoxCount && criteria[box].trimmed().isEmpty())
        ++box;
    // With every box empty the date search for 0 finds nothing.
    if (box == BoxCount)
        return noRecords();

    const QString text = criteria[box].trimmed();
    const QString column = QString::fromLatin1(Columns[box]);
    QString condition = column + QLatin1String(" = ?");
    QVariant value;
    if (isTextBox(box)) {
        if (!fitsColumn(column, text))
            return noRecords();
        const SqlDialect::Match match = m_module.databases.dialect().containsText(column, text);
        condition = match.condition;
        value = match.value;
    } else if (box == DateBox) {
        const auto number = wholeNumber(text);
        if (!number)
            return noRecords();
        value = *number;
    } else {
        // Event and account numbers are read whole, as the event window
        // reads them; what is no such number is refused by name.
        const bool account = box == AccountBox;
        const TypedNumber number = TypedNumber::read(
            text, label(box),
            account ? EventRecord::numberFieldBounds(EventField::Account)
                    : TypedNumber::ofColumn(EventDatabase, QStringLiteral("eventinfo"), column)
                          .atLeast(Decimal()));
        if (!number.isNumber()) {
            emit changed();
            m_module.messages.show(number.message(), Oops, Icon::Information);
            return;
        }
        value = account ? QVariant(number.value().toDouble())
                        : QVariant(int(number.value().toDouble()));
    }

    DatabasePtr db = m_module.access.open(EventDatabase);
    if (!db)
        return;
    auto rows = db->exec(QStringLiteral("select eventnum, eventtitle, eventdate, custname, "
                                        "contactname from eventinfo where eventnum > 0 and ") +
                             condition + QStringLiteral(" order by eventdate, eventnum"),
                         {value});
    if (!rows) {
        m_module.messages.ShowErrorCodes(rows.error());
        return;
    }
    const QString separator = QStringLiteral(" - ");
    QString first;
    while (rows->next()) {
        const int number = rows->value(0).toInt();
        const QString shown = QString::number(number) + separator + rows->value(1).toString() +
                              separator + dateText(rows->value(2));
        if (m_numbers.isEmpty())
            first = shown;
        m_numbers << number;
        if (box != NumberBox)
            results.entries << shown + separator + rows->value(3).toString() + separator +
                                   rows->value(4).toString();
    }
    rows->finish();
    db.reset();
    if (m_numbers.isEmpty())
        return noRecords();

    results.text = ResultsPrompt;
    resultsVisible = true;
    if (box == NumberBox) {
        results.text = first;
        choose(m_numbers.first());
        return;
    }
    countResults();
    emit changed();
    emit resultsListed();
}

void EventLookup::countResults() {
    resultCount = m_numbers.isEmpty()     ? QString()
                  : m_numbers.size() == 1 ? QStringLiteral("1 event found")
                                          : QStringLiteral("%1 events found").arg(m_numbers.size());
}

void EventLookup::chooseResult(int row) {
    if (row >= 0 && row < m_numbers.size() && row < results.entries.size())
        choose(m_numbers[row]);
}

void EventLookup::choose(int eventNumber) {
    emit eventChosen(eventNumber);
    if (m_module.event.EventNumber == eventNumber) {
        cancel();
        return;
    }
    // Not shown. An event deleted at another workstation since the list was
    // made is said so and leaves the list; anything else was reported by
    // the load itself.
    auto db = m_module.databases.open(EventDatabase);
    if (!db)
        return;
    auto found = db.value()->exec(
        QStringLiteral("select count(*) from eventinfo where eventnum = ?"), {eventNumber});
    if (!found || !found->next() || found->value(0).toInt() > 0)
        return;
    if (const qsizetype row = m_numbers.indexOf(eventNumber); row >= 0) {
        m_numbers.removeAt(row);
        if (row < results.entries.size())
            results.entries.removeAt(row);
    }
    countResults();
    if (results.entries.isEmpty()) {
        resultsVisible = false;
        results.text = ResultsPrompt;
    }
    emit changed();
    m_module.messages.show(
        QStringLiteral("Event #%1 is no longer on file; it may have been deleted at another "
                       "workstation.")
            .arg(eventNumber),
        Oops, Icon::Information);
}

void EventLookup::clickCriterion(int box) {
    if (!valid(box))
        return;
    for (QString &text : criteria)
        text.clear();
    resultsVisible = false;
    emit changed();
}

void EventLookup::doubleClickCriterion(int box) {
    if (box != DateBox && box != AccountBox)
        return;
    Clipboard &clipboard = m_module.ports.clipboard;
    criteria[box] = clipboard.text().trimmed();
    clipboard.clear();
    emit changed();
}

void EventLookup::enterCriterion(int box) {
    if (!valid(box))
        return;
    criterionColor[box] = EventWindow::Yellow;
    emit changed();
}

void EventLookup::leaveCriterion(int box) {
    if (!valid(box))
        return;
    criterionColor[box] = EventWindow::White;
    completeYear(box);
    emit changed();
}

// Month and day alone are this year's, whether the box is left or Enter
// searches at once.
void EventLookup::completeYear(int box) {
    if (box == DateBox && criteria[box].size() == 4)
        criteria[box].prepend(m_module.ports.clock.today().toString(QStringLiteral("yyyy")));
}

bool EventLookup::typeCriterionKey(int box, Key key) {
    if (!valid(box))
        return false;
    if (key == Key::Enter) {
        completeYear(box);
        search();
        return false;
    }
    if (key != Key::Other)
        return true;
    // Only one criterion is ever in use.
    bool emptied = false;
    for (int other = 0; other < BoxCount; ++other) {
        if (other != box && !criteria[other].isEmpty()) {
            criteria[other].clear();
            emptied = true;
        }
    }
    if (emptied)
        emit changed();
    return true;
}

void EventLookup::pressCriterionKey(int box, Key key) {
    if (key != Key::F5)
        return;
    if (box == DateBox)
        m_companions.LookUp(QStringLiteral("datesift.exe"));
    else if (box == AccountBox)
        m_companions.LookUp(QStringLiteral("acctsift.exe"));
}

void EventLookup::editCriterion(int box, const QString &text) {
    if (!valid(box))
        return;
    criteria[box] = text.section(QLatin1Char('\n'), 0, 0);
}
