// Whole-program test harness: a temporary deployment folder with the built
// tessaro.cgi linked into it, a way to run it with a CGI environment and a body
// on standard input, and a parser for the response it writes.
#pragma once

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "support/cgi_response.h"

namespace tessaro::testing {

class Deployment {
 public:
  // Creates a fresh folder under the system's temporary folder and links the
  // built executable into it as tessaro.cgi.
  Deployment();
  ~Deployment();
  Deployment(const Deployment&) = delete;
  Deployment& operator=(const Deployment&) = delete;

  const std::string& Dir() const { return dir_; }
  std::string CgiPath() const { return dir_ + "/tessaro.cgi"; }
  // Writes a file below the folder (creating sub-folders).
  void WriteFile(const std::string& relative_path, const std::string& content) const;

  // Runs the CGI with exactly these environment variables (plus QMXDATA
  // pointing into the folder unless given) and `body` on standard input.
  CgiResponse Run(std::map<std::string, std::string> env, const std::string& body = "") const;
  // A GET request for `path_info` with `query`.
  CgiResponse Get(const std::string& path_info, const std::string& query = "",
                  std::map<std::string, std::string> extra_env = {}) const;
  // A POST request with a form body.
  CgiResponse Post(const std::string& path_info, const std::string& body,
                   const std::string& content_type = "application/x-www-form-urlencoded",
                   std::map<std::string, std::string> extra_env = {}) const;

 private:
  std::string dir_;  // the deployment folder
};

// Path of the built tessaro.cgi.
std::string BuiltCgiPath();

}  // namespace tessaro::testing
