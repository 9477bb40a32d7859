#include "YearSetup.h"

#include "session/Module.h"
#include "storage/Transaction.h"
#include "values/TextValue.h"

#include <QCoreApplication>
#include <QDate>
#include <QSet>
#include <array>

namespace {

const QString EventDatabase = QStringLiteral("evnt");

int dateNumber(const QDate &date) {
    return date.year() * 10000 + date.month() * 100 + date.day();
}

const std::array<QString, YearSetup::SlotsPerDay> &slotTimes() {
    static const std::array<QString, YearSetup::SlotsPerDay> times = [] {
        std::array<QString, YearSetup::SlotsPerDay> all;
        for (int slot = 0; slot < YearSetup::SlotsPerDay; ++slot)
            all[slot] = QStringLiteral("%1:%2")
                            .arg(slot / 4, 2, 10, QLatin1Char('0'))
                            .arg(slot % 4 * 15, 2, 10, QLatin1Char('0'));
        return all;
    }();
    return times;
}

// The slots of a month already in the table, as date * 100 + slot.
Result<QSet<qint64>> existingSlots(Database &db, int year, int month) {
    const int first = year * 10000 + month * 100;
    auto rows =
        db.exec(QStringLiteral("select resdate, restime from reserv where resdate between ? and ?"),
                {first, first + 32});
    if (!rows)
        return rows.error();
    QSet<qint64> taken;
    while (rows->next()) {
        const QString time = rows->value(1).toString();
        const int slot = time.left(2).toInt() * 4 + time.mid(3, 2).toInt() / 15;
        taken.insert(rows->value(0).toLongLong() * 100 + slot);
    }
    return taken;
}

} // namespace

YearSetup::YearSetup(Module &module, QObject *parent)
    : QObject(parent)
    , m_module(module) {}

QString YearSetup::slotTime(int slot) {
    return slotTimes().at(slot);
}

Result<bool> YearSetup::yearStarted(int year) {
    auto db = m_module.databases.open(EventDatabase);
    if (!db)
        return db.error();
    auto first = db.value()->exec(QStringLiteral("select count(*) from reserv where resdate = ?"),
                                  {year * 10000 + 101});
    if (!first)
        return first.error();
    return first->next() && first->value(0).toInt() > 0;
}

void YearSetup::InitializeYear() {
    if (m_module.longOperation.running() || !m_module.session.CheckAccess(2))
        return;
    MessageChannel &channel = m_module.channel;
    channel.MessageTitle = QStringLiteral("Set-up Year");
    const QString answer = m_module.ports.prompts.input(
        QStringLiteral(
            "Enter 4-digit year to initialize and click OK.\r\nExamples: 2016, 2017, 2018, etc."),
        channel.MessageTitle);
    const int year = integerValue(answer.trimmed());
    if (year == 0)
        return;
    if (year < FirstYear || year > LastYear) {
        m_module.messages.show(QStringLiteral("Invalid year"), QStringLiteral("Oops..."),
                               Icon::Information);
        return;
    }
    emit status(QStringLiteral("Working...please wait..."));

    auto started = yearStarted(year);
    if (!started) {
        emit status(QString());
        m_module.messages.reportFailure(started.error(), EventDatabase);
        return;
    }
    if (*started &&
        !m_module.messages.AskYesNo(
            QStringLiteral("It looks like %1 has already been initialized.\r\n").arg(year) +
                QStringLiteral("Would you like to backfill some dates or expand it?\r\n\r\n") +
                QStringLiteral("Click YES to continue; NO to cancel now."),
            QStringLiteral("Hmmmmm....."))) {
        emit status(QString());
        return;
    }

    Result<int> filled = 0;
    {
        LongOperation::Scope running(m_module.longOperation, QStringLiteral("Set-up Year"));
        emit runningChanged(true);
        m_module.routines.ShowBusy();
        filled = fillYear(year);
        m_module.routines.ShowIdle();
    }
    emit runningChanged(false);
    if (!filled) {
        emit status(QString());
        m_module.messages.reportFailure(filled.error(), EventDatabase);
        return;
    }
    m_module.messages.show(QStringLiteral("Initialization complete for year: %1").arg(year),
                           QString(), Icon::Information);
    emit calendarRequested();
}

Result<int> YearSetup::fillYear(int year) {
    auto db = m_module.databases.open(EventDatabase);
    if (!db)
        return db.error();
    // A week's slots go in with one statement: a round trip per slot would
    // make a year on a database server many times slower.
    constexpr int ChunkRows = 7 * SlotsPerDay;
    const auto insertRows = [](int rows) {
        QStringList tuples;
        for (int i = 0; i < rows; ++i)
            tuples << QStringLiteral("(?, ?)");
        return QStringLiteral("insert into reserv (resdate, restime) values ") +
               tuples.join(QLatin1String(", "));
    };
    auto wholeChunk = db.value()->prepare(insertRows(ChunkRows));
    if (!wholeChunk)
        return wholeChunk.error();
    QVariantList values; // resdate and restime of the rows not yet written
    const auto flush = [&]() -> Status {
        const int rows = int(values.size() / 2);
        Status inserted;
        if (rows == ChunkRows) {
            for (int i = 0; i < values.size(); ++i)
                wholeChunk->bindValue(i, values[i]);
            inserted = db.value()->exec(*wholeChunk);
        } else if (rows > 0) {
            inserted = db.value()->execute(insertRows(rows), values);
        }
        values.clear();
        return inserted;
    };

    int added = 0;
    for (int month = 1; month <= 12; ++month) {
        // The month's existing slots are read inside its write transaction,
        // so a second workstation filling the same year cannot slip in.
        Transaction transaction(*db.value());
        if (!transaction.begun())
            return transaction.begun().error();
        auto existing = existingSlots(*db.value(), year, month);
        if (!existing)
            return existing.error();
        const QDate first(year, month, 1);
        for (QDate day = first; day.month() == month; day = day.addDays(1)) {
            const int date = dateNumber(day);
            for (int slot = 0; slot < SlotsPerDay; ++slot) {
                if (existing->contains(qint64(date) * 100 + slot))
                    continue;
                values << date << slotTimes()[slot];
                ++added;
                if (values.size() / 2 == ChunkRows) {
                    if (Status inserted = flush(); !inserted)
                        return inserted.error();
                }
            }
            emit status(QStringLiteral("Working...  %1 - %2").arg(date).arg(slotTimes().back()));
        }
        if (Status inserted = flush(); !inserted)
            return inserted.error();
        if (Status status = transaction.commit(); !status)
            return status.error();
        // The window paints between months, never while a month's
        // transaction holds the table that other commands need.
        QCoreApplication::processEvents();
    }
    return added;
}
