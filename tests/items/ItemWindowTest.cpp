#include "items/ItemWindow.h"

#include "EventFixture.h"

#include <QFile>

namespace {

// A club with a small inventory, taxed service charge in mode "D" and
// three accounts: an ordinary one, one on alternative prices, one exempt.
class ItemWindowTest : public EventFixture {
protected:
    enum Account { Ordinary = 3001, AltPrices = 3002, Exempt = 3003 };

    void SetUp() override {
        EventFixture::SetUp();
        signIn(99);
        struct Stock {
            int number;
            const char *description, *dept, *retail, *alt;
        };
        for (const Stock &item : {Stock{101, "Plated Dinner - Chicken", "FOOD", "34", "30.5"},
                                  Stock{102, "Plated Dinner - Filet", "FOOD", "48", "43"},
                                  Stock{201, "Champagne Toast", "O'BAR", "5.5", "5"},
                                  Stock{202, "Corkage", "O'BAR", nullptr, nullptr}})
            exec(QStringLiteral("invntory"),
                 QStringLiteral("insert into items (itemnumber, description, dept, unitcost, "
                                "retail, altretail, taxpct, scpct, glsales) values (?, ?, ?, 2, ?, "
                                "?, 0.07, 0.18, 4100)"),
                 {item.number, QString::fromUtf8(item.description), QString::fromUtf8(item.dept),
                  item.retail ? QVariant(QString::fromLatin1(item.retail)) : QVariant(),
                  item.alt ? QVariant(QString::fromLatin1(item.alt)) : QVariant()});
        exec(QStringLiteral("config"),
             QStringLiteral("update ar set deptorstax = 'D', taxscyesno = 'Y', sctaxpct = 1"));
        for (const auto &[number, level, exempt] :
             {std::tuple{Ordinary, 0, 0}, std::tuple{AltPrices, 1, 0}, std::tuple{Exempt, 0, 1}})
            exec(QStringLiteral("master"),
                 QStringLiteral("insert into acctinfo (acctnumber, lname, pricelevel, taxexempt) "
                                "values (?, 'Account', ?, ?)"),
                 {number, level, exempt});
        window = std::make_unique<ItemWindow>(*module);
    }
    void TearDown() override {
        window.reset();
        EventFixture::TearDown();
    }

    // A confirmed event for 100 guests billed to the account (0: none),
    // loaded as the main window loads it, and the items window opened on it.
    int openOn(int account, int guarantee = 100) {
        // A day of its own for each event, so no booking meets another.
        const QString date = QString::number(20270315 + m_events++);
        EXPECT_EQ(book(date, QStringLiteral("Dinner"), QStringLiteral("18:00"),
                       QStringLiteral("21:00"), 3, 4),
                  EventRecord::Saved::Done);
        exec(QStringLiteral("evnt"),
             QStringLiteral("update eventinfo set custid = ?, guarantee = ? where eventnum = ?"),
             {account, guarantee, lastNumber});
        EXPECT_TRUE(record->LoadEvent(lastNumber));
        EXPECT_TRUE(window->open());
        window->showDepartment(QStringLiteral("FOOD"), QStringLiteral("Food"));
        return lastNumber;
    }
    void add(const QString &quantity, int row = 0) {
        window->clearQuantityHint();
        window->setQuantityText(quantity);
        window->addInventoryRow(row);
    }
    QVariantList stored(int event, const QString &columns) {
        return column(
            QStringLiteral("evnt"),
            QStringLiteral("select %1 from items where eventid = ? order by itemdesc").arg(columns),
            {event});
    }

    // The change log's last line.
    QString historyLine() {
        QFile log(path(QStringLiteral("evntsched.ini")));
        if (!log.open(QIODevice::ReadOnly | QIODevice::Text))
            return QStringLiteral("(no log)");
        return QString::fromUtf8(log.readAll()).trimmed().section(QLatin1Char('\n'), -1);
    }

    std::unique_ptr<ItemWindow> window;

private:
    int m_events = 0;
};

TEST_F(ItemWindowTest, AnAddedItemIsPricedStoredLoggedAndTotalled) {
    const int event = openOn(Ordinary);
    EXPECT_EQ(window->caption, QStringLiteral("DEMO @ Event Item Detail  -  Dinner - 03/15/2027"));
    EXPECT_EQ(window->inventoryCaption, QStringLiteral("***  Food  ***"));
    EXPECT_EQ(window->totalTexts, (std::array<QString, 4>{".00", ".00", ".00", ".00"}));
    EXPECT_EQ(window->perPersonText, QStringLiteral(".00"));

    for (const char *refused : {"Qty", "", "-2", "0.5"}) {
        prompts.clear();
        add(QString::fromLatin1(refused));
        EXPECT_EQ(prompts.lastMessage().text, QStringLiteral("Set the Quantity and try again."))
            << refused;
    }
    EXPECT_TRUE(stored(event, QStringLiteral("itemdesc")).isEmpty());

    add(QStringLiteral("100"), 0); // chicken, 34.00 each
    ASSERT_EQ(window->eventItems.size(), 1);
    const QVariantList row = window->eventItems[0].read;
    EXPECT_EQ(row[1].toDouble(), 100.0);
    EXPECT_EQ(row[2].toInt(), 101);
    EXPECT_EQ(row[3].toString(), QStringLiteral("FOOD"));
    EXPECT_EQ(row[4].toString(), QStringLiteral("100 Plated Dinner - Chicken"));
    EXPECT_EQ(Money::fromVariant(row[6]), Money::fromText(u"3400"));
    EXPECT_EQ(Money::fromVariant(row[7]), Money::fromText(u"612")) << "18% service charge";
    // 238 tax on the price, 0.07 x 612 on the service charge, rounded to cents.
    EXPECT_EQ(Money::fromVariant(row[8]), Money::fromText(u"280.84"));
    EXPECT_EQ(row[9].toInt(), 4100);
    EXPECT_EQ(window->totalTexts,
              (std::array<QString, 4>{"3400.00", "612.00", "280.84", "4292.84"}));
    EXPECT_EQ(window->perPersonText, QStringLiteral("42.93"));
    EXPECT_TRUE(historyLine().endsWith(QStringLiteral("Add Item#101-Plated Dinner - Chicken")))
        << historyLine().toStdString();
    EXPECT_EQ(window->statusText, QStringLiteral("Done"));

    // "1.5 " and no service charge.
    window->setServiceChargeBypass(true);
    add(QStringLiteral("1.5"), 1);
    EXPECT_EQ(stored(event, QStringLiteral("itemdesc")),
              (QVariantList{QStringLiteral("1.5 Plated Dinner - Filet"),
                            QStringLiteral("100 Plated Dinner - Chicken")}));
    EXPECT_EQ(Money::fromVariant(stored(event, QStringLiteral("servchg")).first()), Money());
}

TEST_F(ItemWindowTest, TaxExemptionAndPriceLevelComeFromTheEventsOwnAccount) {
    const int exempt = openOn(Exempt);
    EXPECT_TRUE(window->taxExempt);
    add(QStringLiteral("1"));
    EXPECT_EQ(Money::fromVariant(stored(exempt, QStringLiteral("tax")).first()), Money());

    // After an exempt event, an ordinary one and one without an account.
    for (int account : {int(Ordinary), 0}) {
        openOn(Exempt);
        const int taxed = openOn(account);
        EXPECT_FALSE(window->taxExempt) << account;
        add(QStringLiteral("1"));
        EXPECT_GT(Money::fromVariant(stored(taxed, QStringLiteral("tax")).first()), Money())
            << account;
    }

    openOn(AltPrices);
    EXPECT_EQ(window->priceLevel, ItemWindow::AltRetailPrice);
    add(QStringLiteral("2"));
    EXPECT_EQ(window->eventItems[0].price(), Money::fromText(u"61")) << "2 x 30.50";
    EXPECT_EQ(window->perPersonText.isEmpty(), false);
}

TEST_F(ItemWindowTest, ADepartmentCodeWithAnApostropheIsBoundAndNullPricesCountAsZero) {
    const int event = openOn(Ordinary, 0);
    EXPECT_EQ(window->perPersonText, QStringLiteral("No GTE"));
    window->showDepartment(QStringLiteral("O'BAR"), QStringLiteral("Bar"));
    ASSERT_EQ(window->inventory.size(), 2);
    EXPECT_EQ(window->inventory[1].description, QStringLiteral("Corkage"));
    add(QStringLiteral("3"), 1);
    EXPECT_EQ(window->eventItems[0].price(), Money());

    // A free-form price: cancel writes nothing; the typed price is used.
    window->setFreeFormPrice(true);
    prompts.answerInput(QString());
    add(QStringLiteral("2"), 1);
    EXPECT_EQ(stored(event, QStringLiteral("price")).size(), 1);
    // Each amount fits a column; their total is past what billing charges.
    prompts.answerInput(QStringLiteral("999999999999"));
    add(QStringLiteral("1"), 1);
    EXPECT_EQ(prompts.lastMessage().text,
              QStringLiteral("The price, service charge and tax together are too large to bill; "
                             "nothing was added."));
    EXPECT_EQ(stored(event, QStringLiteral("price")).size(), 1);
    prompts.answerInput(QStringLiteral("12.5"));
    add(QStringLiteral("2"), 1);
    EXPECT_EQ(prompts.inputs.last().title, QStringLiteral("FreeForm Selling Price"));
    EXPECT_EQ(prompts.inputs.last().text,
              QStringLiteral("Type the new selling price for this item. \r\n\r\nClick OK to "
                             "accept the default."));
    EXPECT_EQ(window->eventItems.size(), 2);
    EXPECT_EQ(window->totalTexts[0], QStringLiteral("25.00"));

    // An empty department adds nothing and says nothing.
    window->showDepartment(QStringLiteral("NONE"), QStringLiteral("Nothing"));
    add(QStringLiteral("1"));
    EXPECT_EQ(window->eventItems.size(), 2);
}

TEST_F(ItemWindowTest, TypedQuantitiesAndPricesAreReadWholeOrAddNothing) {
    WorkstationLocale english(QLocale(QLocale::English, QLocale::UnitedStates));
    const int event = openOn(Ordinary);
    for (const char *refused : {"1e3", "12abc", "1.2.3"}) {
        prompts.clear();
        add(QString::fromLatin1(refused));
        EXPECT_EQ(prompts.messageTexts(),
                  QStringList{QStringLiteral("Quantity: \"%1\" is not a number.\nType digits, "
                                             "with a decimal mark before any decimal places.")
                                  .arg(QString::fromLatin1(refused))});
    }
    EXPECT_TRUE(stored(event, QStringLiteral("qty")).isEmpty());
    EXPECT_TRUE(window->statusText.isEmpty());
    add(QStringLiteral("1,500"));
    EXPECT_EQ(stored(event, QStringLiteral("qty")).value(0).toDouble(), 1500.0);

    window->setFreeFormPrice(true);
    for (const char *refused : {"1,250.00x", "12abc", "1.2.3", "99999999999999999999"}) {
        prompts.clear();
        prompts.answerInput(QString::fromLatin1(refused));
        add(QStringLiteral("2"));
        EXPECT_TRUE(prompts.lastMessage().text.startsWith(
            QStringLiteral("Selling price: \"%1\" ").arg(QString::fromLatin1(refused))))
            << refused;
    }
    EXPECT_EQ(stored(event, QStringLiteral("price")).size(), 1);
    prompts.answerInput(QStringLiteral("$1,250.00"));
    add(QStringLiteral("2"));
    EXPECT_EQ(Money::fromVariant(stored(event, QStringLiteral("price")).value(1)),
              Money::fromText(u"2500"));

    // The guarantee as typed in the event window, read whole.
    module->event.fields[EventField::Guarantee] = QStringLiteral("1,500");
    ASSERT_TRUE(window->open());
    EXPECT_EQ(window->guarantee, 1500);
    module->event.fields[EventField::Guarantee] = QStringLiteral("12abc");
    ASSERT_TRUE(window->open());
    EXPECT_EQ(window->perPersonText, QStringLiteral("No GTE"));
}

TEST_F(ItemWindowTest, RemoveTakesExactlyTheChosenRowAndClearAsksFirst) {
    const int event = openOn(Ordinary);
    add(QStringLiteral("2"));
    add(QStringLiteral("2")); // two identical rows
    add(QStringLiteral("5"), 1);
    ASSERT_EQ(window->eventItems.size(), 3);

    window->selectEventItemRow(0);
    window->moveItem(ItemWindow::RemoveMove);
    EXPECT_TRUE(historyLine().endsWith(QStringLiteral("Del Item#101-2 Plated Dinner - Chicken")))
        << historyLine().toStdString();
    EXPECT_EQ(stored(event, QStringLiteral("itemdesc")),
              (QVariantList{QStringLiteral("2 Plated Dinner - Chicken"),
                            QStringLiteral("5 Plated Dinner - Filet")}))
        << "one of the two identical rows stays";

    // A row another workstation removed meanwhile: nothing else goes.
    const ItemWindow::EventItem shown = window->eventItems[1];
    exec(QStringLiteral("evnt"), QStringLiteral("delete from items where itemdesc = ?"),
         {shown.itemdesc()});
    window->selectEventItemRow(1);
    window->moveItem(ItemWindow::RemoveMove);
    EXPECT_EQ(stored(event, QStringLiteral("itemdesc")),
              QVariantList{QStringLiteral("2 Plated Dinner - Chicken")});

    prompts.answerYesNo(false);
    window->moveItem(ItemWindow::ClearMove);
    EXPECT_EQ(stored(event, QStringLiteral("itemdesc")).size(), 1);
    prompts.answerYesNo(true);
    window->moveItem(ItemWindow::ClearMove);
    EXPECT_EQ(prompts.questions.last().title, QStringLiteral("Clear items? "));
    EXPECT_TRUE(stored(event, QStringLiteral("itemdesc")).isEmpty());
    EXPECT_EQ(window->totalTexts, (std::array<QString, 4>{}));
}

TEST_F(ItemWindowTest, AnEventBilledElsewhereOrAReadOnlyOperatorChangesNothing) {
    const int event = openOn(Ordinary);
    add(QStringLiteral("1"));
    // Another workstation bills the event while this window is open.
    exec(QStringLiteral("evnt"),
         QStringLiteral("update eventinfo set status = 5 where eventnum = ?"), {event});
    add(QStringLiteral("1"), 1);
    window->moveItem(ItemWindow::RemoveMove);
    window->moveItem(ItemWindow::ClearMove); // not even asked
    EXPECT_EQ(stored(event, QStringLiteral("itemdesc")),
              QVariantList{QStringLiteral("1 Plated Dinner - Chicken")});

    const int other = openOn(Ordinary);
    signIn(15); // below event editing
    add(QStringLiteral("1"));
    window->toggleCostColumn();
    EXPECT_TRUE(stored(other, QStringLiteral("itemdesc")).isEmpty());
    EXPECT_FALSE(window->costColumnVisible);
}

TEST_F(ItemWindowTest, AMissingInventoryIsReportedAndAddsNothing) {
    removeDatabase(QStringLiteral("invntory"));
    prompts.expectError(2); // opening on department 0, then the Food button
    const int event = openOn(Ordinary);
    EXPECT_EQ(prompts.lastMessage().title, QStringLiteral("Uh-oh..."));
    EXPECT_TRUE(window->inventory.isEmpty());
    add(QStringLiteral("1"));
    EXPECT_TRUE(stored(event, QStringLiteral("itemdesc")).isEmpty());
}

TEST_F(ItemWindowTest, InfoLeavesTheOperatorAtTheBasicScreens) {
    openOn(Ordinary);
    module->session.LocationName = QStringLiteral("Items");
    window->showInfo();
    ASSERT_EQ(programs.waited.size(), 1);
    EXPECT_TRUE(programs.waited[0].startsWith(QStringLiteral("quelvi32.exe DEMO@")));
    EXPECT_EQ(module->session.LocationName, QStringLiteral("BASIC"));
}

TEST_F(ItemWindowTest, EntryOrderFileKeepsRowsAsEntered) {
    QFile marker(path(QStringLiteral("EVNTNOSORT.DAT")));
    ASSERT_TRUE(marker.open(QIODevice::WriteOnly));
    marker.close();
    openOn(Ordinary);
    add(QStringLiteral("5"), 1);
    add(QStringLiteral("2"), 0);
    EXPECT_EQ(window->eventItems[0].itemdesc(), QStringLiteral("5 Plated Dinner - Filet"));
}

} // namespace
