// Date and time text from databases.
//
// Drivers convert their date and time columns to text in the ISO form, and
// SQLite, which has no date type, hands over whatever text or number the
// column holds. Reading that text here, rather than asking each driver for
// its binary date structures, gives one strict reader for every database:
// it never reads past the text, and a value that is no date fails instead
// of turning into some other date.
#include "db/sql_datetime.h"

#include <cmath>
#include <cstdint>

#include "db/field_value.h"
#include "util/number_format.h"
#include "util/text.h"

namespace tessaro {
namespace {

// Julian day number of 30 December 1899, 0:00, the TDateTime epoch.
constexpr double kJulianDayOfEpoch = 2415018.5;

// Reads exactly `digits` digits (at least `digits` when `more` is true).
bool ReadNumber(std::string_view text, size_t& pos, size_t digits, bool more, int& out) {
  size_t count = 0;
  int64_t value = 0;
  while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9' && (more || count < digits)) {
    if (count >= 9) return false;
    value = value * 10 + (text[pos] - '0');
    ++pos;
    ++count;
  }
  if (count < digits) return false;
  out = static_cast<int>(value);
  return true;
}

bool ReadChar(std::string_view text, size_t& pos, char c) {
  if (pos >= text.size() || text[pos] != c) return false;
  ++pos;
  return true;
}

bool ReadDate(std::string_view text, size_t& pos, TDateTime& out) {
  int year, month, day;
  return ReadNumber(text, pos, 4, false, year) && ReadChar(text, pos, '-') && ReadNumber(text, pos, 2, false, month) &&
         ReadChar(text, pos, '-') && ReadNumber(text, pos, 2, false, day) && TryEncodeDate(year, month, day, out);
}

// "hh:mm[:ss[.fraction]]"; the fraction counts to milliseconds.
bool ReadTime(std::string_view text, size_t& pos, TDateTime& out) {
  int hour, minute, second = 0, millisecond = 0;
  if (!ReadNumber(text, pos, 2, false, hour) || !ReadChar(text, pos, ':') || !ReadNumber(text, pos, 2, false, minute))
    return false;
  if (ReadChar(text, pos, ':')) {
    if (!ReadNumber(text, pos, 2, false, second)) return false;
    if (ReadChar(text, pos, '.')) {
      int scale = 100;
      size_t digits = 0;
      for (; pos < text.size() && text[pos] >= '0' && text[pos] <= '9'; ++pos, ++digits) {
        millisecond += (text[pos] - '0') * scale;
        scale /= 10;
      }
      if (digits == 0) return false;
    }
  }
  return TryEncodeTime(hour, minute, second, millisecond, out);
}

// A zone after the time: blanks, then "Z" or a sign with "hh", "hh:mm" or "hhmm".
bool ReadZone(std::string_view text, size_t& pos) {
  while (pos < text.size() && text[pos] == ' ') ++pos;
  if (pos == text.size()) return true;
  if (text[pos] == 'Z' || text[pos] == 'z') return ++pos == text.size();
  if (text[pos] != '+' && text[pos] != '-') return false;
  ++pos;
  int hours, minutes;
  if (!ReadNumber(text, pos, 2, false, hours)) return false;
  if (ReadChar(text, pos, ':') || (pos < text.size() && text[pos] >= '0' && text[pos] <= '9'))
    if (!ReadNumber(text, pos, 2, false, minutes)) return false;
  return pos == text.size();
}

// A Julian day number: continuous days, so a day before the epoch is
// turned into the TDateTime form (the day, minus the time of day).
bool ReadJulianDay(std::string_view text, TDateTime& out) {
  double julian;
  if (text.empty() || !TryStrToFloat(text, julian, PointFormatSettings()) || !std::isfinite(julian)) return false;
  const double days = julian - kJulianDayOfEpoch;
  const double day = std::floor(days);
  const TDateTime value = day >= 0 ? days : day - (days - day);
  int year, month, date;
  DecodeDate(value, year, month, date);
  if (year == 0) return false;
  out = value;
  return true;
}

}  // namespace

bool ParseSqlDateTime(std::string_view text, bool timeOfDay, TDateTime& out) {
  const std::string trimmed = Trim(text);
  const std::string_view s = trimmed;
  TDateTime date = 0, time = 0;
  if (SameText(s, "infinity") || SameText(s, "-infinity")) {
    if (s[0] == '-') {
      date = EncodeDate(1, 1, 1);
    } else {
      date = EncodeDate(9999, 12, 31);
      time = EncodeTime(23, 59, 59, 999);
    }
  } else {
    size_t pos = 0;
    const bool has_date = ReadDate(s, pos, date);
    if (!has_date) {
      pos = 0;
      if (!ReadTime(s, pos, time)) {
        if (!ReadJulianDay(s, date)) return false;
        out = timeOfDay ? std::fabs(date - std::trunc(date)) : date;
        return true;
      }
    } else if (pos < s.size() && (s[pos] == ' ' || s[pos] == 'T')) {
      ++pos;
      if (!ReadTime(s, pos, time)) return false;
    }
    if (!ReadZone(s, pos)) return false;
  }
  if (timeOfDay) {
    out = time;
  } else {
    out = date >= 0 ? date + time : date - time;
  }
  return true;
}

}  // namespace tessaro
