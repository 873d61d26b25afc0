// Parameter definitions: their stored properties, their links to the
// evidence item and the parameter type, and the lookup by SQL parameter
// name, which ignores the type suffix a name may carry.
#include "model/param_def.h"

#include "db/param_binding.h"
#include "model/evidence_item.h"
#include "model/field_type_property.h"
#include "model/param_type_def.h"
#include "util/codepage.h"
#include "util/text.h"

namespace tessaro {

void TParamDef::DeclareProperties(TPropertyDeclarations<TParamDef>& p) {
  using D = TParamDef;
  p.Boolean("ApplyOnChange", &D::ApplyOnChange, false)
      .String("detEvidenceItemID", &D::detEvidenceItemID, "")
      .String("detParamTypeDefID", &D::detParamTypeDefID, "")
      .Integer("HtmlFilterColSpan", &D::HtmlFilterColSpan, 1)
      .Integer("HtmlFilterGroupIndex", &D::HtmlFilterGroupIndex)
      .Integer("HtmlFilterTabIndex", &D::HtmlFilterTabIndex)
      .Enumeration("ParamDataType", &D::ParamDataType, FieldTypeValueNames())
      .String("ParamDisplayName", &D::ParamDisplayName, "")
      .String("ParamName", &D::ParamName, "")
      .Integer("ParamPrecision", &D::ParamPrecision)
      .Integer("ParamSize", &D::ParamSize);
}

std::span<const TInetMgrBase::TStoredReference> TParamDef::StoredReferences() const {
  static constexpr TStoredReference kReferences[] = {
      StoredReference(&TEvidenceItem::StaticClass, &TParamDef::detEvidenceItemID),
      StoredReference(&TParamTypeDef::StaticClass, &TParamDef::detParamTypeDefID)};
  return kReferences;
}

TEvidenceItem* TParamDef::EvidenceItem() const { return UniqueReferrer<TEvidenceItem>(); }

TParamTypeDef* TParamDef::ParamTypeDef() const { return OptionalReferrer<TParamTypeDef>(); }

bool TParamDef::IsHtmlFilter() const {
  const TParamTypeDef* type = ParamTypeDef();
  return type != nullptr && type->IsHtmlFilterParam;
}

std::string TParamDef::GetColumnText(int column) const {
  switch (column) {
    case 0:
      return ParamDisplayName;
    case 1:
      return ParamName;
    case 2: {
      const TParamTypeDef* type = ParamTypeDef();
      return type != nullptr ? type->ParamTypeName : std::string();
    }
    case 3:
      return IsHtmlFilter() ? std::to_string(HtmlFilterGroupIndex) : std::string();
    case 4:
      return IsHtmlFilter() ? std::to_string(HtmlFilterTabIndex) : std::string();
    case 5:
      return IsHtmlFilter() ? std::to_string(HtmlFilterColSpan) : std::string();
    default:
      return {};
  }
}

std::string TParamDef::GetDefaultName() const { return Cp1250("Nový parametr"); }

TParamDef* TParamDefsList::FindByName(std::string_view name) const {
  const std::string base = ParamNameBase(name);
  return static_cast<TParamDef*>(FirstThat([&](const T_V_DataElement* item) {
    return SameText(ParamNameBase(static_cast<const TParamDef*>(item)->ParamName), base);
  }));
}

}  // namespace tessaro
