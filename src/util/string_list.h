// TStrings: an ordered list of texts, most often "name=value" entries such as
// request fields, cookie fields and tag parameters. The name of an entry is the
// text before its first "="; an entry without "=" has no name and never matches
// a lookup. Lookups compare names without regard to ASCII case and take the
// first matching entry.
//
// Lists of visitors' fields can hold hundreds of thousands of entries, and a
// request may look up every one of them by name. A list answers its first few
// lookups after a change by scanning; once the scans have cost a few times its
// length it sorts an index of its names (n log n) and answers from that until
// the next change drops it. Callers that both change and look up a long list
// should do all changes first.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tessaro {

class TStrings {
 public:
  TStrings() = default;
  TStrings(std::initializer_list<std::string> items) : items_(items) {}

  size_t Count() const { return items_.size(); }
  bool Empty() const { return items_.empty(); }
  const std::string& operator[](size_t i) const { return items_[i]; }
  std::string& operator[](size_t i) {
    Changed();
    return items_[i];
  }
  void Add(std::string item) {
    Changed();
    items_.push_back(std::move(item));
  }
  void Insert(size_t index, std::string item) {
    Changed();
    items_.insert(items_.begin() + index, std::move(item));
  }
  void Delete(size_t index) {
    Changed();
    items_.erase(items_.begin() + index);
  }
  void Clear() {
    Changed();
    items_.clear();
  }

  // Index of the first entry with this name, or -1.
  int IndexOfName(std::string_view name) const;
  // Indexes of all entries with this name, in list order.
  std::vector<size_t> IndicesOfName(std::string_view name) const;
  // For every entry, the index of the first entry with the same name (its
  // own index when it is the first); npos for an entry without a name.
  std::vector<size_t> FirstOfEachName() const;
  // Value of the first entry with this name; empty when there is none.
  std::string Values(std::string_view name) const;
  // Replaces the value of the first entry with this name, or appends
  // name=value when there is none. An empty value deletes the entry.
  void SetValues(std::string_view name, std::string_view value);
  // Name and value of entry `index` (the whole entry is the name when it has no "=").
  std::string Names(size_t index) const;
  std::string ValueFromIndex(size_t index) const;

  // The entries joined, each followed by CR LF.
  std::string Text() const;
  // Splits a text at CR LF, CR or LF into entries; a final line break adds no entry.
  void SetText(std::string_view text);

  const std::vector<std::string>& Items() const { return items_; }
  auto begin() const { return items_.begin(); }
  auto end() const { return items_.end(); }

 private:
  // One named entry in the name index.
  struct NameEntry {
    uint32_t hash;       // NameHash of its name: most comparisons end here
    uint32_t item;       // position in items_
    uint32_t name_size;  // length of its name
  };
  // Lists shorter than this are always searched entry by entry.
  static constexpr size_t kIndexedCount = 16;
  // Scans may cost this many times the list's length before it builds an index.
  static constexpr size_t kScanBudget = 8;

  void Changed() {
    name_index_.reset();
    scanned_ = 0;
  }
  std::string_view NameOf(NameEntry e) const { return std::string_view(items_[e.item]).substr(0, e.name_size); }
  // The name index; null while scanning is cheaper, or when the list is too
  // short or too long for one. `wanted` builds it whatever the scans cost.
  const std::vector<NameEntry>* NameIndex(bool wanted = false) const;
  const std::vector<NameEntry>* BuildNameIndex() const;
  // The first entry of the name index whose name is `name` or sorts after it.
  const NameEntry* FirstNamed(const std::vector<NameEntry>& index, std::string_view name) const;
  // True when `e`, a position in the name index, holds `name`.
  bool Named(const std::vector<NameEntry>& index, const NameEntry* e, std::string_view name) const;

  std::vector<std::string> items_;  // the entries in order
  // The named entries ordered by name (ASCII case folded), then by position;
  // empty optional when not built since the last change.
  mutable std::optional<std::vector<NameEntry>> name_index_;
  mutable size_t scanned_ = 0;  // entries scanned by lookups since the last change
};

}  // namespace tessaro
