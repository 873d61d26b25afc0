// The portal's module: its action table entries, their protection, and the
// common way a page action runs its context.
#include "web/main_module.h"

#include <ctime>

#include "context/param_controls.h"
#include "context/request_urls.h"
#include "model/inet_mgr_model.h"
#include "model/user_account.h"
#include "pages/db_image_context.h"
#include "pages/do_action_context.h"
#include "pages/error_context.h"
#include "pages/evidence_context.h"
#include "pages/image_context.h"
#include "pages/main_page_context.h"
#include "pages/show_detail_context.h"
#include "pages/show_list_context.h"
#include "util/datetime.h"
#include "util/exception.h"
#include "util/module_path.h"
#include "util/text.h"
#include "web/session_cookies.h"
#include "web/tessaro_options.h"
#include "web/user_cookie.h"

namespace tessaro {

TmainModule::TmainModule() {
  auto bind = [this](void (TmainModule::*method)(TWebRequest&, TWebResponse&, bool&)) {
    return [this, method](TWebRequest& rq, TWebResponse& rs, bool& h) { (this->*method)(rq, rs, h); };
  };
  AddAction("waMain", "/main", TMethodType::Get, bind(&TmainModule::mainModulewaMainAction));
  AddAction("waShowList", "/ShowList", TMethodType::Get, bind(&TmainModule::mainModulewaShowListAction));
  AddAction("waShowDetail", "/ShowDetail", TMethodType::Get, bind(&TmainModule::mainModulewaShowFaktAction));
  AddAction("waShowImg", "/ShowImg", TMethodType::Get, bind(&TmainModule::mainModulewaDBImageAction));
  AddAction("waImg", "/Img", TMethodType::Get, bind(&TmainModule::mainModulewaImgAction));
  AddAction("waRegister", "/Register", TMethodType::Post, bind(&TmainModule::mainModulewaRegisterAction));
  AddAction("waDoAction", "/Action", TMethodType::Any, bind(&TmainModule::mainModulewaDoActionAction));
  AddAction("waRFormMail", "/f2m", TMethodType::Post, bind(&TmainModule::mainModulewaRFormMailAction));
  AddAction("waRemind", "/Rem", TMethodType::Any, bind(&TmainModule::mainModulewaRemindAction));
}

void TmainModule::OnCreate() {
  TWModule::OnCreate();
  // The model's parameter editors draw their filter controls with the
  // functions of the context layer, which the model does not know.
  InstallParamControls();
  for (const char* name : {"waMain", "waShowList", "waShowDetail", "waShowImg", "waDoAction", "waRFormMail"})
    AddLoginPath(ActionPath(name), true);
  for (const char* name : {"waImg", "waDoAction", "waRFormMail"}) AddSessionPath(ActionPath(name));
}

std::string TmainModule::Authenticate(TLoginContext& login) {
  if (!NeedsAccount(login.logdest)) return TWModule::Authenticate(login);
  TTessaroOptions* options = PortalOptions();
  if (options == nullptr || login.USRNAME.empty()) return "";
  const TUserAccount* account = options->Model->UserAccounts().FindByCredentials(login.USRNAME, login.PSWD);
  return account != nullptr ? UserCookieFor(*account, !login.storecookies.empty()) : std::string();
}

// The accounts live in the metadata model, which the options load on every
// request; a portal whose model holds no accounts lets nobody in.
bool TmainModule::CheckUser(TWebRequest& request, const std::string& user_id, const std::string& path) {
  if (!NeedsAccount(path)) return TWModule::CheckUser(request, user_id, path);
  TTessaroOptions* options = PortalOptions();
  if (options == nullptr) return false;
  return UserCookieAccount(user_id, options->Model->UserAccounts(), UserCookieKey(options->user_cookie_key),
                           std::time(nullptr)) != nullptr;
}

std::string TmainModule::UserCookieFor(const TUserAccount& account, bool persistent) {
  TTessaroOptions& options = *PortalOptions();
  const int64_t expiry = UserCookieExpiry(persistent, options.cookie_expires, Date(), std::time(nullptr));
  return UserCookieValue(account, expiry, UserCookieKey(options.user_cookie_key));
}

TTessaroOptions* TmainModule::PortalOptions() { return dynamic_cast<TTessaroOptions*>(GetOptions()); }

std::unique_ptr<TLoginContext> TmainModule::CreateLoginContext(TWebRequest& request, TWebResponse& response,
                                                               bool from_login_form, TWebAppOptions* options) {
  std::unique_ptr<TLoginContext> context = MakeContext<TTessaroLoginContext>(&request, options, &response);
  if (!from_login_form) context->TakeDestinationFrom(request);
  return context;
}

// The portal's options: their defaults, the generic module's settings, the
// action paths links are built with, then the settings files, the regional
// settings and the model. A failure leaves no options behind, so the request
// gets the error page.
std::unique_ptr<TWebAppOptions> TmainModule::CreateOptions(std::unique_ptr<TWebAppOptions>) {
  auto created = std::make_unique<TTessaroOptions>();
  TTessaroOptions& tessaro = *created;
  std::unique_ptr<TWebAppOptions> options = TWModule::CreateOptions(std::move(created));
  tessaro.ShowImgPath = ActionPath("waShowImg");
  tessaro.ImgPath = ActionPath("waImg");
  tessaro.ShowListPath = ActionPath("waShowList");
  tessaro.ShowDetailPath = ActionPath("waShowDetail");
  tessaro.DoActionPath = ActionPath("waDoAction");
  tessaro.Load(ModuleIniFileName());
  return options;
}

std::unique_ptr<tRequestContext> TmainModule::CreateErrorContext(TWebRequest& request, const std::exception& error,
                                                                 TWebResponse& response) {
  TTessaroOptions* options = PortalOptions();
  if (options == nullptr || options->pgERROR.empty()) return nullptr;
  auto context = std::make_unique<TTessaroErrorContext>(&request, options, &response);
  context->SetErrorMessage(error.what());
  context->CompleteConstruction();
  return context;
}

void TmainModule::ShowError(bool czech, const std::exception& error, TWebResponse& response) {
  if (response.StatusCode() < 400) response.SetStatusCode(500);
  try {
    std::unique_ptr<tRequestContext> context = Request() ? CreateErrorContext(*Request(), error, response) : nullptr;
    if (context) {
      tRequestContext& ctx = *context;
      SetContext(std::move(context));
      std::string page = ctx.Produce(MainPageProducer());
      response.SetContent(std::move(page));
      response.SetStatusCode(200);
      FreeContext();
      return;
    }
  } catch (const std::exception&) {
    // The error page itself failed (its template, say): the plain page below.
  }
  FreeContext();
  TWModule::ShowError(czech, error, response);
}

void TmainModule::RunPageContext(std::unique_ptr<tRequestContext> context, TWebRequest& request,
                                 TWebResponse& response) {
  if (auto* portal = dynamic_cast<TTessaroContext*>(context.get()); portal != nullptr && portal->LoginNeeded()) {
    context.reset();
    ShowLoginPage(request, response);
    return;
  }
  tRequestContext& ctx = *context;
  SetContext(std::move(context));
  struct Free {
    TmainModule& module;
    ~Free() { module.FreeContext(); }
  } free_at_end{*this};
  response.SetContent(ctx.Produce(MainPageProducer()));
  // The trail is saved once the page has been made, so that a page that
  // failed leaves the visitor's trail as it was.
  if (auto* evidence = dynamic_cast<TTessaroEvidenceContext*>(&ctx))
    evidence->SaveHistoryCookies(request.CameOverHttps());
}

void TmainModule::mainModulewaMainAction(TWebRequest& request, TWebResponse& response, bool&) {
  RunPageContext(MakeContext<TTessaroMainPageContext>(&request, GetOptions(), &response), request, response);
}

// The portal's other pages come with their page contexts; until a page is
// served its action answers with the Czech error page.
void TmainModule::mainModulewaShowListAction(TWebRequest& request, TWebResponse& response, bool&) {
  RunPageContext(MakeContext<TTessaroShowListContext>(&request, GetOptions(), &response), request, response);
}
void TmainModule::mainModulewaShowFaktAction(TWebRequest& request, TWebResponse& response, bool&) {
  RunPageContext(MakeContext<TTessaroShowDetailContext>(&request, GetOptions(), &response), request, response);
}
// A stored picture. A visitor who may not see the item gets no picture, not
// the login page: the request comes from an <img> tag of a page.
void TmainModule::mainModulewaDBImageAction(TWebRequest& request, TWebResponse& response, bool&) {
  std::unique_ptr<TTessaroDBImageContext> context =
      MakeContext<TTessaroDBImageContext>(&request, GetOptions(), &response);
  TTessaroDBImageContext& image = *context;
  SetContext(std::move(context));
  struct Free {
    TmainModule& module;
    ~Free() { module.FreeContext(); }
  } free_at_end{*this};
  image.WriteResponse(response);
}
// The default picture and the security-code picture. Like the database
// pictures it never shows the login page: an <img> could not show it.
void TmainModule::mainModulewaImgAction(TWebRequest& request, TWebResponse& response, bool&) {
  struct Free {
    TmainModule& module;
    ~Free() { module.FreeContext(); }
  } free_at_end{*this};
  try {
    std::unique_ptr<TTessaroImageContext> owned = MakeContext<TTessaroImageContext>(&request, GetOptions(), &response);
    TTessaroImageContext& context = *owned;
    SetContext(std::move(owned));
    context.SendPicture();
  } catch (const Exception& error) {
    ShowError(true, error, response);
  }
}
void TmainModule::mainModulewaRegisterAction(TWebRequest&, TWebResponse& response, bool&) {
  ShowUnavailablePage(true, response);
}
// A record action: runs once, then sends the content it produced or sends the
// browser on. It never writes the trail cookies: the action is not a page.
void TmainModule::mainModulewaDoActionAction(TWebRequest& request, TWebResponse& response, bool&) {
  std::unique_ptr<TTessaroDoActionContext> context =
      MakeContext<TTessaroDoActionContext>(&request, GetOptions(), &response);
  if (context->LoginNeeded() || !context->Valid()) {
    context.reset();
    ShowLoginPage(request, response);
    return;
  }
  TTessaroDoActionContext& action = *context;
  SetContext(std::move(context));
  struct Free {
    TmainModule& module;
    ~Free() { module.FreeContext(); }
  } free_at_end{*this};
  std::string content = action.Run();
  if (!content.empty())
    response.SetContent(std::move(content));
  else
    response.SendRedirect(action.ResultURL());
}
void TmainModule::mainModulewaRFormMailAction(TWebRequest&, TWebResponse& response, bool&) {
  ShowUnavailablePage(true, response);
}
void TmainModule::mainModulewaRemindAction(TWebRequest&, TWebResponse& response, bool&) {
  ShowUnavailablePage(true, response);
}

}  // namespace tessaro
