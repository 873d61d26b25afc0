// TParamDef: one named parameter of an evidence item's SQL, typed by a
// parameter type of the item's application type.
//
// Declared here with its identity and its two links; its name, data type
// and filter-form settings come with its own behaviour.
#pragma once

#include <span>
#include <string>

#include "model/inet_mgr_base.h"

namespace tessaro {

class TEvidenceItem;
class TParamTypeDef;

class TParamDef : public TDeclaredElement<TParamDef, TInetMgrBase> {
 public:
  static constexpr const char* kClassName = "TParamDef";
  static void DeclareProperties(TPropertyDeclarations<TParamDef>& p);

  // The owning evidence item. Throws Exception (no or multiple referrers)
  // unless exactly one item lists the parameter.
  TEvidenceItem* EvidenceItem() const;
  // The parameter's type, or null when no type lists it. Throws Exception
  // (multiple referrers) when several do.
  TParamTypeDef* ParamTypeDef() const;
  std::string GetDefaultName() const override;

  std::string detEvidenceItemID;  // InstanceID of the owning evidence item
  std::string detParamTypeDefID;  // InstanceID of the parameter type

 protected:
  std::span<const TStoredReference> StoredReferences() const override;
};

class TParamDefsList final : public TInetMgrList<TParamDef> {
 public:
  using TInetMgrList::TInetMgrList;
};

}  // namespace tessaro
