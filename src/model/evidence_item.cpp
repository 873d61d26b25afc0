// Evidence items: their link to the role and the detail lists that die with
// them.
#include "model/evidence_item.h"

#include "model/application_role.h"
#include "model/evidence_item_action.h"
#include "model/evidence_item_detail_page.h"
#include "model/evidence_item_detail_page_switch.h"
#include "model/param_def.h"
#include "model/user_override_evidence_item.h"
#include "util/codepage.h"

namespace tessaro {

void TEvidenceItem::DeclareProperties(TPropertyDeclarations<TEvidenceItem>& p) {
  p.String("detApplicationRoleID", &TEvidenceItem::detApplicationRoleID, "");
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

void TEvidenceItem::DeleteDependents() {
  ParamDefs().Clear();
  DetailPages().Clear();
  DetailPageSwitches().Clear();
  Actions().Clear();
}

std::string TEvidenceItem::GetDefaultName() const { return Cp1250("Nová evidence"); }

}  // namespace tessaro
