// Typed element lists: the rules every list follows whatever its storage.
//
// Add is where the model's master-list rule lives: an element added to any
// list of a model also goes into the master list of its class, which owns
// it. Adding to a detail list is therefore enough to make a new element part
// of the model, and every element is destroyed exactly once, by its master
// list. While the model is linking, the elements are in their master lists
// already and only the detail lists are filled.
#include "model/abstract_data_list.h"

#include <algorithm>
#include <unordered_set>

#include "model/model.h"
#include "util/exception.h"

namespace tessaro {

int T_V_AbstractDataList::IndexOf(const T_V_DataElement* element) const {
  for (int i = 0, n = Count(); i < n; ++i)
    if (Items(i) == element) return i;
  return -1;
}

bool T_V_AbstractDataList::Add(T_V_DataElement* element) {
  if (element != nullptr && IndexOf(element) >= 0) return false;
  const TElementClass* element_class = ElementClass();
  if (element == nullptr || element_class == nullptr || !element->ClassType().InheritsFrom(*element_class))
    throw Exception("Type mismatch in adding item to typed list");
  T_V_Model* model = Model();
  if (model != nullptr) {
    model->NotifyBeforeAdd(this, element);
    if (model != owner_ && !model->InState(msLinking))
      if (T_V_AbstractDataList* master = model->MasterListOf(element->ClassType())) master->Add(element);
  }
  InternalAdd(element);
  if (model != nullptr) model->NotifyElementAdded(this, element);
  return true;
}

T_V_DataElement* T_V_AbstractDataList::AddOwned(std::unique_ptr<T_V_DataElement> element) {
  T_V_DataElement* raw = element.get();
  T_V_Model* model = Model();
  T_V_AbstractDataList* keeper = this;
  if (!OwnsItems()) {
    keeper = nullptr;
    // While linking, Add leaves the master lists alone.
    if (model != nullptr && !model->InState(msLinking)) keeper = model->MasterListOf(raw->ClassType());
  }
  if (keeper == nullptr || !keeper->OwnsItems())
    throw Exception("No list owns the new " + raw->ClassName() + " added to a list of " + ElementClassName());
  try {
    Add(raw);
  } catch (...) {
    // A hook may refuse the element after its master list took it.
    if (keeper->IndexOf(raw) >= 0) static_cast<void>(element.release());
    throw;
  }
  return element.release();
}

void T_V_AbstractDataList::Delete(int index) {
  if (index < 0 || index >= Count()) return;
  T_V_Model* model = Model();
  if (model != nullptr) model->NotifyBeforeDelete(this, Items(index));
  InternalDelete(index);
  if (model != nullptr) model->NotifyListChanged(this, nullptr);
}

int T_V_AbstractDataList::Remove(T_V_DataElement* element) {
  const int index = IndexOf(element);
  if (index >= 0) Delete(index);
  return index;
}

void T_V_AbstractDataList::Clear() {
  // A deletion may take more than one element out of this list (a cascade)
  // or none (a cancelled one): continue below what is left.
  for (int i = Count() - 1; i >= 0; i = std::min(i, Count()) - 1) Items(i)->Delete();
}

T_V_DataElement* T_V_AbstractDataList::FindByInstanceID(std::string_view id) const {
  return FirstThat([id](const T_V_DataElement* item) { return item->InstanceID == id; });
}

bool T_V_AbstractDataList::Find(const T_V_DataElement* key, int& index) const {
  if (!sorted_) throw Exception("Find only works on Sorted list");
  int low = 0;
  int high = Count() - 1;
  while (low <= high) {
    const int middle = low + (high - low) / 2;
    const int order = compare_(Items(middle), key);
    if (order < 0) {
      low = middle + 1;
    } else if (order > 0) {
      high = middle - 1;
    } else {
      index = middle;
      return true;
    }
  }
  index = low;
  return false;
}

std::string T_V_AbstractDataList::ElementClassName() const {
  const TElementClass* element_class = ElementClass();
  return element_class != nullptr ? element_class->Name() : "nil";
}

T_V_Model* T_V_AbstractDataList::Model() const { return owner_ != nullptr ? owner_->GetModel() : nullptr; }

void T_V_AbstractDataList::SortByInstanceID() {
  SetSorted(false);
  compare_ = [](const T_V_DataElement* a, const T_V_DataElement* b) { return a->InstanceID.compare(b->InstanceID); };
  SetSorted(true);
  SetSorted(false);
}

bool T_V_AbstractDataList::FixDuplicateIDs(bool fix) {
  // One pass with the identifiers seen so far gives the same answer as
  // comparing every item with all items before it: a renewed identifier is
  // new, so only the items' current identifiers count.
  std::unordered_set<std::string> seen;
  bool renewed = false;
  for (int i = 0, n = Count(); i < n; ++i) {
    T_V_DataElement* item = Items(i);
    if (seen.insert(item->InstanceID).second) continue;
    if (!fix) return true;
    item->NewInstanceID(true);
    seen.insert(item->InstanceID);
    renewed = true;
  }
  return renewed;
}

void T_V_AbstractDataList::LoadFromStream(T_V_Model* model, TElementReader& reader) {
  const int32_t count = reader.ReadCount();
  const TElementClass* element_class = ElementClass();
  if (count > 0 && element_class == nullptr) throw Exception("Cannot load elements into a list of nil");
  for (int32_t i = 0; i < count; ++i) {
    std::unique_ptr<T_V_DataElement> element = element_class->Create();
    element->LoadFromStream(model, reader);
    AddNew(std::move(element));
  }
}

void T_V_AbstractDataList::SaveToStream(TElementWriter& writer) const {
  writer.WriteCount(Count());
  ForEach([&writer](const T_V_DataElement* item) { item->SaveToStream(writer); });
}

void T_V_AbstractDataList::InternalAdd(T_V_DataElement* element) {
  if (element != nullptr && owner_ != nullptr) element->AddReferrer(owner_);
}

}  // namespace tessaro
