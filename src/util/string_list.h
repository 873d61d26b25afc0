// TStrings: an ordered list of texts, most often "name=value" entries such as
// request fields, cookie fields and tag parameters. The name of an entry is the
// text before its first "="; an entry without "=" has no name and never matches
// a lookup. Lookups compare names without regard to ASCII case and take the
// first matching entry.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tessaro {

class TStrings {
 public:
  TStrings() = default;
  TStrings(std::initializer_list<std::string> items) : items_(items) {}

  size_t Count() const { return items_.size(); }
  bool Empty() const { return items_.empty(); }
  const std::string& operator[](size_t i) const { return items_[i]; }
  std::string& operator[](size_t i) { return items_[i]; }
  void Add(std::string item) { items_.push_back(std::move(item)); }
  void Insert(size_t index, std::string item) { items_.insert(items_.begin() + index, std::move(item)); }
  void Delete(size_t index) { items_.erase(items_.begin() + index); }
  void Clear() { items_.clear(); }

  // Index of the first entry with this name, or -1.
  int IndexOfName(std::string_view name) const;
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
  std::vector<std::string> items_;  // the entries in order
};

}  // namespace tessaro
