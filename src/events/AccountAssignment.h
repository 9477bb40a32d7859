#pragma once

#include <QObject>

class BillingAccounts;
class EventRecord;
class Module;
struct EventWindow;

// The billing panel's account button cmdassign ("Link to Member #" or
// "Assign/Link to Account #"): checks the event, then links it to the
// account number or, for a non-member event without one ("New"),
// creates its account.
class AccountAssignment : public QObject {
    Q_OBJECT

public:
    AccountAssignment(Module &module, EventRecord &events, EventWindow &window,
                      BillingAccounts &accounts, QObject *parent = nullptr);

    // AssignAccount.
    void assignAccount();

signals:
    void changed();

private:
    bool basicsComplete();

    Module &m_module;
    EventRecord &m_events;
    EventWindow &m_window;
    BillingAccounts &m_accounts;
};
