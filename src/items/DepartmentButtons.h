#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <array>
#include <utility>

class Databases;
class Messages;
class OperatorSession;

// One of the items window's department buttons cmddept(0..15).
struct DepartmentButton {
    QString caption; // what the operator sees; empty when the button is not used
    QString tag;     // the inventory department code whose items a click shows
    bool visible = true;
};

// The items window's sixteen department buttons and the panel that sets them
// up, fraconfigbuttons. The buttons live in the club's "evnt.dat", one line
// "caption,tag" per button, shared by every workstation: a save replaces
// its own button's line under the file's lock and keeps the other fifteen
// as the file holds them, so workstations configuring at once keep each
// other's buttons.
class DepartmentButtons : public QObject {
    Q_OBJECT

public:
    static constexpr int ButtonCount = 16;
    static constexpr int TagLength = 5;

    // The club directory holds the buttons' file; the session's access
    // level decides who may set them up.
    DepartmentButtons(const Databases &databases, Messages &messages,
                      const OperatorSession &session, QObject *parent = nullptr);

    QString filePath() const;

    // The items window opens: no button is selected; "evnt.dat" is created
    // from the buttons as they stand when missing, read otherwise.
    void windowOpened();
    // Reads "evnt.dat" into the buttons. A file that cannot be read is no
    // error: a missing, short or damaged one leaves the buttons it lacks as
    // they were.
    void LoadButtons();
    // The menu command "Configure Dept Buttons": opens the panel with every
    // button shown, used or not. False (and nothing) below evaccess2.
    bool openPanel();
    // A click on cmddept(button): selects it for the open panel; with the
    // panel closed it announces showDepartment.
    void chooseButton(int button);
    // The operator typed in a box.
    void editCaption(const QString &text);
    void editTag(const QString &text);
    // The club names its inventory departments only on these buttons: each
    // department code a used button shows, with the caption of the first
    // such button, in button order.
    QList<std::pair<QString, QString>> departmentNames() const;
    // What the operator sees for a department code: its name, or the code
    // when no button names it.
    QString departmentName(const QString &code) const;
    // Save Settings: true when the selected button's line was written.
    bool saveSettings();
    // Done/Exit: offers to save typed changes, closes the panel and reads the
    // buttons again, so what was not saved is gone.
    void closePanel();

    // What the window shows.
    std::array<DepartmentButton, ButtonCount> departmentButtons;
    bool visible = false; // the panel
    QString captionText;
    QString tagText;
    DepartmentButton sample; // the preview of the button being set up
    int selectedButton = -1;
    bool unsavedChanges = false; // typed since the last save

    const QString menuCaption = QStringLiteral("Configure Dept Buttons");
    const QString panelCaption = QStringLiteral("Configure Department Buttons");
    const QString captionLabel = QStringLiteral("Button Caption");
    const QString tagLabel = QStringLiteral("Inventory Department");
    const QString saveCaption = QStringLiteral("Save Settings");
    const QString doneCaption = QStringLiteral("Done/Exit");
    const QString directions =
        QStringLiteral("Directions: 1-Select a department button, 2-Type the button's caption, "
                       "3-Type the inventory department code (5-char max), 4-Click Save "
                       "Settings. Click Done when finished.");

signals:
    void changed();
    // A department button clicked while the panel is closed: the items window
    // lists that department's items.
    void showDepartment(const QString &tag, const QString &caption);

private:
    // Reads the file into the buttons without announcing it.
    void readButtonFile();
    // Writes the file from the buttons as they stand, or reads it when
    // another workstation made it meanwhile.
    void CreateButtonFile();
    bool writeSelectedLine(const DepartmentButton &saved);
    void edited(QString &box, QString &sampleText, const QString &text);
    void oops(const QString &text);
    void reportWriteFailure();

    const Databases &m_databases;
    Messages &m_messages;
    const OperatorSession &m_session;
};
