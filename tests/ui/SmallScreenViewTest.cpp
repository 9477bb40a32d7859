#include "ClubFixture.h"
#include "ShownWindow.h"
#include "WaitFor.h"
#include "ui/EventPanels.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QAction>
#include <QButtonGroup>
#include <QComboBox>
#include <QGroupBox>
#include <QHash>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTest>

// A size as gtest shows it when it is not the one expected.
static void PrintTo(const QSize &size, std::ostream *out) {
    *out << size.width() << "x" << size.height();
}

namespace {

// The main window on the smallest screen a club office has, 1366x768, as a
// banquet clerk works it: every panel in reach, lists that open over the
// form without moving it, lists and options worked by the keyboard, and a
// window that starts afresh.
class SmallScreenViewTest : public ClubFixture {
protected:
    bool demoData() const override { return true; }

    void SetUp() override {
        ClubFixture::SetUp();
        shown = std::make_unique<ShownWindow>(*module, club, QStringLiteral("small-screen"));
        ASSERT_TRUE(shown->show());
        ASSERT_EQ(shown->window.screen()->size(), QSize(1366, 768));
    }
    void TearDown() override {
        if (shown)
            shown->logic.QueryUnloadMainWindow();
        shown.reset();
        ClubFixture::TearDown();
    }

    MainWindow &window() { return shown->window; }
    MainWindowLogic &logic() { return shown->logic; }
    template <typename T = QWidget> T *control(const QString &name) {
        T *found = window().findChild<T *>(name);
        EXPECT_NE(found, nullptr) << name.toStdString();
        return found;
    }
    QLineEdit *box(EventField field) {
        return control<QLineEdit>(QStringLiteral("Text1(%1)").arg(columnOf(field)));
    }
    QListWidget *startList() { return control<QListWidget>(QStringLiteral("cbostart")); }
    QListWidget *endList() { return control<QListWidget>(QStringLiteral("cboend")); }
    QComboBox *statusList() { return control<QComboBox>(QStringLiteral("cbostatus")); }
    const QString &stored(EventField field) { return logic().currentEvent().fields[field]; }
    // Lets the window finish what its last action started.
    static void settle() {
        waitFor([] { return false; }, 150);
    }

    void newEvent() {
        window().button(EventCommand::NewEvent)->click();
        ASSERT_TRUE(waitFor([&] { return box(EventField::Date)->hasFocus(); }))
            << "New Event starts in the date";
        settle();
    }

    // Every visible control of the main window, its pop-ups too, that does
    // not lie whole on the screen's free area and in its own window; the
    // window's frame first when it leaves the screen.
    QStringList offScreen() {
        const QRect area = window().screen()->availableGeometry();
        QStringList found;
        const auto at = [](const QRect &r) {
            return QStringLiteral("%1,%2 %3x%4")
                .arg(r.x())
                .arg(r.y())
                .arg(r.width())
                .arg(r.height());
        };
        if (!area.contains(window().frameGeometry()))
            found << QStringLiteral("frmbanq0 frame ") + at(window().frameGeometry());
        for (QWidget *control : window().findChildren<QWidget *>()) {
            if (!control->isVisible())
                continue;
            const QRect onScreen(control->mapToGlobal(QPoint(0, 0)), control->size());
            const QWidget *top = control->window();
            const QRect inWindow(top->mapToGlobal(QPoint(0, 0)), top->size());
            if (!area.contains(onScreen) || !inWindow.contains(onScreen))
                found << QStringLiteral("%1 %2 at ")
                                 .arg(QString::fromLatin1(control->metaObject()->className()),
                                      control->objectName()) +
                             at(onScreen);
        }
        return found;
    }

    // Where each visible control of the main window stands in it.
    QHash<QWidget *, QRect> places() {
        QHash<QWidget *, QRect> found;
        for (QWidget *control : window().findChildren<QWidget *>()) {
            if (control->isVisible() && control->window() == &window())
                found.insert(control,
                             QRect(control->mapTo(&window(), QPoint(0, 0)), control->size()));
        }
        return found;
    }
    QStringList moved(const QHash<QWidget *, QRect> &before) {
        QStringList found;
        const QHash<QWidget *, QRect> after = places();
        for (auto it = before.begin(); it != before.end(); ++it) {
            if (after.value(it.key()) != it.value())
                found << QString::fromLatin1(it.key()->metaObject()->className()) +
                             QLatin1Char(' ') + it.key()->objectName();
        }
        return found;
    }

    std::unique_ptr<ShownWindow> shown;
};

TEST_F(SmallScreenViewTest, EveryPanelAndControlLiesOnTheScreenAfterNewEventAndOpeningAnEvent) {
    const QSize size = window().size();
    EXPECT_EQ(offScreen(), QStringList()) << "the month sheet";

    newEvent();
    EXPECT_EQ(window().size(), size) << "the window keeps its size";
    for (const char *panel : {"fraevent", "frabilling", "fracontact"})
        EXPECT_TRUE(control(QString::fromLatin1(panel))->isVisible()) << panel;
    for (int index : {0, 1, 3, 8, 10, 20, 21, 30, 33, 34})
        EXPECT_TRUE(control(QStringLiteral("Text1(%1)").arg(index))->isVisible()) << index;
    EXPECT_TRUE(control(QStringLiteral("helpwindow"))->isVisible());
    EXPECT_TRUE(control(QStringLiteral("cmdexit"))->isVisible());
    EXPECT_EQ(offScreen(), QStringList()) << "after New Event";

    QTest::mouseClick(box(EventField::Start), Qt::LeftButton);
    ASSERT_TRUE(waitFor([&] { return startList()->isVisible(); }));
    EXPECT_EQ(window().size(), size);
    EXPECT_EQ(offScreen(), QStringList()) << "with the start time list open";
    QTest::keyClick(startList()->window(), Qt::Key_Escape);
    ASSERT_TRUE(waitFor([&] { return !startList()->isVisible(); }));

    QTest::mouseClick(box(EventField::Room), Qt::LeftButton);
    QTest::keyClick(box(EventField::Room), Qt::Key_F5);
    auto *rooms = control<QListWidget>(QStringLiteral("List1"));
    ASSERT_TRUE(waitFor([&] { return rooms->isVisible(); })) << "F5 opens the room list";
    EXPECT_EQ(window().size(), size);
    EXPECT_EQ(offScreen(), QStringList()) << "with the room list open";
    QTest::mouseClick(rooms->viewport(), Qt::LeftButton, {},
                      rooms->visualItemRect(rooms->item(0)).center());
    EXPECT_EQ(box(EventField::Room)->text(), QStringLiteral("1")) << "a click chooses";
    EXPECT_FALSE(rooms->isVisible());

    prompts.answerYesNo(true); // Cancel changes?
    window().button(EventCommand::ClearScreen)->click();
    for (const QString &title : {QStringLiteral("Sullivan-Park Reception"),
                                 QStringLiteral("Sullivan-Park Wedding Ceremony")}) {
        ASSERT_TRUE(logic().ShowEvent(eventNumber(title)));
        settle();
        EXPECT_EQ(window().size(), size) << title.toStdString();
        EXPECT_TRUE(control(QStringLiteral("fracontact"))->isVisible());
        EXPECT_EQ(offScreen(), QStringList()) << "with " << title.toStdString() << " open";
        window().button(EventCommand::Modify)->click();
        settle();
        EXPECT_EQ(window().size(), size);
        EXPECT_EQ(offScreen(), QStringList()) << title.toStdString() << " being changed";
        window().button(EventCommand::ClearScreen)->click();
    }

    // From the look-up panel, which gives way to the event's panels.
    window().button(EventCommand::Lookup)->click();
    ASSERT_TRUE(waitFor([&] { return control(QStringLiteral("fralookup"))->isVisible(); }));
    EXPECT_EQ(offScreen(), QStringList()) << "the look-up panel";
    ASSERT_TRUE(logic().ShowEvent(eventNumber(QStringLiteral("Sullivan-Park Reception"))));
    settle();
    EXPECT_FALSE(control(QStringLiteral("fralookup"))->isVisible());
    EXPECT_EQ(window().size(), size) << "opened from the look-up panel";
    EXPECT_EQ(offScreen(), QStringList()) << "opened from the look-up panel";
    EXPECT_TRUE(prompts.messages.isEmpty()) << prompts.messageTexts().join('|').toStdString();
}

TEST_F(SmallScreenViewTest, ATimeListOpensOverTheFormMovingNoBoxAndTheKeyboardStaysInTheBox) {
    newEvent();
    const QHash<QWidget *, QRect> before = places();

    QTest::mouseClick(box(EventField::Start), Qt::LeftButton);
    QListWidget *starts = startList();
    ASSERT_TRUE(waitFor([&] { return starts->isVisible(); })) << "the start times open";
    EXPECT_EQ(starts->window()->windowType(), Qt::Popup);
    EXPECT_EQ(moved(before), QStringList()) << "the list moves no box";
    EXPECT_GE(starts->window()->geometry().top(),
              box(EventField::Start)->mapToGlobal(QPoint(0, 0)).y() +
                  box(EventField::Start)->height())
        << "under the start box";
    EXPECT_TRUE(box(EventField::Start)->hasFocus()) << "the box keeps the keyboard";

    // What is typed goes on into the box; the list follows it.
    QWidget *popup = starts->window();
    QTest::keyClicks(popup, QStringLiteral("18"));
    EXPECT_EQ(box(EventField::Start)->text(), QStringLiteral("18"));
    ASSERT_NE(starts->currentItem(), nullptr);
    EXPECT_TRUE(starts->currentItem()->text().startsWith(QStringLiteral("18:00")));
    QTest::keyClick(popup, Qt::Key_Down);
    EXPECT_TRUE(starts->currentItem()->text().startsWith(QStringLiteral("18:15")));
    EXPECT_EQ(box(EventField::Start)->text(), QStringLiteral("18")) << "the arrows only browse";
    QTest::keyClick(popup, Qt::Key_Return);
    EXPECT_FALSE(popup->isVisible());
    EXPECT_EQ(box(EventField::Start)->text(), QStringLiteral("18:15")) << "Enter chooses";
    EXPECT_EQ(stored(EventField::Start), QStringLiteral("18:15"));
    EXPECT_TRUE(box(EventField::Start)->hasFocus());
    EXPECT_EQ(moved(before), QStringList());

    // Tab closes the list and moves on: into the end box, whose list opens.
    QTest::keyClick(box(EventField::Start), Qt::Key_Tab);
    QListWidget *ends = endList();
    ASSERT_TRUE(waitFor([&] { return box(EventField::End)->hasFocus() && ends->isVisible(); }));
    EXPECT_FALSE(starts->isVisible());
    EXPECT_EQ(moved(before), QStringList());
    // A click elsewhere, as the window system hands it to the open list,
    // closes the list and lands where it was aimed.
    const QPoint guests =
        box(EventField::Guests)->mapTo(&window(), box(EventField::Guests)->rect().center());
    QTest::mouseClick(window().windowHandle(), Qt::LeftButton, {}, guests);
    ASSERT_TRUE(waitFor([&] { return !ends->isVisible(); })) << "a click elsewhere closes it";
    ASSERT_TRUE(waitFor([&] { return box(EventField::Guests)->hasFocus(); }))
        << "the click reached its box";
    EXPECT_EQ(moved(before), QStringList());

    // Back in the end box the list opens again; a click on an entry chooses.
    QTest::mouseClick(box(EventField::End), Qt::LeftButton);
    ASSERT_TRUE(waitFor([&] { return ends->isVisible(); }));
    QListWidgetItem *nine = ends->findItems(QStringLiteral("21:00"), Qt::MatchStartsWith).value(0);
    ASSERT_NE(nine, nullptr);
    ends->scrollToItem(nine);
    QTest::mouseClick(ends->viewport(), Qt::LeftButton, {}, ends->visualItemRect(nine).center());
    EXPECT_EQ(box(EventField::End)->text(), QStringLiteral("21:00"));
    EXPECT_FALSE(ends->isVisible());
    EXPECT_EQ(moved(before), QStringList());

    // An Alt+letter pressed while a list is open reaches its button.
    QTest::mouseClick(box(EventField::Start), Qt::LeftButton);
    ASSERT_TRUE(waitFor([&] { return starts->isVisible(); }));
    QTest::keyClick(starts->window(), Qt::Key_C, Qt::AltModifier);
    EXPECT_FALSE(starts->isVisible());
    EXPECT_TRUE(waitFor([&] { return logic().window.reservationsVisible; })) << "Alt+C, Calendar";
    EXPECT_TRUE(prompts.messages.isEmpty()) << prompts.messageTexts().join('|').toStdString();
}

TEST_F(SmallScreenViewTest, TheStatusListsArrowsBrowseAndEnterChooses) {
    newEvent();
    QComboBox *status = statusList();
    const QStringList names = logic().window.statusList.entries;
    ASSERT_EQ(names.size(), 6);
    EXPECT_EQ(status->currentText(), names[0]) << "a new event is a contact";
    status->setFocus(Qt::TabFocusReason);
    ASSERT_TRUE(waitFor([&] { return status->hasFocus(); }));

    QTest::keyClick(status, Qt::Key_Down);
    QTest::keyClick(status, Qt::Key_Down);
    EXPECT_EQ(status->currentText(), names[2]);
    QTest::keyClick(status, Qt::Key_Up);
    EXPECT_EQ(status->currentText(), names[1]);
    settle();
    EXPECT_TRUE(status->hasFocus()) << "browsing stays in the list";
    EXPECT_EQ(stored(EventField::Status), QStringLiteral("1")) << "nothing chosen yet";
    EXPECT_TRUE(keys.sent.isEmpty());

    // Dropped down, the list shows the entry browsed to as its current one.
    status->showPopup();
    QAbstractItemView *view = status->view();
    ASSERT_TRUE(waitFor([&] { return view->isVisible(); }));
    settle();
    EXPECT_EQ(view->currentIndex().row(), 1);
    EXPECT_EQ(view->currentIndex().data().toString(), names[1]);
    const QRect current = view->visualRect(view->currentIndex());
    EXPECT_TRUE(view->viewport()->rect().contains(current.center())) << "the current entry shows";
    const QImage drawn = view->viewport()->grab(current).toImage();
    QSet<QRgb> colours;
    for (int y = 0; y < drawn.height(); ++y)
        for (int x = 0; x < drawn.width(); ++x)
            colours.insert(drawn.pixel(x, y));
    EXPECT_GT(colours.size(), 2) << "its text is drawn";
    EXPECT_EQ(status->currentText(), names[1]);
    EXPECT_TRUE(logic().window.statusFocused) << "the drop-down is still the list";
    status->hidePopup();
    ASSERT_TRUE(waitFor([&] { return !view->isVisible(); }));

    // Enter chooses, and the window moves on to the title as it always did.
    status->setFocus(Qt::TabFocusReason);
    QTest::keyClick(status, Qt::Key_Return);
    EXPECT_EQ(stored(EventField::Status), QStringLiteral("2"));
    EXPECT_EQ(status->currentText(), names[1]);
    EXPECT_TRUE(waitFor([&] { return box(EventField::Title)->hasFocus(); }));

    // Browsed to and left without Enter: the chosen status shows again.
    status->setFocus(Qt::TabFocusReason);
    ASSERT_TRUE(waitFor([&] { return status->hasFocus(); }));
    QTest::keyClick(status, Qt::Key_4);
    EXPECT_EQ(status->currentText(), names[3]) << "a first letter browses";
    box(EventField::Guests)->setFocus(Qt::TabFocusReason);
    ASSERT_TRUE(waitFor([&] { return box(EventField::Guests)->hasFocus(); }));
    EXPECT_EQ(status->currentText(), names[1]);
    EXPECT_EQ(stored(EventField::Status), QStringLiteral("2"));
    EXPECT_TRUE(prompts.messages.isEmpty()) << prompts.messageTexts().join('|').toStdString();
}

TEST_F(SmallScreenViewTest, MemberAndNonMemberAreOneRadioGroupTheArrowsChooseIn) {
    newEvent();
    auto *member = control<QRadioButton>(QStringLiteral("optmemnonmem(0)"));
    auto *nonMember = control<QRadioButton>(QStringLiteral("optmemnonmem(1)"));
    ASSERT_TRUE(member && nonMember);
    ASSERT_NE(member->group(), nullptr);
    EXPECT_EQ(member->group(), nonMember->group());
    EXPECT_TRUE(member->group()->exclusive());
    for (QRadioButton *option : {member, nonMember}) {
        QAccessibleInterface *face = QAccessible::queryAccessibleInterface(option);
        ASSERT_TRUE(face);
        EXPECT_EQ(face->role(), QAccessible::RadioButton) << option->text().toStdString();
    }
    EXPECT_FALSE(member->isChecked() || nonMember->isChecked()) << "a new event is neither yet";

    QTest::mouseClick(member, Qt::LeftButton);
    EXPECT_TRUE(member->isChecked());
    EXPECT_EQ(stored(EventField::Member), QStringLiteral("1"));
    member->setFocus(Qt::TabFocusReason);
    ASSERT_TRUE(waitFor([&] { return member->hasFocus(); }));
    QTest::keyClick(member, Qt::Key_Right);
    EXPECT_TRUE(nonMember->isChecked());
    EXPECT_FALSE(member->isChecked());
    EXPECT_TRUE(nonMember->hasFocus());
    EXPECT_EQ(stored(EventField::Member), QStringLiteral("2"));
    QTest::keyClick(nonMember, Qt::Key_Left);
    EXPECT_TRUE(member->isChecked());
    EXPECT_FALSE(nonMember->isChecked());
    EXPECT_EQ(stored(EventField::Member), QStringLiteral("1"));

    // Cleared, the event is neither again.
    prompts.answerYesNo(true); // Cancel changes?
    window().button(EventCommand::ClearScreen)->click();
    EXPECT_FALSE(member->isChecked() || nonMember->isChecked());
}

TEST_F(SmallScreenViewTest, ClearScreenAndDeleteLeaveTheWindowAsAFreshStart) {
    // No required mark, no status in the list, nothing on the help line.
    const auto expectFresh = [&](const char *after) {
        const EventWindow &state = logic().window;
        for (EventField field : AllEventFields) {
            EXPECT_FALSE(state.fieldRequired[field]) << after << " box " << columnOf(field);
            EXPECT_EQ(state.fieldColor[field], EventWindow::restingColor(field))
                << after << columnOf(field);
        }
        EXPECT_FALSE(state.MissingFlag) << after;
        EXPECT_FALSE(state.statusMissing) << after;
        for (QLabel *label : window().findChildren<QLabel *>()) {
            if (!label->buddy() ||
                !label->buddy()->objectName().startsWith(QLatin1String("Text1(")))
                continue;
            EXPECT_FALSE(label->font().underline()) << after << " " << label->text().toStdString();
            EXPECT_TRUE(label->styleSheet().isEmpty())
                << after << " " << label->text().toStdString();
        }
        EXPECT_EQ(statusList()->currentIndex(), -1) << after;
        EXPECT_EQ(statusList()->currentText(), QString()) << after;
        EXPECT_EQ(statusList()->placeholderText(), EventWindow::NoStatusText);
        EXPECT_EQ(control<QPlainTextEdit>(QStringLiteral("helpwindow"))->toPlainText(), QString())
            << after;
    };

    // An event changed, its title blanked and the save refused: red marks.
    const int reception = eventNumber(QStringLiteral("Sullivan-Park Reception"));
    ASSERT_TRUE(logic().ShowEvent(reception));
    window().button(EventCommand::Modify)->click();
    QTest::mouseClick(box(EventField::Title), Qt::LeftButton);
    ASSERT_TRUE(waitFor([&] { return box(EventField::Title)->hasFocus(); }));
    QTest::keyClick(box(EventField::Title), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(box(EventField::Title), Qt::Key_Backspace);
    window().button(EventCommand::Save)->click();
    ASSERT_EQ(prompts.messageTexts(),
              QStringList{QStringLiteral("One or more required fields of data is missing.\r\n"
                                         "Please fill in: Event Title.")});
    ASSERT_TRUE(logic().window.fieldRequired[EventField::Title]);
    ASSERT_EQ(logic().window.fieldColor[EventField::Title], EventWindow::Red);
    ASSERT_FALSE(statusList()->currentText().isEmpty());
    logic().setHelpText(QStringLiteral("Event #%1 is being changed").arg(reception));
    prompts.clear();

    prompts.answerYesNo(true); // Cancel changes?
    window().button(EventCommand::ClearScreen)->click();
    settle();
    expectFresh("Clear Screen");

    // An event shown with its marks, then deleted.
    const int rehearsal = eventNumber(QStringLiteral("Sullivan-Park Rehearsal Dinner"));
    ASSERT_TRUE(logic().ShowEvent(rehearsal));
    ASSERT_TRUE(logic().editor.CheckRequiredFields());
    logic().setHelpText(QStringLiteral("Event #%1").arg(rehearsal));
    settle();
    ASSERT_TRUE(std::any_of(logic().window.fieldRequired.begin(),
                            logic().window.fieldRequired.end(), [](bool on) { return on; }));
    ASSERT_FALSE(statusList()->currentText().isEmpty());
    prompts.answerYesNo(true); // Delete this contact now?
    window().menuCommand(QStringLiteral("mnudeletecontact"))->trigger();
    settle();
    expectFresh("Delete");
    EXPECT_TRUE(prompts.messages.isEmpty()) << prompts.messageTexts().join('|').toStdString();
}

} // namespace
