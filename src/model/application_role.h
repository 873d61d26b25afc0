// TApplicationRole: a role inside an application type. Its accounts see the
// evidence items it owns; an installation may rename it and give it a notice
// text through a role override.
#pragma once

#include <span>
#include <string>

#include "model/inet_mgr_base.h"

namespace tessaro {

class TApplicationType;
class TEvidenceItemsList;
class TUserAccountsList;
class TUserOverride_ApplicationRole;
class TUserOverrides_ApplicationRoleList;

class TApplicationRole : public TDeclaredElement<TApplicationRole, TInetMgrBase> {
 public:
  static constexpr const char* kClassName = "TApplicationRole";
  static void DeclareProperties(TPropertyDeclarations<TApplicationRole>& p);

  TApplicationRole();

  // The role's application type. Throws Exception "\"<name>\" has no
  // refferrer of type TApplicationType" (or the multiple-referrers message)
  // unless exactly one type lists the role.
  TApplicationType* ApplicationType() const;
  // Own lists: [0] evidence items, [1] accounts, [2] overrides.
  TEvidenceItemsList& EvidenceItems() const;
  TUserAccountsList& UserAccounts() const;
  TUserOverrides_ApplicationRoleList& Overrides() const;

  // The role's first override. Without one: with `create` a new override
  // (new InstanceID, this role's identifier and RoleName) added to the
  // model's override list and to Overrides(); else null. Throws Exception
  // when `create` is set and the role belongs to no model.
  TUserOverride_ApplicationRole* UserOverride(bool create);
  // The override's RoleName when there is an override (even an empty one),
  // else RoleName.
  std::string EffectiveRoleName() const;
  // The override's BlackBoard lines, each followed by CR LF; empty without one.
  std::string BlackBoardText() const;

  // Evidence items die with their role; accounts and overrides stay.
  void DeleteDependents() override;
  // User-data mode: 0 EffectiveRoleName (editable, through the override), 1
  // RoleName. Definitions mode: 0 RoleName (editable).
  std::string GetColumnText(int column) const override;
  void SetColumnText(int column, const std::string& text) override;
  std::string GetDefaultName() const override;

  std::string detApplicationTypeID;  // InstanceID of the role's application type
  std::string RoleName;              // name of the role

 protected:
  std::span<const TStoredReference> StoredReferences() const override;

 private:
  // The first override, or null.
  TUserOverride_ApplicationRole* FirstOverride() const;
};

class TApplicationRolesList final : public TInetMgrList<TApplicationRole> {
 public:
  using TInetMgrList::TInetMgrList;
};

}  // namespace tessaro
