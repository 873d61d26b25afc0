// TWModule: the generic web module. It owns the action table and the lists
// of protected and session-bound paths, runs the gate before every action
// (options, request context, logout, session cookie, login check), and turns
// every failure into an error page. TmainModule derives from it and adds the
// portal's own actions.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "cgi/web_request.h"
#include "cgi/web_response.h"
#include "context/page_producer.h"
#include "context/request_context.h"
#include "settings/web_app_options.h"
#include "web/login_context.h"

namespace tessaro {

// One entry of the action table: requests whose method and path match are
// handed to OnAction, which clears `handled` to pass the request on.
struct TWebActionItem {
  using Handler = std::function<void(TWebRequest& request, TWebResponse& response, bool& handled)>;

  std::string Name;
  std::string PathInfo;                       // wildcard mask, matched without case
  TMethodType MethodType = TMethodType::Any;  // Any matches every method
  bool Enabled = true;
  bool Default = false;  // runs when no other action took the request
  Handler OnAction;
};

class TWModule {
 public:
  TWModule();
  virtual ~TWModule();
  TWModule(const TWModule&) = delete;
  TWModule& operator=(const TWModule&) = delete;

  // The creation handler: fills the path lists. Derived modules run the
  // inherited step first. CreateModule calls it right after construction.
  virtual void OnCreate();

  // Answers one request: the gate, the first matching action (or the default
  // one), then the clean-up. Returns whether the request was handled.
  bool Dispatch(TWebRequest& request, TWebResponse& response);
  // The handler for a failure that escaped Dispatch: the status becomes 500,
  // the error page is written and the response sent at once.
  void HandleException(const std::exception& error, TWebRequest& request, TWebResponse& response);

  // --- operations a derived module may refine, in this order ---
  // The user identifier for the credentials of a login form; empty when they
  // are not accepted.
  virtual std::string Authenticate(TLoginContext& login);
  // True when `user_id` identifies a visitor allowed on `path`.
  virtual bool CheckUser(TWebRequest& request, const std::string& user_id, const std::string& path);
  // Completes (or creates, when given null) the options of this module.
  virtual std::unique_ptr<TWebAppOptions> CreateOptions(std::unique_ptr<TWebAppOptions> options);
  // The context of the login form. Unless `from_login_form`, the destination
  // is the requested path and query (without the system fields).
  virtual std::unique_ptr<TLoginContext> CreateLoginContext(TWebRequest& request, TWebResponse& response,
                                                            bool from_login_form, TWebAppOptions* options);
  // Writes the error page for `error` into the response.
  virtual void ShowError(bool czech, const std::exception& error, TWebResponse& response);
  // Logs the visitor in through an outside service; false when it cannot.
  virtual bool BridgeLogin(TWebRequest& request, std::string& user_id);

  // --- fixed operations ---
  // True when the request's "lang" field (query first, then body) is "eng".
  // A request whose fields cannot be decoded counts as Czech.
  bool IsEnglish(TWebRequest& request);
  // Makes `context` the current one, freeing the previous one.
  void SetContext(std::unique_ptr<tRequestContext> context);
  void FreeContext();
  tRequestContext* Context() const { return context_.get(); }
  // The options of this module class, created on the first call.
  TWebAppOptions* GetOptions();
  // Renders the login form in place of the requested page.
  void ShowLoginPage(TWebRequest& request, TWebResponse& response);

  void AddLoginPath(const std::string& path, bool accounts);
  void AddSessionPath(const std::string& path);
  bool NeedsLogin(const std::string& path) const;
  bool NeedsAccount(const std::string& path) const;
  bool NeedsSession(const std::string& path) const;

  // The path of the action named `name`; empty when there is none.
  std::string ActionPath(const std::string& name) const;
  const std::vector<TWebActionItem>& Actions() const { return actions_; }

  TDataSetPageProducer& MainPageProducer() { return main_page_producer_; }
  // The request being dispatched; null outside Dispatch.
  TWebRequest* Request() const { return request_; }

 protected:
  void AddAction(std::string name, std::string path, TMethodType method, TWebActionItem::Handler handler);

  void BeforeDispatch(TWebRequest& request, TWebResponse& response, bool& handled);
  void AfterDispatch(TWebRequest& request, TWebResponse& response, bool& handled);

  // Actions of the generic module.
  void WModulewaDefaultAction(TWebRequest& request, TWebResponse& response, bool& handled);
  void WModulewaTestAction(TWebRequest& request, TWebResponse& response, bool& handled);
  void WModulewaCheckLoginAction(TWebRequest& request, TWebResponse& response, bool& handled);
  void WModulewaPageAction(TWebRequest& request, TWebResponse& response, bool& handled);
  void WModulewaCalendarAction(TWebRequest& request, TWebResponse& response, bool& handled);

  // The answer of an action whose page this build does not serve yet.
  void ShowUnavailablePage(bool czech, TWebResponse& response);
  // Renders the login form of `context` (the current context) into the response.
  void ProduceLoginForm(TLoginContext& context, TWebResponse& response);

 private:
  void RunGate(TWebRequest& request, TWebResponse& response, bool& handled);
  // Authenticate behind the limit on failed logins (TLoginThrottle): a
  // refused attempt gets the same empty identifier as a wrong password.
  std::string AuthenticateWithinLimit(TWebRequest& request, TLoginContext& login);

  TWebRequest* request_ = nullptr;                         // the request being dispatched, not owned
  std::unique_ptr<tRequestContext> context_;               // the page context of the running action
  std::vector<std::pair<std::string, bool>> login_paths_;  // path, accounts flag
  std::vector<std::string> session_paths_;                 // paths that need an existing session
  std::vector<TWebActionItem> actions_;                    // the action table in matching order
  TDataSetPageProducer main_page_producer_;                // renders page contexts and the error page
  TPageProducer pp_login_;                                 // renders the login form
  TPageProducer pp_log_ok_;                                // renders the login confirmation
};

// Creates a module and runs its creation handler.
template <class Module>
std::unique_ptr<Module> CreateModule() {
  auto module = std::make_unique<Module>();
  module->OnCreate();
  return module;
}

// Matches `text` against a mask with "*" (any run) and "?" (any character),
// without regard to ASCII case.
bool MatchesMask(std::string_view text, std::string_view mask);

}  // namespace tessaro
