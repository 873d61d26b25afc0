// tRequestContext: the object one request is served through. It decodes the
// request fields and the visitor's cookies, is the tag handler of every
// template expanded for the request, and owns what belongs to the request
// (cookies, banners, validator, script lines, the database connection when it
// opened it). It never owns the request, the response or the options.
//
// Life of a context: construction stores the request, options and response;
// CompleteConstruction reads the cookies and request fields into the
// published properties (of the derived class too), collects the banners,
// lets the derived class check access (InitContext) and prepare itself
// (PrepareContext), and expands the banners. MakeContext runs both.
#pragma once

#include <cstddef>
#include <memory>
#include <string>

#include "cgi/web_request.h"
#include "context/form_validator.h"
#include "context/page_producer.h"
#include "context/request_interfaces.h"
#include "db/connection.h"
#include "db/parameters.h"
#include "settings/published.h"
#include "util/string_list.h"

namespace tessaro {

class TWebResponse;
class TWebAppOptions;

// The visitor's cookies as the portal reads them.
class TApplicationCookies : public TPublished<TApplicationCookies> {
 public:
  static void DeclareProperties(TPropertyDeclarations<TApplicationCookies>& p);

  std::string ZNKCGIUSERID;  // user identifier; empty when not logged in
  std::string ZNKSESSIONID;  // session identifier (a GUID string) or empty
};

class tRequestContext : public TPublished<tRequestContext> {
 public:
  static void DeclareProperties(TPropertyDeclarations<tRequestContext>& p);

  tRequestContext(TWebRequest* request, TWebAppOptions* options, TWebResponse* response);
  ~tRequestContext() override;
  tRequestContext(const tRequestContext&) = delete;
  tRequestContext& operator=(const tRequestContext&) = delete;

  // Reads cookies and request fields, collects the banners, checks access and,
  // when the context is valid, prepares it and expands the banners. Throws
  // Exception when a field list is badly URL-encoded.
  void CompleteConstruction();

  // The decoded request fields (query fields for GET, body fields otherwise,
  // with the query merged in for non-multipart bodies), values converted to
  // the internal code page. Built on first use, once per request: the
  // contexts of one request share the list.
  const TStrings& RequestFields();

  // Produces `producer`'s page with this context as its tag handler.
  std::string Produce(TCustomPageProducer& producer, const TStrings& params = {});
  // Replaces the tags in `lines` in place, reading field tags from `data_set`
  // (may be null).
  void ExpandTemplate(TStrings& lines, TDataSet* data_set);
  // The HTML of "tag_table_content".
  std::string ProduceTable(const TStrings& params);
  // A per-record template file of tables; empty for plain HTML tables.
  virtual std::string RowTemplateFile() { return ""; }

  // The tag callback installed in every producer: the context's own tags,
  // converted to UTF-8 when they go into the outermost template.
  void HandleTag(TCustomPageProducer& sender, TTag kind, const std::string& tagName, const TStrings& params,
                 std::string& replaceText);

  // Addresses of this request (see request_urls.h).
  std::string BaseURL(std::string_view protocol, bool without_script) const;
  std::string CurrentURL() const;

  TMethodType MethodType() const;
  std::string PathInfo() const;
  std::string RemoteAddr() const;
  std::string SessionID() const { return cookies_->ZNKSESSIONID; }
  virtual std::string GetUserID() const { return cookies_->ZNKCGIUSERID; }
  // The four-digit code of this session and `number`.
  int SessionCode(int32_t number) const;

  // Appends a cookie to the response.
  void AddCookie(std::string_view name, std::string_view value, bool secure, std::string_view path,
                 std::string_view domain, TDateTime expires);

  // The request's database connection, opened through the options on first
  // use. Throws "Connection "readOnly" mismatch" when asked again with the
  // other flag. Derived contexts may set up the new connection further.
  virtual void OpenConnection(bool read_only);
  TDBConnection* Connection() const { return connection_.get(); }

  TApplicationCookies& Cookies() { return *cookies_; }
  TWebRequest* Request() const { return request_; }
  TWebResponse* Response() const { return response_; }
  TWebAppOptions* Options() const { return options_; }
  // The page's form checks; built on first use, as most pages have none.
  TZNKHTMLFormValidator& Validator();
  TStrings& ScriptLines() { return script_lines_; }
  const TStrings& Banners() const { return banners_; }
  bool Valid() const { return valid_; }
  int Depth() const { return depth_; }

  // The request interfaces this context supports; null when it does not.
  IRequestDataContext* DataContext() const { return data_context_.get(); }
  IRequestTableContext* TableContext() const { return table_context_.get(); }
  IRequestAcceptPost* AcceptPostContext() const { return accept_post_.get(); }

  // The SQL text a query of this page runs, made from the text `sql` of the
  // metadata; page contexts replace their macros here. The base returns it
  // unchanged.
  virtual std::string PrepareSQL(const std::string& sql) { return sql; }
  // Gives the parameters of a query of this page their values; the base
  // leaves them as they are.
  virtual void BindParams(TParameters& /*params*/) {}

  // Request parameters read by name.
  std::string item_no;
  std::string lang;
  std::string logout;
  std::string page_no;
  int rows = 25;

 protected:
  // The cookie set of this context's class.
  virtual std::unique_ptr<TApplicationCookies> CreateCookies() const;
  // Derived contexts check access here and clear valid_.
  virtual void InitContext() {}
  // Called by CompleteConstruction when the context is valid.
  virtual void PrepareContext() {}
  // The generic tag handling; derived contexts call it first and handle their
  // own tags only when it left replaceText empty.
  virtual void HTMLTag(TCustomPageProducer& sender, TTag kind, const std::string& tagName, const TStrings& params,
                       std::string& replaceText);
  // A template file name overriding the producer's own; empty for none.
  virtual std::string TemplateFile() { return ""; }

  // Derived contexts install their delegates here; the context owns them.
  void SetDataContext(std::unique_ptr<TBaseImplementsIRequestDataContext> delegate);
  void SetTableContext(std::unique_ptr<IRequestTableContext> delegate);
  void SetAcceptPost(std::unique_ptr<TBaseImplementsIRequestAcceptPost> delegate);

  bool valid_ = true;  // the request may be served

 private:
  void ReadCookies();
  void CollectBanners();
  std::string IncludeFile(const TStrings& params);
  std::string CurrentDate(const TStrings& params, bool with_time) const;

  TWebRequest* request_;                              // not owned
  TWebAppOptions* options_;                           // not owned
  TWebResponse* response_;                            // not owned
  std::unique_ptr<TApplicationCookies> cookies_;      // the visitor's cookies
  std::shared_ptr<const TStrings> request_field_list_;  // RequestFields once built, shared with the request
  TStrings banners_;                                  // name=template lines, expanded once
  std::unique_ptr<TZNKHTMLFormValidator> validator_;  // generator of the validation script
  TStrings script_lines_;                             // script entries added by page contexts
  int depth_ = 0;                                     // nesting depth of template expansion
  int include_depth_ = 0;                             // nesting depth of tag_include
  std::unique_ptr<TDBConnection> connection_;         // the request's connection, may be null
  bool connection_read_only_ = false;                 // the flag connection_ was opened with
  std::unique_ptr<TBaseImplementsIRequestDataContext> data_context_;
  std::unique_ptr<IRequestTableContext> table_context_;
  std::unique_ptr<TBaseImplementsIRequestAcceptPost> accept_post_;
};

// Creates a context of class T and completes its construction.
template <class T, class... Args>
std::unique_ptr<T> MakeContext(Args&&... args) {
  auto context = std::make_unique<T>(std::forward<Args>(args)...);
  context->CompleteConstruction();
  return context;
}

// The deepest nesting of included files; deeper includes fail.
inline constexpr int kMaxIncludeDepth = 16;
// The largest file tag_include reads; a larger one fails.
inline constexpr size_t kMaxIncludeBytes = 16 * 1024 * 1024;

}  // namespace tessaro
