#pragma once

#include <QString>
#include <QStringList>
#include <QWidget>

class Clipboard;
class MailList;
class Databases;
class QLabel;
class QPushButton;
class QTableWidget;

// mailforge, "Email Generator": the events the office selected for a
// mailing with their contacts' addresses, saved as a CSV file beside the
// work database. "Copy addresses" puts them on the clipboard for an e-mail;
// nothing is sent from here.
class MailforgeWindow final : public QWidget {
    Q_OBJECT

public:
    // arguments: the work database's name, or its path.
    MailforgeWindow(const Databases &databases, Clipboard &clipboard, const QStringList &arguments,
                    QWidget *parent = nullptr);

private:
    void showList(const MailList &list);
    void showSaved(const MailList &list, const QString &workPath);
    void showMessage(const QString &text);
    void copyAddresses();

    Clipboard &m_clipboard;
    QString m_addressLine;
    qsizetype m_addressCount = 0;
    QLabel *m_counts;
    QTableWidget *m_table;
    QLabel *m_saved;
    QLabel *m_message;
    QPushButton *m_copy;
};
