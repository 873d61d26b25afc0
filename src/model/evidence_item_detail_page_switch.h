// TEvidenceItemDetailPageSwitch: chooses the detail page a record link opens
// by the value of a field: up to ten value/page pairs and a default page.
#pragma once

#include <array>
#include <span>
#include <string>
#include <string_view>

#include "model/inet_mgr_base.h"

namespace tessaro {

class TEvidenceItem;

class TEvidenceItemDetailPageSwitch : public TDeclaredElement<TEvidenceItemDetailPageSwitch, TInetMgrBase> {
 public:
  static constexpr const char* kClassName = "TEvidenceItemDetailPageSwitch";
  static constexpr int kPairCount = 10;
  static void DeclareProperties(TPropertyDeclarations<TEvidenceItemDetailPageSwitch>& p);

  // The owning evidence item. Throws Exception (no or multiple referrers)
  // unless exactly one item lists this one.
  TEvidenceItem* EvidenceItem() const;
  // The page of the first pair (01 to 10) whose value equals `value`,
  // letter case ignored (empty values too); IDDetailPage_default when none does.
  const std::string& SelectDetailPage(std::string_view value) const;
  // Sets every page of the switch (the pairs' and the default) that is
  // `old_id` (exact comparison) to `new_id`.
  void ReplacePage(std::string_view old_id, std::string_view new_id);

  // Clears the references to the switch in its evidence item (if it has
  // one) before the switch leaves its lists.
  void Unlink() override;
  // 0 EvidenceDetailSwitchName.
  std::string GetColumnText(int column) const override;
  std::string GetDefaultName() const override;

  std::string detEvidenceItemID;         // InstanceID of the owning evidence item
  std::string EvidenceDetailSwitchName;  // name of the switch
  // Pair n (from 0) is stored as fld_value_<n+1> and IDDetailPage_<n+1>,
  // numbered with two digits.
  std::array<std::string, kPairCount> fld_value;     // the field values
  std::array<std::string, kPairCount> IDDetailPage;  // the page of each value
  std::string IDDetailPage_default;                  // the page when no value matches

 protected:
  std::span<const TStoredReference> StoredReferences() const override;
};

class TEvidenceItemDetailPageSwitchesList final : public TInetMgrList<TEvidenceItemDetailPageSwitch> {
 public:
  using TInetMgrList::TInetMgrList;
};

}  // namespace tessaro
