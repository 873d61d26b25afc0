// TUserOverride_EvidenceItem: an installation's replacement of an evidence
// item's name, visibility and protocol. It lives in the user file, so an
// installation can rename, hide or secure lists without touching the
// definitions.
#pragma once

#include <span>
#include <string>

#include "model/inet_mgr_base.h"

namespace tessaro {

class TEvidenceItem;

class TUserOverride_EvidenceItem : public TDeclaredElement<TUserOverride_EvidenceItem, TInetMgrBase> {
 public:
  static constexpr const char* kClassName = "TUserOverride_EvidenceItem";
  static void DeclareProperties(TPropertyDeclarations<TUserOverride_EvidenceItem>& p);

  // The overridden item; null when no item lists the override. Throws
  // Exception (multiple referrers) when several do.
  TEvidenceItem* EvidenceItem() const;

  // 0 EvidenceName (editable), 1 the item's column 0.
  std::string GetColumnText(int column) const override;
  void SetColumnText(int column, const std::string& text) override;
  std::string GetDefaultName() const override;

  std::string detEvidenceItemID;   // InstanceID of the overridden evidence item
  std::string EvidenceName;        // replacement name
  bool ForceSecureAccess = false;  // the item is reached by https only
  bool Visible = true;             // whether the item is shown

 protected:
  std::span<const TStoredReference> StoredReferences() const override;
};

class TUserOverrides_EvidenceItemList final : public TInetMgrList<TUserOverride_EvidenceItem> {
 public:
  using TInetMgrList::TInetMgrList;
};

}  // namespace tessaro
