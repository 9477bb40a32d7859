#pragma once

#include <QStringList>
#include <QTimer>
#include <QWidget>

class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

// The look-up window: a search box, a result table, "Select" and "Close".
// Selecting a row (button, double-click or Enter) hands the choice over and
// closes the window.
class SiftWindow : public QWidget {
    Q_OBJECT

public:
    // Searches for the text in the box at once instead of after the typing pause.
    void search();

protected:
    struct Row {
        QStringList cells;
        bool dimmed = false; // shown greyed: terminated or inactive
    };
    struct Page {
        QList<Row> rows;
        bool more = false;
        QString error; // shown instead of rows
    };

    SiftWindow(const QString &name, const QString &title, const QStringList &headers,
               QWidget *parent);

    virtual Page find(const QString &text) = 0;
    virtual void choose(int row) = 0;

private:
    void showPage(const Page &page);
    void chooseCurrent();
    void updateSelect();

    QLineEdit *m_search;
    QTableWidget *m_table;
    QLabel *m_message;
    QPushButton *m_select;
    QTimer m_typingPause;
};
