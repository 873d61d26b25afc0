// The process's regional settings: separators, date and time patterns, month
// and day names, the two-digit-year window and the currency format.
//
// There is one process-wide settings object (RegionalSettings). It starts with
// the Czech defaults, the portal's language; the INI section [INTERNAT]
// overrides single fields. A second, fixed object (PrimaryLanguageSettings)
// keeps the Czech defaults for the places that format "with the locale defaults
// of the system's primary language" whatever [INTERNAT] says.
//
// All texts are windows-1250. Date and time patterns use the pattern letters of
// date_format.h (d, m, y, h, n, s, z, t, c ...), so minutes are "nn".
#pragma once

#include <string>

namespace tessaro {

struct TFormatSettings {
  std::string CurrencyString;  // "Kč"
  // Where the currency goes around a positive amount: 0 "Kč1", 1 "1Kč",
  // 2 "Kč 1", 3 "1 Kč".
  int CurrencyFormat = 0;
  // The pattern of a negative amount, 0..15: 0 "(Kč1)", 1 "-Kč1", 2 "Kč-1",
  // 3 "Kč1-", 4 "(1Kč)", 5 "-1Kč", 6 "1-Kč", 7 "1Kč-", 8 "-1 Kč", 9 "-Kč 1",
  // 10 "1 Kč-", 11 "Kč 1-", 12 "Kč -1", 13 "1- Kč", 14 "(Kč 1)", 15 "(1 Kč)".
  int NegCurrFormat = 0;
  // Separators; the character code 0 means "no separator" and writes nothing.
  char ThousandSeparator = 0;
  char DecimalSeparator = '.';
  int CurrencyDecimals = 2;
  char DateSeparator = '/';
  char TimeSeparator = ':';
  std::string ShortDateFormat;
  std::string LongDateFormat;
  std::string TimeAMString;
  std::string TimePMString;
  std::string ShortTimeFormat;
  std::string LongTimeFormat;
  std::string ShortMonthNames[12];  // [0] = January
  std::string LongMonthNames[12];
  std::string ShortDayNames[7];  // [0] = Sunday
  std::string LongDayNames[7];
  // Two-digit years are read into the 100 years that start this many years
  // before the current year.
  int TwoDigitYearCenturyWindow = 50;
};

// The Czech defaults: short date "d.M.yyyy", long date "d. mmmm yyyy", short
// time "h:nn", long time "h:nn:ss", separators "." ":" "," and the no-break
// space (0xA0), Czech month and day names, currency "Kč" written "1 Kč" and
// "-1 Kč" with 2 decimals.
TFormatSettings CzechFormatSettings();

// The process-wide settings object; initially the Czech defaults.
TFormatSettings& RegionalSettings();

// The Czech defaults, never changed.
const TFormatSettings& PrimaryLanguageSettings();

// Puts the Czech defaults back into RegionalSettings (for tests and for a
// fresh reading of [INTERNAT]).
void ResetRegionalSettings();

}  // namespace tessaro
