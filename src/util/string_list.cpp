#include "util/string_list.h"

#include "util/text.h"

namespace tessaro {

int TStrings::IndexOfName(std::string_view name) const {
  for (size_t i = 0; i < items_.size(); ++i) {
    size_t eq = items_[i].find('=');
    if (eq != std::string::npos && SameText(std::string_view(items_[i]).substr(0, eq), name))
      return static_cast<int>(i);
  }
  return -1;
}

std::string TStrings::Values(std::string_view name) const {
  int i = IndexOfName(name);
  return i < 0 ? std::string() : ValueFromIndex(i);
}

void TStrings::SetValues(std::string_view name, std::string_view value) {
  int i = IndexOfName(name);
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
