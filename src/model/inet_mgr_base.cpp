// The shared behaviour of the metadata classes: display names from the first
// column, and det...ID fields kept in step with the links through one table
// per class instead of per-class code.
#include "model/inet_mgr_base.h"

#include "model/inet_mgr_model.h"

namespace tessaro {

std::string TInetMgrBase::GetDisplayName() const {
  std::string name = GetColumnText(0);
  return name.empty() ? ClassName() : name;
}

std::string_view TInetMgrBase::GetReferenceID(const TElementClass* target_class) const {
  if (target_class != nullptr)
    for (const TStoredReference& reference : StoredReferences())
      if (target_class->InheritsFrom(reference.master_class())) return this->*reference.field;
  return T_V_DataElement::GetReferenceID(target_class);
}

void TInetMgrBase::ReferrerChanged(T_V_DataElement* referrer, bool detached) {
  for (const TStoredReference& reference : StoredReferences())
    if (referrer->ClassType().InheritsFrom(reference.master_class()))
      this->*reference.field = detached ? std::string() : referrer->InstanceID;
}

TInetMgrModel* TInetMgrBase::InetModel() const { return dynamic_cast<TInetMgrModel*>(GetModel()); }

bool TInetMgrBase::UserDataMode() const {
  const TInetMgrModel* model = InetModel();
  return model != nullptr && model->Mode == TInetMgrModel::kUserDataMode;
}

}  // namespace tessaro
