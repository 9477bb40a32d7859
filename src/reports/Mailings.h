#pragma once

#include <QObject>
#include <QString>
#include <memory>
#include <optional>
#include <utility>

class Module;
class ReportWorkCopy;

// "Event Promotion": mailing labels to each event's contact or billing
// address, and the e-mail list of the contacts handed to the e-mail
// program, all for the events of one status.
class Mailings : public QObject {
    Q_OBJECT

public:
    // The status prompt's answer: a status, or 0 for every event.
    enum : int { AllStatuses = 0 };
    static constexpr int FirstNameLength = 15;
    static constexpr int LastNameLength = 20;
    static constexpr auto MailProgram = "mailforge.exe";

    explicit Mailings(Module &module, QObject *parent = nullptr);

    // mnumaillabels: labels to the contact address ("evntmail1.rpt").
    void printContactLabels();
    // mnubilling: labels to the billing address ("evntmail2.rpt").
    void printBillingLabels();
    // mnuemail: the contacts' addresses for the e-mail program.
    void makeEmailList();

    // The status an answer chooses; none for an empty or unknown answer.
    static std::optional<int> statusChoice(const QString &answer);
    // The contact name split by position into the e-mail list's first
    // (15 characters) and last name (the next 20), each padded with blanks.
    static std::pair<QString, QString> splitName(const QString &contactName);

    // 0 contact labels, 1 billing labels; back to 0 once done.
    int ReportKind = 0;

signals:
    // The main window's status line.
    void status(const QString &text);

private:
    void printLabels(int kind);
    // Asks the status (the e-mail list's wording when `email`) and prepares
    // the work copy; null when nothing is to be done.
    std::unique_ptr<ReportWorkCopy> prepare(bool email, int &status);
    void noRecords(const QString &ending);

    Module &m_module;
};
