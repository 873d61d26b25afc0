// Evidence items: their stored properties and detail lists, the values an
// installation's override replaces (name, visibility, secure access), the
// soft references between their parts, and the parameter definitions kept
// in step with their SQL.
//
// Column attributes, items and detail pages point at actions, detail pages
// and switches by identifier text only, never through the model's links, so
// nothing else notices when such a part is deleted or gets a new identifier.
// The item owns all the places those texts live and rewrites them in one
// pass (ReplaceActionReference and its siblings), which the parts call from
// their Unlink and the detail pages from their AfterLoad.
#include "model/evidence_item.h"

#include <algorithm>
#include <cstdint>

#include "db/odbc_dataset.h"
#include "db/param_binding.h"
#include "db/parameters.h"
#include "model/application_role.h"
#include "model/application_type.h"
#include "model/evidence_item_action.h"
#include "model/evidence_item_detail_page.h"
#include "model/evidence_item_detail_page_switch.h"
#include "model/inet_mgr_model.h"
#include "model/object_reference.h"
#include "model/param_def.h"
#include "model/user_override_evidence_item.h"
#include "util/codepage.h"
#include "util/format.h"
#include "util/number_format.h"
#include "util/text.h"

namespace tessaro {
namespace {

constexpr std::string_view kAccessProtocolNames[] = {"", "http", "https"};

}  // namespace

const std::vector<std::string>& AccessProtocolValueNames() {
  static const std::vector<std::string> names = {"apDefault", "apHttp", "apHttps"};
  return names;
}

std::string_view AccessProtocolName(tAccessProtocolType protocol) {
  const auto index = static_cast<size_t>(protocol);
  return index < std::size(kAccessProtocolNames) ? kAccessProtocolNames[index] : kAccessProtocolNames[0];
}

void TEvidenceItem::DeclareProperties(TPropertyDeclarations<TEvidenceItem>& p) {
  using I = TEvidenceItem;
  p.Enumeration("AccessProtocol", &I::AccessProtocol, AccessProtocolValueNames(), apHttp)
      .StringList("BlobSelectClause", &I::BlobSelectClause)
      .Collection("BodyColumnAttributes", &I::BodyColumnAttributes)
      .StringList("BodySelectClause", &I::BodySelectClause)
      .Collection("ColumnAttributes", &I::ColumnAttributes)
      .String("detApplicationRoleID", &I::detApplicationRoleID, "")
      .String("EvidenceName", &I::EvidenceName, "")
      .String("Expr_BodyTemplate", &I::Expr_BodyTemplate, "")
      .String("Expr_CustomRecordTemplate", &I::Expr_CustomRecordTemplate, "")
      .String("IDAction", &I::IDAction, "")
      .Integer("OrderInList", &I::OrderInList)
      .StringList("ParametrizedSelectClause", &I::ParametrizedSelectClause)
      .StringList("SummaryRowSelectClause", &I::SummaryRowSelectClause);
  DeclareObjectReference(p, "ProducerTemplate");
}

TEvidenceItem::TEvidenceItem() {
  AddOwnList<TParamDefsList>();
  AddOwnList<TUserOverrides_EvidenceItemList>();
  AddOwnList<TEvidenceItemDetailPagesList>();
  AddOwnList<TEvidenceItemActionsList>();
  AddOwnList<TEvidenceItemDetailPageSwitchesList>();
}

std::span<const TInetMgrBase::TStoredReference> TEvidenceItem::StoredReferences() const {
  static constexpr TStoredReference kReferences[] = {
      StoredReference(&TApplicationRole::StaticClass, &TEvidenceItem::detApplicationRoleID)};
  return kReferences;
}

TApplicationRole* TEvidenceItem::Role() const { return UniqueReferrer<TApplicationRole>(); }

TParamDefsList& TEvidenceItem::ParamDefs() const { return static_cast<TParamDefsList&>(*ListAt(0)); }

TUserOverrides_EvidenceItemList& TEvidenceItem::UserOverrides() const {
  return static_cast<TUserOverrides_EvidenceItemList&>(*ListAt(1));
}

TEvidenceItemDetailPagesList& TEvidenceItem::DetailPages() const {
  return static_cast<TEvidenceItemDetailPagesList&>(*ListAt(2));
}

TEvidenceItemActionsList& TEvidenceItem::Actions() const { return static_cast<TEvidenceItemActionsList&>(*ListAt(3)); }

TEvidenceItemDetailPageSwitchesList& TEvidenceItem::DetailPageSwitches() const {
  return static_cast<TEvidenceItemDetailPageSwitchesList&>(*ListAt(4));
}

TParamDef* TEvidenceItem::FindParamDef(std::string_view name) const { return ParamDefs().FindByName(name); }

// ---------------------------------------------------------------------------
// The installation's override

TUserOverride_EvidenceItem* TEvidenceItem::FirstOverride() const {
  return UserOverrides().Count() > 0 ? UserOverrides().Items(0) : nullptr;
}

TUserOverride_EvidenceItem* TEvidenceItem::UserOverride(bool create) {
  if (TUserOverride_EvidenceItem* existing = FirstOverride()) return existing;
  if (!create) return nullptr;
  TInetMgrModel* model = InetModel();
  if (model == nullptr) throw Exception(Format("Evidence item \"%s\" belongs to no model", {EvidenceName}));
  auto created = std::make_unique<TUserOverride_EvidenceItem>();
  created->NewInstanceID(true);
  created->detEvidenceItemID = InstanceID;
  created->EvidenceName = EvidenceName;
  created->Visible = true;
  TUserOverride_EvidenceItem* result = model->UserOverridesEvidenceItem().AddNew(std::move(created));
  UserOverrides().Add(result);
  return result;
}

std::string TEvidenceItem::EffectiveName() const {
  const TUserOverride_EvidenceItem* override_ = FirstOverride();
  return override_ != nullptr ? override_->EvidenceName : EvidenceName;
}

bool TEvidenceItem::IsVisible() const {
  const TUserOverride_EvidenceItem* override_ = FirstOverride();
  return override_ == nullptr || override_->Visible;
}

tAccessProtocolType TEvidenceItem::EffectiveAccessProtocol() const {
  const TUserOverride_EvidenceItem* override_ = FirstOverride();
  return override_ != nullptr && override_->ForceSecureAccess ? apHttps : AccessProtocol;
}

std::string TEvidenceItem::AccessProtocolText() const {
  return std::string(AccessProtocolName(EffectiveAccessProtocol()));
}

std::string TEvidenceItem::RowIdentifierFieldName() const {
  const TZNKHTMLTableColumnAttribute* attribute = ColumnAttributes.LastRowIdentifier();
  return attribute != nullptr ? attribute->FieldName : std::string();
}

// ---------------------------------------------------------------------------
// Soft references

template <class Visit>
void TEvidenceItem::ForEachAttributeCollection(Visit visit) {
  visit(ColumnAttributes);
  visit(BodyColumnAttributes);
  for (int i = 0; i < DetailPages().Count(); ++i) {
    TEvidenceItemDetailPage* page = DetailPages().Items(i);
    visit(page->DetailColumnAttributes);
    visit(page->DetailListColumnAttributes);
  }
}

void TEvidenceItem::ReplaceActionReference(std::string_view old_id, std::string_view new_id) {
  if (old_id.empty()) return;
  ReplaceSoftReference(IDAction, old_id, new_id);
  for (int i = 0; i < DetailPages().Count(); ++i)
    ReplaceSoftReference(DetailPages().Items(i)->IDAction, old_id, new_id);
  ForEachAttributeCollection([&](TZNKHTMLTableColumnAttributes& attributes) {
    attributes.ReplaceReference(&TZNKHTMLTableColumnAttribute::IDAction, old_id, new_id);
  });
}

void TEvidenceItem::ReplaceDetailPageReference(std::string_view old_id, std::string_view new_id) {
  if (old_id.empty()) return;
  ForEachAttributeCollection([&](TZNKHTMLTableColumnAttributes& attributes) {
    attributes.ReplaceReference(&TZNKHTMLTableColumnAttribute::IDDetailPage, old_id, new_id);
  });
  for (int i = 0; i < DetailPageSwitches().Count(); ++i) DetailPageSwitches().Items(i)->ReplacePage(old_id, new_id);
  for (int i = 0; i < Actions().Count(); ++i)
    ReplaceSoftReference(Actions().Items(i)->IDSuccessDetailPage, old_id, new_id);
}

void TEvidenceItem::ReplaceSwitchReference(std::string_view old_id, std::string_view new_id) {
  if (old_id.empty()) return;
  ForEachAttributeCollection([&](TZNKHTMLTableColumnAttributes& attributes) {
    attributes.ReplaceReference(&TZNKHTMLTableColumnAttribute::IDDetailPageSwitch, old_id, new_id);
  });
}

// ---------------------------------------------------------------------------
// Parameter definitions

TParamTypeLookup TEvidenceItem::ParamTypeLookup() const {
  return [this](std::string_view name) -> std::optional<TFieldType> {
    const TParamDef* definition = FindParamDef(name);
    if (definition && definition->ParamTypeDef()) return definition->ParamDataType;
    return std::nullopt;
  };
}

void TEvidenceItem::CollectSqlParams(TParameters& params) const {
  const TParameters before = params;
  try {
    std::unique_ptr<TOdbcDataSet> data_set = Role()->ApplicationType()->CreateDataSet(nullptr);
    data_set->SetCommandText(ParametrizedSelectClause.Text());
    for (const TParameter& found : data_set->Parameters())
      if (params.FindParam(found.Name) == nullptr) {
        TParameter entry;
        CopyParamDef(entry, found);
        params.Add(entry);
      }
  } catch (...) {
    params = before;
    throw;
  }
}

void TEvidenceItem::SyncParamDefs() {
  if (ParametrizedSelectClause.Empty()) {
    ParamDefs().Clear();
    return;
  }
  TParameters collected;
  CollectSqlParams(collected);
  // A definition stays while some parameter has its base name: writing a
  // type suffix into the SQL must not cost the definition its type, label
  // and place in the filter form.
  for (int i = ParamDefs().Count() - 1; i >= 0; --i) {
    TParamDef* definition = ParamDefs().Items(i);
    const std::string base = ParamNameBase(definition->ParamName);
    const bool used = std::any_of(collected.begin(), collected.end(),
                                  [&](const TParameter& p) { return SameText(ParamNameBase(p.Name), base); });
    if (!used) definition->Delete();
  }
  for (const TParameter& parameter : collected) {
    if (FindParamDef(parameter.Name) != nullptr) continue;
    TInetMgrModel* model = InetModel();
    if (model == nullptr) throw Exception(Format("Evidence item \"%s\" belongs to no model", {EvidenceName}));
    auto definition = std::make_unique<TParamDef>();
    definition->NewInstanceID(true);
    TParamDef* added = model->ParamDefs().AddNew(std::move(definition));
    ParamDefs().Add(added);
    added->ParamName = parameter.Name;
    added->ParamDisplayName = "Parameter: " + parameter.Name;
    added->ParamDataType = parameter.DataType;
    added->ParamPrecision = parameter.Precision;
    added->ParamSize = parameter.Size;
  }
}

// ---------------------------------------------------------------------------
// Deletion and editor columns

void TEvidenceItem::DeleteDependents() {
  ParamDefs().Clear();
  DetailPages().Clear();
  DetailPageSwitches().Clear();
  Actions().Clear();
}

std::string TEvidenceItem::GetColumnText(int column) const {
  if (UserDataMode()) {
    if (column == 0) return EffectiveName();
    if (column == 1) return EvidenceName;
    return {};
  }
  if (column == 0) return EvidenceName;
  if (column == 1) return std::to_string(OrderInList);
  return {};
}

void TEvidenceItem::SetColumnText(int column, const std::string& text) {
  if (UserDataMode()) {
    if (column == 0) UserOverride(true)->EvidenceName = text;
  } else if (column == 0) {
    EvidenceName = text;
  } else if (column == 1) {
    int64_t value;
    if (!TryStrToInt(text, value) || value < INT32_MIN || value > INT32_MAX)
      throw Exception(Format("'%s' is not a valid integer value", {text}));
    OrderInList = static_cast<int>(value);
  }
  TInetMgrBase::SetColumnText(column, text);
}

bool TEvidenceItem::GetChecked() const { return UserDataMode() && IsVisible(); }

void TEvidenceItem::SetChecked(bool value) {
  if (UserDataMode()) UserOverride(true)->Visible = value;
}

std::string TEvidenceItem::GetDefaultName() const { return Cp1250("Nová evidence"); }

}  // namespace tessaro
