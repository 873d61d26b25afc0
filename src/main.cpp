// tessaro.cgi: the web server starts it once per request; it answers the
// request on standard output and exits.
#include <csignal>

#include "web/cgi_application.h"

int main() {
  // A web server that closes the connection early must not kill the process
  // mid-write: a failed write is simply not reported.
  std::signal(SIGPIPE, SIG_IGN);
  return tessaro::RunCgiRequest(tessaro::CgiEnvironment::FromProcess(), 0, 1);
}
