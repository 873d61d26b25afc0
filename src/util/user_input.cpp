// Numbers and dates typed by visitors.
//
// ParseNumber filters the text to the characters a number may hold, drops the
// blanks a visitor uses to group digits, and then tries the readings in turn:
// a plain unsigned decimal (an integer), a decimal with ".", with the
// regional decimal separator, with ",". The first reading that takes the whole
// text wins.
//
// ParseDateByFormat walks the pattern and the text side by side. Both are
// upper-cased first (windows-1250 letters included, so Czech month names match
// whatever case the visitor typed). Each pattern token eats a fixed number of
// characters from the front of the text (DD two, YYYY four ...), except D and
// M, which eat up to the next separator, and DDDD and MMMM, which eat a whole
// name. Every other pattern character is a separator and skips one character
// of the text. The text is only ever shortened from its front, so no token can
// read beyond its end; a part that is not all digits counts as 0.
#include "util/user_input.h"

#include <algorithm>
#include <cstdint>
#include <string>

#include "util/number_format.h"
#include "util/quoting.h"
#include "util/text.h"

namespace tessaro {
namespace {

// ---------------------------------------------------------------- numbers

bool IsNumberChar(char c, char decimal_separator) {
  return (c >= '0' && c <= '9') || c == ' ' || c == '+' || c == ',' || c == '-' || c == '.' || c == 'E' || c == 'e' ||
         c == decimal_separator;
}

// ---------------------------------------------------------------- dates

enum class Part {
  kDayToSeparator,    // D
  kDay,               // DD
  kSkip3,             // DDD
  kDayName,           // DDDD
  kMonthToSeparator,  // M
  kMonth,             // MM
  kMonthAbbrev,       // MMM
  kMonthName,         // MMMM
  kYear2,             // YY
  kNothing,           // YYY
  kYear4,             // YYYY
  kHour,              // HH
  kMinute,            // NN
  kSecond,            // SS
  kMillisecond,       // ZZ, ZZZ
  kMark1,             // AP
  kMark2,             // AM, AMP, AMPM
};

struct Token {
  std::string_view text;
  Part part;
};

constexpr Token kTokens[] = {
    {"D", Part::kDayToSeparator},   {"DD", Part::kDay},      {"DDD", Part::kSkip3},       {"DDDD", Part::kDayName},
    {"M", Part::kMonthToSeparator}, {"MM", Part::kMonth},    {"MMM", Part::kMonthAbbrev}, {"MMMM", Part::kMonthName},
    {"YY", Part::kYear2},           {"YYY", Part::kNothing}, {"YYYY", Part::kYear4},      {"HH", Part::kHour},
    {"NN", Part::kMinute},          {"SS", Part::kSecond},   {"ZZ", Part::kMillisecond},  {"ZZZ", Part::kMillisecond},
    {"AP", Part::kMark1},           {"AM", Part::kMark2},    {"AMP", Part::kMark2},       {"AMPM", Part::kMark2},
};

constexpr std::string_view kTokenLetters = "ADHMNPSYZ";

// The longest token that `format` starts with, or nullptr.
const Token* LongestToken(std::string_view format) {
  const Token* best = nullptr;
  for (const Token& t : kTokens)
    if (format.starts_with(t.text) && (!best || t.text.size() > best->text.size())) best = &t;
  return best;
}

// A date part: all digits after trimming, else 0. Saturates far above any
// valid part, so a long run of digits cannot overflow.
int PartValue(std::string_view s) {
  std::string trimmed = Trim(s);
  if (trimmed.empty()) return 0;
  int value = 0;
  for (char c : trimmed) {
    if (c < '0' || c > '9') return 0;
    value = std::min(value * 10 + (c - '0'), 1000000);
  }
  return value;
}

enum class Mark { kNone, kAM, kPM };

struct DateParts {
  int year = 1, month = 1, day = 1;
  int hour = 0, minute = 0, second = 0, millisecond = 0;
  Mark mark = Mark::kNone;
};

// What is left of the upper-cased text; parts are taken from its front.
class Remainder {
 public:
  explicit Remainder(std::string_view text) : rest_(text) {}
  std::string_view rest() const { return rest_; }
  // Up to n characters from the front.
  std::string_view Take(size_t n) {
    std::string_view part = rest_.substr(0, std::min(n, rest_.size()));
    rest_.remove_prefix(part.size());
    return part;
  }
  // The text before `separator` when the separator occurs after the first
  // character; false, taking nothing, otherwise.
  bool TakeToSeparator(bool has_separator, char separator, std::string_view& part) {
    if (!has_separator) return false;
    size_t pos = rest_.find(separator, 1);
    if (pos == std::string_view::npos) return false;
    part = Take(pos);
    return true;
  }
  // A separator of the pattern passes over one character, but never the last.
  void SkipSeparator() {
    if (rest_.size() > 1) rest_.remove_prefix(1);
  }

 private:
  std::string_view rest_;
};

// The number (1..12) of the month whose upper-cased long name the text starts
// with, and that name's length. A whole name wins over a three-letter match
// and a longer whole name over a shorter one, so "ČERVENEC" (July) is not
// read as "ČERVEN" (June); failing a whole name, the first month whose name
// shares the first three letters counts.
int MatchMonthName(std::string_view text, const TFormatSettings& fs, size_t& name_length) {
  int month = 0;
  for (int m = 0; m < 12; ++m) {
    std::string name = AnsiUpperCase(fs.LongMonthNames[m]);
    if (!name.empty() && text.starts_with(name) && name.size() > name_length) month = m + 1, name_length = name.size();
  }
  if (month != 0) return month;
  for (int m = 0; m < 12; ++m) {
    std::string name = AnsiUpperCase(fs.LongMonthNames[m]);
    std::string_view prefix = std::string_view(name).substr(0, 3);
    if (!prefix.empty() && text.substr(0, 3) == prefix) {
      name_length = name.size();
      return m + 1;
    }
  }
  return 0;
}

// A two-digit year: below the window in the current century, otherwise in
// the one before.
int ExpandYear(int two_digits, int window) {
  int year, month, day;
  DecodeDate(Date(), year, month, day);
  int century = year / 100 * 100;
  return two_digits < window ? century + two_digits : century - 100 + two_digits;
}

void ReadPart(Part part, Remainder& text, bool has_separator, char separator, const TFormatSettings& fs, DateParts& p) {
  std::string_view s;
  switch (part) {
    case Part::kDayToSeparator:
      if (text.TakeToSeparator(has_separator, separator, s)) p.day = PartValue(s);
      break;
    case Part::kMonthToSeparator:
      if (text.TakeToSeparator(has_separator, separator, s)) p.month = PartValue(s);
      break;
    case Part::kDay:
      p.day = PartValue(text.Take(2));
      break;
    case Part::kSkip3:
      text.Take(3);
      break;
    case Part::kDayName:
      for (const std::string& day_name : fs.LongDayNames) {
        std::string name = AnsiUpperCase(day_name);
        std::string_view prefix = std::string_view(name).substr(0, 3);
        if (!prefix.empty() && text.rest().substr(0, 3) == prefix) {
          text.Take(name.size());
          break;
        }
      }
      break;
    case Part::kMonth:
      p.month = PartValue(text.Take(2));
      break;
    case Part::kMonthAbbrev:
    case Part::kMonthName: {
      size_t name_length = 0;
      int month = MatchMonthName(text.rest(), fs, name_length);
      if (month != 0) {
        p.month = month;
        text.Take(part == Part::kMonthAbbrev ? 3 : name_length);
      }
      break;
    }
    case Part::kYear2:
      p.year = ExpandYear(PartValue(text.Take(2)), fs.TwoDigitYearCenturyWindow);
      break;
    case Part::kNothing:
      break;
    case Part::kYear4:
      p.year = PartValue(text.Take(4));
      break;
    case Part::kHour:
      p.hour = PartValue(text.Take(2));
      break;
    case Part::kMinute:
      p.minute = PartValue(text.Take(2));
      break;
    case Part::kSecond:
      p.second = PartValue(text.Take(2));
      break;
    case Part::kMillisecond:
      p.millisecond = PartValue(text.Take(3));
      break;
    case Part::kMark1:
      s = text.Take(1);
      if (!s.empty()) p.mark = s == "A" ? Mark::kAM : Mark::kPM;
      break;
    case Part::kMark2:
      s = text.Take(2);
      if (!s.empty()) p.mark = s == "AM" ? Mark::kAM : Mark::kPM;
      break;
  }
}

// A PM mark moves the hour 12 on, except 12 PM, which is noon; 12 AM is
// midnight. Without a mark the hour is on the 24-hour clock.
int Hour24(int hour, Mark mark) {
  if (mark == Mark::kPM) return hour == 12 ? 12 : hour + 12;
  if (mark == Mark::kAM && hour == 12) return 0;
  return hour;
}

}  // namespace

ParsedNumber ParseNumber(std::string_view s, const TFormatSettings& fs) {
  std::string compact;
  for (char c : s) {
    if (!IsNumberChar(c, fs.DecimalSeparator)) return {};
    if (c != ' ') compact += c;
  }
  ParsedNumber result;
  if (IsUnsignedDecimal(compact)) {
    int64_t integer = 0;
    result.Success = result.IsInteger = TryStrToInt(compact, integer);
    result.Value = static_cast<double>(integer);
    return result;
  }
  TFormatSettings with = fs;
  for (char separator : {'.', fs.DecimalSeparator, ','}) {
    with.DecimalSeparator = separator;
    if (TryStrToFloat(compact, result.Value, with)) {
      result.Success = true;
      return result;
    }
  }
  return {};
}

int TwoDigitYearWindow() { return RegionalSettings().TwoDigitYearCenturyWindow; }

TDateTime ParseDateByFormat(std::string_view format, std::string_view text, const TFormatSettings& fs) {
  const std::string pattern = AnsiUpperCase(format);
  const std::string upper_text = AnsiUpperCase(text);
  Remainder rest(upper_text);
  DateParts p;
  bool has_separator = false;
  char separator = 0;
  size_t i = 0;
  while (i + 1 < pattern.size()) {
    if (kTokenLetters.find(pattern[i]) == std::string_view::npos) {
      rest.SkipSeparator();
      ++i;
      continue;
    }
    const Token* token = LongestToken(std::string_view(pattern).substr(i));
    if (!token) {  // a lone H, N, S, Z, P, A or Y reads nothing
      ++i;
      continue;
    }
    i += token->text.size();
    if (i < pattern.size()) has_separator = true, separator = pattern[i];
    ReadPart(token->part, rest, has_separator, separator, fs, p);
  }
  TDateTime date, time;
  if (!TryEncodeDate(p.year, p.month, p.day, date) ||
      !TryEncodeTime(Hour24(p.hour, p.mark), p.minute, p.second, p.millisecond, time))
    return 0;
  // The time of day counts away from day 0 on both sides of it.
  return date >= 0 ? date + time : date - time;
}

}  // namespace tessaro
