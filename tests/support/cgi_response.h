// The bytes a CGI program writes, split into status, headers and body.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace tessaro::testing {

struct CgiResponse {
  int exit_code = -1;
  std::string raw;                                           // everything written to standard output
  std::string stderr_text;                                   // everything written to standard error
  int status = 0;                                            // code of the "Status:" line
  std::string status_text;                                   // the whole status text after "Status: "
  std::vector<std::pair<std::string, std::string>> headers;  // in order, without the status line
  std::string body;
  long max_rss_kb = 0;  // peak resident memory of a whole-program run, in KiB

  // First header of this name (case-insensitive), or empty.
  std::string Header(const std::string& name) const;
  // Every Set-Cookie value in order.
  std::vector<std::string> Cookies() const;
};

// Splits the bytes of a CGI response into status, headers and body.
CgiResponse ParseCgiResponse(const std::string& raw);

}  // namespace tessaro::testing
