// Evidence overrides: their link to the overridden evidence item.
#include "model/user_override_evidence_item.h"

#include "model/evidence_item.h"
#include "util/codepage.h"

namespace tessaro {

void TUserOverride_EvidenceItem::DeclareProperties(TPropertyDeclarations<TUserOverride_EvidenceItem>& p) {
  p.String("detEvidenceItemID", &TUserOverride_EvidenceItem::detEvidenceItemID, "");
}

std::span<const TInetMgrBase::TStoredReference> TUserOverride_EvidenceItem::StoredReferences() const {
  static constexpr TStoredReference kReferences[] = {
      StoredReference(&TEvidenceItem::StaticClass, &TUserOverride_EvidenceItem::detEvidenceItemID)};
  return kReferences;
}

std::string TUserOverride_EvidenceItem::GetDefaultName() const {
  return Cp1250("Nové uživatelské předefinování evidence");
}

}  // namespace tessaro
