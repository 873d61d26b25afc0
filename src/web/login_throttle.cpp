// Failed-login counts in QMXDATA/loginfail.dat.
//
// The file has a fixed size whatever visitors send, a header and a table of
// fixed slots:
//
//   offset  size        content
//   0       8           "TSLFAIL1" (format and version)
//   8       16          salt: random bytes chosen when the file is made
//   24      4096 x 24   slots: key hash (8), window start (8), failures (4), 0 (4)
//
// A key ("u:" + user name, "a:" + client address) is hashed with the salt
// (FNV-1a, 64 bits), so visitors cannot aim names at one slot. Its slot is
// looked for among kProbe slots from hash modulo the slot count; a new key
// takes a free or outdated slot there, else the one whose window is oldest.
// So a flood of new names can push out old counts (each attempt still counts
// for its own address), but the file never grows.
//
// A file of the wrong size or header (damaged, or from another program) is
// started afresh. The file is opened with O_NOFOLLOW and must be a regular
// file; a lock held with flock serialises the attempts of all processes.
#include "web/login_throttle.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "util/crypto.h"
#include "util/data_folder.h"
#include "util/guid.h"

namespace tessaro {
namespace {

constexpr char kMagic[] = "TSLFAIL1";
constexpr size_t kMagicSize = 8;
constexpr size_t kSaltSize = 16;
constexpr size_t kHeaderSize = kMagicSize + kSaltSize;
constexpr size_t kSlotCount = 4096;
constexpr size_t kProbe = 8;
static_assert(sizeof(TLoginThrottle::Slot) == 24);
constexpr size_t kTableBytes = kSlotCount * sizeof(TLoginThrottle::Slot);

uint64_t KeyHash(std::string_view salt, std::string_view key) {
  uint64_t h = 14695981039346656037ull;
  auto mix = [&h](std::string_view bytes) {
    for (unsigned char c : bytes) h = (h ^ c) * 1099511628211ull;
  };
  mix(salt);
  mix(key);
  return h == 0 ? 1 : h;
}

bool ReadAll(int fd, void* buffer, size_t size, off_t offset) {
  auto* p = static_cast<char*>(buffer);
  while (size > 0) {
    const ssize_t n = pread(fd, p, size, offset);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    p += n, size -= static_cast<size_t>(n), offset += n;
  }
  return true;
}

bool WriteAll(int fd, const void* buffer, size_t size, off_t offset) {
  const auto* p = static_cast<const char*>(buffer);
  while (size > 0) {
    const ssize_t n = pwrite(fd, p, size, offset);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    p += n, size -= static_cast<size_t>(n), offset += n;
  }
  return true;
}

}  // namespace

std::string LoginFailureFile() {
  // The folder is made here if need be; when that fails, opening the file
  // fails and says so.
  EnsureDataFolder();
  return DataFolder() + "loginfail.dat";
}

std::string ClientAddressKey(std::string_view remote_addr) {
  const std::string addr(remote_addr);
  in6_addr v6;
  if (addr.find(':') == std::string::npos || inet_pton(AF_INET6, addr.c_str(), &v6) != 1 ||
      IN6_IS_ADDR_V4MAPPED(&v6))
    return addr;
  return HexText(std::string_view(reinterpret_cast<const char*>(v6.s6_addr), 8)) + "/64";
}

TLoginThrottle::TLoginThrottle(const std::string& path, std::string_view username, std::string_view remote_addr,
                               int64_t now)
    : now_(now) {
  // O_NONBLOCK: a FIFO planted in place of the file must not stall the open.
  const int fd = open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK, 0600);
  if (fd < 0) {
    problem_ = "cannot open " + path + ": " + std::strerror(errno);
    return;
  }
  struct stat st;
  int locked = -1;
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    problem_ = path + " is not a regular file";
  } else {
    while ((locked = flock(fd, LOCK_EX)) != 0 && errno == EINTR) {
    }
    if (locked != 0) problem_ = "cannot lock " + path + ": " + std::strerror(errno);
  }
  if (locked != 0) {
    close(fd);
    return;
  }
  try {
    fd_ = fd;
    Load();
  } catch (...) {
    close(fd);
    fd_ = -1;
    throw;
  }
  const std::string_view salt = std::string_view(header_).substr(kMagicSize);
  name_hash_ = KeyHash(salt, "u:" + std::string(username));
  address_hash_ = KeyHash(salt, "a:" + ClientAddressKey(remote_addr));
}

TLoginThrottle::~TLoginThrottle() {
  if (fd_ < 0) return;
  if (changed_) {
    // A failed write leaves a file of the wrong size or header, which the
    // next attempt starts afresh.
    const bool written = WriteAll(fd_, header_.data(), kHeaderSize, 0) &&
                         WriteAll(fd_, slots_.data(), kTableBytes, kHeaderSize) &&
                         ftruncate(fd_, kHeaderSize + kTableBytes) == 0;
    static_cast<void>(written);
  }
  close(fd_);  // releases the lock
}

void TLoginThrottle::Load() {
  slots_.assign(kSlotCount, Slot{});
  header_.assign(kHeaderSize, '\0');
  struct stat st;
  if (fstat(fd_, &st) == 0 && static_cast<size_t>(st.st_size) == kHeaderSize + kTableBytes &&
      ReadAll(fd_, header_.data(), kHeaderSize, 0) && header_.compare(0, kMagicSize, kMagic) == 0 &&
      ReadAll(fd_, slots_.data(), kTableBytes, kHeaderSize))
    return;
  // Missing, damaged or foreign: a new empty table with a new salt.
  slots_.assign(kSlotCount, Slot{});
  header_ = std::string(kMagic, kMagicSize) + RandomBytes(kSaltSize);
  changed_ = true;
}

bool TLoginThrottle::Expired(const Slot& slot) const {
  return now_ - slot.window_start >= kLoginFailureWindow || slot.window_start > now_;
}

size_t TLoginThrottle::Find(uint64_t hash) const {
  for (size_t k = 0; k < kProbe; ++k) {
    const size_t index = (hash + k) % kSlotCount;
    if (slots_[index].hash == hash) return index;
  }
  return kSlotCount;
}

TLoginThrottle::Slot& TLoginThrottle::Take(uint64_t hash) {
  if (size_t found = Find(hash); found < kSlotCount) return slots_[found];
  Slot* chosen = nullptr;
  for (size_t k = 0; k < kProbe; ++k) {
    Slot& slot = slots_[(hash + k) % kSlotCount];
    if (slot.hash == 0 || Expired(slot)) {
      chosen = &slot;
      break;
    }
    if (chosen == nullptr || slot.window_start < chosen->window_start) chosen = &slot;
  }
  *chosen = Slot{hash, now_, 0, 0};
  return *chosen;
}

bool TLoginThrottle::Refused() const {
  if (fd_ < 0) return false;
  for (uint64_t hash : {name_hash_, address_hash_}) {
    const size_t index = Find(hash);
    if (index < kSlotCount && !Expired(slots_[index]) && slots_[index].failures >= kMaxLoginFailures) return true;
  }
  return false;
}

void TLoginThrottle::RecordFailure() {
  if (fd_ < 0) return;
  for (uint64_t hash : {name_hash_, address_hash_}) {
    Slot& slot = Take(hash);
    if (Expired(slot)) slot = Slot{hash, now_, 0, 0};
    if (slot.failures < kMaxLoginFailures) ++slot.failures;
  }
  changed_ = true;
}

void TLoginThrottle::RecordSuccess() {
  if (fd_ < 0) return;
  if (size_t index = Find(name_hash_); index < kSlotCount) {
    slots_[index] = Slot{};
    changed_ = true;
  }
}

}  // namespace tessaro
