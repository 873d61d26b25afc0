// Date-time values as text and back, by the regional settings.
//
// Pattern letters (case-insensitive; a run of the same character is one token):
//   d, dd        day of the month, dd with a leading zero
//   ddd, dddd    short, long day name
//   ddddd        the short date pattern, dddddd the long date pattern
//   m, mm        month (directly after an hour token they mean minutes)
//   mmm, mmmm    short, long month name
//   yy, yyyy     year with two or four digits (y, yyy likewise)
//   h, hh        hour; 12-hour when an "am/pm", "a/p" or "ampm" token follows
//                or came earlier in the same pattern
//   n, nn        minutes;  s, ss seconds;  z, zzz milliseconds
//   t, tt        the short, long time pattern
//   c            the short date pattern, then a blank and the long time pattern
//                unless hour, minute and second are all zero
//   am/pm, a/p   "am"/"pm", "a"/"p" in the letter case the pattern uses
//   ampm         TimeAMString or TimePMString
//   / and :      the date and time separators
//   "x" or 'x'   text copied as it is; every other character is copied too.
// A pattern named inside a pattern (ddddd, t, c ...) is expanded one level
// deep only, so a short date pattern that names itself cannot loop.
#pragma once

#include <string>
#include <string_view>

#include "util/datetime.h"
#include "util/regional_settings.h"

namespace tessaro {

// `value` as text by `pattern`; an empty pattern means "c".
std::string FormatDateTime(std::string_view pattern, TDateTime value, const TFormatSettings& fs = RegionalSettings());

// Short date, then a blank and the long time unless the time of day is
// midnight to the second (the pattern "c").
std::string DateTimeToStr(TDateTime value, const TFormatSettings& fs = RegionalSettings());
// The short date pattern alone; the long time pattern alone.
std::string DateToStr(TDateTime value, const TFormatSettings& fs = RegionalSettings());
std::string TimeToStr(TDateTime value, const TFormatSettings& fs = RegionalSettings());

// Text to date: one, two or three numbers joined by the date separator, read in
// the order of day, month and year in the short date pattern. An omitted year
// is the current year; a year of one or two digits falls into the 100 years
// that start TwoDigitYearCenturyWindow years before the current year (a window
// of 0 puts it in the current century). Blanks around the numbers and one
// trailing separator ("1. 2. 2024.") are allowed. false, `out` untouched, for
// anything else or a date that does not exist.
bool TryStrToDate(std::string_view text, TDateTime& out, const TFormatSettings& fs = RegionalSettings());

// Text to time of day: hours, optionally ":" minutes, ":" seconds and the
// decimal separator with a fraction of a second, by the time separator; an
// AM/PM marker (TimeAMString/TimePMString or "AM"/"PM", any case) before or
// after makes it a 12-hour time (hour 1..12).
bool TryStrToTime(std::string_view text, TDateTime& out, const TFormatSettings& fs = RegionalSettings());

// A date optionally followed by a time of day, or a time of day alone.
bool TryStrToDateTime(std::string_view text, TDateTime& out, const TFormatSettings& fs = RegionalSettings());

}  // namespace tessaro
