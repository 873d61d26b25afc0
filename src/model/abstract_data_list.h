// T_V_AbstractDataList: a typed list of elements, owned by one element (its
// Owner; the model for master lists).
//
// Adding an element links the list's owner to it as a referrer, and inside a
// model also puts it into the master list of its class, so that every element
// is listed (and owned) there whichever list it was added to first. The model
// hears of every change through its hooks. A list may be sorted by a compare
// function, which then places added elements and allows binary search.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "model/data_element.h"
#include "model/element_stream.h"
#include "model/objects_root.h"

namespace tessaro {

class T_V_Model;

class T_V_AbstractDataList : public T_V_Objects_Root {
 public:
  // Negative, zero or positive as `a` sorts before, with or after `b`.
  using CompareFunction = std::function<int(const T_V_DataElement* a, const T_V_DataElement* b)>;

  explicit T_V_AbstractDataList(T_V_DataElement* owner) : owner_(owner) {}

  // The class of the elements the list accepts (derived classes too); null
  // for a list that accepts none.
  virtual const TElementClass* ElementClass() const = 0;
  virtual int Count() const = 0;
  // The element at `index`. Throws Exception "List index out of bounds (<index>)"
  // outside 0..Count()-1.
  virtual T_V_DataElement* Items(int index) const = 0;
  // Whether the list destroys its elements when they leave it or it dies.
  virtual bool OwnsItems() const = 0;
  virtual void SetOwnsItems(bool value) = 0;
  // Sorts the list by its compare function when `value` is true and keeps it
  // sorted from then on. Throws Exception "Sort function missing" without one.
  virtual void SetSorted(bool value) = 0;
  // The first position of `element`, or -1.
  virtual int IndexOf(const T_V_DataElement* element) const;

  // Adds `element`; false (and nothing else) when it is already listed.
  // Throws Exception "Type mismatch in adding item to typed list" for an
  // element that is not of ElementClass(). In a model: the OnBeforeAdd hook
  // runs first (it may throw to refuse), the element also goes into its
  // master list unless that is this list or the model is linking, and
  // OnElementAdded runs last. Once in an owning list the element belongs to it.
  bool Add(T_V_DataElement* element);
  // Adds a new element that nobody lists yet and hands it to the list that
  // will own it: this list when it owns its items, else the master list of
  // its class. Throws Exception, destroying the element, when there is no
  // such list or Add fails. Returns the element.
  template <class E>
  E* AddNew(std::unique_ptr<E> element) {
    return static_cast<E*>(AddOwned(std::move(element)));
  }
  // Takes the element at `index` out of the list (an owning list destroys
  // it); hooks OnBeforeDelete and OnListChanged. An index out of range is ignored.
  void Delete(int index);
  // Delete(IndexOf(element)); returns that index, or -1 when not listed.
  int Remove(T_V_DataElement* element);
  // Deletes every element (element-level Delete(), with its cascade), from
  // the last to the first.
  void Clear();

  // The first element, from index 0 up, for which `predicate` holds, or null.
  template <class Predicate>
  T_V_DataElement* FirstThat(Predicate predicate) const {
    for (int i = 0, n = Count(); i < n; ++i)
      if (T_V_DataElement* item = Items(i); item != nullptr && predicate(item)) return item;
    return nullptr;
  }
  // The same, from the last index down.
  template <class Predicate>
  T_V_DataElement* LastThat(Predicate predicate) const {
    for (int i = Count() - 1; i >= 0; --i)
      if (T_V_DataElement* item = Items(i); item != nullptr && predicate(item)) return item;
    return nullptr;
  }
  template <class Action>
  void ForEach(Action action) const {
    for (int i = 0, n = Count(); i < n; ++i)
      if (T_V_DataElement* item = Items(i)) action(item);
  }
  // The first element whose InstanceID is `id`, letter case included, or null.
  T_V_DataElement* FindByInstanceID(std::string_view id) const;
  // Binary search of a sorted list with the compare function (item against
  // `key`). True when an equal item exists; `index` is then its position (not
  // necessarily the first of several), else the position where `key` would be
  // inserted. Throws Exception "Find only works on Sorted list" when unsorted.
  bool Find(const T_V_DataElement* key, int& index) const;

  // The name of ElementClass(), or "nil".
  std::string ElementClassName() const;
  T_V_DataElement* Owner() const { return owner_; }
  // The owner's model, or null.
  T_V_Model* Model() const;
  bool Sorted() const { return sorted_; }
  const CompareFunction& CompareFunc() const { return compare_; }
  void SetCompareFunc(CompareFunction compare) { compare_ = std::move(compare); }
  // Sorts the list once by InstanceID (letter case included) and leaves it unsorted.
  void SortByInstanceID();
  // Looks for items whose InstanceID equals that of an item before them.
  // Without `fix`: whether there is one. With `fix`: each such later item
  // gets a new InstanceID, and the result tells whether any did.
  bool FixDuplicateIDs(bool fix);

  // Reads a count and that many elements, each made by the element class,
  // read by its LoadFromStream and added in file order. A failure leaves the
  // elements added so far in the list and propagates.
  void LoadFromStream(T_V_Model* model, TElementReader& reader);
  // Writes the count and every element.
  void SaveToStream(TElementWriter& writer) const;

  bool Fixed = false;              // skipped when the model clears all its lists
  bool SortBeforeXmlSave = false;  // sorted by InstanceID before the XML form is written

 protected:
  // Puts `element` into the storage. Here: links the owner as its referrer.
  virtual void InternalAdd(T_V_DataElement* element);
  // Takes the element at `index` out of the storage, destroying it when owned.
  virtual void InternalDelete(int index) = 0;

  bool sorted_ = false;      // kept in compare-function order
  CompareFunction compare_;  // the order of a sorted list; may be empty

 private:
  T_V_DataElement* AddOwned(std::unique_ptr<T_V_DataElement> element);

  T_V_DataElement* owner_;  // the element whose list this is; not owned
};

}  // namespace tessaro
