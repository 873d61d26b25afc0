// TEvidenceItem: one configurable record list of a role: a parametrised SQL
// query shown as an HTML table, with its parameter definitions, the
// installation's overrides, detail pages, record actions and detail-page
// switches, the column attributes of its list and body queries, and the
// table template of its list.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "db/param_binding.h"
#include "model/column_attribute.h"
#include "model/inet_mgr_base.h"
#include "model/table_template.h"
#include "util/string_list.h"

namespace tessaro {

class TApplicationRole;
class TEvidenceItemActionsList;
class TEvidenceItemDetailPagesList;
class TEvidenceItemDetailPageSwitchesList;
class TParamDef;
class TParamDefsList;
class TParameters;
class TUserOverride_EvidenceItem;
class TUserOverrides_EvidenceItemList;

// The protocol of the links to a list, a detail page or an action.
enum tAccessProtocolType : uint8_t { apDefault, apHttp, apHttps };

// The stored value names of tAccessProtocolType.
const std::vector<std::string>& AccessProtocolValueNames();
// "" for apDefault, "http", "https".
std::string_view AccessProtocolName(tAccessProtocolType protocol);

class TEvidenceItem : public TDeclaredElement<TEvidenceItem, TInetMgrBase> {
 public:
  static constexpr const char* kClassName = "TEvidenceItem";
  static void DeclareProperties(TPropertyDeclarations<TEvidenceItem>& p);

  // Its five detail lists; AccessProtocol apHttp.
  TEvidenceItem();

  // The item's role. Throws Exception (no or multiple referrers) unless
  // exactly one role lists the item.
  TApplicationRole* Role() const;
  // Own lists [0] .. [4].
  TParamDefsList& ParamDefs() const;
  TUserOverrides_EvidenceItemList& UserOverrides() const;
  TEvidenceItemDetailPagesList& DetailPages() const;
  TEvidenceItemActionsList& Actions() const;
  TEvidenceItemDetailPageSwitchesList& DetailPageSwitches() const;

  // The table layout of the list. Stored as an object of its own after the
  // item, not among the item's properties.
  TTableTemplate& ProducerTemplate() { return producer_template_; }
  const TTableTemplate& ProducerTemplate() const { return producer_template_; }

  // The parameter definition for the SQL parameter `name`
  // (TParamDefsList::FindByName), or null.
  TParamDef* FindParamDef(std::string_view name) const;
  // The types this item's parameter definitions give SQL parameters, for
  // BindDefaultParam, BindParamValue and BindParams.
  TParamTypeLookup ParamTypeLookup() const;

  // The item's first override. Without one: with `create` a new override
  // (new InstanceID, this item's identifier and EvidenceName, visible) added
  // to the model's override list and to UserOverrides(); else null. Throws
  // Exception when `create` is set and the item belongs to no model.
  TUserOverride_EvidenceItem* UserOverride(bool create);
  // The override's EvidenceName when there is an override, else EvidenceName.
  std::string EffectiveName() const;
  // The override's Visible when there is an override, else true.
  bool IsVisible() const;
  // apHttps when an override forces secure access, else AccessProtocol.
  tAccessProtocolType EffectiveAccessProtocol() const;
  // AccessProtocolName(EffectiveAccessProtocol()).
  std::string AccessProtocolText() const;
  // FieldName of the last attribute of ColumnAttributes marked as row
  // identifier; empty when none is.
  std::string RowIdentifierFieldName() const;

  // Soft references to the item's parts, kept right when a part gets a new
  // identifier or (with an empty `new_id`) is deleted. Each sets every
  // reference equal to `old_id` (exact comparison) to `new_id`; an empty
  // `old_id` names no part and changes nothing.
  //   actions:      IDAction of the item, of its column attributes, of every
  //                 detail page and of their column attributes;
  //   detail pages: IDDetailPage of all those column attributes, every
  //                 switch's pages, every action's IDSuccessDetailPage;
  //   switches:     IDDetailPageSwitch of all those column attributes.
  void ReplaceActionReference(std::string_view old_id, std::string_view new_id);
  void ReplaceDetailPageReference(std::string_view old_id, std::string_view new_id);
  void ReplaceSwitchReference(std::string_view old_id, std::string_view new_id);

  // Brings ParamDefs() in step with the parameters of
  // ParametrizedSelectClause, matching them by base name (letter case and
  // type suffix ignored): definitions no parameter matches are deleted,
  // parameters no definition matches get a new one ("Parameter: <name>",
  // with the parameter's type, size and precision), the others stay as they
  // are. Without SQL every definition is deleted. Throws Exception when the SQL cannot be
  // prepared (CollectSqlParams); nothing is changed then.
  void SyncParamDefs();
  // Adds to `params` every parameter of ParametrizedSelectClause whose name
  // (letter case ignored) is not in it yet, with its name, data type, size
  // and precision. The SQL is prepared on a data set of the role's
  // application type (TApplicationType::CreateDataSet), whose messages it
  // throws; `params` is then as it was.
  void CollectSqlParams(TParameters& params) const;

  // Parameters, detail pages, switches and actions die with the item; the
  // installation's overrides stay.
  void DeleteDependents() override;
  // User-data mode: 0 EffectiveName (editable, through the override), 1
  // EvidenceName; checked = IsVisible (settable, through the override).
  // Definitions mode: 0 EvidenceName, 1 OrderInList in decimal; both editable.
  std::string GetColumnText(int column) const override;
  void SetColumnText(int column, const std::string& text) override;
  bool GetChecked() const override;
  void SetChecked(bool value) override;
  std::string GetDefaultName() const override;

  tAccessProtocolType AccessProtocol = apHttp;         // protocol of links to the list
  TStrings BlobSelectClause;                           // SQL of a blob (image) of the list
  TZNKHTMLTableColumnAttributes BodyColumnAttributes;  // fields of the body record
  TStrings BodySelectClause;                           // SQL of the record in the page body
  TZNKHTMLTableColumnAttributes ColumnAttributes;      // fields of the list
  std::string detApplicationRoleID;                    // InstanceID of the owning role
  std::string EvidenceName;                            // menu and page name
  std::string Expr_BodyTemplate;                       // expression giving the page template
  std::string Expr_CustomRecordTemplate;               // expression giving the template of one record
  std::string IDAction;                                // action linked from the list
  int OrderInList = 0;                                 // position in the role's menu; always stored
  TStrings ParametrizedSelectClause;                   // the list's SQL with named parameters
  TStrings SummaryRowSelectClause;                     // SQL of the summary row

 protected:
  std::span<const TStoredReference> StoredReferences() const override;

 private:
  // The first override, or null.
  TUserOverride_EvidenceItem* FirstOverride() const;
  // The column attribute collections of the item and of its detail pages.
  template <class Visit>
  void ForEachAttributeCollection(Visit visit);

  TTableTemplate producer_template_;  // the list's table layout
};

// Calls `action` with every evidence item that lists `part`: normally its
// one owning item, none when that item is gone.
template <class Action>
void ForEachListingItem(const T_V_DataElement& part, Action action) {
  for (int n = part.CountReferrers(TEvidenceItem::StaticClass()); n > 0; --n)
    action(*static_cast<TEvidenceItem*>(part.ReferrerOfClass(TEvidenceItem::StaticClass(), n - 1)));
}

class TEvidenceItemsList final : public TInetMgrList<TEvidenceItem> {
 public:
  using TInetMgrList::TInetMgrList;
};

}  // namespace tessaro
