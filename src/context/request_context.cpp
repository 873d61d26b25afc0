// The request context: request fields and cookies in, tag replacements out.
//
// Tags are answered in a fixed order: request parameters (tag_param_...),
// session, version, addresses, client address, navigator and table controls,
// includes, the validation script, the record table, then the banners, then
// the dates. Whatever a tag takes from the request (field values, host, path,
// query) is HTML-escaped, so it stays text in the attribute or the text where
// the template puts it. Every replacement that lands in the outermost template is
// converted once from the internal code page to UTF-8; texts built by nested
// expansions (banners, includes, per-record templates) are converted only
// when they reach depth 0.
#include "context/request_context.h"

#include <optional>

#include "cgi/web_response.h"
#include "context/request_urls.h"
#include "context/session_code.h"
#include "settings/published_visitors.h"
#include "settings/web_app_options.h"
#include "util/codepage.h"
#include "util/date_format.h"
#include "util/datetime.h"
#include "util/exception.h"
#include "util/file_io.h"
#include "util/file_version.h"
#include "util/format.h"
#include "util/html_escape.h"
#include "util/identifiers.h"
#include "util/module_path.h"
#include "util/regional_settings.h"
#include "util/text.h"

namespace tessaro {

void TApplicationCookies::DeclareProperties(TPropertyDeclarations<TApplicationCookies>& p) {
  p.String("ZNKCGIUSERID", &TApplicationCookies::ZNKCGIUSERID)
      .String("ZNKSESSIONID", &TApplicationCookies::ZNKSESSIONID);
}

void tRequestContext::DeclareProperties(TPropertyDeclarations<tRequestContext>& p) {
  p.String("item_no", &tRequestContext::item_no)
      .String("lang", &tRequestContext::lang)
      .String("logout", &tRequestContext::logout)
      .String("page_no", &tRequestContext::page_no)
      .Integer("rows", &tRequestContext::rows);
}

tRequestContext::tRequestContext(TWebRequest* request, TWebAppOptions* options, TWebResponse* response)
    : request_(request), options_(options), response_(response) {
  if (options_) rows = options_->initial_table_rows;
}

tRequestContext::~tRequestContext() = default;

std::unique_ptr<TApplicationCookies> tRequestContext::CreateCookies() const {
  return std::make_unique<TApplicationCookies>();
}

void tRequestContext::CompleteConstruction() {
  ReadCookies();
  if (request_) ReadPublishedFromStrings(*this, RequestFields(), false);
  if (rows < 1) rows = 25;
  CollectBanners();
  InitContext();
  if (!valid_) return;
  PrepareContext();
  if (!banners_.Empty()) ExpandTemplate(banners_, nullptr);
}

void tRequestContext::ReadCookies() {
  cookies_ = CreateCookies();
  if (request_) ReadPublishedFromStrings(*cookies_, request_->CookieFields(), false);
  if (!IsGUIDString(cookies_->ZNKSESSIONID)) cookies_->ZNKSESSIONID.clear();
  if (cookies_->ZNKCGIUSERID == "logged_out") cookies_->ZNKCGIUSERID.clear();
}

void tRequestContext::CollectBanners() {
  if (!options_) return;
  for (const std::string& line : options_->global_banners) {
    std::string trimmed = Trim(line);
    if (!trimmed.empty() && trimmed[0] == ';') continue;
    if (!line.empty()) banners_.Add(line);
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
            if (query[i].find('=') == std::string::npos) continue;
            std::string name = query.Names(i);
            if (name.empty() || !source.Values(name).empty()) continue;
            std::string value = query.ValueFromIndex(i);
            int at = source.IndexOfName(name);
            if (at >= 0 && value.empty())
              source.Delete(at);
            else if (at >= 0)
              source[at] = name + "=" + value;
            else if (!value.empty())
              source.Add(name + "=" + value);
          }
        } catch (const Exception&) {
        }
      }
    }
    for (size_t i = 0; i < source.Count(); ++i) {
      if (source[i].find('=') == std::string::npos) continue;
      std::string name = source.Names(i);
      if (name.empty()) continue;
      list->Add(name + "=" + DecodeInput(source.Values(name)));
    }
  }
  request_field_list_ = std::move(list);
  return *request_field_list_;
}

// ---------------------------------------------------------------- producing

std::string tRequestContext::Produce(TCustomPageProducer& producer, const TStrings& params) {
  if (!valid_) throw Exception("bad context initialization");
  if (depth_ >= 1) return producer.Content();
  if (request_ && request_->MethodType() == TMethodType::Post && accept_post_) accept_post_->AcceptPost();
  (void)params;
  auto* data_producer = dynamic_cast<TDataSetPageProducer*>(&producer);
  struct Detach {
    TCustomPageProducer& producer;
    TDataSetPageProducer* data_producer;
    ~Detach() {
      if (data_producer) data_producer->SetDataSet(nullptr);
      producer.SetOnHTMLTag(nullptr);
    }
  } detach{producer, data_producer};
  producer.SetOnHTMLTag(
      [this](TCustomPageProducer& sender, TTag kind, const std::string& tagName, const TStrings& tag_params,
             std::string& replaceText) { HandleTag(sender, kind, tagName, tag_params, replaceText); });
  if (data_producer) data_producer->SetDataSet(data_context_ ? data_context_->GetDataSet() : nullptr);
  std::string file = TemplateFile();
  if (!file.empty()) producer.SetHTMLFile(file);
  return producer.Content();
}

void tRequestContext::ExpandTemplate(TStrings& lines, TDataSet* data_set) {
  std::unique_ptr<TCustomPageProducer> producer;
  if (data_set) {
    auto p = std::make_unique<TDataSetPageProducer>();
    p->SetDataSet(data_set);
    producer = std::move(p);
  } else {
    producer = std::make_unique<TPageProducer>();
  }
  ++depth_;
  struct Leave {
    int& depth;
    ~Leave() { --depth; }
  } leave{depth_};
  producer->SetOnHTMLTag(
      [this](TCustomPageProducer& sender, TTag kind, const std::string& tagName, const TStrings& tag_params,
             std::string& replaceText) { HandleTag(sender, kind, tagName, tag_params, replaceText); });
  producer->SetHTMLDoc(lines);
  std::string text = Produce(*producer);
  lines.SetText(text);
}

std::string tRequestContext::ProduceTable(const TStrings& params) {
  if (!valid_) throw Exception("bad context initialization");
  // The record table is the table delegate's work; a page without one has no table.
  return table_context_ ? table_context_->TableContent(params) : std::string();
}

void tRequestContext::HandleTag(TCustomPageProducer& sender, TTag kind, const std::string& tagName,
                                const TStrings& params, std::string& replaceText) {
  if (valid_) HTMLTag(sender, kind, tagName, params, replaceText);
  if (depth_ == 0) replaceText = EncodeOutput(replaceText);
}

// ---------------------------------------------------------------- tags

void tRequestContext::HTMLTag(TCustomPageProducer&, TTag, const std::string& tagName, const TStrings& params,
                              std::string& replaceText) {
  if (!valid_) return;
  if (tagName.size() >= 10 && SameText(std::string_view(tagName).substr(0, 10), "tag_param_")) {
    // A request value shown in the page is escaped, so a link cannot carry script into it.
    replaceText = HtmlEscape(RequestFields().Values(std::string_view(tagName).substr(10)));
  } else if (SameText(tagName, "tag_sessionid")) {
    replaceText = SessionID();
  } else if (SameText(tagName, "tag_scriptversion")) {
    replaceText = BuildVersionText();
  } else if (SameText(tagName, "tag_requestscript")) {
    // Addresses hold the visitor's Host header, path and query: escaped for
    // the attribute or text they land in.
    if (request_) replaceText = HtmlEscape(BaseURL(params.Values("protocol"), false));
  } else if (SameText(tagName, "tag_currenturl")) {
    replaceText = HtmlEscape(CurrentURL());
  } else if (tagName == "tag_reqip") {
    replaceText = HtmlEscape(RemoteAddr());
  } else if (SameText(tagName, "tag_navigator")) {
    if (!table_context_)
      replaceText.clear();
    else if (table_context_->GetPageCount() > 1)
      replaceText = table_context_->Navigator(params);
  } else if (SameText(tagName, "tag_filter_control")) {
    replaceText = table_context_ ? table_context_->FilterControl(params) : std::string();
  } else if (SameText(tagName, "tag_sort_control")) {
    replaceText = table_context_ ? table_context_->SortControl(params) : std::string();
  } else if (SameText(tagName, "tag_include")) {
    if (!params.Values("file").empty()) replaceText = IncludeFile(params);
  } else if (SameText(tagName, "tag_script")) {
    replaceText = Validator().Script(params, script_lines_);
  } else if (SameText(tagName, "tag_table_content")) {
    replaceText = ProduceTable(params);
  } else if (banners_.IndexOfName(tagName) >= 0) {
    replaceText = banners_.Values(tagName);
  } else if (SameText(tagName, "tag_current_date")) {
    replaceText = CurrentDate(params, false);
  } else if (SameText(tagName, "tag_current_datetime")) {
    replaceText = CurrentDate(params, true);
  }
}

std::string tRequestContext::IncludeFile(const TStrings& params) {
  std::string path = ResolveTemplatePath(*options_, params.Values("file"));
  // What is not a readable regular file includes nothing.
  std::optional<TInputFile> file = TInputFile::TryOpen(path);
  if (!file) return "";
  if (include_depth_ >= kMaxIncludeDepth)
    throw Exception(Format("Included files nested more than %d deep at \"%s\"", {kMaxIncludeDepth, path}));
  TStrings lines;
  lines.SetText(file->ReadAll(kMaxIncludeBytes));
  file.reset();  // closed before nested includes open theirs
  ++include_depth_;
  struct Leave {
    int& depth;
    ~Leave() { --depth; }
  } leave{include_depth_};
  ExpandTemplate(lines, nullptr);
  return lines.Text();
}

std::string tRequestContext::CurrentDate(const TStrings& params, bool with_time) const {
  std::string format = params.Values("format");
  TFormatSettings fs = RegionalSettings();
  if (!format.empty()) {
    fs = PrimaryLanguageSettings();
    fs.ShortDateFormat = format;
  }
  return with_time ? DateTimeToStr(Now(), fs) : DateToStr(Date(), fs);
}

// ---------------------------------------------------------------- request facts

std::string tRequestContext::BaseURL(std::string_view protocol, bool without_script) const {
  return request_ && options_ ? tessaro::BaseURL(*request_, *options_, protocol, without_script) : std::string();
}

std::string tRequestContext::CurrentURL() const {
  return request_ && options_ ? tessaro::CurrentURL(*request_, *options_) : std::string();
}

TMethodType tRequestContext::MethodType() const { return request_ ? request_->MethodType() : TMethodType::Any; }
std::string tRequestContext::PathInfo() const { return request_ ? request_->PathInfo() : std::string(); }
std::string tRequestContext::RemoteAddr() const { return request_ ? request_->RemoteAddr() : std::string(); }

int tRequestContext::SessionCode(int32_t number) const { return tessaro::SessionCode(SessionID(), number); }

void tRequestContext::AddCookie(std::string_view name, std::string_view value, bool secure, std::string_view path,
                                std::string_view domain, TDateTime expires) {
  if (response_) response_->AddCookie(name, value, domain, path, expires, secure);
}

void tRequestContext::OpenConnection(bool read_only) {
  if (!connection_) {
    connection_ = options_->NewConnection(read_only);
    connection_read_only_ = read_only;
  } else if (read_only != connection_read_only_) {
    throw Exception("Connection \"readOnly\" mismatch");
  }
}

TZNKHTMLFormValidator& tRequestContext::Validator() {
  if (!validator_) validator_ = std::make_unique<TZNKHTMLFormValidator>();
  return *validator_;
}

void tRequestContext::SetDataContext(std::unique_ptr<TBaseImplementsIRequestDataContext> delegate) {
  data_context_ = std::move(delegate);
}
void tRequestContext::SetTableContext(std::unique_ptr<IRequestTableContext> delegate) {
  table_context_ = std::move(delegate);
}
void tRequestContext::SetAcceptPost(std::unique_ptr<TBaseImplementsIRequestAcceptPost> delegate) {
  accept_post_ = std::move(delegate);
}

}  // namespace tessaro
