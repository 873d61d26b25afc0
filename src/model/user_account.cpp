// User accounts and the lookups the login and the request path make on them.
// User names and passwords compare exactly, letter case included: an account
// is found only by the very text it was given.
#include "model/user_account.h"

#include "model/application_role.h"
#include "util/codepage.h"

namespace tessaro {

void TUserAccount::DeclareProperties(TPropertyDeclarations<TUserAccount>& p) {
  p.String("AccountE_mail", &TUserAccount::AccountE_mail, "")
      .String("AccountName", &TUserAccount::AccountName, "")
      .String("CatalogName", &TUserAccount::CatalogName, "")
      .String("detApplicationRoleID", &TUserAccount::detApplicationRoleID, "")
      .Collection("ParameterValues", &TUserAccount::ParameterValues)
      .String("Password", &TUserAccount::Password, "")
      .String("Username", &TUserAccount::Username, "");
}

std::span<const TInetMgrBase::TStoredReference> TUserAccount::StoredReferences() const {
  static constexpr TStoredReference kReferences[] = {
      StoredReference(&TApplicationRole::StaticClass, &TUserAccount::detApplicationRoleID)};
  return kReferences;
}

TApplicationRole* TUserAccount::Role() const { return OptionalReferrer<TApplicationRole>(); }

std::string TUserAccount::GetColumnText(int column) const {
  switch (column) {
    case 0:
      return AccountName;
    case 1:
      return CatalogName;
    case 2: {
      const TApplicationRole* role = Role();
      return role != nullptr ? role->RoleName : std::string();
    }
    default:
      return {};
  }
}

void TUserAccount::SetColumnText(int column, const std::string& text) {
  if (column == 0) AccountName = text;
  TInetMgrBase::SetColumnText(column, text);
}

std::string TUserAccount::GetDefaultName() const { return Cp1250("Nový uživatelský účet"); }

template <class Match>
TUserAccount* TUserAccountsList::FirstOther(const TUserAccount* except, Match match) const {
  return static_cast<TUserAccount*>(FirstThat(
      [&](const T_V_DataElement* item) { return item != except && match(*static_cast<const TUserAccount*>(item)); }));
}

TUserAccount* TUserAccountsList::FindByUsername(std::string_view username) const {
  if (username.empty()) return nullptr;
  return FirstOther(nullptr, [&](const TUserAccount& a) { return a.Username == username; });
}

TUserAccount* TUserAccountsList::FindByCredentials(std::string_view username, std::string_view password) const {
  if (username.empty()) return nullptr;
  return FirstOther(nullptr, [&](const TUserAccount& a) { return a.Username == username && a.Password == password; });
}

bool TUserAccountsList::HasOtherWithCredentials(std::string_view username, std::string_view password,
                                                const TUserAccount* account) const {
  if (username.empty()) return false;
  return FirstOther(account, [&](const TUserAccount& a) { return a.Username == username && a.Password == password; }) !=
         nullptr;
}

bool TUserAccountsList::HasOtherWithAccountName(std::string_view name, const TUserAccount* account) const {
  if (name.empty()) return false;
  return FirstOther(account, [&](const TUserAccount& a) { return a.AccountName == name; }) != nullptr;
}

}  // namespace tessaro
