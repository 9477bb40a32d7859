#pragma once

#include "DepartmentButtons.h"
#include "ItemPricing.h"
#include "values/Money.h"
#include "values/Result.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QVariant>
#include <QVariantList>
#include <array>
#include <functional>
#include <optional>

class Database;
class Module;

// frmbanq1, "Event Item Detail": what the club sells to the current event.
// A department button lists that department's inventory; an item added
// becomes one row of the event's items, priced at that moment. The window
// shows the event's rows and their totals.
class ItemWindow : public QObject {
    Q_OBJECT

public:
    enum Move { AddMove = 2, RemoveMove = 3, ClearMove = 6 };
    enum Price { RetailPrice = 0, AltRetailPrice = 1 };
    enum Total { SubTotal = 0, ServiceCharge = 1, Tax = 2, GrandTotal = 3 };
    static constexpr int ButtonCount = 16;

    // One inventory item of the shown department.
    struct InventoryItem {
        QVariant itemnumber;
        QString description;
        QString dept;
        QVariant unitcost, retail, altretail, taxpct, scpct, glsales;
    };
    // One of the event's rows, kept with its ten values as read: a removal
    // finds that very row again by them.
    struct EventItem {
        QVariantList
            read; // eventid, qty, itemnum, dept, itemdesc, cost, price, servchg, tax, glnum
        QString dept() const { return read.value(3).toString(); }
        QString itemdesc() const { return read.value(4).toString(); }
        Money price() const { return Money::fromVariant(read.value(6)).value_or(Money()); }
    };
    explicit ItemWindow(Module &module, QObject *parent = nullptr);

    // Opens for the module's current event. False when the program must
    // end (the database needs its update first).
    bool open();
    void exitWindow();

    // Normal mode: shows the button's department.
    void showDepartment(const QString &tag, const QString &caption);
    void selectInventoryRow(int row);
    void addInventoryRow(int row);
    void selectEventItemRow(int row);
    void clearQuantityHint();
    void setQuantityText(const QString &text);
    void choosePriceLevel(int index);
    void setFreeFormPrice(bool checked);
    void setServiceChargeBypass(bool checked);
    void moveItem(int index);
    void toggleCostColumn();
    void printerSetup();
    void adjustPrintMargins();
    void showInfo();
    void showHelp();

    // "1234.5" and friends as the grids show money: "######.#0".
    static QString money(const QVariant &value);

    // What the window shows.
    QString caption;
    bool visible = false;
    QString eventNumberText;
    QString eventNameText;
    QString inventoryCaption;
    QList<InventoryItem> inventory; // itemgrid
    int inventoryRow = -1;
    bool costColumnVisible = false; // mnushowcost's check mark too
    QList<EventItem> eventItems;    // "Selected Items"
    int eventItemRow = -1;
    QString quantityText = QStringLiteral("Qty");
    int priceLevel = RetailPrice;
    bool freeFormPrice = false;
    bool bypassServiceCharge = false;
    std::array<QString, 4> totalTexts;
    QString perPersonText;
    std::array<bool, 7> moveEnabled{true, true, true, true, true, true, true};
    QString statusText;

    DepartmentButtons buttons; // cmddept(0..15) and their set-up panel

    // Read when the window opens.
    ItemPricing::Settings settings;
    int guarantee = 0;
    bool taxExempt = false; // decided from the event's own account
    int accountLevel = 0;   // 1: the account buys at the alternative prices

signals:
    void changed();
    // The database needs its update program first: the program ends.
    void updateRequired();

private:
    bool readSettings();
    void ReadAccountLevel();
    bool readItems();
    void computeTotals();
    void addItem();
    // The typed quantity; none, the operator told, when it is no number of
    // one or more.
    std::optional<Decimal> typedQuantity();
    void removeItem();
    void clearItems();
    // Runs a change of the event's rows in one transaction, once the stored
    // status allows it; true when the change (which says whether it did
    // anything) was committed. Failures are shown.
    bool changeItems(const std::function<Result<bool>(Database &)> &change);
    bool mayChange() const;
    void moveDone();
    void audit(const QString &text);

    Module &m_module;
    QString m_departmentTag;
};
