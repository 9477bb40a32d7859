#include "EditingFixture.h"
#include "Workstation.h"
#include "items/ItemWindow.h"
#include "values/Money.h"

using namespace Qt::StringLiterals;

namespace {

constexpr int Library = 3;
constexpr int GalaDate = 20270801;
constexpr int CloneDate = 20270802;
const QString Evnt = u"evnt"_s;

// What a workstation does to the event both have open with Modify.
enum class Command { Save, Delete, Bill, Items, Clone, Package, Pay };

struct Race {
    Command first;  // commits first
    Command second; // acts on the event as it was opened, and loses
    const char *loserSees;
};

const char *Changed = "was changed at another workstation (ANNA, 09:30) since you opened it.";
const char *Deleted = "was deleted at another workstation (ANNA, 09:30)";

std::string raceName(const ::testing::TestParamInfo<Race> &info) {
    static const char *names[] = {"Save", "Delete", "Bill", "Items", "Clone", "Package", "Pay"};
    return std::string(names[int(info.param.first)]) + "Then" + names[int(info.param.second)];
}

// Two workstations open the same confirmed event (items, a task, a billing
// account); one commits a command, then the other commits its own from the
// event as it opened it. Whatever the pair and order, the second is refused
// and told why, and the stored club holds together.
class TwoWorkstationsTest : public RecordFixture, public ::testing::WithParamInterface<Race> {
protected:
    void SetUp() override {
        RecordFixture::SetUp();
        exec(u"master"_s, u"insert into acctinfo (acctnumber, lname) values (1001, 'Byron')"_s);
        head = booked(u"20270805"_s, u"Weekend"_s, u"10:00"_s, u"11:00"_s, Library, 4);
        exec(Evnt,
             u"insert into pkg (pkgnum, eventnum, eventdate, eventtitle) values (?, "
             "?, 20270805, 'Weekend')"_s,
             {head, head});
        gala = booked(QString::number(GalaDate), u"Gala"_s, u"18:00"_s, u"22:00"_s, Library, 4);
        exec(Evnt,
             u"update eventinfo set setfor = 40, guarantee = 35, memnonmem = 1, "
             "custid = 1001, custname = 'Byron', custaddr1 = '1 Mall', custcity = "
             "'Bath', custstate = 'SO', custzip = '12345', custphone1 = "
             "'555-1234', contactname = 'Ada', contphone1 = '555-1234', bookedby "
             "= 'DEMO', createdate = 20261206, deposit = 0 where eventnum = ?"_s,
             {gala});
        exec(Evnt,
             u"insert into items (eventid, qty, itemdesc, price, servchg, tax, glnum) values "
             "(?, 1, 'Dinner', 10, 1, 1, 4010), (?, 1, 'Wine', 10, 1, 1, 4010)"_s,
             {gala, gala});
        exec(Evnt,
             u"insert into tasklist (eventnumber, taskdate, todo, task, staff) "
             "values (?, 20270720, 'N', 'Order flowers', 'DEMO')"_s,
             {gala});
        // Its schedule, nothing received yet.
        exec(Evnt,
             u"insert into eventpayment (eventnum, line, what, duedate, amountdue, receiveddate, "
             "amountreceived, posted) values (?, 1, 'Deposit', 20270601, 100, 0, 0, 0), "
             "(?, 2, 'Balance', 20270815, 24, 0, 0, 0)"_s,
             {gala, gala});
        anna = std::make_unique<Workstation>(settings(), club, u"ANNA"_s);
        bert = std::make_unique<Workstation>(settings(), club, u"BERT"_s);
    }
    void TearDown() override {
        anna.reset();
        bert.reset();
        RecordFixture::TearDown();
    }

    void open(Workstation &station, Command command) {
        ASSERT_TRUE(station.logic().ShowEvent(gala));
        station.click(EventCommand::Modify);
        ASSERT_TRUE(station.logic().window.EditingEnabled);
        if (command == Command::Items) {
            ASSERT_TRUE(station.logic().items.open());
            station.logic().items.selectEventItemRow(0);
        }
        if (command == Command::Package)
            station.logic().packages.SelectedPackage = head;
        if (command == Command::Pay)
            ASSERT_TRUE(station.logic().payments.open());
        station.prompts.clear();
    }

    // `after`: the command that committed first, if any. `refusedStale`: the
    // operator is asked to reload, and keeps his screen.
    void act(Workstation &station, Command command, std::optional<Command> after = std::nullopt,
             bool refusedStale = false) {
        ScriptedPrompts &prompts = station.prompts;
        const auto answerAfterwards = [&] {
            if (refusedStale)
                prompts.answerYesNo(false);
        };
        switch (command) {
        case Command::Save:
            station.event().fields[EventField::Title] = savedTitle(station);
            station.event().UnsavedChanges = true;
            answerAfterwards();
            station.click(EventCommand::Save);
            break;
        case Command::Delete:
            prompts.answerYesNo(true); // "Delete this contact now?"
            answerAfterwards();
            station.logic().wholeEvent.deleteContact();
            break;
        case Command::Bill:
            prompts.answerYesNo(false); // no employee
            prompts.answerYesNo(true);  // "Bill this event now?"
            if (after == Command::Delete)
                prompts.answerYesNo(true); // no items left: mark it billed anyway
            answerAfterwards();
            station.click(EventCommand::BillEvent);
            break;
        case Command::Items:
            answerAfterwards();
            station.logic().items.moveItem(ItemWindow::RemoveMove);
            break;
        case Command::Clone:
            prompts.answerInput(QString::number(CloneDate));
            answerAfterwards();
            station.logic().wholeEvent.cloneEvent();
            break;
        case Command::Package:
            answerAfterwards();
            station.logic().packages.WritePackageRow(EventPackages::LinkToPackage);
            break;
        case Command::Pay:
            station.logic().payments.recordPayment(0, {u"20270601"_s, u"100"_s, u"chq 7"_s});
            break;
        }
    }

    static QString savedTitle(Workstation &station) {
        return u"Saved by "_s + station.module.session.UserName;
    }

    // Whether the command's change is what is stored.
    bool applied(Command command, Workstation &station) {
        switch (command) {
        case Command::Save:
            return stored(u"eventtitle"_s, gala) == savedTitle(station);
        case Command::Delete:
            return count(u"select count(*) from eventinfo where eventnum = ?"_s, {gala}) == 0;
        case Command::Bill:
            return count(u"select count(*) from eventinfo where eventnum = ? and "
                         "status = 5"_s,
                         {gala}) == 1;
        case Command::Items:
            return count(u"select count(*) from items where eventid = ?"_s, {gala}) == 1;
        case Command::Clone:
            return count(u"select count(*) from eventinfo where eventdate = ?"_s, {CloneDate}) == 1;
        case Command::Package:
            return count(u"select count(*) from pkg where eventnum = ? and pkgnum "
                         "= ?"_s,
                         {gala, head}) == 1;
        case Command::Pay:
            return count(u"select count(*) from eventpayment where eventnum = ? and reference = "
                         "'chq 7'"_s,
                         {gala}) == 1;
        }
        return false;
    }

    // What must hold whatever the workstations did: each booked event has
    // exactly its cells, every cell and row its event, and a billed event's
    // items are its charges.
    void expectClubHoldsTogether() {
        for (const QVariant &event :
             column(Evnt, u"select eventnum from eventinfo where status between 2 and 8"_s))
            EXPECT_EQ(count(u"select count(*) from reserv r, eventinfo e where e.eventnum = ? and "
                            "r.resdate = e.eventdate and r.restime >= e.starttime and r.restime "
                            "< e.endtime"_s,
                            {event}),
                      count(u"select count(*) from reserv where event1 = ? or event2 = ? or "
                            "event3 = ?"_s,
                            {event, event, event}))
                << "event " << event.toInt();
        for (int room = 1; room <= 3; ++room)
            EXPECT_EQ(count(u"select count(*) from reserv where event%1 > 0 and not exists "
                            "(select 1 from eventinfo where eventnum = event%1 and roomnumber = "
                            "%1 and status between 2 and 8)"_s.arg(room)),
                      0)
                << "cells of room " << room << " without their event";
        // An event's deposit is what its schedule's first line received.
        EXPECT_EQ(count(u"select count(*) from eventinfo e join eventpayment p on p.eventnum = "
                        "e.eventnum and p.line = 1 where e.status > 2 and coalesce(e.deposit, 0) "
                        "<> p.amountreceived"_s),
                  0);
        for (const char *rows :
             {"items where eventid", "tasklist where eventnumber", "pkg where eventnum",
              "pkg where pkgnum", "eventpayment where eventnum"})
            EXPECT_EQ(count(u"select count(*) from %1 not in (select eventnum from "
                            "eventinfo)"_s.arg(QLatin1String(rows))),
                      0)
                << rows << " without their event";
        QMap<QString, Money> items;
        for (const QVariant &total :
             column(Evnt, u"select 'EV' || eventid || '|' || (price + servchg + tax) from items "
                          "where eventid in (select eventnum from eventinfo where status = 5)"_s))
            items[total.toString().section(u'|', 0, 0)] +=
                *Money::fromText(total.toString().section(u'|', 1));
        QMap<QString, Money> charges;
        for (const QVariant &charge :
             column(u"daily"_s, u"select architnum || '|' || archittotal from ardaily"_s))
            charges[charge.toString().section(u'|', 0, 0)] +=
                *Money::fromText(charge.toString().section(u'|', 1));
        EXPECT_EQ(charges, items);
    }

    bool shown(Workstation &station, const QString &text) {
        for (const auto *list : {&station.prompts.messages, &station.prompts.questions})
            for (const ScriptedPrompts::Shown &shown : *list)
                if (shown.text.contains(text))
                    return true;
        return false;
    }

    int head = 0;
    int gala = 0;
    std::unique_ptr<Workstation> anna;
    std::unique_ptr<Workstation> bert;
};

TEST_P(TwoWorkstationsTest, TheSecondWriteIsRefusedAndTheClubHoldsTogether) {
    const Race race = GetParam();
    open(*anna, race.first);
    open(*bert, race.second);
    act(*anna, race.first);
    EXPECT_TRUE(applied(race.first, *anna)) << anna->prompts.messageTexts().join('|').toStdString();
    anna->prompts.clear();

    const QString told = u"Event #%1 "_s.arg(gala) + QLatin1String(race.loserSees);
    const bool asked = QLatin1String(race.loserSees) == QLatin1String(Changed);
    act(*bert, race.second, race.first, asked);
    EXPECT_TRUE(shown(*bert, told)) << bert->prompts.messageTexts().join('|').toStdString();
    EXPECT_FALSE(applied(race.second, *bert));
    // The windows beside the event (items, package, payments) close on a
    // deleted event and leave the main window to find it gone.
    if (race.first == Command::Delete && race.second != Command::Items &&
        race.second != Command::Package && race.second != Command::Pay) {
        EXPECT_EQ(bert->event().EventNumber, 0) << "the window leaves a deleted event";
    }
    EXPECT_TRUE(applied(race.first, *anna)) << "the first write stands";
    expectClubHoldsTogether();
}

INSTANTIATE_TEST_SUITE_P(
    EveryPairBothOrders, TwoWorkstationsTest,
    ::testing::Values(
        Race{Command::Save, Command::Save, Changed}, Race{Command::Save, Command::Delete, Changed},
        Race{Command::Delete, Command::Save, Deleted}, Race{Command::Save, Command::Bill, Changed},
        Race{Command::Bill, Command::Save, Changed}, Race{Command::Delete, Command::Bill, Deleted},
        Race{Command::Bill, Command::Delete, Changed}, Race{Command::Items, Command::Bill, Changed},
        Race{Command::Bill, Command::Items, "was billed at another workstation"},
        Race{Command::Clone, Command::Delete, Changed},
        Race{Command::Delete, Command::Clone, Deleted},
        Race{Command::Package, Command::Delete, Changed},
        Race{Command::Delete, Command::Package, Deleted},
        Race{Command::Pay, Command::Save, Changed}, Race{Command::Pay, Command::Delete, Changed},
        Race{Command::Delete, Command::Pay, Deleted}, Race{Command::Pay, Command::Bill, Changed}),
    raceName);

} // namespace
