#include "support/cgi_response.h"

#include <cctype>
#include <cstdlib>

namespace tessaro::testing {
namespace {

bool SameTextAscii(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) return false;
  return true;
}

}  // namespace

std::string CgiResponse::Header(const std::string& name) const {
  for (const auto& [n, v] : headers)
    if (SameTextAscii(n, name)) return v;
  return "";
}

std::vector<std::string> CgiResponse::Cookies() const {
  std::vector<std::string> out;
  for (const auto& [n, v] : headers)
    if (SameTextAscii(n, "Set-Cookie")) out.push_back(v);
  return out;
}

CgiResponse ParseCgiResponse(const std::string& raw) {
  CgiResponse r;
  r.raw = raw;
  size_t end = raw.find("\r\n\r\n");
  if (end == std::string::npos) {
    r.body = raw;
    return r;
  }
  r.body = raw.substr(end + 4);
  size_t pos = 0;
  while (pos < end) {
    size_t eol = raw.find("\r\n", pos);
    if (eol == std::string::npos || eol > end) eol = end;
    std::string line = raw.substr(pos, eol - pos);
    pos = eol + 2;
    size_t colon = line.find(':');
    if (colon == std::string::npos) continue;
    std::string name = line.substr(0, colon);
    std::string value = line.substr(colon + 1);
    if (!value.empty() && value[0] == ' ') value.erase(0, 1);
    if (SameTextAscii(name, "Status")) {
      r.status_text = value;
      r.status = std::atoi(value.c_str());
    } else {
      r.headers.emplace_back(name, value);
    }
  }
  return r;
}

}  // namespace tessaro::testing
