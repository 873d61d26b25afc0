#include "pages/show_detail_context.h"

#include "context/html_helpers.h"
#include "model/evidence_item.h"
#include "model/evidence_item_action.h"
#include "model/evidence_item_detail_page.h"
#include "pages/url_history.h"
#include "util/html_escape.h"
#include "util/quoting.h"
#include "util/text.h"

namespace tessaro {

void TTessaroShowDetailContext::DeclareProperties(TPropertyDeclarations<TTessaroShowDetailContext>& p) {
  p.String("EID", &TTessaroShowDetailContext::EID)
      .String("FID", &TTessaroShowDetailContext::FID)
      .String("PID", &TTessaroShowDetailContext::PID)
      .String("PID2", &TTessaroShowDetailContext::PID2);
}

const TStrings& TTessaroShowDetailContext::ListSql() const { return DetailPage()->DetailListSelectClause; }
const TStrings& TTessaroShowDetailContext::SummarySql() const { return DetailPage()->ListSummaryRowSelectClause; }
const TStrings& TTessaroShowDetailContext::BodySql() const { return DetailPage()->DetailSelectClause; }
const TTableTemplate& TTessaroShowDetailContext::ProducerTemplate() const {
  return DetailPage()->DetailListProducerTemplate();
}
const TZNKHTMLTableColumnAttributes& TTessaroShowDetailContext::ListColumnAttributes() const {
  return DetailPage()->DetailListColumnAttributes;
}
const TZNKHTMLTableColumnAttributes& TTessaroShowDetailContext::BodyColumnAttributes() const {
  return DetailPage()->DetailColumnAttributes;
}
std::string TTessaroShowDetailContext::PageTemplateExpression() const { return DetailPage()->Expr_DetailTemplate; }
std::string TTessaroShowDetailContext::RowIdentifierFieldName() const { return DetailPage()->RowIdentifierFieldName(); }

// The page and its action must be the item's own; anything else asks for a
// login, as a foreign item does.
void TTessaroShowDetailContext::InitContext() {
  TTessaroShowListContext::InitContext();
  if (!valid_) return;
  const TEvidenceItemDetailPage* page = FindDetailPage(EID);
  if (page == nullptr) {
    RequireLogin();
    return;
  }
  SetDetailPage(page);
  SetAction(nullptr);
  if (!page->IDAction.empty()) {
    const TEvidenceItemAction* action = FindAction(page->IDAction);
    if (action == nullptr) {
      RequireLogin();
      return;
    }
    SetAction(action);
  }
}

void TTessaroShowDetailContext::PrepareContext() {
  TTessaroShowListContext::PrepareContext();
  if (Action() != nullptr && !Action()->ClickPromptText.empty())
    Validator().AddPrompt("", "'" + ReplaceAll(Action()->ClickPromptText, "'", "''") + "'");
}

void TTessaroShowDetailContext::HTMLTag(TCustomPageProducer& sender, TTag kind, const std::string& tagName,
                                        const TStrings& params, std::string& replaceText) {
  TTessaroShowListContext::HTMLTag(sender, kind, tagName, params, replaceText);
  if (!valid_) return;
  // The addresses come from the trail, which holds this portal's addresses
  // only; they are escaped for the attribute they land in.
  if (SameText(tagName, "tag_backlink_url")) {
    const std::string text = Trim(UnquoteOnce(params.Values("depth")));
    int depth = -1;
    if (!text.empty() && (IsUnsignedDecimal(text) || (text[0] == '-' && IsUnsignedDecimal(text.substr(1)))))
      depth = std::stoi(text);
    replaceText = HtmlEscape(depth < 0 && History() != nullptr ? History()->URLFromStack(depth + 1) : CurrentURL());
  } else if (SameText(tagName, "tag_listlink_url")) {
    replaceText = History() != nullptr ? HtmlEscape(History()->ListURL()) : std::string();
  } else if (SameText(tagName, "tag_actfrm_hiddenfields")) {
    replaceText = Hidden("ID", ID) + "\r" + Hidden("EID", DetailPage()->IDAction) + "\r" + Hidden("PID", PID) + "\r" +
                  Hidden("FID", FID);
  }
}

}  // namespace tessaro
