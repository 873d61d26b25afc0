// tessaro.cgi: the web server starts it once per request; it answers the
// request on standard output and exits.
#include <csignal>

#include "util/module_path.h"
#include "web/cgi_application.h"
#include "web/cpu_time_limit.h"

int main(int argc, char** argv) {
  // Before anything reads the request: no request may hold the processor
  // longer than the ceiling, not even while it is being parsed.
  tessaro::StartCpuTimeLimit();
  // The folder of the path the program was started as is the portal's home,
  // so one installed binary can serve several portal folders through links.
  tessaro::SetModuleFileName(argc > 0 && argv[0] ? argv[0] : "");
  // A web server that closes the connection early must not kill the process
  // mid-write: a failed write is simply not reported.
  std::signal(SIGPIPE, SIG_IGN);
  return tessaro::RunCgiRequest(tessaro::CgiEnvironment::FromProcess(), 0, 1);
}
