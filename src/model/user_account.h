// TUserAccount: a login of the portal. Its InstanceID is also the user
// identifier the portal keeps in the visitor's cookie; its role decides which
// evidence items the visitor sees.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "model/account_parameter.h"
#include "model/inet_mgr_base.h"

namespace tessaro {

class TApplicationRole;

class TUserAccount : public TDeclaredElement<TUserAccount, TInetMgrBase> {
 public:
  static constexpr const char* kClassName = "TUserAccount";
  static void DeclareProperties(TPropertyDeclarations<TUserAccount>& p);

  // The account's role; null when no role lists the account. Throws
  // Exception (multiple referrers) when several do.
  TApplicationRole* Role() const;

  // 0 AccountName (editable), 1 CatalogName, 2 the role's RoleName.
  std::string GetColumnText(int column) const override;
  void SetColumnText(int column, const std::string& text) override;
  std::string GetDefaultName() const override;

  std::string AccountE_mail;           // e-mail address of the account
  std::string AccountName;             // display name
  std::string CatalogName;             // catalog opened for the account's data
  std::string detApplicationRoleID;    // InstanceID of the account's role
  TAccountParameters ParameterValues;  // named typed values of the account
  std::string Password;                // compared as plain text
  std::string Username;                // login name

 protected:
  std::span<const TStoredReference> StoredReferences() const override;
};

class TUserAccountsList final : public TInetMgrList<TUserAccount> {
 public:
  using TInetMgrList::TInetMgrList;

  // The first account whose Username is `username`, letter case included;
  // null for an empty `username`.
  TUserAccount* FindByUsername(std::string_view username) const;
  // The first account with exactly this Username and Password; null for an
  // empty `username` (an empty password matches an empty one).
  TUserAccount* FindByCredentials(std::string_view username, std::string_view password) const;
  // Whether an account other than `account` has this non-empty Username and
  // this Password.
  bool HasOtherWithCredentials(std::string_view username, std::string_view password, const TUserAccount* account) const;
  // Whether an account other than `account` has this non-empty AccountName.
  bool HasOtherWithAccountName(std::string_view name, const TUserAccount* account) const;

 private:
  // The first account other than `except` for which `match` holds, or null.
  template <class Match>
  TUserAccount* FirstOther(const TUserAccount* except, Match match) const;
};

}  // namespace tessaro
