#pragma once

#include <QList>
#include <QString>

// The body's HTML cut where a page may break: between the rows of its
// top-level tables, and around what lies between those tables. Data values
// reach the HTML escaped, so every tag found here is the layout's own.
class BodyFlow {
public:
    struct Table {
        QString open; // "<table ...>"
        QString head; // "<thead>...</thead>", repeated where a page starts in the table
        int headRows = 0;
    };
    struct Item {
        QString html;
        int table = -1; // a row of that table; -1 for HTML between tables
        int frames = 0; // top-level tables within HTML between tables
    };

    static BodyFlow split(const QString &html);

    const QList<Table> &tables() const { return m_tables; }
    const QList<Item> &items() const { return m_items; }
    // The items [first, last) as a document: a table cut by `first` is
    // opened again with its head, one cut by `last` is closed.
    QString html(qsizetype first, qsizetype last) const;

private:
    void addHtml(const QString &html, int frames);

    QList<Table> m_tables;
    QList<Item> m_items;
};
