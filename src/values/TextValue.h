#pragma once

#include <QString>

// The numeric value of a text the program wrote itself (a stored value shown
// in a box, a list entry, a value passed between routines): leading blanks
// are skipped, then an optional sign, digits and one decimal point; reading
// stops at the first other character ("12abc" is 12, "abc" is 0). What an
// operator types is read by TypedNumber, which takes the whole text or
// refuses it.
double numericValue(const QString &text);
// The same, cut to a whole number (for years, levels, room numbers).
int integerValue(const QString &text);
// At most `length` UTF-16 units of the text, cut where a character ends, so
// that an emoji or a letter with its accent is never parted (text columns
// have a size).
QString cutToLength(const QString &text, qsizetype length);
// A text as a message names it: trimmed, and past `length` units cut where a
// character ends and closed with an ellipsis ("Harper Anniversary Din…"), so
// that a title of pages cannot bury the rest of the message.
QString shortened(const QString &text, qsizetype length = 60);
// Characters as a reader counts them (and a text column's size): an emoji
// is one, though it takes two UTF-16 units.
qsizetype characterCount(const QString &text);
