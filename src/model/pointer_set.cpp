// A flat set of addresses. The table doubles when more than half its slots
// are in use, so probes stay short; removed members leave a marker that
// keeps later probes going and are dropped at the next rehash.
#include "model/pointer_set.h"

namespace tessaro {
namespace {

size_t HashOf(const void* p) {
  // Fibonacci hashing of the address; the low bits of an address vary least.
  return static_cast<size_t>((reinterpret_cast<uintptr_t>(p) >> 4) * 0x9E3779B97F4A7C15ull);
}

}  // namespace

size_t TPointerSet::Probe(const void* p) const {
  const size_t mask = slots_.size() - 1;
  size_t i = HashOf(p) & mask;
  size_t first_removed = slots_.size();
  while (slots_[i] != nullptr) {
    if (slots_[i] == p) return i;
    if (slots_[i] == Removed() && first_removed == slots_.size()) first_removed = i;
    i = (i + 1) & mask;
  }
  return first_removed != slots_.size() ? first_removed : i;
}

bool TPointerSet::Contains(const void* p) const { return !slots_.empty() && slots_[Probe(p)] == p; }

bool TPointerSet::Insert(const void* p) {
  if ((used_ + 1) * 2 > slots_.size()) Grow();
  const size_t i = Probe(p);
  if (slots_[i] == p) return false;
  if (slots_[i] == nullptr) ++used_;
  slots_[i] = p;
  ++size_;
  return true;
}

bool TPointerSet::Erase(const void* p) {
  if (slots_.empty()) return false;
  const size_t i = Probe(p);
  if (slots_[i] != p) return false;
  slots_[i] = Removed();
  --size_;
  return true;
}

void TPointerSet::Clear() {
  slots_.clear();
  size_ = used_ = 0;
}

void TPointerSet::Grow() {
  std::vector<const void*> old = std::move(slots_);
  size_t capacity = 16;
  while (capacity < (size_ + 1) * 4) capacity *= 2;
  slots_.assign(capacity, nullptr);
  size_ = used_ = 0;
  for (const void* p : old)
    if (p != nullptr && p != Removed()) Insert(p);
}

}  // namespace tessaro
