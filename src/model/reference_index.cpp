// The index behind LinkAll. Linking asks, for every element E and every
// master list B whose class E lists, which elements of B store E's
// identifier. Comparing E with each element of B costs the product of the
// list sizes (20,000 accounts against 100 roles, 10,000 parameters against
// 2,000 evidence items); grouping B's elements once by the identifier they
// store makes each question one hash lookup. A group keeps B's order, so the
// links come out in exactly the order of the pairwise comparison.
#include "model/reference_index.h"

#include "model/abstract_data_list.h"
#include "util/text.h"

namespace tessaro {

size_t TReferenceIndex::CaseInsensitiveHash::operator()(std::string_view s) const {
  // FNV-1a over the lower-cased bytes.
  size_t hash = 14695981039346656037ull;
  for (char c : s) {
    hash ^= static_cast<unsigned char>(AsciiLower(c));
    hash *= 1099511628211ull;
  }
  return hash;
}

bool TReferenceIndex::CaseInsensitiveEqual::operator()(std::string_view a, std::string_view b) const {
  return SameText(a, b);
}

const std::vector<T_V_DataElement*>& TReferenceIndex::Referencing(const T_V_AbstractDataList& master,
                                                                  const TElementClass& target, std::string_view id) {
  static const std::vector<T_V_DataElement*> kNone;
  auto [entry, created] = groups_.try_emplace({&master, &target});
  Groups& groups = entry->second;
  if (created) {
    for (int i = 0, n = master.Count(); i < n; ++i) {
      T_V_DataElement* element = master.Items(i);
      std::string_view stored = element->GetReferenceID(&target);
      if (!stored.empty()) groups[stored].push_back(element);
    }
  }
  if (id.empty()) return kNone;
  auto found = groups.find(id);
  return found == groups.end() ? kNone : found->second;
}

}  // namespace tessaro
