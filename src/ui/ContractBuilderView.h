#pragma once

#include "contracts/ContractBuilder.h"

#include <QMainWindow>
#include <array>

class QAction;
class QComboBox;
class QLabel;
class QLayout;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;

// frmbanq2, the contract builder: the contract chooser, the component
// files beside the contract's components, and the merged contract below.
// Kept above the main window while it is open.
class ContractBuilderView final : public QMainWindow {
    Q_OBJECT

public:
    ContractBuilderView(ContractBuilder &logic, QWidget *parent);

    // Opens for the current event (the main window's "Contract Builder").
    void showForCurrentEvent();

public slots:
    void refresh();

signals:
    // The window has closed: the main window comes back.
    void closed();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    QLayout *buildContractRow(QWidget *parent);
    QWidget *buildLists(QWidget *parent);
    QWidget *buildViewer(QWidget *parent);
    QLayout *buildExitRow(QWidget *parent);
    void buildMenus();
    void connectControls();
    static void fillList(QListWidget *list, const QStringList &entries, int current);

    ContractBuilder &m_logic;
    QComboBox *m_contracts = nullptr;
    QListWidget *m_componentFiles = nullptr;
    QListWidget *m_components = nullptr;
    QPlainTextEdit *m_viewer = nullptr;
    std::array<QPushButton *, ContractBuilder::MoveCount> m_moveButtons{};
    QLineEdit *m_eventNumber = nullptr;
    QLineEdit *m_eventName = nullptr;
    QLabel *m_status = nullptr;
    QAction *m_allTextFiles = nullptr;
    bool m_refreshing = false;
    bool m_onTop = false;
};
