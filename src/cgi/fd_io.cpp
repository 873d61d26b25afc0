// Transfer loops for the CGI process's standard input and output.
#include "cgi/fd_io.h"

#include <cerrno>
#include <unistd.h>

namespace tessaro {

size_t ReadUpTo(int fd, size_t count, std::string& out) {
  // Reading through a fixed buffer keeps memory in step with the bytes that
  // really arrive: a request may announce far more than it sends.
  char buffer[65536];
  size_t total = 0;
  while (total < count) {
    size_t want = count - total < sizeof buffer ? count - total : sizeof buffer;
    ssize_t got = read(fd, buffer, want);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) break;
    out.append(buffer, static_cast<size_t>(got));
    total += static_cast<size_t>(got);
  }
  return total;
}

bool WriteAll(int fd, std::string_view data) {
  while (!data.empty()) {
    ssize_t put = write(fd, data.data(), data.size());
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) return false;
    data.remove_prefix(static_cast<size_t>(put));
  }
  return true;
}

}  // namespace tessaro
