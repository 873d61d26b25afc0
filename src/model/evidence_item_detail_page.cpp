// Detail pages: their link to the owning evidence item.
#include "model/evidence_item_detail_page.h"

#include "model/evidence_item.h"
#include "util/codepage.h"

namespace tessaro {

void TEvidenceItemDetailPage::DeclareProperties(TPropertyDeclarations<TEvidenceItemDetailPage>& p) {
  p.String("detEvidenceItemID", &TEvidenceItemDetailPage::detEvidenceItemID, "");
}

std::span<const TInetMgrBase::TStoredReference> TEvidenceItemDetailPage::StoredReferences() const {
  static constexpr TStoredReference kReferences[] = {
      StoredReference(&TEvidenceItem::StaticClass, &TEvidenceItemDetailPage::detEvidenceItemID)};
  return kReferences;
}

TEvidenceItem* TEvidenceItemDetailPage::EvidenceItem() const { return UniqueReferrer<TEvidenceItem>(); }

std::string TEvidenceItemDetailPage::GetDefaultName() const { return Cp1250("Nová stránka s podrobnostmi"); }

}  // namespace tessaro
