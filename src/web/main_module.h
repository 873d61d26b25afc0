// TmainModule: the portal's web module. It adds the portal's actions (main
// page, record lists and details, pictures, registration, record actions,
// form-to-mail, reminders) to the generic module, protects them, and renders
// failures through the portal's error page when it can.
#pragma once

#include <memory>

#include "web/web_module.h"

namespace tessaro {

class TTessaroOptions;
class TUserAccount;

class TmainModule : public TWModule {
 public:
  TmainModule();

  void OnCreate() override;
  std::string Authenticate(TLoginContext& login) override;
  bool CheckUser(TWebRequest& request, const std::string& user_id, const std::string& path) override;
  std::unique_ptr<TWebAppOptions> CreateOptions(std::unique_ptr<TWebAppOptions> options) override;
  std::unique_ptr<TLoginContext> CreateLoginContext(TWebRequest& request, TWebResponse& response, bool from_login_form,
                                                    TWebAppOptions* options) override;
  void ShowError(bool czech, const std::exception& error, TWebResponse& response) override;

  // The user cookie value that logs `account` in: persistent for "remember
  // me", else for a browser session. The login form and the login bridge
  // both take their cookie from here.
  std::string UserCookieFor(const TUserAccount& account, bool persistent);

  // Runs a page context: the login page when the visitor may not see it,
  // otherwise its page as the response content.
  void RunPageContext(std::unique_ptr<tRequestContext> context, TWebRequest& request, TWebResponse& response);

 protected:
  // The context that renders the portal's error page; null while the portal
  // has no error page template to offer, so the plain page is used.
  virtual std::unique_ptr<tRequestContext> CreateErrorContext(TWebRequest& request, const std::exception& error,
                                                              TWebResponse& response);

 private:
  // The portal's options; null when they are not the portal's.
  TTessaroOptions* PortalOptions();

  void mainModulewaMainAction(TWebRequest& request, TWebResponse& response, bool& handled);
  void mainModulewaShowListAction(TWebRequest& request, TWebResponse& response, bool& handled);
  void mainModulewaShowFaktAction(TWebRequest& request, TWebResponse& response, bool& handled);
  void mainModulewaDBImageAction(TWebRequest& request, TWebResponse& response, bool& handled);
  void mainModulewaImgAction(TWebRequest& request, TWebResponse& response, bool& handled);
  void mainModulewaRegisterAction(TWebRequest& request, TWebResponse& response, bool& handled);
  void mainModulewaDoActionAction(TWebRequest& request, TWebResponse& response, bool& handled);
  void mainModulewaRFormMailAction(TWebRequest& request, TWebResponse& response, bool& handled);
  void mainModulewaRemindAction(TWebRequest& request, TWebResponse& response, bool& handled);
};

}  // namespace tessaro
