// The data-set interface through which templates, tables and expressions read
// records. The database layer implements it over ODBC result sets; tests
// implement it over rows in memory. A data set has fields by name and a
// current record; a field yields its value as display text and in its
// native type.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "util/date_format.h"
#include "util/datetime.h"
#include "util/exception.h"
#include "util/number_format.h"
#include "util/text.h"

namespace tessaro {

// Field data types, as reported by the database layer.
enum class TFieldType {
  ftUnknown, ftString, ftSmallint, ftInteger, ftWord, ftBoolean, ftFloat, ftCurrency, ftBCD, ftDate, ftTime,
  ftDateTime, ftBytes, ftVarBytes, ftAutoInc, ftBlob, ftMemo, ftGraphic, ftFmtMemo, ftFixedChar, ftWideString,
  ftLargeint, ftGuid, ftTimeStamp, ftFMTBcd, ftWideMemo
};

// Where a field's value comes from: the record itself, a calculation, or a
// search in another data set. A lookup field's value is the one found there
// by the current record's key fields; it is Null when that data set is
// closed or holds no matching record.
enum class TFieldKind { fkData, fkCalculated, fkLookup };

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

  virtual TFieldKind FieldKind() const { return TFieldKind::fkData; }

  // The value of the current record in a native type. REQUIRES: !IsNull().
  // The defaults read AsString() (numbers and dates by the regional
  // settings, booleans "True"/"False" or "1"/"0") and throw Exception when it
  // is not such a value; implementations that hold typed values override them.
  virtual double AsFloat() const {
    double value;
    if (!TryStrToFloat(AsString(), value)) throw Exception("'" + AsString() + "' is not a valid floating point value");
    return value;
  }
  virtual int64_t AsLargeInt() const {
    int64_t value;
    if (!TryStrToInt(AsString(), value)) throw Exception("'" + AsString() + "' is not a valid integer value");
    return value;
  }
  virtual bool AsBoolean() const {
    const std::string text = AsString();
    if (SameText(text, "True") || text == "1") return true;
    if (SameText(text, "False") || text == "0") return false;
    throw Exception("'" + text + "' is not a valid boolean value");
  }
  virtual TDateTime AsDateTime() const {
    TDateTime value;
    if (!TryStrToDateTime(AsString(), value)) throw Exception("'" + AsString() + "' is not a valid date and time");
    return value;
  }
};

class TDataSet {
 public:
  virtual ~TDataSet() = default;
  // The data set's name, for messages and design-tool texts; empty unless
  // the implementation has one.
  virtual std::string Name() const { return std::string(); }
  virtual bool Active() const = 0;
  virtual void Open() = 0;
  virtual int FieldCount() const = 0;
  virtual TField* Field(int index) = 0;
  // The field with this name (compared without regard to case), or null.
  virtual TField* FindField(std::string_view name) = 0;
};

}  // namespace tessaro
