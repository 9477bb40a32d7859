#include "ui/EventOrderView.h"

#include "ClubFixture.h"
#include "ShownWindow.h"
#include "ViewTest.h"
#include "WaitFor.h"
#include "storage/Databases.h"

#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// The event order over the demo club's reception, worked from the
// keyboard alone as a clerk who does not reach for the mouse works it.
class EventOrderViewTest : public ClubFixture {
protected:
    bool demoData() const override { return true; }
    void SetUp() override {
        ClubFixture::SetUp();
        shown = std::make_unique<ShownWindow>(*module, club, u"order-view"_s);
        ASSERT_TRUE(shown->show(QSize(1366, 768)));
        event = eventNumber(u"Sullivan-Park Reception"_s);
        // The demo's own order set aside: the clerk starts from nothing.
        ASSERT_TRUE(EventOrders::removeOrder(**module->databases.open(u"evnt"_s), event).ok());
        ASSERT_TRUE(shown->logic.ShowEvent(event));
        order = child<EventOrderView>(shown->window, u"frmorder"_s);
    }
    void TearDown() override {
        shown->logic.QueryUnloadMainWindow();
        shown.reset();
        ClubFixture::TearDown();
    }

    bool opened() {
        return waitFor([&] { return order->isVisible() && order->isActiveWindow(); });
    }
    // The named control that has the keyboard: the box itself, or the table
    // or combo box whose editor it is.
    static QString focusName() {
        for (QWidget *at = QApplication::focusWidget(); at; at = at->parentWidget())
            if (!at->objectName().isEmpty() && !at->objectName().startsWith(u"qt_"_s))
                return at->objectName();
        return u"(none)"_s;
    }
    static void press(Qt::Key key, Qt::KeyboardModifiers modifiers = {}) {
        QTest::keyClick(QApplication::focusWidget(), key, modifiers);
    }
    // Each key to whatever has the keyboard at that moment, as a person types.
    static void type(const QString &text) {
        for (const QChar key : text)
            QTest::keyClicks(QApplication::focusWidget(), QString(key));
    }
    EventOrder stored() {
        auto evnt = module->databases.open(u"evnt"_s);
        EXPECT_TRUE(evnt.ok());
        auto read = EventOrders::read(**evnt, event);
        EXPECT_TRUE(read.ok());
        return read ? *read : EventOrder{};
    }
    void keepPicture(const QString &name) {
        if (const QString folder = qEnvironmentVariable("MORAVEL_SCREENSHOTS"); !folder.isEmpty())
            order->grab().save(QDir(folder).filePath(name));
    }

    std::unique_ptr<ShownWindow> shown;
    EventOrderView *order = nullptr;
    int event = 0;
};

TEST_F(EventOrderViewTest, AnOrderIsTypedTabbedThroughAndSavedFromTheKeyboard) {
    QTest::keyClick(&shown->window, Qt::Key_D, Qt::AltModifier);
    ASSERT_TRUE(opened()) << "Alt+D, Event Order";
    EXPECT_TRUE(order->windowTitle().startsWith(u"Event Order - #%1 "_s.arg(event)));
    // Every control in its place: whole in the window, none over another.
    QList<QWidget *> controls;
    for (QWidget *control : order->findChildren<QWidget *>())
        if (control->isVisible() && !control->objectName().isEmpty() &&
            !control->objectName().startsWith(u"qt_"_s) && !control->inherits("QGroupBox") &&
            !control->inherits("QStatusBar"))
            controls << control;
    QStringList misplaced;
    for (QWidget *control : controls) {
        const QRect place(control->mapTo(order, QPoint(0, 0)), control->size());
        if (!order->rect().contains(place))
            misplaced << control->objectName();
        for (QWidget *other : controls)
            if (other < control &&
                place.intersects(QRect(other->mapTo(order, QPoint(0, 0)), other->size())))
                misplaced << control->objectName() + u" over "_s + other->objectName();
    }
    EXPECT_EQ(misplaced, QStringList());

    // Where Tab leads and what is typed there: a style of the club's own,
    // two timeline lines, two dietary lines; an empty text only moves on.
    const std::pair<const char *, QString> path[] = {
        {"cboorderstyle", u"Long tables, head table"_s},
        {"txtorder(1)", u"8"_s},
        {"txtorder(2)", u"64"_s},
        {"txtorder(3)", u"Ivory"_s},
        {"txtorder(4)", QString()},
        {"txtorder(5)", u"Centre"_s},
        {"txtorder(6)", u"Two microphones"_s},
        {"txtorder(7)", u"Cake table by the window"_s},
        {"grdtimeline", u"18:30"_s},
        {"grdtimeline", u"Guests arrive"_s},
        {"grdtimeline", u"7:00 pm"_s},
        {"grdtimeline", u"Dinner served"_s},
        {"grdtimeline", QString()},
        {"grdtimeline", QString()},
        {"cmdremovetimeline", QString()},
        {"grddietary", u"Vegetarian"_s},
        {"grddietary", u"12"_s},
        {"grddietary", u"Gluten-free"_s},
        {"grddietary", u"50"_s},
        {"grddietary", QString()},
        {"grddietary", QString()},
        {"cmdremovedietary", QString()},
        {"grdorderitems", QString()},
        {"txtorder(8)", u"No nuts at table 4"_s},
        {"txtorder(9)", QString()},
        {"txtorder(10)", QString()},
        {"txtorder(11)", u"Colleen Reilly"_s},
        {"txtorder(12)", u"267-555-0199"_s},
        {"cmdordersave", QString()}};
    for (const auto &[name, text] : path) {
        ASSERT_EQ(focusName(), QString::fromLatin1(name));
        type(text);
        press(Qt::Key_Tab);
    }
    auto *caution = child<QLabel>(*order, u"lbldietcaution"_s);
    EXPECT_TRUE(caution->isVisible());
    EXPECT_TRUE(caution->text().contains(u"62"_s)) << caution->text().toStdString();
    keepPicture(u"event-order.png"_s);

    // Alt+D reaches the dietary counts; Delete takes the line chosen.
    press(Qt::Key_D, Qt::AltModifier);
    ASSERT_EQ(focusName(), u"grddietary"_s);
    press(Qt::Key_Up);
    press(Qt::Key_Delete);
    EXPECT_FALSE(caution->isVisible()) << "12 of 58 guests";

    // Alt+M reaches the menu; the chosen item is served in a course of the
    // club's own words.
    press(Qt::Key_M, Qt::AltModifier);
    ASSERT_EQ(focusName(), u"grdorderitems"_s);
    const int row = child<QTableWidget>(*order, u"grdorderitems"_s)->currentRow();
    const int chosenItem = shown->logic.order.items.value(row).item;
    type(u"Passed canapes"_s);

    // Ctrl+S with the course still being typed saves it too.
    EXPECT_TRUE(order->isWindowModified());
    press(Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(child<QLabel>(*order, u"lblorderstatus"_s)->text(), u"Saved"_s);
    EXPECT_FALSE(order->isWindowModified());
    const EventOrder saved = stored();
    EXPECT_EQ(saved.style, u"Long tables, head table"_s);
    EXPECT_EQ(saved.tables, 8);
    EXPECT_EQ(saved.seats, 64);
    EXPECT_EQ(saved.linen, u"Ivory"_s);
    EXPECT_EQ(saved.danceFloor, u"Centre"_s);
    EXPECT_EQ(saved.setupNote, u"Cake table by the window"_s);
    EXPECT_EQ(saved.kitchenNote, u"No nuts at table 4"_s);
    EXPECT_EQ(saved.sitePhone, u"267-555-0199"_s);
    EXPECT_EQ(saved.timeline, (QList<EventOrder::TimelineLine>{{u"18:30"_s, u"Guests arrive"_s},
                                                               {u"19:00"_s, u"Dinner served"_s}}));
    EXPECT_EQ(saved.dietary, (QList<EventOrder::DietaryNeed>{{u"Vegetarian"_s, 12}}));
    EXPECT_EQ(saved.courses.value(chosenItem), u"Passed canapes"_s);
    EXPECT_EQ(child<QTableWidget>(*order, u"grdtimeline"_s)->item(1, 0)->text(), u"19:00"_s)
        << "drawn again as stored";
    EXPECT_TRUE(prompts.messages.isEmpty()) << prompts.messageTexts().join('|').toStdString();
}

TEST_F(EventOrderViewTest, UnsavedWorkIsClosedOnlyWhenToldAndBelowTheEditingLevelNothingIsTyped) {
    QPushButton *command = shown->window.button(EventCommand::EventOrder);
    command->click();
    ASSERT_TRUE(opened());
    auto *linen = child<QLineEdit>(*order, u"txtorder(3)"_s);
    linen->setFocus();
    type(u"Ivory"_s);
    prompts.answerYesNo(false);
    press(Qt::Key_C, Qt::AltModifier); // a button's letter clicks it a moment later
    ASSERT_TRUE(waitFor([&] { return prompts.questions.size() == 1; }));
    EXPECT_EQ(prompts.questions[0].text, u"Close the event order without saving your changes?"_s);
    EXPECT_TRUE(order->isVisible());
    EXPECT_EQ(linen->text(), u"Ivory"_s) << "kept to be saved";
    prompts.answerYesNo(true);
    press(Qt::Key_Escape); // from the box, as a dialog closes
    EXPECT_TRUE(waitFor([&] { return !order->isVisible(); }));
    EXPECT_EQ(prompts.questions.size(), 2);
    EXPECT_EQ(stored().linen, QString());

    // A clerk at the first level looks: every box read only or disabled,
    // only printing and closing left.
    signIn(10);
    prompts.clear();
    command->click();
    ASSERT_TRUE(opened());
    QStringList writable;
    for (QWidget *control : order->findChildren<QWidget *>()) {
        auto *line = qobject_cast<QLineEdit *>(control);
        auto *note = qobject_cast<QPlainTextEdit *>(control);
        auto *table = qobject_cast<QTableWidget *>(control);
        auto *button = qobject_cast<QPushButton *>(control);
        const bool open = (line && !line->isReadOnly() && line->isEnabled()) ||
                          (note && !note->isReadOnly()) || (table && table->editTriggers()) ||
                          (qobject_cast<QComboBox *>(control) && control->isEnabled()) ||
                          (button && button->isEnabled() &&
                           !control->objectName().startsWith(u"cmdorderprint"_s) &&
                           control->objectName() != u"cmdorderclose"_s);
        if (open)
            writable << control->objectName();
    }
    EXPECT_EQ(writable, QStringList());
    EXPECT_EQ(child<QTableWidget>(*order, u"grdtimeline"_s)->rowCount(), 0) << "no row to add";
    EXPECT_EQ(child<QLabel>(*order, u"lblorderstatus"_s)->text(), u"Read only"_s);
    keepPicture(u"event-order-read-only.png"_s);
    press(Qt::Key_S, Qt::ControlModifier);
    press(Qt::Key_C, Qt::AltModifier);
    EXPECT_TRUE(waitFor([&] { return !order->isVisible(); })) << "nothing to ask";
    EXPECT_TRUE(prompts.messages.isEmpty()) << prompts.messageTexts().join('|').toStdString();
}

} // namespace

namespace {

// The demo wedding's order as the office left it: every line drawn where
// the clerk looks for it, and the menu in the club's course order.
class DemoOrderViewTest : public ClubFixture {
protected:
    bool demoData() const override { return true; }
};

TEST_F(DemoOrderViewTest, TheWeddingsOrderOpensWithEverythingStored) {
    ShownWindow shown(*module, club, u"order-demo"_s);
    ASSERT_TRUE(shown.show(QSize(1366, 768)));
    ASSERT_TRUE(shown.logic.ShowEvent(eventNumber(u"Sullivan-Park Reception"_s)));
    QTest::keyClick(&shown.window, Qt::Key_D, Qt::AltModifier);
    auto *order = child<EventOrderView>(shown.window, u"frmorder"_s);
    ASSERT_TRUE(waitFor([&] { return order->isVisible(); }));
    const auto *timeline = child<QTableWidget>(*order, u"grdtimeline"_s);
    EXPECT_EQ(timeline->rowCount(), 7) << "six lines and the empty one";
    EXPECT_EQ(timeline->item(2, 0)->text() + u" "_s + timeline->item(2, 1)->text(),
              u"19:00 Dinner served"_s);
    const auto *items = child<QTableWidget>(*order, u"grdorderitems"_s);
    QStringList courses;
    for (int row = 0; row < items->rowCount(); ++row)
        courses << items->item(row, 2)->text();
    courses.removeDuplicates();
    EXPECT_EQ(courses, (QStringList{u"Reception"_s, u"Main"_s, u"Dessert"_s, u"Bar"_s}));
    EXPECT_TRUE(
        child<QLabel>(*order, u"lblorderrevision"_s)->text().startsWith(u"Revision 1, issued"_s));
    EXPECT_FALSE(child<QLabel>(*order, u"lbldietcaution"_s)->isVisible());
    if (const QString folder = qEnvironmentVariable("MORAVEL_SCREENSHOTS"); !folder.isEmpty())
        order->grab().save(QDir(folder).filePath(u"event-order-demo.png"_s));
    shown.logic.order.close();
    shown.logic.QueryUnloadMainWindow();
}

} // namespace
