// What a date or time request asks for, read from the links of its parse.
// Portable: it needs only the links, so the phrasing table runs it natively.
#pragma once

#include "request_reading.h"

// Index in the object list of the word the request asks about: 0 "time",
// 1 "clock", 2 "date", 3 "day", 4 "month", 5 "calendar"; -1 when no "O" link
// joins a verb of the list ("show", "what", "see") to an object of the list.
int FindTimeObject(const std::vector<WordLinkage>* links);

// Objects from "date" on get the date answer; the others the time.
inline bool IsDateObject(int object) { return object >= 2; }

// The action rows, all naming the export "Horolux": the module's table and the
// reader's are expanded from this one list.
#define HOROLUX_ACTION_ROWS(ROW) ROW("show", "O") ROW("see", "Op") ROW("what", "O")

extern const PluginRequestReader kHoroluxReader;
