// TReferenceIndex: the stored references of a master list's elements, grouped
// by the identifier they name, so that linking finds the elements that refer
// to one element without comparing it with every element of the list.
#pragma once

#include <cstdint>
#include <map>
#include <span>
#include <string_view>
#include <utility>
#include <vector>

namespace tessaro {

class T_V_AbstractDataList;
class T_V_DataElement;
class TElementClass;

class TReferenceIndex {
 public:
  // Calls `action` for every element of `master`, in list order, whose
  // GetReferenceID(&target) is not empty and equals `id` without regard to
  // letter case. The groups of one (master, target) pair are built on first
  // use and kept. REQUIRES: `master` and the stored references of its
  // elements stay unchanged while the index lives.
  template <class Action>
  void ForEachReferencing(const T_V_AbstractDataList& master, const TElementClass& target, std::string_view id,
                          Action action) {
    if (id.empty()) return;
    for (const TEntry& entry : Candidates(master, target, id))
      if (SameIdentifier(entry.id, id)) action(entry.element);
  }

  // A hash of `text` that ignores ASCII letter case.
  static uint64_t CaseInsensitiveHash(std::string_view text);
  // SameText, eight bytes at a time.
  static bool SameIdentifier(std::string_view a, std::string_view b);

 private:
  struct TEntry {
    std::string_view id;       // the stored reference; points into the element
    T_V_DataElement* element;  // the element storing it
  };
  // The stored references of one (master, target) pair: entries grouped by
  // the hash of their identifier, each group in list order.
  struct TTable {
    std::vector<uint32_t> slots;        // open addressing by hash: group + 1, 0 = free; a power of two
    std::vector<uint64_t> group_hash;   // hash of each group's identifiers
    std::vector<uint32_t> group_start;  // group g is entries[group_start[g], group_start[g + 1])
    std::vector<TEntry> entries;        // all entries, group after group
  };

  // The entries whose identifier has the hash of `id` (letter case ignored).
  std::span<const TEntry> Candidates(const T_V_AbstractDataList& master, const TElementClass& target,
                                     std::string_view id);
  static TTable Build(const T_V_AbstractDataList& master, const TElementClass& target);

  std::map<std::pair<const T_V_AbstractDataList*, const TElementClass*>, TTable> tables_;  // per (master, target)
};

}  // namespace tessaro
