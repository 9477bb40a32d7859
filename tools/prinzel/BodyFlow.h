#pragma once

#include <QList>
#include <QString>

// The body's HTML cut where a page may break: between the rows of its
// top-level tables, and around what lies between those tables. Data values
// reach the HTML escaped, so every tag found here is the layout's own.
//
// A row of class "group" heads the rows under it, up to the next heading
// or the end of the table, or the rows of class "total" that end its
// group. A page starting within the group repeats the heading, marked
// "(continued)"; so does a heading row within the table's head. A page
// never ends with a heading, and never starts with a total row: it stays
// with the row above it.
class BodyFlow {
public:
    struct Table {
        QString open;          // "<table ...>"
        QString head;          // "<thead>...</thead>", repeated where a page starts in the table
        QString continuedHead; // the head as repeated, its headings marked "(continued)"
        int headRows = 0;
    };
    enum class Role { Other, Heading, Total };
    struct Item {
        QString html;
        int table = -1; // a row of that table; -1 for HTML between tables
        int frames = 0; // top-level tables within HTML between tables
        Role role = Role::Other;
        qsizetype heading = -1; // the heading of the group the row lies in
    };

    static BodyFlow split(const QString &html);

    const QList<Table> &tables() const { return m_tables; }
    const QList<Item> &items() const { return m_items; }
    // The items [first, last) as a document: a table cut by `first` is
    // opened again with its head (unless `repeatHead` is false), one cut by
    // `last` is closed.
    QString html(qsizetype first, qsizetype last, bool repeatHead = true) const;
    // Whether a table is cut by `at`, so that a page starting there repeats
    // its head and the heading of its group.
    bool continuesTable(qsizetype at) const;
    // Whether a page may start at item `at`: not after a heading, nor at a
    // total row.
    bool breaksBefore(qsizetype at) const;
    // The heading a page starting at item `at` repeats as its first row
    // after the table's head; -1 for none.
    qsizetype continuedHeading(qsizetype at) const;

private:
    void addHtml(const QString &html, int frames);
    // The rows of the table added last, with their parts in groups.
    void addRows(const QStringList &rows);
    // The table of item `at` opened there: with its head, and where the
    // table goes on from the page before, the heading of the group.
    QString opening(qsizetype at, bool repeatHead) const;

    QList<Table> m_tables;
    QList<Item> m_items;
};
