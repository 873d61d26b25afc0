// TUserOverride_ApplicationRole: an installation's replacement of a role's
// name, with a notice text (blackboard) for the role's users. It lives in the
// user file, so an installation can rename roles without touching the
// definitions.
#pragma once

#include <span>
#include <string>

#include "model/inet_mgr_base.h"
#include "util/string_list.h"

namespace tessaro {

class TApplicationRole;

class TUserOverride_ApplicationRole : public TDeclaredElement<TUserOverride_ApplicationRole, TInetMgrBase> {
 public:
  static constexpr const char* kClassName = "TUserOverride_ApplicationRole";
  static void DeclareProperties(TPropertyDeclarations<TUserOverride_ApplicationRole>& p);

  // The overridden role; null when no role lists the override. Throws
  // Exception (multiple referrers) when several do.
  TApplicationRole* Role() const;

  // 0 RoleName (editable), 1 the role's column 0.
  std::string GetColumnText(int column) const override;
  void SetColumnText(int column, const std::string& text) override;
  std::string GetDefaultName() const override;

  TStrings BlackBoard;               // notice text for users of the role
  std::string detApplicationRoleID;  // InstanceID of the overridden role
  std::string RoleName;              // replacement role name

 protected:
  std::span<const TStoredReference> StoredReferences() const override;
};

class TUserOverrides_ApplicationRoleList final : public TInetMgrList<TUserOverride_ApplicationRole> {
 public:
  using TInetMgrList::TInetMgrList;
};

}  // namespace tessaro
