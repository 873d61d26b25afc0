// TTessaroRegisteredContext: the context of a logged-in visitor. The user
// cookie is resolved to the account, and through it to the role, the
// application type and the catalog; a visitor without an account that has a
// role is sent to the login page. It renders the role's menu of evidence
// items and the account tags, and offers record-action handlers the
// visitor's data (the irc... methods).
#pragma once

#include <string>
#include <string_view>

#include "pages/tessaro_context.h"

namespace tessaro {

class TUserAccount;

class TTessaroRegisteredContext : public TPublished<TTessaroRegisteredContext, TTessaroContext> {
 public:
  static void DeclareProperties(TPropertyDeclarations<TTessaroRegisteredContext>&) {}
  using TPublished::TPublished;

  // The visitor's account; null when the context is not valid.
  const TUserAccount* Account() const { return account_; }

  // The menu of the role's visible evidence items as <li> lines, each linking
  // to `path_info` with the item's ID; the entry named `active` carries the
  // class of the option class_aktivni. The option table_empty when the role
  // has no items.
  std::string EvidenceListHTML(std::string_view path_info, std::string_view active) const;

  // The request's connection, switched to the account's catalog (also an
  // empty one) before it connects.
  void OpenConnection(bool read_only) override;

  // --- what record-action handlers may ask of the visitor ---
  // The account's catalog; empty without an account.
  std::string ircDefaultCatalog() const;
  // The account's fields and its non-empty parameter values as name=value
  // lines, built anew on every call and owned by the context.
  const TStrings& ircGetAccountParams();
  // Every option as name=value lines, owned by the context.
  const TStrings& ircGetOptionsFields();
  // The request fields as name=value lines.
  const TStrings& ircGetRequestFields() { return RequestFields(); }
  std::string ircRemoteAddr() const { return RemoteAddr(); }
  std::string ircSessionID() const { return SessionID(); }
  int ircSessionIDHash(int32_t number) const { return SessionCode(number); }

 protected:
  void InitContext() override;
  void HTMLTag(TCustomPageProducer& sender, TTag kind, const std::string& tagName, const TStrings& params,
               std::string& replaceText) override;

 private:
  const TUserAccount* account_ = nullptr;  // the visitor's account, from the model
  TStrings account_params_;                // ircGetAccountParams
  TStrings options_fields_;                // ircGetOptionsFields
};

}  // namespace tessaro
