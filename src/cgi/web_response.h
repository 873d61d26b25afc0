// TWebResponse: the one response this CGI process writes, and the
// last-resort output for a failure nothing else caught.
#pragma once

#include <cstdint>
#include <istream>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "cgi/web_request.h"
#include "util/datetime.h"
#include "util/string_list.h"

namespace tessaro {

// One Set-Cookie header. Expires -1 makes a session cookie.
struct TCookie {
  std::string Name;
  std::string Value;
  std::string Domain;  // omitted when empty
  std::string Path;    // omitted when empty
  TDateTime Expires = -1;
  bool Secure = false;
  bool HttpOnly = false;  // hidden from the page's scripts
  std::string SameSite;   // "Strict", "Lax", "None"; omitted when empty

  // The Set-Cookie value: URL-encoded name=value, then the attributes that
  // are set, separated by "; ".
  std::string HeaderValue() const;
};

// "Wed, 09 Dec 2026 00:00:00 GMT": the value written as it is, without any
// time-zone conversion. Empty for a value outside the years 1 to 9999.
std::string FormatHttpDate(TDateTime value);

// The reason phrase of a status code; empty for a code it does not know.
std::string_view ReasonPhrase(int code);

// The headers that keep browsers from second-guessing the content type,
// leaking the portal's addresses to other sites and showing its pages inside
// another site's frames. Every response carries each one that is switched on.
struct TSecurityHeaders {
  bool NoSniff = true;            // X-Content-Type-Options: nosniff
  bool ReferrerPolicy = true;     // Referrer-Policy: same-origin
  bool FrameOptions = true;       // X-Frame-Options: SAMEORIGIN
  bool CspFrameAncestors = true;  // Content-Security-Policy: frame-ancestors 'self'
};

class TWebResponse {
 public:
  // REQUIRES: `request` outlives the response. Output goes to `output_fd`,
  // which the response does not close.
  TWebResponse(const TWebRequest& request, int output_fd);

  int StatusCode() const { return status_code_; }
  // Also sets ReasonString to the code's phrase.
  void SetStatusCode(int code);
  const std::string& ReasonString() const { return reason_string_; }

  // Header values. Every setter throws Exception "Invalid character in
  // response header" for a value holding CR, LF or NUL and keeps the old value.
  const std::string& ContentType() const { return content_type_; }
  void SetContentType(std::string_view value);
  const std::string& Location() const { return location_; }
  void SetLocation(std::string_view value);
  const std::string& Allow() const { return allow_; }
  void SetAllow(std::string_view value);
  const std::string& DerivedFrom() const { return derived_from_; }
  void SetDerivedFrom(std::string_view value);
  const std::string& Title() const { return title_; }
  void SetTitle(std::string_view value);
  const std::string& ContentVersion() const { return content_version_; }
  void SetContentVersion(std::string_view value);
  const std::string& ContentEncoding() const { return content_encoding_; }
  void SetContentEncoding(std::string_view value);
  const std::string& WWWAuthenticate() const { return www_authenticate_; }
  void SetWWWAuthenticate(std::string_view value);
  // Adds a header line "name: value" or replaces the value of the one with
  // this name (case-insensitive). The name must be a non-empty HTTP token.
  void SetCustomHeader(std::string_view name, std::string_view value);
  const std::vector<std::pair<std::string, std::string>>& CustomHeaders() const { return custom_headers_; }
  // Which security headers go out (all of them unless switched off); a custom
  // header of the same name takes the place of the fixed one.
  const TSecurityHeaders& SecurityHeaders() const { return security_headers_; }
  void SetSecurityHeaders(const TSecurityHeaders& headers) { security_headers_ = headers; }

  // Date headers; -1 means not set. Expires and LastModified are written when > 0.
  TDateTime Date() const { return date_; }
  void SetDate(TDateTime value) { date_ = value; }
  TDateTime Expires() const { return expires_; }
  void SetExpires(TDateTime value) { expires_ = value; }
  TDateTime LastModified() const { return last_modified_; }
  void SetLastModified(TDateTime value) { last_modified_ = value; }

  const std::string& Content() const { return content_; }
  // ContentLength becomes the string's byte length unless a ContentStream is set.
  void SetContent(std::string value);
  // Takes ownership (the old stream is freed); the stream is written instead
  // of Content. ContentLength becomes the bytes from the stream's current
  // position to its end, or -1 (no Content-Length line) when it cannot seek.
  void SetContentStream(std::unique_ptr<std::istream> stream);
  std::istream* ContentStream() const { return content_stream_.get(); }
  int64_t ContentLength() const { return content_length_; }

  // The cookies to send, in order. Checked again when the response is sent.
  std::vector<TCookie>& Cookies() { return cookies_; }
  // Appends one cookie per name=value entry of `values`, all with the same
  // attributes. Throws Exception when domain or path holds CR, LF, NUL or ";".
  void SetCookieField(const TStrings& values, std::string_view domain, std::string_view path, TDateTime expires,
                      bool secure);
  // Appends one cookie; same checks as SetCookieField.
  void AddCookie(std::string_view name, std::string_view value, std::string_view domain, std::string_view path,
                 TDateTime expires, bool secure);
  // Appends one cookie with all its attributes; same checks, SameSite included.
  void AddCookie(TCookie cookie);

  // Status 302 to `url` with a short page pointing there, sent at once.
  void SendRedirect(std::string_view url);
  // Writes the header block (only when the request has a ProtocolVersion)
  // and the content. Does nothing once Sent. Every header line is checked
  // before the first byte is written; a line that would split throws
  // Exception and nothing is written. Write failures are not reported.
  void SendResponse();
  bool Sent() const { return sent_; }

 private:
  std::string HeaderBlock() const;
  void WriteContent();

  const TWebRequest& request_;        // the request answered; ProtocolVersion decides the header block
  int output_fd_;                     // where the response goes
  int status_code_ = 200;
  std::string reason_string_ = "OK";  // phrase of status_code_
  std::string content_type_ = "text/html";
  std::string location_;
  std::string allow_;
  std::string derived_from_;
  std::string title_;
  std::string content_version_;
  std::string content_encoding_;
  std::string www_authenticate_;
  std::vector<std::pair<std::string, std::string>> custom_headers_;  // name, value in insertion order
  TSecurityHeaders security_headers_;                                // which fixed security headers go out
  TDateTime date_ = -1;
  TDateTime expires_ = -1;
  TDateTime last_modified_ = -1;
  std::string content_;
  std::unique_ptr<std::istream> content_stream_;  // written instead of content_ when set
  int64_t content_length_ = 0;                    // announced in Content-Length
  std::vector<TCookie> cookies_;
  bool sent_ = false;
};

// The output for a failure that escaped all request handling: a complete
// status-500 response naming the error class and message, with every
// security header. CR, LF and NUL are dropped from the message in the status
// line; the page body shows the texts HTML-escaped; paths inside the portal
// folder appear relative to it. Write failures are not reported.
void WriteUnhandledFailure(int fd, std::string_view class_name, std::string_view message);

}  // namespace tessaro
