// The checked Format function. A directive is parsed into flags, width and
// precision, then rendered with snprintf into a bounded buffer: width and
// precision are capped so that no directive can ask for unbounded memory.
#include "util/format.h"

#include <algorithm>
#include <cstdio>
#include <vector>

#include "util/exception.h"

namespace tessaro {
namespace {

constexpr int kMaxWidth = 4096;  // larger widths are a malformed directive

struct Directive {
  bool left_align = false;
  int width = -1;
  int precision = -1;
  char type = 0;
};

[[noreturn]] void Fail(std::string_view format, const char* why) {
  throw EFormatError(std::string("Format '") + std::string(format) + "' invalid or incompatible with argument (" +
                     why + ")");
}

int ReadNumber(std::string_view format, size_t& i) {
  int n = 0;
  while (i < format.size() && format[i] >= '0' && format[i] <= '9') {
    n = n * 10 + (format[i] - '0');
    if (n > kMaxWidth) Fail(format, "width too large");
    ++i;
  }
  return n;
}

Directive ParseDirective(std::string_view format, size_t& i) {
  Directive d;
  if (i < format.size() && format[i] == '-') {
    d.left_align = true;
    ++i;
  }
  if (i < format.size() && format[i] >= '0' && format[i] <= '9') d.width = ReadNumber(format, i);
  if (i < format.size() && format[i] == '.') {
    ++i;
    d.precision = ReadNumber(format, i);
  }
  if (i >= format.size()) Fail(format, "unterminated directive");
  d.type = format[i++];
  return d;
}

void Pad(std::string& out, std::string_view text, const Directive& d) {
  size_t fill = d.width > 0 && static_cast<size_t>(d.width) > text.size() ? d.width - text.size() : 0;
  if (!d.left_align) out.append(fill, ' ');
  out.append(text);
  if (d.left_align) out.append(fill, ' ');
}

std::string RenderNumber(const char* printf_pattern, double v) {
  std::vector<char> buf(kMaxWidth + 400);
  int n = std::snprintf(buf.data(), buf.size(), printf_pattern, v);
  return std::string(buf.data(), n < 0 ? 0 : std::min<size_t>(n, buf.size() - 1));
}

void Render(std::string& out, std::string_view format, const Directive& d, const FormatArg& arg) {
  const auto& v = arg.value();
  switch (d.type) {
    case 's': {
      const auto* s = std::get_if<std::string_view>(&v);
      if (!s) Fail(format, "%s needs text");
      std::string_view text = *s;
      if (d.precision >= 0 && static_cast<size_t>(d.precision) < text.size()) text = text.substr(0, d.precision);
      Pad(out, text, d);
      return;
    }
    case 'd':
    case 'u':
    case 'x':
    case 'X': {
      const auto* n = std::get_if<int64_t>(&v);
      if (!n) Fail(format, "integer directive needs an integer");
      char buf[32];
      const char* printf_pattern = d.type == 'd' ? "%lld" : d.type == 'u' ? "%llu" : d.type == 'x' ? "%llx" : "%llX";
      // u, x and X show the two's-complement bits of a negative value.
      int len = d.type == 'd' ? std::snprintf(buf, sizeof buf, printf_pattern, static_cast<long long>(*n))
                              : std::snprintf(buf, sizeof buf, printf_pattern, static_cast<unsigned long long>(*n));
      std::string digits(buf, len);
      if (d.precision > 0) {
        bool negative = !digits.empty() && digits[0] == '-';
        std::string body = negative ? digits.substr(1) : digits;
        if (body.size() < static_cast<size_t>(d.precision)) body.insert(0, d.precision - body.size(), '0');
        digits = negative ? "-" + body : body;
      }
      Pad(out, digits, d);
      return;
    }
    case 'f':
    case 'e':
    case 'g': {
      double x;
      if (const auto* f = std::get_if<double>(&v)) {
        x = *f;
      } else if (const auto* n = std::get_if<int64_t>(&v)) {
        x = static_cast<double>(*n);
      } else {
        Fail(format, "floating directive needs a number");
      }
      std::string printf_pattern = "%." + std::to_string(d.precision >= 0 ? std::min(d.precision, 100) : (d.type == 'g' ? 15 : 2)) +
                         d.type;
      Pad(out, RenderNumber(printf_pattern.c_str(), x), d);
      return;
    }
    default:
      Fail(format, "unknown directive");
  }
}

}  // namespace

std::string Format(std::string_view format, std::initializer_list<FormatArg> args) {
  std::string out;
  out.reserve(format.size() + 32);
  const FormatArg* next = args.begin();
  for (size_t i = 0; i < format.size();) {
    char c = format[i++];
    if (c != '%') {
      out.push_back(c);
      continue;
    }
    if (i < format.size() && format[i] == '%') {
      out.push_back('%');
      ++i;
      continue;
    }
    Directive d = ParseDirective(format, i);
    if (next == args.end()) Fail(format, "missing argument");
    Render(out, format, d, *next++);
  }
  return out;
}

}  // namespace tessaro
