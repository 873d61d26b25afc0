// TParamDef: one named parameter of an evidence item's SQL: the data type
// given to it, its type of the item's application type (which picks the
// filter control), and its place in the filter form.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "db/dataset.h"
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
  // Whether the parameter has a type that puts it into the filter form.
  bool IsHtmlFilter() const;

  // 0 ParamDisplayName, 1 ParamName, 2 the type's ParamTypeName, 3..5
  // HtmlFilterGroupIndex, HtmlFilterTabIndex, HtmlFilterColSpan in decimal
  // when IsHtmlFilter(), else empty.
  std::string GetColumnText(int column) const override;
  std::string GetDefaultName() const override;

  bool ApplyOnChange = false;                        // the filter form is sent when the control changes
  std::string detEvidenceItemID;                     // InstanceID of the owning evidence item
  std::string detParamTypeDefID;                     // InstanceID of the parameter type
  int HtmlFilterColSpan = 1;                         // columns the control spans in the filter form
  int HtmlFilterGroupIndex = 0;                      // row of the control in the filter form; always stored
  int HtmlFilterTabIndex = 0;                        // order within the row; always stored
  TFieldType ParamDataType = TFieldType::ftUnknown;  // data type given to the SQL parameter; always stored
  std::string ParamDisplayName;                      // label of the control
  std::string ParamName;                             // SQL parameter name, optionally with a type suffix
  int ParamPrecision = 0;                            // precision; always stored
  int ParamSize = 0;                                 // size; always stored

 protected:
  std::span<const TStoredReference> StoredReferences() const override;
};

class TParamDefsList final : public TInetMgrList<TParamDef> {
 public:
  using TInetMgrList::TInetMgrList;

  // The first definition whose ParamName has the base name (the text before
  // the first ".") of `name`, letter case ignored; null when none has.
  TParamDef* FindByName(std::string_view name) const;
};

}  // namespace tessaro
