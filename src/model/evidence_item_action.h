// TEvidenceItemAction: a record action of an evidence item (an SQL command or a component run on a record).
//
// Declared here with its identity and its link to the owning evidence item;
// its stored settings come with its own behaviour.
#pragma once

#include <span>
#include <string>

#include "model/inet_mgr_base.h"

namespace tessaro {

class TEvidenceItem;

class TEvidenceItemAction : public TDeclaredElement<TEvidenceItemAction, TInetMgrBase> {
 public:
  static constexpr const char* kClassName = "TEvidenceItemAction";
  static void DeclareProperties(TPropertyDeclarations<TEvidenceItemAction>& p);

  // The owning evidence item. Throws Exception (no or multiple referrers)
  // unless exactly one item lists this one.
  TEvidenceItem* EvidenceItem() const;
  std::string GetDefaultName() const override;

  std::string detEvidenceItemID;  // InstanceID of the owning evidence item

 protected:
  std::span<const TStoredReference> StoredReferences() const override;
};

class TEvidenceItemActionsList final : public TInetMgrList<TEvidenceItemAction> {
 public:
  using TInetMgrList::TInetMgrList;
};

}  // namespace tessaro
