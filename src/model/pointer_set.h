// TPointerSet: a set of addresses in one flat table (open addressing with
// linear probing), for membership tests on long element lists. Unlike a
// node-based set it allocates nothing per member, so filling and freeing the
// sets of a model's master lists stays cheap.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace tessaro {

class TPointerSet {
 public:
  // Whether `p` is in the set.
  bool Contains(const void* p) const;
  // Adds `p`; false when it was there already. REQUIRES: p is not null.
  bool Insert(const void* p);
  // Removes `p`; false when it was not there.
  bool Erase(const void* p);
  size_t Size() const { return size_; }
  void Clear();

 private:
  // A slot that held a removed member; probing continues past it.
  static const void* Removed() { return reinterpret_cast<const void*>(uintptr_t{1}); }
  // The slot holding `p`, or the free slot where the probe for `p` ends.
  size_t Probe(const void* p) const;
  void Grow();

  std::vector<const void*> slots_;  // null = free, Removed() = removed, else a member; size a power of two
  size_t size_ = 0;                 // members
  size_t used_ = 0;                 // slots not free (members and removed ones)
};

}  // namespace tessaro
