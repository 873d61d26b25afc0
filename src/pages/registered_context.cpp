#include "pages/registered_context.h"

#include <algorithm>
#include <vector>

#include "cgi/web_request.h"
#include "context/html_helpers.h"
#include "db/odbc_connection.h"
#include "model/application_role.h"
#include "model/application_type.h"
#include "model/evidence_item.h"
#include "model/global_settings.h"
#include "model/user_account.h"
#include "pages/registered_context_abi.h"
#include "settings/published_visitors.h"
#include "util/date_format.h"
#include "util/exception.h"
#include "util/html_escape.h"
#include "util/number_format.h"
#include "util/text.h"
#include "web/tessaro_options.h"

namespace tessaro {

void TTessaroRegisteredContext::InitContext() {
  TTessaroContext::InitContext();
  if (!valid_) return;
  const TUserAccount* account = CookieAccount();
  if (account == nullptr || account->Role() == nullptr) {
    RequireLogin();
    return;
  }
  account_ = account;
}

void TTessaroRegisteredContext::HTMLTag(TCustomPageProducer& sender, TTag kind, const std::string& tagName,
                                        const TStrings& params, std::string& replaceText) {
  TTessaroContext::HTMLTag(sender, kind, tagName, params, replaceText);
  if (!replaceText.empty() || !valid_ || account_ == nullptr) return;
  const TApplicationRole* role = account_->Role();
  if (SameText(tagName, "tag_account_name")) {
    replaceText = HtmlEscape(account_->AccountName);
  } else if (SameText(tagName, "tag_user_role")) {
    if (role) replaceText = HtmlEscape(role->EffectiveRoleName());
  } else if (SameText(tagName, "tag_catalog_type")) {
    if (const TApplicationType* type = role ? role->ApplicationType() : nullptr)
      replaceText = HtmlEscape(type->DisplayLabel);
  }
}

// Item names are the administrator's and may hold markup; the address holds
// the request's host and is escaped.
std::string TTessaroRegisteredContext::EvidenceListHTML(std::string_view path_info, std::string_view active) const {
  const TApplicationRole* role = account_ && valid_ ? account_->Role() : nullptr;
  const TTessaroOptions* options = PortalOptions();
  if (role == nullptr || options == nullptr) return "";
  const TEvidenceItemsList& items = role->EvidenceItems();
  if (items.Count() == 0) return options->table_empty;
  struct Entry {
    const TEvidenceItem* item;
    std::string name;
  };
  std::vector<Entry> entries;
  for (int i = 0; i < items.Count(); ++i)
    if (const TEvidenceItem* item = items.Items(i); item != nullptr && item->IsVisible())
      entries.push_back({item, item->EffectiveName()});
  std::stable_sort(entries.begin(), entries.end(),
                   [](const Entry& a, const Entry& b) { return a.item->OrderInList < b.item->OrderInList; });
  const std::string active_class = options->class_aktivni.empty() ? "" : " class=\"" + options->class_aktivni + "\"";
  std::string html;
  for (const Entry& entry : entries) {
    const std::string url = BaseURL(entry.item->AccessProtocolText(), false) + std::string(path_info) +
                            "?ID=" + entry.item->InstanceID;
    const std::string link = Link(HtmlEscape(url), entry.name, "", "");
    const bool is_active = !active.empty() && SameText(entry.name, active);
    html += "<li" + (is_active ? active_class : std::string()) + ">" + link + "</li>\r";
  }
  return html;
}

void TTessaroRegisteredContext::OpenConnection(bool read_only) {
  TTessaroContext::OpenConnection(read_only);
  if (account_ == nullptr) return;
  if (auto* odbc = dynamic_cast<TOdbcConnection*>(Connection()); odbc != nullptr && !odbc->Connected())
    odbc->SetDefaultDatabase(account_->CatalogName);
}

int32_t TTessaroRegisteredContext::ircCommandTimeout() const {
  return T_GlobalSettings::Instance().UserConnection().CommandTimeout;
}

std::string TTessaroRegisteredContext::ircConnectionString(bool read_only) const {
  const TConnectionManager& user = T_GlobalSettings::Instance().UserConnection();
  return read_only ? user.R_ConnectionString : user.RW_ConnectionString;
}

std::string TTessaroRegisteredContext::ircDefaultCatalog() const {
  return account_ != nullptr ? account_->CatalogName : std::string();
}

std::string VariantValueText(const TVariant& value) {
  switch (value.GetType()) {
    case TVariant::vtNull:
      return "";
    case TVariant::vtInteger:
      return std::to_string(value.AsInteger());
    case TVariant::vtFloat:
      return FloatToStr(value.AsFloat());
    case TVariant::vtString:
      return value.AsString();
    case TVariant::vtBoolean:
      return value.AsBoolean() ? "True" : "False";
    case TVariant::vtDate:
      return DateTimeToStr(value.AsFloat());
  }
  return "";
}


const TStrings& TTessaroRegisteredContext::ircGetAccountParams() {
  account_params_.Clear();
  if (account_ == nullptr) return account_params_;
  const TUserAccount& a = *account_;
  account_params_.Add("#AccountE_mail=" + a.AccountE_mail);
  account_params_.Add("#AccountName=" + a.AccountName);
  account_params_.Add("#Username=" + a.Username);
  account_params_.Add("#Password=" + a.Password);
  account_params_.Add("#CatalogName=" + a.CatalogName);
  account_params_.Add("#detApplicationRoleID=" + a.detApplicationRoleID);
  for (size_t i = 0; i < a.ParameterValues.Count(); ++i) {
    const TAccountParameter& parameter = a.ParameterValues[i];
    const std::string text = VariantValueText(parameter.Value);
    if (!text.empty()) account_params_.Add(parameter.Name + "=" + text);
  }
  return account_params_;
}

const TUploadedFile* TTessaroRegisteredContext::ircGetFile(int32_t index) const {
  if (Request() == nullptr || index < 0) return nullptr;
  const std::vector<TUploadedFile>& files = Request()->Files();
  return static_cast<size_t>(index) < files.size() ? &files[static_cast<size_t>(index)] : nullptr;
}

std::string TTessaroRegisteredContext::ircGetFileFieldName(int32_t index) const {
  const TUploadedFile* file = ircGetFile(index);
  return file != nullptr ? file->FieldName : std::string();
}

std::string TTessaroRegisteredContext::ircGetFileName(int32_t index) const {
  const TUploadedFile* file = ircGetFile(index);
  return file != nullptr ? file->FileName : std::string();
}

int32_t TTessaroRegisteredContext::ircGetFilesCount() const {
  return Request() != nullptr ? static_cast<int32_t>(Request()->Files().size()) : 0;
}

const TStrings& TTessaroRegisteredContext::ircGetOptionsFields() {
  options_fields_.Clear();
  if (Options() == nullptr) throw Exception("The context has no application options");
  WritePublishedToStrings(*Options(), options_fields_, false);
  return options_fields_;
}

TessaroRegisteredContext* TTessaroRegisteredContext::PluginInterface() {
  if (!plugin_interface_) plugin_interface_.reset(new TRegisteredContextAbi(*this));
  return plugin_interface_->Interface();
}

void TTessaroRegisteredContext::AbiDeleter::operator()(TRegisteredContextAbi* abi) const { delete abi; }

}  // namespace tessaro
