#include "pages/do_action_context.h"

#include <array>

#include "cgi/url_encoding.h"
#include "db/odbc_command.h"
#include "db/odbc_connection.h"
#include "db/param_binding.h"
#include "db/sql_text.h"
#include "model/evidence_item_action.h"
#include "model/evidence_item_detail_page.h"
#include "pages/url_history.h"
#include "util/base64.h"
#include "util/codepage.h"
#include "util/exception.h"
#include "util/format.h"
#include "util/identifiers.h"
#include "util/module_path.h"
#include "util/text.h"
#include "web/tessaro_options.h"

namespace tessaro {
namespace {

// The message a handler's failure without a text of its own shows.
const std::string& GeneralFailure() {
  static const std::string text = Cp1250("Akce se nezdařila");
  return text;
}

// A text as the value of an "actionresult" key: Base64, then URL-encoded.
std::string ActionResultValue(std::string_view text) { return UrlEncode(Base64Encode(text)); }

// A handler's text (UTF-8, possibly null) in the internal code page.
std::string HandlerText(const char* text) { return text != nullptr ? DecodeInput(text) : std::string(); }

}  // namespace

void TTessaroDoActionContext::DeclareProperties(TPropertyDeclarations<TTessaroDoActionContext>& p) {
  p.String("EID", &TTessaroDoActionContext::EID)
      .String("FID", &TTessaroDoActionContext::FID)
      .String("PID", &TTessaroDoActionContext::PID)
      .String("PID2", &TTessaroDoActionContext::PID2);
}

TTessaroDoActionContext::TTessaroDoActionContext(TWebRequest* request, TWebAppOptions* options, TWebResponse* response)
    : TPublished(request, options, response) {}

TTessaroDoActionContext::~TTessaroDoActionContext() = default;

// Only an action of the item the request names runs: any other identifier is
// treated as a visitor who may not be here.
void TTessaroDoActionContext::InitContext() {
  TTessaroEvidenceContext::InitContext();
  if (!valid_) return;
  const TEvidenceItemAction* action = FindAction(EID);
  if (action == nullptr) {
    RequireLogin();
    return;
  }
  SetAction(action);
}

void TTessaroDoActionContext::PrepareContext() {
  TTessaroEvidenceContext::PrepareContext();
  const std::string sql = Trim(StripSqlComments(Action()->ActionSQL.Text()));
  if (sql.empty()) return;
  // A handler that cannot be had is the installation's fault: the error page.
  if (sql.size() == 38 && sql.front() == '{' && sql.back() == '}' && IsGUIDString(sql)) {
    TTessaroOptions* options = PortalOptions();
    if (options == nullptr) throw Exception("Record action handlers need the portal's options");
    handler_ = CreateActionHandler(options->ActionHandlers(), sql, ModuleDir());
    return;
  }
  try {
    OpenConnection(false);
    auto* connection = dynamic_cast<TOdbcConnection*>(Connection());
    if (connection == nullptr) throw Exception("No read-write database connection is configured");
    command_ = std::make_unique<TOdbcCommand>(connection);
    command_->SetCommandText(PrepareSQL(sql));
  } catch (const std::exception& error) {
    command_.reset();
    message_ = error.what();
  }
}

std::string TTessaroDoActionContext::Run() {
  if (Action() == nullptr) throw Exception("No record action to run");
  if (!message_.empty()) {
    succeeded_ = false;
    return "";
  }
  result_value_ = TVariant();
  succeeded_ = true;
  std::string content;
  try {
    if (command_)
      RunCommand();
    else if (handler_)
      content = RunHandler();
  } catch (const std::exception& error) {
    succeeded_ = false;
    message_ = error.what();
  }
  return content;
}

const TParameter* WrittenBackParameter(const TParameters& params) {
  for (const TParameter& parameter : params)
    if (IsOutputDirection(parameter.Direction)) return &parameter;
  return nullptr;
}

// A written-back PID or PID2 moves the browser to that record; any other
// value is the action's result.
void TTessaroDoActionContext::RunCommand() {
  BindParams(command_->Parameters());
  command_->Execute();
  const TParameter* output = WrittenBackParameter(command_->Parameters());
  if (output == nullptr) return;
  const std::string base = ParamNameBase(output->Name);
  if (SameText(base, "PID"))
    PID = VariantValueText(output->Value);
  else if (SameText(base, "PID2"))
    PID2 = VariantValueText(output->Value);
  else
    result_value_ = output->Value;
}

std::string TTessaroDoActionContext::RunHandler() {
  const std::array<std::string, 3> texts{EncodeOutput(PID), EncodeOutput(PID2), EncodeOutput(FID)};
  const char* const args[3] = {texts[0].c_str(), texts[1].c_str(), texts[2].c_str()};
  const char* result = nullptr;
  int32_t status = TESSARO_E_FAIL;
  const int32_t code = handler_->vtbl->Execute(handler_.get(), PluginInterface(), args, &result, &status);
  const std::string result_text = HandlerText(result);
  if (!TESSARO_SUCCEEDED(code)) {
    if (!result_text.empty()) throw Exception(result_text);
    throw Exception(Format("The record action handler failed (code %d)", {static_cast<int64_t>(code)}));
  }
  result_value_ = result != nullptr ? TVariant::String(result_text) : TVariant();
  if (!TESSARO_SUCCEEDED(status)) {
    succeeded_ = false;
    message_ = result_text.empty() ? GeneralFailure() : result_text;
    return "";
  }
  succeeded_ = true;
  FID = result_text;
  message_ = result_text;
  const char* content = nullptr;
  if (!TESSARO_SUCCEEDED(handler_->vtbl->GetContent(handler_.get(), &content)) || content == nullptr) return "";
  // The content goes out as the response: it must be text the browser can
  // take as the page's UTF-8.
  const std::string page(content);
  return IsValidUtf8(page) ? page : std::string();
}

std::string TTessaroDoActionContext::ResultURL() {
  const TEvidenceItemAction* action = Action();
  if (action == nullptr) throw Exception("No record action to run");
  const TTessaroOptions* options = PortalOptions();
  if (succeeded_ && !action->IDSuccessDetailPage.empty()) {
    const TEvidenceItemDetailPage* page = FindDetailPage(action->IDSuccessDetailPage);
    std::string url = BaseURL(page != nullptr ? page->AccessProtocolText() : "", false) +
                      (options != nullptr ? options->ShowDetailPath : std::string()) + "?ID=" + UrlEncodeText(ID) +
                      "&EID=" + UrlEncodeText(action->IDSuccessDetailPage) + "&PID=" + UrlEncodeText(GetPID()) +
                      "&PID2=" + UrlEncodeText(GetPID2());
    if (action->ResultURLField == eariACTIONRESULT)
      url += "&actionresult=" + ActionResultValue(VariantValueText(result_value_));
    else
      url += "&FID=" + UrlEncodeText(result_value_.IsNull() ? FID : VariantValueText(result_value_));
    return url;
  }
  std::string url = ReturnURL();
  if (!message_.empty())
    url += std::string(url.find('?') != std::string::npos ? "&" : "?") + "actionresult=" + ActionResultValue(message_);
  return url;
}

// The page to go back to. The addresses come from the visitor (the Referer,
// locationreferer, the trail cookie): one that is not this portal's becomes
// the main page.
std::string TTessaroDoActionContext::ReturnURL() const {
  std::string url;
  if (Action()->DefaultReturnToFormPage || !succeeded_) {
    url = RefererURL();
  } else if (History() != nullptr) {
    url = History()->URLFromStack(-1);
    if (UpperCase(url).find("/MAIN") != std::string::npos) url = History()->URLFromStack(0);
  }
  if (url.empty() || !IsPortalURL(url)) url = BaseURL("", false) + "/main";
  return url;
}

}  // namespace tessaro
