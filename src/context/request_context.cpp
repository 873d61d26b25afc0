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

#include <map>
#include <optional>
#include <string_view>
#include <vector>

#include "cgi/web_response.h"
#include "context/request_urls.h"
#include "context/session_code.h"
#include "context/table_producer.h"
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

namespace {

// The query's effect on a urlencoded body's fields of one name. The merge
// only ever replaces or removes the first remaining entry of a name, or
// appends one, so the body's entries of the name are kept as positions and
// the changed or added entries as texts; nothing of the body is copied.
struct MergedName {
  struct Entry {
    size_t source = std::string::npos;  // position in the body's fields; npos for an appended entry
    std::optional<std::string> text;    // the entry's new text when replaced or appended
  };
  std::vector<Entry> entries;  // the body's entries of this name in order, then the appended ones
  size_t removed = 0;          // the entries before this one were removed
  size_t first_out = 0;        // output position of the first remaining entry, once written

  std::string_view First(const TStrings& source) const {
    const Entry& e = entries[removed];
    return e.text ? std::string_view(*e.text) : std::string_view(source[e.source]);
  }
  bool HasFirst() const { return removed < entries.size(); }
};

struct NameLess {
  using is_transparent = void;
  bool operator()(std::string_view a, std::string_view b) const { return CompareText(a, b) < 0; }
};

using MergedNames = std::map<std::string, MergedName, NameLess>;

std::string_view NameOf(std::string_view entry) { return entry.substr(0, entry.find('=')); }
std::string_view ValueOf(std::string_view entry) {
  size_t eq = entry.find('=');
  return eq == std::string_view::npos ? std::string_view() : entry.substr(eq + 1);
}

// Query values fill body fields that are empty or absent, one query field
// after the other, each seeing what the ones before it did.
void MergeQuery(const TStrings& query, const TStrings& source, MergedNames& merged,
                std::vector<std::pair<MergedName*, size_t>>& appended) {
  for (const std::string& field : query) {
    if (field.find('=') == std::string::npos) continue;
    std::string_view name = NameOf(field);
    if (name.empty()) continue;
    auto it = merged.find(name);
    if (it == merged.end()) {
      it = merged.emplace(std::string(name), MergedName{}).first;
      for (size_t at : source.IndicesOfName(name)) it->second.entries.push_back({at, std::nullopt});
    }
    MergedName& state = it->second;
    if (state.HasFirst() && !ValueOf(state.First(source)).empty()) continue;
    std::string_view value = ValueOf(field);
    std::string text = std::string(name) + "=" + std::string(value);
    if (state.HasFirst() && value.empty()) {
      ++state.removed;
    } else if (state.HasFirst()) {
      state.entries[state.removed].text = std::move(text);
    } else if (!value.empty()) {
      appended.emplace_back(&state, state.entries.size());
      state.entries.push_back({std::string::npos, std::move(text)});
    }
  }
}

// The request fields from `source` with the query's changes: every entry in
// order (replaced text in place of its original, removed ones left out), then
// the appended ones. Each entry carries the value of the first remaining
// entry of its name, as a lookup by name would find it, converted to the
// internal code page. That first entry is converted in place and moved, the
// others copy its converted value, so a large value is never held twice.
class RequestFieldsBuilder {
 public:
  RequestFieldsBuilder(TStrings& source, MergedNames& merged, TStrings& out)
      : source_(source), merged_(merged), out_(out) {}

  void Build(const std::vector<std::pair<MergedName*, size_t>>& appended) {
    const std::vector<size_t> first = source_.FirstOfEachName();
    std::vector<size_t> out_at(source_.Count(), std::string::npos);  // output position of a first entry
    std::map<MergedName*, size_t> next;  // per changed name, its next entry to meet in the body
    for (size_t i = 0; i < source_.Count(); ++i) {
      if (first[i] == std::string::npos || NameOf(source_[i]).empty()) continue;
      auto it = merged_.empty() ? merged_.end() : merged_.find(NameOf(source_[i]));
      if (it == merged_.end()) {
        if (first[i] == i)
          out_at[i] = AddFirst(std::move(source_[i]));
        else
          AddCopy(source_[i], out_at[first[i]]);
        continue;
      }
      MergedName& state = it->second;
      size_t at = next[&state]++;
      if (at < state.removed) continue;
      MergedName::Entry& e = state.entries[at];
      Add(state, at, e.text ? *e.text : source_[i]);
    }
    for (const auto& [state, at] : appended)
      if (at >= state->removed) Add(*state, at, *state->entries[at].text);
  }

 private:
  void Add(MergedName& state, size_t at, std::string& text) {
    if (at == state.removed)
      state.first_out = AddFirst(std::move(text));
    else
      AddCopy(text, state.first_out);
  }
  // Converts the value of `entry` in place and appends it; returns its position.
  size_t AddFirst(std::string entry) {
    DecodeInputInPlace(entry, entry.find('=') + 1);
    out_.Add(std::move(entry));
    return out_.Count() - 1;
  }
  // Appends the name of `entry` with the converted value of output entry `from`.
  void AddCopy(std::string_view entry, size_t from) {
    std::string_view name = NameOf(entry), value = ValueOf(out_[from]);
    std::string field;
    field.reserve(name.size() + 1 + value.size());
    field.append(name).append("=").append(value);
    out_.Add(std::move(field));
  }

  TStrings& source_;     // the fields before the query's changes; entries are moved out
  MergedNames& merged_;  // the query's changes by name; changed texts are moved out
  TStrings& out_;        // the request fields
};

}  // namespace

const TStrings& tRequestContext::RequestFields() {
  if (request_field_list_) return *request_field_list_;
  if (request_ && request_->SharedRequestFields()) {
    request_field_list_ = request_->SharedRequestFields();
    return *request_field_list_;
  }
  auto list = std::make_shared<TStrings>();
  if (request_) {
    const bool get = request_->MethodType() == TMethodType::Get;
    // The body's fields are taken over rather than copied: the request
    // parses them again should anyone ask for them later.
    TStrings source = get ? request_->QueryFields() : request_->TakeContentFields();
    MergedNames merged;
    std::vector<std::pair<MergedName*, size_t>> appended;  // appended entries in order
    std::string content_type = request_->ContentType();
    if (!get && !content_type.empty() && content_type.compare(0, 9, "multipart") != 0) {
      // A query that cannot be decoded contributes nothing.
      try {
        MergeQuery(request_->QueryFields(), source, merged, appended);
      } catch (const Exception&) {
        merged.clear();
        appended.clear();
      }
    }
    RequestFieldsBuilder(source, merged, *list).Build(appended);
    request_->SetSharedRequestFields(list);
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
  if (!table_context_) return std::string();
  TZNKTableProducer producer;
  return table_context_->TableContent(producer, params);
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
  // The file is UTF-8 like every template; its expansion becomes the text of
  // a tag, which is internal text until the page is written.
  lines.SetText(DecodeInput(file->ReadAll(kMaxIncludeBytes)));
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
