// The portal's addresses. The host comes from the request's Host header, the
// port from the server unless the options fix the plain and SSL ports, so the
// same portal works behind a proxy that terminates TLS.
#include "context/request_urls.h"

#include <vector>

#include "cgi/web_request.h"
#include "settings/web_app_options.h"
#include "util/module_path.h"
#include "util/text.h"

namespace tessaro {

std::string BaseURL(const TWebRequest& request, const TWebAppOptions& options, std::string_view protocol,
                    bool without_script) {
  if (!options.script_base_url.empty()) return SameText(options.script_base_url, "none") ? "" : options.script_base_url;
  int64_t port = request.ServerPort();
  if (options.Port != 0 && options.SSLPort != 0 && options.Port != options.SSLPort && !protocol.empty()) {
    port = SameText(protocol, "https") ? options.SSLPort : options.Port;
    if (port == 0) port = request.ServerPort();
  }
  const std::string host = request.Host();
  // With no HTTPS port configured, the request's own port is the HTTPS port
  // when it came over HTTPS (a server with TLS, or a proxy that says so).
  const bool ssl = options.SSLPort == 0 ? request.CameOverHttps() : port == options.SSLPort;
  std::string url = (ssl ? "https://" : "http://") + host;
  if (port != (ssl ? 443 : 80) && host.find(':') == std::string::npos) url += ":" + std::to_string(port);
  if (!without_script) url += request.ScriptName();
  return url;
}

namespace {

// The server hands over the path info decoded; in an address every byte that
// would end the path or change its meaning (?, #, %, blanks, quotes, control
// and non-ASCII bytes ...) is percent-encoded again. Letters, digits, "/" and
// the characters a path may hold literally are kept.
std::string EncodePathForURL(std::string_view path) {
  static constexpr std::string_view kKept = "-._~!$&'()*+,;=:@/";
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(path.size());
  for (char c : path) {
    const unsigned char u = static_cast<unsigned char>(c);
    const bool alnum = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
    if (alnum || kKept.find(c) != std::string_view::npos) {
      out += c;
    } else {
      out += '%';
      out += kHex[u >> 4];
      out += kHex[u & 0x0F];
    }
  }
  return out;
}

}  // namespace

std::string PageURL(const TWebRequest& request, const TWebAppOptions& options) {
  return BaseURL(request, options, "", false) + EncodePathForURL(request.PathInfo());
}

std::string CurrentURL(const TWebRequest& request, const TWebAppOptions& options) {
  std::string url = PageURL(request, options);
  std::string query = StripSystemFields(request.Query());
  if (!query.empty()) url += "?" + query;
  return url;
}

std::string StripQueryFields(std::string_view query, std::string_view names) {
  if (query.empty()) return "";
  std::vector<std::string> fields;
  for (size_t start = 0;;) {
    size_t amp = query.find('&', start);
    fields.emplace_back(query.substr(start, amp == std::string_view::npos ? std::string_view::npos : amp - start));
    if (amp == std::string_view::npos) break;
    start = amp + 1;
  }
  for (size_t start = 0; start <= names.size();) {
    size_t comma = names.find(',', start);
    std::string_view name =
        names.substr(start, comma == std::string_view::npos ? std::string_view::npos : comma - start);
    for (auto it = fields.begin(); it != fields.end(); ++it) {
      size_t eq = it->find('=');
      if (eq != std::string::npos && SameText(std::string_view(*it).substr(0, eq), name)) {
        fields.erase(it);
        break;
      }
    }
    if (comma == std::string_view::npos) break;
    start = comma + 1;
  }
  std::string out;
  for (size_t i = 0; i < fields.size(); ++i) {
    if (i) out += '&';
    out += fields[i];
  }
  return out;
}

std::string StripSystemFields(std::string_view query) {
  return StripQueryFields(query, "logout,actionresult,locationreferer");
}

std::string ResolveTemplatePath(const TWebAppOptions& options, std::string_view name) {
  std::string path = NormalizePathSeparators(name);
  auto absolute = [](const std::string& p) { return !p.empty() && p[0] == '/'; };
  if (!absolute(path)) path = IncludeBackslash(NormalizePathSeparators(options.path_to_templates)) + path;
  if (!absolute(path)) path = ModuleDir() + path;
  return path;
}

}  // namespace tessaro
