// The Czech regional defaults and the process-wide settings object. The names
// are written readably in UTF-8; the compiler converts them to windows-1250.
#include "util/regional_settings.h"

#include "util/codepage.h"

namespace tessaro {
namespace {

constexpr auto kLongMonths = Cp1250Texts({"leden", "únor", "březen", "duben", "květen", "červen", "červenec", "srpen",
                                          "září", "říjen", "listopad", "prosinec"});
constexpr auto kShortMonths =
    Cp1250Texts({"led", "úno", "bře", "dub", "kvě", "čvn", "čvc", "srp", "zář", "říj", "lis", "pro"});
constexpr auto kLongDays = Cp1250Texts({"neděle", "pondělí", "úterý", "středa", "čtvrtek", "pátek", "sobota"});
constexpr auto kShortDays = Cp1250Texts({"ne", "po", "út", "st", "čt", "pá", "so"});
constexpr auto kCurrency = Cp1250Texts({"Kč"});

}  // namespace

TFormatSettings CzechFormatSettings() {
  TFormatSettings fs;
  fs.CurrencyString = kCurrency[0];
  fs.CurrencyFormat = 3;
  fs.NegCurrFormat = 8;
  fs.ThousandSeparator = '\xA0';
  fs.DecimalSeparator = ',';
  fs.CurrencyDecimals = 2;
  fs.DateSeparator = '.';
  fs.TimeSeparator = ':';
  fs.ShortDateFormat = "d.M.yyyy";
  fs.LongDateFormat = "d. mmmm yyyy";
  fs.TimeAMString = "dop.";
  fs.TimePMString = "odp.";
  fs.ShortTimeFormat = "h:nn";
  fs.LongTimeFormat = "h:nn:ss";
  for (int i = 0; i < 12; ++i) {
    fs.ShortMonthNames[i] = kShortMonths[i];
    fs.LongMonthNames[i] = kLongMonths[i];
  }
  for (int i = 0; i < 7; ++i) {
    fs.ShortDayNames[i] = kShortDays[i];
    fs.LongDayNames[i] = kLongDays[i];
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
