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

// Field data types, as reported by the database layer. The values up to
// ftFMTBcd (0..37) are the ones definition files store and parameter names
// carry as a type suffix, in their stored order; ftWideMemo is an addition
// of this platform that nothing stores. Names: db/field_types.h.
enum class TFieldType {
  ftUnknown, ftString, ftSmallint, ftInteger, ftWord, ftBoolean, ftFloat, ftCurrency, ftBCD, ftDate, ftTime,
  ftDateTime, ftBytes, ftVarBytes, ftAutoInc, ftBlob, ftMemo, ftGraphic, ftFmtMemo, ftParadoxOle, ftDBaseOle,
  ftTypedBinary, ftCursor, ftFixedChar, ftWideString, ftLargeint, ftADT, ftArray, ftReference, ftDataSet,
  ftOraBlob, ftOraClob, ftVariant, ftInterface, ftIDispatch, ftGuid, ftTimeStamp, ftFMTBcd, ftWideMemo
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
  // The value of the current record as text, formatted for display: by the
  // display attributes below where the implementation honours them.
  virtual std::string DisplayText() const = 0;
  // The value of the current record as plain text.
  virtual std::string AsString() const = 0;

  virtual TFieldKind FieldKind() const { return TFieldKind::fkData; }

  // The declared size: characters of a text field, bytes of a binary one;
  // 0 when the field has none.
  virtual int Size() const { return 0; }

  // Display attributes. Tables and column attributes set them on an open
  // data set's fields; they change DisplayText only, never the value.
  // The caption of the field's column: the field name until one is set.
  const std::string& DisplayLabel() const { return display_label_.empty() ? FieldName() : display_label_; }
  void SetDisplayLabel(std::string label) { display_label_ = std::move(label); }
  // A number pattern (FormatFloat) for numeric fields, a date pattern
  // (FormatDateTime) for date and time fields; empty for the defaults.
  const std::string& DisplayFormat() const { return display_format_; }
  void SetDisplayFormat(std::string format) { display_format_ = std::move(format); }
  // "true text;false text" of a boolean field; empty for "True" and "False".
  const std::string& DisplayValues() const { return display_values_; }
  void SetDisplayValues(std::string values) { display_values_ = std::move(values); }
  // Significant digits of a floating-point field's default display text
  // (1..18; 15 until set; other values are brought into that range).
  int Precision() const { return precision_; }
  void SetPrecision(int precision) { precision_ = precision < 1 ? 1 : precision > 18 ? 18 : precision; }

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

 private:
  std::string display_label_;   // column caption; empty: the field name
  std::string display_format_;  // number or date pattern; empty: the default text
  std::string display_values_;  // "true;false" texts of a boolean field
  int precision_ = 15;          // significant digits of a float's default text
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
  // The field with this name; throws Exception "Field 'NAME' not found".
  TField& FieldByName(std::string_view name);

  // Closing frees the records; fields read Null until the next Open.
  virtual void Close() {}

  // Moving over the records. The defaults describe a data set that shows
  // one current record and cannot move: First does nothing, Next throws
  // Exception, Eof is true only while closed.
  virtual void First() {}
  virtual void Next();
  // True past the last record (at once for an empty data set).
  virtual bool Eof() const { return !Active(); }
  // Moves `distance` records forward (Next that many times, stopping at the
  // end) and returns how many it moved. A negative distance throws Exception.
  virtual int MoveBy(int distance);
  // The number of records; -1 when the data set cannot tell (one whose
  // cursor streams the records from the database).
  virtual int RecordCount() const { return -1; }
};

}  // namespace tessaro
