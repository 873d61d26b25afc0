#include "pages/show_list_context.h"

#include <algorithm>
#include <map>

#include "cgi/web_request.h"
#include "context/html_helpers.h"
#include "context/request_urls.h"
#include "context/table_context.h"
#include "context/table_producer.h"
#include "db/odbc_dataset.h"
#include "db/param_binding.h"
#include "expr/builtin_operations.h"
#include "model/column_attribute.h"
#include "model/evidence_item.h"
#include "model/evidence_item_action.h"
#include "model/param_def.h"
#include "model/param_editor.h"
#include "model/param_type_def.h"
#include "model/table_template.h"
#include "pages/cell_renderer.h"
#include "util/codepage.h"
#include "util/collation.h"
#include "util/exception.h"
#include "util/format.h"
#include "util/html_escape.h"
#include "util/quoting.h"
#include "util/text.h"
#include "web/tessaro_options.h"

namespace tessaro {

// The list page's table: the template's columns, the page's forms, and the
// cells of the list.
class TShowListTableContext : public TBaseImplementsIRequestTableContext {
 public:
  TShowListTableContext(TTessaroShowListContext& page, TDataSet* sum_data_set, TDataSet* data_set)
      : TBaseImplementsIRequestTableContext(&page, sum_data_set, data_set), page_(page) {}

  // The template's columns, without those the column attributes hide; the
  // CSS classes of the options.
  void PrepareColumns(TZNKTableProducer& producer) override {
    std::vector<THTMLTableColumn>& columns = producer.Columns();
    columns.clear();
    const TTableColumns& source = page_.ProducerTemplate().Columns;
    const TZNKHTMLTableColumnAttributes& attributes = page_.ListColumnAttributes();
    for (size_t i = 0; i < source.Count(); ++i) {
      const TTableColumn& from = source[i];
      if (const auto* attribute = attributes.FindByFieldName(from.FieldName); attribute && !attribute->IsVisible)
        continue;
      THTMLTableColumn& column = producer.AddColumn(from.FieldName);
      column.Align = static_cast<THTMLAlign>(from.Align);
      column.VAlign = static_cast<THTMLVAlign>(from.VAlign);
      column.BgColor = from.BgColor;
      column.Custom = from.Custom;
      column.Title.Caption = from.Title.Caption;
      column.Title.Align = static_cast<THTMLAlign>(from.Title.Align);
      column.Title.VAlign = static_cast<THTMLVAlign>(from.Title.VAlign);
      column.Title.BgColor = from.Title.BgColor;
      column.Title.Custom = from.Title.Custom;
    }
    if (const TTessaroOptions* options = page_.PortalOptions()) {
      producer.EvenRowClass = options->class_evenrow;
      producer.FootClass = options->class_tablefoot;
      producer.HeadClass = options->class_tablehead;
    }
  }
  std::string FilterControl(const TStrings& params) override { return page_.FilterFormHTML(params); }
  std::string SortControl(const TStrings& params) override { return page_.SortFormHTML(params); }
  std::string Navigator(const TStrings&) override { return page_.PagingFormHTML(); }
  void FormatCell(TZNKTableProducer& sender, int row, int column, THTMLTableCell& cell) override {
    page_.CellRenderer().FormatCell(sender, row, column, cell, page_.ListColumnAttributes(),
                                    page_.RowIdentifierFieldName());
  }

 private:
  TTessaroShowListContext& page_;
};

namespace {

// Field types a list cannot be sorted by.
bool IsUnsortable(TFieldType type) {
  switch (type) {
    case TFieldType::ftBytes:
    case TFieldType::ftVarBytes:
    case TFieldType::ftBlob:
    case TFieldType::ftMemo:
    case TFieldType::ftGraphic:
    case TFieldType::ftFmtMemo:
    case TFieldType::ftParadoxOle:
    case TFieldType::ftDBaseOle:
    case TFieldType::ftTypedBinary:
    case TFieldType::ftCursor:
    case TFieldType::ftADT:
    case TFieldType::ftArray:
    case TFieldType::ftReference:
    case TFieldType::ftDataSet:
      return true;
    default:
      return false;
  }
}

// Gives every field of `data_set` that has an attribute of its name the
// attribute's display format, Boolean texts and precision.
void ApplyColumnAttributes(TDataSet& data_set, const TZNKHTMLTableColumnAttributes& attributes) {
  for (int i = 0; i < data_set.FieldCount(); ++i) {
    TField* field = data_set.Field(i);
    if (field == nullptr) continue;
    if (const auto* attribute = attributes.FindByFieldName(field->FieldName())) attribute->AssignToField(*field);
  }
}

// The tag's parameters as attributes of a fieldset: each a blank, its name,
// "=" and its value, quoted unless it is empty, a number or quoted already.
std::string FieldsetAttributes(const TStrings& params) {
  std::string attributes;
  for (size_t i = 0; i < params.Count(); ++i)
    attributes += " " + params.Names(i) + "=" + QuoteIfText(params.ValueFromIndex(i));
  return attributes;
}

}  // namespace

TTessaroShowListContext::TTessaroShowListContext(TWebRequest* request, TWebAppOptions* options, TWebResponse* response)
    : TPublished(request, options, response) {}

TTessaroShowListContext::~TTessaroShowListContext() {
  // The data sets close before the expressions' field operations go.
  for (TOdbcDataSet* data_set : {summary_.get(), list_.get(), body_.get()})
    if (data_set != nullptr) data_set->Close();
  ReleaseDatasetFields(body_fields_);
}

// ---- what the page is made of ----

const TStrings& TTessaroShowListContext::ListSql() const { return EvidenceItem()->ParametrizedSelectClause; }
const TStrings& TTessaroShowListContext::SummarySql() const { return EvidenceItem()->SummaryRowSelectClause; }
const TStrings& TTessaroShowListContext::BodySql() const { return EvidenceItem()->BodySelectClause; }
const TTableTemplate& TTessaroShowListContext::ProducerTemplate() const { return EvidenceItem()->ProducerTemplate(); }
const TZNKHTMLTableColumnAttributes& TTessaroShowListContext::ListColumnAttributes() const {
  return EvidenceItem()->ColumnAttributes;
}
const TZNKHTMLTableColumnAttributes& TTessaroShowListContext::BodyColumnAttributes() const {
  return EvidenceItem()->BodyColumnAttributes;
}
std::string TTessaroShowListContext::PageTemplateExpression() const { return EvidenceItem()->Expr_BodyTemplate; }
std::string TTessaroShowListContext::RecordTemplateExpression() const {
  return EvidenceItem()->Expr_CustomRecordTemplate;
}
std::string TTessaroShowListContext::DefaultTemplateFile() const {
  const TTessaroOptions* options = PortalOptions();
  return options != nullptr && !options->pgTABULKA.empty() ? ResolveTemplatePath(*options, options->pgTABULKA)
                                                           : std::string();
}
std::string TTessaroShowListContext::RowIdentifierFieldName() const { return EvidenceItem()->RowIdentifierFieldName(); }

// ---- construction ----

void TTessaroShowListContext::InitContext() {
  TTessaroEvidenceContext::InitContext();
  if (!valid_) return;
  // The action the list links to must be one of the item's own.
  if (const std::string& id = EvidenceItem()->IDAction; !id.empty()) {
    const TEvidenceItemAction* action = FindAction(id);
    if (action == nullptr) {
      RequireLogin();
      return;
    }
    SetAction(action);
  }
}

void TTessaroShowListContext::PrepareContext() {
  TTessaroEvidenceContext::PrepareContext();
  // The link text "<TAG:name>" is the page's own tag without parameters.
  renderer_ = std::make_unique<TRecordCellRenderer>(*this, [this](const std::string& name) {
    TPageProducer producer;
    std::string text;
    HTMLTag(producer, TTag::Custom, name, TStrings(), text);
    return text;
  });
  OpenConnection(true);

  if (const std::string sql = Trim(SummarySql().Text()); !sql.empty()) {
    summary_ = OpenDataSet(sql, clUseServer, ctOpenForwardOnly);
    ApplyColumnAttributes(*summary_, ListColumnAttributes());
  }
  if (const std::string sql = Trim(ListSql().Text()); !sql.empty()) {
    list_ = OpenDataSet(sql, clUseClient, ctStatic);
    // Sorting names fields of the list only: the request never reaches SQL.
    const TStrings& fields = RequestFields();
    std::string keys;
    for (int n = 0; n <= 9; ++n) {
      const std::string name = fields.Values("sort_by" + std::to_string(n));
      const TField* field = name.empty() ? nullptr : list_->FindField(name);
      if (field == nullptr) continue;
      if (!keys.empty()) keys += ",";
      keys += field->FieldName();
      if (!fields.Values("sort_desc" + std::to_string(n)).empty()) keys += " DESC";
    }
    if (!keys.empty()) {
      list_->SetTextCompare(&AnsiCompareStr);
      list_->SetIndexFieldNames(keys);
    }
    ApplyColumnAttributes(*list_, ListColumnAttributes());
  }
  auto table = std::make_unique<TShowListTableContext>(*this, summary_.get(), list_.get());
  table_ = table.get();
  SetTableContext(std::move(table));

  operations_ = BuiltInOperations();
  if (const std::string sql = Trim(BodySql().Text()); !sql.empty()) {
    body_ = OpenDataSet(sql, clUseServer, ctOpenForwardOnly);
    std::string group = Cp1250(">> Pole datasetu <<");
    RegisterDatasetFields(true, body_fields_, *body_, operations_, group);
    ApplyColumnAttributes(*body_, BodyColumnAttributes());
  }
  SetDataContext(std::make_unique<TBaseImplementsIRequestDataContext>(this, body_.get()));
  AddValidatorRules();
}

std::string TTessaroShowListContext::EvaluateTemplateName(const std::string& expression) {
  tDatasetExpression compiled(body_.get());
  compiled.Compile(expression, operations_ != nullptr ? operations_ : BuiltInOperations());
  TValue value;
  compiled.EvaluateChecked(value);
  const TTessaroOptions* options = PortalOptions();
  return options != nullptr ? ResolveTemplatePath(*options, compiled.AsString()) : std::string();
}

std::string TTessaroShowListContext::TemplateFile() {
  if (!valid_) return "";
  if (const std::string expression = Trim(PageTemplateExpression()); !expression.empty())
    return EvaluateTemplateName(expression);
  return DefaultTemplateFile();
}

std::string TTessaroShowListContext::RowTemplateFile() {
  if (!valid_ || !GetPID().empty()) return "";
  const std::string expression = Trim(RecordTemplateExpression());
  return expression.empty() ? std::string() : EvaluateTemplateName(expression);
}

void TTessaroShowListContext::AddValidatorRules() {
  if (GetPID().empty()) {
    for (const TParamDef* param : FilterParams()) {
      const TParamTypeDef* type = param->ParamTypeDef();
      const TParamEditor* editor = type->ParamEditor();
      if (editor == nullptr || !editor->PlainFilterText) continue;
      const std::string name = ParamNameBase(param->ParamName);
      const bool allow_empty = Trim(type->HtmlFilterDefaultExpression).empty();
      switch (type->ParamDataType) {
        case TFieldType::ftInteger:
          Validator().AddIntegerCheck("frm_filter", name, allow_empty, Cp1250("musíte zadat platné celé číslo"));
          break;
        case TFieldType::ftFloat:
          Validator().AddFloatCheck("frm_filter", name, allow_empty, Cp1250("musíte zadat platné číslo"));
          break;
        case TFieldType::ftDate:
        case TFieldType::ftDateTime:
          Validator().AddDateCheck("frm_filter", name, false, Cp1250("musíte zadat platné datum"));
          break;
        default:
          break;
      }
    }
    if (table_ != nullptr && table_->PageCount > 1) {
      Validator().AddRangeCheck("frm_goto", "page_no", 1, table_->PageCount, false, Cp1250("Neplatné číslo stránky"));
      Validator().AddPositiveIntegerCheck("frm_goto", "rows", false, Cp1250("Neplatný počet řádek"));
    }
  }
  if (DetailPage() != nullptr && !EvidenceItem()->IDAction.empty())
    if (const TEvidenceItemAction* action = FindAction(EvidenceItem()->IDAction);
        action != nullptr && !action->ClickPromptText.empty())
      Validator().AddPrompt("", "'" + ReplaceAll(action->ClickPromptText, "'", "''") + "'");
}

// ---- forms ----

std::vector<const TParamDef*> TTessaroShowListContext::FilterParams() const {
  std::vector<const TParamDef*> params;
  const TParamDefsList& defs = EvidenceItem()->ParamDefs();
  for (int i = 0; i < defs.Count(); ++i) {
    const auto* def = dynamic_cast<const TParamDef*>(defs.Items(i));
    if (def == nullptr) continue;
    const TParamTypeDef* type = def->ParamTypeDef();
    if (type != nullptr && type->IsHtmlFilterParam) params.push_back(def);
  }
  std::stable_sort(params.begin(), params.end(), [](const TParamDef* a, const TParamDef* b) {
    return a->HtmlFilterGroupIndex != b->HtmlFilterGroupIndex ? a->HtmlFilterGroupIndex < b->HtmlFilterGroupIndex
                                                              : a->HtmlFilterTabIndex < b->HtmlFilterTabIndex;
  });
  return params;
}

std::string TTessaroShowListContext::FormAction() const {
  return Request() != nullptr && Options() != nullptr ? PageURL(*Request(), *Options()) : std::string();
}

std::string TTessaroShowListContext::CarriedFields(const std::vector<std::string>& skipped,
                                                   const std::vector<std::string_view>& skipped_prefixes) {
  std::string hidden;
  const TStrings& fields = RequestFields();
  for (size_t i = 0; i < fields.Count(); ++i) {
    const std::string name = LowerCase(fields.Names(i));
    const std::string value = fields.ValueFromIndex(i);
    if (value.empty() || std::find(skipped.begin(), skipped.end(), name) != skipped.end()) continue;
    if (std::any_of(skipped_prefixes.begin(), skipped_prefixes.end(),
                    [&name](std::string_view prefix) { return name.rfind(prefix, 0) == 0; }))
      continue;
    if (!hidden.empty()) hidden += "\r\n";
    hidden += Hidden(name, value);
  }
  return hidden.empty() ? hidden : hidden + "\r\n";
}

std::string TTessaroShowListContext::FilterFormHTML(const TStrings& params) {
  const std::vector<const TParamDef*> filters = FilterParams();
  if (filters.empty()) return "";
  std::map<int, int> per_group;
  for (const TParamDef* param : filters) ++per_group[param->HtmlFilterGroupIndex];
  int widest = 0;
  for (const auto& [group, count] : per_group) widest = std::max(widest, count);

  std::string table = "<table>\r<tbody><tr>";
  int row_group = filters.front()->HtmlFilterGroupIndex;
  int row_cells = 0;
  auto pad_row = [&] {
    for (; row_cells < 2 * widest; ++row_cells) table += "<td>&nbsp;</td>";
  };
  std::vector<std::string> skipped = {"item_no", "page_no", "actionresult", "locationreferer", "logout"};
  for (const TParamDef* param : filters) {
    const std::string name = ParamNameBase(param->ParamName);
    skipped.push_back(LowerCase(name));
    const TParamEditor* editor = param->ParamTypeDef()->ParamEditor();
    if (editor == nullptr || !editor->HasControl()) continue;
    std::string control;
    editor->RenderControl(name, *param, Account(), control, *this);
    if (param->HtmlFilterGroupIndex > row_group) {
      pad_row();
      table += "</tr>\r<tr>";
      row_group = param->HtmlFilterGroupIndex;
      row_cells = 0;
    }
    const int span = std::max(param->HtmlFilterColSpan, 1);
    table += Format("<td>%s</td><td%s>%s</td>",
                    {param->ParamDisplayName, span > 1 ? Format(" colspan=%d", {2 * span - 1}) : std::string(), control});
    row_cells += 2 * span;
  }
  pad_row();
  table += "</tr></tbody></table>";

  std::string on_submit = Validator().OnSubmitAttribute("frm_filter");
  if (!on_submit.empty()) on_submit += " ";
  return Format(
      "<form %saction=\"%s\" method=\"get\" name=\"frm_filter\">\r<fieldset%s><legend>Filtr</legend>\r%s\r%s\r%s\r"
      "</fieldset></form>\r",
      {on_submit, HtmlEscape(FormAction()), FieldsetAttributes(params), CarriedFields(skipped, {"btn_"}), table,
       SubmitButtonHTML("Obnovit", "")});
}

std::string TTessaroShowListContext::SortFormHTML(const TStrings& params) {
  if (list_ == nullptr) return "";
  std::vector<TSelectOption> choices = {{"", Cp1250("<Výchozí>")}};
  const TTableColumns& columns = ProducerTemplate().Columns;
  for (size_t i = 0; i < columns.Count(); ++i) {
    const TTableColumn& column = columns[i];
    TField* field = list_->FindField(column.FieldName);
    const auto* attribute = ListColumnAttributes().FindByFieldName(column.FieldName);
    const std::string caption = Trim(column.Title.Caption);
    if (field == nullptr || IsUnsortable(field->DataType()) || caption.empty() || attribute == nullptr ||
        attribute->LinkKind() != 0)
      continue;
    choices.push_back({column.FieldName, caption});
  }
  if (choices.size() < 2) return "";

  const TStrings& fields = RequestFields();
  std::string rows;
  const int levels = std::min<int>(3, static_cast<int>(choices.size()));
  for (int i = 0; i < levels; ++i) {
    std::string current = fields.Values("sort_by" + std::to_string(i));
    if (list_->FindField(current) == nullptr) current.clear();
    const bool descending = !current.empty() && !fields.Values("sort_desc" + std::to_string(i)).empty();
    rows += Format("<tr><td><label>%d.</label></td><td><label>%s</label></td><td><label>%s</label></td></tr>",
                   {i + 1, Select("sort_by" + std::to_string(i), choices, current, ""),
                    CheckBox("sort_desc" + std::to_string(i), "y", "Sestup.", descending, "")});
  }
  return Format(
      Cp1250("<form action=\"%s\" method=\"get\" name=\"frm_sort\">\r<fieldset%s><legend>Řazení položek</legend>\r"
             "%s\r%s\r%s\r</fieldset></form>\r"),
      {HtmlEscape(FormAction()), FieldsetAttributes(params),
       CarriedFields({"item_no", "page_no", "actionresult", "locationreferer", "logout"},
                     {"sort_by", "sort_desc", "btn_"}),
       "<table>\r<tbody>" + rows + "</tbody></table>", SubmitButtonHTML("Obnovit", "")});
}

std::string TTessaroShowListContext::PagingFormHTML() {
  if (table_ == nullptr || table_->RecordCount <= 0) return "";
  const int per_page = std::max(rows, 1);
  const int first = std::max(table_->FirstRecord, 1);
  const int count = table_->RecordCount;
  // The texts are the arrows of a pager, escaped as the markup they land in.
  const std::string_view texts[4] = {"|&lt;", "&lt;", "&gt;", "&gt;|"};
  const TNavigatorParts parts = NavigatorParts(FormAction(), RequestFields(), per_page, first, count, texts);
  std::string on_submit = Validator().OnSubmitAttribute("frm_goto");
  if (!on_submit.empty()) on_submit += " ";
  return Format(
      Cp1250("<form %saction=\"%s\" method=\"get\" name=\"frm_goto\">\r<fieldset><legend>Stránkování</legend>\r%s\r"
             "<p><label><span>Zobrazuji&nbsp;</span><input type=\"text\" value=\"%d\" name=\"page_no\"></label>\r%s\r"
             "stránku ze %d.&nbsp;&nbsp;<label><span>Nastavit&nbsp;</span><input type=\"text\" value=\"%d\" "
             "name=\"rows\"></label>\r%s\rpoložek na stránku.\r&nbsp;&nbsp;&nbsp;&nbsp;%s&nbsp;%s&nbsp;&nbsp;&nbsp;%s"
             "&nbsp;%s&nbsp;</p>\r</fieldset></form>\r"),
      {on_submit, parts.page_url, parts.hidden, (first - 1) / per_page + 1, SubmitButtonHTML("OK", "btn_1"),
       (count - 1) / per_page + 1, per_page, SubmitButtonHTML("OK", "btn_2"), parts.links[0], parts.links[1],
       parts.links[2], parts.links[3]});
}

// ---- tags ----

bool TTessaroShowListContext::RenderFieldTag(TCustomPageProducer& sender, const std::string& tag_name,
                                             const TStrings& params, std::string& replaceText) {
  auto* producer = dynamic_cast<TDataSetPageProducer*>(&sender);
  TDataSet* data_set = producer != nullptr ? producer->DataSet() : nullptr;
  TField* field = data_set != nullptr && data_set->Active() ? data_set->FindField(tag_name) : nullptr;
  if (field == nullptr || !renderer_) return false;
  // The body record takes the body's attributes; a record template shows the
  // list, whose records are identified by the list's row identifier.
  const TZNKHTMLTableColumnAttributes* attributes = nullptr;
  TField* row_id = nullptr;
  if (data_set == body_.get()) {
    attributes = &BodyColumnAttributes();
  } else if (data_set == list_.get()) {
    attributes = &ListColumnAttributes();
    const std::string row_id_name = RowIdentifierFieldName();
    row_id = row_id_name.empty() ? nullptr : data_set->FindField(row_id_name);
  }
  const TZNKHTMLTableColumnAttribute* attribute =
      attributes != nullptr ? attributes->FindByFieldName(field->FieldName()) : nullptr;
  replaceText = renderer_->RenderField(TFieldRecord{data_set, attributes}, field, row_id, field->FieldName(), &params,
                                       attribute);
  return true;
}

void TTessaroShowListContext::HTMLTag(TCustomPageProducer& sender, TTag kind, const std::string& tagName,
                                      const TStrings& params, std::string& replaceText) {
  if (valid_ && RenderFieldTag(sender, tagName, params, replaceText)) return;
  TTessaroEvidenceContext::HTMLTag(sender, kind, tagName, params, replaceText);
  if (!replaceText.empty() || !valid_) return;
  if (SameText(tagName, "tag_actfrm_hiddenfields")) {
    replaceText = Hidden("ID", ID) + "\r" + Hidden("EID", EvidenceItem()->IDAction);
  } else if (SameText(tagName, "tag_evidence_list")) {
    if (const TTessaroOptions* options = PortalOptions())
      replaceText = EvidenceListHTML(options->ShowListPath, EvidenceItem()->EffectiveName());
  } else if (SameText(tagName, "tag_evidence_name")) {
    replaceText = EvidenceItem()->EffectiveName();  // the administrator's text, as in the menu
  }
}

}  // namespace tessaro
