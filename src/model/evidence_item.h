// TEvidenceItem: one configurable record list of a role, with its parameter
// definitions, overrides, detail pages, actions and detail-page switches.
//
// Declared here with its identity, its link to the role and its detail
// lists; its stored SQL, templates and column attributes come with the
// evidence item's own behaviour.
#pragma once

#include <span>
#include <string>

#include "model/inet_mgr_base.h"

namespace tessaro {

class TApplicationRole;
class TEvidenceItemActionsList;
class TEvidenceItemDetailPagesList;
class TEvidenceItemDetailPageSwitchesList;
class TParamDefsList;
class TUserOverrides_EvidenceItemList;

class TEvidenceItem : public TDeclaredElement<TEvidenceItem, TInetMgrBase> {
 public:
  static constexpr const char* kClassName = "TEvidenceItem";
  static void DeclareProperties(TPropertyDeclarations<TEvidenceItem>& p);

  TEvidenceItem();

  // The item's role. Throws Exception (no or multiple referrers) unless
  // exactly one role lists the item.
  TApplicationRole* Role() const;
  // Own lists [0] .. [4].
  TParamDefsList& ParamDefs() const;
  TUserOverrides_EvidenceItemList& UserOverrides() const;
  TEvidenceItemDetailPagesList& DetailPages() const;
  TEvidenceItemActionsList& Actions() const;
  TEvidenceItemDetailPageSwitchesList& DetailPageSwitches() const;

  // Parameters, detail pages, switches and actions die with the item; the
  // installation's overrides stay.
  void DeleteDependents() override;
  std::string GetDefaultName() const override;

  std::string detApplicationRoleID;  // InstanceID of the owning role

 protected:
  std::span<const TStoredReference> StoredReferences() const override;
};

class TEvidenceItemsList final : public TInetMgrList<TEvidenceItem> {
 public:
  using TInetMgrList::TInetMgrList;
};

}  // namespace tessaro
