#include "items/ItemWindow.h"

#include "EventFixture.h"

#include <QFile>

using namespace Qt::StringLiterals;

namespace {

// A club with a small inventory, taxed service charge in mode "D" and
// three accounts: an ordinary one, one on alternative prices, one exempt.
class ItemWindowTest : public EventFixture {
protected:
    enum Account { Ordinary = 3001, AltPrices = 3002, Exempt = 3003 };

    void SetUp() override {
        EventFixture::SetUp();
        signIn(99);
        for (const QVariantList &item :
             {QVariantList{101, u"Plated Dinner - Chicken"_s, u"FOOD"_s, u"34"_s, u"30.5"_s},
              {102, u"Plated Dinner - Filet"_s, u"FOOD"_s, u"48"_s, u"43"_s},
              {201, u"Champagne Toast"_s, u"O'BAR"_s, u"5.5"_s, u"5"_s},
              {202, u"Corkage"_s, u"O'BAR"_s, QVariant(), QVariant()}})
            exec(u"invntory"_s,
                 u"insert into items (itemnumber, description, dept, unitcost, retail, altretail, "
                 "taxpct, scpct, glsales) values (?, ?, ?, 2, ?, ?, 0.07, 0.18, 4100)"_s,
                 item);
        exec(u"config"_s, u"update ar set deptorstax = 'D', taxscyesno = 'Y', sctaxpct = 1"_s);
        for (const auto &[number, level, exempt] :
             {std::tuple{Ordinary, 0, 0}, std::tuple{AltPrices, 1, 0}, std::tuple{Exempt, 0, 1}})
            exec(u"master"_s,
                 u"insert into acctinfo (acctnumber, lname, pricelevel, taxexempt) "
                 "values (?, 'Account', ?, ?)"_s,
                 {number, level, exempt});
        window = std::make_unique<ItemWindow>(*module);
    }
    void TearDown() override {
        window.reset();
        EventFixture::TearDown();
    }

    // A confirmed event for 100 guests billed to the account (0: none),
    // loaded as the main window loads it, and the items window opened on it.
    int openOn(int account, int guarantee = 100, int status = 4) {
        // A day of its own for each event, so no booking meets another.
        const QString date = QString::number(20270315 + m_events++);
        EXPECT_EQ(book(date, u"Dinner"_s, u"18:00"_s, u"21:00"_s, 3, status),
                  EventRecord::Saved::Done);
        exec(u"evnt"_s, u"update eventinfo set custid = ?, guarantee = ? where eventnum = ?"_s,
             {account, guarantee, lastNumber});
        EXPECT_TRUE(record->LoadEvent(lastNumber));
        EXPECT_TRUE(window->open());
        window->showDepartment(u"FOOD"_s, u"Food"_s);
        return lastNumber;
    }
    void add(const QString &quantity, int row = 0) {
        window->clearQuantityHint();
        window->setQuantityText(quantity);
        window->addInventoryRow(row);
    }
    QVariantList stored(int event, const QString &columns) {
        return column(u"evnt"_s,
                      u"select %1 from items where eventid = ? order by itemdesc"_s.arg(columns),
                      {event});
    }

    QString historyLine() {
        QFile log(path(u"evntsched.ini"_s));
        if (!log.open(QIODevice::ReadOnly | QIODevice::Text))
            return u"(no log)"_s;
        return QString::fromUtf8(log.readAll()).trimmed().section(QLatin1Char('\n'), -1);
    }

    std::unique_ptr<ItemWindow> window;

private:
    int m_events = 0;
};

TEST_F(ItemWindowTest, AnAddedItemIsPricedStoredLoggedAndTotalled) {
    const int event = openOn(Ordinary);
    EXPECT_EQ(window->caption, u"DEMO @ Event Item Detail  -  Dinner - 03/15/2027"_s);
    EXPECT_EQ(window->inventoryCaption, u"***  Food  ***"_s);
    EXPECT_EQ(window->totalTexts, (std::array<QString, 4>{".00", ".00", ".00", ".00"}));
    EXPECT_EQ(window->perPersonText, u".00"_s);

    for (const char *refused : {"Qty", "", "-2", "0.5"}) {
        prompts.clear();
        add(QString::fromLatin1(refused));
        EXPECT_EQ(prompts.lastMessage().text, u"Set the Quantity and try again."_s) << refused;
    }

    add(u"100"_s, 0); // chicken, 34.00 each
    ASSERT_EQ(window->eventItems.size(), 1);
    const QVariantList row = window->eventItems[0].read;
    EXPECT_EQ(row[1].toDouble(), 100.0);
    EXPECT_EQ(row[2].toInt(), 101);
    EXPECT_EQ(row[3].toString(), u"FOOD"_s);
    EXPECT_EQ(row[4].toString(), u"100 Plated Dinner - Chicken"_s);
    EXPECT_EQ(Money::fromVariant(row[6]), Money::fromText(u"3400"));
    EXPECT_EQ(Money::fromVariant(row[7]), Money::fromText(u"612")) << "18% service charge";
    // 238 tax on the price, 0.07 x 612 on the service charge, rounded to cents.
    EXPECT_EQ(Money::fromVariant(row[8]), Money::fromText(u"280.84"));
    EXPECT_EQ(row[9].toInt(), 4100);
    EXPECT_EQ(window->totalTexts,
              (std::array<QString, 4>{"3400.00", "612.00", "280.84", "4292.84"}));
    EXPECT_EQ(window->perPersonText, u"42.93"_s);
    EXPECT_TRUE(historyLine().endsWith(u"Add Item#101-Plated Dinner - Chicken"_s))
        << historyLine().toStdString();
    EXPECT_EQ(window->statusText, u"Done"_s);

    // "1.5 " and no service charge.
    window->setServiceChargeBypass(true);
    add(u"1.5"_s, 1);
    EXPECT_EQ(stored(event, u"itemdesc"_s),
              (QVariantList{u"1.5 Plated Dinner - Filet"_s, u"100 Plated Dinner - Chicken"_s}));
    EXPECT_EQ(Money::fromVariant(stored(event, u"servchg"_s).first()), Money());
}

TEST_F(ItemWindowTest,
       TaxExemptionAndPriceLevelComeFromTheEventsOwnAccountAndAnEnquiryIsNotLogged) {
    const int exempt = openOn(Exempt);
    add(u"1"_s);
    EXPECT_EQ(Money::fromVariant(stored(exempt, u"tax"_s).first()), Money());

    // After an exempt event, an ordinary one and one without an account.
    for (int account : {int(Ordinary), 0}) {
        openOn(Exempt);
        const int taxed = openOn(account);
        add(u"1"_s);
        EXPECT_GT(Money::fromVariant(stored(taxed, u"tax"_s).first()), Money()) << account;
    }

    openOn(AltPrices);
    EXPECT_EQ(window->priceLevel, ItemWindow::AltRetailPrice);
    add(u"2"_s);
    EXPECT_EQ(window->eventItems[0].price(), Money::fromText(u"61")) << "2 x 30.50";

    // With EVNTNOSORT.DAT rows stay as entered; an enquiry's items change
    // without a line in the change log.
    QFile marker(path(u"EVNTNOSORT.DAT"_s));
    ASSERT_TRUE(marker.open(QIODevice::WriteOnly));
    marker.close();
    const int event = openOn(Ordinary, 100, 1);
    const QString before = historyLine();
    add(u"5"_s, 1);
    add(u"2"_s, 0);
    EXPECT_EQ(window->eventItems[0].itemdesc(), u"5 Plated Dinner - Filet"_s);
    EXPECT_EQ(window->eventItems[1].itemdesc(), u"2 Plated Dinner - Chicken"_s);
    EXPECT_EQ(stored(event, u"itemdesc"_s).size(), 2);
    EXPECT_EQ(historyLine(), before);
}

TEST_F(ItemWindowTest, ADepartmentCodeWithAnApostropheIsBoundAndNullPricesCountAsZero) {
    const int event = openOn(Ordinary, 0);
    EXPECT_EQ(window->perPersonText, u"No GTE"_s);
    window->showDepartment(u"O'BAR"_s, u"Bar"_s);
    ASSERT_EQ(window->inventory.size(), 2);
    EXPECT_EQ(window->inventory[1].description, u"Corkage"_s);
    add(u"3"_s, 1);
    EXPECT_EQ(window->eventItems[0].price(), Money());

    // A free-form price: cancel writes nothing; the typed price is used.
    window->setFreeFormPrice(true);
    prompts.answerInput(QString());
    add(u"2"_s, 1);
    EXPECT_EQ(stored(event, u"price"_s).size(), 1);
    // Each amount fits a column; their total is past what billing charges.
    prompts.answerInput(u"999999999999"_s);
    add(u"1"_s, 1);
    EXPECT_EQ(prompts.lastMessage().text,
              u"The price, service charge and tax together are too large to bill; "
              "nothing was added."_s);
    EXPECT_EQ(stored(event, u"price"_s).size(), 1);
    prompts.answerInput(u"12.5"_s);
    add(u"2"_s, 1);
    EXPECT_EQ(prompts.inputs.last().title, u"FreeForm Selling Price"_s);
    EXPECT_EQ(prompts.inputs.last().text,
              u"Type the new selling price for this item. \r\n\r\nClick OK to "
              "accept the default."_s);
    EXPECT_EQ(window->eventItems.size(), 2);
    EXPECT_EQ(window->totalTexts[0], u"25.00"_s);

    // An empty department adds nothing and says nothing.
    window->showDepartment(u"NONE"_s, u"Nothing"_s);
    add(u"1"_s);
    EXPECT_EQ(window->eventItems.size(), 2);
}

TEST_F(ItemWindowTest, TypedQuantitiesAndPricesAreReadWholeOrAddNothing) {
    WorkstationLocale english(QLocale(QLocale::English, QLocale::UnitedStates));
    const int event = openOn(Ordinary);
    for (const char *refused : {"1e3", "12abc", "1.2.3"}) {
        prompts.clear();
        add(QString::fromLatin1(refused));
        EXPECT_EQ(prompts.messageTexts(),
                  QStringList{u"Quantity: \"%1\" is not a number.\nType digits, "
                              "with a decimal mark before any decimal places."_s.arg(
                                  QString::fromLatin1(refused))});
    }
    EXPECT_TRUE(stored(event, u"qty"_s).isEmpty());
    EXPECT_TRUE(window->statusText.isEmpty());
    add(u"1,500"_s);
    EXPECT_EQ(stored(event, u"qty"_s).value(0).toDouble(), 1500.0);

    window->setFreeFormPrice(true);
    for (const char *refused : {"1,250.00x", "12abc", "1.2.3", "99999999999999999999"}) {
        prompts.clear();
        prompts.answerInput(QString::fromLatin1(refused));
        add(u"2"_s);
        EXPECT_TRUE(prompts.lastMessage().text.startsWith(
            u"Selling price: \"%1\" "_s.arg(QString::fromLatin1(refused))))
            << refused;
    }
    EXPECT_EQ(stored(event, u"price"_s).size(), 1);
    prompts.answerInput(u"$1,250.00"_s);
    add(u"2"_s);
    EXPECT_EQ(Money::fromVariant(stored(event, u"price"_s).value(1)), Money::fromText(u"2500"));

    // The guarantee as typed in the event window, read whole.
    module->event.fields[EventField::Guarantee] = u"1,500"_s;
    ASSERT_TRUE(window->open());
    EXPECT_EQ(window->guarantee, 1500);
    module->event.fields[EventField::Guarantee] = u"12abc"_s;
    ASSERT_TRUE(window->open());
    EXPECT_EQ(window->perPersonText, u"No GTE"_s);
}

TEST_F(
    ItemWindowTest,
    RemoveTakesExactlyTheChosenRowClearAsksFirstAndABilledEventOrAReadOnlyOperatorChangesNothing) {
    const int event = openOn(Ordinary);
    add(u"2"_s);
    add(u"2"_s); // two identical rows
    add(u"5"_s, 1);
    ASSERT_EQ(window->eventItems.size(), 3);

    window->selectEventItemRow(0);
    window->moveItem(ItemWindow::RemoveMove);
    EXPECT_TRUE(historyLine().endsWith(u"Del Item#101-2 Plated Dinner - Chicken"_s))
        << historyLine().toStdString();
    EXPECT_EQ(stored(event, u"itemdesc"_s),
              (QVariantList{u"2 Plated Dinner - Chicken"_s, u"5 Plated Dinner - Filet"_s}))
        << "one of the two identical rows stays";

    // A row another workstation removed meanwhile: nothing else goes.
    const ItemWindow::EventItem shown = window->eventItems[1];
    exec(u"evnt"_s, u"delete from items where itemdesc = ?"_s, {shown.itemdesc()});
    window->selectEventItemRow(1);
    window->moveItem(ItemWindow::RemoveMove);
    EXPECT_EQ(stored(event, u"itemdesc"_s), QVariantList{u"2 Plated Dinner - Chicken"_s});

    prompts.answerYesNo(false);
    window->moveItem(ItemWindow::ClearMove);
    EXPECT_EQ(stored(event, u"itemdesc"_s).size(), 1);
    prompts.answerYesNo(true);
    window->moveItem(ItemWindow::ClearMove);
    EXPECT_EQ(prompts.questions.last().title, u"Clear items? "_s);
    EXPECT_TRUE(stored(event, u"itemdesc"_s).isEmpty());
    EXPECT_EQ(window->totalTexts, (std::array<QString, 4>{}));

    const int billed = openOn(Ordinary);
    add(u"1"_s);
    // Another workstation bills the event while this window is open.
    exec(u"evnt"_s, u"update eventinfo set status = 5 where eventnum = ?"_s, {billed});
    add(u"1"_s, 1);
    window->moveItem(ItemWindow::RemoveMove);
    window->moveItem(ItemWindow::ClearMove); // not even asked
    EXPECT_EQ(stored(billed, u"itemdesc"_s), QVariantList{u"1 Plated Dinner - Chicken"_s});

    const int other = openOn(Ordinary);
    signIn(15); // below event editing
    add(u"1"_s);
    window->toggleCostColumn();
    EXPECT_TRUE(stored(other, u"itemdesc"_s).isEmpty());
    EXPECT_FALSE(window->costColumnVisible);
}

TEST_F(ItemWindowTest, AMissingInventoryIsReportedAndInfoLeavesTheOperatorAtTheBasicScreens) {
    removeDatabase(u"invntory"_s);
    prompts.expectError(2); // opening on department 0, then the Food button
    const int event = openOn(Ordinary);
    EXPECT_EQ(prompts.lastMessage().title, u"Uh-oh..."_s);
    EXPECT_TRUE(window->inventory.isEmpty());
    add(u"1"_s);
    EXPECT_TRUE(stored(event, u"itemdesc"_s).isEmpty());

    module->session.LocationName = u"Items"_s;
    window->showInfo();
    ASSERT_EQ(programs.waited.size(), 1);
    EXPECT_TRUE(programs.waited[0].startsWith(u"quelvi32.exe DEMO@"_s));
    EXPECT_EQ(module->session.LocationName, u"BASIC"_s);
}

} // namespace
