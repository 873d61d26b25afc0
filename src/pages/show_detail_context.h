// TTessaroShowDetailContext: the detail page (/ShowDetail). It is the list
// page over a detail page's definitions: the record the link came from (PID)
// is the page's body record, its dependent rows are the page's list, and the
// page's action can be run for the record from a form. The page joins the
// visitor's trail and offers links back along it.
#pragma once

#include <string>

#include "pages/show_list_context.h"

namespace tessaro {

class TTessaroShowDetailContext : public TPublished<TTessaroShowDetailContext, TTessaroShowListContext> {
 public:
  static void DeclareProperties(TPropertyDeclarations<TTessaroShowDetailContext>& p);
  using TPublished::TPublished;

  // Request keys.
  std::string EID;   // InstanceID of the detail page
  std::string FID;   // the clicked cell's value, transliterated
  std::string PID;   // row identifier of the record
  std::string PID2;  // row identifier of a dependent row the link came from

  std::string GetPID() const override { return PID; }
  std::string GetPID2() const override { return PID2; }

  const TStrings& ListSql() const override;
  const TStrings& SummarySql() const override;
  const TStrings& BodySql() const override;
  const TTableTemplate& ProducerTemplate() const override;
  const TZNKHTMLTableColumnAttributes& ListColumnAttributes() const override;
  const TZNKHTMLTableColumnAttributes& BodyColumnAttributes() const override;
  std::string PageTemplateExpression() const override;
  std::string RecordTemplateExpression() const override { return ""; }
  // A detail page names its template by its expression only.
  std::string DefaultTemplateFile() const override { return ""; }
  std::string RowIdentifierFieldName() const override;

 protected:
  void InitContext() override;
  void PrepareContext() override;
  void HTMLTag(TCustomPageProducer& sender, TTag kind, const std::string& tagName, const TStrings& params,
               std::string& replaceText) override;
};

}  // namespace tessaro
