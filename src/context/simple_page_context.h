// The context of the simple template pages: the request field ID names an
// entry of the options' simple_pages_ids list, whose value is the template.
#pragma once

#include "context/request_context.h"

namespace tessaro {

class TSimplePageContext : public TPublished<TSimplePageContext, tRequestContext> {
 public:
  static void DeclareProperties(TPropertyDeclarations<TSimplePageContext>& p);
  using TPublished::TPublished;

  std::string ID = "DEFAULT";  // the page's key in simple_pages_ids

 protected:
  std::string TemplateFile() override;
};

}  // namespace tessaro
