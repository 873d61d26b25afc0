// The Czech regional defaults and the process-wide settings object. The names
// are written readably in UTF-8 and converted to windows-1250 once, when the
// defaults are first built.
#include "util/regional_settings.h"

#include "util/codepage.h"

namespace tessaro {
namespace {

constexpr const char* kLongMonths[12] = {"leden",    "únor",  "březen", "duben", "květen",   "červen",
                                         "červenec", "srpen", "září",   "říjen", "listopad", "prosinec"};
constexpr const char* kShortMonths[12] = {"led", "úno", "bře", "dub", "kvě", "čvn",
                                          "čvc", "srp", "zář", "říj", "lis", "pro"};
constexpr const char* kLongDays[7] = {"neděle", "pondělí", "úterý", "středa", "čtvrtek", "pátek", "sobota"};
constexpr const char* kShortDays[7] = {"ne", "po", "út", "st", "čt", "pá", "so"};

}  // namespace

TFormatSettings CzechFormatSettings() {
  TFormatSettings fs;
  fs.CurrencyString = Cp1250("Kč");
  fs.CurrencyFormat = 3;
  fs.NegCurrFormat = 8;
  fs.ThousandSeparator = '\xA0';
  fs.DecimalSeparator = ',';
  fs.CurrencyDecimals = 2;
  fs.DateSeparator = '.';
  fs.TimeSeparator = ':';
  fs.ShortDateFormat = "d.m.yyyy";
  fs.LongDateFormat = "d. mmmm yyyy";
  fs.TimeAMString = "dop.";
  fs.TimePMString = "odp.";
  fs.ShortTimeFormat = "h:nn";
  fs.LongTimeFormat = "h:nn:ss";
  for (int i = 0; i < 12; ++i) {
    fs.ShortMonthNames[i] = Cp1250(kShortMonths[i]);
    fs.LongMonthNames[i] = Cp1250(kLongMonths[i]);
  }
  for (int i = 0; i < 7; ++i) {
    fs.ShortDayNames[i] = Cp1250(kShortDays[i]);
    fs.LongDayNames[i] = Cp1250(kLongDays[i]);
  }
  fs.TwoDigitYearCenturyWindow = 50;
  return fs;
}

const TFormatSettings& PrimaryLanguageSettings() {
  static const TFormatSettings settings = CzechFormatSettings();
  return settings;
}

TFormatSettings& RegionalSettings() {
  static TFormatSettings settings = PrimaryLanguageSettings();
  return settings;
}

void ResetRegionalSettings() { RegionalSettings() = PrimaryLanguageSettings(); }

}  // namespace tessaro
