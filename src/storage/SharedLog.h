#pragma once

#include <QString>
#include <QStringList>

// A log file that every workstation appends to (the admin log, the event
// change log). Lines that cannot be written, because another workstation
// held the lock too long or the folder cannot be reached, are kept and
// written ahead of the next ones, so none is lost or put out of order.
class SharedLog {
public:
    explicit SharedLog(QString path)
        : m_path(std::move(path)) {}

    // Writes what was kept, then the lines; false when they are kept too.
    bool append(const QStringList &lines);
    bool flush() { return append({}); }

    const QStringList &kept() const { return m_kept; }
    const QString &path() const { return m_path; }

private:
    QString m_path;
    QStringList m_kept;
};
