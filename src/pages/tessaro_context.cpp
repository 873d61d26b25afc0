#include "pages/tessaro_context.h"

#include <ctime>

#include "cgi/url_encoding.h"
#include "context/request_urls.h"
#include "db/odbc_connection.h"
#include "db/prepared_dataset.h"
#include "model/inet_mgr_model.h"
#include "model/user_account.h"
#include "util/base64.h"
#include "util/exception.h"
#include "util/html_escape.h"
#include "util/text.h"
#include "web/tessaro_options.h"
#include "web/user_cookie.h"

namespace tessaro {

void TTessaroCookies::DeclareProperties(TPropertyDeclarations<TTessaroCookies>& p) {
  p.String("PREVURL", &TTessaroCookies::PREVURL).String("ZNKHISTORY", &TTessaroCookies::ZNKHISTORY);
}

void TTessaroContext::DeclareProperties(TPropertyDeclarations<TTessaroContext>& p) {
  p.String("locationreferer", &TTessaroContext::locationreferer);
}

std::unique_ptr<TApplicationCookies> TTessaroContext::CreateCookies() const {
  return std::make_unique<TTessaroCookies>();
}

TTessaroOptions* TTessaroContext::PortalOptions() const { return dynamic_cast<TTessaroOptions*>(Options()); }

const TUserAccount* TTessaroContext::CookieAccount() const {
  const TTessaroOptions* options = PortalOptions();
  if (options == nullptr || !options->Model) return nullptr;
  return UserCookieAccount(tRequestContext::GetUserID(), options->Model->UserAccounts(),
                           UserCookieKey(options->user_cookie_key), std::time(nullptr));
}

std::string TTessaroContext::GetUserID() const {
  const TUserAccount* account = CookieAccount();
  return account != nullptr ? account->InstanceID : std::string();
}

bool TTessaroContext::IsPortalURL(std::string_view url) const {
  if (Request() == nullptr || Options() == nullptr) return false;
  for (char c : url)
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) return false;
  const std::string base = BaseURL("", false);
  if (base.empty() || url.size() < base.size() || !SameText(url.substr(0, base.size()), base)) return false;
  return url.size() == base.size() || url[base.size()] == '/' || url[base.size()] == '?';
}

std::string TTessaroContext::RefererURL() const {
  std::string url;
  if (!locationreferer.empty()) {
    url = Trim(Base64Decode(locationreferer));
    if (!url.empty() && url.front() == '"') url.erase(0, 1);
    url = Trim(url);
    if (!url.empty() && url.back() == '"') url.pop_back();
  } else if (Request() != nullptr) {
    url = Request()->Referer();
  }
  url = StripSystemFields(url);
  return IsPortalURL(url) ? url : std::string();
}

std::unique_ptr<TOdbcDataSet> TTessaroContext::OpenDataSet(std::string_view sql, TCursorLocation location,
                                                           TCursorType type) {
  auto* connection = dynamic_cast<TOdbcConnection*>(Connection());
  if (connection == nullptr) throw Exception("No database connection is open");
  auto data_set = std::make_unique<TOdbcDataSet>(connection);
  data_set->SetCursorLocation(location);
  data_set->SetCursorType(type);
  data_set->SetCommandTimeout(connection->CommandTimeout());
  data_set->SetParamCheck(true);
  // The statement object only binds and runs: the data set keeps the rows.
  tTessaroPreparedAdodatasetObject prepared(*data_set, PrepareSQL(std::string(sql)));
  BindParams(prepared.ParametersOwner());
  prepared.Open();
  return data_set;
}

std::string TTessaroContext::SubmitButtonHTML(std::string_view caption, std::string_view name) const {
  std::string html = "<input type=\"submit\" value=\"" + std::string(caption) + "\"";
  if (!name.empty()) html += " name=\"" + std::string(name) + "\"";
  if (const TTessaroOptions* options = PortalOptions(); options && !options->class_submitbutton.empty())
    html += " class=\"" + options->class_submitbutton + "\"";
  return html + ">";
}

// GoToUrl and PromptedUrl carry the current address to the page a link opens,
// so that it can lead back here. The address is Base64 and then URL-encoded,
// which leaves nothing that could end the script string.
void TTessaroContext::PrepareContext() {
  tRequestContext::PrepareContext();
  const std::string referer = UrlEncode(Base64Encode(CurrentURL()));
  TStrings& lines = ScriptLines();
  for (const std::string& line : {std::string(), std::string("function GoToUrl(_href){"),
                                  " var s='&locationreferer=" + referer + "';", std::string(" window.location=_href+s;"),
                                  std::string(" return false}"), std::string(),
                                  std::string("function PromptedUrl(_href,_prompt,_element){"),
                                  " var s='&locationreferer=" + referer + "';",
                                  std::string("  var r = confirm (_prompt);"), std::string("  if (r !== false) "),
                                  std::string("    {window.location=_href+s} "), std::string(" else  "),
                                  std::string("   if (_element)  "),
                                  std::string("      {_element.checked=!(_element.checked)};"), std::string(" }")})
    lines.Add(line);
}

void TTessaroContext::HTMLTag(TCustomPageProducer& sender, TTag kind, const std::string& tagName,
                              const TStrings& params, std::string& replaceText) {
  tRequestContext::HTMLTag(sender, kind, tagName, params, replaceText);
  if (!replaceText.empty() || !valid_) return;
  if (SameText(tagName, "tag_UploadStreamSizeLimit")) {
    if (const TTessaroOptions* options = PortalOptions()) replaceText = std::to_string(options->UploadStreamSizeLimit);
  }
}

}  // namespace tessaro
