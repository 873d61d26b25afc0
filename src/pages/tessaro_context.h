// TTessaroContext: the common base of the portal's page contexts. It reads the
// portal's cookies (the trail and the previous page besides the login
// cookies), knows which account the user cookie names, where the visitor came
// from, and adds the page scripts the record links call.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "context/request_context.h"
#include "db/odbc_dataset.h"

namespace tessaro {

class TParameters;
class TTessaroOptions;
class TUserAccount;

// The portal's cookie set.
class TTessaroCookies : public TPublished<TTessaroCookies, TApplicationCookies> {
 public:
  static void DeclareProperties(TPropertyDeclarations<TTessaroCookies>& p);

  std::string PREVURL;     // the address of the previous record page
  std::string ZNKHISTORY;  // the visitor's trail (TTessaroURLHistoryStack::Save)
};

class TTessaroContext : public TPublished<TTessaroContext, tRequestContext> {
 public:
  static void DeclareProperties(TPropertyDeclarations<TTessaroContext>& p);
  using TPublished::TPublished;

  std::string locationreferer;  // Base64 of the page the visitor came from

  // The InstanceID of the account the user cookie names (signed or plain, as
  // the options say); empty when it names none.
  std::string GetUserID() const override;
  // The account the user cookie names, or null.
  const TUserAccount* CookieAccount() const;

  // The page to go back to: the decoded locationreferer, else the request's
  // Referer, without the system fields; empty unless it is an address of this
  // portal (IsPortalURL), as both come from the visitor.
  std::string RefererURL() const;
  // Whether `url` is an address on this portal: it starts with the portal's
  // base URL (scheme, host, script) followed by a path or query, and holds no
  // control characters.
  bool IsPortalURL(std::string_view url) const;

  // A data set of `sql` on the context's connection (OpenConnection first),
  // with this cursor, the connection's command timeout and parameters parsed
  // from the text; the text goes through PrepareSQL, the parameters through
  // BindParams, then it is opened. Lists use (clUseClient, ctStatic), every
  // other query (clUseServer, ctOpenForwardOnly). Throws Exception without a
  // connection and the database's errors.
  std::unique_ptr<TOdbcDataSet> OpenDataSet(std::string_view sql, TCursorLocation location, TCursorType type);

  // A submit button with `caption` (and the attribute name when given).
  std::string SubmitButtonHTML(std::string_view caption, std::string_view name) const;

  // Set when the visitor must log in before seeing this page.
  bool LoginNeeded() const { return login_needed_; }

  TTessaroCookies& PortalCookies() { return static_cast<TTessaroCookies&>(Cookies()); }
  // The portal's options; null when the module runs with other options.
  TTessaroOptions* PortalOptions() const;

 protected:
  std::unique_ptr<TApplicationCookies> CreateCookies() const override;
  void PrepareContext() override;
  void HTMLTag(TCustomPageProducer& sender, TTag kind, const std::string& tagName, const TStrings& params,
               std::string& replaceText) override;

  // The visitor may not see this page: the login page is shown instead.
  void RequireLogin() {
    login_needed_ = true;
    valid_ = false;
  }

 private:
  bool login_needed_ = false;
};

}  // namespace tessaro
