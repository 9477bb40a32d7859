#include "ui/RoomsBoardView.h"

#include "ClubFixture.h"
#include "ShownWindow.h"
#include "ViewTest.h"
#include "WaitFor.h"

#include <QDir>
#include <QFile>
#include <QRadioButton>
#include <QTest>
#include <QToolButton>

using namespace Qt::StringLiterals;

namespace {

// The rooms board in the main window over the demo club, worked with the
// mouse as the operator works it: the moves and bookings it asks for go
// through the event window's own save, whose rules the logic tests check.
class RoomsBoardViewTest : public ClubFixture {
protected:
    bool demoData() const override { return true; }
    void SetUp() override {
        ClubFixture::SetUp();
        shown = std::make_unique<ShownWindow>(*module, club, u"view-test"_s);
        ASSERT_TRUE(shown->show(QSize(1366, 768)));
        child<QRadioButton>(shown->window, u"optviewmode(2)"_s)->click();
        canvas = child<RoomsBoardCanvas>(shown->window, u"boardcanvas"_s);
        ASSERT_TRUE(waitFor([&] { return canvas->isVisible(); }));
    }
    void TearDown() override {
        shown.reset();
        ClubFixture::TearDown();
    }
    RoomsBoard &board() { return shown->logic.calendar.board; }
    const BoardBlock *blockOf(int event) {
        for (const BoardBlock &block : board().blocks())
            if (block.eventNumber == event)
                return &block;
        return nullptr;
    }
    QPoint centre(const BoardCell &cell) { return canvas->cellRect(cell).center().toPoint(); }
    void dragOnCanvas(const BoardCell &from, const BoardCell &to) {
        QTest::mousePress(canvas, Qt::LeftButton, {}, centre(from));
        QMouseEvent move(QEvent::MouseMove, centre(to), canvas->mapToGlobal(centre(to)),
                         Qt::NoButton, Qt::LeftButton, {});
        QApplication::sendEvent(canvas, &move);
        QTest::mouseRelease(canvas, Qt::LeftButton, {}, centre(to));
    }
    int rowOf(int room) {
        for (int row = 0; row < board().rows().size(); ++row)
            if (board().rows()[row].room == room)
                return row;
        return -1;
    }
    int slotOf(const QString &time) { return int(board().slotTimes().indexOf(time)); }
    // A picture for a person to look at, when asked for one.
    void keepPicture(const QString &name) {
        const QString folder = qEnvironmentVariable("MORAVEL_SCREENSHOTS");
        if (folder.isEmpty())
            return;
        QCoreApplication::processEvents(); // the scroll bars settle
        shown->window.grab().save(QDir(folder).filePath(name));
    }

    std::unique_ptr<ShownWindow> shown;
    RoomsBoardCanvas *canvas = nullptr;
};

// The demo club's busy Saturday: the second of next month (the clock's
// today is Sunday Dec 6, 2026).
const QDate BusySaturday(2027, 1, 9);

TEST_F(RoomsBoardViewTest, DraggingABlockMovesTheEventAfterOneConfirmation) {
    child<QToolButton>(shown->window, u"cmdboardspan(0)"_s)->click();
    board().showDate(BusySaturday, RoomsBoard::Span::Day);
    keepPicture(u"board-day.png"_s);
    ASSERT_FALSE(board().blocks().isEmpty());
    const BoardBlock block = board().blocks().first();
    const int terrace = rowOf(4);
    const int target = block.row == terrace ? rowOf(5) : terrace;
    const int room = board().rows()[target].room;
    const int shift = 2; // half an hour later
    prompts.answerYesNo(true);
    dragOnCanvas({block.row, 0, block.firstSlot}, {target, 0, block.firstSlot + shift});

    ASSERT_EQ(prompts.questions.size(), 1);
    EXPECT_TRUE(prompts.questions.first().text.startsWith(
        u"Move #%1 %2\nfrom "_s.arg(block.eventNumber).arg(block.title)));
    const QString start = board().timeAt(block.firstSlot + shift);
    EXPECT_EQ(rowTexts(u"evnt"_s,
                       u"select roomnumber, starttime from eventinfo where eventnum = ?"_s,
                       {block.eventNumber}),
              QStringList{u"%1|%2"_s.arg(room).arg(start)});
    EXPECT_EQ(
        scalar(
            u"evnt"_s,
            u"select count(*) from reserv where resdate = ? and restime = ? and Event%1 = ?"_s.arg(
                room),
            {block.date, start, block.eventNumber})
            .toInt(),
        1);
    EXPECT_EQ(scalar(u"evnt"_s,
                     u"select count(*) from reserv where Event%1 = ?"_s.arg(
                         block.row == target ? room : board().rows()[block.row].room),
                     {block.eventNumber})
                      .toInt() > 0,
              false);
    const BoardBlock *moved = blockOf(block.eventNumber);
    ASSERT_TRUE(moved);
    EXPECT_EQ(moved->row, target);
    EXPECT_TRUE(canvas->isVisible()) << "the board stays in front after a move";
    QFile log(path(u"evntsched.ini"_s));
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    EXPECT_TRUE(
        QString::fromUtf8(log.readAll())
            .contains(u"Event#%1 \\Start time changed from %2 to %3"_s.arg(block.eventNumber)
                          .arg(block.start, start)))
        << "the move is in the event's change log";
    keepPicture(u"board-moved.png"_s);
}

TEST_F(RoomsBoardViewTest, DraggingABlocksRightEdgeChangesItsEnd) {
    board().showDate(BusySaturday, RoomsBoard::Span::Day);
    const BoardBlock *found = nullptr;
    for (const BoardBlock &block : board().blocks())
        if (block.holdsRoom && block.end != u"CLOSE"_s &&
            block.endSlot + 2 < board().slotTimes().size() &&
            board().blockAt({block.row, 0, block.endSlot + 1}) < 0)
            found = &block;
    ASSERT_TRUE(found);
    const BoardBlock block = *found;
    const QRectF rect = canvas->spanRect(block.row, 0, block.firstSlot, block.endSlot);
    const QPoint edge(int(rect.right()) - 2, int(rect.center().y()));
    const QPoint later = centre({block.row, 0, block.endSlot + 1});
    prompts.answerYesNo(true);
    QTest::mousePress(canvas, Qt::LeftButton, {}, edge);
    QMouseEvent move(QEvent::MouseMove, later, canvas->mapToGlobal(later), Qt::NoButton,
                     Qt::LeftButton, {});
    QApplication::sendEvent(canvas, &move);
    QTest::mouseRelease(canvas, Qt::LeftButton, {}, later);
    EXPECT_EQ(scalar(u"evnt"_s, u"select endtime from eventinfo where eventnum = ?"_s,
                     {block.eventNumber}),
              board().timeAt(block.endSlot + 2));
    EXPECT_EQ(scalar(u"evnt"_s, u"select starttime from eventinfo where eventnum = ?"_s,
                     {block.eventNumber}),
              block.start);
}

TEST_F(RoomsBoardViewTest, DraggingAcrossAFreeEveningOpensNewEventFilledIn) {
    board().showDate(BusySaturday.addDays(2), RoomsBoard::Span::Day);
    const int row = rowOf(5);
    const BoardCell from{row, 0, slotOf(u"18:00"_s)};
    const BoardCell to{row, 0, slotOf(u"21:45"_s)};
    ASSERT_LT(board().blockAt(from), 0);
    dragOnCanvas(from, to);
    const CurrentEvent &event = module->event;
    EXPECT_EQ(event.mode, CurrentEvent::EnteringNew);
    EXPECT_EQ(event.fields[EventField::Date], BusySaturday.addDays(2).toString(u"yyyyMMdd"_s));
    EXPECT_EQ(event.fields[EventField::Room], u"5"_s);
    EXPECT_EQ(event.fields[EventField::Start], u"18:00"_s);
    EXPECT_EQ(event.fields[EventField::End], u"22:00"_s);
    EXPECT_FALSE(canvas->isVisible()) << "the event window is in front";
}

TEST_F(RoomsBoardViewTest, AWeekShowsEveryDayAndTheKeysReachTheBoard) {
    board().showDate(BusySaturday, RoomsBoard::Span::Day);
    child<QToolButton>(shown->window, u"cmdboardspan(1)"_s)->click();
    EXPECT_EQ(board().firstDay(), QDate(2027, 1, 3)) << "the week of the day shown";
    keepPicture(u"board-week.png"_s);
    canvas->setFocus();
    ASSERT_TRUE(waitFor([&] { return canvas->hasFocus(); }));
    const BoardCell before = board().cursor();
    QTest::keyClick(canvas, Qt::Key_Down);
    QTest::keyClick(canvas, Qt::Key_Right);
    EXPECT_EQ(board().cursor().row, std::min(before.row + 1, int(board().rows().size()) - 1));
    QTest::keyClick(canvas, Qt::Key_PageDown);
    EXPECT_EQ(board().firstDay(), QDate(2027, 1, 10));
}

} // namespace
