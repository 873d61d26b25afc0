// Evidence overrides: their stored properties, their link to the
// overridden evidence item and their editor columns.
#include "model/user_override_evidence_item.h"

#include "model/evidence_item.h"
#include "util/codepage.h"

namespace tessaro {

void TUserOverride_EvidenceItem::DeclareProperties(TPropertyDeclarations<TUserOverride_EvidenceItem>& p) {
  using O = TUserOverride_EvidenceItem;
  p.String("detEvidenceItemID", &O::detEvidenceItemID, "")
      .String("EvidenceName", &O::EvidenceName, "")
      .Boolean("ForceSecureAccess", &O::ForceSecureAccess, false)
      .Boolean("Visible", &O::Visible, true);
}

std::span<const TInetMgrBase::TStoredReference> TUserOverride_EvidenceItem::StoredReferences() const {
  static constexpr TStoredReference kReferences[] = {
      StoredReference(&TEvidenceItem::StaticClass, &TUserOverride_EvidenceItem::detEvidenceItemID)};
  return kReferences;
}

TEvidenceItem* TUserOverride_EvidenceItem::EvidenceItem() const { return OptionalReferrer<TEvidenceItem>(); }

std::string TUserOverride_EvidenceItem::GetColumnText(int column) const {
  if (column == 0) return EvidenceName;
  if (column == 1) {
    const TEvidenceItem* item = EvidenceItem();
    return item != nullptr ? item->GetColumnText(0) : std::string();
  }
  return {};
}

void TUserOverride_EvidenceItem::SetColumnText(int column, const std::string& text) {
  if (column == 0) EvidenceName = text;
  TInetMgrBase::SetColumnText(column, text);
}

std::string TUserOverride_EvidenceItem::GetDefaultName() const {
  return Cp1250("Nové uživatelské předefinování evidence");
}

}  // namespace tessaro
