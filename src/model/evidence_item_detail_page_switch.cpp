// Detail-page switches: their ten value/page pairs, stored as twenty
// numbered properties, and the choice of a page by a field value.
#include "model/evidence_item_detail_page_switch.h"

#include <cstdio>

#include "model/column_attribute.h"
#include "model/evidence_item.h"
#include "util/codepage.h"
#include "util/text.h"

namespace tessaro {
namespace {

// "01" .. "10".
std::string PairNumber(int index) {
  char digits[8];
  std::snprintf(digits, sizeof(digits), "%02d", index + 1);
  return digits;
}

}  // namespace

void TEvidenceItemDetailPageSwitch::DeclareProperties(TPropertyDeclarations<TEvidenceItemDetailPageSwitch>& p) {
  using S = TEvidenceItemDetailPageSwitch;
  p.String("detEvidenceItemID", &S::detEvidenceItemID, "")
      .String("EvidenceDetailSwitchName", &S::EvidenceDetailSwitchName, "")
      .String("IDDetailPage_default", &S::IDDetailPage_default, "");
  for (int i = 0; i < kPairCount; ++i) {
    const std::string number = PairNumber(i);
    p.String("fld_value_" + number,
             {[i](const S& s) { return s.fld_value[i]; }, [i](S& s, const std::string& v) { s.fld_value[i] = v; }}, "");
    p.String(
        "IDDetailPage_" + number,
        {[i](const S& s) { return s.IDDetailPage[i]; }, [i](S& s, const std::string& v) { s.IDDetailPage[i] = v; }},
        "");
  }
}

std::span<const TInetMgrBase::TStoredReference> TEvidenceItemDetailPageSwitch::StoredReferences() const {
  static constexpr TStoredReference kReferences[] = {
      StoredReference(&TEvidenceItem::StaticClass, &TEvidenceItemDetailPageSwitch::detEvidenceItemID)};
  return kReferences;
}

TEvidenceItem* TEvidenceItemDetailPageSwitch::EvidenceItem() const { return UniqueReferrer<TEvidenceItem>(); }

const std::string& TEvidenceItemDetailPageSwitch::SelectDetailPage(std::string_view value) const {
  for (int i = 0; i < kPairCount; ++i)
    if (SameText(fld_value[i], value)) return IDDetailPage[i];
  return IDDetailPage_default;
}

void TEvidenceItemDetailPageSwitch::ReplacePage(std::string_view old_id, std::string_view new_id) {
  for (std::string& page : IDDetailPage) ReplaceSoftReference(page, old_id, new_id);
  ReplaceSoftReference(IDDetailPage_default, old_id, new_id);
}

void TEvidenceItemDetailPageSwitch::Unlink() {
  ForEachListingItem(*this, [this](TEvidenceItem& item) { item.ReplaceSwitchReference(InstanceID, ""); });
  TInetMgrBase::Unlink();
}

std::string TEvidenceItemDetailPageSwitch::GetColumnText(int column) const {
  return column == 0 ? EvidenceDetailSwitchName : std::string();
}

std::string TEvidenceItemDetailPageSwitch::GetDefaultName() const { return Cp1250("Nová stránka s podrobnostmi"); }

}  // namespace tessaro
