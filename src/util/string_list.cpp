#include "util/string_list.h"

#include <algorithm>
#include <limits>

#include "util/text.h"

namespace tessaro {
namespace {

// The order of the name index: bytes compared with ASCII letters folded to
// lower case, so names equal by SameText are neighbours. Inline here because
// sorting and searching a long list calls it millions of times.
inline unsigned char Folded(char c) {
  unsigned char u = static_cast<unsigned char>(c);
  return u >= 'A' && u <= 'Z' ? static_cast<unsigned char>(u + ('a' - 'A')) : u;
}

int CompareNames(std::string_view a, std::string_view b) {
  size_t n = a.size() < b.size() ? a.size() : b.size();
  for (size_t i = 0; i < n; ++i) {
    if (a[i] == b[i]) continue;
    unsigned char x = Folded(a[i]), y = Folded(b[i]);
    if (x != y) return x < y ? -1 : 1;
  }
  return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

// A hash of the name with ASCII letters folded (FNV-1a), so names equal by
// SameText hash alike. The index orders by it first: comparing two numbers
// is cheaper than comparing names that share a long prefix.
uint32_t NameHash(std::string_view name) {
  uint32_t h = 2166136261u;
  for (char c : name) h = (h ^ Folded(c)) * 16777619u;
  return h;
}

}  // namespace

const std::vector<TStrings::NameEntry>* TStrings::NameIndex(bool wanted) const {
  if (name_index_) return &*name_index_;
  if (!wanted) {
    if (scanned_ < kScanBudget * items_.size()) {
      scanned_ += items_.size();
      return nullptr;
    }
  }
  return BuildNameIndex();
}

const std::vector<TStrings::NameEntry>* TStrings::BuildNameIndex() const {
  constexpr size_t kMax = std::numeric_limits<uint32_t>::max();
  if (items_.size() < kIndexedCount || items_.size() > kMax) return nullptr;
  std::vector<NameEntry> index;
  index.reserve(items_.size());
  for (size_t i = 0; i < items_.size(); ++i) {
    size_t eq = items_[i].find('=');
    if (eq == std::string::npos) continue;
    if (eq > kMax) return nullptr;
    std::string_view name = std::string_view(items_[i]).substr(0, eq);
    index.push_back(NameEntry{NameHash(name), static_cast<uint32_t>(i), static_cast<uint32_t>(eq)});
  }
  // Equal names keep their list order, so the first of a range is the first entry.
  std::sort(index.begin(), index.end(), [this](NameEntry a, NameEntry b) {
    if (a.hash != b.hash) return a.hash < b.hash;
    int order = CompareNames(NameOf(a), NameOf(b));
    return order != 0 ? order < 0 : a.item < b.item;
  });
  name_index_ = std::move(index);
  return &*name_index_;
}

const TStrings::NameEntry* TStrings::FirstNamed(const std::vector<NameEntry>& index, std::string_view name) const {
  const uint32_t hash = NameHash(name);
  auto first = std::lower_bound(index.begin(), index.end(), name, [&](NameEntry e, std::string_view key) {
    return e.hash != hash ? e.hash < hash : CompareNames(NameOf(e), key) < 0;
  });
  return index.data() + (first - index.begin());
}

bool TStrings::Named(const std::vector<NameEntry>& index, const NameEntry* e, std::string_view name) const {
  return e != index.data() + index.size() && NameOf(*e).size() == name.size() && CompareNames(NameOf(*e), name) == 0;
}

int TStrings::IndexOfName(std::string_view name) const {
  if (const std::vector<NameEntry>* index = NameIndex()) {
    const NameEntry* first = FirstNamed(*index, name);
    return Named(*index, first, name) ? static_cast<int>(first->item) : -1;
  }
  for (size_t i = 0; i < items_.size(); ++i) {
    size_t eq = items_[i].find('=');
    if (eq != std::string::npos && SameText(std::string_view(items_[i]).substr(0, eq), name))
      return static_cast<int>(i);
  }
  return -1;
}

std::vector<size_t> TStrings::IndicesOfName(std::string_view name) const {
  std::vector<size_t> out;
  if (const std::vector<NameEntry>* index = NameIndex()) {
    for (const NameEntry* e = FirstNamed(*index, name); Named(*index, e, name); ++e) out.push_back(e->item);
    return out;
  }
  for (size_t i = 0; i < items_.size(); ++i) {
    size_t eq = items_[i].find('=');
    if (eq != std::string::npos && SameText(std::string_view(items_[i]).substr(0, eq), name)) out.push_back(i);
  }
  return out;
}

std::vector<size_t> TStrings::FirstOfEachName() const {
  std::vector<size_t> first(items_.size(), std::string::npos);
  if (const std::vector<NameEntry>* index = NameIndex(true)) {
    for (size_t i = 0; i < index->size();) {
      size_t j = i;
      while (j < index->size() && (*index)[j].hash == (*index)[i].hash &&
             CompareNames(NameOf((*index)[j]), NameOf((*index)[i])) == 0)
        first[(*index)[j++].item] = (*index)[i].item;
      i = j;
    }
    return first;
  }
  for (size_t i = 0; i < items_.size(); ++i)
    if (items_[i].find('=') != std::string::npos) first[i] = static_cast<size_t>(IndexOfName(Names(i)));
  return first;
}

std::string TStrings::Values(std::string_view name) const {
  int i = IndexOfName(name);
  return i < 0 ? std::string() : ValueFromIndex(i);
}

void TStrings::SetValues(std::string_view name, std::string_view value) {
  int i = IndexOfName(name);
  Changed();
  if (value.empty()) {
    if (i >= 0) Delete(i);
    return;
  }
  std::string entry = std::string(name) + "=" + std::string(value);
  if (i >= 0)
    items_[i] = std::move(entry);
  else
    items_.push_back(std::move(entry));
}

std::string TStrings::Names(size_t index) const {
  const std::string& s = items_[index];
  size_t eq = s.find('=');
  return eq == std::string::npos ? s : s.substr(0, eq);
}

std::string TStrings::ValueFromIndex(size_t index) const {
  const std::string& s = items_[index];
  size_t eq = s.find('=');
  return eq == std::string::npos ? std::string() : s.substr(eq + 1);
}

std::string TStrings::Text() const {
  std::string out;
  for (const auto& s : items_) {
    out += s;
    out += "\r\n";
  }
  return out;
}

void TStrings::SetText(std::string_view text) {
  Changed();
  items_.clear();
  size_t i = 0;
  while (i < text.size()) {
    size_t e = i;
    while (e < text.size() && text[e] != '\r' && text[e] != '\n') ++e;
    items_.emplace_back(text.substr(i, e - i));
    if (e < text.size() && text[e] == '\r') {
      ++e;
      if (e < text.size() && text[e] == '\n') ++e;
    } else if (e < text.size()) {
      ++e;
    }
    i = e;
  }
}

}  // namespace tessaro
