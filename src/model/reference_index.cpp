// The index behind LinkAll. Linking asks, for every element E and every
// master list B whose class E lists, which elements of B store E's
// identifier. Comparing E with each element of B costs the product of the
// list sizes (20,000 accounts against 100 roles, 10,000 parameters against
// 2,000 evidence items); grouping B's elements once by the identifier they
// store makes each question one hash lookup.
//
// A table is built in two passes over B: the first finds each element's
// group (by the case-insensitive hash of its stored identifier) and counts
// the groups' sizes, the second lays the groups out one after the other in
// one array, each in B's order. So a group is a contiguous run, the table
// costs a handful of allocations whatever the list's size, and the links
// come out in exactly the order of the pairwise comparison. Identifiers that
// merely share a hash land in one group; the caller's comparison of the text
// separates them.
#include "model/reference_index.h"

#include <algorithm>
#include <cstring>

#include "model/abstract_data_list.h"

namespace tessaro {
namespace {

// Sets bit 5 of every byte of `w` that is an ASCII capital letter, so that
// capitals read as their small letters; other bytes stay as they are.
uint64_t FoldCase(uint64_t w) {
  constexpr uint64_t kOnes = 0x0101010101010101ull;
  constexpr uint64_t kHigh = kOnes * 0x80;
  const uint64_t low7 = w & ~kHigh;
  const uint64_t at_least_a = low7 + kOnes * (0x80 - 'A');
  const uint64_t beyond_z = low7 + kOnes * (0x80 - 'Z' - 1);
  const uint64_t capitals = at_least_a & ~beyond_z & ~w & kHigh;
  return w | (capitals >> 2);
}

uint64_t Mix(uint64_t hash, uint64_t word) {
  hash = (hash ^ word) * 0x9E3779B97F4A7C15ull;
  return hash ^ (hash >> 29);
}

}  // namespace

uint64_t TReferenceIndex::CaseInsensitiveHash(std::string_view text) {
  uint64_t hash = text.size();
  size_t i = 0;
  for (; i + 8 <= text.size(); i += 8) {
    uint64_t word;
    std::memcpy(&word, text.data() + i, 8);
    hash = Mix(hash, FoldCase(word));
  }
  if (i < text.size()) {
    uint64_t word = 0;
    std::memcpy(&word, text.data() + i, text.size() - i);
    hash = Mix(hash, FoldCase(word));
  }
  return hash;
}

bool TReferenceIndex::SameIdentifier(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); i += 8) {
    const size_t n = std::min<size_t>(8, a.size() - i);
    uint64_t x = 0;
    uint64_t y = 0;
    std::memcpy(&x, a.data() + i, n);
    std::memcpy(&y, b.data() + i, n);
    if (FoldCase(x) != FoldCase(y)) return false;
  }
  return true;
}

TReferenceIndex::TTable TReferenceIndex::Build(const T_V_AbstractDataList& master, const TElementClass& target) {
  TTable table;
  const int count = master.Count();
  size_t capacity = 16;
  while (capacity < static_cast<size_t>(count) * 2) capacity *= 2;
  table.slots.assign(capacity, 0);

  // Pass 1: each element's group, in list order, and the groups' sizes.
  struct Staged {
    uint32_t group;
    TEntry entry;
  };
  std::vector<Staged> staged;
  staged.reserve(count);
  std::vector<uint32_t> sizes;
  for (int i = 0; i < count; ++i) {
    T_V_DataElement* element = master.Items(i);
    const std::string_view id = element->GetReferenceID(&target);
    if (id.empty()) continue;
    const uint64_t hash = CaseInsensitiveHash(id);
    size_t slot = hash & (capacity - 1);
    while (table.slots[slot] != 0 && table.group_hash[table.slots[slot] - 1] != hash)
      slot = (slot + 1) & (capacity - 1);
    if (table.slots[slot] == 0) {
      table.group_hash.push_back(hash);
      sizes.push_back(0);
      table.slots[slot] = static_cast<uint32_t>(table.group_hash.size());
    }
    const uint32_t group = table.slots[slot] - 1;
    ++sizes[group];
    staged.push_back({group, {id, element}});
  }

  // Pass 2: the groups one after the other, each in list order.
  table.group_start.resize(sizes.size() + 1, 0);
  for (size_t g = 0; g < sizes.size(); ++g) table.group_start[g + 1] = table.group_start[g] + sizes[g];
  std::vector<uint32_t> next(table.group_start.begin(), table.group_start.end() - 1);
  table.entries.resize(staged.size());
  for (const Staged& s : staged) table.entries[next[s.group]++] = s.entry;
  return table;
}

std::span<const TReferenceIndex::TEntry> TReferenceIndex::Candidates(const T_V_AbstractDataList& master,
                                                                     const TElementClass& target, std::string_view id) {
  auto [found, created] = tables_.try_emplace({&master, &target});
  if (created) found->second = Build(master, target);
  const TTable& table = found->second;
  const uint64_t hash = CaseInsensitiveHash(id);
  const size_t mask = table.slots.size() - 1;
  for (size_t slot = hash & mask; table.slots[slot] != 0; slot = (slot + 1) & mask) {
    const uint32_t group = table.slots[slot] - 1;
    if (table.group_hash[group] == hash)
      return std::span<const TEntry>(table.entries)
          .subspan(table.group_start[group], table.group_start[group + 1] - table.group_start[group]);
  }
  return {};
}

}  // namespace tessaro
