#include "EventFixture.h"
#include "Workers.h"

#include <QProcess>
#include <QSet>
#include <memory>

using namespace Qt::StringLiterals;

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
    const auto workers =
        runTogether(QList<QStringList>(Workstations, {u"numbers"_s, QString::number(Numbers)}));
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
    for (const QString &date : {u"20270601"_s, u"20270602"_s, u"20270603"_s}) {
        const QString go = path(u"go-"_s + date);
        const auto workers = runTogether(
            QList<QStringList>(Workstations, {u"book"_s, date, u"18:00"_s, u"22:00"_s, u"1"_s}),
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
        EXPECT_EQ(
            scalar(u"evnt"_s, u"select count(*) from eventinfo where eventdate = ?"_s, {rowDate})
                .toInt(),
            1)
            << "no row of a refused save";
        EXPECT_EQ(scalar(u"evnt"_s,
                         u"select count(distinct event1) from reserv where resdate "
                         "= ? and event1 > 0"_s,
                         {rowDate})
                      .toInt(),
                  1);
        EXPECT_EQ(cells(1, rowDate).size(), 16);
    }
}

} // namespace
