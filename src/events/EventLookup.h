#pragma once

#include "FieldEntry.h"
#include "calendar/ListState.h"

#include <QList>
#include <QObject>
#include <QString>
#include <array>

class Companions;
class Module;
struct EventWindow;

// The look-up panel fralookup: six criterion boxes txtlookup(0..5), the
// result list cbolookup and the buttons cmdlookup2 0 "Lookup" and 1 "Cancel
// Lookup". The first box with text is the criterion; a number search opens
// its event at once, any other lists every match, oldest date first, and
// the entry chosen is opened through eventChosen.
//
// Typed text reaches the database only as bound values. Text criteria match
// anywhere in the column, letters in any case and alphabet, every other
// character literally (the old engine's * wildcard included). The event
// and account numbers are read whole, as the event window reads them, and
// anything else is refused by name; a date box holding no date finds nothing.
class EventLookup : public QObject {
    Q_OBJECT

public:
    static constexpr int BoxCount = 6;
    enum Box {
        DateBox = 0,
        TitleBox = 1,
        NumberBox = 2,
        AccountBox = 3,
        BillingNameBox = 4,
        ContactNameBox = 5,
    };
    using Key = FieldEntry::Key;

    static const QString ResultsPrompt; // the list's text while it offers results

    EventLookup(Module &module, EventWindow &window, Companions &companions,
                QObject *parent = nullptr);

    // The caption beside a box: "Event date", "Event Title", "Event #", ...
    static QString label(int box);
    // The order the panel shows the boxes in, top to bottom: date, number,
    // title, account, billing name, contact name.
    static const std::array<int, BoxCount> &shownOrder();

    bool visible() const;

    // The buttons cmdlookup2(0) "Lookup" and cmdlookup2(1) "Cancel Lookup".
    void search();
    void cancel();
    // An entry of the result list chosen (its row).
    void chooseResult(int row);
    void clickCriterion(int box);
    void doubleClickCriterion(int box);
    void enterCriterion(int box);
    void leaveCriterion(int box);
    // A key typed into a box: false when the box must not take it (Enter,
    // which presses "Lookup").
    bool typeCriterionKey(int box, Key key);
    void pressCriterionKey(int box, Key key);
    // The operator changed a box's text.
    void editCriterion(int box, const QString &text);

    std::array<QString, BoxCount> criteria;
    std::array<int, BoxCount> criterionColor{};
    ListState results;
    bool resultsVisible = false;
    QString resultCount; // "12 events found" beside the list of a search

signals:
    void changed();
    // An event to load and show; the panel closes once it is shown.
    void eventChosen(int eventNumber);
    // A search listed its matches; the list opens at once to choose from.
    void resultsListed();

private:
    void choose(int eventNumber);
    void noRecords();
    void completeYear(int box);
    void countResults();
    static bool valid(int box);

    Module &m_module;
    EventWindow &m_window;
    Companions &m_companions;
    QList<int> m_numbers; // the event number of each list entry
};
