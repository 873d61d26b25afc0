// TInternatSettings: the regional settings an administrator may override in
// section [INTERNAT] of the module's INI file (separators, the short date
// format and the long time format), read like every other settings object
// and then applied to the process-wide RegionalSettings().
#pragma once

#include <string>

#include "settings/published.h"

namespace tessaro {

class TInternatSettings : public TPublished<TInternatSettings> {
 public:
  // Every value starts as the current RegionalSettings() holds it, so that a
  // key the INI file does not name keeps the current setting.
  TInternatSettings();

  static void DeclareProperties(TPropertyDeclarations<TInternatSettings>& p);

  // Puts the values into RegionalSettings(). A separator given as decimal
  // digits is the character of that code (modulo 256), any other text its
  // first character; an empty value keeps the current separator. A code 0
  // (no character) keeps the decimal, date and time separators, which
  // numbers and dates cannot do without; for the thousands separator it
  // means no grouping. Empty formats keep the current ones.
  void Apply() const;

  std::string date_format;         // short date format
  std::string date_separator;      // date separator
  std::string decimal_separator;   // decimal separator
  std::string thousand_separator;  // thousands separator
  std::string time_format;         // long time format
  std::string time_separator;      // time separator
};

}  // namespace tessaro
