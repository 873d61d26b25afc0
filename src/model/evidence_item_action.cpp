// Record actions: their stored properties, the protocol of their links and
// the clearing of the references to a deleted action.
#include "model/evidence_item_action.h"

#include "util/codepage.h"

namespace tessaro {

void TEvidenceItemAction::DeclareProperties(TPropertyDeclarations<TEvidenceItemAction>& p) {
  using A = TEvidenceItemAction;
  p.Enumeration("AccessProtocol", &A::AccessProtocol, AccessProtocolValueNames())
      .StringList("ActionSQL", &A::ActionSQL)
      .String("ClickPromptText", &A::ClickPromptText, "")
      .Boolean("DefaultReturnToFormPage", &A::DefaultReturnToFormPage, false)
      .String("detEvidenceItemID", &A::detEvidenceItemID, "")
      .String("EvidenceActionName", &A::EvidenceActionName, "")
      .String("IDSuccessDetailPage", &A::IDSuccessDetailPage, "")
      .String("ResultTarget", &A::ResultTarget, "")
      .Enumeration("ResultURLField", &A::ResultURLField, {"eariFIELDTEXT", "eariACTIONRESULT"});
}

std::span<const TInetMgrBase::TStoredReference> TEvidenceItemAction::StoredReferences() const {
  static constexpr TStoredReference kReferences[] = {
      StoredReference(&TEvidenceItem::StaticClass, &TEvidenceItemAction::detEvidenceItemID)};
  return kReferences;
}

TEvidenceItem* TEvidenceItemAction::EvidenceItem() const { return UniqueReferrer<TEvidenceItem>(); }

std::string TEvidenceItemAction::AccessProtocolText() const {
  if (EvidenceItem()->EffectiveAccessProtocol() == apHttps) return {};
  return std::string(AccessProtocolName(AccessProtocol));
}

// An action that belongs to no item (or, against the rules, to several)
// still leaves cleanly: each item that lists it forgets it.
void TEvidenceItemAction::Unlink() {
  ForEachListingItem(*this, [this](TEvidenceItem& item) { item.ReplaceActionReference(InstanceID, ""); });
  TInetMgrBase::Unlink();
}

std::string TEvidenceItemAction::GetColumnText(int column) const {
  return column == 0 ? EvidenceActionName : std::string();
}

std::string TEvidenceItemAction::GetDefaultName() const { return Cp1250("Nový akční odkaz"); }

}  // namespace tessaro
