// The request side of the CGI interface. Variables are read on demand from
// the environment; the body is read once, at creation, because standard input
// can be read only once; the field lists derived from the query, the body and
// the cookie header are built on first use and cached.
#include "cgi/web_request.h"

#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <limits>

#include "cgi/url_encoding.h"
#include "util/file_io.h"
#include "util/text.h"

namespace tessaro {
namespace {

// The request variables known by name and the environment variable each is
// read from.
struct RequestVariable {
  std::string_view name;
  std::string_view environment_name;
};

constexpr RequestVariable kRequestVariables[] = {
    {"Method", "REQUEST_METHOD"},   {"ProtocolVersion", "SERVER_PROTOCOL"},
    {"Query", "QUERY_STRING"},      {"PathInfo", "PATH_INFO"},
    {"Host", "HTTP_HOST"},          {"Referer", "HTTP_REFERER"},
    {"ContentType", "HTTP_CONTENT_TYPE"}, {"ContentLength", "HTTP_CONTENT_LENGTH"},
    {"RemoteAddr", "REMOTE_ADDR"},  {"ScriptName", "SCRIPT_NAME"},
    {"ServerPort", "SERVER_PORT"},  {"Cookie", "HTTP_COOKIE"},
};

struct MethodName {
  std::string_view name;
  TMethodType type;
};

constexpr MethodName kMethods[] = {
    {"GET", TMethodType::Get}, {"PUT", TMethodType::Put}, {"POST", TMethodType::Post}, {"HEAD", TMethodType::Head}};

constexpr std::string_view kHttpPrefix = "HTTP_";

// An optional sign and decimal digits, nothing else, within int64_t.
int64_t ParseDecimal(std::string_view text) {
  bool negative = false;
  if (!text.empty() && (text[0] == '-' || text[0] == '+')) {
    negative = text[0] == '-';
    text.remove_prefix(1);
  }
  if (text.empty()) return -1;
  uint64_t limit = negative ? uint64_t{1} << 63 : static_cast<uint64_t>(std::numeric_limits<int64_t>::max());
  uint64_t value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return -1;
    unsigned digit = static_cast<unsigned>(c - '0');
    if (value > (limit - digit) / 10) return -1;
    value = value * 10 + digit;
  }
  return negative ? static_cast<int64_t>(0 - value) : static_cast<int64_t>(value);
}

// An upper bound of the fields SplitFields finds in a form body: one more
// than its separators.
size_t CountFormFields(std::string_view body) {
  size_t fields = 1;
  for (size_t at = body.find('&'); at != std::string_view::npos; at = body.find('&', at + 1)) ++fields;
  return fields;
}

// Reads and drops a body of unknown length until its end, at most
// `max_bytes` of it and for at most ten seconds. A server that hands the body
// over a socket (Apache's mod_cgid) loses the whole answer when the program
// exits with body bytes still unread, so the refusal would never arrive.
void DiscardInput(int fd, int64_t max_bytes) {
  if (fd < 0) return;
  using Clock = std::chrono::steady_clock;
  const Clock::time_point deadline = Clock::now() + std::chrono::seconds(10);
  char buffer[65536];
  for (int64_t total = 0; total <= max_bytes;) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    pollfd p{fd, POLLIN, 0};
    if (left <= 0 || poll(&p, 1, static_cast<int>(left)) <= 0) return;
    const ssize_t got = read(fd, buffer, sizeof buffer);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return;
    total += got;
  }
}

}  // namespace

CgiEnvironment CgiEnvironment::FromProcess() {
  return CgiEnvironment{[](const std::string& name) {
    const char* value = std::getenv(name.c_str());
    return std::string(value ? value : "");
  }};
}

CgiEnvironment CgiEnvironment::FromMap(std::map<std::string, std::string> variables) {
  return CgiEnvironment{[variables = std::move(variables)](const std::string& name) {
    auto it = variables.find(name);
    return it == variables.end() ? std::string() : it->second;
  }};
}

TWebRequest::TWebRequest(CgiEnvironment env, int input_fd, int64_t max_body_bytes) : env_(std::move(env)) {
  content_length_ = GetIntegerVariable("ContentLength");
  const std::string method = Method();
  for (const MethodName& m : kMethods)
    if (SameText(method, m.name)) method_type_ = m.type;
  // A malformed length counts as given (and reads nothing); only a missing
  // one leaves the body's end unknown.
  length_required_ = GetFieldByName("HTTP_CONTENT_LENGTH").empty() &&
                     (!GetFieldByName("HTTP_TRANSFER_ENCODING").empty() || method_type_ == TMethodType::Post ||
                      method_type_ == TMethodType::Put);
  ReadBody(input_fd, max_body_bytes);
}

void TWebRequest::ReadBody(int input_fd, int64_t max_body_bytes) {
  if (length_required_) DiscardInput(input_fd, max_body_bytes);
  if (content_length_ <= 0) return;
  if (content_length_ > max_body_bytes) {
    // Refused before a single byte is read: an announced size must not be
    // able to make this process allocate or wait for it.
    content_too_large_ = true;
    return;
  }
  // One buffer of the announced size: growing it while reading would copy
  // the body and hold up to three times its size at once. Pages the input
  // never fills are never touched, so a short body costs only what arrived.
  content_.reserve(static_cast<size_t>(content_length_));
  ReadUpTo(input_fd, static_cast<size_t>(content_length_), content_);
  if (!StartsText("multipart/form-data", ContentType()) && CountFormFields(content_) > kMaxFormFields) {
    content_too_large_ = true;
    std::string().swap(content_);
  }
}

std::string TWebRequest::GetFieldByName(std::string_view name) const {
  std::string value = env_.get(std::string(name));
  if (!value.empty() || !name.starts_with(kHttpPrefix)) return value;
  // Servers pass the body's type and length as CONTENT_TYPE and
  // CONTENT_LENGTH, not under the header names. The other way round is
  // closed: a variable the server sets (PATH_INFO, QUERY_STRING ...) never
  // comes from a client's header of that name, which arrives as HTTP_....
  return env_.get(std::string(name.substr(kHttpPrefix.size())));
}

bool TWebRequest::CameOverHttps() const {
  const std::string https = GetFieldByName("HTTPS");
  return (!https.empty() && !SameText(https, "off")) || SameText(GetFieldByName("REQUEST_SCHEME"), "https") ||
         ServerPort() == 443;
}

std::string TWebRequest::GetStringVariable(std::string_view name) const {
  if (SameText(name, "Content")) return content_;
  for (const RequestVariable& v : kRequestVariables)
    if (SameText(name, v.name)) return GetFieldByName(v.environment_name);
  return GetFieldByName(name);
}

int64_t TWebRequest::GetIntegerVariable(std::string_view name) const {
  return ParseDecimal(GetStringVariable(name));
}

const TStrings& TWebRequest::QueryFields() const {
  if (!query_fields_) {
    TStrings fields;
    SplitFields(Query(), "&", "", true, fields);
    query_fields_ = std::move(fields);
  }
  return *query_fields_;
}

void TWebRequest::ParseContentFields(TStrings& fields, std::vector<TUploadedFile>& files) const {
  if (content_length_ <= 0 || content_too_large_) return;
  const std::string content_type = ContentType();
  if (StartsText("multipart/form-data", content_type))
    ParseMultipartBody(content_, MultipartBoundary(content_type), fields, files);
  else
    SplitFields(content_, "&", "", true, fields);
}

void TWebRequest::ParseContent() const {
  TStrings fields;
  std::vector<TUploadedFile> files;
  ParseContentFields(fields, files);
  content_fields_ = std::move(fields);
  // Files found again when the fields are parsed anew are the same ones;
  // the first list stays, so references to it remain valid.
  if (!files_) files_ = std::move(files);
}

const TStrings& TWebRequest::ContentFields() const {
  if (!content_fields_) ParseContent();
  return *content_fields_;
}

TStrings TWebRequest::TakeContentFields() {
  if (!content_fields_) ParseContent();
  TStrings fields = std::move(*content_fields_);
  content_fields_.reset();
  return fields;
}

const std::vector<TUploadedFile>& TWebRequest::Files() const {
  if (!files_) ParseContent();
  return *files_;
}

TStrings& TWebRequest::CookieFields() {
  if (!cookie_fields_) {
    TStrings fields;
    SplitFields(Cookie(), ";", " ", true, fields);
    cookie_fields_ = std::move(fields);
  }
  return *cookie_fields_;
}

}  // namespace tessaro
