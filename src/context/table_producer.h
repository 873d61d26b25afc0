// TZNKTableProducer: the HTML table of a record list. It writes a head with
// one header cell per column, an optional foot holding the total row of a
// second data set, and a body of at most MaxRows records taken from the data
// set's current record on (the table context has already moved the cursor to
// the first record of the page). Every cell passes through a formatting
// callback, which the table context uses to have the last say on colours,
// alignment and content.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "db/dataset.h"
#include "util/string_list.h"

namespace tessaro {

class IRequestTableContext;

enum class THTMLAlign { haDefault, haLeft, haRight, haCenter };
enum class THTMLVAlign { haVDefault, haTop, haMiddle, haBottom, haBaseline };
enum class THTMLCaptionAlignment { caDefault, caTop, caBottom };

// The attribute texts, each starting with a blank (empty for the defaults).
std::string_view AlignText(THTMLAlign align);
std::string_view VAlignText(THTMLVAlign align);

// The header cell of a column.
struct THTMLTableHeaderAttributes {
  std::string Caption;  // header text (markup allowed); empty: the field's display label
  THTMLAlign Align = THTMLAlign::haDefault;
  THTMLVAlign VAlign = THTMLVAlign::haVDefault;
  std::string BgColor;
  std::string Custom;  // further attributes, written as they are
};

struct THTMLTableColumn {
  std::string FieldName;  // the data set's field shown in this column
  THTMLAlign Align = THTMLAlign::haDefault;
  THTMLVAlign VAlign = THTMLVAlign::haVDefault;
  std::string BgColor;
  std::string Custom;  // further attributes of every cell, written as they are
  THTMLTableHeaderAttributes Title;
};

struct THTMLTableAttributes {
  THTMLAlign Align = THTMLAlign::haDefault;
  std::string BgColor;
  int Border = -1;       // -1: not written
  int CellSpacing = -1;  // -1: not written
  int CellPadding = -1;  // -1: not written
  int Width = 100;       // percent; 0 or less: not written
  std::string Custom;
};

struct THTMLTableRowAttributes {
  THTMLAlign Align = THTMLAlign::haDefault;
  THTMLVAlign VAlign = THTMLVAlign::haVDefault;
  std::string BgColor;
  std::string Custom;
};

// One cell as the formatting callback sees it; it may change every member.
struct THTMLTableCell {
  std::string BgColor;
  THTMLAlign Align = THTMLAlign::haDefault;
  THTMLVAlign VAlign = THTMLVAlign::haVDefault;
  std::string Custom;
  std::string CellData;  // the cell's HTML
};

class TZNKTableProducer;

// Called for every cell: row 0 for header cells, 1 for the total row, and
// 1, 2, ... for body rows; `column` indexes Columns().
using TCellFormatEvent = std::function<void(TZNKTableProducer& sender, int row, int column, THTMLTableCell& cell)>;

class TZNKTableProducer {
 public:
  TZNKTableProducer() = default;
  TZNKTableProducer(const TZNKTableProducer&) = delete;
  TZNKTableProducer& operator=(const TZNKTableProducer&) = delete;

  // The data set shown (not owned). Setting an open one while the columns
  // were not chosen explicitly gives one column per field.
  TDataSet* DataSet() const { return data_set_; }
  void SetDataSet(TDataSet* data_set);

  // The columns. AddColumn chooses them explicitly; the non-const accessor
  // lets callers adjust the attributes of the columns present.
  std::vector<THTMLTableColumn>& Columns() { return columns_; }
  const std::vector<THTMLTableColumn>& Columns() const { return columns_; }
  THTMLTableColumn& AddColumn(std::string field_name);
  // One column per field of the data set, in field order.
  void BuildDefaultColumns();

  // The data set of the total row (not owned), may be null. The producer
  // closes it once the foot is written.
  TDataSet* SumDataSet() const { return sum_data_set_; }
  void SetSumDataSet(TDataSet* data_set) { sum_data_set_ = data_set; }

  void SetOnFormatCell(TCellFormatEvent handler) { on_format_cell_ = std::move(handler); }

  int MaxRows = 20;
  THTMLTableAttributes TableAttributes;
  THTMLTableRowAttributes RowAttributes;
  std::string Caption;
  THTMLCaptionAlignment CaptionAlignment = THTMLCaptionAlignment::caDefault;
  TStrings Header;  // lines written before the table
  TStrings Footer;  // lines written after the table
  std::string EvenRowClass;
  std::string FootClass;
  std::string HeadClass;
  IRequestTableContext* TableContext = nullptr;  // the delegate that formats the cells
  // True while the total row's cells are formatted, so that the callback
  // reads SumDataSet rather than DataSet.
  bool InFoot = false;

  // The table's HTML; empty without a data set. A closed data set is opened
  // and closed again. The data set's cursor is left after the last record
  // shown.
  std::string Content();

 private:
  void WriteTableStart(std::string& out) const;
  void WriteRowStart(std::string& out, const std::string& row_class) const;
  void WriteCell(std::string& out, const char* tag, int row, int column, THTMLTableCell& cell);
  void WriteHead(std::string& out, const std::vector<TField*>& fields);
  void WriteFoot(std::string& out);
  void WriteBody(std::string& out, const std::vector<TField*>& fields);
  size_t EstimatedSize() const;

  TDataSet* data_set_ = nullptr;      // not owned
  TDataSet* sum_data_set_ = nullptr;  // not owned
  std::vector<THTMLTableColumn> columns_;
  bool columns_explicit_ = false;  // columns were added by AddColumn
  TCellFormatEvent on_format_cell_;
};

// Whether an open data set holds no record.
bool DataSetIsEmpty(const TDataSet& data_set);

}  // namespace tessaro
