// tessaro.cgi: the web server starts it once per request; it answers the
// request on standard output and exits.
#include "web/cgi_application.h"

int main() { return tessaro::RunCgiRequest(tessaro::CgiEnvironment::FromProcess(), 0, 1); }
