#pragma once

#include "TillCopies.h"

#include <QObject>
#include <QString>
#include <optional>

class Databases;
class LongOperation;
class Messages;

// tillzoupdate, the point-of-sale export window: refreshes the tills' copies
// of members, employees, inventory and buttons for the mode asked for, then
// leaves each till a request file (qnpos01.req, ...) telling it to reload.
// The view runs updateTills once it is shown and draws from this after
// changed().
class PointOfSaleExport : public QObject {
    Q_OBJECT

public:
    enum class Routine { Members, Employees, Inventory, Buttons, Renumbering };
    // Mode 51: the item a till button sells is renumbered.
    struct Renumbering {
        qint64 oldNumber = 0;
        qint64 newNumber = 0;
        QString code;
    };
    static constexpr int MostTills = 99;

    // Reads and writes the tills' copies through `databases`, tells the
    // operator through `messages`, and keeps writing commands waiting on
    // `longOperation` while it runs.
    PointOfSaleExport(Databases &databases, Messages &messages, LongOperation &longOperation,
                      QObject *parent = nullptr);

    // The routines a mode runs, in order; none for a mode that does not exist.
    static QList<Routine> routinesOf(int mode);
    // The store identifier in the text of "storeid.dat": what follows
    // "StoreID=" on its first line; empty without it.
    static QString storeIdFrom(const QByteArray &content);
    // The lines of every till's request file for a mode.
    static QStringList requestLines(int mode);

    // The window's work: reads the mode (its digits as the tills' request
    // files write them), the store and the till count, runs the routines and
    // writes the request files. The operator is told of a mode or till count
    // that cannot be run; then nothing is done.
    void updateTills(const QString &mode,
                     const std::optional<Renumbering> &renumbering = std::nullopt);
    // The error button: hides itself and lets the window close.
    void acknowledgeError();
    // False while the routines run or an error is shown.
    bool mayClose() const { return !running && ErrorFlag == 0; }

    QString statusText;              // the window's status line: progress, or "Error n @ line"
    bool errorButtonVisible = false; // the error waits to be acknowledged
    QString errorDetail;             // the failure's own text, beneath the status line
    qint16 Mode = 0;
    QString StoreId;
    int TillCount = 0;
    qint16 ErrorFlag = 0;
    bool running = false;

signals:
    void changed();

private:
    bool readSettings(const QString &mode);
    static QStringList databasesOf(const QList<Routine> &routines);
    void runAll(const QList<Routine> &routines, const std::optional<Renumbering> &renumbering);
    bool run(Routine routine, const std::optional<Renumbering> &renumbering);
    void fail(const TillCopies::Failure &failure);
    bool writeRequestFiles();
    void setMessage(const QString &text);

    Databases &m_databases;
    Messages &m_messages;
    LongOperation &m_longOperation;
    TillCopies m_copies;
};
