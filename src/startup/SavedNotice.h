#pragma once

// The "Event Data Saved" notice: it closes itself on the seventh tick of its
// 100 ms timer. Each save makes a fresh notice.
class SavedNotice {
public:
    static constexpr int TickMs = 100;
    static constexpr auto Text = "Event Data Saved";

    // One timer tick; true when the notice is to close now.
    bool tick() { return ++m_ticks > 6; }
    int ticks() const { return m_ticks; }

private:
    int m_ticks = 0;
};
