// Dates and times as databases write them in text.
#pragma once

#include <string_view>

#include "util/datetime.h"

namespace tessaro {

// Reads a date, a time of day, or both, written the ISO way: "2024-01-31",
// "13:45", "13:45:10.25", "2024-01-31 13:45:10" ("T" in place of the blank
// too); a time zone after the time ("Z", "+01:00", " -05") is ignored, the
// value stays the wall time written. Also reads a plain number as a Julian
// day (SQLite's numeric dates) and PostgreSQL's "infinity" and "-infinity"
// as the last and first instants a TDateTime holds. With `timeOfDay` only
// the time of day is kept. false, `out` untouched, for anything else or a
// date or time that does not exist.
bool ParseSqlDateTime(std::string_view text, bool timeOfDay, TDateTime& out);

}  // namespace tessaro
