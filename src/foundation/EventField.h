#pragma once

#include <array>

// The event's fields, in the column order of eventinfo. The event window's
// boxes follow the same order: box n edits field n.
enum class EventField {
    Date,
    Title,
    Number,
    Start,
    End,
    Status,
    Guests, // "Set for"
    Guarantee,
    Room,
    Member,
    Account,
    BillingName,
    BillingAddress1,
    BillingAddress2,
    BillingCity,
    BillingState,
    BillingZip,
    BillingPhone1,
    BillingPhone2,
    BillingFax,
    BillingEmail,
    ContactName,
    ContactAddress1,
    ContactAddress2,
    ContactCity,
    ContactState,
    ContactZip,
    ContactPhone1,
    ContactPhone2,
    ContactFax,
    ContactEmail,
    Deposit,
    BookedBy,
    Created,
    Notes,
    InternalNotes,
};

inline constexpr int EventFieldCount = static_cast<int>(EventField::InternalNotes) + 1;
// Room for every column a club's eventinfo table may have: the fields above
// and whatever columns the club added after them.
inline constexpr int EventColumnLimit = 101;

// The field's column in eventinfo, which is also its box in the event window.
constexpr int columnOf(EventField field) {
    return static_cast<int>(field);
}
constexpr bool isEventField(int column) {
    return column >= 0 && column < EventFieldCount;
}
constexpr EventField eventFieldAt(int column) {
    return static_cast<EventField>(column);
}

// Every field in column order, for work on the whole event.
inline constexpr std::array<EventField, EventFieldCount> AllEventFields = [] {
    std::array<EventField, EventFieldCount> fields{};
    for (int column = 0; column < EventFieldCount; ++column)
        fields[column] = eventFieldAt(column);
    return fields;
}();

// The fields from `first` to `last`, both included, in column order.
constexpr auto eventFieldsFrom(EventField first, EventField last) {
    struct Range {
        const EventField *from;
        const EventField *to;
        const EventField *begin() const { return from; }
        const EventField *end() const { return to; }
    };
    return Range{AllEventFields.data() + columnOf(first),
                 AllEventFields.data() + columnOf(last) + 1};
}

// A value for each field of the event, looked up by field, and room for
// `Size - EventFieldCount` more after them.
template <typename T, int Size> class EventValues {
public:
    T &operator[](EventField field) { return m_values[columnOf(field)]; }
    const T &operator[](EventField field) const { return m_values[columnOf(field)]; }
    void fill(const T &value) { m_values.fill(value); }
    auto begin() { return m_values.begin(); }
    auto end() { return m_values.end(); }
    auto begin() const { return m_values.begin(); }
    auto end() const { return m_values.end(); }
    bool operator==(const EventValues &) const = default;

protected:
    std::array<T, Size> m_values{};
};

// One value for each field of the event.
template <typename T> using PerEventField = EventValues<T, EventFieldCount>;

// One value for each column of the club's eventinfo table: the event's
// fields, looked up by field, and the club's own columns after them, by
// column number.
template <typename T> class PerEventColumn : public EventValues<T, EventColumnLimit> {
public:
    using EventValues<T, EventColumnLimit>::operator[];
    T &operator[](int column) { return this->m_values[column]; }
    const T &operator[](int column) const { return this->m_values[column]; }
};
