#include "pages/main_page_context.h"

#include "context/request_urls.h"
#include "model/application_role.h"
#include "model/user_account.h"
#include "util/text.h"
#include "web/tessaro_options.h"

namespace tessaro {

std::string TTessaroMainPageContext::TemplateFile() {
  const TTessaroOptions* options = PortalOptions();
  if (options == nullptr || options->pgROZCESTNIK.empty()) return "";
  return ResolveTemplatePath(*options, options->pgROZCESTNIK);
}

std::string TTessaroMainPageContext::BoardHTML() const {
  const TTessaroOptions* options = PortalOptions();
  const std::string all = options ? Trim(options->BlackBoard_RegisteredUsers.Text()) : std::string();
  const TApplicationRole* role = Account() ? Account()->Role() : nullptr;
  const std::string own = role ? Trim(role->BlackBoardText()) : std::string();
  const std::string board = all + (!all.empty() && !own.empty() ? "\r\n" : "") + own;
  return ReplaceAll(board, "\r\n", "<br>");
}

void TTessaroMainPageContext::HTMLTag(TCustomPageProducer& sender, TTag kind, const std::string& tagName,
                                      const TStrings& params, std::string& replaceText) {
  TTessaroRegisteredContext::HTMLTag(sender, kind, tagName, params, replaceText);
  if (!replaceText.empty() || !valid_) return;
  if (SameText(tagName, "tag_evidence_list")) {
    if (const TTessaroOptions* options = PortalOptions()) replaceText = EvidenceListHTML(options->ShowListPath, "");
  } else if (SameText(tagName, "tag_board")) {
    replaceText = BoardHTML();
  }
}

}  // namespace tessaro
