// Detail pages: their stored properties, the protocol of their links, and
// the identity repair and reference clean-up that keep the item's soft
// references to them right.
#include "model/evidence_item_detail_page.h"

#include "model/object_reference.h"
#include "util/codepage.h"

namespace tessaro {

void TEvidenceItemDetailPage::DeclareProperties(TPropertyDeclarations<TEvidenceItemDetailPage>& p) {
  using D = TEvidenceItemDetailPage;
  p.Enumeration("AccessProtocol", &D::AccessProtocol, AccessProtocolValueNames())
      .Collection("DetailColumnAttributes", &D::DetailColumnAttributes)
      .Collection("DetailListColumnAttributes", &D::DetailListColumnAttributes)
      .StringList("DetailListSelectClause", &D::DetailListSelectClause)
      .StringList("DetailSelectClause", &D::DetailSelectClause)
      .String("DetailTarget", &D::DetailTarget, "")
      .String("detEvidenceItemID", &D::detEvidenceItemID, "")
      .String("EvidenceDetailName", &D::EvidenceDetailName, "")
      .String("Expr_DetailTemplate", &D::Expr_DetailTemplate, "")
      .String("IDAction", &D::IDAction, "")
      .StringList("ListSummaryRowSelectClause", &D::ListSummaryRowSelectClause);
  DeclareObjectReference(p, "DetailListProducerTemplate");
}

std::span<const TInetMgrBase::TStoredReference> TEvidenceItemDetailPage::StoredReferences() const {
  static constexpr TStoredReference kReferences[] = {
      StoredReference(&TEvidenceItem::StaticClass, &TEvidenceItemDetailPage::detEvidenceItemID)};
  return kReferences;
}

TEvidenceItem* TEvidenceItemDetailPage::EvidenceItem() const { return UniqueReferrer<TEvidenceItem>(); }

std::string TEvidenceItemDetailPage::AccessProtocolText() const {
  if (EvidenceItem()->EffectiveAccessProtocol() == apHttps) return {};
  return std::string(AccessProtocolName(AccessProtocol));
}

std::string TEvidenceItemDetailPage::RowIdentifierFieldName() const {
  const TZNKHTMLTableColumnAttribute* attribute = DetailListColumnAttributes.LastRowIdentifier();
  return attribute != nullptr ? attribute->FieldName : std::string();
}

void TEvidenceItemDetailPage::AfterLoad() {
  TEvidenceItem* item = EvidenceItem();
  if (InstanceID != item->InstanceID) return;
  NewInstanceID(true);
  item->ReplaceDetailPageReference(item->InstanceID, InstanceID);
}

void TEvidenceItemDetailPage::Unlink() {
  ForEachListingItem(*this, [this](TEvidenceItem& item) { item.ReplaceDetailPageReference(InstanceID, ""); });
  TInetMgrBase::Unlink();
}

std::string TEvidenceItemDetailPage::GetColumnText(int column) const {
  if (column == 0) return EvidenceDetailName;
  if (column == 1) {
    if (!DetailTarget.empty()) return DetailTarget;
    return IDAction.empty() ? "(default)" : std::string();
  }
  return {};
}

std::string TEvidenceItemDetailPage::GetDefaultName() const { return Cp1250("Nová stránka s podrobnostmi"); }

}  // namespace tessaro
