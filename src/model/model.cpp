// The model root: master lists, linking after a load, and the hooks through
// which the model hears of every change.
//
// Linking visits every ordered pair of master lists (A, B) and lets each
// element of A pick from B the elements that store its identifier. Done
// literally that is a comparison of every element of A with every element of
// B; the reference index groups B's elements by the identifier they store
// once per pair of list and class, so each element finds its details with one
// lookup, in B's order, and the links come out exactly as the pairwise
// comparison would make them.
#include "model/model.h"

#include <vector>

#include "model/reference_index.h"

namespace tessaro {

T_V_Model::T_V_Model() { SetModelCache(this); }

void T_V_Model::CreateLists(std::initializer_list<ListFactory> factories) {
  lists_.clear();
  for (ListFactory factory : factories) RegisterList(factory(this)).SetOwnsItems(true);
}

void T_V_Model::ClearAll() {
  for (int i = 0; i < ListCount(); ++i)
    if (!ListAt(i)->Fixed) ListAt(i)->Clear();
}

void T_V_Model::LinkAll() {
  TModelStateScope linking(*this, msLinking);
  TReferenceIndex index;
  std::vector<T_V_DataElement*> masters;
  for (int a = 0; a < ListCount(); ++a) {
    // Only elements with lists of their own can list anything; most
    // elements (accounts, parameters, pages) have none.
    masters.clear();
    ListAt(a)->ForEach([&masters](T_V_DataElement* element) {
      if (element->ListCount() > 0) masters.push_back(element);
    });
    for (int b = 0; b < ListCount(); ++b) {
      if (b == a) continue;
      T_V_AbstractDataList& details = *ListAt(b);
      for (T_V_DataElement* master : masters) master->LinkFrom(details, index);
    }
  }
}

void T_V_Model::AfterLoadAll() {
  for (int l = 0; l < ListCount(); ++l) {
    T_V_AbstractDataList& list = *ListAt(l);
    for (int i = 0; i < list.Count(); ++i) list.Items(i)->AfterLoad();
  }
}

T_V_AbstractDataList* T_V_Model::MasterListOf(const TElementClass& element_class) const {
  for (int i = 0; i < ListCount(); ++i)
    if (ListAt(i)->ElementClass() == &element_class) return ListAt(i);
  return nullptr;
}

void T_V_Model::NotifyElementEdited(T_V_DataElement* element) {
  if (OnElementEdited) OnElementEdited(element);
}
void T_V_Model::NotifyElementAdded(T_V_AbstractDataList* list, T_V_DataElement* element) {
  if (OnElementAdded) OnElementAdded(list, element);
}
void T_V_Model::NotifyListChanged(T_V_AbstractDataList* list, T_V_DataElement* element) {
  if (OnListChanged) OnListChanged(list, element);
}
void T_V_Model::NotifyBeforeEdit(T_V_DataElement* element) {
  if (OnBeforeEdit) OnBeforeEdit(element);
}
void T_V_Model::NotifyBeforeDeleteElement(T_V_DataElement* element) {
  if (OnBeforeDeleteElement) OnBeforeDeleteElement(element);
}
void T_V_Model::NotifyBeforeAdd(T_V_AbstractDataList* list, T_V_DataElement* element) {
  if (OnBeforeAdd) OnBeforeAdd(list, element);
}
void T_V_Model::NotifyBeforeDelete(T_V_AbstractDataList* list, T_V_DataElement* element) {
  if (OnBeforeDelete) OnBeforeDelete(list, element);
}

}  // namespace tessaro
