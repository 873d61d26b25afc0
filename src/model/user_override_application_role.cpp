// Role overrides: their stored properties, their link to the role and their
// editor columns.
#include "model/user_override_application_role.h"

#include "model/application_role.h"
#include "util/codepage.h"

namespace tessaro {

void TUserOverride_ApplicationRole::DeclareProperties(TPropertyDeclarations<TUserOverride_ApplicationRole>& p) {
  p.StringList("BlackBoard", &TUserOverride_ApplicationRole::BlackBoard)
      .String("detApplicationRoleID", &TUserOverride_ApplicationRole::detApplicationRoleID, "")
      .String("RoleName", &TUserOverride_ApplicationRole::RoleName, "");
}

std::span<const TInetMgrBase::TStoredReference> TUserOverride_ApplicationRole::StoredReferences() const {
  static constexpr TStoredReference kReferences[] = {
      StoredReference(&TApplicationRole::StaticClass, &TUserOverride_ApplicationRole::detApplicationRoleID)};
  return kReferences;
}

TApplicationRole* TUserOverride_ApplicationRole::Role() const { return OptionalReferrer<TApplicationRole>(); }

std::string TUserOverride_ApplicationRole::GetColumnText(int column) const {
  if (column == 0) return RoleName;
  if (column == 1) {
    const TApplicationRole* role = Role();
    return role != nullptr ? role->GetColumnText(0) : std::string();
  }
  return {};
}

void TUserOverride_ApplicationRole::SetColumnText(int column, const std::string& text) {
  if (column == 0) RoleName = text;
  TInetMgrBase::SetColumnText(column, text);
}

std::string TUserOverride_ApplicationRole::GetDefaultName() const {
  return Cp1250("Nové uživatelské předefinování role");
}

}  // namespace tessaro
