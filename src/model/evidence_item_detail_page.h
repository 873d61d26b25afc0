// TEvidenceItemDetailPage: a detail page of an evidence item.
//
// Declared here with its identity and its link to the owning evidence item;
// its stored settings come with its own behaviour.
#pragma once

#include <span>
#include <string>

#include "model/inet_mgr_base.h"

namespace tessaro {

class TEvidenceItem;

class TEvidenceItemDetailPage : public TDeclaredElement<TEvidenceItemDetailPage, TInetMgrBase> {
 public:
  static constexpr const char* kClassName = "TEvidenceItemDetailPage";
  static void DeclareProperties(TPropertyDeclarations<TEvidenceItemDetailPage>& p);

  // The owning evidence item. Throws Exception (no or multiple referrers)
  // unless exactly one item lists this one.
  TEvidenceItem* EvidenceItem() const;
  std::string GetDefaultName() const override;

  std::string detEvidenceItemID;  // InstanceID of the owning evidence item

 protected:
  std::span<const TStoredReference> StoredReferences() const override;
};

class TEvidenceItemDetailPagesList final : public TInetMgrList<TEvidenceItemDetailPage> {
 public:
  using TInetMgrList::TInetMgrList;
};

}  // namespace tessaro
