// The processor-time ceiling of a request. The process serves one request
// and exits, so the ceiling is the process's own RLIMIT_CPU: a request that
// keeps the processor busy (a hostile body, a runaway page) is ended by the
// kernel instead of outliving the client that sent it.
#pragma once

namespace tessaro {

// Seconds of processor time a request may use unless the options say otherwise.
inline constexpr int kDefaultCpuTimeLimitSeconds = 30;
// Seconds between the soft limit (SIGXCPU) and the hard one (SIGKILL).
inline constexpr int kCpuTimeLimitGraceSeconds = 5;

// Called first thing in the CGI program: sets the default ceiling, so that
// even reading and parsing the request are bounded, and lets later
// ApplyCpuTimeLimit calls take effect. SIGXCPU gets its default action
// (the process ends) even when the web server left it ignored.
void StartCpuTimeLimit();

// The administrator's ceiling from the options, in seconds; 0 lifts the
// process's own ceiling. Does nothing in a process that did not call
// StartCpuTimeLimit (tests and tools load options too).
void ApplyCpuTimeLimit(int seconds);

}  // namespace tessaro
