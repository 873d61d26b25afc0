// T_V_DataList: the list of elements kept in an array, owning its elements or
// not; TTypedList<E> fixes its element class to E.
#pragma once

#include <vector>

#include "model/abstract_data_list.h"
#include "model/pointer_set.h"

namespace tessaro {

class T_V_DataList : public T_V_AbstractDataList {
 public:
  // A list that does not own its items.
  explicit T_V_DataList(T_V_DataElement* owner) : T_V_AbstractDataList(owner) {}
  // Destroys the elements when the list owns them.
  ~T_V_DataList() override;

  int Count() const override { return static_cast<int>(items_.size()); }
  T_V_DataElement* Items(int index) const override;
  bool OwnsItems() const override { return owns_items_; }
  void SetOwnsItems(bool value) override { owns_items_ = value; }
  void SetSorted(bool value) override;
  int IndexOf(const T_V_DataElement* element) const override;

 protected:
  // Links the owner, then inserts at the sorted position or appends.
  void InternalAdd(T_V_DataElement* element) override;
  void InternalDelete(int index) override;

 private:
  // A list that reaches this length keeps the set of its elements from then
  // on, so that a test for membership (every Add makes one) does not walk
  // the array.
  static constexpr size_t kIndexedFrom = 32;

  void InsertAt(int index, T_V_DataElement* element);

  std::vector<T_V_DataElement*> items_;  // the elements in list order; owned when owns_items_
  bool owns_items_ = false;              // whether the list destroys its elements
  bool indexed_ = false;                 // whether members_ is kept
  TPointerSet members_;                  // the elements of items_, once indexed_
};

// A list whose element class is E; Items gives E.
template <class E, class Base = T_V_DataList>
class TTypedList : public Base {
 public:
  using Base::Base;
  const TElementClass* ElementClass() const override { return &E::StaticClass(); }
  // Add lets in nothing but E and its derived classes.
  E* Items(int index) const override { return static_cast<E*>(Base::Items(index)); }
};

}  // namespace tessaro
