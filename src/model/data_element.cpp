// Stored elements: identity, own lists, referrers, linking and deletion.
//
// The graph is kept consistent by two rules. Whenever an element is added to
// a list, the list's owner becomes one of the element's referrers; so an
// element always knows every element (and the model) that shows it, and
// deleting it only has to visit its referrers. And an element inside a model
// lives in exactly one owning list, the master list of its class, so
// deletion ends by taking it out of that list, which destroys it; an element
// outside every model has no owner but the code that hands it to Delete(),
// and Delete() destroys it itself.
#include "model/data_element.h"

#include <algorithm>

#include "model/abstract_data_list.h"
#include "model/model.h"
#include "model/reference_index.h"
#include "util/format.h"
#include "util/guid.h"
#include "util/text.h"

namespace tessaro {

void T_V_DataElement::DeclareProperties(TPropertyDeclarations<T_V_DataElement>& p) {
  p.String("InstanceID", &T_V_DataElement::InstanceID);
}

const TElementClass& T_V_DataElement::StaticClass() {
  static const TElementClass element_class("T_V_DataElement", nullptr,
                                           []() { return std::make_unique<T_V_DataElement>(); });
  return element_class;
}

T_V_DataElement::T_V_DataElement() = default;

// The own lists go with the element; they do not own what they show.
T_V_DataElement::~T_V_DataElement() = default;

// ---------------------------------------------------------------------------
// Class hooks

bool T_V_DataElement::ListHoldsClass(const T_V_AbstractDataList* list, const TElementClass* element_class) const {
  return list != nullptr && element_class != nullptr && list->ElementClass() == element_class;
}

std::string_view T_V_DataElement::GetReferenceID(const TElementClass* target_class) const {
  if (target_class != nullptr) return {};
  return InstanceID;
}

std::string T_V_DataElement::GetDisplayName() const { return ClassName(); }

std::string T_V_DataElement::GetColumnText(int) const { return {}; }

void T_V_DataElement::SetColumnText(int, const std::string&) {
  if (T_V_Model* model = GetModel()) model->Modified = true;
}

void T_V_DataElement::ReferrerChanged(T_V_DataElement*, bool) {}

void T_V_DataElement::LoadFromStream(T_V_Model* model, TElementReader& reader) {
  if (model != nullptr) model_cache_ = model;
  reader.ReadObject(*this);
}

void T_V_DataElement::SaveToStream(TElementWriter& writer) const { writer.WriteObject(*this, ClassName()); }

void T_V_DataElement::NewInstanceID(bool force) {
  if (!InstanceID.empty() && !force) return;
  InstanceID = GUIDToString(CreateGUID());
}

void T_V_DataElement::Edit() {
  if (T_V_Model* model = GetModel()) {
    model->NotifyBeforeEdit(this);
    model->NotifyElementEdited(this);
  }
}

// ---------------------------------------------------------------------------
// Own lists

T_V_AbstractDataList& T_V_DataElement::RegisterList(std::unique_ptr<T_V_AbstractDataList> list) {
  T_V_AbstractDataList* raw = list.get();
  auto known = std::find_if(lists_.begin(), lists_.end(), [raw](const auto& own) { return own.get() == raw; });
  if (known == lists_.end())
    lists_.push_back(std::move(list));
  else
    static_cast<void>(list.release());  // the same list again: it is already ours
  return *raw;
}

T_V_AbstractDataList* T_V_DataElement::FindListByClassName(std::string_view name) const {
  for (const auto& list : lists_)
    if (SameText(list->ElementClassName(), name)) return list.get();
  return nullptr;
}

// ---------------------------------------------------------------------------
// Referrers

T_V_DataElement* T_V_DataElement::ReferrerOfClass(const TElementClass& cls, int n) const {
  for (T_V_DataElement* referrer : referrers_)
    if (referrer->ClassType().InheritsFrom(cls) && n-- == 0) return referrer;
  return nullptr;
}

int T_V_DataElement::CountReferrers(const TElementClass& cls) const {
  return static_cast<int>(std::count_if(referrers_.begin(), referrers_.end(),
                                        [&cls](const T_V_DataElement* r) { return r->ClassType().InheritsFrom(cls); }));
}

T_V_DataElement* T_V_DataElement::OptionalReferrer(const TElementClass& cls) const {
  T_V_DataElement* first = ReferrerOfClass(cls, 0);
  if (first != nullptr && ReferrerOfClass(cls, 1) != nullptr)
    throw Exception(Format("\"%s\" has multiple referrers of type %s", {GetDisplayName(), cls.Name()}));
  return first;
}

T_V_DataElement* T_V_DataElement::UniqueReferrer(const TElementClass& cls) const {
  T_V_DataElement* found = OptionalReferrer(cls);
  if (found == nullptr) throw Exception(Format("\"%s\" has no refferrer of type %s", {GetDisplayName(), cls.Name()}));
  return found;
}

T_V_Model* T_V_DataElement::GetModel() const {
  if (model_cache_ != nullptr) return model_cache_;
  T_V_Model* found = static_cast<T_V_Model*>(ReferrerOfClass(T_V_Model::StaticClass(), 0));
  for (size_t i = 0; found == nullptr && i < referrers_.size(); ++i) found = referrers_[i]->GetModel();
  model_cache_ = found;
  return found;
}

void T_V_DataElement::AddReferrer(T_V_DataElement* element) {
  if (std::find(referrers_.begin(), referrers_.end(), element) == referrers_.end()) {
    // Most elements get two or three referrers (the model and their
    // masters): one allocation for all of them.
    if (referrers_.capacity() == 0) referrers_.reserve(3);
    referrers_.push_back(element);
  }
  T_V_Model* model = GetModel();
  if (model != nullptr && !model->InState(msLinking) && !model->InState(msLoading)) ReferrerChanged(element, false);
}

void T_V_DataElement::RemoveReferrer(T_V_DataElement* element) {
  auto last = std::find(referrers_.rbegin(), referrers_.rend(), element);
  if (last != referrers_.rend()) referrers_.erase(std::next(last).base());
}

void T_V_DataElement::RemoveFromLists(T_V_DataElement* element) {
  // Every list that may hold the element is asked, those of its base classes
  // too (Add accepts derived classes), so no list keeps a pointer to an
  // element its master list destroys. That destruction ends the walk; the
  // class is read before it.
  const TElementClass& element_class = element->ClassType();
  for (const auto& list : lists_) {
    const TElementClass* list_class = list->ElementClass();
    if (list_class == nullptr || !element_class.InheritsFrom(*list_class)) continue;
    if (list->Remove(element) >= 0 && list->OwnsItems()) break;
  }
}

void T_V_DataElement::Detach(T_V_DataElement* element) {
  ReferrerChanged(element, true);
  // The referrer goes before the lists: when `element` owns this element (a
  // model), taking it out of the list destroys it.
  RemoveReferrer(element);
  element->RemoveFromLists(this);
}

// ---------------------------------------------------------------------------
// Linking

void T_V_DataElement::LinkFrom(T_V_AbstractDataList& master) {
  const TElementClass* master_class = master.ElementClass();
  const std::string_view own_id = GetReferenceID(nullptr);
  for (const auto& list : lists_) {
    if (!ListHoldsClass(list.get(), master_class)) continue;
    for (int i = 0; i < master.Count(); ++i) {
      T_V_DataElement* candidate = master.Items(i);
      std::string_view stored = candidate->GetReferenceID(&ClassType());
      if (!stored.empty() && SameText(stored, own_id)) list->Add(candidate);
    }
  }
}

void T_V_DataElement::LinkFrom(T_V_AbstractDataList& master, TReferenceIndex& index) {
  const TElementClass* master_class = master.ElementClass();
  for (const auto& list : lists_) {
    if (!ListHoldsClass(list.get(), master_class)) continue;
    index.ForEachReferencing(master, ClassType(), GetReferenceID(nullptr),
                             [&list](T_V_DataElement* candidate) { list->Add(candidate); });
  }
}

// ---------------------------------------------------------------------------
// Deletion

void T_V_DataElement::Unlink() {
  for (const auto& list : lists_)
    for (int i = 0; i < list->Count(); ++i) list->Items(i)->RemoveReferrer(this);
  T_V_Model* model = GetModel();
  // From the last referrer to the first; a referrer's lists never change this
  // element's referrers, but stay within bounds should a hook do so.
  for (size_t i = referrers_.size(); i-- > 0;) {
    if (i >= referrers_.size()) continue;
    T_V_DataElement* referrer = referrers_[i];
    if (referrer != model) referrer->RemoveFromLists(this);
  }
  // Last: the master list destroys this element.
  if (model != nullptr) model->RemoveFromLists(this);
}

void T_V_DataElement::Delete() {
  if (T_V_Model* model = GetModel()) model->NotifyBeforeDeleteElement(this);
  const bool in_model = ReferrerOfClass(T_V_Model::StaticClass(), 0) != nullptr;
  DeleteDependents();
  Unlink();
  // Inside a model the master list has destroyed the element; outside, the
  // caller handed it over and nobody else owns it.
  if (!in_model) {
    std::unique_ptr<T_V_DataElement> self(this);
  }
}

}  // namespace tessaro
