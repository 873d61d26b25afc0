// Data sets over ODBC results.
//
// A data set runs its SQL through its own command, or takes the rows of a
// command that ran elsewhere, and keeps them as rows of TFieldValue cells,
// the same cells the memory data set holds, so fields of both read alike.
// A client-side data set reads every row at once (at most MaxRecords, and
// never more memory than kMaxBufferedBytes) and then only moves an index;
// sorting permutes that index, so the rows stay in the order the database
// returned them and equal keys keep it. A streaming data set holds just the
// current row and fetches the next one on Next.
//
// Fields live until the data set is destroyed or reopened on other columns:
// a table that found a field before the data set was closed may still ask
// it for its (Null) value, and display attributes set on the fields survive
// closing and reopening the same query.
#include "db/odbc_dataset.h"

#include "util/collation.h"

#include <algorithm>
#include <cmath>
#include <numeric>

#include "db/database_error.h"
#include "db/field_types.h"
#include "util/number_format.h"
#include "util/text.h"

namespace tessaro {
namespace {

const TFieldValue kNullValue;

struct TSortKey {
  int column;       // in the rows
  TFieldType type;  // how texts of the column compare
  bool descending;
};

// One sort key text ("Name", "Name DESC", "[Order Date] ASC") split into the
// field name and the direction.
void SplitSortKey(std::string_view key, std::string& name, bool& descending) {
  const std::string text = Trim(key);
  const size_t blank = text.find_last_of(" \t");
  descending = false;
  name = text;
  if (blank != std::string::npos) {
    const std::string_view last = std::string_view(text).substr(blank + 1);
    if (SameText(last, "DESC") || SameText(last, "ASC")) {
      descending = SameText(last, "DESC");
      name = Trim(std::string_view(text).substr(0, blank));
    }
  }
  if (name.size() >= 2 && name.front() == '[' && name.back() == ']') name = name.substr(1, name.size() - 2);
}

bool NumberOf(const TFieldValue& value, TFieldType type, double& out) {
  if (const auto* i = std::get_if<int64_t>(&value)) return out = static_cast<double>(*i), true;
  if (const auto* d = std::get_if<double>(&value)) return out = *d, true;
  if (const auto* b = std::get_if<bool>(&value)) return out = *b ? 1 : 0, true;
  if (const auto* s = std::get_if<std::string>(&value))
    return IsNumericFieldType(type) && TryStrToFloat(*s, out, PointFormatSettings());
  return false;
}

// Orders two values of one column: Null first, then numbers, then texts.
int CompareValues(const TFieldValue& a, const TFieldValue& b, TFieldType type, TOdbcDataSet::TTextCompare compare) {
  const bool a_null = IsNullValue(a), b_null = IsNullValue(b);
  if (a_null || b_null) return static_cast<int>(b_null) - static_cast<int>(a_null);
  const auto* ai = std::get_if<int64_t>(&a);
  const auto* bi = std::get_if<int64_t>(&b);
  if (ai != nullptr && bi != nullptr) return (*ai > *bi) - (*ai < *bi);
  double x, y;
  const bool a_number = NumberOf(a, type, x), b_number = NumberOf(b, type, y);
  if (a_number && b_number) return (x > y) - (x < y);
  if (a_number != b_number) return a_number ? -1 : 1;
  return compare(std::get<std::string>(a), std::get<std::string>(b));
}

bool SameColumns(const std::vector<std::unique_ptr<TOdbcField>>& fields, const std::vector<TOdbcColumn>& columns) {
  if (fields.size() != columns.size()) return false;
  for (size_t i = 0; i < fields.size(); ++i)
    if (fields[i]->FieldName() != columns[i].Name || fields[i]->DataType() != columns[i].DataType) return false;
  return true;
}

}  // namespace

// ---- TOdbcField ----

TOdbcField::TOdbcField(const TOdbcDataSet& owner, int index, const TOdbcColumn& column)
    : owner_(owner), index_(index), column_(column) {}

const TFieldValue& TOdbcField::Value() const { return owner_.CurrentValue(index_); }

TVariant TOdbcField::AsVariant() const {
  const TFieldValue& value = Value();
  if (const auto* i = std::get_if<int64_t>(&value)) return TVariant::Integer(*i);
  if (const auto* b = std::get_if<bool>(&value)) return TVariant::Boolean(*b);
  if (const auto* d = std::get_if<double>(&value))
    return IsTemporalFieldType(column_.DataType) ? TVariant::Date(*d) : TVariant::Float(*d);
  if (const auto* s = std::get_if<std::string>(&value)) {
    double number;
    if (IsNumericFieldType(column_.DataType) && TryStrToFloat(*s, number, PointFormatSettings()))
      return TVariant::Float(number);
    return TVariant::String(*s);
  }
  return TVariant();
}

// ---- TOdbcDataSet ----

TOdbcDataSet::TOdbcDataSet(TOdbcConnection* connection, std::string name)
    : name_(std::move(name)), command_(connection), text_compare_(AnsiCompareStr) {}

TOdbcDataSet::~TOdbcDataSet() = default;

void TOdbcDataSet::CheckSortable(bool streaming, std::string_view names) const {
  if (streaming && !Trim(names).empty())
    throw EDatabaseError("Data set " + name_ + " streams its records and cannot sort them");
}

void TOdbcDataSet::Open() {
  if (active_) return;
  CheckSortable(Streams(), index_field_names_);
  std::unique_ptr<TOdbcRecordset> recordset = command_.Execute(max_records_);
  if (recordset == nullptr) throw EDatabaseError("The SQL of data set " + name_ + " does not return records");
  OpenRecordset(std::move(recordset));
}

void TOdbcDataSet::OpenRecordset(std::unique_ptr<TOdbcRecordset> recordset) {
  Close();
  if (recordset == nullptr) throw EDatabaseError("Data set " + name_ + " was given no records");
  CheckSortable(Streams(), index_field_names_);
  const std::vector<TOdbcColumn>& columns = recordset->Columns();
  if (!SameColumns(fields_, columns)) {
    fields_.clear();
    for (size_t i = 0; i < columns.size(); ++i)
      fields_.push_back(std::make_unique<TOdbcField>(*this, static_cast<int>(i), columns[i]));
  }
  recordset_ = std::move(recordset);
  cursor_ = 0;
  streaming_ = Streams();
  if (streaming_) {
    rows_.resize(1);
    eof_ = !recordset_->Fetch(rows_[0]);
    if (eof_) recordset_.reset();
  } else {
    ReadRecords();
  }
  active_ = true;
  if (!streaming_ && !Trim(index_field_names_).empty()) Sort();
}

void TOdbcDataSet::ReadRecords() {
  size_t bytes = 0;
  std::vector<TFieldValue> row;
  while ((max_records_ == 0 || static_cast<int>(rows_.size()) < max_records_) && recordset_->Fetch(row)) {
    CountBufferedRow(bytes, row);
    rows_.push_back(std::move(row));
  }
  recordset_.reset();
  order_.resize(rows_.size());
  std::iota(order_.begin(), order_.end(), 0);
}

void TOdbcDataSet::Close() {
  active_ = false;
  recordset_.reset();
  rows_.clear();
  order_.clear();
  cursor_ = 0;
  eof_ = true;
}

void TOdbcDataSet::SetIndexFieldNames(std::string names) {
  if (active_) CheckSortable(streaming_, names);
  index_field_names_ = std::move(names);
  if (active_ && !streaming_) Sort();
}

void TOdbcDataSet::Sort() {
  std::iota(order_.begin(), order_.end(), 0);
  cursor_ = 0;
  std::vector<TSortKey> keys;
  std::string_view list = index_field_names_;
  while (!list.empty()) {
    const size_t end = std::min(list.find(','), list.find(';'));
    const std::string_view item = list.substr(0, end);
    list = end == std::string_view::npos ? std::string_view() : list.substr(end + 1);
    if (Trim(item).empty()) continue;
    std::string name;
    bool descending;
    SplitSortKey(item, name, descending);
    const auto found = std::find_if(fields_.begin(), fields_.end(),
                                    [&](const auto& field) { return SameText(field->FieldName(), name); });
    if (found == fields_.end())
      throw EDatabaseError("Data set " + name_ + " has no field '" + name + "' to sort by");
    keys.push_back({static_cast<int>(found - fields_.begin()), (*found)->DataType(), descending});
  }
  std::stable_sort(order_.begin(), order_.end(), [&](int a, int b) {
    for (const TSortKey& key : keys) {
      const int order = CompareValues(rows_[a][key.column], rows_[b][key.column], key.type, text_compare_);
      if (order != 0) return key.descending ? order > 0 : order < 0;
    }
    return false;
  });
}

TField* TOdbcDataSet::Field(int index) {
  return index >= 0 && index < FieldCount() ? fields_[index].get() : nullptr;
}

TField* TOdbcDataSet::FindField(std::string_view name) { return FindOdbcField(name); }

TOdbcField* TOdbcDataSet::FindOdbcField(std::string_view name) {
  for (const auto& field : fields_)
    if (SameText(field->FieldName(), name)) return field.get();
  return nullptr;
}

void TOdbcDataSet::First() {
  if (!streaming_) {
    cursor_ = 0;
  } else if (active_ && cursor_ != 0) {
    throw EDatabaseError("Data set " + name_ + " reads its records only forward");
  }
}

void TOdbcDataSet::Next() {
  if (!active_ || Eof()) return;
  ++cursor_;
  if (!streaming_) return;
  eof_ = (max_records_ > 0 && cursor_ >= max_records_) || !recordset_->Fetch(rows_[0]);
  if (eof_) recordset_.reset();
}

bool TOdbcDataSet::Eof() const {
  if (!active_) return true;
  return streaming_ ? eof_ : cursor_ >= static_cast<int>(order_.size());
}

int TOdbcDataSet::RecordCount() const {
  if (streaming_) return -1;
  return static_cast<int>(order_.size());
}

const TFieldValue& TOdbcDataSet::CurrentValue(int column) const {
  if (!active_ || Eof() || column < 0 || column >= FieldCount()) return kNullValue;
  const std::vector<TFieldValue>& row = streaming_ ? rows_[0] : rows_[order_[cursor_]];
  return static_cast<size_t>(column) < row.size() ? row[column] : kNullValue;
}

}  // namespace tessaro
