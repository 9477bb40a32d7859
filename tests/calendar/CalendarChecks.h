#pragma once

#include "Fakes.h"
#include "calendar/MonthSheet.h"

// A prompt as "title: text", so that one check holds both.
inline QString lastShown(const ScriptedPrompts &prompts) {
    return prompts.messages.isEmpty()
               ? QString()
               : prompts.lastMessage().title + QStringLiteral(": ") + prompts.lastMessage().text;
}

// The cell a day of the sheet's month is drawn in; -1 when none.
inline int cellOfDay(const MonthSheet &sheet, int day) {
    for (int i = 0; i < MonthSheet::CellCount; ++i) {
        if (sheet.dayOfCell(i) == day)
            return i;
    }
    return -1;
}
