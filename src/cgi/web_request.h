// TWebRequest: the HTTP request as the web server hands it to this CGI
// process, in environment variables and on standard input.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cgi/multipart.h"
#include "util/string_list.h"

namespace tessaro {

// Where the request's variables come from: the process environment in
// production, a fixed map in tests. `get` returns "" for an unset name.
struct CgiEnvironment {
  std::function<std::string(const std::string&)> get;

  static CgiEnvironment FromProcess();
  static CgiEnvironment FromMap(std::map<std::string, std::string> variables);
};

// The request method as the action table filters on it.
enum class TMethodType { Any, Get, Put, Post, Head };

class TWebRequest {
 public:
  static constexpr int64_t kDefaultMaxBodyBytes = int64_t{64} << 20;
  // The most fields a form body may hold. Each field costs a few dozen bytes
  // beyond its text, so a body of tiny fields ("a&a&a...") would otherwise
  // take many times its own size in memory. Multipart bodies have their own,
  // smaller limit of parts.
  static constexpr size_t kMaxFormFields = 250000;

  // Reads ContentLength and, when it is 1 to `max_body_bytes`, that many body
  // bytes from `input_fd` (fewer if the input ends first). A larger body is
  // not read at all and ContentTooLarge() becomes true. The fd is not closed.
  // A form body (not multipart) of more than kMaxFormFields fields is
  // dropped after reading and counts as too large as well.
  TWebRequest(CgiEnvironment env, int input_fd, int64_t max_body_bytes = kDefaultMaxBodyBytes);

  // The environment variable `name`; when it is empty, a name starting with
  // "HTTP_" is retried without that prefix. Other names are read as they are.
  std::string GetFieldByName(std::string_view name) const;
  // A request variable by its name ("Method", "Host", "ContentLength",
  // "Content" ...; case-insensitive); any other name is read as an
  // environment variable with GetFieldByName.
  std::string GetStringVariable(std::string_view name) const;
  // The decimal value of GetStringVariable(name); -1 when missing or malformed.
  int64_t GetIntegerVariable(std::string_view name) const;

  std::string Method() const { return GetFieldByName("REQUEST_METHOD"); }
  std::string ProtocolVersion() const { return GetFieldByName("SERVER_PROTOCOL"); }
  std::string Query() const { return GetFieldByName("QUERY_STRING"); }
  std::string PathInfo() const { return GetFieldByName("PATH_INFO"); }
  std::string Host() const { return GetFieldByName("HTTP_HOST"); }
  std::string Referer() const { return GetFieldByName("HTTP_REFERER"); }
  std::string ContentType() const { return GetFieldByName("HTTP_CONTENT_TYPE"); }
  std::string RemoteAddr() const { return GetFieldByName("REMOTE_ADDR"); }
  std::string ScriptName() const { return GetFieldByName("SCRIPT_NAME"); }
  std::string Cookie() const { return GetFieldByName("HTTP_COOKIE"); }
  int64_t ServerPort() const { return GetIntegerVariable("ServerPort"); }
  // True when the request came over HTTPS: the server's HTTPS variable is set
  // and not "off", REQUEST_SCHEME is "https", or the server port is 443.
  bool CameOverHttps() const;
  // Fixed at creation.
  int64_t ContentLength() const { return content_length_; }
  TMethodType MethodType() const { return method_type_; }

  // The raw body: the bytes that arrived, at most ContentLength.
  const std::string& Content() const { return content_; }
  // True when ContentLength exceeded the limit (no body was read) or a form
  // body held too many fields (it was dropped).
  bool ContentTooLarge() const { return content_too_large_; }
  // True when the request announces a body without its length: a
  // Transfer-Encoding (a chunked body that the server passed on unbuffered),
  // or a POST or PUT, with no CONTENT_LENGTH. Such a body is read up to its
  // end (bounded in size and time) and dropped; the gate refuses the request.
  bool LengthRequired() const { return length_required_; }

  // The derived field lists, built on first use and kept for the rest of the
  // request. A malformed percent escape throws Exception on every access until
  // the list has been built.
  const TStrings& QueryFields() const;
  const TStrings& ContentFields() const;
  // ContentFields handed over to the caller, who becomes their only holder, so
  // that a large body's fields are not kept twice; a later ContentFields parses
  // the body again. Throws as ContentFields does.
  TStrings TakeContentFields();
  // Writable: the web module puts cookie values of its own here.
  TStrings& CookieFields();
  // Files uploaded in a multipart body, in body order.
  const std::vector<TUploadedFile>& Files() const;

  // The request fields as the request contexts read them (decoded and merged
  // by the context layer): built by the first context of the request and
  // shared by the later ones, so a large body is decoded once. Null until set.
  const std::shared_ptr<const TStrings>& SharedRequestFields() const { return shared_request_fields_; }
  void SetSharedRequestFields(std::shared_ptr<const TStrings> fields) { shared_request_fields_ = std::move(fields); }

 private:
  void ReadBody(int input_fd, int64_t max_body_bytes);
  void ParseContent() const;
  void ParseContentFields(TStrings& fields, std::vector<TUploadedFile>& files) const;

  CgiEnvironment env_;                // source of the CGI variables
  int64_t content_length_ = -1;       // ContentLength as read at creation
  TMethodType method_type_ = TMethodType::Any;
  bool content_too_large_ = false;    // body refused: its announced size or its number of fields
  bool length_required_ = false;      // a body of unknown length: drained, dropped, refused
  std::string content_;               // body bytes read
  mutable std::optional<TStrings> query_fields_;    // cached QueryFields
  mutable std::optional<TStrings> content_fields_;  // cached ContentFields
  mutable std::optional<std::vector<TUploadedFile>> files_;  // cached Files
  std::optional<TStrings> cookie_fields_;           // cached CookieFields
  std::shared_ptr<const TStrings> shared_request_fields_;  // see SharedRequestFields
};

}  // namespace tessaro
