// T_V_Model: the root element of one metadata graph. It owns one master list
// per element class, which owns every element of that class; it turns the
// stored identifier references into list membership after loading (LinkAll)
// and tells its owner of changes through its hooks.
#pragma once

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>

#include "model/abstract_data_list.h"
#include "model/data_element.h"

namespace tessaro {

// The flags of T_V_Model::State.
enum TModelStateFlag : uint8_t {
  msLinking = 1 << 0,  // LinkAll is turning references into links
  msLoading = 1 << 1,  // the model is being read from its files
};

class T_V_Model : public TDeclaredElement<T_V_Model, T_V_DataElement> {
 public:
  static constexpr const char* kClassName = "T_V_Model";
  static void DeclareProperties(TPropertyDeclarations<T_V_Model>&) {}

  // Makes a new list owned by `owner`.
  using ListFactory = std::unique_ptr<T_V_AbstractDataList> (*)(T_V_DataElement* owner);
  template <class L>
  static std::unique_ptr<T_V_AbstractDataList> MakeList(T_V_DataElement* owner) {
    return std::make_unique<L>(owner);
  }

  T_V_Model();

  // Replaces the own lists by one new list from each factory, in order, and
  // makes every one of them own its items.
  void CreateLists(std::initializer_list<ListFactory> factories);
  // Clears (element by element, with cascade) every own list that is not Fixed.
  void ClearAll();
  // For every ordered pair of distinct own lists (A, B), every element of A
  // links from B (T_V_DataElement::LinkFrom), with msLinking set throughout.
  // Hooks that run meanwhile must not change the lists or stored references.
  void LinkAll();
  // AfterLoad() of every element, list by list.
  void AfterLoadAll();
  // The first own list whose element class is exactly `element_class`, or null.
  T_V_AbstractDataList* MasterListOf(const TElementClass& element_class) const;

  bool InState(TModelStateFlag flag) const { return (State & flag) != 0; }

  // Hooks, each empty by default. A hook that throws stops the operation
  // that called it (OnBeforeAdd refuses the element, OnBeforeDeleteElement
  // cancels the deletion).
  std::function<void(T_V_DataElement* element)> OnElementEdited;
  std::function<void(T_V_AbstractDataList* list, T_V_DataElement* element)> OnElementAdded;
  std::function<void(T_V_AbstractDataList* list, T_V_DataElement* element)> OnListChanged;  // element may be null
  std::function<void(T_V_DataElement* element)> OnBeforeEdit;
  std::function<void(T_V_DataElement* element)> OnBeforeDeleteElement;
  std::function<void(T_V_AbstractDataList* list, T_V_DataElement* element)> OnBeforeAdd;
  std::function<void(T_V_AbstractDataList* list, T_V_DataElement* element)> OnBeforeDelete;

  // Callers of the hooks: each runs its hook when one is set.
  void NotifyElementEdited(T_V_DataElement* element);
  void NotifyElementAdded(T_V_AbstractDataList* list, T_V_DataElement* element);
  void NotifyListChanged(T_V_AbstractDataList* list, T_V_DataElement* element);
  void NotifyBeforeEdit(T_V_DataElement* element);
  void NotifyBeforeDeleteElement(T_V_DataElement* element);
  void NotifyBeforeAdd(T_V_AbstractDataList* list, T_V_DataElement* element);
  void NotifyBeforeDelete(T_V_AbstractDataList* list, T_V_DataElement* element);

  bool Modified = false;  // set by every change, cleared after a complete load
  uint8_t State = 0;      // TModelStateFlag bits
  uint16_t Version = 0;   // format version of the file being loaded
};

// Sets one state flag of a model for its lifetime and clears it again at the
// end, also when an exception leaves the scope.
class TModelStateScope {
 public:
  TModelStateScope(T_V_Model& model, TModelStateFlag flag) : model_(model), flag_(flag) { model_.State |= flag_; }
  ~TModelStateScope() { model_.State &= static_cast<uint8_t>(~flag_); }
  TModelStateScope(const TModelStateScope&) = delete;
  TModelStateScope& operator=(const TModelStateScope&) = delete;

 private:
  T_V_Model& model_;      // the model whose state is set
  TModelStateFlag flag_;  // the flag set while the scope lives
};

}  // namespace tessaro
