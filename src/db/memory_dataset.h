// TMemoryDataSet: a data set over rows held in memory, with typed fields.
//
// Tests use it in place of a database result, and the database layer may
// fill one from a fetched result. Fields are defined first, then rows are
// appended as lists of values, one per field in field order. A value is Null
// (std::monostate), an integer, a double (numbers, and dates and times for
// the date field types), a boolean or a text. A lookup field takes its value
// from another memory data set: the first record whose lookup key fields
// equal this record's key fields.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "db/dataset.h"
#include "db/field_value.h"

namespace tessaro {

using TMemoryValue = TFieldValue;

class TMemoryDataSet;

class TMemoryField : public TField {
 public:
  TMemoryField(TMemoryDataSet& owner, int index, std::string name, TFieldType type, TFieldKind kind);

  const std::string& FieldName() const override { return name_; }
  TFieldType DataType() const override { return type_; }
  TFieldKind FieldKind() const override { return kind_; }
  // Null also when the data set is closed or has no current record.
  bool IsNull() const override;
  // Integers in digits, numbers by FloatToStr, dates and times by the
  // regional patterns of their field type, booleans "True"/"False"
  // (FieldValueAsString); DisplayText also honours the display attributes.
  std::string DisplayText() const override;
  std::string AsString() const override;
  // Numbers convert between integer and double, booleans read as 1 and 0,
  // texts are parsed; anything else throws Exception.
  double AsFloat() const override;
  int64_t AsLargeInt() const override;
  bool AsBoolean() const override;
  TDateTime AsDateTime() const override;

  // The value of the current record (for a lookup field, the value found).
  TMemoryValue Value() const;

  // Makes this a lookup field. `keyFields` and `lookupKeyFields` are
  // ";"-separated lists of the same length.
  void SetLookup(std::string keyFields, TMemoryDataSet* lookupDataSet, std::string lookupKeyFields,
                 std::string resultField);

 private:
  TMemoryValue LookupValue() const;

  TMemoryDataSet& owner_;             // the data set whose rows hold the values
  int index_;                         // position among the owner's fields = column of the rows
  std::string name_;                  // field name
  TFieldType type_;                   // data type
  TFieldKind kind_;                   // data, calculated or lookup
  std::string key_fields_;            // lookup: this data set's key fields
  TMemoryDataSet* lookup_ = nullptr;  // lookup: the data set searched (not owned)
  std::string lookup_key_fields_;     // lookup: its key fields
  std::string result_field_;          // lookup: its field that gives the value
};

class TMemoryDataSet : public TDataSet {
 public:
  explicit TMemoryDataSet(std::string name = std::string()) : name_(std::move(name)) {}

  std::string Name() const override { return name_; }

  // Defines a field; its column is the next one of every row.
  TMemoryField& AddField(std::string name, TFieldType type, TFieldKind kind = TFieldKind::fkData);
  // Defines a lookup field (see TMemoryField::SetLookup). `lookupDataSet` is
  // not owned and must outlive this data set's use.
  TMemoryField& AddLookupField(std::string name, TFieldType type, std::string keyFields, TMemoryDataSet* lookupDataSet,
                               std::string lookupKeyFields, std::string resultField);

  // Appends a row; missing trailing values are Null, surplus ones are
  // dropped. The cursor stays where it was (at the first row when the data
  // set was empty).
  void AppendRecord(std::vector<TMemoryValue> values);

  bool Active() const override { return active_; }
  // Opening puts the cursor on the first row.
  void Open() override;
  void Close() override { active_ = false; }

  int RecordCount() const override { return static_cast<int>(rows_.size()); }
  // 0-based index of the current row; RecordCount() past the last.
  int RecNo() const { return cursor_; }
  void SetRecNo(int index) { cursor_ = index; }
  void First() override { cursor_ = 0; }
  void Next() override {
    if (cursor_ < RecordCount()) ++cursor_;
  }
  bool Eof() const override { return cursor_ >= RecordCount(); }
  // Jumps rather than steps: paging a long list moves far at once.
  int MoveBy(int distance) override;

  int FieldCount() const override { return static_cast<int>(fields_.size()); }
  TField* Field(int index) override;
  TField* FindField(std::string_view name) override;
  TMemoryField* FindMemoryField(std::string_view name) const;

  // The value in column `column` of row `row`; null when either is out of range.
  const TMemoryValue* Cell(int row, int column) const;
  // The cell of the current row, or null when closed or past the last row.
  const TMemoryValue* CurrentCell(int column) const;

 private:
  std::string name_;                                   // data set name
  std::vector<std::unique_ptr<TMemoryField>> fields_;  // fields in column order
  std::vector<std::vector<TMemoryValue>> rows_;        // one value per field per row
  int cursor_ = 0;                                     // current row
  bool active_ = false;                                // open
};

}  // namespace tessaro
