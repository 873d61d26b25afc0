// Reading files that come from outside, and descriptor transfer loops.
//
// Settings files, templates and included files are written by administrators
// and may be damaged or hostile. Everything that opens one goes through
// TInputFile, so that each of them gets the same care: a non-blocking open
// (a FIFO cannot hang a request), regular files only, a size cap on whole-file
// reads, and the same wording of every failure.
#include "util/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "util/exception.h"
#include "util/format.h"

namespace tessaro {
namespace {

// read() repeated while a signal interrupts it.
ssize_t ReadRetrying(int fd, char* buffer, size_t size) {
  for (;;) {
    ssize_t n = read(fd, buffer, size);
    if (n >= 0 || errno != EINTR) return n;
  }
}

// Throws the error for a file TInputFile::OpenOrRefuse refused.
[[noreturn]] void ThrowRefusal(const std::string& name, int refusal, TDirectoryRefusal directories) {
  bool not_regular = refusal == 0 || (refusal == EISDIR && directories == TDirectoryRefusal::NotRegular);
  throw Exception(
      Format("Cannot open file \"%s\". %s", {name, not_regular ? "Not a regular file" : std::strerror(refusal)}));
}

[[noreturn]] void ThrowTooLarge(const std::string& name) {
  throw Exception(Format("File \"%s\" is too large", {name}));
}

}  // namespace

// ---------------------------------------------------------------------------
// TFileDescriptor

TFileDescriptor::~TFileDescriptor() {
  if (fd_ >= 0) close(fd_);
}

TFileDescriptor& TFileDescriptor::operator=(TFileDescriptor&& other) noexcept {
  if (this != &other) {
    if (fd_ >= 0) close(fd_);
    fd_ = other.fd_;
    other.fd_ = -1;
  }
  return *this;
}

int TFileDescriptor::Close() {
  int result = close(fd_);
  fd_ = -1;
  return result;
}

// ---------------------------------------------------------------------------
// Transfer loops

size_t ReadUpTo(int fd, size_t count, std::string& out) {
  // Reading through a fixed buffer keeps memory in step with the bytes that
  // really arrive: a request may announce far more than it sends.
  char buffer[65536];
  size_t total = 0;
  while (total < count) {
    size_t want = count - total < sizeof buffer ? count - total : sizeof buffer;
    ssize_t got = ReadRetrying(fd, buffer, want);
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

// ---------------------------------------------------------------------------
// TInputFile

std::optional<TInputFile> TInputFile::OpenOrRefuse(const std::string& name, int& refusal) {
  TFileDescriptor fd(open(name.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
  struct stat st;
  if (fd.get() < 0 || fstat(fd.get(), &st) != 0) {
    refusal = errno;
    return std::nullopt;
  }
  if (!S_ISREG(st.st_mode)) {
    refusal = S_ISDIR(st.st_mode) ? EISDIR : 0;
    return std::nullopt;
  }
  return TInputFile(name, std::move(fd), static_cast<uint64_t>(st.st_size), st.st_mode);
}

TInputFile TInputFile::Open(const std::string& name, TDirectoryRefusal directories) {
  int refusal = 0;
  std::optional<TInputFile> file = OpenOrRefuse(name, refusal);
  if (!file) ThrowRefusal(name, refusal, directories);
  return std::move(*file);
}

std::optional<TInputFile> TInputFile::OpenIfExists(const std::string& name) {
  int refusal = 0;
  std::optional<TInputFile> file = OpenOrRefuse(name, refusal);
  if (!file && refusal != ENOENT && refusal != ENOTDIR) ThrowRefusal(name, refusal, TDirectoryRefusal::NotRegular);
  return file;
}

std::optional<TInputFile> TInputFile::TryOpen(const std::string& name) {
  int refusal = 0;
  return OpenOrRefuse(name, refusal);
}

size_t TInputFile::Read(char* buffer, size_t size) {
  ssize_t n = ReadRetrying(fd_.get(), buffer, size);
  if (n < 0) throw Exception(Format("Cannot read file \"%s\". %s", {name_, std::strerror(errno)}));
  return static_cast<size_t>(n);
}

std::string TInputFile::ReadAll(size_t max_bytes) {
  if (size_ > max_bytes) ThrowTooLarge(name_);
  std::string text;
  char buffer[65536];
  while (size_t n = Read(buffer, sizeof buffer)) {
    if (text.size() + n > max_bytes) ThrowTooLarge(name_);  // grew while being read
    text.append(buffer, n);
  }
  return text;
}

}  // namespace tessaro
