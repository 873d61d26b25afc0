// Paging and the table tag of record lists.
//
// Paging: item_no names the first record directly (a record number, or a
// record key that derived delegates resolve); otherwise page_no counts pages
// of `rows` records. A start beyond the last record shows the window that
// ends one record before the last (RecordCount - rows + 1 would end on it);
// lists have always paged this way and bookmarked pages rely on it.
#include "context/table_context.h"

#include <algorithm>
#include <cstdint>

#include "context/html_helpers.h"
#include "context/request_context.h"
#include "context/request_urls.h"
#include "settings/web_app_options.h"
#include "util/codepage.h"
#include "util/file_io.h"
#include "util/number_format.h"
#include "util/quoting.h"
#include "util/regional_settings.h"
#include "util/text.h"

namespace tessaro {

namespace {

// The number of rows a page holds; the context never hands out less than one.
int PageRows(const tRequestContext* owner) { return owner && owner->rows > 0 ? owner->rows : 1; }

// Every occurrence of `tag` in `text`, compared without case, replaced by `value`.
std::string ReplaceTagIgnoringCase(const std::string& text, std::string_view tag, std::string_view value) {
  const std::string lower = LowerCase(text);
  const std::string lower_tag = LowerCase(tag);
  std::string out;
  out.reserve(text.size());
  size_t from = 0;
  for (size_t at; (at = lower.find(lower_tag, from)) != std::string::npos; from = at + tag.size()) {
    out.append(text, from, at - from);
    out += value;
  }
  out.append(text, from, std::string::npos);
  return out;
}

bool ParseInt32(std::string_view text, int& out) {
  int64_t value;
  if (!TryStrToInt(text, value) || value < INT32_MIN || value > INT32_MAX) return false;
  out = static_cast<int>(value);
  return true;
}

bool ParseAlign(std::string_view text, THTMLAlign& out) {
  static constexpr struct {
    std::string_view name;
    THTMLAlign align;
  } kAligns[] = {{"left", THTMLAlign::haLeft},
                 {"right", THTMLAlign::haRight},
                 {"center", THTMLAlign::haCenter},
                 {"default", THTMLAlign::haDefault}};
  for (const auto& a : kAligns) {
    if (SameText(text, a.name)) {
      out = a.align;
      return true;
    }
  }
  return false;
}

}  // namespace

TBaseImplementsIRequestTableContext::TBaseImplementsIRequestTableContext(tRequestContext* owner,
                                                                         TDataSet* sum_data_set, TDataSet* data_set)
    : TImplementsRequestInterface(owner), SumDataSet(sum_data_set), DataSet(data_set) {
  const int rows = PageRows(owner);
  // The start as a record number, in 64 bits: a page number times the rows
  // may pass the 32-bit range, and then lies beyond the end like any other.
  int64_t start = 0;
  if (owner && !owner->item_no.empty()) {
    if (IsUnsignedDecimal(owner->item_no))
      start = std::max<int64_t>(std::stoll(owner->item_no), 1);
    else
      StartKey = owner->item_no;
  } else if (owner && IsUnsignedDecimal(owner->page_no)) {
    start = (std::max<int64_t>(std::stoll(owner->page_no), 1) - 1) * rows + 1;
  }

  if (!DataSet) return;
  if (!DataSet->Active()) DataSet->Open();
  if (DataSetIsEmpty(*DataSet)) return;
  RecordCount = DataSet->RecordCount();
  PageCount = RecordCount <= 0 ? 0 : (RecordCount - 1) / rows + 1;
  int64_t first = start > 0 ? start : 1;
  if (RecordCount < first) first = static_cast<int64_t>(RecordCount) - rows;
  if (first <= 0) first = 1;
  FirstRecord = static_cast<int>(first);
  if (FirstRecord > 1) DataSet->MoveBy(FirstRecord - 1);
}

void TBaseImplementsIRequestTableContext::PrepareColumns(TZNKTableProducer& producer) {
  TDataSet* data_set = producer.DataSet();
  if (!data_set) return;
  for (THTMLTableColumn& column : producer.Columns()) {
    TField* field = data_set->FindField(column.FieldName);
    if (!field) continue;
    THTMLAlign align;
    switch (field->DataType()) {
      case TFieldType::ftString:
      case TFieldType::ftFixedChar:
      case TFieldType::ftWideString:
        align = THTMLAlign::haLeft;
        break;
      case TFieldType::ftSmallint:
      case TFieldType::ftInteger:
      case TFieldType::ftWord:
      case TFieldType::ftFloat:
      case TFieldType::ftCurrency:
        align = THTMLAlign::haRight;
        break;
      case TFieldType::ftBoolean:
        field->SetDisplayValues("Ano;Ne");
        align = THTMLAlign::haCenter;
        break;
      case TFieldType::ftDate:
      case TFieldType::ftTime:
      case TFieldType::ftDateTime:
        field->SetDisplayFormat(RegionalSettings().ShortDateFormat);
        align = THTMLAlign::haRight;
        break;
      default:
        continue;
    }
    column.Align = align;
    column.Title.Align = align;
  }
}

std::string TBaseImplementsIRequestTableContext::Navigator(const TStrings& params) {
  if (!Owner) return std::string();
  const std::string url =
      Owner->Request() && Owner->Options() ? PageURL(*Owner->Request(), *Owner->Options()) : std::string();
  return tessaro::Navigator(url, Owner->RequestFields(), Owner->rows, params, FirstRecord, RecordCount);
}

void TBaseImplementsIRequestTableContext::FormatCell(TZNKTableProducer&, int, int, THTMLTableCell& cell) {
  if (cell.CellData.empty()) cell.CellData = "&nbsp;";
}

void ApplyTableTagParams(TZNKTableProducer& producer, const TStrings& params) {
  THTMLTableAttributes& table = producer.TableAttributes;
  table = THTMLTableAttributes{};
  table.Border = table.CellPadding = table.CellSpacing = table.Width = 0;
  for (size_t i = 0; i < params.Count(); ++i) {
    const std::string name = params.Names(i);
    const std::string value = UnquoteOnce(params.ValueFromIndex(i));
    if (SameText(name, "BORDER")) {
      ParseInt32(value, table.Border);
    } else if (SameText(name, "CELLPADDING")) {
      ParseInt32(value, table.CellPadding);
    } else if (SameText(name, "CELLSPACING")) {
      ParseInt32(value, table.CellSpacing);
    } else if (SameText(name, "WIDTH")) {
      ParseInt32(value, table.Width);
    } else if (SameText(name, "ALIGN")) {
      ParseAlign(value, table.Align);
    } else if (SameText(name, "MAXROWS")) {
      if (IsUnsignedDecimal(value)) producer.MaxRows = static_cast<int>(std::stoll(value));
    } else if (SameText(name, "BGCOLOR")) {
      table.BgColor = value;
    } else if (SameText(name, "class")) {
      if (!value.empty()) table.Custom += (table.Custom.empty() ? "class=" : " class=") + value;
    }
  }
}

std::string TBaseImplementsIRequestTableContext::TableContent(TZNKTableProducer& producer, const TStrings& params) {
  producer.SetDataSet(GetDataSet());
  producer.SetSumDataSet(GetSumDataSet());
  producer.SetOnFormatCell([this](TZNKTableProducer& sender, int row, int column, THTMLTableCell& cell) {
    FormatCell(sender, row, column, cell);
  });
  producer.MaxRows = Owner ? Owner->rows : producer.MaxRows;
  producer.TableContext = this;
  PrepareColumns(producer);
  ApplyTableTagParams(producer, params);

  TDataSet* data_set = producer.DataSet();
  if (!data_set) return Cp1250("není nastaveno SQL pro položky");
  if (data_set->Active() && DataSetIsEmpty(*data_set))
    return Owner && Owner->Options() ? Owner->Options()->table_empty : std::string();
  const std::string name = Owner ? Owner->RowTemplateFile() : std::string();
  if (name.empty()) return producer.Content();
  return RecordTemplateContent(producer, name);
}

std::string TBaseImplementsIRequestTableContext::RecordTemplateContent(TZNKTableProducer& producer,
                                                                       const std::string& name) {
  TDataSet* data_set = producer.DataSet();
  struct CloseIfOpened {
    TDataSet* data_set;  // null when it was open already
    ~CloseIfOpened() {
      if (data_set) data_set->Close();
    }
  } closer{data_set->Active() ? nullptr : data_set};
  if (!data_set->Active()) data_set->Open();
  std::string html;
  if (!data_set->Active()) return html;

  TStrings lines;
  // Template files are UTF-8; the expanded records become the text of a tag,
  // which is internal text until the page is written.
  lines.SetText(DecodeInput(TInputFile::Open(name).ReadAll(kMaxIncludeBytes)));
  const std::string text = lines.Text();
  for (int n = 1; n <= producer.MaxRows && !data_set->Eof(); ++n) {
    lines.SetText(ReplaceTagIgnoringCase(text, "<#CellNo>", std::to_string(n)));
    Owner->ExpandTemplate(lines, data_set);
    html += "\r\n";
    html += lines.Text();
    data_set->Next();
  }
  return html;
}

}  // namespace tessaro
