#include "EditingFixture.h"

#include <utility>

namespace {

constexpr int Ballroom = 1;
constexpr int Library = 3;

const QString Oops = QStringLiteral("Oops...");

// Packages as the operator makes them in the main window: events typed,
// saved and opened, the package buttons pressed with a list entry selected.
class EventPackagesTest : public EditingFixture {
protected:
    EventPackages &packages() { return logic->packages; }

    // A booking typed and saved; its number.
    int saved(const QString &date, const QString &title, int room = Library) {
        enterBooking(date, title, room);
        click(EventCommand::Save);
        const int number = box(EventField::Number).toInt();
        EXPECT_EQ(stored(QStringLiteral("eventtitle"), number), title)
            << prompts.messageTexts().join('|').toStdString();
        return number;
    }
    void open(int number) {
        ASSERT_TRUE(logic->ShowEvent(number)) << number;
        prompts.clear();
    }
    // The list entry beginning with the text; -1 when none.
    int row(const QString &startingWith) {
        const QStringList &list = packages().listLines;
        for (int i = 0; i < list.size(); ++i) {
            if (list[i].startsWith(startingWith))
                return i;
        }
        return -1;
    }
    // cmdmulti(0) answered Yes.
    void create() {
        prompts.answerYesNo(true);
        packages().changePackage(EventPackages::CreateButton, -1);
    }
    // cmdmulti(1) with nothing selected lists the open packages; then the
    // package is chosen and the link confirmed.
    void link(int package) {
        packages().changePackage(EventPackages::LinkButton, -1);
        const int entry = row(QStringLiteral("%1 - %1 - ").arg(package));
        ASSERT_GT(entry, 0) << packages().listLines.join('|').toStdString();
        prompts.answerYesNo(true);
        packages().changePackage(EventPackages::LinkButton, entry);
    }
    // Two bookings saved, the first heading a package the second is linked to.
    std::pair<int, int> packaged(const QString &headDate, const QString &headTitle,
                                 const QString &memberDate, const QString &memberTitle) {
        const int head = saved(headDate, headTitle);
        const int member = saved(memberDate, memberTitle);
        open(head);
        create();
        open(member);
        link(head);
        return {head, member};
    }
    void unlink() {
        ASSERT_EQ(packages().listLines.value(0), QStringLiteral("Unlink this event"));
        prompts.answerYesNo(true);
        packages().changePackage(EventPackages::LinkButton, 0);
    }
    // Every package row: "package event date title", by event number.
    QStringList rows() {
        QStringList found;
        for (const QVariant &value :
             column(QStringLiteral("evnt"),
                    QStringLiteral("select pkgnum || ' ' || eventnum || ' ' || eventdate || ' ' || "
                                   "eventtitle from pkg order by eventnum")))
            found << value.toString();
        return found;
    }
    static QString entry(int package, int number, const QString &title, int date) {
        return QStringLiteral("%1 - %2 - %3 - %4").arg(package).arg(number).arg(title).arg(date);
    }
    static QString pkgRow(int package, int number, int date, const QString &title) {
        return QStringLiteral("%1 %2 %3 %4").arg(package).arg(number).arg(date).arg(title);
    }
};

TEST_F(EventPackagesTest, APackageIsCreatedAndOthersLinkedToItOrMovedBetweenPackages) {
    const int wedding = saved(QStringLiteral("20270605"), QStringLiteral("Wedding"));
    const int rehearsal = saved(QStringLiteral("20270604"), QStringLiteral("Rehearsal dinner"));
    const int gala = saved(QStringLiteral("20270701"), QStringLiteral("Summer gala"));

    open(wedding);
    EXPECT_FALSE(packages().listVisible());
    EXPECT_TRUE(packages().buttonVisible(EventPackages::CreateButton));
    EXPECT_TRUE(packages().buttonVisible(EventPackages::LinkButton));
    create();
    EXPECT_EQ(prompts.questions.last().text,
              QStringLiteral("Do you wish to create a new package?"));
    EXPECT_EQ(prompts.questions.last().title, QStringLiteral("Create Package"));
    EXPECT_EQ(rows(), QStringList{pkgRow(wedding, wedding, 20270605, QStringLiteral("Wedding"))});
    EXPECT_EQ(packages().listLines,
              (QStringList{QStringLiteral("Available packages are:"),
                           entry(wedding, wedding, QStringLiteral("Wedding"), 20270605)}));
    EXPECT_EQ(packages().PackageLinked, 1);
    EXPECT_FALSE(packages().buttonVisible(EventPackages::CreateButton));

    open(rehearsal);
    link(wedding);
    EXPECT_EQ(prompts.questions.last().text,
              QStringLiteral("Do you wish to link this event to package #%1?").arg(wedding));
    EXPECT_EQ(prompts.questions.last().title, QStringLiteral("Create Link"));
    const QStringList weddingPackage{
        QStringLiteral("Unlink this event"),
        entry(wedding, rehearsal, QStringLiteral("Rehearsal dinner"), 20270604),
        entry(wedding, wedding, QStringLiteral("Wedding"), 20270605)};
    EXPECT_EQ(packages().listLines, weddingPackage);
    EXPECT_EQ(packages().PackageLinked, 1);

    // Loading either event shows its package with only the link button.
    open(wedding);
    EXPECT_EQ(packages().listLines, weddingPackage);
    EXPECT_TRUE(packages().listVisible());
    EXPECT_FALSE(packages().buttonVisible(EventPackages::CreateButton));
    EXPECT_TRUE(packages().buttonVisible(EventPackages::LinkButton));

    // Linked to another package, the rehearsal moves: still one row.
    open(gala);
    create();
    open(rehearsal);
    link(gala);
    EXPECT_EQ(rows(),
              (QStringList{pkgRow(wedding, wedding, 20270605, QStringLiteral("Wedding")),
                           pkgRow(gala, rehearsal, 20270604, QStringLiteral("Rehearsal dinner")),
                           pkgRow(gala, gala, 20270701, QStringLiteral("Summer gala"))}));
    EXPECT_EQ(packages().listLines.value(0), QStringLiteral("Unlink this event"));
    EXPECT_EQ(packages().listLines.mid(1),
              (QStringList{entry(gala, rehearsal, QStringLiteral("Rehearsal dinner"), 20270604),
                           entry(gala, gala, QStringLiteral("Summer gala"), 20270701)}));

    // Its own package is not offered to the heading event.
    open(gala);
    packages().changePackage(EventPackages::LinkButton, -1);
    packages().changePackage(EventPackages::LinkButton,
                             row(QStringLiteral("%1 - %1 - ").arg(gala)));
    EXPECT_TRUE(prompts.questions.isEmpty());
    EXPECT_EQ(rows().size(), 3);
    EXPECT_TRUE(prompts.messages.isEmpty()) << prompts.messageTexts().join('|').toStdString();
}

TEST_F(EventPackagesTest, UnlinkingAMemberTakesItsRowUnlinkingTheHeadingTakesThePackage) {
    const auto [conference, dinner] =
        packaged(QStringLiteral("20270910"), QStringLiteral("Conference"),
                 QStringLiteral("20270911"), QStringLiteral("Speakers dinner"));
    const int lunch = saved(QStringLiteral("20270912"), QStringLiteral("Closing lunch"));
    open(lunch);
    link(conference);
    ASSERT_EQ(rows().size(), 3);

    // A row without a package number is removed by any package button.
    exec(QStringLiteral("evnt"),
         QStringLiteral("insert into pkg (pkgnum, eventnum, eventdate, eventtitle) values (0, "
                        "999, 20270101, 'Lost')"));
    open(dinner);
    unlink();
    EXPECT_EQ(prompts.questions.last().text, QStringLiteral("Do you wish to un-link this event?"));
    EXPECT_EQ(prompts.questions.last().title, QStringLiteral("Unlink?"));
    EXPECT_EQ(rows(),
              (QStringList{pkgRow(conference, conference, 20270910, QStringLiteral("Conference")),
                           pkgRow(conference, lunch, 20270912, QStringLiteral("Closing lunch"))}));
    EXPECT_EQ(packages().PackageLinked, 0);
    // The open packages are offered at once.
    EXPECT_EQ(packages().listLines,
              (QStringList{QStringLiteral("Available packages are:"),
                           entry(conference, conference, QStringLiteral("Conference"), 20270910)}));
    EXPECT_TRUE(packages().buttonVisible(EventPackages::CreateButton));

    // The heading line of an event in no package unlinks nothing.
    packages().changePackage(EventPackages::LinkButton, 0);
    EXPECT_EQ(prompts.questions.size(), 1);
    EXPECT_EQ(rows().size(), 2);

    open(conference);
    unlink();
    EXPECT_TRUE(rows().isEmpty());
    EXPECT_TRUE(packages().listLines.isEmpty());
    EXPECT_EQ(prompts.lastMessage().text, QStringLiteral("No packages are open for linking."));
    EXPECT_EQ(prompts.lastMessage().title, QStringLiteral("FYI..."));
    open(lunch);
    EXPECT_FALSE(packages().listVisible());
    EXPECT_EQ(packages().PackageLinked, 0);
}

TEST_F(EventPackagesTest, AnEventKeepsOnePackageRowAndAHeadingEventIsNotLinkedAway) {
    const auto [reunion, brunch] =
        packaged(QStringLiteral("20270801"), QStringLiteral("Class reunion"),
                 QStringLiteral("20270802"), QStringLiteral("Reunion brunch"));
    const int golf = saved(QStringLiteral("20270803"), QStringLiteral("Golf day"));
    open(golf);
    create();
    const QStringList before = rows();

    // A member does not head a second package.
    open(brunch);
    create();
    EXPECT_EQ(
        prompts.lastMessage().text,
        QStringLiteral("This event already belongs to package #%1. Unlink it first.").arg(reunion));
    EXPECT_EQ(prompts.lastMessage().title, Oops);
    // Nor does a heading event once more.
    open(golf);
    create();
    EXPECT_EQ(
        prompts.lastMessage().text,
        QStringLiteral("This event already belongs to package #%1. Unlink it first.").arg(golf));
    EXPECT_EQ(rows(), before);

    // A heading event linked elsewhere would leave its members headless.
    open(reunion);
    link(golf);
    EXPECT_EQ(prompts.lastMessage().text,
              QStringLiteral("Event #%1 heads a package; unlink its package first.").arg(reunion));
    EXPECT_EQ(prompts.lastMessage().title, Oops);
    EXPECT_EQ(rows(), before);
}

TEST_F(EventPackagesTest, ALinkToAPackageUnlinkedAtAnotherWorkstationIsRefused) {
    const int banquet = saved(QStringLiteral("20271002"), QStringLiteral("Awards banquet"));
    const int reception = saved(QStringLiteral("20271001"), QStringLiteral("Reception"));
    open(banquet);
    create();
    open(reception);
    packages().changePackage(EventPackages::LinkButton, -1);
    const int offered = row(QStringLiteral("%1 - %1 - ").arg(banquet));
    ASSERT_GT(offered, 0);

    // Meanwhile another workstation unlinks the banquet, and so its package.
    {
        Module other(settings(), Ports{prompts, clipboard, programs, clock, keys, printer, screen});
        other.session = module->session;
        other.event.EventNumber = banquet;
        EventPackages elsewhere(other);
        elsewhere.ListEventPackage();
        ASSERT_EQ(elsewhere.PackageLinked, 1);
        prompts.answerYesNo(true);
        elsewhere.changePackage(EventPackages::LinkButton, 0);
        ASSERT_TRUE(rows().isEmpty());
        prompts.clear();
    }

    prompts.answerYesNo(true);
    packages().changePackage(EventPackages::LinkButton, offered);
    EXPECT_EQ(prompts.lastMessage().text,
              QStringLiteral("Package #%1 is no longer open: it was unlinked on another "
                             "workstation.")
                  .arg(banquet));
    EXPECT_TRUE(rows().isEmpty());
    EXPECT_EQ(packages().PackageLinked, 0);
    EXPECT_TRUE(packages().listLines.isEmpty()) << "the list shows what is open now";
}

TEST_F(EventPackagesTest, TheCopiesAreTakenFromTheStoredEventAndFollowItsSaves) {
    const int ball = saved(QStringLiteral("20271120"), QStringLiteral("Harvest ball"));
    open(ball);
    click(EventCommand::Modify);
    type(EventField::Title, QStringLiteral("Harvest ball (draft)"));
    type(EventField::Date, QStringLiteral("20271121"));
    create();
    const QStringList kept{pkgRow(ball, ball, 20271120, QStringLiteral("Harvest ball"))};
    EXPECT_EQ(rows(), kept) << "what was typed is not saved yet";

    // The changes given up, the copy stays as the event is stored.
    prompts.answerYesNo(true);
    click(EventCommand::ClearScreen);
    EXPECT_EQ(prompts.questions.last().text, QStringLiteral("Cancel changes?"));
    open(ball);
    EXPECT_EQ(rows(), kept);
    EXPECT_EQ(packages().listLines.value(1),
              entry(ball, ball, QStringLiteral("Harvest ball"), 20271120));

    // Saved, the copy follows.
    click(EventCommand::Modify);
    type(EventField::Title, QStringLiteral("Harvest ball (draft)"));
    type(EventField::Date, QStringLiteral("20271121"));
    click(EventCommand::Save);
    EXPECT_EQ(rows(),
              QStringList{pkgRow(ball, ball, 20271121, QStringLiteral("Harvest ball (draft)"))});
    EXPECT_EQ(packages().listLines.value(1),
              entry(ball, ball, QStringLiteral("Harvest ball (draft)"), 20271121));
}

TEST_F(EventPackagesTest, AMemberMovedToAnotherDateTakesItsCopyAlongOrNothingAtAll) {
    const auto [festival, tasting] =
        packaged(QStringLiteral("20270515"), QStringLiteral("Spring festival"),
                 QStringLiteral("20270514"), QStringLiteral("Wine tasting"));
    const QString member = pkgRow(festival, tasting, 20270514, QStringLiteral("Wine tasting"));
    ASSERT_TRUE(rows().contains(member));
    const QStringList booked = cells(Library, 20270514);
    ASSERT_EQ(booked.size(), 16);

    // The package copy cannot be written: the whole move is undone.
    addFault(QStringLiteral("evnt"), QStringLiteral("copyrefused"), QStringLiteral("update"),
             QStringLiteral("pkg"), QString(), QStringLiteral("copy refused"));
    click(EventCommand::Modify);
    type(EventField::Date, QStringLiteral("20270520"));
    prompts.expectError();
    click(EventCommand::Save);
    EXPECT_EQ(stored(QStringLiteral("eventdate"), tasting), QStringLiteral("20270514"));
    EXPECT_EQ(cells(Library, 20270514), booked);
    EXPECT_TRUE(cells(Library, 20270520).isEmpty());
    EXPECT_TRUE(rows().contains(member));

    removeFault(QStringLiteral("evnt"), QStringLiteral("copyrefused"), QStringLiteral("pkg"));
    prompts.clear();
    click(EventCommand::Save);
    EXPECT_EQ(stored(QStringLiteral("eventdate"), tasting), QStringLiteral("20270520"));
    EXPECT_TRUE(cells(Library, 20270514).isEmpty());
    EXPECT_TRUE(
        rows().contains(pkgRow(festival, tasting, 20270520, QStringLiteral("Wine tasting"))));
    EXPECT_EQ(packages().listLines.value(2),
              entry(festival, tasting, QStringLiteral("Wine tasting"), 20270520));
}

TEST_F(EventPackagesTest, TheButtonsNeedTheEditingLevelAndASavedEvent) {
    const int dance = saved(QStringLiteral("20270404"), QStringLiteral("Spring dance"));
    open(dance);
    const int editing = module->session.AccessThresholds[OperatorSession::evaccess1];
    setLevel(editing - 1);
    packages().changePackage(EventPackages::CreateButton, -1);
    packages().changePackage(EventPackages::LinkButton, -1);
    EXPECT_TRUE(rows().isEmpty());
    setLevel(editing);
    create();
    EXPECT_EQ(rows().size(), 1);

    click(EventCommand::NewEvent);
    EXPECT_TRUE(packages().buttonVisible(EventPackages::CreateButton));
    EXPECT_TRUE(packages().buttonVisible(EventPackages::LinkButton));
    for (int button : {EventPackages::CreateButton, EventPackages::LinkButton}) {
        packages().changePackage(button, -1);
        EXPECT_EQ(prompts.lastMessage().text,
                  QStringLiteral("You must first 'save' the new event record before a "
                                 "multi-event package or link may be created."));
        EXPECT_EQ(prompts.lastMessage().title, Oops);
    }
    EXPECT_EQ(prompts.messages.size(), 2);
    EXPECT_EQ(rows().size(), 1);
}

TEST_F(EventPackagesTest, ADoubleClickedMemberIsOpenedUnlessChangesAreUnsaved) {
    const auto [gala, toast] = packaged(QStringLiteral("20271231"), QStringLiteral("New Year gala"),
                                        QStringLiteral("20271230"), QStringLiteral("Toast"));
    const int member = row(QStringLiteral("%1 - %1 - ").arg(gala));
    ASSERT_GT(member, 0);

    // A heading line names no event.
    prompts.clear();
    packages().openListedEvent(0);
    EXPECT_TRUE(prompts.questions.isEmpty());

    click(EventCommand::Modify);
    type(EventField::ContactName, QStringLiteral("Grace Hopper"));
    prompts.answerYesNo(true);
    packages().openListedEvent(member);
    EXPECT_EQ(prompts.questions.last().text,
              QStringLiteral("Do you want to switch to viewing linked event #%1 ?").arg(gala));
    EXPECT_EQ(prompts.questions.last().title, QStringLiteral("View linked event?"));
    EXPECT_EQ(prompts.lastMessage().text, QStringLiteral("You must first save your changes."));
    EXPECT_EQ(box(EventField::Number).toInt(), toast);

    click(EventCommand::Save);
    prompts.answerYesNo(false);
    packages().openListedEvent(member);
    EXPECT_EQ(box(EventField::Number).toInt(), toast);
    prompts.answerYesNo(true);
    packages().openListedEvent(member);
    EXPECT_EQ(box(EventField::Number).toInt(), gala);
    EXPECT_EQ(prompts.messages.size(), 1) << prompts.messageTexts().join('|').toStdString();
}

} // namespace
