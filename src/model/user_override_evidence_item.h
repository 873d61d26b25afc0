// TUserOverride_EvidenceItem: an installation's replacement of an evidence
// item's name, visibility and protocol, kept in the user file.
//
// Declared here with its identity and its link to the evidence item; the
// replaced values come with its own behaviour.
#pragma once

#include <span>
#include <string>

#include "model/inet_mgr_base.h"

namespace tessaro {

class TUserOverride_EvidenceItem : public TDeclaredElement<TUserOverride_EvidenceItem, TInetMgrBase> {
 public:
  static constexpr const char* kClassName = "TUserOverride_EvidenceItem";
  static void DeclareProperties(TPropertyDeclarations<TUserOverride_EvidenceItem>& p);

  std::string GetDefaultName() const override;

  std::string detEvidenceItemID;  // InstanceID of the overridden evidence item

 protected:
  std::span<const TStoredReference> StoredReferences() const override;
};

class TUserOverrides_EvidenceItemList final : public TInetMgrList<TUserOverride_EvidenceItem> {
 public:
  using TInetMgrList::TInetMgrList;
};

}  // namespace tessaro
