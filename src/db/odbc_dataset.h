// TOdbcDataSet: the records of a query on an ODBC connection, offered through
// the data-set interface that templates, tables and expressions read.
//
// Two cursors. The client-side cursor (the default) reads every row into
// memory when the data set opens: the record count is known, the cursor
// moves anywhere, and the records can be sorted by IndexFieldNames. The
// server-side forward-only cursor reads one row at a time as the cursor
// moves: the record count is unknown (-1) and the cursor only moves forward.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "db/dataset.h"
#include "db/field_value.h"
#include "db/odbc_command.h"
#include "db/odbc_recordset.h"

namespace tessaro {

enum TCursorLocation { clUseServer, clUseClient };
enum TCursorType { ctUnspecified, ctOpenForwardOnly, ctKeyset, ctDynamic, ctStatic };

class TOdbcDataSet;

class TOdbcField : public TField {
 public:
  TOdbcField(const TOdbcDataSet& owner, int index, const TOdbcColumn& column);

  const std::string& FieldName() const override { return column_.Name; }
  TFieldType DataType() const override { return column_.DataType; }
  int Size() const override { return column_.Size; }
  // Null also when the data set is closed or past its last record.
  bool IsNull() const override { return IsNullValue(Value()); }
  std::string DisplayText() const override { return FieldValueDisplayText(Value(), *this); }
  // As FieldValueAsString: texts and blobs whole, numbers and dates by the
  // regional settings, GUIDs in braces.
  std::string AsString() const override { return FieldValueAsString(Value(), column_.DataType); }
  double AsFloat() const override { return FieldValueAsFloat(Value(), column_.DataType); }
  int64_t AsLargeInt() const override { return FieldValueAsLargeInt(Value(), column_.DataType); }
  bool AsBoolean() const override { return FieldValueAsBoolean(Value(), column_.DataType); }
  TDateTime AsDateTime() const override { return FieldValueAsDateTime(Value(), column_.DataType); }

  // The value of the current record (Null without one). Valid until the
  // cursor moves.
  const TFieldValue& Value() const;
  // The value as a variant: dates and times as dates, exact decimals as
  // floats, binary values as their bytes in a text.
  TVariant AsVariant() const;
  // Digits after the point of a decimal column, as the driver describes it.
  int Scale() const { return column_.Scale; }

 private:
  const TOdbcDataSet& owner_;  // holds the records
  int index_;                  // column in the owner's rows
  TOdbcColumn column_;         // name and types
};

class TOdbcDataSet : public TDataSet {
 public:
  // A data set on `connection` (not owned; may be set later) with the
  // connection's command timeout, a client-side cursor and parameter
  // parsing on.
  explicit TOdbcDataSet(TOdbcConnection* connection = nullptr, std::string name = std::string());
  ~TOdbcDataSet() override;

  TOdbcConnection* Connection() const { return command_.Connection(); }
  void SetConnection(TOdbcConnection* connection) { command_.SetConnection(connection); }
  // The SQL and its parameters; see TOdbcCommand::SetCommandText.
  const std::string& CommandText() const { return command_.CommandText(); }
  void SetCommandText(std::string sql) { command_.SetCommandText(std::move(sql)); }
  bool ParamCheck() const { return command_.ParamCheck(); }
  void SetParamCheck(bool on) { command_.SetParamCheck(on); }
  int CommandTimeout() const { return command_.CommandTimeout(); }
  void SetCommandTimeout(int seconds) { command_.SetCommandTimeout(seconds); }
  TParameters& Parameters() { return command_.Parameters(); }
  const TParameters& Parameters() const { return command_.Parameters(); }

  // The most records Open reads; 0: all.
  int MaxRecords() const { return max_records_; }
  void SetMaxRecords(int count) { max_records_ = count < 0 ? 0 : count; }
  // The server-side forward-only combination streams; every other one
  // reads all rows into memory. Set before Open.
  TCursorLocation CursorLocation() const { return cursor_location_; }
  void SetCursorLocation(TCursorLocation location) { cursor_location_ = location; }
  TCursorType CursorType() const { return cursor_type_; }
  void SetCursorType(TCursorType type) { cursor_type_ = type; }
  bool Streams() const { return cursor_location_ == clUseServer && cursor_type_ == ctOpenForwardOnly; }

  // Sort keys of a client-side data set: field names separated by "," or
  // ";", each optionally followed by ASC or DESC ("A DESC,B"). Records are
  // ordered by the first key, ties by the next, remaining ties in the order
  // the database returned them; Null comes first in ascending order. Sorting
  // happens on Open, or at once on an open data set, and puts the cursor on
  // the first record. Throws EDatabaseError for a field the data set lacks,
  // a malformed key, or a streaming data set.
  const std::string& IndexFieldNames() const { return index_field_names_; }
  void SetIndexFieldNames(std::string names);
  // How sorting compares texts (negative, zero, positive); CompareText
  // (ASCII letters without case, then bytes) unless set.
  using TTextCompare = int (*)(std::string_view a, std::string_view b);
  void SetTextCompare(TTextCompare compare) { text_compare_ = compare; }

  // Opens the data set on the rows of its own SQL. Throws EDatabaseError
  // when the SQL fails or returns no rows at all (not a query).
  void Open() override;
  // Opens the data set on rows a command produced (its record set).
  void OpenRecordset(std::unique_ptr<TOdbcRecordset> recordset);
  void Close() override;
  bool Active() const override { return active_; }

  std::string Name() const override { return name_; }
  int FieldCount() const override { return static_cast<int>(fields_.size()); }
  TField* Field(int index) override;
  TField* FindField(std::string_view name) override;
  TOdbcField* FindOdbcField(std::string_view name);

  void First() override;
  void Next() override;
  bool Eof() const override;
  int RecordCount() const override;
  // 0-based position of the current record of a client-side data set.
  int RecNo() const { return cursor_; }

  // The value in column `column` of the current record; Null without one.
  const TFieldValue& CurrentValue(int column) const;

 private:
  void ReadRecords();
  // Throws EDatabaseError when sort keys are set on a streaming data set.
  void CheckSortable(bool streaming, std::string_view names) const;
  void Sort();

  std::string name_;                                 // for messages
  TOdbcCommand command_;                             // the SQL, its parameters and connection
  int max_records_ = 0;                              // rows read at most; 0: all
  TCursorLocation cursor_location_ = clUseClient;    // where the rows are kept
  TCursorType cursor_type_ = ctStatic;               // how the cursor moves
  std::string index_field_names_;                    // sort keys
  TTextCompare text_compare_;                        // text order for sorting
  bool active_ = false;                              // open
  std::unique_ptr<TOdbcRecordset> recordset_;        // streaming: the rows still to read
  std::vector<std::unique_ptr<TOdbcField>> fields_;  // one per column
  std::vector<std::vector<TFieldValue>> rows_;       // client-side: every record; streaming: the current one
  std::vector<int> order_;                           // client-side: rows_ indexes in sorted order
  int cursor_ = 0;                                   // position in order_ (client) or rows read - 1 (streaming)
  bool streaming_ = false;                           // opened with the streaming cursor
  bool eof_ = true;                                  // streaming: past the last row
};

}  // namespace tessaro
