// The limit on password guessing: failed logins are counted per user name
// and per client address in a small file shared by all processes, and once
// a name or an address has kMaxLoginFailures failures within
// kLoginFailureWindow seconds of its first one, further attempts are refused
// without looking at the password until that window ends.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tessaro {

constexpr uint32_t kMaxLoginFailures = 10;
constexpr int64_t kLoginFailureWindow = 15 * 60;

// The file of the counts in the data folder, which is created if missing.
std::string LoginFailureFile();

// The counting key of a client address: the address itself, for IPv6 its
// /64 network (one subscriber usually holds a whole /64).
std::string ClientAddressKey(std::string_view remote_addr);

// One login attempt's view of the counts of a user name and a client
// address. The constructor opens the file (creating it, never through a
// symbolic link) and holds an exclusive lock on it until destruction, so
// that checking the password and recording the result is one step for all
// processes. When the file cannot be used the throttle is inactive: nothing
// is refused or recorded, and Problem() says why (a broken limit must not
// lock everybody out).
class TLoginThrottle {
 public:
  TLoginThrottle(const std::string& path, std::string_view username, std::string_view remote_addr, int64_t now);
  ~TLoginThrottle();
  TLoginThrottle(const TLoginThrottle&) = delete;
  TLoginThrottle& operator=(const TLoginThrottle&) = delete;

  bool Active() const { return fd_ >= 0; }
  const std::string& Problem() const { return problem_; }

  // True when the name or the address has kMaxLoginFailures failures in its
  // current window.
  bool Refused() const;
  // Counts one failure for the name and for the address; a count whose
  // window has ended starts a new one.
  void RecordFailure();
  // Forgets the name's failures: its password is known. The address keeps
  // its count, so that logging in to an account of one's own between
  // guesses at others buys no further guesses.
  void RecordSuccess();

  struct Slot {
    uint64_t hash;         // keyed hash of the key; 0 for a free slot
    int64_t window_start;  // Unix seconds of the window's first failure
    uint32_t failures;     // failures in that window
    uint32_t unused;       // keeps the record 24 bytes
  };

 private:
  void Load();
  // The index of the key's slot; the slot count when it has none.
  size_t Find(uint64_t hash) const;
  Slot& Take(uint64_t hash);
  bool Expired(const Slot& slot) const;

  int fd_ = -1;                   // the locked file; -1 when inactive
  std::string problem_;           // why the throttle is inactive
  uint64_t name_hash_ = 0;        // of "u:" + user name
  uint64_t address_hash_ = 0;     // of "a:" + client address key
  int64_t now_;                   // the attempt's time
  std::string header_;            // the file's header as read or made
  std::vector<Slot> slots_;       // the whole table
  bool changed_ = false;          // slots_ must be written back
};

}  // namespace tessaro
