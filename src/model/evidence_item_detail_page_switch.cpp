// Detail-page switches: their link to the owning evidence item.
#include "model/evidence_item_detail_page_switch.h"

#include "model/evidence_item.h"
#include "util/codepage.h"

namespace tessaro {

void TEvidenceItemDetailPageSwitch::DeclareProperties(TPropertyDeclarations<TEvidenceItemDetailPageSwitch>& p) {
  p.String("detEvidenceItemID", &TEvidenceItemDetailPageSwitch::detEvidenceItemID, "");
}

std::span<const TInetMgrBase::TStoredReference> TEvidenceItemDetailPageSwitch::StoredReferences() const {
  static constexpr TStoredReference kReferences[] = {
      StoredReference(&TEvidenceItem::StaticClass, &TEvidenceItemDetailPageSwitch::detEvidenceItemID)};
  return kReferences;
}

TEvidenceItem* TEvidenceItemDetailPageSwitch::EvidenceItem() const { return UniqueReferrer<TEvidenceItem>(); }

std::string TEvidenceItemDetailPageSwitch::GetDefaultName() const { return Cp1250("Nová stránka s podrobnostmi"); }

}  // namespace tessaro
