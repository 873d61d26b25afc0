// Array-backed element lists.
//
// Every Add first asks whether the element is listed already, and the master
// lists of a loaded model hold tens of thousands of elements; so a list that
// has grown past a few dozen elements also keeps the set of its elements. An
// element is never listed twice (Add refuses it), so when the set holds it
// the array holds it once; it is then searched from both ends at a time,
// which finds recently added elements (and the last ones, which Clear deletes
// first) at once.
#include "model/data_list.h"

#include <algorithm>

#include "util/exception.h"
#include "util/format.h"

namespace tessaro {

T_V_DataList::~T_V_DataList() {
  if (!owns_items_) return;
  for (T_V_DataElement* item : items_) {
    std::unique_ptr<T_V_DataElement> owned(item);
  }
}

T_V_DataElement* T_V_DataList::Items(int index) const {
  if (index < 0 || index >= Count()) throw Exception(Format("List index out of bounds (%d)", {index}));
  return items_[index];
}

void T_V_DataList::SetSorted(bool value) {
  if (value && !compare_) throw Exception("Sort function missing");
  sorted_ = value;
  if (value)
    std::stable_sort(items_.begin(), items_.end(),
                     [this](const T_V_DataElement* a, const T_V_DataElement* b) { return compare_(a, b) < 0; });
}

int T_V_DataList::IndexOf(const T_V_DataElement* element) const {
  if (indexed_) {
    if (!members_.Contains(element)) return -1;
    for (size_t low = 0, high = items_.size() - 1; low <= high && high < items_.size(); ++low, --high) {
      if (items_[low] == element) return static_cast<int>(low);
      if (items_[high] == element) return static_cast<int>(high);
    }
    return -1;
  }
  auto found = std::find(items_.begin(), items_.end(), element);
  return found == items_.end() ? -1 : static_cast<int>(found - items_.begin());
}

void T_V_DataList::InternalAdd(T_V_DataElement* element) {
  T_V_AbstractDataList::InternalAdd(element);
  int position = Count();
  if (sorted_) Find(element, position);
  InsertAt(position, element);
}

void T_V_DataList::InternalDelete(int index) {
  T_V_DataElement* item = Items(index);
  if (indexed_) members_.Erase(item);
  items_.erase(items_.begin() + index);
  // Out of the array before it dies, so the list is whole while it does.
  if (owns_items_) {
    std::unique_ptr<T_V_DataElement> owned(item);
  }
}

void T_V_DataList::InsertAt(int index, T_V_DataElement* element) {
  items_.insert(items_.begin() + index, element);
  if (indexed_) {
    members_.Insert(element);
  } else if (items_.size() >= kIndexedFrom) {
    indexed_ = true;
    for (const T_V_DataElement* item : items_) members_.Insert(item);
  }
}

}  // namespace tessaro
