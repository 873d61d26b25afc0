// Page producers: the template engine that turns a template (a file or an
// in-memory list of lines) into a page by replacing each "<#name params>" tag
// with the text a tag handler supplies. The request context is the handler of
// every producer; the producers only know the tag syntax and the order of work.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "db/dataset.h"
#include "util/string_list.h"

namespace tessaro {

// The kind of a tag, derived from its name. Only Link is used by the portal's
// own pages; the others are passed to handlers for completeness.
enum class TTag { Custom = 0, Link = 1, Image = 2, Table = 3, ImageMap = 4, Object = 5, Embed = 6 };

// The kind of the tag named `tagName` ("LINK", "IMAGE", "TABLE", "IMAGEMAP",
// "OBJECT", "EMBED", compared without case); Custom for every other name.
TTag TagKind(std::string_view tagName);

class TCustomPageProducer;

// A tag handler. `replaceText` arrives holding the producer's default for the
// tag (usually empty) and is written to the page in place of the tag.
using THTMLTagEvent = std::function<void(TCustomPageProducer& sender, TTag kind, const std::string& tagName,
                                         const TStrings& params, std::string& replaceText)>;

class TCustomPageProducer {
 public:
  TCustomPageProducer() = default;
  virtual ~TCustomPageProducer() = default;

  // Name of the template file; empty when the template is HTMLDoc. Setting a
  // name that differs (ignoring case) from the current one clears HTMLDoc.
  const std::string& HTMLFile() const { return html_file_; }
  void SetHTMLFile(const std::string& fileName);

  // The in-memory template, one entry per line. SetHTMLDoc clears HTMLFile;
  // editing through the non-const accessor does not.
  const TStrings& HTMLDoc() const { return html_doc_; }
  TStrings& HTMLDoc() { return html_doc_; }
  void SetHTMLDoc(const TStrings& doc);

  // Whether quote characters are removed from tag parameters (default true).
  bool StripParamQuotes() const { return strip_param_quotes_; }
  void SetStripParamQuotes(bool strip) { strip_param_quotes_ = strip; }

  // The tag handler; may be empty, in which case every tag produces nothing.
  const THTMLTagEvent& OnHTMLTag() const { return on_html_tag_; }
  void SetOnHTMLTag(THTMLTagEvent handler) { on_html_tag_ = std::move(handler); }

  // The page: the template with every tag replaced. Reads HTMLFile when it is
  // set, otherwise HTMLDoc's lines each followed by CR LF. Throws Exception when
  // the file cannot be opened or read, a line is 4096 bytes or longer, or a
  // parameter is badly URL-encoded; exceptions of the handler pass through.
  // Either the whole page is returned or nothing.
  virtual std::string Content();

 protected:
  // Produces the replacement text of one tag. The base version starts from an
  // empty text and lets the handler change it.
  virtual std::string HandleTag(TTag kind, const std::string& tagName, const TStrings& params);
  // Calls the handler (if any) with `replaceText` as the starting text and
  // returns what it leaves there.
  std::string CallHandler(TTag kind, const std::string& tagName, const TStrings& params, std::string replaceText);

 private:
  std::string html_file_;             // template file name, or empty
  TStrings html_doc_;                 // in-memory template lines
  bool strip_param_quotes_ = true;    // remove quotes from parameters
  THTMLTagEvent on_html_tag_;         // the tag handler, may be empty
};

// A producer over a plain template.
class TPageProducer : public TCustomPageProducer {};

// A producer whose parameterless tags may also name fields of a data set: such
// a tag starts out as the field's display text of the current record.
class TDataSetPageProducer : public TCustomPageProducer {
 public:
  // The data set is not owned and must outlive every call of Content().
  TDataSet* DataSet() const { return data_set_; }
  void SetDataSet(TDataSet* dataSet) { data_set_ = dataSet; }

  // Opens the data set first when it is set and not yet active.
  std::string Content() override;

 protected:
  std::string HandleTag(TTag kind, const std::string& tagName, const TStrings& params) override;

 private:
  TDataSet* data_set_ = nullptr;  // source of field tags, not owned; may be null
};

}  // namespace tessaro
