// Byte transfer over the file descriptors a CGI process talks through: the
// request body on one, the response on the other. Both loops survive signals
// (EINTR) and short transfers, which pipes from a web server produce freely.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace tessaro {

// Appends up to `count` bytes read from `fd` to `out`, repeating short reads
// until `count` bytes have arrived, a read returns 0 (end of input) or fails.
// Never reads beyond `count`. Returns the number of bytes appended.
size_t ReadUpTo(int fd, size_t count, std::string& out);

// Writes all of `data` to `fd`, repeating short writes. Returns false when a
// write failed; what was written before the failure stays written.
bool WriteAll(int fd, std::string_view data);

}  // namespace tessaro
