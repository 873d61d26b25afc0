#include "context/simple_page_context.h"

#include "context/request_urls.h"
#include "settings/web_app_options.h"

namespace tessaro {

void TSimplePageContext::DeclareProperties(TPropertyDeclarations<TSimplePageContext>& p) {
  p.String("ID", &TSimplePageContext::ID);
}

std::string TSimplePageContext::TemplateFile() {
  if (ID.empty() || !Options()) return "";
  return ResolveTemplatePath(*Options(), Options()->simple_pages_ids.Values(ID));
}

}  // namespace tessaro
