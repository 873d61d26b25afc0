// Record actions: their link to the owning evidence item.
#include "model/evidence_item_action.h"

#include "model/evidence_item.h"
#include "util/codepage.h"

namespace tessaro {

void TEvidenceItemAction::DeclareProperties(TPropertyDeclarations<TEvidenceItemAction>& p) {
  p.String("detEvidenceItemID", &TEvidenceItemAction::detEvidenceItemID, "");
}

std::span<const TInetMgrBase::TStoredReference> TEvidenceItemAction::StoredReferences() const {
  static constexpr TStoredReference kReferences[] = {
      StoredReference(&TEvidenceItem::StaticClass, &TEvidenceItemAction::detEvidenceItemID)};
  return kReferences;
}

TEvidenceItem* TEvidenceItemAction::EvidenceItem() const { return UniqueReferrer<TEvidenceItem>(); }

std::string TEvidenceItemAction::GetDefaultName() const { return Cp1250("Nový akční odkaz"); }

}  // namespace tessaro
