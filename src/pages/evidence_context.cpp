#include "pages/evidence_context.h"

#include "cgi/multipart.h"
#include "cgi/web_request.h"
#include "cgi/web_response.h"
#include "context/html_helpers.h"
#include "context/param_controls.h"
#include "db/field_types.h"
#include "db/param_binding.h"
#include "db/parameters.h"
#include "db/sql_text.h"
#include "model/account_parameter.h"
#include "model/evidence_item.h"
#include "model/evidence_item_action.h"
#include "model/evidence_item_detail_page.h"
#include "model/evidence_item_detail_page_switch.h"
#include "model/inet_mgr_model.h"
#include "model/param_def.h"
#include "model/param_type_def.h"
#include "model/user_account.h"
#include "pages/url_history.h"
#include "util/base64.h"
#include "util/codepage.h"
#include "util/exception.h"
#include "util/format.h"
#include "util/html_escape.h"
#include "util/identifiers.h"
#include "util/module_path.h"
#include "util/quoting.h"
#include "util/text.h"
#include "util/user_input.h"
#include "web/tessaro_options.h"

namespace tessaro {
namespace {

// An SQL string literal of `value`, or NULL for an empty one.
std::string SqlLiteral(std::string_view value) {
  if (value.empty()) return "NULL";
  return "'" + ReplaceAll(value, "'", "''") + "'";
}

bool IsDigits(std::string_view text) {
  if (text.empty()) return false;
  for (char c : text)
    if (c < '0' || c > '9') return false;
  return true;
}

// A number typed by the visitor as the value it binds: an integer for digits
// alone, else a floating-point number; null when it is no number.
std::optional<TVariant> NumberValue(std::string_view text) {
  const ParsedNumber number = ParseNumber(text);
  if (!number.Success) return std::nullopt;
  if (number.IsInteger) return TVariant::Integer(static_cast<int64_t>(number.Value));
  return TVariant::Float(number.Value);
}

}  // namespace

void TTessaroEvidenceContext::DeclareProperties(TPropertyDeclarations<TTessaroEvidenceContext>& p) {
  p.String("actionresult", &TTessaroEvidenceContext::actionresult).String("ID", &TTessaroEvidenceContext::ID);
}

TTessaroEvidenceContext::TTessaroEvidenceContext(TWebRequest* request, TWebAppOptions* options,
                                                 TWebResponse* response)
    : TPublished(request, options, response) {}

TTessaroEvidenceContext::~TTessaroEvidenceContext() = default;

void TTessaroEvidenceContext::InitContext() {
  TTessaroRegisteredContext::InitContext();
  if (!valid_) return;
  const TTessaroOptions* options = PortalOptions();
  const TEvidenceItem* item = options != nullptr && options->Model ? dynamic_cast<const TEvidenceItem*>(options->Model->EvidenceItems().FindByInstanceID(ID))
                                                                    : nullptr;
  // An item of another role, or one the installation hides, is as good as
  // none: the visitor is asked to log in.
  const TApplicationRole* item_role = nullptr;
  if (item != nullptr) {
    try {
      item_role = item->Role();
    } catch (const Exception&) {
      item_role = nullptr;
    }
  }
  if (item == nullptr || item_role == nullptr || item_role != Account()->Role() || !item->IsVisible()) {
    RequireLogin();
    return;
  }
  evidence_item_ = item;
  previous_url_ = PortalCookies().PREVURL;
  history_ = std::make_unique<TTessaroURLHistoryStack>(*this);
  history_->Load(PortalCookies().ZNKHISTORY);
  history_->Update(KeepsHistory(), previous_url_);
}

std::string TTessaroEvidenceContext::PrepareSQL(const std::string& sql) {
  std::string text = StripSqlComments(sql);
  // The session identifier comes from a cookie: only one of the form the
  // portal issues is written into the text.
  const std::string session = IsGUIDString(SessionID()) ? SessionID() : std::string();
  const std::string item = evidence_item_ != nullptr ? evidence_item_->InstanceID : std::string();
  const std::string detail = detail_page_ != nullptr ? detail_page_->InstanceID : std::string();
  const struct {
    std::string_view macro;
    const std::string& value;
  } macros[] = {{":SESSID.guid", session},   {":SESSID", session},   {":EVIDENCEID.guid", item},
                {":EVIDENCEID", item},       {":DETAILID.guid", detail}, {":DETAILID", detail}};
  for (const auto& [macro, value] : macros) text = ReplaceAllText(text, macro, SqlLiteral(value));
  return text;
}

void TTessaroEvidenceContext::BindParams(TParameters& params) {
  for (TParameter& parameter : params) BindParameter(parameter);
}

// The first rule that matches gives the parameter its value:
//   PID, PID2       the record identifiers of the request (when not empty)
//   SESSID, EVIDENCEID, DETAILID   the session, the item, the detail page
//   a definition    a filter parameter from the request (or its type's
//                   default); any other from the visitor's account
//   an upload       the file of that form field, or its name, extension,
//                   path, folder or content type
//   anything else   the request value of the base name, else of the full name
void TTessaroEvidenceContext::BindParameter(TParameter& parameter) {
  const std::string base = ParamNameBase(parameter.Name);
  const TFieldType suffix = ParamTypeSuffix(parameter.Name);
  if (suffix != TFieldType::ftUnknown) parameter.DataType = suffix;

  for (const auto& [key, id] : {std::pair<std::string_view, std::string>{"PID", GetPID()}, {"PID2", GetPID2()}}) {
    if (!SameText(base, key) || id.empty()) continue;
    if (suffix == TFieldType::ftUnknown) {
      if (IsDigits(id))
        parameter.DataType = TFieldType::ftInteger;
      else if (IsGUIDString(id))
        parameter.DataType = TFieldType::ftGuid;
    }
    parameter.Value = TVariant::String(id);
    return;
  }
  const struct {
    std::string_view name;
    std::string value;
  } identifiers[] = {{"SESSID", SessionID()},
                     {"EVIDENCEID", evidence_item_ != nullptr ? evidence_item_->InstanceID : std::string()},
                     {"DETAILID", detail_page_ != nullptr ? detail_page_->InstanceID : std::string()}};
  for (const auto& [name, value] : identifiers) {
    if (!SameText(base, name)) continue;
    parameter.DataType = TFieldType::ftGuid;
    parameter.Value = value.empty() ? TVariant() : TVariant::String(value);
    return;
  }

  if (const TParamDef* definition = evidence_item_ != nullptr ? evidence_item_->FindParamDef(parameter.Name) : nullptr) {
    const TParamTypeDef* type = definition->ParamTypeDef();
    if (type == nullptr)
      throw Exception(Format("Unexpected. Param %s has not assigned type in the definition list", {parameter.Name}));
    parameter.DataType = definition->ParamDataType;
    if (type->IsHtmlFilterParam) {
      const std::string text = type->DefaultValueText(base, RequestFields());
      BindParamValue(parameter, text, evidence_item_->ParamTypeLookup());
      return;
    }
    const TUserAccount* account = Account();
    if (account != nullptr)
      for (size_t i = 0; i < account->ParameterValues.Count(); ++i) {
        const TAccountParameter& value = account->ParameterValues[i];
        if (!SameText(value.Name, parameter.Name)) continue;
        parameter.DataType = value.DataType;
        parameter.Value = value.Value;
        return;
      }
    throw Exception(Format("Unknown value for param %s", {parameter.Name}));
  }

  BindDefaultParam(parameter, evidence_item_ != nullptr ? evidence_item_->ParamTypeLookup() : TParamTypeLookup());
  if (BindFromUpload(parameter, base)) return;
  BindFromRequestText(parameter, base);
}

bool TTessaroEvidenceContext::BindFromUpload(TParameter& parameter, std::string_view base) {
  if (Request() == nullptr) return false;
  for (const TUploadedFile& file : Request()->Files()) {
    const std::string& field = file.FieldName;
    // The client's name is text of the request like any field, and is never
    // used as a path here: only its parts are handed to the SQL.
    const std::string client_name = DecodeInput(file.FileName);
    if (SameText(base, field)) {
      if (parameter.DataType == TFieldType::ftUnknown) parameter.DataType = TFieldType::ftBlob;
      if (!client_name.empty()) {
        parameter.Value = TVariant();
        parameter.HeldBytes = file.Bytes;
        const TTessaroOptions* options = PortalOptions();
        const int limit = options != nullptr ? options->UploadStreamSizeLimit : 0;
        if (limit > 0 && file.Bytes.size() > static_cast<size_t>(limit) * 1024)
          throw Exception(Format(Cp1250("Uploadovaný soubor je příliš velký (%s ,%d kb). Maximální povolená velikost "
                                        "souboru je %d kb"),
                                 {client_name, static_cast<int64_t>(file.Bytes.size() / 1024), limit}));
      }
      return true;
    }
    const struct {
      std::string_view prefix;
      std::string value;
    } derived[] = {{"File_Filename_", ExtractFileName(client_name)},
                   {"File_Fileext_", ExtractFileExt(client_name)},
                   {"File_Filepath_", client_name},
                   {"File_Filedir_", ExtractFileDir(client_name)},
                   {"File_ContentType_", file.ContentType}};
    for (const auto& [prefix, value] : derived) {
      if (base.size() != prefix.size() + field.size() || !SameText(base.substr(0, prefix.size()), prefix) ||
          !SameText(base.substr(prefix.size()), field))
        continue;
      if (parameter.DataType == TFieldType::ftUnknown) parameter.DataType = TFieldType::ftString;
      parameter.Value = TVariant::String(std::string(value));
      return true;
    }
  }
  return false;
}

void TTessaroEvidenceContext::BindFromRequestText(TParameter& parameter, std::string_view base) {
  const TStrings& fields = RequestFields();
  std::string text = fields.Values(base);
  if (text.empty()) text = fields.Values(parameter.Name);
  const TFieldType type = parameter.DataType;
  if (text.empty()) {
    if (type == TFieldType::ftBoolean) parameter.Value = TVariant::Boolean(false);
    return;
  }
  if (IsNumericFieldType(type)) {
    parameter.Value = NumberValue(text).value_or(TVariant::String(text));
  } else if (IsTemporalFieldType(type)) {
    // Dates come as the visitor types them: the regional short form, else
    // the Czech day.month.year.
    TDateTime date = ParseDateByFormat(RegionalSettings().ShortDateFormat, text);
    if (!(date > 0)) date = ParseDateByFormat("d.m.yyyy", text);
    parameter.Value = date > 0 ? TVariant::Date(date) : TVariant::String(text);
  } else if (type != TFieldType::ftUnknown) {
    parameter.Value = TVariant::String(text);
  } else if (std::optional<TVariant> number = NumberValue(text)) {
    parameter.Value = *number;
  } else {
    if (IsGUIDString(text)) parameter.DataType = TFieldType::ftGuid;
    parameter.Value = TVariant::String(text);
  }
}

void TTessaroEvidenceContext::SaveHistoryCookies(bool secure) {
  if (!KeepsHistory() || !history_ || Response() == nullptr) return;
  // Session cookies of the whole host, read by no script.
  for (const auto& [name, value] : {std::pair<std::string, std::string>{"ZNKHISTORY", history_->Save()},
                                    {"PREVURL", CurrentURL()}}) {
    TCookie cookie;
    cookie.Name = name;
    cookie.Value = value;
    cookie.Path = "/";
    cookie.Secure = secure;
    cookie.HttpOnly = true;
    cookie.SameSite = "Lax";
    Response()->AddCookie(std::move(cookie));
  }
}

const TEvidenceItemAction* TTessaroEvidenceContext::FindAction(std::string_view id) const {
  return evidence_item_ != nullptr ? dynamic_cast<const TEvidenceItemAction*>(evidence_item_->Actions().FindByInstanceID(id)) : nullptr;
}

const TEvidenceItemDetailPage* TTessaroEvidenceContext::FindDetailPage(std::string_view id) const {
  return evidence_item_ != nullptr ? dynamic_cast<const TEvidenceItemDetailPage*>(evidence_item_->DetailPages().FindByInstanceID(id)) : nullptr;
}

const TEvidenceItemDetailPageSwitch* TTessaroEvidenceContext::FindDetailPageSwitch(std::string_view id) const {
  return evidence_item_ != nullptr ? dynamic_cast<const TEvidenceItemDetailPageSwitch*>(evidence_item_->DetailPageSwitches().FindByInstanceID(id)) : nullptr;
}

// The message comes from the address, which anyone can write: it is shown
// only when it is proper Base64 of text, and always escaped.
std::string TTessaroEvidenceContext::ActionResultHTML() const {
  if (actionresult.empty() || !IsStrictBase64(actionresult)) return "";
  const std::string message = Base64Decode(actionresult);
  for (unsigned char c : message)
    if ((c < 0x20 && c != '\t' && c != '\r' && c != '\n') || c == 0x7F) return "";
  return HtmlEscape(message);
}

void TTessaroEvidenceContext::HTMLTag(TCustomPageProducer& sender, TTag kind, const std::string& tagName,
                                      const TStrings& params, std::string& replaceText) {
  TTessaroRegisteredContext::HTMLTag(sender, kind, tagName, params, replaceText);
  if (!replaceText.empty() || !valid_) return;
  if (SameText(tagName, "tag_actionresult")) {
    replaceText = ActionResultHTML();
  } else if (SameText(tagName, "tag_selectcontrol")) {
    replaceText = SqlSelectControl(UnquoteOnce(params.Values("name")), UnquoteOnce(params.Values("initval")),
                                   UnquoteOnce(params.Values("sql")), false, *this, Account(),
                                   UnquoteOnce(params.Values("custom")));
  }
}

}  // namespace tessaro
