// The record table's markup. The whole table is written into one string,
// reserved once from the number of rows and columns, so that a long page
// costs no repeated growth; the data set is read in place, record by record.
//
// Layout of the result (CR LF written as \r\n):
//
//   Header lines
//   <Table ...>[<Caption ...>...</Caption>]\r\n
//   <thead ...><tr ...><TH ...>title</TH>...</tr></thead>\r\n
//   [<tfoot ...><tr ...><TH ...>total</TH>...</tr></tfoot>\r\n]
//   <tbody><tr ...><TD ...>cell</TD>...</tr>\r\n<tr ...>...</tr></tbody></Table>
//   Footer lines
//
// Body rows are separated by CR LF; one also follows the last row written
// when the data set holds further records beyond MaxRows.
#include "context/table_producer.h"

#include <algorithm>
#include <cstdint>

#include "context/html_helpers.h"

namespace tessaro {

namespace {

constexpr std::string_view kCrLf = "\r\n";

// Appends ` name="value"` (or ` name=value` when unquoted).
void AppendAttribute(std::string& out, std::string_view name, std::string_view value, bool quoted) {
  out += ' ';
  out += name;
  out += quoted ? "=\"" : "=";
  out += value;
  if (quoted) out += '"';
}

void AppendCustom(std::string& out, const std::string& custom) {
  if (custom.empty()) return;
  out += ' ';
  out += custom;
}

// ` class="name"`, or nothing for an empty name.
void AppendClass(std::string& out, const std::string& css_class) {
  if (!css_class.empty()) AppendAttribute(out, "class", css_class, true);
}

std::string_view CaptionAlignText(THTMLCaptionAlignment align) {
  switch (align) {
    case THTMLCaptionAlignment::caTop: return " Align=\"Top\">";
    case THTMLCaptionAlignment::caBottom: return " Align=\"Bottom\">";
    default: return ">";
  }
}

// Closes the data set on the way out when this producer opened it.
struct CloseIfOpened {
  TDataSet* data_set;  // null when it was open already
  ~CloseIfOpened() {
    if (data_set) data_set->Close();
  }
};

}  // namespace

std::string_view AlignText(THTMLAlign align) {
  switch (align) {
    case THTMLAlign::haLeft: return " Align=\"left\"";
    case THTMLAlign::haRight: return " Align=\"right\"";
    case THTMLAlign::haCenter: return " Align=\"center\"";
    default: return "";
  }
}

std::string_view VAlignText(THTMLVAlign align) {
  switch (align) {
    case THTMLVAlign::haTop: return " VAlign=\"top\"";
    case THTMLVAlign::haMiddle: return " VAlign=\"middle\"";
    case THTMLVAlign::haBottom: return " VAlign=\"bottom\"";
    case THTMLVAlign::haBaseline: return " VAlign=\"baseline\"";
    default: return "";
  }
}

bool DataSetIsEmpty(const TDataSet& data_set) {
  const int count = data_set.RecordCount();
  return count == 0 || (count < 0 && data_set.Eof());
}

void TZNKTableProducer::SetDataSet(TDataSet* data_set) {
  data_set_ = data_set;
  if (data_set_ && data_set_->Active() && !columns_explicit_) BuildDefaultColumns();
}

THTMLTableColumn& TZNKTableProducer::AddColumn(std::string field_name) {
  if (!columns_explicit_) columns_.clear();
  columns_explicit_ = true;
  THTMLTableColumn& column = columns_.emplace_back();
  column.FieldName = std::move(field_name);
  return column;
}

void TZNKTableProducer::BuildDefaultColumns() {
  columns_.clear();
  columns_explicit_ = false;
  if (!data_set_) return;
  const int count = data_set_->FieldCount();
  columns_.resize(static_cast<size_t>(std::max(count, 0)));
  for (int i = 0; i < count; ++i) columns_[static_cast<size_t>(i)].FieldName = data_set_->Field(i)->FieldName();
}

std::string TZNKTableProducer::Content() {
  if (!data_set_) return "";
  CloseIfOpened closer{data_set_->Active() ? nullptr : data_set_};
  if (!data_set_->Active()) data_set_->Open();
  if (columns_.empty()) BuildDefaultColumns();

  // The fields are looked up once per table, not once per cell.
  std::vector<TField*> fields(columns_.size());
  for (size_t i = 0; i < columns_.size(); ++i) fields[i] = data_set_->FindField(columns_[i].FieldName);

  std::string out;
  out.reserve(EstimatedSize());
  out += Header.Text();
  WriteTableStart(out);
  if (!Caption.empty()) {
    out += "<Caption ";
    out += CaptionAlignText(CaptionAlignment);
    out += Caption;
    out += "</Caption>";
  }
  WriteHead(out, fields);
  WriteFoot(out);
  WriteBody(out, fields);
  out += "</tbody></Table>";
  out += Footer.Text();
  return out;
}

size_t TZNKTableProducer::EstimatedSize() const {
  // Rows that will be written, as far as the data set tells; a guess of a
  // few dozen bytes of markup and text per cell. A guess that large is not
  // reserved in full: the string grows on its own past it.
  constexpr int64_t kMaxReserved = 16 * 1024 * 1024;
  int64_t rows = std::max(MaxRows, 0);
  if (data_set_->RecordCount() >= 0) rows = std::min<int64_t>(rows, data_set_->RecordCount());
  const int64_t cells = (rows + 2) * static_cast<int64_t>(columns_.size() + 1);
  const int64_t guess = 256 + std::min<int64_t>(cells, kMaxReserved) * 48;
  return static_cast<size_t>(std::min(guess, kMaxReserved)) + Caption.size() + Header.Text().size() +
         Footer.Text().size();
}

void TZNKTableProducer::WriteTableStart(std::string& out) const {
  const THTMLTableAttributes& table = TableAttributes;
  out += "<Table";
  if (table.Width > 0) {
    out += " Width=\"";
    out += std::to_string(table.Width);
    out += "%\"";
  }
  out += AlignText(table.Align);
  if (table.CellSpacing >= 0) AppendAttribute(out, "CellSpacing", std::to_string(table.CellSpacing), false);
  if (table.CellPadding >= 0) AppendAttribute(out, "CellPadding", std::to_string(table.CellPadding), false);
  if (table.Border >= 0) AppendAttribute(out, "Border", std::to_string(table.Border), false);
  if (!table.BgColor.empty()) AppendAttribute(out, "BgColor", table.BgColor, true);
  AppendCustom(out, table.Custom);
  out += '>';
}

void TZNKTableProducer::WriteRowStart(std::string& out, const std::string& row_class) const {
  out += "<tr";
  out += AlignText(RowAttributes.Align);
  out += VAlignText(RowAttributes.VAlign);
  if (!RowAttributes.BgColor.empty()) AppendAttribute(out, "BgColor", RowAttributes.BgColor, true);
  AppendCustom(out, RowAttributes.Custom);
  AppendClass(out, row_class);
  out += '>';
}

void TZNKTableProducer::WriteCell(std::string& out, const char* tag, int row, int column, THTMLTableCell& cell) {
  if (on_format_cell_) on_format_cell_(*this, row, column, cell);
  out += '<';
  out += tag;
  out += AlignText(cell.Align);
  out += VAlignText(cell.VAlign);
  if (!cell.BgColor.empty()) AppendAttribute(out, "BgColor", cell.BgColor, true);
  AppendCustom(out, cell.Custom);
  out += '>';
  out += cell.CellData;
  out += "</";
  out += tag;
  out += '>';
}

void TZNKTableProducer::WriteHead(std::string& out, const std::vector<TField*>& fields) {
  out += kCrLf;
  out += "<thead";
  AppendClass(out, HeadClass);
  out += '>';
  WriteRowStart(out, std::string());
  THTMLTableCell cell;
  for (size_t i = 0; i < columns_.size(); ++i) {
    const THTMLTableColumn& column = columns_[i];
    const THTMLTableHeaderAttributes& title = column.Title;
    cell.BgColor = title.BgColor;
    cell.Align = title.Align;
    cell.VAlign = title.VAlign;
    cell.Custom = title.Custom;
    // Titles are the portal's own text and may hold markup: not escaped.
    if (!title.Caption.empty())
      cell.CellData = title.Caption;
    else if (fields[i])
      cell.CellData = fields[i]->DisplayLabel();
    else
      cell.CellData = column.FieldName;
    WriteCell(out, "TH", 0, static_cast<int>(i), cell);
  }
  out += "</tr></thead>";
  out += kCrLf;
}

void TZNKTableProducer::WriteFoot(std::string& out) {
  if (!sum_data_set_ || !sum_data_set_->Active() || DataSetIsEmpty(*sum_data_set_)) return;
  InFoot = true;
  struct LeaveFoot {
    bool& in_foot;
    ~LeaveFoot() { in_foot = false; }
  } leave{InFoot};
  out += "<tfoot";
  AppendClass(out, FootClass);
  out += '>';
  WriteRowStart(out, std::string());
  THTMLTableCell cell;
  for (size_t i = 0; i < columns_.size(); ++i) {
    const THTMLTableColumn& column = columns_[i];
    cell.BgColor = column.BgColor;
    cell.Align = column.Align;
    cell.VAlign = column.VAlign;
    cell.Custom = column.Custom;
    cell.CellData = FieldDisplayHtml(sum_data_set_->FindField(column.FieldName), 0);
    WriteCell(out, "TH", 1, static_cast<int>(i), cell);
  }
  sum_data_set_->Close();
  out += "</tr></tfoot>";
  out += kCrLf;
}

void TZNKTableProducer::WriteBody(std::string& out, const std::vector<TField*>& fields) {
  if (!data_set_->Active()) return;
  out += "<tbody>";
  const std::string no_class;
  THTMLTableCell cell;
  for (int row = 1; row <= MaxRows && !data_set_->Eof(); ++row) {
    WriteRowStart(out, row % 2 == 0 ? EvenRowClass : no_class);
    for (size_t i = 0; i < columns_.size(); ++i) {
      const THTMLTableColumn& column = columns_[i];
      cell.BgColor = column.BgColor;
      cell.Align = column.Align;
      cell.VAlign = column.VAlign;
      cell.Custom = column.Custom;
      cell.CellData = FieldDisplayHtml(fields[i], 0);
      WriteCell(out, "TD", row, static_cast<int>(i), cell);
    }
    out += "</tr>";
    data_set_->Next();
    if (!data_set_->Eof()) out += kCrLf;
  }
}

}  // namespace tessaro
