// TBaseImplementsIRequestTableContext: the base delegate of pages that show a
// paged record list. It works out from the request which records the page
// shows (item_no, page_no, rows), moves the data set's cursor to the first of
// them, and writes "tag_table_content" either as an HTML table or, when the
// page names a per-record template, as that template repeated per record.
// List pages derive from it and override what they show differently.
#pragma once

#include <string>

#include "context/request_interfaces.h"
#include "context/table_producer.h"

namespace tessaro {

class TBaseImplementsIRequestTableContext : public TImplementsRequestInterface, public IRequestTableContext {
 public:
  // Opens `data_set` when it is closed and moves its cursor to the first
  // record of the requested page. Both data sets may be null; neither is owned.
  TBaseImplementsIRequestTableContext(tRequestContext* owner, TDataSet* sum_data_set, TDataSet* data_set);

  // Column alignment by field type; booleans read "Ano"/"Ne", dates and
  // times by the short date pattern.
  void PrepareColumns(TZNKTableProducer& producer) override;
  std::string FilterControl(const TStrings&) override { return std::string(); }
  std::string SortControl(const TStrings&) override { return std::string(); }
  // The page navigator over this page's own address and request fields.
  std::string Navigator(const TStrings& params) override;
  TDataSet* GetSumDataSet() override { return SumDataSet; }
  TDataSet* GetDataSet() override { return DataSet; }
  int GetPageCount() override { return PageCount; }
  std::string TableContent(TZNKTableProducer& producer, const TStrings& params) override;
  // An empty cell gets a non-breaking space, so that its borders show.
  void FormatCell(TZNKTableProducer& sender, int row, int column, THTMLTableCell& cell) override;

  TDataSet* SumDataSet;  // not owned, may be null
  TDataSet* DataSet;     // not owned, may be null
  int FirstRecord = 0;   // 1-based number of the first record shown; 0 until computed
  int RecordCount = 0;
  int PageCount = 0;
  // An item_no that is not a record number: a record key that derived
  // delegates may resolve to a position. Empty otherwise.
  std::string StartKey;

 private:
  // The per-record template `name` repeated for the records of the page.
  std::string RecordTemplateContent(TZNKTableProducer& producer, const std::string& name);
};

// Applies the parameters of "tag_table_content" (BORDER, CELLPADDING,
// CELLSPACING, WIDTH, ALIGN, MAXROWS, BGCOLOR, class) after resetting the
// table attributes to a bare table.
void ApplyTableTagParams(TZNKTableProducer& producer, const TStrings& params);

}  // namespace tessaro
