// The generic web module: action table, gate and error pages.
//
// One request runs through Dispatch in this order: the gate (BeforeDispatch)
// may answer on its own (error page, login page); otherwise the first action
// whose method and path match takes the request, or the default action when
// none did; AfterDispatch frees the page context. Failures the system raises
// (Exception) are trapped where they arise and become error pages; anything
// else passes through to HandleException and, past that, to the process's
// last-resort output.
#include "web/web_module.h"

#include <cstdio>
#include <ctime>
#include <typeindex>

#include "context/calendar_context.h"
#include "context/html_helpers.h"
#include "context/request_urls.h"
#include "context/simple_page_context.h"
#include "util/codepage.h"
#include "util/exception.h"
#include "util/text.h"
#include "web/login_throttle.h"
#include "web/session_cookies.h"

namespace tessaro {
namespace {

// The confirmation pages of the test login, built in so that the test login
// works before any template is configured.
const char kLoginOkPageEnglish[] =
    "<HTML><HEAD><TITLE>Login OK</TITLE></HEAD><BODY>Login OK. Please continue by clicking the following "
    "<a href=\"<#LINK>\">link</a></BODY></HTML>";
const char kLoginOkPageCzech[] =
    "<HTML><HEAD><TITLE>Prihlaseni OK</TITLE></HEAD><BODY>Prihlaseni probehlo OK. Pokracujte kliknutim "
    "<a href=\"<#LINK>\">zde</a></BODY></HTML>";

// The administrator may switch each security header off, for example for a
// portal that another site of the same owner shows in a frame.
void ApplySecurityHeaderOptions(const TWebAppOptions& options, TWebResponse& response) {
  TSecurityHeaders headers;
  headers.NoSniff = options.header_nosniff;
  headers.ReferrerPolicy = options.header_referrer_policy;
  headers.FrameOptions = options.header_frame_options;
  headers.CspFrameAncestors = options.header_csp_frame_ancestors;
  response.SetSecurityHeaders(headers);
}

}  // namespace

bool MatchesMask(std::string_view text, std::string_view mask) {
  // Iterative matching with one backtrack point: linear in practice and
  // never recursive, whatever the mask.
  size_t t = 0, m = 0, star = std::string_view::npos, resume = 0;
  while (t < text.size()) {
    if (m < mask.size() && (mask[m] == '?' || AsciiLower(mask[m]) == AsciiLower(text[t]))) {
      ++t;
      ++m;
    } else if (m < mask.size() && mask[m] == '*') {
      star = m++;
      resume = t;
    } else if (star != std::string_view::npos) {
      m = star + 1;
      t = ++resume;
    } else {
      return false;
    }
  }
  while (m < mask.size() && mask[m] == '*') ++m;
  return m == mask.size();
}

TWModule::TWModule() {
  auto bind = [this](void (TWModule::*method)(TWebRequest&, TWebResponse&, bool&)) {
    return [this, method](TWebRequest& rq, TWebResponse& rs, bool& h) { (this->*method)(rq, rs, h); };
  };
  AddAction("waDefault", "", TMethodType::Any, bind(&TWModule::WModulewaDefaultAction));
  actions_.back().Enabled = false;
  actions_.back().Default = true;
  AddAction("waTest", "/zntest", TMethodType::Any, bind(&TWModule::WModulewaTestAction));
  AddAction("waTest2", "/zntest2", TMethodType::Any, bind(&TWModule::WModulewaTestAction));
  AddAction("waCheckLogin", "/CheckLogin", TMethodType::Any, bind(&TWModule::WModulewaCheckLoginAction));
  AddAction("waPage", "/Page", TMethodType::Get, bind(&TWModule::WModulewaPageAction));
  AddAction("waCalendar", "/Cal", TMethodType::Get, bind(&TWModule::WModulewaCalendarAction));
}

TWModule::~TWModule() { FreeContext(); }

void TWModule::AddAction(std::string name, std::string path, TMethodType method, TWebActionItem::Handler handler) {
  TWebActionItem item;
  item.Name = std::move(name);
  item.PathInfo = std::move(path);
  item.MethodType = method;
  item.OnAction = std::move(handler);
  actions_.push_back(std::move(item));
}

void TWModule::OnCreate() {
  AddLoginPath(ActionPath("waTest"), false);
  AddLoginPath(ActionPath("waTest2"), false);
  AddSessionPath(ActionPath("waCalendar"));
}

std::string TWModule::ActionPath(const std::string& name) const {
  for (const auto& a : actions_)
    if (SameText(a.Name, name)) return a.PathInfo;
  return "";
}

void TWModule::AddLoginPath(const std::string& path, bool accounts) { login_paths_.emplace_back(path, accounts); }
void TWModule::AddSessionPath(const std::string& path) { session_paths_.push_back(path); }

bool TWModule::NeedsLogin(const std::string& path) const {
  for (const auto& [p, accounts] : login_paths_)
    if (SameText(p, path)) return true;
  return false;
}

bool TWModule::NeedsAccount(const std::string& path) const {
  for (const auto& [p, accounts] : login_paths_)
    if (accounts && SameText(p, path)) return true;
  return false;
}

bool TWModule::NeedsSession(const std::string& path) const {
  for (const auto& p : session_paths_)
    if (SameText(p, path)) return true;
  return false;
}

// ---------------------------------------------------------------- dispatch

bool TWModule::Dispatch(TWebRequest& request, TWebResponse& response) {
  if (response.Sent()) return true;
  request_ = &request;
  bool handled = false;
  BeforeDispatch(request, response, handled);
  if (!handled && !response.Sent()) {
    std::string path = request.PathInfo();
    for (const auto& action : actions_) {
      if (!action.Enabled) continue;
      if (action.MethodType != TMethodType::Any && action.MethodType != request.MethodType()) continue;
      if (!MatchesMask(path, action.PathInfo)) continue;
      handled = true;
      action.OnAction(request, response, handled);
      if (handled) break;
    }
    if (!handled) {
      for (const auto& action : actions_) {
        if (!action.Default) continue;
        handled = true;
        action.OnAction(request, response, handled);
        break;
      }
    }
  }
  if (handled && !response.Sent()) {
    bool after_handled = true;
    AfterDispatch(request, response, after_handled);
  }
  return handled;
}

void TWModule::HandleException(const std::exception& error, TWebRequest& request, TWebResponse& response) {
  response.SetStatusCode(500);
  ShowError(!IsEnglish(request), error, response);
  response.SendResponse();
}

void TWModule::BeforeDispatch(TWebRequest& request, TWebResponse& response, bool& handled) {
  handled = false;
  try {
    RunGate(request, response, handled);
  } catch (const Exception& error) {
    ShowError(!IsEnglish(request), error, response);
    handled = true;
  }
}

// The gate: every request passes here before its action runs.
void TWModule::RunGate(TWebRequest& request, TWebResponse& response, bool& handled) {
  const std::string path = request.PathInfo();
  const bool is_login_check = SameText(path, ActionPath("waCheckLogin"));
  TWebAppOptions* options = GetOptions();
  ApplySecurityHeaderOptions(*options, response);
  if (request.ContentTooLarge()) {
    response.SetStatusCode(413);
    throw Exception(Cp1250("Požadavek je příliš velký"));
  }
  if (request.LengthRequired()) {
    response.SetStatusCode(411);
    throw Exception(Cp1250("Požadavek neudává délku svého obsahu (Content-Length)"));
  }

  SetContext(MakeContext<tRequestContext>(&request, options, &response));
  const std::string user_id = Context()->Cookies().ZNKCGIUSERID;

  const bool logout = !is_login_check && !Context()->logout.empty();
  if (logout) {
    SendLogoutCookies(request, *Context(), *options, response);
  } else if (Context()->Cookies().ZNKSESSIONID.empty()) {
    if (NeedsSession(path)) throw Exception("Cross link not allowed");
    StartNewSession(request, *Context(), *options, response);
  }

  if (!NeedsLogin(path)) return;
  const bool valid_visitor = !logout && !user_id.empty() && CheckUser(request, user_id, path);
  if (valid_visitor || is_login_check) return;
  std::string bridged_user;
  if (!logout && BridgeLogin(request, bridged_user) && !bridged_user.empty()) {
    std::string session_id = Context()->Cookies().ZNKSESSIONID;
    request.CookieFields().SetValues("ZNKCGIUSERID", bridged_user);
    request.CookieFields().SetValues("ZNKSESSIONID", session_id);
    SetContext(MakeContext<tRequestContext>(&request, options, &response));
    SendUserCookie(bridged_user, false, request, *Context(), *options, response);
    return;
  }
  ShowLoginPage(request, response);
  handled = true;
}

void TWModule::AfterDispatch(TWebRequest&, TWebResponse&, bool&) { SetContext(nullptr); }

// ---------------------------------------------------------------- contexts

void TWModule::SetContext(std::unique_ptr<tRequestContext> context) {
  FreeContext();
  context_ = std::move(context);
}

void TWModule::FreeContext() {
  main_page_producer_.SetDataSet(nullptr);
  main_page_producer_.SetOnHTMLTag(nullptr);
  context_.reset();
}

TWebAppOptions* TWModule::GetOptions() {
  auto& manager = TWebAppOptionsManager::Instance();
  std::type_index key(typeid(*this));
  if (TWebAppOptions* options = manager.Find(key)) return options;
  return manager.Store(key, CreateOptions(nullptr));
}

bool TWModule::IsEnglish(TWebRequest& request) {
  try {
    std::string lang = request.QueryFields().Values("lang");
    if (lang.empty()) {
      // Once a page context has taken the body's fields over, its shared list
      // starts with them: reading that list spares a large body a second parse.
      const auto& shared = request.SharedRequestFields();
      lang = shared && request.MethodType() != TMethodType::Get ? shared->Values("lang")
                                                                : request.ContentFields().Values("lang");
    }
    return SameText(lang, "eng");
  } catch (const Exception&) {
    return false;
  }
}

// ---------------------------------------------------------------- virtual operations

bool TWModule::CheckUser(TWebRequest&, const std::string& user_id, const std::string& path) {
  return (SameText(path, ActionPath("waTest")) || SameText(path, ActionPath("waTest2"))) && user_id == "TEST";
}

std::unique_ptr<TWebAppOptions> TWModule::CreateOptions(std::unique_ptr<TWebAppOptions> options) {
  if (!options) options = std::make_unique<TWebAppOptions>();
  options->cookie_expires = 1;
  options->LoginPath = ActionPath("waCheckLogin");
  return options;
}

void TWModule::ShowError(bool czech, const std::exception& error, TWebResponse& response) {
  response.SetContent(ErrorPage(czech, error.what()));
}

bool TWModule::BridgeLogin(TWebRequest&, std::string& user_id) {
  user_id.clear();
  return false;
}

std::string TWModule::Authenticate(TLoginContext& login) {
  const bool test_destination =
      SameText(login.logdest, ActionPath("waTest")) || SameText(login.logdest, ActionPath("waTest2"));
  return test_destination && login.USRNAME == "quokka" && login.PSWD == "pelican" ? "TEST" : "";
}

// Guessing passwords stops after a few failures per name and per address.
// When the counts cannot be kept the login still works (locking every
// visitor out over a file problem would be worse) and the web server's
// error log says why.
std::string TWModule::AuthenticateWithinLimit(TWebRequest& request, TLoginContext& login) {
  TLoginThrottle throttle(LoginFailureFile(), login.USRNAME, request.RemoteAddr(), std::time(nullptr));
  if (!throttle.Active())
    std::fprintf(stderr, "tessaro.cgi: failed logins are not limited: %s\n", throttle.Problem().c_str());
  if (throttle.Refused()) return "";
  std::string user_id = Authenticate(login);
  if (user_id.empty())
    throttle.RecordFailure();
  else
    throttle.RecordSuccess();
  return user_id;
}

std::unique_ptr<TLoginContext> TWModule::CreateLoginContext(TWebRequest& request, TWebResponse& response,
                                                            bool from_login_form, TWebAppOptions* options) {
  auto context = MakeContext<TLoginContext>(&request, options, &response);
  if (!from_login_form) context->TakeDestinationFrom(request);
  return context;
}

void TWModule::ProduceLoginForm(TLoginContext& context, TWebResponse& response) {
  TWebAppOptions& options = *GetOptions();
  const std::string& name = SameText(context.lang, "eng") ? options.pgLOGINeng : options.pgLOGIN;
  pp_login_.SetHTMLFile(ResolveTemplatePath(options, name));
  response.SetContent(context.Produce(pp_login_));
}

void TWModule::ShowLoginPage(TWebRequest& request, TWebResponse& response) {
  std::unique_ptr<TLoginContext> owned = CreateLoginContext(request, response, false, GetOptions());
  TLoginContext& context = *owned;
  SetContext(std::move(owned));
  ProduceLoginForm(context, response);
}

void TWModule::ShowUnavailablePage(bool czech, TWebResponse& response) {
  ShowError(czech, Exception(Cp1250("Stránka není k dispozici")), response);
}

// ---------------------------------------------------------------- actions

void TWModule::WModulewaDefaultAction(TWebRequest& request, TWebResponse& response, bool&) {
  Exception error(Cp1250("Neplatný vstupní bod"));
  response.SetStatusCode(400);
  ShowError(!IsEnglish(request), error, response);
  response.SetStatusCode(200);
}

void TWModule::WModulewaTestAction(TWebRequest&, TWebResponse& response, bool&) {
  response.SetContent(InvalidRequestPage(true));
}

// The login form's target: a successful login sets the user cookie and shows
// the confirmation page; a failed one shows the form again.
void TWModule::WModulewaCheckLoginAction(TWebRequest& request, TWebResponse& response, bool&) {
  struct Free {
    TWModule& module;
    ~Free() { module.FreeContext(); }
  } free_at_end{*this};
  try {
    TWebAppOptions& options = *GetOptions();
    std::unique_ptr<TLoginContext> owned = CreateLoginContext(request, response, true, &options);
    TLoginContext& context = *owned;
    SetContext(std::move(owned));
    const std::string user_id = AuthenticateWithinLimit(request, context);
    if (user_id.empty()) {
      context.Cookies().ZNKCGIUSERID.clear();
      context.BadLogin = true;
      ProduceLoginForm(context, response);
      return;
    }
    SendUserCookie(user_id, !context.storecookies.empty(), request, context, options, response);
    const bool english = SameText(context.lang, "eng");
    if (SameText(context.logdest, ActionPath("waTest2"))) {
      TStrings doc;
      doc.Add(english ? kLoginOkPageEnglish : kLoginOkPageCzech);
      pp_log_ok_.SetHTMLDoc(doc);
    } else {
      pp_log_ok_.SetHTMLFile(ResolveTemplatePath(options, english ? options.pgLOGOKeng : options.pgLOGOK));
    }
    response.SetContent(context.Produce(pp_log_ok_));
  } catch (const Exception& error) {
    ShowError(!IsEnglish(request), error, response);
  }
}

void TWModule::WModulewaPageAction(TWebRequest& request, TWebResponse& response, bool&) {
  struct Free {
    TWModule& module;
    ~Free() { module.FreeContext(); }
  } free_at_end{*this};
  try {
    std::unique_ptr<TSimplePageContext> owned = MakeContext<TSimplePageContext>(&request, GetOptions(), &response);
    TSimplePageContext& context = *owned;
    SetContext(std::move(owned));
    response.SetContent(context.Produce(MainPageProducer()));
  } catch (const Exception& error) {
    ShowError(!IsEnglish(request), error, response);
  }
}

void TWModule::WModulewaCalendarAction(TWebRequest& request, TWebResponse& response, bool&) {
  struct Free {
    TWModule& module;
    ~Free() { module.FreeContext(); }
  } free_at_end{*this};
  try {
    std::unique_ptr<TCalendarContext> owned = MakeContext<TCalendarContext>(&request, GetOptions(), &response);
    TCalendarContext& context = *owned;
    SetContext(std::move(owned));
    response.SetContent(context.Produce(MainPageProducer()));
  } catch (const Exception& error) {
    ShowError(!IsEnglish(request), error, response);
  }
}

}  // namespace tessaro
