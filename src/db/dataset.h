// The data-set interface through which templates, tables and expressions read
// records. The database layer implements it over ODBC result sets; tests
// implement it over rows in memory. A data set has fields by name and a
// current record; a field yields its value as display text.
#pragma once

#include <string>
#include <string_view>

namespace tessaro {

// Field data types, as reported by the database layer.
enum class TFieldType {
  ftUnknown, ftString, ftSmallint, ftInteger, ftWord, ftBoolean, ftFloat, ftCurrency, ftBCD, ftDate, ftTime,
  ftDateTime, ftBytes, ftVarBytes, ftAutoInc, ftBlob, ftMemo, ftGraphic, ftFmtMemo, ftFixedChar, ftWideString,
  ftLargeint, ftGuid, ftTimeStamp, ftFMTBcd, ftWideMemo
};

class TField {
 public:
  virtual ~TField() = default;
  virtual const std::string& FieldName() const = 0;
  virtual TFieldType DataType() const = 0;
  virtual bool IsNull() const = 0;
  // The value of the current record as text, formatted for display.
  virtual std::string DisplayText() const = 0;
  // The value of the current record as plain text.
  virtual std::string AsString() const = 0;
};

class TDataSet {
 public:
  virtual ~TDataSet() = default;
  virtual bool Active() const = 0;
  virtual void Open() = 0;
  virtual int FieldCount() const = 0;
  virtual TField* Field(int index) = 0;
  // The field with this name (compared without regard to case), or null.
  virtual TField* FindField(std::string_view name) = 0;
};

}  // namespace tessaro
