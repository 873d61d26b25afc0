// Parameter definitions: their links to the evidence item and to the
// parameter type.
#include "model/param_def.h"

#include "model/evidence_item.h"
#include "model/param_type_def.h"
#include "util/codepage.h"

namespace tessaro {

void TParamDef::DeclareProperties(TPropertyDeclarations<TParamDef>& p) {
  p.String("detEvidenceItemID", &TParamDef::detEvidenceItemID, "")
      .String("detParamTypeDefID", &TParamDef::detParamTypeDefID, "");
}

std::span<const TInetMgrBase::TStoredReference> TParamDef::StoredReferences() const {
  static constexpr TStoredReference kReferences[] = {
      StoredReference(&TEvidenceItem::StaticClass, &TParamDef::detEvidenceItemID),
      StoredReference(&TParamTypeDef::StaticClass, &TParamDef::detParamTypeDefID)};
  return kReferences;
}

TEvidenceItem* TParamDef::EvidenceItem() const { return UniqueReferrer<TEvidenceItem>(); }

TParamTypeDef* TParamDef::ParamTypeDef() const { return OptionalReferrer<TParamTypeDef>(); }

std::string TParamDef::GetDefaultName() const { return Cp1250("Nový parametr"); }

}  // namespace tessaro
