#include "context/request_context.h"

#include "cgi/web_request.h"
#include "settings/web_app_options.h"
#include "util/codepage.h"
#include "util/exception.h"
#include "util/identifiers.h"
#include "util/number_format.h"
#include "util/text.h"

namespace tessaro {

tRequestContext::tRequestContext(TWebRequest* request, TWebAppOptions* options, TWebResponse* response)
    : request_(request), options_(options), response_(response) {
  if (options_) rows = options_->initial_table_rows;
  ReadCookies();
  ReadRequestParameters();
  if (rows < 1) rows = 25;
  InitContext();
}

tRequestContext::~tRequestContext() = default;

void tRequestContext::CompleteConstruction() {
  if (valid_) PrepareContext();
}

void tRequestContext::ReadCookies() {
  if (!request_) return;
  const TStrings& fields = request_->CookieFields();
  cookies_.ZNKCGIUSERID = fields.Values("ZNKCGIUSERID");
  cookies_.ZNKSESSIONID = fields.Values("ZNKSESSIONID");
  if (!IsGUIDString(cookies_.ZNKSESSIONID)) cookies_.ZNKSESSIONID.clear();
  if (cookies_.ZNKCGIUSERID == "logged_out") cookies_.ZNKCGIUSERID.clear();
}

void tRequestContext::ReadRequestParameters() {
  if (!request_) return;
  const TStrings& fields = RequestFields();
  if (fields.IndexOfName("item_no") >= 0) item_no = fields.Values("item_no");
  if (fields.IndexOfName("lang") >= 0) lang = fields.Values("lang");
  if (fields.IndexOfName("logout") >= 0) logout = fields.Values("logout");
  if (fields.IndexOfName("page_no") >= 0) page_no = fields.Values("page_no");
  if (fields.IndexOfName("rows") >= 0) {
    int64_t n;
    if (TryStrToInt(Trim(fields.Values("rows")), n) && n >= INT32_MIN && n <= INT32_MAX) rows = static_cast<int>(n);
  }
}

const TStrings& tRequestContext::RequestFields() {
  if (request_field_list_) return *request_field_list_;
  auto list = std::make_unique<TStrings>();
  if (request_) {
    TStrings source;
    if (request_->MethodType() == TMethodType::Get) {
      source = request_->QueryFields();
    } else {
      source = request_->ContentFields();
      std::string content_type = request_->ContentType();
      if (!content_type.empty() && content_type.compare(0, 9, "multipart") != 0) {
        // Query values fill body fields that are empty or absent; a query
        // that cannot be decoded contributes nothing.
        try {
          const TStrings& query = request_->QueryFields();
          for (size_t i = 0; i < query.Count(); ++i) {
            std::string name = query.Names(i);
            if (name.empty() || name == query[i] || !source.Values(name).empty()) continue;
            source.SetValues(name, query.ValueFromIndex(i));
          }
        } catch (const Exception&) {
        }
      }
    }
    for (size_t i = 0; i < source.Count(); ++i) {
      std::string name = source.Names(i);
      if (name.empty() || name == source[i]) continue;
      list->Add(name + "=" + DecodeInput(source.Values(name)));
    }
  }
  request_field_list_ = std::move(list);
  return *request_field_list_;
}

std::string tRequestContext::Produce(TCustomPageProducer& producer) {
  if (!valid_) throw Exception("bad context initialization");
  if (depth_ >= 1) return producer.Content();
  producer.SetOnHTMLTag([this](TCustomPageProducer& sender, TTag kind, const std::string& tagName,
                               const TStrings& params,
                               std::string& replaceText) { HandleTag(sender, kind, tagName, params, replaceText); });
  struct Detach {
    TCustomPageProducer& producer;
    ~Detach() {
      producer.SetOnHTMLTag(nullptr);
      if (auto* ds = dynamic_cast<TDataSetPageProducer*>(&producer)) ds->SetDataSet(nullptr);
    }
  } detach{producer};
  if (auto* ds = dynamic_cast<TDataSetPageProducer*>(&producer)) ds->SetDataSet(nullptr);
  std::string file = TemplateFile();
  if (!file.empty()) producer.SetHTMLFile(file);
  return producer.Content();
}

void tRequestContext::HandleTag(TCustomPageProducer& sender, TTag kind, const std::string& tagName,
                                const TStrings& params, std::string& replaceText) {
  if (valid_) HTMLTag(sender, kind, tagName, params, replaceText);
  if (depth_ == 0) replaceText = EncodeOutput(replaceText);
}

void tRequestContext::HTMLTag(TCustomPageProducer&, TTag, const std::string&, const TStrings&, std::string&) {}

}  // namespace tessaro
