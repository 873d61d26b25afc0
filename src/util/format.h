// Format: printf-like text building with checked arguments.
//
// The portal builds its messages and markup from format strings such as
// "Cannot open file \"%s\". %s" or "<td width=\"%d\">". Arguments are passed
// as a typed list, so a directive that does not match its argument, a missing
// argument or an unknown directive raises EFormatError instead of reading
// arbitrary memory.
//
// Directives: "%%" (a percent sign) and "%[-][width][.precision]type" with
// type s (text), d (integer), u (unsigned integer), x (lower-case hex),
// X (upper-case hex), f (fixed, '.' decimal point), e, g. Numeric text uses '.'
// regardless of the regional settings; locale-aware number text lives in
// number_format.h.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <variant>

namespace tessaro {

class FormatArg {
 public:
  FormatArg(std::string_view s) : value_(s) {}
  FormatArg(const std::string& s) : value_(std::string_view(s)) {}
  FormatArg(const char* s) : value_(std::string_view(s ? s : "")) {}
  FormatArg(char c) = delete;  // ambiguous: a character or a number?
  FormatArg(int v) : value_(static_cast<int64_t>(v)) {}
  FormatArg(long v) : value_(static_cast<int64_t>(v)) {}
  FormatArg(long long v) : value_(static_cast<int64_t>(v)) {}
  FormatArg(unsigned v) : value_(static_cast<int64_t>(v)) {}
  FormatArg(unsigned long v) : value_(static_cast<int64_t>(v)) {}
  FormatArg(unsigned long long v) : value_(static_cast<int64_t>(v)) {}
  FormatArg(double v) : value_(v) {}

  const std::variant<std::string_view, int64_t, double>& value() const { return value_; }

 private:
  std::variant<std::string_view, int64_t, double> value_;  // the argument as passed
};

// Builds the text of `format` with `args`. Throws EFormatError on an unknown or
// malformed directive, too few arguments or an argument of the wrong kind.
std::string Format(std::string_view format, std::initializer_list<FormatArg> args = {});

}  // namespace tessaro
