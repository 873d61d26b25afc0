// Processor-time ceiling: the soft limit raises SIGXCPU, whose default action
// ends the process; the hard limit a few seconds above it ends the process
// with SIGKILL should SIGXCPU be caught or blocked on the way. The hard limit
// is only ever lowered once, when the options give the final value, because
// an unprivileged process cannot raise it again.
#include "web/cpu_time_limit.h"

#include <sys/resource.h>

#include <csignal>

namespace tessaro {
namespace {

bool g_started = false;  // StartCpuTimeLimit ran in this process

// `seconds` capped by what the hard limit allows.
rlim_t WithinHard(rlim_t seconds, const rlimit& current) {
  return current.rlim_max != RLIM_INFINITY && seconds > current.rlim_max ? current.rlim_max : seconds;
}

}  // namespace

void StartCpuTimeLimit() {
  g_started = true;
  std::signal(SIGXCPU, SIG_DFL);
  rlimit limit{};
  if (getrlimit(RLIMIT_CPU, &limit) != 0) return;
  limit.rlim_cur = WithinHard(kDefaultCpuTimeLimitSeconds, limit);
  setrlimit(RLIMIT_CPU, &limit);
}

void ApplyCpuTimeLimit(int seconds) {
  if (!g_started) return;
  rlimit limit{};
  if (getrlimit(RLIMIT_CPU, &limit) != 0) return;
  if (seconds <= 0) {
    limit.rlim_cur = limit.rlim_max;
  } else {
    limit.rlim_cur = WithinHard(static_cast<rlim_t>(seconds), limit);
    limit.rlim_max = WithinHard(limit.rlim_cur + kCpuTimeLimitGraceSeconds, limit);
  }
  setrlimit(RLIMIT_CPU, &limit);
}

}  // namespace tessaro
