// Numbers and dates typed by visitors into parameter fields and filters.
//
// Both readers are lenient about how a visitor writes a value (blanks inside a
// number, either decimal separator, a date laid out by a pattern of the
// portal's definitions) and strict about the result: a value either reads
// completely or not at all. Neither ever throws on visitor input.
#pragma once

#include <string_view>

#include "util/datetime.h"
#include "util/regional_settings.h"

namespace tessaro {

struct ParsedNumber {
  bool Success = false;    // the text reads as a number
  bool IsInteger = false;  // it is an unsigned decimal that fits a 32-bit signed integer
  double Value = 0;        // the number (exact for the integers too)
};

// Reads a number typed by a visitor. Allowed characters are the digits, the
// blank, "+", ",", "-", ".", "E", "e" and fs's decimal separator; blanks are
// dropped (so "1 234,5" is 1234.5). Digits alone give an integer; anything
// else reads as a floating-point number with "." as the decimal separator,
// then with fs's, then with ",". An empty text fails.
ParsedNumber ParseNumber(std::string_view s, const TFormatSettings& fs = RegionalSettings());

// The two-digit year window of the process: ParseDateByFormat reads a
// two-digit year below it into the current century and any other into the
// previous one. It is RegionalSettings().TwoDigitYearCenturyWindow (50 unless
// [INTERNAT] says otherwise), so both date readers share one setting.
int TwoDigitYearWindow();

// Reads `text` laid out by `format` (both compared without letter case).
// Format tokens: D DD DDD DDDD (day; DDD and DDDD a day name, ignored),
// M MM MMM MMMM (month; MMM and MMMM a long month name of fs), YY YYYY (year),
// HH NN SS (hour, minute, second), ZZ ZZZ (millisecond), AP AM AMP AMPM (an
// AM/PM mark; 12 AM is midnight, 12 PM noon). A character other than
// A D H M N P S Y Z is a separator and skips one character of the text (never
// its last one); one of those letters that starts no token reads nothing. A
// token must start before the last character of the format. Parts not read
// stay at 1 January of year 1, 0:00. 0 when the parts do not form a valid date
// and time; never reads past the text and never throws.
TDateTime ParseDateByFormat(std::string_view format, std::string_view text,
                            const TFormatSettings& fs = RegionalSettings());

}  // namespace tessaro
