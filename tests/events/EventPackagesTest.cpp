#include "EditingFixture.h"

namespace {

constexpr int Library = 3;
const QString Oops = u"Oops..."_s;

// Packages as the operator makes them in the main window: events typed,
// saved and opened, the package buttons pressed with a list entry selected.
class EventPackagesTest : public EditingFixture {
protected:
    EventPackages &packages() { return logic->packages; }

    int saved(const QString &date, const QString &title) {
        enterBooking(date, title, Library);
        click(EventCommand::Save);
        EXPECT_EQ(stored(u"eventtitle"_s, box(EventField::Number).toInt()), title) << told();
        return box(EventField::Number).toInt();
    }
    void open(int number) {
        ASSERT_TRUE(logic->ShowEvent(number)) << number;
        prompts.clear();
    }
    // The list entry of the package's heading event; -1 when none.
    int row(int package) {
        const QStringList &list = packages().listLines;
        for (int i = 0; i < list.size(); ++i) {
            if (list[i].startsWith(u"%1 - %1 - "_s.arg(package)))
                return i;
        }
        return -1;
    }
    void create() {
        prompts.answerYesNo(true);
        packages().changePackage(EventPackages::CreateButton, -1);
    }
    // With nothing selected the link button lists the open packages; then
    // the package is chosen and the link confirmed.
    void link(int package) {
        packages().changePackage(EventPackages::LinkButton, -1);
        const int entry = row(package);
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
        ASSERT_EQ(packages().listLines.value(0), u"Unlink this event"_s);
        prompts.answerYesNo(true);
        packages().changePackage(EventPackages::LinkButton, 0);
    }
    QStringList rows() {
        QStringList found;
        for (const QVariant &value :
             column(u"evnt"_s, u"select pkgnum || ' ' || eventnum || ' ' || eventdate || ' ' || "
                               "eventtitle from pkg order by eventnum"_s))
            found << value.toString();
        return found;
    }
    static QString pkgRow(int package, int number, int date, const QString &title) {
        return u"%1 %2 %3 %4"_s.arg(package).arg(number).arg(date).arg(title);
    }
    static QString entry(int package, int number, const QString &title, int date) {
        return u"%1 - %2 - %3 - %4"_s.arg(package).arg(number).arg(title).arg(date);
    }
    using Shown = std::pair<QString, QString>;
    Shown asked() { return {prompts.questions.last().title, prompts.questions.last().text}; }
    Shown message() { return {prompts.lastMessage().title, prompts.lastMessage().text}; }
};

TEST_F(EventPackagesTest, APackageIsCreatedAndOthersLinkedToItOrMovedBetweenPackages) {
    const int wedding = saved(u"20270605"_s, u"Wedding"_s);
    const int rehearsal = saved(u"20270604"_s, u"Rehearsal dinner"_s);
    const int gala = saved(u"20270701"_s, u"Summer gala"_s);

    open(wedding);
    EXPECT_FALSE(packages().listVisible());
    create();
    EXPECT_EQ(asked(), Shown(u"Create Package"_s, u"Do you wish to create a new package?"_s));
    EXPECT_EQ(rows(), QStringList{pkgRow(wedding, wedding, 20270605, u"Wedding"_s)});
    EXPECT_EQ(packages().PackageLinked, 1);
    EXPECT_FALSE(packages().buttonVisible(EventPackages::CreateButton));

    open(rehearsal);
    link(wedding);
    EXPECT_EQ(asked(), Shown(u"Create Link"_s,
                             u"Do you wish to link this event to package #%1?"_s.arg(wedding)));
    const QStringList weddingPackage{u"Unlink this event"_s,
                                     entry(wedding, rehearsal, u"Rehearsal dinner"_s, 20270604),
                                     entry(wedding, wedding, u"Wedding"_s, 20270605)};
    EXPECT_EQ(packages().PackageLinked, 1);
    // Loading either event shows its package with only the link button.
    open(wedding);
    EXPECT_EQ(packages().listLines, weddingPackage);
    EXPECT_FALSE(packages().buttonVisible(EventPackages::CreateButton));

    // Linked to another package, the rehearsal moves: still one row.
    open(gala);
    create();
    open(rehearsal);
    link(gala);
    EXPECT_EQ(rows(), (QStringList{pkgRow(wedding, wedding, 20270605, u"Wedding"_s),
                                   pkgRow(gala, rehearsal, 20270604, u"Rehearsal dinner"_s),
                                   pkgRow(gala, gala, 20270701, u"Summer gala"_s)}));
    EXPECT_EQ(packages().listLines,
              (QStringList{u"Unlink this event"_s,
                           entry(gala, rehearsal, u"Rehearsal dinner"_s, 20270604),
                           entry(gala, gala, u"Summer gala"_s, 20270701)}));

    // Its own package is not offered to the heading event.
    open(gala);
    packages().changePackage(EventPackages::LinkButton, -1);
    packages().changePackage(EventPackages::LinkButton, row(gala));
    EXPECT_TRUE(prompts.questions.isEmpty());
    EXPECT_EQ(rows().size(), 3);
    EXPECT_TRUE(prompts.messages.isEmpty()) << told();
}

TEST_F(EventPackagesTest, UnlinkingAMemberTakesItsRowUnlinkingTheHeadingTakesThePackage) {
    const auto [conference, dinner] =
        packaged(u"20270910"_s, u"Conference"_s, u"20270911"_s, u"Speakers dinner"_s);
    const int lunch = saved(u"20270912"_s, u"Closing lunch"_s);
    open(lunch);
    link(conference);

    // A row without a package number is removed by any package button.
    exec(u"evnt"_s, u"insert into pkg (pkgnum, eventnum, eventdate, eventtitle) values (0, "
                    "999, 20270101, 'Lost')"_s);
    open(dinner);
    unlink();
    EXPECT_EQ(asked(), Shown(u"Unlink?"_s, u"Do you wish to un-link this event?"_s));
    EXPECT_EQ(rows(), (QStringList{pkgRow(conference, conference, 20270910, u"Conference"_s),
                                   pkgRow(conference, lunch, 20270912, u"Closing lunch"_s)}));
    EXPECT_EQ(packages().PackageLinked, 0);
    // The open packages are offered at once.
    EXPECT_EQ(packages().listLines,
              (QStringList{u"Available packages are:"_s,
                           entry(conference, conference, u"Conference"_s, 20270910)}));
    EXPECT_TRUE(packages().buttonVisible(EventPackages::CreateButton));

    // The heading line of an event in no package unlinks nothing.
    packages().changePackage(EventPackages::LinkButton, 0);
    EXPECT_EQ(prompts.questions.size(), 1);
    EXPECT_EQ(rows().size(), 2);

    open(conference);
    unlink();
    EXPECT_TRUE(rows().isEmpty());
    EXPECT_TRUE(packages().listLines.isEmpty());
    EXPECT_EQ(message(), Shown(u"FYI..."_s, u"No packages are open for linking."_s));
    open(lunch);
    EXPECT_FALSE(packages().listVisible());
    EXPECT_EQ(packages().PackageLinked, 0);
}

TEST_F(EventPackagesTest, TheCopiesAreTakenFromTheStoredEventAndFollowItsSavesWhole) {
    const int festival = saved(u"20270515"_s, u"Spring festival"_s);
    const int tasting = saved(u"20270514"_s, u"Wine tasting"_s);
    open(festival);
    create();
    open(tasting);
    const QStringList booked = cells(Library, 20270514);

    // Linked while changes are typed, the copy is the event as stored; the
    // changes given up, it stays so.
    click(EventCommand::Modify);
    type(EventField::Title, u"Wine tasting (draft)"_s);
    type(EventField::Date, u"20270520"_s);
    link(festival);
    const QStringList before = rows();
    EXPECT_TRUE(before.contains(pkgRow(festival, tasting, 20270514, u"Wine tasting"_s)));
    prompts.answerYesNo(true);
    click(EventCommand::ClearScreen);
    EXPECT_EQ(rows(), before);

    // The package copy cannot be written: the whole move is undone.
    open(tasting);
    addFault(u"evnt"_s, u"copyrefused"_s, u"update"_s, u"pkg"_s, QString(), u"copy refused"_s);
    click(EventCommand::Modify);
    type(EventField::Title, u"Wine tasting (draft)"_s);
    type(EventField::Date, u"20270520"_s);
    prompts.expectError();
    click(EventCommand::Save);
    EXPECT_EQ(stored(u"eventdate"_s, tasting), u"20270514"_s);
    EXPECT_EQ(cells(Library, 20270514), booked);
    EXPECT_TRUE(cells(Library, 20270520).isEmpty());
    EXPECT_EQ(rows(), before);

    removeFault(u"evnt"_s, u"copyrefused"_s, u"pkg"_s);
    click(EventCommand::Save);
    EXPECT_EQ(stored(u"eventdate"_s, tasting), u"20270520"_s);
    EXPECT_TRUE(cells(Library, 20270514).isEmpty());
    EXPECT_TRUE(rows().contains(pkgRow(festival, tasting, 20270520, u"Wine tasting (draft)"_s)));
    EXPECT_EQ(packages().listLines.value(2),
              entry(festival, tasting, u"Wine tasting (draft)"_s, 20270520));
}

TEST_F(EventPackagesTest, TheButtonsNeedTheEditingLevelASavedEventAndAPackageStillOpen) {
    const int dance = saved(u"20270404"_s, u"Spring dance"_s);
    const int reception = saved(u"20270403"_s, u"Reception"_s);
    open(dance);
    const int editing = module->session.AccessThresholds[OperatorSession::evaccess1];
    setLevel(editing - 1);
    packages().changePackage(EventPackages::CreateButton, -1);
    packages().changePackage(EventPackages::LinkButton, -1);
    EXPECT_TRUE(rows().isEmpty());
    setLevel(editing);
    create();
    EXPECT_EQ(rows().size(), 1);

    open(reception);
    packages().changePackage(EventPackages::LinkButton, -1);
    const int offered = row(dance);
    ASSERT_GT(offered, 0);
    // Meanwhile another workstation unlinks the dance, and so its package.
    exec(u"evnt"_s, u"delete from pkg"_s);
    prompts.answerYesNo(true);
    packages().changePackage(EventPackages::LinkButton, offered);
    EXPECT_EQ(prompts.lastMessage().text,
              u"Package #%1 is no longer open: it was unlinked on another "
              "workstation."_s.arg(dance));
    EXPECT_TRUE(rows().isEmpty());
    EXPECT_EQ(packages().PackageLinked, 0);
    EXPECT_TRUE(packages().listLines.isEmpty()) << "the list shows what is open now";

    prompts.clear();
    click(EventCommand::NewEvent);
    EXPECT_TRUE(packages().buttonVisible(EventPackages::CreateButton));
    EXPECT_TRUE(packages().buttonVisible(EventPackages::LinkButton));
    for (int button : {EventPackages::CreateButton, EventPackages::LinkButton}) {
        packages().changePackage(button, -1);
        EXPECT_EQ(message(), Shown(Oops, u"You must first 'save' the new event record before a "
                                         "multi-event package or link may be created."_s));
    }
    EXPECT_EQ(prompts.messages.size(), 2);
    EXPECT_TRUE(rows().isEmpty());
}

TEST_F(EventPackagesTest, AnEventKeepsOnePackageRowAndADoubleClickedMemberIsOpenedWhenSaved) {
    const auto [gala, toast] =
        packaged(u"20271231"_s, u"New Year gala"_s, u"20271230"_s, u"Toast"_s);
    const int golf = saved(u"20270803"_s, u"Golf day"_s);
    open(golf);
    create();
    const QStringList before = rows();

    // Neither a member nor a heading event heads a second package.
    for (const auto &[number, package] : {std::pair{toast, gala}, std::pair{golf, golf}}) {
        open(number);
        create();
        EXPECT_EQ(message(), Shown(Oops, u"This event already belongs to package #%1. Unlink it "
                                         "first."_s.arg(package)));
    }
    // A heading event linked elsewhere would leave its members headless.
    open(gala);
    link(golf);
    EXPECT_EQ(message(),
              Shown(Oops, u"Event #%1 heads a package; unlink its package first."_s.arg(gala)));
    EXPECT_EQ(rows(), before);

    open(toast);
    const int member = row(gala);
    ASSERT_GT(member, 0);

    // A heading line names no event.
    prompts.clear();
    packages().openListedEvent(0);
    EXPECT_TRUE(prompts.questions.isEmpty());

    click(EventCommand::Modify);
    type(EventField::ContactName, u"Grace Hopper"_s);
    prompts.answerYesNo(true);
    packages().openListedEvent(member);
    EXPECT_EQ(asked(), Shown(u"View linked event?"_s,
                             u"Do you want to switch to viewing linked event #%1 ?"_s.arg(gala)));
    EXPECT_EQ(prompts.lastMessage().text, u"You must first save your changes."_s);
    EXPECT_EQ(box(EventField::Number).toInt(), toast);

    click(EventCommand::Save);
    prompts.answerYesNo(false);
    packages().openListedEvent(member);
    EXPECT_EQ(box(EventField::Number).toInt(), toast);
    prompts.answerYesNo(true);
    packages().openListedEvent(member);
    EXPECT_EQ(box(EventField::Number).toInt(), gala);
    EXPECT_EQ(prompts.messages.size(), 1) << told();
}

} // namespace
