// The life of the process: one request read, dispatched and answered.
#pragma once

#include "cgi/web_request.h"

namespace tessaro {

// Environment variable naming the largest request body accepted, in bytes.
inline constexpr const char* kMaxBodyVariable = "TESSARO_MAX_BODY_BYTES";

// Creates the request (reading the body from `input_fd`), the response
// (written to `output_fd`) and the portal's module, dispatches, sends the
// response and frees everything. A failure that escapes the module's own
// handling is written as the last-resort status-500 page. Returns the
// process exit code.
int RunCgiRequest(const CgiEnvironment& env, int input_fd, int output_fd);

}  // namespace tessaro
