// TTessaroErrorContext: renders the portal's error page (the template of the
// option pgERROR) for one failure. The page shows the status and the error's
// own message, escaped; nothing else of the failure.
#pragma once

#include <optional>
#include <string>

#include "pages/tessaro_context.h"

namespace tessaro {

class TTessaroErrorContext : public TPublished<TTessaroErrorContext, TTessaroContext> {
 public:
  static void DeclareProperties(TPropertyDeclarations<TTessaroErrorContext>&) {}
  using TPublished::TPublished;

  // The message of the failure being reported; none gives a generic text.
  void SetErrorMessage(std::string message) { message_ = std::move(message); }

 protected:
  std::string TemplateFile() override;
  void HTMLTag(TCustomPageProducer& sender, TTag kind, const std::string& tagName, const TStrings& params,
               std::string& replaceText) override;

 private:
  std::optional<std::string> message_;
};

}  // namespace tessaro
