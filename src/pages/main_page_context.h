// TTessaroMainPageContext: the portal's home page for a logged-in visitor
// (the template of the option pgROZCESTNIK): the role's menu of evidence
// items and the notice board.
#pragma once

#include <string>

#include "pages/registered_context.h"

namespace tessaro {

class TTessaroMainPageContext : public TPublished<TTessaroMainPageContext, TTessaroRegisteredContext> {
 public:
  static void DeclareProperties(TPropertyDeclarations<TTessaroMainPageContext>&) {}
  using TPublished::TPublished;

  // The option's board for every logged-in visitor, then the board of the
  // visitor's own role override, each trimmed, one line break between them;
  // line breaks become <br>. Boards are the administrators' HTML.
  std::string BoardHTML() const;

 protected:
  std::string TemplateFile() override;
  void HTMLTag(TCustomPageProducer& sender, TTag kind, const std::string& tagName, const TStrings& params,
               std::string& replaceText) override;
};

}  // namespace tessaro
