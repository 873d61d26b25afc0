// The response side of the CGI interface: a header block in the CGI response
// form ("Status:" line, header lines, an empty line) followed by the content,
// all written to one file descriptor.
//
// No value may split a header line: a CR or LF inside a Location or a cookie
// domain taken from the request would let a visitor add headers of his own or
// start the body early. Setters refuse such values, and the whole block is
// checked again before its first byte is written, since cookies are plain
// records anyone holding the response can change.
#include "cgi/web_response.h"

#include <algorithm>

#include "cgi/url_encoding.h"
#include "util/exception.h"
#include "util/file_io.h"
#include "util/format.h"
#include "util/html_escape.h"
#include "util/module_path.h"
#include "util/text.h"

namespace tessaro {
namespace {

constexpr size_t kCopyChunk = 8192;        // read from a content stream at a time
constexpr size_t kSingleWriteBytes = 1 << 20;  // content sent together with the headers

struct Reason {
  int code;
  std::string_view phrase;
};

constexpr Reason kReasons[] = {
    {100, "Continue"},
    {101, "Switching Protocols"},
    {200, "OK"},
    {201, "Created"},
    {202, "Accepted"},
    {203, "Non-Authoritative Information"},
    {204, "No Content"},
    {205, "Reset Content"},
    {206, "Partial Content"},
    {300, "Multiple Choices"},
    {301, "Moved Permanently"},
    {302, "Moved Temporarily"},
    {303, "See Other"},
    {304, "Not Modified"},
    {305, "Use Proxy"},
    {400, "Bad Request"},
    {401, "Unauthorized"},
    {402, "Payment Required"},
    {403, "Forbidden"},
    {404, "Not Found"},
    {405, "Method Not Allowed"},
    {406, "None Acceptable"},
    {407, "Proxy Authentication Required"},
    {408, "Request Timeout"},
    {409, "Conflict"},
    {410, "Gone"},
    {411, "Length Required"},
    {412, "Unless True"},
    {413, "Request Entity Too Large"},  // the body over the accepted size
    {500, "Internal Server Error"},
    {501, "Not Implemented"},
    {502, "Bad Gateway"},
    {503, "Service Unavailable"},
    {504, "Gateway Timeout"},
};

constexpr std::string_view kDayNames[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
constexpr std::string_view kMonthNames[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                            "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

constexpr std::string_view kLineBreakers("\r\n\0", 3);

struct SecurityHeader {
  bool TSecurityHeaders::*enabled;
  std::string_view name;
  std::string_view value;
};

constexpr SecurityHeader kSecurityHeaders[] = {
    {&TSecurityHeaders::NoSniff, "X-Content-Type-Options", "nosniff"},
    {&TSecurityHeaders::ReferrerPolicy, "Referrer-Policy", "same-origin"},
    {&TSecurityHeaders::FrameOptions, "X-Frame-Options", "SAMEORIGIN"},
    {&TSecurityHeaders::CspFrameAncestors, "Content-Security-Policy", "frame-ancestors 'self'"},
};

bool SplitsHeaderLine(std::string_view value) { return value.find_first_of(kLineBreakers) != std::string_view::npos; }

void CheckHeaderValue(std::string_view value) {
  if (SplitsHeaderLine(value)) throw Exception("Invalid character in response header");
}

// A ";" would start a cookie attribute of the sender's choosing.
void CheckCookieAttribute(std::string_view value) {
  if (SplitsHeaderLine(value) || value.find(';') != std::string_view::npos)
    throw Exception("Invalid character in cookie attribute");
}

void CheckCookie(const TCookie& cookie) {
  CheckCookieAttribute(cookie.Domain);
  CheckCookieAttribute(cookie.Path);
  CheckCookieAttribute(cookie.SameSite);
}

// Header names are HTTP tokens: visible ASCII other than separators.
bool IsHeaderName(std::string_view name) {
  if (name.empty()) return false;
  for (char c : name) {
    unsigned char u = static_cast<unsigned char>(c);
    if (u <= ' ' || u >= 127 || std::string_view("()<>@,;:\\\"/[]?={}").find(c) != std::string_view::npos)
      return false;
  }
  return true;
}

void SetHeader(std::string& field, std::string_view value) {
  CheckHeaderValue(value);
  field.assign(value);
}

}  // namespace

std::string FormatHttpDate(TDateTime value) {
  int year, month, day, hour, minute, second, ms;
  DecodeDate(value, year, month, day);
  int weekday = DayOfWeek(value);
  if (year < 1 || month < 1 || month > 12 || weekday < 1 || weekday > 7) return "";
  DecodeTime(value, hour, minute, second, ms);
  return Format("%s, %.2d %s %.4d %.2d:%.2d:%.2d GMT",
                {kDayNames[weekday - 1], day, kMonthNames[month - 1], year, hour, minute, second});
}

std::string_view ReasonPhrase(int code) {
  for (const Reason& r : kReasons)
    if (r.code == code) return r.phrase;
  return "";
}

std::string TCookie::HeaderValue() const {
  std::string out = UrlEncode(Name) + "=" + UrlEncode(Value) + "; ";
  if (!Domain.empty()) out += "domain=" + Domain + "; ";
  if (!Path.empty()) out += "path=" + Path + "; ";
  if (Expires > -1) {
    std::string date = FormatHttpDate(Expires);
    if (!date.empty()) out += "expires=" + date + "; ";
  }
  if (Secure) out += "secure; ";
  if (HttpOnly) out += "HttpOnly; ";
  if (!SameSite.empty()) out += "SameSite=" + SameSite + "; ";
  if (out.ends_with("; ")) out.resize(out.size() - 2);
  return out;
}

TWebResponse::TWebResponse(const TWebRequest& request, int output_fd) : request_(request), output_fd_(output_fd) {}

void TWebResponse::SetStatusCode(int code) {
  status_code_ = code;
  reason_string_ = ReasonPhrase(code);
}

void TWebResponse::SetContentType(std::string_view value) { SetHeader(content_type_, value); }
void TWebResponse::SetLocation(std::string_view value) { SetHeader(location_, value); }
void TWebResponse::SetAllow(std::string_view value) { SetHeader(allow_, value); }
void TWebResponse::SetDerivedFrom(std::string_view value) { SetHeader(derived_from_, value); }
void TWebResponse::SetTitle(std::string_view value) { SetHeader(title_, value); }
void TWebResponse::SetContentVersion(std::string_view value) { SetHeader(content_version_, value); }
void TWebResponse::SetContentEncoding(std::string_view value) { SetHeader(content_encoding_, value); }
void TWebResponse::SetWWWAuthenticate(std::string_view value) { SetHeader(www_authenticate_, value); }

void TWebResponse::SetCustomHeader(std::string_view name, std::string_view value) {
  if (!IsHeaderName(name)) throw Exception("Invalid response header name");
  CheckHeaderValue(value);
  for (auto& header : custom_headers_) {
    if (SameText(header.first, name)) {
      header.second.assign(value);
      return;
    }
  }
  custom_headers_.emplace_back(std::string(name), std::string(value));
}

void TWebResponse::SetContent(std::string value) {
  content_ = std::move(value);
  if (!content_stream_) content_length_ = static_cast<int64_t>(content_.size());
}

void TWebResponse::SetContentStream(std::unique_ptr<std::istream> stream) {
  content_stream_ = std::move(stream);
  if (!content_stream_) {
    content_length_ = static_cast<int64_t>(content_.size());
    return;
  }
  std::istream& s = *content_stream_;
  content_length_ = -1;
  std::streampos start = s.tellg();
  if (start == std::streampos(-1)) return;
  if (s.seekg(0, std::ios::end)) {
    std::streampos end = s.tellg();
    if (end != std::streampos(-1) && end >= start) content_length_ = static_cast<int64_t>(end - start);
  }
  s.clear();
  s.seekg(start);
}

void TWebResponse::AddCookie(std::string_view name, std::string_view value, std::string_view domain,
                             std::string_view path, TDateTime expires, bool secure) {
  TCookie cookie;
  cookie.Name = name;
  cookie.Value = value;
  cookie.Domain = domain;
  cookie.Path = path;
  cookie.Expires = expires;
  cookie.Secure = secure;
  AddCookie(std::move(cookie));
}

void TWebResponse::AddCookie(TCookie cookie) {
  CheckCookie(cookie);
  cookies_.push_back(std::move(cookie));
}

void TWebResponse::SetCookieField(const TStrings& values, std::string_view domain, std::string_view path,
                                  TDateTime expires, bool secure) {
  CheckCookieAttribute(domain);
  CheckCookieAttribute(path);
  for (size_t i = 0; i < values.Count(); ++i)
    AddCookie(values.Names(i), values.ValueFromIndex(i), domain, path, expires, secure);
}

void TWebResponse::SendRedirect(std::string_view url) {
  SetLocation(url);
  SetStatusCode(302);
  SetContentType("text/html");
  SetContent(Format(
      "<html><title>Document Moved 302</title>\r\n<body><h1>Object Moved</h1><hr>\r\n"
      "This Object may be found <a HREF=\"%s\">here.</a><br>\r\n<br></body></html>\r\n",
      {HtmlEscape(url)}));
  SendResponse();
}

std::string TWebResponse::HeaderBlock() const {
  std::vector<std::string> lines;
  auto add = [&lines](std::string_view label, std::string_view value) {
    if (!value.empty()) lines.push_back(std::string(label) + ": " + std::string(value));
  };
  auto add_date = [&add](std::string_view label, TDateTime value) {
    if (value > 0) add(label, FormatHttpDate(value));
  };
  const bool known_phrase = !reason_string_.empty() && status_code_ > 0;
  add("Status", known_phrase ? Format("%d %s", {status_code_, reason_string_}) : std::string("200 OK"));
  add("Location", location_);
  add("Allow", allow_);
  for (const TCookie& cookie : cookies_) {
    CheckCookie(cookie);
    add("Set-Cookie", cookie.HeaderValue());
  }
  add("Derived-From", derived_from_);
  add_date("Expires", expires_);
  add_date("Last-Modified", last_modified_);
  add("Title", title_);
  add("WWW-Authenticate", www_authenticate_);
  for (const auto& [name, value] : custom_headers_) {
    if (!IsHeaderName(name)) throw Exception("Invalid response header name");
    add(name, value);
  }
  for (const SecurityHeader& header : kSecurityHeaders) {
    const bool replaced = std::any_of(custom_headers_.begin(), custom_headers_.end(),
                                      [&header](const auto& custom) { return SameText(custom.first, header.name); });
    if (security_headers_.*header.enabled && !replaced) add(header.name, header.value);
  }
  add("Content-Version", content_version_);
  add("Content-Encoding", content_encoding_);
  add("Content-Type", content_type_);
  if (content_stream_ ? content_length_ >= 0 : !content_.empty())
    add("Content-Length", Format("%d", {content_length_}));
  lines.push_back("Content:");
  std::string block;
  for (const std::string& line : lines) {
    CheckHeaderValue(line);
    block += line;
    block += "\r\n";
  }
  block += "\r\n";
  return block;
}

void TWebResponse::WriteContent() {
  if (!content_stream_) {
    WriteAll(output_fd_, content_);
    return;
  }
  char buffer[kCopyChunk];
  std::istream& s = *content_stream_;
  while (s) {
    s.read(buffer, sizeof buffer);
    std::streamsize got = s.gcount();
    if (got <= 0) break;
    if (!WriteAll(output_fd_, std::string_view(buffer, static_cast<size_t>(got)))) return;
  }
}

void TWebResponse::SendResponse() {
  if (sent_) return;
  if (!request_.ProtocolVersion().empty()) {
    std::string block = HeaderBlock();  // throws before any output when a line is unsafe
    // A page of ordinary size goes out with its headers in one write.
    if (!content_stream_ && content_.size() <= kSingleWriteBytes) {
      block += content_;
      WriteAll(output_fd_, block);
      sent_ = true;
      return;
    }
    if (!WriteAll(output_fd_, block)) {
      sent_ = true;
      return;
    }
  }
  WriteContent();
  sent_ = true;
}

void WriteUnhandledFailure(int fd, std::string_view class_name, std::string_view message) {
  const std::string shown = WithoutModuleDir(message);
  std::string status_message;
  for (char c : shown)
    if (kLineBreakers.find(c) == std::string_view::npos) status_message.push_back(c);
  std::string body = Format(
      "<html><title>Internal Server Error 500</title>\r\n<h1>Internal Server Error 500</h1><hr>\r\n"
      "Exception: %s<br>\r\nMessage: %s<br></html>\r\n",
      {HtmlEscape(class_name), HtmlEscape(shown)});
  // The options may be what failed: every security header goes out.
  std::string security;
  for (const SecurityHeader& header : kSecurityHeaders)
    security += std::string(header.name) + ": " + std::string(header.value) + "\r\n";
  std::string head = Format("Status: 500 %s\r\n%sContent-Type: text/html\r\nContent-Length: %d\r\n\r\n",
                            {status_message, security, body.size()});
  if (WriteAll(fd, head)) WriteAll(fd, body);
}

}  // namespace tessaro
