#pragma once

#include "values/EnumArray.h"

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
inline constexpr auto AllEventFields = enumValues<EventField, EventFieldCount>();

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

// One value for each field of the event.
template <typename T> using PerEventField = EnumArray<EventField, T, EventFieldCount>;

// One value for each column of the club's eventinfo table: the event's
// fields, looked up by field, and the club's own columns after them, by
// column number.
template <typename T> class PerEventColumn : public EnumArray<EventField, T, EventColumnLimit> {
public:
    using EnumArray<EventField, T, EventColumnLimit>::operator[];
    T &operator[](int column) { return this->m_values[column]; }
    const T &operator[](int column) const { return this->m_values[column]; }
};
