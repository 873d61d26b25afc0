// TTessaroEvidenceContext: the context of every page that works on one
// evidence item (the list, the detail page, the record action and the
// database picture). It resolves the item the request names and lets the
// visitor in only when the item belongs to the visitor's role and is shown,
// keeps the visitor's trail of record pages, rewrites the item's SQL texts
// (comments, the session, item and detail-page macros) and gives their
// parameters values from the request, the visitor's account, uploaded files
// and the item's parameter definitions.
//
// Request values reach the database only as bound parameters; the SQL text
// is the administrator's, with nothing of the request in it but a session
// identifier that has the form the portal gives it.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "pages/registered_context.h"

namespace tessaro {

class TEvidenceItem;
class TEvidenceItemAction;
class TEvidenceItemDetailPage;
class TEvidenceItemDetailPageSwitch;
struct TParameter;
class TTessaroURLHistoryStack;

class TTessaroEvidenceContext : public TPublished<TTessaroEvidenceContext, TTessaroRegisteredContext> {
 public:
  static void DeclareProperties(TPropertyDeclarations<TTessaroEvidenceContext>& p);
  TTessaroEvidenceContext(TWebRequest* request, TWebAppOptions* options, TWebResponse* response);
  ~TTessaroEvidenceContext() override;

  // Request keys.
  std::string actionresult;  // Base64 of the message the last record action left
  std::string ID;            // InstanceID of the evidence item

  // The item of the request; null when the context is not valid.
  const TEvidenceItem* EvidenceItem() const { return evidence_item_; }
  // The visitor's trail of record pages; null until the item is accepted.
  TTessaroURLHistoryStack* History() const { return history_.get(); }
  // The PREVURL cookie as the request brought it.
  const std::string& PreviousURL() const { return previous_url_; }
  // The action or detail page a derived page works on; null for none.
  const TEvidenceItemAction* Action() const { return action_; }
  const TEvidenceItemDetailPage* DetailPage() const { return detail_page_; }

  // The row identifiers of the record a page works on; empty here.
  virtual std::string GetPID2() const { return ""; }
  virtual std::string GetPID() const { return ""; }
  // Whether the page enters the visitor's trail (the record action and the
  // picture do not).
  virtual bool KeepsHistory() const { return true; }

  // Strips the comments of `sql`, then replaces its macros, each without
  // regard to case: ":SESSID.guid", ":SESSID" (the session identifier),
  // ":EVIDENCEID.guid", ":EVIDENCEID" (the item), ":DETAILID.guid",
  // ":DETAILID" (the detail page). A value becomes an SQL string literal, a
  // missing one NULL.
  std::string PrepareSQL(const std::string& sql) override;
  // Gives every parameter its type and value (see the source for the rules,
  // first match wins). Throws Exception for a filter parameter without a
  // type, an account parameter the account lacks, an upload over the
  // UploadStreamSizeLimit option, and EConvertError for request text that is
  // not of the parameter's type.
  void BindParams(TParameters& params) override;

  // Sends the trail (ZNKHISTORY) and the current address (PREVURL) as
  // session cookies of the whole host, when the page keeps history. Called
  // after the page has been written; `secure` when the request came over
  // HTTPS.
  void SaveHistoryCookies(bool secure);

  // The item's action, detail page or switch whose InstanceID is `id`
  // (letter case included); null when the item has none or there is no item.
  const TEvidenceItemAction* FindAction(std::string_view id) const;
  const TEvidenceItemDetailPage* FindDetailPage(std::string_view id) const;
  const TEvidenceItemDetailPageSwitch* FindDetailPageSwitch(std::string_view id) const;

  // The message of `actionresult`, escaped for HTML; empty when the key is
  // not Base64 or its text holds control characters.
  std::string ActionResultHTML() const;

 protected:
  void InitContext() override;
  void HTMLTag(TCustomPageProducer& sender, TTag kind, const std::string& tagName, const TStrings& params,
               std::string& replaceText) override;

  // Derived pages name the action or detail page they work on.
  void SetAction(const TEvidenceItemAction* action) { action_ = action; }
  void SetDetailPage(const TEvidenceItemDetailPage* page) { detail_page_ = page; }

 private:
  void BindParameter(TParameter& parameter);
  // Rule for the parameters no name or definition claims: an uploaded file
  // or a value derived from one; false when no file matches.
  bool BindFromUpload(TParameter& parameter, std::string_view base);
  void BindFromRequestText(TParameter& parameter, std::string_view base);

  const TEvidenceItem* evidence_item_ = nullptr;          // from the model
  std::unique_ptr<TTessaroURLHistoryStack> history_;      // the trail
  std::string previous_url_;                              // PREVURL cookie
  const TEvidenceItemAction* action_ = nullptr;           // set by derived pages
  const TEvidenceItemDetailPage* detail_page_ = nullptr;  // set by the detail page
};

}  // namespace tessaro
