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
    static constexpr int Workstations = 8;
    std::vector<std::unique_ptr<QProcess>> runTogether(const QStringList &run,
                                                       const QString &go = QString()) {
        return ::runTogether(QStringLiteral(EVENT_WORKER), club,
                             QList<QStringList>(Workstations, run), go);
    }
};

TEST_F(EventConcurrencyTest, EightWorkstationsNeverGetTheSameEventNumber) {
    constexpr int Numbers = 50;
    QSet<int> issued;
    int total = 0;
    for (const auto &worker : runTogether({u"numbers"_s, QString::number(Numbers)})) {
        EXPECT_EQ(worker->exitCode(), 0) << worker->readAllStandardError().toStdString();
        for (const QByteArray &line : worker->readAllStandardOutput().split('\n')) {
            if (!line.isEmpty()) {
                issued.insert(line.toInt());
                ++total;
            }
        }
    }
    EXPECT_EQ(total, Workstations * Numbers);
    EXPECT_EQ(issued.size(), total) << "every number issued once";
    EXPECT_EQ(*std::max_element(issued.begin(), issued.end()), Workstations * Numbers);
}

TEST_F(EventConcurrencyTest, OfEightWorkstationsBookingOneRoomAndTimeExactlyOneWins) {
    for (const QString &date : {u"20270601"_s, u"20270602"_s, u"20270603"_s}) {
        QList<int> codes;
        for (const auto &worker :
             runTogether({u"book"_s, date, u"18:00"_s, u"22:00"_s, u"1"_s}, path(u"go-"_s + date)))
            codes << worker->exitCode();
        EXPECT_EQ(codes.count(0), 1) << date.toStdString();
        EXPECT_EQ(codes.count(3), Workstations - 1) << "the others refused";
        EXPECT_EQ(scalar(u"evnt"_s, u"select count(*) from eventinfo where eventdate = ?"_s,
                         {date.toInt()})
                      .toInt(),
                  1)
            << "no row of a refused save";
        const QStringList booked = cells(1, date.toInt());
        EXPECT_EQ(booked.size(), 16);
        for (const QString &cell : booked)
            EXPECT_EQ(cell.section(u' ', 1), booked[0].section(u' ', 1)) << "one event's cells";
    }
}

} // namespace
