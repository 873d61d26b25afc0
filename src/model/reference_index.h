// TReferenceIndex: the stored references of a master list's elements, grouped
// by the identifier they name, so that linking finds the elements that refer
// to one element without comparing it with every element of the list.
#pragma once

#include <map>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

namespace tessaro {

class T_V_AbstractDataList;
class T_V_DataElement;
class TElementClass;

class TReferenceIndex {
 public:
  // The elements of `master`, in list order, whose GetReferenceID(&target)
  // is not empty and equals `id` without regard to letter case. The groups
  // of one (master, target) pair are built on first use and kept.
  // REQUIRES: `master` and the stored references of its elements stay
  // unchanged while the index lives.
  const std::vector<T_V_DataElement*>& Referencing(const T_V_AbstractDataList& master, const TElementClass& target,
                                                   std::string_view id);

 private:
  // Hashing and equality of identifiers without regard to ASCII letter case.
  struct CaseInsensitiveHash {
    size_t operator()(std::string_view s) const;
  };
  struct CaseInsensitiveEqual {
    bool operator()(std::string_view a, std::string_view b) const;
  };
  // Identifier -> the elements that store it, in list order. The keys point
  // into the elements' own fields.
  using Groups =
      std::unordered_map<std::string_view, std::vector<T_V_DataElement*>, CaseInsensitiveHash, CaseInsensitiveEqual>;

  std::map<std::pair<const T_V_AbstractDataList*, const TElementClass*>, Groups> groups_;  // per (master, target)
};

}  // namespace tessaro
