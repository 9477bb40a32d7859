#pragma once

#include "calendar/Rooms.h"
#include "session/ClubSettings.h"
#include "values/EnumArray.h"

#include <QObject>
#include <QStringList>
#include <memory>

class EventEditor;
class EventRecord;
class Module;

// The values "Change the Series" can give the later events of a series.
enum class SeriesValue { Start, End, Room, Title, Guests };
inline constexpr int SeriesValueCount = static_cast<int>(SeriesValue::Guests) + 1;
inline constexpr auto AllSeriesValues = enumValues<SeriesValue, SeriesValueCount>();

// "Change the Series...": a change of times, room, title or guests made to
// every event of the main window's event's series dated after it. Only the
// values ticked are changed; each event is changed through its own save,
// and those that are billed or cancelled, or whose save is refused, are
// named afterwards.
class SeriesChangeWindow : public QObject {
    Q_OBJECT

public:
    // A later event of the series as the list shows it.
    struct Later {
        QString number; // "#35"
        QString date;   // "Wed 01/13/2027"
        QString status; // the status list's name
    };

    SeriesChangeWindow(Module &module, EventRecord &events, EventEditor &editor,
                       QObject *parent = nullptr);
    ~SeriesChangeWindow() override;

    static QString valueLabel(SeriesValue value);

    // After the main window loaded or cleared an event: whether it is one
    // of a series, for the menu.
    void eventShown();
    // Opens on the main window's event; false, with the reason shown, when
    // it is not a saved event of a series.
    bool open();
    void close();

    // A value typed, or a room chosen (a row of roomEntries): ticked to be
    // changed as well.
    void editValue(SeriesValue value, const QString &text);
    void chooseRoom(int row);
    void setChanging(SeriesValue value, bool on);
    // Applies the ticked values to the later events, once they are checked
    // as the event window checks them; true when it ran.
    bool apply();

    bool inSeries = false;
    // What the window shows.
    bool visible = false;
    int eventNumber = 0;
    QString caption;  // "Change the Series - #24 Sullivan-Park Reception"
    QString ruleText; // the series' rule in words
    QList<Later> later;
    EnumArray<SeriesValue, QString, SeriesValueCount> values;
    EnumArray<SeriesValue, bool, SeriesValueCount> changing{};
    QStringList roomEntries;
    int roomRow = -1;
    QString statusText; // what the last change did and did not do

signals:
    void changed();
    // The main window's event became one of a series, or is no longer.
    void inSeriesChanged();
    void eventChanged();
    void calendarChanged();

private:
    bool loadSeries();
    // Why the ticked values cannot be applied; empty when they can.
    QString checkValues() const;
    void refuse(const QString &text);

    Module &m_module;
    EventRecord &m_events;
    EventEditor &m_editor;
    // Saves the later events, so that the main window's record announces
    // only its own event shown again.
    std::unique_ptr<EventRecord> m_later;
    ClubSettings m_club;
    QList<Room> m_rooms;
};
