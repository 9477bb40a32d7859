#include "Mailings.h"

#include "ports/Programs.h"
#include "ports/Prompts.h"
#include "session/Module.h"
#include "values/TextValue.h"

#include <algorithm>
#include <cmath>

namespace {

const QString EventDatabase = QStringLiteral("evnt");

QString statusPrompt(bool email) {
    // The e-mail list's prompt sets its first and last lines apart.
    const QString apart = email ? QStringLiteral("\r\n\r\n") : QStringLiteral("\r\n");
    return QStringLiteral("Type the desired status NUMBER or ALL and click OK. ") + apart +
           QStringLiteral("1 = Contacts only\r\n"
                          "2 = Reserved\r\n"
                          "3 = Reserved w/Dep\r\n"
                          "4 = Confirmed w/Count\r\n"
                          "5 = Done/Billed\r\n"
                          "9 = Cancelled\r\n"
                          "ALL = all status choices") +
           apart + QStringLiteral("Leave BLANK to cancel");
}

// The events of the chosen status, oldest number first.
QString selection(int status, const QString &columns, QVariantList &values) {
    QString sql = QStringLiteral("select %1 from eventinfo").arg(columns);
    if (status != Mailings::AllStatuses) {
        sql += QStringLiteral(" where status = ?");
        values << status;
    }
    return sql + QStringLiteral(" order by eventnum");
}

// Where a part of `length` UTF-16 units from `start` ends, moved back so
// that a character taking two units is never parted.
qsizetype partEnd(const QString &name, qsizetype start, qsizetype length) {
    qsizetype end = std::min(start + length, name.size());
    if (end > start && end < name.size() && name[end].isLowSurrogate())
        --end;
    return end;
}

} // namespace

Mailings::Mailings(Module &module, QObject *parent)
    : QObject(parent)
    , m_module(module) {}

std::optional<int> Mailings::statusChoice(const QString &answer) {
    const QString trimmed = answer.trimmed();
    if (trimmed.isEmpty())
        return std::nullopt;
    // "ALL", and anything that does not start with a number, reads as 0.
    const double value = numericValue(trimmed);
    if (value != std::trunc(value))
        return std::nullopt;
    switch (int(value)) {
    case AllStatuses:
    case 1:
    case 2:
    case 3:
    case 4:
    case 5:
    case 9:
        return int(value);
    default:
        return std::nullopt;
    }
}

std::pair<QString, QString> Mailings::splitName(const QString &contactName) {
    const qsizetype cut = partEnd(contactName, 0, FirstNameLength);
    const qsizetype end = partEnd(contactName, cut, LastNameLength);
    return {contactName.left(cut).leftJustified(FirstNameLength, QLatin1Char(' ')),
            contactName.mid(cut, end - cut).leftJustified(LastNameLength, QLatin1Char(' '))};
}

std::unique_ptr<ReportWorkCopy> Mailings::prepare(bool email, int &status) {
    if (!m_module.session.CheckAccess(OperatorSession::evaccess1))
        return nullptr;
    const auto chosen = statusChoice(m_module.ports.prompts.input(
        statusPrompt(email), QStringLiteral("Filter by Event Status")));
    if (!chosen)
        return nullptr;
    status = *chosen;
    return ReportLauncher(m_module).PrepareReportDatabase();
}

void Mailings::noRecords(const QString &ending) {
    m_module.messages.show(
        QStringLiteral("No records match the chosen selection. %1 cancelled.").arg(ending),
        QStringLiteral("Oops..."), Icon::Information);
}

void Mailings::printContactLabels() {
    printLabels(0);
}

void Mailings::printBillingLabels() {
    printLabels(1);
}

void Mailings::printLabels(int kind) {
    ReportKind = kind;
    int chosen = AllStatuses;
    const auto work = prepare(false, chosen);
    if (!work)
        return;
    ReportLauncher launcher(m_module);
    const WorkTable events = WorkTable::whole(QStringLiteral("eventinfo"));
    QVariantList values;
    const QString sql = selection(chosen, events.selectList(), values);
    emit status(QStringLiteral("One moment please..."));
    const auto copied = launcher.copyRows(*work, EventDatabase, sql, values, events.name);
    emit status(QString());
    if (!copied)
        return;
    if (*copied == 0) {
        noRecords(QStringLiteral("Report"));
        return;
    }
    ReportRequest &request = m_module.report;
    request.DataFiles[0] = work->fileName();
    request.ReportFile =
        kind == 1 ? QStringLiteral("evntmail2.rpt") : QStringLiteral("evntmail1.rpt");
    emit status(QStringLiteral("Printing report..."));
    launcher.LaunchReport(*work);
    emit status(QString());
    ReportKind = 0;
}

void Mailings::makeEmailList() {
    int chosen = AllStatuses;
    const auto work = prepare(true, chosen);
    if (!work)
        return;
    DatabasePtr source = m_module.access.open(EventDatabase);
    if (!source)
        return;
    QVariantList values;
    auto rows = source->exec(
        selection(chosen, QStringLiteral("eventnum, contactname, contemail"), values), values);
    if (!rows) {
        m_module.messages.ShowErrorCodes(rows.error());
        return;
    }
    ReportWorkCopy::Writer writer(
        *work, {{QStringLiteral("master"),
                 {QStringLiteral("acctnumber"), QStringLiteral("fname"), QStringLiteral("lname"),
                  QStringLiteral("email1"), QStringLiteral("email2"), QStringLiteral("email3")}}});
    Status copied = writer.ready();
    qsizetype count = 0;
    while (copied && rows->next()) {
        const auto [first, last] = splitName(rows->value(1).toString());
        // The whole address: a cut one would be somebody else's.
        const QString address = rows->value(2).toString();
        copied = writer.add(0, {rows->value(0), first, last, address, address, address});
        ++count;
    }
    if (copied && rows->lastError().isValid())
        copied = source->error(rows->lastError());
    if (copied && count > 0)
        copied = writer.commit();
    rows->finish();
    source.reset();
    if (!copied) {
        m_module.messages.ShowErrorCodes(copied.error());
        return;
    }
    if (count == 0) {
        noRecords(QStringLiteral("Action"));
        return;
    }
    ReportKind = 0;
    m_module.ports.programs.start(QLatin1String(MailProgram), {work->fileName()},
                                  Programs::WindowState::Maximized);
}
