// Quote handling for values that arrive either bare or enclosed in double
// quotes (tag parameters, settings, metadata texts), and the test that tells
// a plain number from text when a value is written into an expression.
#include "util/quoting.h"

#include <cstdint>

#include "util/text.h"

namespace tessaro {

bool IsUnsignedDecimal(std::string_view s) {
  if (s.empty()) return false;
  int64_t value = 0;
  for (char c : s) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + (c - '0');
    if (value > INT32_MAX) return false;  // stops before the sum can overflow
  }
  return true;
}

std::string UnquoteOnce(std::string_view s) {
  if (s.size() > 1 && s.front() == '"' && s.back() == '"') return std::string(s.substr(1, s.size() - 2));
  return std::string(s);
}

std::string StripQuotes(std::string_view s) {
  std::string out = Trim(s);
  if (!out.empty() && out.front() == '"') out = Trim(std::string_view(out).substr(1));
  if (!out.empty() && out.back() == '"') out.pop_back();
  return out;
}

std::string QuoteIfText(std::string_view s) {
  std::string out = Trim(s);
  if (!out.empty() && !IsUnsignedDecimal(out) && out.front() != '"') return "\"" + out + "\"";
  return out;
}

std::string ClosingTag(std::string_view tag) {
  std::string out = "</";
  if (!tag.empty()) out += tag.substr(1);
  return out;
}

}  // namespace tessaro
