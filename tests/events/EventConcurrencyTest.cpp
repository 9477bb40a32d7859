#include "EventFixture.h"
#include "Workers.h"

#include <QProcess>
#include <QSet>
#include <memory>

namespace {

// Several workstations at once, each an operating-system process of its own.
class EventConcurrencyTest : public EventFixture {
protected:
    std::vector<std::unique_ptr<QProcess>> runTogether(const QList<QStringList> &runs,
                                                       const QString &go = QString()) {
        return ::runTogether(QStringLiteral(EVENT_WORKER), club, runs, go);
    }
};

TEST_F(EventConcurrencyTest, EightWorkstationsNeverGetTheSameEventNumber) {
    constexpr int Workstations = 8;
    constexpr int Numbers = 200;
    const auto workers = runTogether(
        QList<QStringList>(Workstations, {QStringLiteral("numbers"), QString::number(Numbers)}));
    QSet<int> issued;
    int total = 0;
    for (const auto &worker : workers) {
        EXPECT_EQ(worker->exitCode(), 0) << worker->readAllStandardError().toStdString();
        for (const QByteArray &line : worker->readAllStandardOutput().split('\n')) {
            if (line.isEmpty())
                continue;
            issued.insert(line.toInt());
            ++total;
        }
    }
    EXPECT_EQ(total, Workstations * Numbers);
    EXPECT_EQ(issued.size(), total) << "every number issued once";
    EXPECT_EQ(*std::max_element(issued.begin(), issued.end()), Workstations * Numbers);
}

TEST_F(EventConcurrencyTest, OfEightWorkstationsBookingOneRoomAndTimeExactlyOneWins) {
    constexpr int Workstations = 8;
    for (const QString &date :
         {QStringLiteral("20270601"), QStringLiteral("20270602"), QStringLiteral("20270603")}) {
        const QString go = path(QStringLiteral("go-") + date);
        const auto workers = runTogether(
            QList<QStringList>(Workstations, {QStringLiteral("book"), date, QStringLiteral("18:00"),
                                              QStringLiteral("22:00"), QStringLiteral("1")}),
            go);
        int won = 0;
        int refused = 0;
        for (const auto &worker : workers) {
            const int code = worker->exitCode();
            won += code == 0 ? 1 : 0;
            refused += code == 3 ? 1 : 0;
            EXPECT_TRUE(code == 0 || code == 3) << worker->readAllStandardError().toStdString();
        }
        EXPECT_EQ(won, 1) << date.toStdString();
        EXPECT_EQ(refused, Workstations - 1);
        const int rowDate = date.toInt();
        EXPECT_EQ(scalar(QStringLiteral("evnt"),
                         QStringLiteral("select count(*) from eventinfo where eventdate = ?"),
                         {rowDate})
                      .toInt(),
                  1)
            << "no row of a refused save";
        EXPECT_EQ(scalar(QStringLiteral("evnt"),
                         QStringLiteral("select count(distinct event1) from reserv where resdate "
                                        "= ? and event1 > 0"),
                         {rowDate})
                      .toInt(),
                  1);
        EXPECT_EQ(cells(1, rowDate).size(), 16);
    }
}

} // namespace
