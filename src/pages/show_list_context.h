// TTessaroShowListContext: the list page of an evidence item (/ShowList).
// It opens the item's list (all its records, then sorted and paged in
// memory), its summary row and its body record, and answers the page's
// tags: the table, the filter form built from the item's filter parameters,
// the sort form, the paging form, the item's name and the role's menu. The
// detail page is the same page over a detail page's definitions; the virtual
// sources below are what it changes.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "expr/dataset_expression.h"
#include "pages/evidence_context.h"

namespace tessaro {

class TOdbcDataSet;
class TParamDef;
class TTableTemplate;
class TZNKHTMLTableColumnAttributes;
class TShowListTableContext;
class TRecordCellRenderer;

class TTessaroShowListContext : public TPublished<TTessaroShowListContext, TTessaroEvidenceContext> {
 public:
  static void DeclareProperties(TPropertyDeclarations<TTessaroShowListContext>&) {}
  TTessaroShowListContext(TWebRequest* request, TWebAppOptions* options, TWebResponse* response);
  ~TTessaroShowListContext() override;

  TOdbcDataSet* ListDataSet() const { return list_.get(); }
  TOdbcDataSet* SummaryDataSet() const { return summary_.get(); }
  TOdbcDataSet* BodyDataSet() const { return body_.get(); }

  // The item's filter parameters (their type shows them in the filter
  // form), by group, then by position in the group.
  std::vector<const TParamDef*> FilterParams() const;
  // The forms of "tag_filter_control", "tag_sort_control" and
  // "tag_navigator"; `params` are the tag's parameters.
  std::string FilterFormHTML(const TStrings& params);
  std::string SortFormHTML(const TStrings& params);
  std::string PagingFormHTML();

  // The page's address (base URL with the script, then the path info).
  std::string FormAction() const;

  // Where the page's definitions come from: the item's for the list page.
  virtual const TStrings& ListSql() const;
  virtual const TStrings& SummarySql() const;
  virtual const TStrings& BodySql() const;
  virtual const TTableTemplate& ProducerTemplate() const;
  virtual const TZNKHTMLTableColumnAttributes& ListColumnAttributes() const;
  virtual const TZNKHTMLTableColumnAttributes& BodyColumnAttributes() const;
  virtual std::string PageTemplateExpression() const;
  virtual std::string RecordTemplateExpression() const;
  virtual std::string DefaultTemplateFile() const;
  virtual std::string RowIdentifierFieldName() const;

  std::string TemplateFile() override;
  std::string RowTemplateFile() override;

  // Renders the cells of the list and the fields of the page's templates.
  const TRecordCellRenderer& CellRenderer() const { return *renderer_; }

 protected:
  void InitContext() override;
  void PrepareContext() override;
  void HTMLTag(TCustomPageProducer& sender, TTag kind, const std::string& tagName, const TStrings& params,
               std::string& replaceText) override;

 private:
  // The hidden inputs of the request keys a form carries: every key with a
  // value except the `skipped` ones and those starting with one of
  // `skipped_prefixes` (after lower-casing).
  std::string CarriedFields(const std::vector<std::string>& skipped,
                            const std::vector<std::string_view>& skipped_prefixes);
  // The template name an expression over the body record gives, resolved.
  std::string EvaluateTemplateName(const std::string& expression);
  void AddValidatorRules();

  // The field tag `tag_name` of the data set the record or body template
  // shows, rendered by its column attribute; false when it names no field.
  bool RenderFieldTag(TCustomPageProducer& sender, const std::string& tag_name, const TStrings& params,
                      std::string& replaceText);

  std::unique_ptr<TRecordCellRenderer> renderer_;  // cells and field tags
  std::unique_ptr<TOdbcDataSet> summary_;  // summary row, forward-only
  std::unique_ptr<TOdbcDataSet> list_;     // the records, client-side and static
  std::unique_ptr<TOdbcDataSet> body_;     // the body record, forward-only
  TShowListTableContext* table_ = nullptr;  // owned by the base as its table context
  TFieldOperationList body_fields_;         // the body record's fields as expression operations
  TOperationDef* operations_ = nullptr;     // those fields, then the built-in operations
};

}  // namespace tessaro
