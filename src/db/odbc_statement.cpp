// Running one SQL text through ODBC and reading what it returns.
//
// Parameters. Each parameter gets a buffer of its own that lives as long as
// the statement, since the driver reads input values when the statement
// runs and writes output values only once every result has been read. The
// parameter's field type chooses the C and SQL types it is bound with (a
// table below); a parameter without a type is bound by the kind of its
// value. A value of another kind is converted (the text "12" for an integer
// parameter), and one that does not convert fails before the database is
// asked.
//
// Values. Columns are read one value at a time with SQLGetData, in the C
// type their SQL type maps to (the second table below). Texts are read as
// UTF-16 and converted to windows-1250; texts and binary values are read in
// pieces of any length, up to kMaxValueBytes. Dates and times are read as
// text and parsed here (sql_datetime.h): drivers' own conversions to date
// structures differ, and one of them reads past its buffer on a time
// without seconds. Decimals with more digits than a double holds keep their
// exact text. Nothing the driver reports about a value's length is trusted
// beyond the buffer it was given.
#include "db/odbc_statement.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>

#include "db/field_types.h"
#include "db/odbc_connection.h"
#include "db/sql_datetime.h"
#include "util/date_format.h"
#include "util/float_math.h"
#include "util/datetime.h"
#include "util/number_format.h"
#include "util/text.h"

namespace tessaro {
namespace {

// ---- Binding parameters ----

enum TBindKind { bkInteger, bkLargeInt, bkBoolean, bkFloat, bkDate, bkTime, bkTimestamp, bkText, bkLongText, bkBinary };

struct TBindType {
  TBindKind kind;
  SQLSMALLINT c_type;
  SQLSMALLINT sql_type;
  SQLULEN column_size;  // for fixed-size values
  SQLSMALLINT digits;
};

// Indexed by TBindKind.
constexpr TBindType kBindTypes[] = {
    {bkInteger, SQL_C_SBIGINT, SQL_INTEGER, 10, 0},
    {bkLargeInt, SQL_C_SBIGINT, SQL_BIGINT, 19, 0},
    {bkBoolean, SQL_C_BIT, SQL_BIT, 1, 0},
    {bkFloat, SQL_C_DOUBLE, SQL_DOUBLE, 15, 0},
    {bkDate, SQL_C_TYPE_DATE, SQL_TYPE_DATE, 10, 0},
    {bkTime, SQL_C_TYPE_TIME, SQL_TYPE_TIME, 8, 0},
    {bkTimestamp, SQL_C_TYPE_TIMESTAMP, SQL_TYPE_TIMESTAMP, 23, 3},
    {bkText, SQL_C_WCHAR, SQL_WVARCHAR, 0, 0},
    {bkLongText, SQL_C_WCHAR, SQL_WLONGVARCHAR, 0, 0},
    {bkBinary, SQL_C_BINARY, SQL_VARBINARY, 0, 0},
};

constexpr bool BindTypesInKindOrder() {
  for (size_t i = 0; i < std::size(kBindTypes); ++i)
    if (kBindTypes[i].kind != static_cast<TBindKind>(i)) return false;
  return true;
}
static_assert(BindTypesInKindOrder(), "kBindTypes is indexed by TBindKind");

struct TFieldBindKind {
  TFieldType type;
  TBindKind kind;
};

// The field types a parameter may have and how each is bound; other types
// are bound by the kind of the value.
constexpr TFieldBindKind kFieldBindKinds[] = {
    {TFieldType::ftString, bkText},         {TFieldType::ftFixedChar, bkText},
    {TFieldType::ftWideString, bkText},     {TFieldType::ftGuid, bkText},
    {TFieldType::ftMemo, bkLongText},       {TFieldType::ftFmtMemo, bkLongText},
    {TFieldType::ftOraClob, bkLongText},    {TFieldType::ftWideMemo, bkLongText},
    {TFieldType::ftSmallint, bkInteger},    {TFieldType::ftInteger, bkInteger},
    {TFieldType::ftWord, bkInteger},        {TFieldType::ftAutoInc, bkInteger},
    {TFieldType::ftLargeint, bkLargeInt},   {TFieldType::ftBoolean, bkBoolean},
    {TFieldType::ftFloat, bkFloat},         {TFieldType::ftCurrency, bkFloat},
    {TFieldType::ftBCD, bkFloat},           {TFieldType::ftFMTBcd, bkFloat},
    {TFieldType::ftDate, bkDate},           {TFieldType::ftTime, bkTime},
    {TFieldType::ftDateTime, bkTimestamp},  {TFieldType::ftTimeStamp, bkTimestamp},
    {TFieldType::ftBytes, bkBinary},        {TFieldType::ftVarBytes, bkBinary},
    {TFieldType::ftBlob, bkBinary},         {TFieldType::ftGraphic, bkBinary},
    {TFieldType::ftTypedBinary, bkBinary},  {TFieldType::ftOraBlob, bkBinary},
};

// Value kinds, indexed by TVariant::Type, for parameters without a type.
// Integers go as 32-bit ones when they fit (see FillBuffer), so that a
// database choosing a function by its argument types finds the usual one.
constexpr TBindKind kValueBindKinds[] = {bkText, bkInteger, bkFloat, bkText, bkBoolean, bkTimestamp};

// Room for a text or binary value written back, when the parameter does not
// give its size.
constexpr size_t kDefaultOutputUnits = 4000;

TBindKind BindKindOf(const TParameter& parameter) {
  for (const auto& row : kFieldBindKinds) {
    if (row.type != parameter.DataType) continue;
    // A time given as text (as requests give it) travels as text.
    if (row.kind == bkTime && parameter.Value.GetType() == TVariant::vtString) return bkText;
    return row.kind;
  }
  // A procedure's return value is an integer unless the parameter says otherwise.
  if (parameter.Value.IsNull() && parameter.Direction == pdReturnValue) return bkInteger;
  return kValueBindKinds[parameter.Value.GetType()];
}

SQLSMALLINT IoType(TParameterDirection direction) {
  switch (direction) {
    case pdOutput:
    case pdReturnValue:
      return SQL_PARAM_OUTPUT;
    case pdInputOutput:
      return SQL_PARAM_INPUT_OUTPUT;
    default:
      return SQL_PARAM_INPUT;
  }
}

[[noreturn]] void NotConvertible(const TParameter& parameter, const char* what) {
  const TVariant& v = parameter.Value;
  std::string text = v.GetType() == TVariant::vtString ? v.AsString() : std::string("value");
  throw EConvertError("'" + text + "' is not a valid " + what + " (parameter " + parameter.Name + ")");
}

int64_t IntegerOf(const TParameter& parameter) {
  const TVariant& v = parameter.Value;
  switch (v.GetType()) {
    case TVariant::vtInteger:
      return v.AsInteger();
    case TVariant::vtBoolean:
      return v.AsBoolean() ? 1 : 0;
    case TVariant::vtFloat:
    case TVariant::vtDate:
      if (std::fabs(v.AsFloat()) < 9.2e18) return RoundHalfAway(v.AsFloat());
      break;
    case TVariant::vtString: {
      int64_t value;
      if (TryStrToInt(v.AsString(), value)) return value;
      break;
    }
    default:
      break;
  }
  NotConvertible(parameter, "integer value");
}

double FloatOf(const TParameter& parameter) {
  const TVariant& v = parameter.Value;
  switch (v.GetType()) {
    case TVariant::vtInteger:
      return static_cast<double>(v.AsInteger());
    case TVariant::vtBoolean:
      return v.AsBoolean() ? 1 : 0;
    case TVariant::vtFloat:
    case TVariant::vtDate:
      return v.AsFloat();
    case TVariant::vtString: {
      double value;
      if (TryStrToFloat(Trim(v.AsString()), value, PointFormatSettings()) || TryStrToFloat(v.AsString(), value))
        return value;
      break;
    }
    default:
      break;
  }
  NotConvertible(parameter, "floating point value");
}

bool BooleanOf(const TParameter& parameter) {
  const TVariant& v = parameter.Value;
  if (v.GetType() == TVariant::vtBoolean) return v.AsBoolean();
  if (v.GetType() == TVariant::vtString) {
    if (SameText(v.AsString(), "True")) return true;
    if (SameText(v.AsString(), "False")) return false;
  }
  return IntegerOf(parameter) != 0;
}

TDateTime DateTimeOf(const TParameter& parameter) {
  const TVariant& v = parameter.Value;
  if (v.GetType() == TVariant::vtString) {
    TDateTime value;
    if (TryStrToDateTime(v.AsString(), value)) return value;
    NotConvertible(parameter, "date and time");
  }
  if (v.GetType() == TVariant::vtBoolean) NotConvertible(parameter, "date and time");
  return v.GetType() == TVariant::vtInteger ? static_cast<double>(v.AsInteger()) : v.AsFloat();
}

// A value as text for a text or binary parameter: numbers with ".", dates
// in the ISO form every database reads.
std::string TextOf(const TParameter& parameter) {
  if (parameter.HeldBytes) return std::string(*parameter.HeldBytes);
  const TVariant& v = parameter.Value;
  switch (v.GetType()) {
    case TVariant::vtString:
      return v.AsString();
    case TVariant::vtInteger:
      return std::to_string(v.AsInteger());
    case TVariant::vtFloat:
      return FloatToStr(v.AsFloat(), PointFormatSettings());
    case TVariant::vtBoolean:
      return v.AsBoolean() ? "True" : "False";
    case TVariant::vtDate:
      return FormatDateTime("yyyy-mm-dd hh:nn:ss.zzz", v.AsFloat(), PointFormatSettings());
    default:
      return std::string();
  }
}

template <class T>
void Store(TParamBuffer& buffer, const T& value) {
  buffer.data.resize(sizeof(T));
  std::memcpy(buffer.data.data(), &value, sizeof(T));
  buffer.indicator = sizeof(T);
}

void DateParts(const TParameter& parameter, TDateTime value, SQL_TIMESTAMP_STRUCT& out) {
  int year, month, day, hour, minute, second, millisecond;
  DecodeDate(value, year, month, day);
  DecodeTime(value, hour, minute, second, millisecond);
  if (year == 0) NotConvertible(parameter, "date and time");
  out = {};
  out.year = static_cast<SQLSMALLINT>(year);
  out.month = static_cast<SQLUSMALLINT>(month);
  out.day = static_cast<SQLUSMALLINT>(day);
  out.hour = static_cast<SQLUSMALLINT>(hour);
  out.minute = static_cast<SQLUSMALLINT>(minute);
  out.second = static_cast<SQLUSMALLINT>(second);
  out.fraction = static_cast<SQLUINTEGER>(millisecond) * 1000000u;
}

// Puts the value into the buffer (for input) or makes room for it (output).
void FillBuffer(const TParameter& parameter, TBindKind kind, TParamBuffer& buffer) {
  const bool has_value = (!parameter.Value.IsNull() || parameter.HeldBytes) && parameter.Direction != pdOutput &&
                         parameter.Direction != pdReturnValue;
  SQL_TIMESTAMP_STRUCT ts;
  switch (kind) {
    case bkInteger:
    case bkLargeInt: {
      const int64_t value = has_value ? IntegerOf(parameter) : 0;
      Store<SQLBIGINT>(buffer, value);
      // An integer parameter with a value beyond 32 bits goes as a large one.
      if (value < std::numeric_limits<int32_t>::min() || value > std::numeric_limits<int32_t>::max())
        buffer.sql_type = SQL_BIGINT;
      break;
    }
    case bkBoolean:
      Store<unsigned char>(buffer, has_value && BooleanOf(parameter) ? 1 : 0);
      break;
    case bkFloat:
      Store<SQLDOUBLE>(buffer, has_value ? FloatOf(parameter) : 0.0);
      break;
    case bkDate:
    case bkTime:
    case bkTimestamp:
      if (has_value) {
        DateParts(parameter, DateTimeOf(parameter), ts);
      } else {
        ts = {};
        ts.year = 1900;
        ts.month = ts.day = 1;
      }
      if (kind == bkDate) Store(buffer, SQL_DATE_STRUCT{ts.year, ts.month, ts.day});
      if (kind == bkTime) Store(buffer, SQL_TIME_STRUCT{ts.hour, ts.minute, ts.second});
      if (kind == bkTimestamp) Store(buffer, ts);
      break;
    case bkText:
    case bkLongText: {
      const TSqlWideString text = has_value ? ToSqlWide(TextOf(parameter)) : TSqlWideString();
      size_t units = text.size();
      if (parameter.Direction != pdInput && parameter.Direction != pdUnknown)
        units = std::min(std::max({units, static_cast<size_t>(std::max(parameter.Size, 0)), kDefaultOutputUnits}),
                         kMaxValueBytes / sizeof(SQLWCHAR));
      buffer.data.assign((units + 1) * sizeof(SQLWCHAR), 0);
      std::memcpy(buffer.data.data(), text.data(), text.size() * sizeof(SQLWCHAR));
      buffer.indicator = static_cast<SQLLEN>(text.size() * sizeof(SQLWCHAR));
      buffer.column_size = std::max<size_t>(units, 1);
      break;
    }
    case bkBinary: {
      if (has_value && parameter.HeldBytes && parameter.Direction != pdInputOutput) {
        // An uploaded file is bound where it lies: large files are not copied.
        const std::string_view held = *parameter.HeldBytes;
        buffer.held = reinterpret_cast<const unsigned char*>(held.data());
        buffer.indicator = static_cast<SQLLEN>(held.size());
        buffer.column_size = std::max<size_t>(held.size(), 1);
        return;
      }
      const std::string bytes = has_value ? TextOf(parameter) : std::string();
      size_t size = bytes.size();
      if (parameter.Direction != pdInput && parameter.Direction != pdUnknown)
        size = std::min(std::max({size, static_cast<size_t>(std::max(parameter.Size, 0)), kDefaultOutputUnits}),
                        kMaxValueBytes);
      buffer.data.assign(std::max<size_t>(size, 1), 0);
      std::memcpy(buffer.data.data(), bytes.data(), bytes.size());
      buffer.indicator = static_cast<SQLLEN>(bytes.size());
      buffer.column_size = std::max<size_t>(size, 1);
      break;
    }
  }
  if (!has_value) buffer.indicator = SQL_NULL_DATA;
}

// The value the database wrote into an output parameter's buffer.
TVariant OutputValue(const TParamBuffer& buffer) {
  if (buffer.indicator == SQL_NULL_DATA) return TVariant();
  const unsigned char* data = buffer.data.data();
  auto read = [data](auto value) {
    std::memcpy(&value, data, sizeof(value));
    return value;
  };
  const size_t capacity = buffer.data.size();
  const size_t length = buffer.indicator < 0 ? capacity : std::min(static_cast<size_t>(buffer.indicator), capacity);
  switch (buffer.c_type) {
    case SQL_C_SBIGINT:
      return TVariant::Integer(read(SQLBIGINT{}));
    case SQL_C_BIT:
      return TVariant::Boolean(read(static_cast<unsigned char>(0)) != 0);
    case SQL_C_DOUBLE:
      return TVariant::Float(read(SQLDOUBLE{}));
    case SQL_C_TYPE_DATE: {
      const auto d = read(SQL_DATE_STRUCT{});
      TDateTime value;
      return TryEncodeDate(d.year, d.month, d.day, value) ? TVariant::Date(value) : TVariant();
    }
    case SQL_C_TYPE_TIME: {
      const auto t = read(SQL_TIME_STRUCT{});
      TDateTime value;
      return TryEncodeTime(t.hour, t.minute, t.second, 0, value) ? TVariant::Date(value) : TVariant();
    }
    case SQL_C_TYPE_TIMESTAMP: {
      const auto t = read(SQL_TIMESTAMP_STRUCT{});
      TDateTime date, time;
      if (!TryEncodeDate(t.year, t.month, t.day, date) ||
          !TryEncodeTime(t.hour, t.minute, t.second, static_cast<int>(std::min(t.fraction / 1000000u, 999u)), time))
        return TVariant();
      return TVariant::Date(date >= 0 ? date + time : date - time);
    }
    case SQL_C_WCHAR: {
      const auto* text = reinterpret_cast<const SQLWCHAR*>(data);
      size_t units = std::min(length, capacity - sizeof(SQLWCHAR)) / sizeof(SQLWCHAR);
      return TVariant::String(FromSqlWide(text, units));
    }
    default:
      return TVariant::String(std::string(reinterpret_cast<const char*>(data), length));
  }
}

// ---- Reading columns ----

struct TSqlTypeRow {
  SQLSMALLINT sql_type;
  TFieldType field_type;
  TFetchKind fetch;
};

// SQL Server's own types, named in its driver's header.
constexpr SQLSMALLINT kSqlServerTime2 = -154;
constexpr SQLSMALLINT kSqlServerDateTimeOffset = -155;

// ODBC SQL types and the field types they become. A type not listed here is
// read as text (ftString). Decimals wider than a double's 15 digits become
// ftFMTBcd read as exact text (see ColumnOf).
constexpr TSqlTypeRow kSqlTypes[] = {
    {SQL_CHAR, TFieldType::ftFixedChar, TFetchKind::fkText},
    {SQL_WCHAR, TFieldType::ftFixedChar, TFetchKind::fkText},
    {SQL_VARCHAR, TFieldType::ftString, TFetchKind::fkText},
    {SQL_WVARCHAR, TFieldType::ftWideString, TFetchKind::fkText},
    {SQL_LONGVARCHAR, TFieldType::ftMemo, TFetchKind::fkText},
    {SQL_WLONGVARCHAR, TFieldType::ftMemo, TFetchKind::fkText},
    {SQL_DECIMAL, TFieldType::ftBCD, TFetchKind::fkFloat},
    {SQL_NUMERIC, TFieldType::ftBCD, TFetchKind::fkFloat},
    {SQL_TINYINT, TFieldType::ftSmallint, TFetchKind::fkInteger},
    {SQL_SMALLINT, TFieldType::ftSmallint, TFetchKind::fkInteger},
    {SQL_INTEGER, TFieldType::ftInteger, TFetchKind::fkInteger},
    {SQL_BIGINT, TFieldType::ftLargeint, TFetchKind::fkInteger},
    {SQL_REAL, TFieldType::ftFloat, TFetchKind::fkFloat},
    {SQL_FLOAT, TFieldType::ftFloat, TFetchKind::fkFloat},
    {SQL_DOUBLE, TFieldType::ftFloat, TFetchKind::fkFloat},
    {SQL_BIT, TFieldType::ftBoolean, TFetchKind::fkBoolean},
    {SQL_TYPE_DATE, TFieldType::ftDate, TFetchKind::fkDate},
    {SQL_DATE, TFieldType::ftDate, TFetchKind::fkDate},
    {SQL_TYPE_TIME, TFieldType::ftTime, TFetchKind::fkTime},
    {SQL_TIME, TFieldType::ftTime, TFetchKind::fkTime},
    {kSqlServerTime2, TFieldType::ftTime, TFetchKind::fkTime},
    {SQL_TYPE_TIMESTAMP, TFieldType::ftDateTime, TFetchKind::fkTimestamp},
    {SQL_TIMESTAMP, TFieldType::ftDateTime, TFetchKind::fkTimestamp},
    {kSqlServerDateTimeOffset, TFieldType::ftDateTime, TFetchKind::fkTimestamp},
    {SQL_BINARY, TFieldType::ftBytes, TFetchKind::fkBinary},
    {SQL_VARBINARY, TFieldType::ftVarBytes, TFetchKind::fkBinary},
    {SQL_LONGVARBINARY, TFieldType::ftBlob, TFetchKind::fkBinary},
    {SQL_GUID, TFieldType::ftGuid, TFetchKind::fkGuid},
};

constexpr int kDoubleDigits = 15;

TOdbcColumn ColumnOf(std::string name, SQLSMALLINT sql_type, SQLULEN size, SQLSMALLINT scale) {
  TOdbcColumn column;
  column.Name = std::move(name);
  column.SqlType = sql_type;
  column.Size = static_cast<int>(std::min<SQLULEN>(size, std::numeric_limits<int>::max()));
  column.Scale = scale;
  column.DataType = TFieldType::ftString;
  for (const auto& row : kSqlTypes) {
    if (row.sql_type != sql_type) continue;
    column.DataType = row.field_type;
    column.Fetch = row.fetch;
  }
  if (column.DataType == TFieldType::ftBCD && column.Size > kDoubleDigits) {
    column.DataType = TFieldType::ftFMTBcd;
    column.Fetch = TFetchKind::fkDecimal;
  }
  return column;
}

// "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}", the form the portal writes GUIDs in.
std::string GuidText(const SQLGUID& g) {
  char text[39];
  std::snprintf(text, sizeof(text), "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}",
                static_cast<unsigned>(g.Data1), g.Data2, g.Data3, g.Data4[0], g.Data4[1], g.Data4[2], g.Data4[3],
                g.Data4[4], g.Data4[5], g.Data4[6], g.Data4[7]);
  return text;
}

[[noreturn]] void TooLarge(const TOdbcColumn& column) {
  throw EDatabaseError("The value of field " + column.Name + " is larger than the " +
                       std::to_string(kMaxValueBytes >> 20) + " MiB a value may have");
}

[[noreturn]] void NotADate(const TOdbcColumn& column, const std::string& text) {
  constexpr size_t kShown = 40;  // characters of the value quoted in the message
  throw EDatabaseError("Field " + column.Name + " holds '" + text.substr(0, kShown) +
                       (text.size() > kShown ? "..." : "") + "', which is not a date or time");
}

}  // namespace


// ---- TOdbcStatement ----

TOdbcStatement::TOdbcStatement(TOdbcConnection& connection, int timeoutSeconds)
    : connection_(connection.NativeHandle()), handle_(SQL_HANDLE_STMT, connection_.get()) {
  if (timeoutSeconds > 0) SetOptionalStmtAttr(handle_, SQL_ATTR_QUERY_TIMEOUT, static_cast<SQLULEN>(timeoutSeconds));
}

void TOdbcStatement::BindParameters(const TParameters& parameters) {
  // Sized once: the driver keeps the addresses of these buffers.
  params_.assign(parameters.Count(), TParamBuffer());
  for (int i = 0; i < parameters.Count(); ++i) {
    const TParameter& parameter = parameters[i];
    TParamBuffer& buffer = params_[i];
    const TBindType& type = kBindTypes[BindKindOf(parameter)];
    buffer.c_type = type.c_type;
    buffer.sql_type = type.sql_type;
    buffer.column_size = type.column_size;
    buffer.digits = type.digits;
    buffer.io_type = IoType(parameter.Direction);
    FillBuffer(parameter, type.kind, buffer);
    CheckOdbc(SQLBindParameter(handle_.Get(), static_cast<SQLUSMALLINT>(i + 1), buffer.io_type, buffer.c_type,
                               buffer.sql_type, buffer.column_size, buffer.digits,
                               buffer.held != nullptr ? const_cast<unsigned char*>(buffer.held) : buffer.data.data(),
                               buffer.held != nullptr ? buffer.indicator : static_cast<SQLLEN>(buffer.data.size()),
                               &buffer.indicator),
              handle_, "Binding parameter " + parameter.Name);
  }
}

void TOdbcStatement::Execute(const std::string& sql, const TParameters& parameters, int maxRows) {
  BindParameters(parameters);
  max_rows_ = std::max(maxRows, 0);
  if (max_rows_ > 0) SetOptionalStmtAttr(handle_, SQL_ATTR_MAX_ROWS, static_cast<SQLULEN>(max_rows_));
  const TSqlWideString text = ToSqlWide(sql);
  if (text.size() > static_cast<size_t>(std::numeric_limits<SQLINTEGER>::max()))
    throw EDatabaseError("The SQL text is too long");
  CheckOdbc(SQLExecDirectW(handle_.Get(), const_cast<SQLWCHAR*>(text.c_str()), static_cast<SQLINTEGER>(text.size())),
            handle_, "Running the SQL");
  SQLLEN count = -1;
  if (SQL_SUCCEEDED(SQLRowCount(handle_.Get(), &count))) rows_affected_ = count;
  SQLSMALLINT columns = 0;
  CheckOdbc(SQLNumResultCols(handle_.Get(), &columns), handle_, "Reading the result");
  while (columns == 0) {
    const SQLRETURN rc = SQLMoreResults(handle_.Get());
    if (rc == SQL_NO_DATA) {
      results_done_ = true;
      return;
    }
    CheckOdbc(rc, handle_, "Reading the next result");
    CheckOdbc(SQLNumResultCols(handle_.Get(), &columns), handle_, "Reading the result");
  }
  DescribeColumns(columns);
}

void TOdbcStatement::DescribeColumns(SQLSMALLINT count) {
  columns_.clear();
  for (SQLUSMALLINT i = 1; i <= static_cast<SQLUSMALLINT>(count); ++i) {
    SQLWCHAR name[256] = {};
    SQLSMALLINT name_length = 0, sql_type = 0, scale = 0, nullable = 0;
    SQLULEN size = 0;
    CheckOdbc(SQLDescribeColW(handle_.Get(), i, name, std::size(name), &name_length, &sql_type, &size, &scale,
                              &nullable),
              handle_, "Describing the result");
    columns_.push_back(ColumnOf(FromSqlWideBuffer(name, std::size(name)), sql_type, size, scale));
  }
}

bool TOdbcStatement::Fetch(std::vector<TFieldValue>& row) {
  if (results_done_ || columns_.empty() || (max_rows_ > 0 && rows_read_ >= max_rows_)) return false;
  const SQLRETURN rc = SQLFetch(handle_.Get());
  if (rc == SQL_NO_DATA) return false;
  CheckOdbc(rc, handle_, "Reading a row");
  ++rows_read_;
  row.resize(columns_.size());
  for (size_t i = 0; i < columns_.size(); ++i) row[i] = FetchValue(static_cast<SQLUSMALLINT>(i + 1));
  return true;
}

TFieldValue TOdbcStatement::FetchValue(SQLUSMALLINT column) {
  const TOdbcColumn& info = columns_[column - 1];
  SQLLEN indicator = 0;
  auto get = [&](SQLSMALLINT c_type, auto& value) {
    CheckOdbc(SQLGetData(handle_.Get(), column, c_type, &value, sizeof(value), &indicator), handle_,
              "Reading field " + info.Name);
    return indicator != SQL_NULL_DATA;
  };
  switch (info.Fetch) {
    case TFetchKind::fkInteger: {
      SQLBIGINT value = 0;
      return get(SQL_C_SBIGINT, value) ? TFieldValue(static_cast<int64_t>(value)) : TFieldValue();
    }
    case TFetchKind::fkFloat: {
      SQLDOUBLE value = 0;
      return get(SQL_C_DOUBLE, value) ? TFieldValue(value) : TFieldValue();
    }
    case TFetchKind::fkBoolean: {
      unsigned char value = 0;
      return get(SQL_C_BIT, value) ? TFieldValue(value != 0) : TFieldValue();
    }
    case TFetchKind::fkDate:
    case TFetchKind::fkTime:
    case TFetchKind::fkTimestamp: {
      TFieldValue text = FetchText(column, SQL_C_WCHAR);
      if (IsNullValue(text)) return text;
      TDateTime value;
      if (!ParseSqlDateTime(std::get<std::string>(text), info.Fetch == TFetchKind::fkTime, value))
        NotADate(info, std::get<std::string>(text));
      return TFieldValue(value);
    }
    case TFetchKind::fkGuid: {
      SQLGUID guid{};
      return get(SQL_C_GUID, guid) ? TFieldValue(GuidText(guid)) : TFieldValue();
    }
    case TFetchKind::fkBinary:
      return FetchBinary(column);
    case TFetchKind::fkDecimal:
    case TFetchKind::fkText:
      break;
  }
  return FetchText(column, SQL_C_WCHAR);
}

// Reads a text in pieces. A piece that fills the buffer was truncated by
// the driver (it reserves one unit for the terminator), so reading goes on.
TFieldValue TOdbcStatement::FetchText(SQLUSMALLINT column, SQLSMALLINT c_type) {
  const TOdbcColumn& info = columns_[column - 1];
  constexpr size_t kPieceUnits = 2048;
  if (text_.size() < kPieceUnits) text_.resize(kPieceUnits);
  const SQLLEN buffer_bytes = static_cast<SQLLEN>(text_.size() * sizeof(SQLWCHAR));
  const size_t piece_units = text_.size() - 1;
  std::basic_string<SQLWCHAR> whole;
  for (bool first = true;; first = false) {
    SQLLEN indicator = 0;
    const SQLRETURN rc = SQLGetData(handle_.Get(), column, c_type, text_.data(), buffer_bytes, &indicator);
    if (rc == SQL_NO_DATA) break;
    CheckOdbc(rc, handle_, "Reading field " + info.Name);
    if (indicator == SQL_NULL_DATA) return first ? TFieldValue() : TFieldValue(FromSqlWide(whole.data(), whole.size()));
    const bool truncated = rc == SQL_SUCCESS_WITH_INFO && (indicator == SQL_NO_TOTAL || indicator >= buffer_bytes);
    size_t units = piece_units;
    if (!truncated) {
      units = indicator >= 0 ? std::min(static_cast<size_t>(indicator) / sizeof(SQLWCHAR), piece_units)
                             : std::find(text_.begin(), text_.begin() + piece_units, 0) - text_.begin();
    }
    if ((whole.size() + units) * sizeof(SQLWCHAR) > kMaxValueBytes) TooLarge(info);
    whole.append(text_.data(), units);
    if (!truncated) break;
  }
  return TFieldValue(FromSqlWide(whole.data(), whole.size()));
}

// Reads a binary value in pieces, the way FetchText reads a text. When the
// driver tells how much is left, the rest is read in one piece: drivers that
// keep a value as text (SQLite's) convert all that is left on every call, so
// small pieces would cost the square of a picture's size.
TFieldValue TOdbcStatement::FetchBinary(SQLUSMALLINT column) {
  const TOdbcColumn& info = columns_[column - 1];
  constexpr size_t kPieceBytes = 16384;
  std::vector<unsigned char> piece(kPieceBytes);
  std::string bytes;
  for (bool first = true;; first = false) {
    SQLLEN indicator = 0;
    const SQLLEN piece_bytes = static_cast<SQLLEN>(piece.size());
    const SQLRETURN rc = SQLGetData(handle_.Get(), column, SQL_C_BINARY, piece.data(), piece_bytes, &indicator);
    if (rc == SQL_NO_DATA) break;
    CheckOdbc(rc, handle_, "Reading field " + info.Name);
    if (indicator == SQL_NULL_DATA) return first ? TFieldValue() : TFieldValue(std::move(bytes));
    const bool truncated = rc == SQL_SUCCESS_WITH_INFO && (indicator == SQL_NO_TOTAL || indicator > piece_bytes);
    const size_t length =
        truncated || indicator < 0 ? piece.size() : static_cast<size_t>(std::min(indicator, piece_bytes));
    if (bytes.size() + length > kMaxValueBytes) TooLarge(info);
    bytes.append(reinterpret_cast<const char*>(piece.data()), length);
    if (!truncated) break;
    if (indicator != SQL_NO_TOTAL) {
      const size_t rest = static_cast<size_t>(indicator) - length;
      if (bytes.size() + rest > kMaxValueBytes) TooLarge(info);
      piece.resize(std::max(rest, kPieceBytes));
    }
  }
  return TFieldValue(std::move(bytes));
}

void TOdbcStatement::ReadOutputs(TParameters& parameters) {
  while (!results_done_) {
    const SQLRETURN rc = SQLMoreResults(handle_.Get());
    if (rc == SQL_NO_DATA) break;
    CheckOdbc(rc, handle_, "Reading the next result");
  }
  results_done_ = true;
  columns_.clear();
  for (int i = 0; i < parameters.Count() && i < static_cast<int>(params_.size()); ++i)
    if (IsOutputDirection(parameters[i].Direction)) parameters[i].Value = OutputValue(params_[i]);
}

}  // namespace tessaro
