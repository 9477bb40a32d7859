#pragma once

#include "ContractText.h"
#include "session/EventField.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <array>
#include <memory>

class Module;
class ReportWorkCopy;

// frmbanq2, "Contract Builder": the club's contracts, each an ordered list
// of text components from the club directory, and the current event's
// contract assembled from them with the event's and the club's values in
// place of their tokens, shown and printed through one of five layouts.
class ContractBuilder : public QObject {
    Q_OBJECT

public:
    enum Move {
        MoveUp = 0,
        MoveDown = 1,
        AddComponent = 2,
        RemoveComponent = 3,
        RefreshView = 4,
        SaveComponents = 5,
        ClearComponents = 6,
    };
    static constexpr int MoveCount = 7;
    // The layouts by their report kind code.
    enum Layout {
        StandardLayout = 0,
        StandardWindow = 2,
        LetterheadLayout = 3,
        LetterheadWindow = 4,
        UserDefinedLayout = 5,
    };
    static constexpr int DescriptionLength = 50;

    // The tokens of the event table's columns, "<EVENTDATE>" for the date
    // and so on, as the main window made them from the event table.
    using EventTokens = std::array<QString, EventColumnLimit>;

    // The tokens of the event table as the schema module makes it (for
    // programs that have no main window to read them from).
    static EventTokens schemaEventTokens();

    ContractBuilder(Module &module, const EventTokens &eventFieldTokens, QObject *parent = nullptr);

    // Opens for the module's current event (none when its number is 0).
    // False when the program must end: the databases need their update.
    bool open();
    void exitWindow();

    // Choosing an entry of cbocontract by its position.
    void chooseContractEntry(int index);
    // The stored contract of that number, its text assembled for the
    // module's event as choosing it from the list does; false when the
    // club has no such contract.
    bool chooseContract(int number);
    void selectComponentFile(int row);
    void addComponentFile(int row);
    void selectComponent(int row);
    void moveComponent(int index);

    void printerSetup();
    void adjustPrintMargins();
    void toggleAllTextFiles();
    void changeDescription();
    void printContractList();
    void printComponentList();
    // mnustandard, mnustandardwindow, mnuletterhead, mnuletterheadwindow,
    // mnuuserdefined.
    void printContract(Layout layout);
    // A work copy filled with the contract shown, for the layout, and the
    // request set to print it; null after the failure was shown.
    std::unique_ptr<ReportWorkCopy> fillContract(Layout layout);
    void showInfo();
    void showHelp();

    static QString layoutFile(Layout layout);

    // What the window shows.
    QString caption;
    bool visible = false;
    bool keptOnTop = true; // off while a report runs
    QStringList contractEntries;
    QString chosenContract;
    QStringList componentFiles;
    int componentFileRow = -1;
    bool allTextFiles = false; // mnutextfiles' check mark: "*.txt" instead of "cb*.txt"
    QStringList components;
    int componentRow = -1;
    QString viewerText; // the contract viewer
    QString statusText;
    bool statusBold = false;
    std::array<bool, MoveCount> moveEnabled{true, true, true, true, true, true, true};
    QString eventNumberText;
    QString eventNameText;

    // The window's state.
    int ContractNumber = 0;
    QString ContractDescription;
    bool NewContract = false;
    int ReportKind = 0;

signals:
    void changed();
    // The database needs its update program first: the program ends.
    void updateRequired();

private:
    bool mayEdit() const;
    void loadContractList();
    void readComponentFiles();
    void createContract();
    void loadContract(int number);
    void moveUp();
    void moveDown();
    void addComponent();
    void removeComponent();
    void clearComponents();
    void saveComponents();
    void assemble();
    QString merged(const QString &joined) const;
    QList<ContractText::Replacement> customerTokens() const;
    // The description typed for a contract; empty when cancelled or too long.
    QString askDescription(int number, const QString &initial);
    void launch(ReportWorkCopy &work, const QString &reportFile);
    void audit(const QString &text);
    void refuse(const QString &text);

    Module &m_module;
    const EventTokens &m_eventFieldTokens;
};
