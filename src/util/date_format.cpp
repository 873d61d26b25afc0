// Date-time formatting by pattern and date-time parsing.
//
// Formatting walks the pattern once, token by token. Date and time parts are
// decoded from the value only when a token needs them. Patterns named inside
// a pattern (ddddd, dddddd, t, tt, c) are expanded by the same walker one level
// deeper; at kMaxDepth a named pattern expands to nothing, which ends any
// self-reference.
//
// Parsing is a small scanner over the text: numbers, separators and AM/PM
// markers, each optionally preceded by blanks.
#include "util/date_format.h"

#include "util/text.h"

namespace tessaro {
namespace {

constexpr int kMaxDepth = 2;  // the outer pattern and one level of named patterns

bool IsQuote(char c) { return c == '"' || c == '\''; }

class DateTimeWriter {
 public:
  DateTimeWriter(TDateTime value, const TFormatSettings& fs) : value_(value), fs_(fs) {}

  void Append(std::string_view pattern, int depth);
  std::string Take() { return std::move(out_); }

 private:
  void NeedDate() {
    if (!date_decoded_) DecodeDate(value_, year_, month_, day_);
    date_decoded_ = true;
  }
  void NeedTime() {
    if (!time_decoded_) DecodeTime(value_, hour_, minute_, second_, millisecond_);
    time_decoded_ = true;
  }
  void AppendNumber(int n, int min_digits) {
    std::string digits = std::to_string(n);
    if (static_cast<int>(digits.size()) < min_digits) out_.append(min_digits - digits.size(), '0');
    out_ += digits;
  }
  void AppendSeparator(char c) {
    if (c != 0) out_.push_back(c);
  }
  void AppendMonthName(const std::string (&names)[12]) {
    NeedDate();
    if (month_ >= 1 && month_ <= 12) out_ += names[month_ - 1];
  }
  void AppendDayName(const std::string (&names)[7]) {
    int dow = DayOfWeek(value_);
    if (dow >= 1 && dow <= 7) out_ += names[dow - 1];
  }
  bool AppendAmPm(std::string_view rest, size_t& i);
  static bool TwelveHourMarkerFollows(std::string_view rest);

  TDateTime value_;            // the value being written
  const TFormatSettings& fs_;  // names, separators and named patterns
  std::string out_;            // the text so far
  bool date_decoded_ = false;  // year_, month_, day_ are set
  bool time_decoded_ = false;  // hour_ ... millisecond_ are set
  int year_ = 0, month_ = 0, day_ = 0;
  int hour_ = 0, minute_ = 0, second_ = 0, millisecond_ = 0;
};

// Length of the run of `starter` characters that began at pattern[i - 1];
// advances `i` past it.
int RunLength(std::string_view pattern, size_t& i, char starter) {
  int count = 1;
  while (i < pattern.size() && pattern[i] == starter) {
    ++count;
    ++i;
  }
  return count;
}

// Whether an hour token is a 12-hour one: the first "a" outside quotes after
// it starts an am/pm marker, and no other hour token comes first.
bool DateTimeWriter::TwelveHourMarkerFollows(std::string_view rest) {
  for (size_t k = 0; k < rest.size(); ++k) {
    char c = rest[k];
    if (IsQuote(c)) {
      size_t close = rest.find(c, k + 1);
      if (close == std::string_view::npos) return false;
      k = close;
      continue;
    }
    char u = AsciiUpper(c);
    if (u == 'H') return false;
    if (u == 'A') {
      std::string_view at = rest.substr(k);
      return StartsText("AM/PM", at) || StartsText("A/P", at) || StartsText("AMPM", at);
    }
  }
  return false;
}

// The marker whose "a" is at rest[0]; `i` is the index after that "a". Returns
// false when no marker starts there.
bool DateTimeWriter::AppendAmPm(std::string_view rest, size_t& i) {
  NeedTime();
  bool pm = hour_ >= 12;
  if (StartsText("AM/PM", rest)) {
    out_.append(rest.substr(pm ? 3 : 0, 2));
    i += 4;
  } else if (StartsText("A/P", rest)) {
    out_.append(rest.substr(pm ? 2 : 0, 1));
    i += 2;
  } else if (StartsText("AMPM", rest)) {
    out_ += pm ? fs_.TimePMString : fs_.TimeAMString;
    i += 3;
  } else {
    return false;
  }
  return true;
}

void DateTimeWriter::Append(std::string_view pattern, int depth) {
  if (depth >= kMaxDepth) return;
  char last_letter = ' ';  // the previous letter token, for "m" after "h"
  bool twelve_hour = false;
  size_t i = 0;
  while (i < pattern.size()) {
    char starter = pattern[i++];
    char token = AsciiUpper(starter);
    if (token >= 'A' && token <= 'Z') {
      if (token == 'M' && last_letter == 'H') token = 'N';
      last_letter = token;
    }
    switch (token) {
      case 'Y': {
        int count = RunLength(pattern, i, starter);
        NeedDate();
        if (count <= 2)
          AppendNumber(year_ % 100, 2);
        else
          AppendNumber(year_, 4);
        break;
      }
      case 'M': {
        int count = RunLength(pattern, i, starter);
        if (count <= 2) {
          NeedDate();
          AppendNumber(month_, count);
        } else {
          AppendMonthName(count == 3 ? fs_.ShortMonthNames : fs_.LongMonthNames);
        }
        break;
      }
      case 'D': {
        int count = RunLength(pattern, i, starter);
        if (count <= 2) {
          NeedDate();
          AppendNumber(day_, count);
        } else if (count <= 4) {
          AppendDayName(count == 3 ? fs_.ShortDayNames : fs_.LongDayNames);
        } else {
          Append(count == 5 ? fs_.ShortDateFormat : fs_.LongDateFormat, depth + 1);
        }
        break;
      }
      case 'H': {
        int count = RunLength(pattern, i, starter);
        NeedTime();
        if (!twelve_hour) twelve_hour = TwelveHourMarkerFollows(pattern.substr(i));
        int h = hour_;
        if (twelve_hour) h = h == 0 ? 12 : (h > 12 ? h - 12 : h);
        AppendNumber(h, count > 2 ? 2 : count);
        break;
      }
      case 'N':
      case 'S': {
        int count = RunLength(pattern, i, starter);
        NeedTime();
        AppendNumber(token == 'N' ? minute_ : second_, count > 2 ? 2 : count);
        break;
      }
      case 'Z': {
        int count = RunLength(pattern, i, starter);
        NeedTime();
        AppendNumber(millisecond_, count > 3 ? 3 : count);
        break;
      }
      case 'T': {
        int count = RunLength(pattern, i, starter);
        Append(count == 1 ? fs_.ShortTimeFormat : fs_.LongTimeFormat, depth + 1);
        break;
      }
      case 'C': {
        RunLength(pattern, i, starter);
        Append(fs_.ShortDateFormat, depth + 1);
        NeedTime();
        if (hour_ != 0 || minute_ != 0 || second_ != 0) {
          out_.push_back(' ');
          Append(fs_.LongTimeFormat, depth + 1);
        }
        break;
      }
      case 'A':
        if (AppendAmPm(pattern.substr(i - 1), i))
          twelve_hour = true;
        else
          out_.push_back(starter);
        break;
      case '/':
        AppendSeparator(fs_.DateSeparator);
        break;
      case ':':
        AppendSeparator(fs_.TimeSeparator);
        break;
      case '"':
      case '\'': {
        size_t close = pattern.find(starter, i);
        if (close == std::string_view::npos) close = pattern.size();
        out_.append(pattern.substr(i, close - i));
        i = close < pattern.size() ? close + 1 : close;
        break;
      }
      default:
        out_.push_back(starter);
    }
  }
}

std::string Write(std::string_view pattern, TDateTime value, const TFormatSettings& fs) {
  DateTimeWriter writer(value, fs);
  writer.Append(pattern, 0);
  return writer.Take();
}

// ---- parsing ----

class Scanner {
 public:
  explicit Scanner(std::string_view text) : text_(text) {}

  bool AtEnd() const { return pos_ >= text_.size(); }
  void SkipBlanks() {
    while (pos_ < text_.size() && text_[pos_] == ' ') ++pos_;
  }
  // Reads decimal digits (after blanks) while the number stays below 10000,
  // so an endless run of digits can never overflow. `length` is the number
  // of digits read.
  bool Number(int& n, int& length) {
    SkipBlanks();
    size_t start = pos_;
    n = 0;
    while (pos_ < text_.size() && text_[pos_] >= '0' && text_[pos_] <= '9' && n < 1000)
      n = n * 10 + (text_[pos_++] - '0');
    length = static_cast<int>(pos_ - start);
    return length > 0;
  }
  bool Char(char c) {
    SkipBlanks();
    if (c == 0 || pos_ >= text_.size() || text_[pos_] != c) return false;
    ++pos_;
    return true;
  }
  // A word compared without ASCII case.
  bool Word(std::string_view word) {
    if (word.empty()) return false;
    SkipBlanks();
    if (!StartsText(word, text_.substr(pos_))) return false;
    pos_ += word.size();
    return true;
  }

 private:
  std::string_view text_;  // the text being read
  size_t pos_ = 0;         // the next character to read
};

int CurrentYear() {
  int y, m, d;
  DecodeDate(Date(), y, m, d);
  return y;
}

// The order in which day, month and year appear in a short date pattern, as
// the letters 'D', 'M', 'Y'. Letters the pattern lacks follow in that order.
void DateOrder(std::string_view pattern, char order[3]) {
  int n = 0;
  auto add = [&](char letter) {
    for (int k = 0; k < n; ++k)
      if (order[k] == letter) return;
    order[n++] = letter;
  };
  for (size_t i = 0; i < pattern.size() && n < 3; ++i) {
    if (IsQuote(pattern[i])) {
      size_t close = pattern.find(pattern[i], i + 1);
      if (close == std::string_view::npos) break;
      i = close;
      continue;
    }
    char u = AsciiUpper(pattern[i]);
    if (u == 'D' || u == 'M' || u == 'Y') add(u);
  }
  add('D');
  add('M');
  add('Y');
}

int ExpandTwoDigitYear(int year, int window) {
  int century_base = CurrentYear() - window;
  year += century_base / 100 * 100;
  if (window > 0 && year < century_base) year += 100;
  return year;
}

bool ScanDate(Scanner& sc, const TFormatSettings& fs, TDateTime& out) {
  int n[3], len[3];
  if (!sc.Number(n[0], len[0]) || !sc.Char(fs.DateSeparator) || !sc.Number(n[1], len[1])) return false;
  // A separator after the second number may end the date ("1.2.") or lead
  // to the year.
  bool has_year = sc.Char(fs.DateSeparator) && sc.Number(n[2], len[2]);
  char order[3];
  DateOrder(fs.ShortDateFormat, order);
  int year = 0, month = 0, day = 0;
  if (has_year) {
    int year_length = 0;
    for (int k = 0; k < 3; ++k) {
      if (order[k] == 'D') day = n[k];
      if (order[k] == 'M') month = n[k];
      if (order[k] == 'Y') year = n[k], year_length = len[k];
    }
    if (year_length <= 2) year = ExpandTwoDigitYear(year, fs.TwoDigitYearCenturyWindow);
  } else {
    // Day and month in the order the pattern has them, the year omitted.
    int k = 0;
    for (char letter : {order[0], order[1], order[2]}) {
      if (letter == 'D') day = n[k++];
      if (letter == 'M') month = n[k++];
    }
    year = CurrentYear();
  }
  if (has_year) sc.Char(fs.DateSeparator);
  sc.SkipBlanks();
  return TryEncodeDate(year, month, day, out);
}

// An AM/PM marker: 0 for AM, 12 for PM, -1 when there is none.
int ScanAmPm(Scanner& sc, const TFormatSettings& fs) {
  if (sc.Word(fs.TimeAMString) || sc.Word("AM")) return 0;
  if (sc.Word(fs.TimePMString) || sc.Word("PM")) return 12;
  return -1;
}

bool ScanTime(Scanner& sc, const TFormatSettings& fs, TDateTime& out) {
  int base_hour = ScanAmPm(sc, fs);
  int hour, minute = 0, second = 0, millisecond = 0, length;
  if (!sc.Number(hour, length)) return false;
  if (sc.Char(fs.TimeSeparator)) {
    if (!sc.Number(minute, length)) return false;
    if (sc.Char(fs.TimeSeparator)) {
      if (!sc.Number(second, length)) return false;
      if (sc.Char(fs.DecimalSeparator)) {
        int fraction;
        if (!sc.Number(fraction, length)) return false;
        // The digits are a fraction of a second: ",5" is 500 ms.
        for (; length < 3; ++length) fraction *= 10;
        for (; length > 3; --length) fraction /= 10;
        millisecond = fraction;
      }
    }
  }
  if (base_hour < 0) base_hour = ScanAmPm(sc, fs);
  if (base_hour >= 0) {
    if (hour == 0 || hour > 12) return false;
    hour = hour % 12 + base_hour;
  }
  sc.SkipBlanks();
  return TryEncodeTime(hour, minute, second, millisecond, out);
}

}  // namespace

std::string FormatDateTime(std::string_view pattern, TDateTime value, const TFormatSettings& fs) {
  return Write(pattern.empty() ? std::string_view("c") : pattern, value, fs);
}

std::string DateTimeToStr(TDateTime value, const TFormatSettings& fs) { return Write("c", value, fs); }
std::string DateToStr(TDateTime value, const TFormatSettings& fs) { return Write(fs.ShortDateFormat, value, fs); }
std::string TimeToStr(TDateTime value, const TFormatSettings& fs) { return Write(fs.LongTimeFormat, value, fs); }

bool TryStrToDate(std::string_view text, TDateTime& out, const TFormatSettings& fs) {
  Scanner sc(text);
  TDateTime date;
  if (!ScanDate(sc, fs, date) || !sc.AtEnd()) return false;
  out = date;
  return true;
}

bool TryStrToTime(std::string_view text, TDateTime& out, const TFormatSettings& fs) {
  Scanner sc(text);
  TDateTime time;
  if (!ScanTime(sc, fs, time) || !sc.AtEnd()) return false;
  out = time;
  return true;
}

bool TryStrToDateTime(std::string_view text, TDateTime& out, const TFormatSettings& fs) {
  Scanner sc(text);
  TDateTime date, time = 0;
  if (ScanDate(sc, fs, date) && (sc.AtEnd() || (ScanTime(sc, fs, time) && sc.AtEnd()))) {
    // The time of day counts away from day 0 on both sides of it.
    out = date >= 0 ? date + time : date - time;
    return true;
  }
  return TryStrToTime(text, out, fs);
}

}  // namespace tessaro
