#include "BillingFixture.h"
#include "Workers.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QRandomGenerator>
#include <QSet>
#include <algorithm>
#include <functional>
#include <memory>
#include <signal.h>

using namespace Qt::StringLiterals;

namespace {

// Workstations as operating-system processes: several at once, and one
// killed at any moment of its work.
class BillingProcessesTest : public BillingFixture {
protected:
    static constexpr int Items = 600;

    void SetUp() override {
        BillingFixture::SetUp();
        addAccount(1001);
    }

    // Events first..last at status 4, each with `Items` items. The first
    // event's are inserted one by one, the others' copied from them by one
    // statement each: a server answers each statement in a round trip.
    void addEvents(int first, int last) {
        QList<QVariantList> events, items, copies;
        for (int event = first; event <= last; ++event) {
            events << QVariantList{event};
            if (event > first)
                copies << QVariantList{event, first};
        }
        for (int item = 0; item < Items; ++item)
            items << QVariantList{first, u"Item %1"_s.arg(item)};
        execEach(u"evnt"_s,
                 u"insert into eventinfo (eventnum, status, custid) values (?, 4, 1001)"_s, events);
        execEach(u"evnt"_s,
                 u"insert into items (eventid, qty, itemdesc, price, servchg, tax, glnum) "
                 "values (?, 1, ?, '10.25', '1.85', '0.82', 4010)"_s,
                 items);
        execEach(u"evnt"_s,
                 u"insert into items (eventid, qty, itemdesc, price, servchg, tax, glnum) "
                 "select ?, qty, itemdesc, price, servchg, tax, glnum from items where "
                 "eventid = ?"_s,
                 copies);
    }

    std::unique_ptr<QProcess> start(const QStringList &arguments) {
        auto worker = std::make_unique<QProcess>();
        worker->start(QStringLiteral(BILLING_WORKER), QStringList{club} + arguments);
        EXPECT_TRUE(worker->waitForStarted());
        return worker;
    }
    int run(const QStringList &arguments, QString *output = nullptr) {
        auto worker = start(arguments);
        EXPECT_TRUE(worker->waitForFinished(60000));
        if (output)
            *output = QString::fromUtf8(worker->readAllStandardOutput()).trimmed();
        return worker->exitCode();
    }
    // Runs the worker with arguments(1), then with arguments(2) to (Runs + 1),
    // each killed (SIGKILL) at a random moment up to half as long again as
    // the first run took, unless it has ended by then; left(n) checks what
    // each left behind.
    static constexpr int Runs = 25; // enough for kills both before and after the commit
    void killAtRandom(const std::function<QStringList(int)> &arguments,
                      const std::function<void(int)> &left) {
        QElapsedTimer took;
        took.start();
        EXPECT_EQ(run(arguments(1)), 0);
        const int normal = int(took.elapsed());
        const quint32 seed = QRandomGenerator::global()->generate();
        QRandomGenerator random(seed);
        SCOPED_TRACE(testing::Message() << "seed " << seed << ", a run takes " << normal << " ms");
        for (int n = 2; n <= Runs + 1; ++n) {
            auto worker = start(arguments(n));
            if (!worker->waitForFinished(int(random.bounded(normal + normal / 2 + 1)))) {
                ::kill(pid_t(worker->processId()), SIGKILL);
                worker->waitForFinished(10000);
            }
            left(n);
        }
    }
    QList<int> accountRows() { return BillingFixture::accountRows(u"acctnumber >= 90000"_s); }
};

TEST_F(BillingProcessesTest, ABillingKilledAtAnyMomentLeavesAllOrNothing) {
    addEvents(1, Runs + 1);
    const auto bill = [](int event) {
        return QStringList{u"bill"_s, QString::number(event), u"1001"_s};
    };
    int killedBeforeCommit = 0;
    killAtRandom(bill, [&](int event) {
        const int afterKill = status(event);
        const int charged = charges(event);
        ASSERT_TRUE((afterKill == 4 && charged == 0) || (afterKill == 5 && charged == Items))
            << "event " << event << ": status " << afterKill << " with " << charged << " charges";
        killedBeforeCommit += afterKill == 4 ? 1 : 0;
        // The next attempt bills what the killed one did not, and only that.
        EXPECT_EQ(run(bill(event)), afterKill == 4 ? 0 : 3) << "event " << event;
        EXPECT_EQ(status(event), 5);
        EXPECT_EQ(charges(event), Items);
    });
    EXPECT_GT(killedBeforeCommit, 0) << "no kill landed before the commit";
    EXPECT_LT(killedBeforeCommit, Runs) << "no kill came after the commit";
}

TEST_F(BillingProcessesTest, AnAccountKilledAtAnyMomentIsWholeOrAbsent) {
    killAtRandom(
        [](int event) {
            return QStringList{u"create"_s, QString::number(event)};
        },
        [&](int event) {
            const QList<int> rows = accountRows();
            EXPECT_EQ(rows, QList<int>(5, rows.first())) << "rows per table, event " << event;
        });
    const int before = accountRows().first();
    QString number;
    EXPECT_EQ(run({u"create"_s, u"99"_s}, &number), 0);
    EXPECT_EQ(accountRows(), QList<int>(5, before + 1));
    EXPECT_EQ(number.toDouble(), 90000 + before) << "numbers are given out without gaps";
}

// Rounds of workstations at once, since their colliding is a matter of
// timing: in the first, four also bill one event, which is charged once.
// Each export reads the member list only once it holds the tills' copy, so
// no export commits an older list over a newer one.
TEST_F(BillingProcessesTest, WorkstationsAtOnceChargeOnceAndLeaveEveryAccountWholeAtTheTills) {
    addEvents(7, 7);
    touch(u"TILLZO.EXE"_s);
    constexpr int Rounds = 3, Workstations = 6;
    QSet<QString> numbers;
    for (int round = 0; round < Rounds; ++round) {
        QList<QStringList> runs(round == 0 ? 4 : 0, {u"bill"_s, u"7"_s, u"1001"_s});
        for (int event = 1; event <= Workstations; ++event)
            runs << QStringList{u"create-export"_s, QString::number(event)};
        const auto workers =
            runTogether(QStringLiteral(BILLING_WORKER), club, runs, path(u"go%1"_s.arg(round)));
        QList<int> codes;
        for (const auto &worker : workers) {
            codes << worker->exitCode();
            if (codes.size() > runs.size() - Workstations) {
                EXPECT_EQ(codes.last(), 0) << worker->readAllStandardError().toStdString();
                numbers.insert(QString::fromUtf8(worker->readAllStandardOutput()).trimmed());
            }
        }
        std::sort(codes.begin(), codes.end());
        if (round == 0) {
            EXPECT_EQ(codes, (QList<int>{0, 0, 0, 0, 0, 0, 0, 3, 3, 3}))
                << "one bills, three are told it is billed";
        }
    }
    EXPECT_EQ(charges(7), Items);
    EXPECT_EQ(status(7), 5);
    EXPECT_EQ(numbers.size(), Rounds * Workstations);
    EXPECT_TRUE(numbers.contains(u"90000"_s) && numbers.contains(u"90017"_s));
    EXPECT_EQ(accountRows(), QList<int>(5, Rounds * Workstations));
    const QVariantList members =
        column(u"master"_s, u"select acctnumber from acctinfo order by acctnumber"_s);
    EXPECT_EQ(members.size(), 1 + Rounds * Workstations) << "1001 and the new accounts";
    EXPECT_EQ(column(u"qnposmem"_s, u"select acctnumber from acctinfo order by acctnumber"_s),
              members);
}

} // namespace
