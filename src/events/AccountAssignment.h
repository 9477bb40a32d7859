#pragma once

#include <QObject>

class BillingAccounts;
class Configuration;
class EventRecord;
class Messages;
class OperatorSession;
struct CurrentEvent;
struct EventWindow;

// The billing panel's account button cmdassign ("Link to Member #" or
// "Assign/Link to Account #"): checks the event, then links it to the
// account number or, for a non-member event without one ("New"),
// creates its account.
class AccountAssignment : public QObject {
    Q_OBJECT

public:
    AccountAssignment(Messages &messages, const OperatorSession &session,
                      const Configuration &config, CurrentEvent &event, EventRecord &events,
                      EventWindow &window, BillingAccounts &accounts, QObject *parent = nullptr);

    // The button: links the event to its account, or creates one.
    void assignAccount();

signals:
    void changed();

private:
    bool basicsComplete();

    Messages &m_messages;
    const OperatorSession &m_session;
    const Configuration &m_config;
    CurrentEvent &m_event;
    EventRecord &m_events;
    EventWindow &m_window;
    BillingAccounts &m_accounts;
};
