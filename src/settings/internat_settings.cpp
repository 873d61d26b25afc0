// The [INTERNAT] settings: reading the process's current regional settings
// into text properties and putting the administrator's values back.
//
// Separators are single characters, but an INI value is trimmed and an empty
// one reads as the default, so a blank or a no-break space could not be given
// as itself; a value of decimal digits therefore names the character by its
// code (decimal_separator=44 is the comma, thousand_separator=32 a blank).
#include "settings/internat_settings.h"

#include <string_view>

#include "util/regional_settings.h"

namespace tessaro {
namespace {

// A separator as text; the code 0 ("none") is the empty text.
std::string SeparatorText(char separator) { return separator == 0 ? std::string() : std::string(1, separator); }

bool IsDecimalDigits(std::string_view text) {
  if (text.empty()) return false;
  for (char c : text)
    if (c < '0' || c > '9') return false;
  return true;
}

// The character `value` names; false for an empty value, which names none.
// Digits are reduced modulo 256 as they are read, so any length is safe.
bool SeparatorOf(std::string_view value, char& out) {
  if (value.empty()) return false;
  if (!IsDecimalDigits(value)) {
    out = value.front();
    return true;
  }
  unsigned code = 0;
  for (char c : value) code = (code * 10 + static_cast<unsigned>(c - '0')) % 256;
  out = static_cast<char>(static_cast<unsigned char>(code));
  return true;
}

void ApplySeparator(std::string_view value, char& separator, bool may_be_none) {
  char c;
  if (SeparatorOf(value, c) && (c != 0 || may_be_none)) separator = c;
}

}  // namespace

TInternatSettings::TInternatSettings() {
  const TFormatSettings& fs = RegionalSettings();
  date_format = fs.ShortDateFormat;
  date_separator = SeparatorText(fs.DateSeparator);
  decimal_separator = SeparatorText(fs.DecimalSeparator);
  thousand_separator = SeparatorText(fs.ThousandSeparator);
  time_format = fs.LongTimeFormat;
  time_separator = SeparatorText(fs.TimeSeparator);
}

// No declared defaults: the values at construction depend on the process's
// settings at that moment.
void TInternatSettings::DeclareProperties(TPropertyDeclarations<TInternatSettings>& p) {
  using T = TInternatSettings;
  p.String("date_format", &T::date_format)
      .String("date_separator", &T::date_separator)
      .String("decimal_separator", &T::decimal_separator)
      .String("thousand_separator", &T::thousand_separator)
      .String("time_format", &T::time_format)
      .String("time_separator", &T::time_separator);
}

void TInternatSettings::Apply() const {
  TFormatSettings& fs = RegionalSettings();
  ApplySeparator(date_separator, fs.DateSeparator, false);
  ApplySeparator(decimal_separator, fs.DecimalSeparator, false);
  ApplySeparator(thousand_separator, fs.ThousandSeparator, true);
  ApplySeparator(time_separator, fs.TimeSeparator, false);
  if (!date_format.empty()) fs.ShortDateFormat = date_format;
  if (!time_format.empty()) fs.LongTimeFormat = time_format;
}

}  // namespace tessaro
