#include "AccountAssignment.h"

#include "EventRecord.h"
#include "EventWindow.h"
#include "billing/BillingAccounts.h"
#include "ports/Messages.h"
#include "session/Configuration.h"
#include "session/CurrentEvent.h"
#include "session/OperatorSession.h"
#include "values/TextValue.h"

namespace {

const QString Oops = QStringLiteral("Oops...");
constexpr int MemberEvent = 1;
constexpr int NonMemberEvent = 2;

} // namespace

AccountAssignment::AccountAssignment(Messages &messages, const OperatorSession &session,
                                     const Configuration &config, CurrentEvent &event,
                                     EventRecord &events, EventWindow &window,
                                     BillingAccounts &accounts, QObject *parent)
    : QObject(parent)
    , m_messages(messages)
    , m_session(session)
    , m_config(config)
    , m_event(event)
    , m_events(events)
    , m_window(window)
    , m_accounts(accounts) {}

bool AccountAssignment::basicsComplete() {
    const auto &fields = m_event.fields;
    bool complete = true;
    for (EventField field : eventFieldsFrom(EventField::Date, EventField::Room)) {
        const bool empty = fields[field].trimmed().isEmpty();
        m_window.fieldColor[field] = empty ? EventWindow::Red : EventWindow::restingColor(field);
        complete = complete && !empty;
    }
    m_window.statusMissing = !complete && integerValue(fields[EventField::Status]) < 1;
    if (!complete)
        m_messages.show(QStringLiteral("A billing account cannot be created until basic "
                                       "information is completed."),
                        Oops, Icon::Information);
    return complete;
}

void AccountAssignment::assignAccount() {
    if (!m_session.CheckAccess(OperatorSession::evaccess1))
        return;
    CurrentEvent &event = m_event;
    QString &accountBox = event.fields[EventField::Account];
    const int kind = integerValue(event.fields[EventField::Member]);
    const bool complete = basicsComplete();
    emit changed();
    if (!complete)
        return;

    // An account number read whole, "New" or nothing; anything else ("12abc",
    // "1e3", a number out of range) is refused by name and links nothing.
    const QString typed = accountBox.trimmed();
    const bool askedForNew = typed.compare(QStringLiteral("New"), Qt::CaseInsensitive) == 0;
    const TypedNumber read =
        EventRecord::readNumberField(EventField::Account, typed, kind == MemberEvent);
    if (!read.isNumber() && !read.isEmpty()) {
        m_messages.show(read.message(), Oops, Icon::Information);
        m_window.focusField = EventField::Account;
        emit changed();
        return;
    }
    double account = read.isNumber() ? read.value().toDouble() : 0;
    if (kind == MemberEvent && !askedForNew && account < 1) {
        if (!m_messages.AskYesNo(QStringLiteral("Is this a new event billing account?  \r\n"
                                                "(i.e. not an already existing account)"),
                                 QStringLiteral("Select..."))) {
            m_messages.show(QStringLiteral("Please enter the desired billing/member  \r\n"
                                           "account number or press F-5 for a lookup."),
                            Oops, Icon::Information);
            accountBox.clear();
            m_window.focusField = EventField::Account;
            emit changed();
            return;
        }
        account = 0;
    }

    if (account == 0 && kind == NonMemberEvent) {
        if (m_accounts.CreateAccount(integerValue(event.fields[EventField::Number]))) {
            event.UnsavedChanges = true;
            m_events.taxExemptShown = false;
            m_events.classCodeText = QStringLiteral("Classcode: ") + m_config.DefaultClassCode;
        }
    } else if (account > 0) {
        const auto linked = m_accounts.LinkAccount(account);
        m_events.taxExemptShown = linked && linked->taxExempt;
        m_events.classCodeText =
            linked ? QStringLiteral("Classcode: ") + linked->classcode : QString();
    }
    emit changed();
}
