// Files and descriptors: an owned descriptor, the careful opening of files
// that come from outside (settings, templates, includes), and transfer loops
// that survive signals (EINTR) and short reads and writes.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace tessaro {

// An open file descriptor, closed when the object goes away; -1 when empty.
class TFileDescriptor {
 public:
  TFileDescriptor() = default;
  explicit TFileDescriptor(int fd) : fd_(fd) {}
  ~TFileDescriptor();
  TFileDescriptor(TFileDescriptor&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }
  TFileDescriptor& operator=(TFileDescriptor&& other) noexcept;
  TFileDescriptor(const TFileDescriptor&) = delete;
  TFileDescriptor& operator=(const TFileDescriptor&) = delete;

  int get() const { return fd_; }
  // Closes now and leaves the object empty. Returns close()'s result, which
  // is where an error of a delayed write may only show (errno tells which).
  int Close();

 private:
  int fd_ = -1;  // the open descriptor, or -1
};

// Appends up to `count` bytes read from `fd` to `out`, repeating short reads
// until `count` bytes have arrived, a read returns 0 (end of input) or fails.
// Never reads beyond `count`. Returns the number of bytes appended.
size_t ReadUpTo(int fd, size_t count, std::string& out);

// Writes all of `data` to `fd`, repeating short writes. Returns false when a
// write failed (errno tells why); what was written before stays written.
bool WriteAll(int fd, std::string_view data);

// How a directory is refused: as "Not a regular file" like a FIFO or a
// device, or with the system's own "Is a directory".
enum class TDirectoryRefusal { NotRegular, IsADirectory };

// A regular file open for reading. Opening never blocks, so a FIFO planted
// under the name cannot hang the process, and anything but a regular file is
// refused. Errors name the file: "Cannot open file "<name>". <reason>" (the
// system's error text or the refusal), "Cannot read file "<name>". <reason>"
// and "File "<name>" is too large".
class TInputFile {
 public:
  // Opens `name`; throws Exception when that fails or it is not a regular file.
  static TInputFile Open(const std::string& name, TDirectoryRefusal directories = TDirectoryRefusal::NotRegular);
  // As Open, but nothing when the name names nothing (no such file, or a part
  // of its folder path is not a folder).
  static std::optional<TInputFile> OpenIfExists(const std::string& name);
  // As Open, but nothing when there is no regular file to read there, for
  // whatever reason.
  static std::optional<TInputFile> TryOpen(const std::string& name);

  const std::string& Name() const { return name_; }
  // The size and mode the file had when it was opened.
  uint64_t SizeAtOpen() const { return size_; }
  mode_t Mode() const { return mode_; }

  // Reads up to `size` bytes into `buffer`; returns how many, 0 at the end.
  // Throws Exception when the read fails.
  size_t Read(char* buffer, size_t size);
  // The rest of the file. Throws Exception when it is larger than
  // `max_bytes`, or grows past it while being read, or a read fails.
  std::string ReadAll(size_t max_bytes);

 private:
  TInputFile(std::string name, TFileDescriptor fd, uint64_t size, mode_t mode)
      : name_(std::move(name)), fd_(std::move(fd)), size_(size), mode_(mode) {}
  // The file, or nothing and in `refusal` why: an errno value (EISDIR for a
  // directory) or 0 for another kind of file that is not regular.
  static std::optional<TInputFile> OpenOrRefuse(const std::string& name, int& refusal);

  std::string name_;    // the name it was opened by, for messages
  TFileDescriptor fd_;  // open read-only
  uint64_t size_;       // st_size at open
  mode_t mode_;         // st_mode at open
};

}  // namespace tessaro
