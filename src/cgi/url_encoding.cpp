// URL encoding as browsers use it for form fields and as this system uses it
// for cookies: "+" stands for a blank and "%xy" for any byte, written with two
// hexadecimal digits. Decoding is strict about a "%" that is not followed by
// two hexadecimal digits (the request is then refused with an error naming the
// position) but lenient about "%%", which stands for a plain percent sign.
// Splitting cuts a query, body or cookie header into name=value fields at the
// separators, except inside a double-quoted stretch, and decodes each field
// whole, so an encoded "=" in a name or value stays part of it.
#include "cgi/url_encoding.h"

#include "util/codepage.h"
#include "util/exception.h"
#include "util/format.h"

namespace tessaro {
namespace {

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool IsUnreserved(unsigned char c) {
  if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) return true;
  switch (c) {
    case '*': case '@': case '.': case '_': case '-': case '$': case '!': case '\'': case '(': case ')':
      return true;
    default:
      return false;
  }
}

}  // namespace

std::string UrlDecode(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    // Plain stretches are copied whole: a value may be megabytes long.
    size_t plain = i;
    while (plain < text.size() && text[plain] != '+' && text[plain] != '%') ++plain;
    if (plain > i) {
      out.append(text.substr(i, plain - i));
      i = plain;
      if (i == text.size()) break;
    }
    char c = text[i];
    if (c == '+') {
      out.push_back(' ');
    } else if (c != '%') {
      out.push_back(c);
    } else if (i + 1 < text.size() && text[i + 1] == '%') {
      out.push_back('%');
      ++i;
    } else {
      size_t at = i + 1;  // offset of the character after "%"
      if (at + 1 >= text.size())
        throw Exception(Format("Error decoding URL style (%%XX) encoded string at position %d", {at}));
      int hi = HexValue(text[at]), lo = HexValue(text[at + 1]);
      if (hi < 0 || lo < 0)
        throw Exception(Format("Invalid URL encoded character (%s) at position %d", {text.substr(i, 3), at}));
      out.push_back(static_cast<char>(hi * 16 + lo));
      i += 2;
    }
  }
  return out;
}

std::string UrlEncode(std::string_view text) {
  static const char kHex[] = "0123456789abcdef";
  std::string out;
  out.reserve(text.size() * 3);
  for (unsigned char c : text) {
    if (IsUnreserved(c)) {
      out.push_back(static_cast<char>(c));
    } else if (c == ' ') {
      out.push_back('+');
    } else {
      out.push_back('%');
      out.push_back(kHex[c >> 4]);
      out.push_back(kHex[c & 15]);
    }
  }
  return out;
}

std::string UrlEncodeText(std::string_view cp1250) { return UrlEncode(EncodeOutput(cp1250)); }

void SplitFields(std::string_view text, std::string_view separators, std::string_view skip_before, bool decode,
                 TStrings& out) {
  size_t nul = text.find('\0');
  if (nul != std::string_view::npos) text = text.substr(0, nul);
  // Byte classes looked up by table: the scan touches every byte of a body.
  bool is_separator[256] = {}, is_skipped[256] = {};
  for (char c : separators) is_separator[static_cast<unsigned char>(c)] = true;
  for (char c : skip_before) is_skipped[static_cast<unsigned char>(c)] = true;
  auto separator = [&](size_t at) { return is_separator[static_cast<unsigned char>(text[at])]; };
  auto skipped = [&](size_t at) { return is_skipped[static_cast<unsigned char>(text[at])]; };
  size_t i = 0;
  while (i < text.size() && skipped(i)) ++i;
  while (i < text.size()) {
    size_t head = i;
    bool quoted = false;
    while (i < text.size() && (quoted || !separator(i))) {
      if (text[i] == '"') quoted = !quoted;
      ++i;
    }
    std::string_view field = text.substr(head, i - head);
    if (!field.empty()) out.Add(decode ? UrlDecode(field) : std::string(field));
    if (i < text.size()) ++i;  // the separator
    while (i < text.size() && skipped(i)) ++i;
  }
}

}  // namespace tessaro
