// tRequestContext: the object one request is served through. It decodes the
// request fields and the visitor's cookies, is the tag handler of every
// template expanded for the request, and owns what belongs to the request.
// It never owns the request, the response or the options.
//
// This is the base every page context derives from; the generic tags are
// added to HTMLTag as the pages that need them are built.
#pragma once

#include <memory>
#include <string>

#include "context/page_producer.h"
#include "util/string_list.h"

namespace tessaro {

class TWebRequest;
class TWebResponse;
class TWebAppOptions;

// The visitor's cookies as the portal reads them.
struct TApplicationCookies {
  std::string ZNKCGIUSERID;  // user identifier; empty when not logged in
  std::string ZNKSESSIONID;  // session identifier (a GUID string) or empty
};

class tRequestContext {
 public:
  // Reads the cookies and the request fields. Throws Exception when a field
  // list is badly URL-encoded.
  tRequestContext(TWebRequest* request, TWebAppOptions* options, TWebResponse* response);
  virtual ~tRequestContext();
  tRequestContext(const tRequestContext&) = delete;
  tRequestContext& operator=(const tRequestContext&) = delete;

  // Runs right after construction: prepares the context when it is valid.
  void CompleteConstruction();

  // The decoded request fields (query fields for GET, body fields otherwise,
  // with the query merged in for non-multipart bodies), values converted to
  // the internal code page. Built on first use.
  const TStrings& RequestFields();

  // Produces `producer`'s page with this context as its tag handler.
  std::string Produce(TCustomPageProducer& producer);

  // The tag callback installed in every producer: the context's own tags,
  // converted to UTF-8 when they go into the outermost template.
  void HandleTag(TCustomPageProducer& sender, TTag kind, const std::string& tagName, const TStrings& params,
                 std::string& replaceText);

  TApplicationCookies& Cookies() { return cookies_; }
  TWebRequest* Request() const { return request_; }
  TWebResponse* Response() const { return response_; }
  TWebAppOptions* Options() const { return options_; }
  bool Valid() const { return valid_; }

  // Request parameters read by name.
  std::string item_no;
  std::string lang;
  std::string logout;
  std::string page_no;
  int rows = 25;

 protected:
  // Derived contexts check access here and clear Valid.
  virtual void InitContext() {}
  // Called by CompleteConstruction when the context is valid.
  virtual void PrepareContext() {}
  // The generic tag handling; derived contexts call it first.
  virtual void HTMLTag(TCustomPageProducer& sender, TTag kind, const std::string& tagName, const TStrings& params,
                       std::string& replaceText);
  // A template file name overriding the producer's own; empty for none.
  virtual std::string TemplateFile() { return ""; }

  bool valid_ = true;  // the request may be served
  int depth_ = 0;      // nesting depth of template expansion

 private:
  void ReadCookies();
  void ReadRequestParameters();

  TWebRequest* request_;                          // not owned
  TWebAppOptions* options_;                       // not owned
  TWebResponse* response_;                        // not owned
  TApplicationCookies cookies_;                   // the visitor's cookies
  std::unique_ptr<TStrings> request_field_list_;  // RequestFields once built
};

}  // namespace tessaro
