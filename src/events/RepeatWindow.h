#pragma once

#include "RepeatPreview.h"
#include "RepeatRule.h"
#include "session/ClubSettings.h"

#include <QDate>
#include <QObject>
#include <QTimer>
#include <array>
#include <memory>

class EventEditor;
class EventRecord;
class Module;

// "Repeat...": copies of the main window's saved event on the dates a rule
// gives. As the operator changes the rule, the window works out each date's
// outcome (free, or what stands in the way) before anything is saved. Save
// Free Dates then saves a copy on every date that can take one, each through
// the event's own save in a transaction of its own, as one series with the
// original; afterwards the main window shows the original again.
class RepeatWindow : public QObject {
    Q_OBJECT

public:
    enum class Ending { Count, Until };
    // One date of the preview as the table shows it.
    struct Row {
        QString date;    // "Wed 03/10/2027", as the club writes dates
        QString outcome; // "Free", or what stands in the way
        int foreground = PlainText;
        int background = PlainBackground;
    };
    static constexpr int PlainText = 0x000000;
    static constexpr int PlainBackground = 0xFFFFFF;
    // A date that cannot be saved; a caution has the order window's amber.
    static constexpr int RefusedText = 0x9C0006;
    static constexpr int RefusedBackground = 0xFFD7D7;
    // Typing waits this long for the next key before the preview is worked
    // out again.
    static constexpr int PreviewDelayMs = 300;

    RepeatWindow(Module &module, EventRecord &events, EventEditor &editor,
                 QObject *parent = nullptr);
    ~RepeatWindow() override;

    // Why the main window's event cannot be repeated or its series changed
    // now ("Recall the original reservation first, then <doing> it."); empty
    // when it can.
    static QString refusalFor(Module &module, const QString &doing);
    // "Wed 03/10/2027": the weekday and the date as the club writes it.
    static QString dateText(const ClubSettings &club, const QDate &date);

    // Opens on the main window's event; false, with the reason shown, when
    // there is no saved, unchanged event or the operator may not repeat it.
    bool open();
    void close();

    // The rule's entries. Choices are worked out at once, typing after
    // PreviewDelayMs.
    void chooseKind(RepeatRule::Kind chosen);
    void editEvery(const QString &typed);
    void setWeekday(int day, bool on); // Monday 1 ... Sunday 7
    void chooseEnding(Ending chosen);
    void editCount(const QString &typed);
    void editUntil(const QDate &date);
    // A date clicked on the calendar: picked, or no longer when it was.
    void pickDate(const QDate &date);
    // The rule's dates and their outcomes worked out now.
    void recompute();
    // Saves a copy on each date that can take one, asking first when some
    // cannot; true when any copy was saved.
    bool saveFreeDates();

    // What the window shows.
    bool visible = false;
    int eventNumber = 0;
    QDate originalDate;   // the calendar opens on its month
    QString caption;      // "Repeat - #24 Sullivan-Park Reception"
    QString eventSummary; // the original's date, times and room
    RepeatRule::Kind kind = RepeatRule::Kind::Weeks;
    QString everyText;
    QString everyUnit;              // "weeks"
    std::array<bool, 7> weekdays{}; // Monday first
    QString monthlyDateCaption;     // "Monthly on the same date (the 3rd)"
    QString monthlyWeekdayCaption;  // "... weekday of the month (the first Wednesday)"
    Ending ending = Ending::Count;
    QString countText;
    QDate until;
    QString untilFormat; // the club's short date format, for the until box
    QList<QDate> picked;
    QStringList pickedTexts;
    QList<Row> rows;
    QString notice;  // the months passed over, or why the rule gives no date
    QString summary; // "8 of 10 dates are free; 2 cannot be saved."
    bool saveEnabled = false;
    QString statusText; // what the last save made
    QTimer previewTimer;

    // The entries the chosen kind of rule uses; the others are disabled.
    bool everyUsed() const { return kind != RepeatRule::Kind::Picked; }
    bool weekdaysUsed() const { return kind == RepeatRule::Kind::Weeks; }
    bool pickingUsed() const { return kind == RepeatRule::Kind::Picked; }

signals:
    void changed();
    // The main window shows the original again, with its package.
    void eventChanged();
    void calendarChanged();

private:
    RepeatRule rule() const;
    void ruleChanged(bool typed);
    void showOutcomes();
    // Each date's outcome read from storage; false when it could not be
    // (the operator was told).
    bool readOutcomes(const QList<QDate> &dates, QList<RepeatOutcome> &found);
    QString savedReport(const QList<QDate> &dates, const QList<int> &numbers,
                        const QList<RepeatOutcome> &refused) const;
    void refuse(const QString &text);

    Module &m_module;
    EventRecord &m_events;
    EventEditor &m_editor;
    // Saves the copies, so that the main window's record announces only
    // the original shown again, not each copy.
    std::unique_ptr<EventRecord> m_copies;
    ClubSettings m_club;
    QString m_dayOfMonth;     // "31st"
    QString m_weekdayOfMonth; // "fifth Friday"
    SlotBooking::SlotRequest m_booking;
    QString m_roomName;
    QList<RepeatOutcome> m_outcomes;
};
