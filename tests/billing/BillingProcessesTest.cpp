#include "BillingFixture.h"
#include "Workers.h"
#include "storage/Transaction.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QRandomGenerator>
#include <QSet>
#include <algorithm>
#include <memory>
#include <signal.h>

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

    // Events first..last at status 4, each with `Items` items.
    void addEvents(int first, int last) {
        Databases databases(settings());
        auto db = databases.open(QStringLiteral("evnt"));
        ASSERT_TRUE(db.ok());
        Transaction transaction(*db.value());
        ASSERT_TRUE(transaction.begun().ok());
        for (int event = first; event <= last; ++event) {
            ASSERT_TRUE(db.value()
                            ->execute(QStringLiteral("insert into eventinfo (eventnum, status, "
                                                     "custid) values (?, 4, 1001)"),
                                      {event})
                            .ok());
            auto insert = db.value()->prepare(
                QStringLiteral("insert into items (eventid, qty, itemdesc, price, servchg, tax, "
                               "glnum) values (?, 1, ?, '10.25', '1.85', '0.82', 4010)"));
            ASSERT_TRUE(insert.ok());
            for (int item = 0; item < Items; ++item) {
                insert->addBindValue(event);
                insert->addBindValue(QStringLiteral("Item %1").arg(item));
                ASSERT_TRUE(db.value()->exec(*insert).ok());
            }
        }
        ASSERT_TRUE(transaction.commit().ok());
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
    // Starts the worker and kills it (SIGKILL) after the delay, unless it
    // has ended by then.
    void runAndKill(const QStringList &arguments, int delayMs) {
        auto worker = start(arguments);
        if (!worker->waitForFinished(delayMs)) {
            ::kill(pid_t(worker->processId()), SIGKILL);
            worker->waitForFinished(10000);
        }
    }
    std::vector<std::unique_ptr<QProcess>> runTogether(const QList<QStringList> &runs,
                                                       const QString &go) {
        return ::runTogether(QStringLiteral(BILLING_WORKER), club, runs, go);
    }
    int timedRun(const QStringList &arguments) {
        QElapsedTimer took;
        took.start();
        EXPECT_EQ(run(arguments), 0);
        return int(took.elapsed());
    }
    // Accounts in the range, counted in each of their five tables.
    QList<int> accountRows() {
        QList<int> rows;
        for (const auto &[database, table] :
             {std::pair{"master", "acctinfo"}, std::pair{"master", "address"},
              std::pair{"master", "interesta"}, std::pair{"master", "comments"},
              std::pair{"master2", "ar"}})
            rows << count(QString::fromLatin1(database),
                          QStringLiteral("select count(*) from %1 where acctnumber >= 90000")
                              .arg(QString::fromLatin1(table)));
        return rows;
    }
};

TEST_F(BillingProcessesTest, ABillingKilledAtAnyMomentLeavesAllOrNothing) {
    constexpr int Runs = 25; // enough for kills both before and after the commit
    addEvents(1, Runs + 1);
    const int normal =
        timedRun({QStringLiteral("bill"), QStringLiteral("1"), QStringLiteral("1001")});
    const quint32 seed = QRandomGenerator::global()->generate();
    QRandomGenerator random(seed);
    SCOPED_TRACE(testing::Message() << "seed " << seed << ", a run takes " << normal << " ms");
    int killedBeforeCommit = 0;
    for (int event = 2; event <= Runs + 1; ++event) {
        const QStringList bill{QStringLiteral("bill"), QString::number(event),
                               QStringLiteral("1001")};
        runAndKill(bill, int(random.bounded(normal + normal / 2 + 1)));
        const int afterKill = status(event);
        const int charged = charges(event);
        ASSERT_TRUE((afterKill == 4 && charged == 0) || (afterKill == 5 && charged == Items))
            << "event " << event << ": status " << afterKill << " with " << charged << " charges";
        killedBeforeCommit += afterKill == 4 ? 1 : 0;
        // The next attempt bills what the killed one did not, and only that.
        EXPECT_EQ(run(bill), afterKill == 4 ? 0 : 3) << "event " << event;
        EXPECT_EQ(status(event), 5);
        EXPECT_EQ(charges(event), Items);
    }
    std::cout << "billing killed before its commit in " << killedBeforeCommit << " of " << Runs
              << " runs\n";
    EXPECT_GT(killedBeforeCommit, 0) << "no kill landed before the commit";
    EXPECT_LT(killedBeforeCommit, Runs) << "no kill came after the commit";
}

TEST_F(BillingProcessesTest, AnAccountKilledAtAnyMomentIsWholeOrAbsent) {
    constexpr int Runs = 25; // enough for kills both before and after the commit
    const int normal = timedRun({QStringLiteral("create"), QStringLiteral("1")});
    const quint32 seed = QRandomGenerator::global()->generate();
    QRandomGenerator random(seed);
    SCOPED_TRACE(testing::Message() << "seed " << seed << ", a run takes " << normal << " ms");
    for (int run = 0; run < Runs; ++run) {
        runAndKill({QStringLiteral("create"), QString::number(run + 2)},
                   int(random.bounded(normal + normal / 2 + 1)));
        const QList<int> rows = accountRows();
        ASSERT_EQ(QSet<int>(rows.begin(), rows.end()).size(), 1)
            << "run " << run << ": rows per table " << rows[0] << " " << rows[1] << " " << rows[2]
            << " " << rows[3] << " " << rows[4];
    }
    const int before = accountRows().first();
    QString number;
    EXPECT_EQ(this->run({QStringLiteral("create"), QStringLiteral("99")}, &number), 0);
    EXPECT_EQ(accountRows(), QList<int>(5, before + 1));
    EXPECT_EQ(number.toDouble(), 90000 + before) << "numbers are given out without gaps";
}

TEST_F(BillingProcessesTest, FourWorkstationsBillingOneEventChargeItOnce) {
    addEvents(7, 7);
    const auto workers =
        runTogether(QList<QStringList>(
                        4, {QStringLiteral("bill"), QStringLiteral("7"), QStringLiteral("1001")}),
                    path(QStringLiteral("go-bill")));
    QList<int> codes;
    for (const auto &worker : workers)
        codes << worker->exitCode();
    std::sort(codes.begin(), codes.end());
    EXPECT_EQ(codes, (QList<int>{0, 3, 3, 3})) << "one bills, three are told it is billed";
    EXPECT_EQ(charges(7), Items);
    EXPECT_EQ(status(7), 5);
}

TEST_F(BillingProcessesTest, FourWorkstationsCreatingAccountsGetFourWholeOnes) {
    QList<QStringList> runs;
    for (int event = 1; event <= 4; ++event)
        runs << QStringList{QStringLiteral("create"), QString::number(event)};
    const auto workers = runTogether(runs, path(QStringLiteral("go-create")));
    QSet<QString> numbers;
    for (const auto &worker : workers) {
        EXPECT_EQ(worker->exitCode(), 0) << worker->readAllStandardError().toStdString();
        numbers.insert(QString::fromUtf8(worker->readAllStandardOutput()).trimmed());
    }
    EXPECT_EQ(numbers, (QSet<QString>{QStringLiteral("90000"), QStringLiteral("90001"),
                                      QStringLiteral("90002"), QStringLiteral("90003")}));
    EXPECT_EQ(accountRows(), QList<int>(5, 4));
}

// Each export reads the member list only once it holds the tills' copy, so
// no export can commit an older list over a newer one.
TEST_F(BillingProcessesTest, WorkstationsCreatingAccountsAndExportingLeaveEveryAccountAtTheTills) {
    touch(QStringLiteral("TILLZO.EXE"));
    // Rounds, since workstations colliding is a matter of timing.
    constexpr int Rounds = 3, Workstations = 6;
    for (int round = 0; round < Rounds; ++round) {
        QList<QStringList> runs;
        for (int event = 1; event <= Workstations; ++event)
            runs << QStringList{QStringLiteral("create-export"), QString::number(event)};
        const auto workers = runTogether(runs, path(QStringLiteral("go-export%1").arg(round)));
        for (const auto &worker : workers)
            EXPECT_EQ(worker->exitCode(), 0) << worker->readAllStandardError().toStdString();
    }
    const QVariantList members =
        column(QStringLiteral("master"),
               QStringLiteral("select acctnumber from acctinfo order by acctnumber"));
    EXPECT_EQ(members.size(), 1 + Rounds * Workstations) << "1001 and the new accounts";
    EXPECT_EQ(column(QStringLiteral("qnposmem"),
                     QStringLiteral("select acctnumber from acctinfo order by acctnumber")),
              members);
}

} // namespace
