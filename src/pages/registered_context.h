// TTessaroRegisteredContext: the context of a logged-in visitor. The user
// cookie is resolved to the account, and through it to the role, the
// application type and the catalog; a visitor without an account that has a
// role is sent to the login page. It renders the role's menu of evidence
// items and the account tags, and offers record-action handlers the
// visitor's data (the irc... methods).
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "pages/tessaro_context.h"

struct TessaroRegisteredContext;

namespace tessaro {

class TUserAccount;
class TRegisteredContextAbi;
struct TUploadedFile;

// A value as the text a handler or an address reads: numbers and dates in
// the regional settings, booleans as "True" or "False", null as nothing.
std::string VariantValueText(const TVariant& value);

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
  // The command time-out and connection strings of the user connections.
  int32_t ircCommandTimeout() const;
  std::string ircConnectionString(bool read_only) const;
  // The account's catalog; empty without an account.
  std::string ircDefaultCatalog() const;
  // The account's fields and its non-empty parameter values as name=value
  // lines, built anew on every call and owned by the context.
  const TStrings& ircGetAccountParams();
  // The request's uploaded file `index` (0-based); null when there is none.
  const TUploadedFile* ircGetFile(int32_t index) const;
  // Its form field and client file name; empty when there is no such file.
  std::string ircGetFileFieldName(int32_t index) const;
  std::string ircGetFileName(int32_t index) const;
  int32_t ircGetFilesCount() const;
  // Every option as name=value lines, owned by the context. Throws when the
  // context has no options.
  const TStrings& ircGetOptionsFields();
  // The request fields as name=value lines.
  const TStrings& ircGetRequestFields() { return RequestFields(); }
  std::string ircRemoteAddr() const { return RemoteAddr(); }
  std::string ircSessionID() const { return SessionID(); }
  int ircSessionIDHash(int32_t number) const { return SessionCode(number); }

  // The methods above as the C table that plug-ins compile against
  // (include/tessaro/registered_context.h); built on first use, lives as
  // long as the context.
  TessaroRegisteredContext* PluginInterface();

 protected:
  void InitContext() override;
  void HTMLTag(TCustomPageProducer& sender, TTag kind, const std::string& tagName, const TStrings& params,
               std::string& replaceText) override;

 private:
  const TUserAccount* account_ = nullptr;  // the visitor's account, from the model
  TStrings account_params_;                // ircGetAccountParams
  TStrings options_fields_;                // ircGetOptionsFields
  // The deleter lives with the adapter, so this header need not see it.
  struct AbiDeleter {
    void operator()(TRegisteredContextAbi* abi) const;
  };
  std::unique_ptr<TRegisteredContextAbi, AbiDeleter> plugin_interface_;  // PluginInterface
};

}  // namespace tessaro
