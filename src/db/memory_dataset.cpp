// The in-memory data set: rows of typed values and fields that read the
// current row. A lookup field searches its lookup data set row by row; the
// data sets it serves are small, so no index is kept.
#include "db/memory_dataset.h"

#include <algorithm>

namespace tessaro {
namespace {

// Splits a ";"-separated list of field names.
std::vector<std::string> SplitNames(std::string_view list) {
  std::vector<std::string> names;
  size_t start = 0;
  while (start <= list.size()) {
    size_t end = list.find(';', start);
    if (end == std::string_view::npos) end = list.size();
    names.push_back(Trim(list.substr(start, end - start)));
    start = end + 1;
  }
  return names;
}

// Whether two values match as lookup keys: numbers by value, others when of
// the same kind and equal; Null matches nothing.
bool KeysMatch(const TMemoryValue& a, const TMemoryValue& b) {
  auto number = [](const TMemoryValue& v, double& out) {
    if (const auto* i = std::get_if<int64_t>(&v)) return out = static_cast<double>(*i), true;
    if (const auto* d = std::get_if<double>(&v)) return out = *d, true;
    return false;
  };
  double x, y;
  if (number(a, x) && number(b, y)) return x == y;
  if (std::holds_alternative<std::monostate>(a)) return false;
  return a == b;
}

}  // namespace

// ---- TMemoryField ----

TMemoryField::TMemoryField(TMemoryDataSet& owner, int index, std::string name, TFieldType type, TFieldKind kind)
    : owner_(owner), index_(index), name_(std::move(name)), type_(type), kind_(kind) {}

void TMemoryField::SetLookup(std::string keyFields, TMemoryDataSet* lookupDataSet, std::string lookupKeyFields,
                             std::string resultField) {
  kind_ = TFieldKind::fkLookup;
  key_fields_ = std::move(keyFields);
  lookup_ = lookupDataSet;
  lookup_key_fields_ = std::move(lookupKeyFields);
  result_field_ = std::move(resultField);
}

TMemoryValue TMemoryField::LookupValue() const {
  if (lookup_ == nullptr || !lookup_->Active() || owner_.CurrentCell(index_) == nullptr) return {};
  const std::vector<std::string> keys = SplitNames(key_fields_);
  const std::vector<std::string> lookup_keys = SplitNames(lookup_key_fields_);
  const TMemoryField* result = lookup_->FindMemoryField(result_field_);
  if (keys.size() != lookup_keys.size() || result == nullptr) return {};
  std::vector<TMemoryValue> key_values;
  std::vector<int> key_columns;
  for (size_t k = 0; k < keys.size(); ++k) {
    const TMemoryField* own = owner_.FindMemoryField(keys[k]);
    const TMemoryField* other = lookup_->FindMemoryField(lookup_keys[k]);
    if (own == nullptr || other == nullptr) return {};
    key_values.push_back(own->Value());
    key_columns.push_back(other->index_);
  }
  for (int row = 0; row < lookup_->RecordCount(); ++row) {
    bool match = true;
    for (size_t k = 0; k < key_values.size() && match; ++k)
      match = KeysMatch(*lookup_->Cell(row, key_columns[k]), key_values[k]);
    if (match) return *lookup_->Cell(row, result->index_);
  }
  return {};
}

TMemoryValue TMemoryField::Value() const {
  if (kind_ == TFieldKind::fkLookup) return LookupValue();
  const TMemoryValue* cell = owner_.CurrentCell(index_);
  return cell != nullptr ? *cell : TMemoryValue();
}

bool TMemoryField::IsNull() const {
  if (kind_ == TFieldKind::fkLookup) return std::holds_alternative<std::monostate>(LookupValue());
  const TMemoryValue* cell = owner_.CurrentCell(index_);
  return cell == nullptr || std::holds_alternative<std::monostate>(*cell);
}

std::string TMemoryField::DisplayText() const { return FieldValueDisplayText(Value(), *this); }

std::string TMemoryField::AsString() const { return FieldValueAsString(Value(), type_); }

double TMemoryField::AsFloat() const { return FieldValueAsFloat(Value(), type_); }

int64_t TMemoryField::AsLargeInt() const { return FieldValueAsLargeInt(Value(), type_); }

bool TMemoryField::AsBoolean() const { return FieldValueAsBoolean(Value(), type_); }

TDateTime TMemoryField::AsDateTime() const { return FieldValueAsDateTime(Value(), type_); }

// ---- TMemoryDataSet ----

TMemoryField& TMemoryDataSet::AddField(std::string name, TFieldType type, TFieldKind kind) {
  fields_.push_back(std::make_unique<TMemoryField>(*this, FieldCount(), std::move(name), type, kind));
  for (auto& row : rows_) row.emplace_back();
  return *fields_.back();
}

TMemoryField& TMemoryDataSet::AddLookupField(std::string name, TFieldType type, std::string keyFields,
                                             TMemoryDataSet* lookupDataSet, std::string lookupKeyFields,
                                             std::string resultField) {
  TMemoryField& field = AddField(std::move(name), type, TFieldKind::fkLookup);
  field.SetLookup(std::move(keyFields), lookupDataSet, std::move(lookupKeyFields), std::move(resultField));
  return field;
}

void TMemoryDataSet::AppendRecord(std::vector<TMemoryValue> values) {
  values.resize(fields_.size());
  rows_.push_back(std::move(values));
}

void TMemoryDataSet::Open() {
  active_ = true;
  cursor_ = 0;
}

TField* TMemoryDataSet::Field(int index) { return index >= 0 && index < FieldCount() ? fields_[index].get() : nullptr; }

TField* TMemoryDataSet::FindField(std::string_view name) { return FindMemoryField(name); }

TMemoryField* TMemoryDataSet::FindMemoryField(std::string_view name) const {
  for (const auto& f : fields_)
    if (SameText(f->FieldName(), name)) return f.get();
  return nullptr;
}

const TMemoryValue* TMemoryDataSet::Cell(int row, int column) const {
  if (row < 0 || row >= RecordCount() || column < 0 || column >= FieldCount()) return nullptr;
  return &rows_[row][column];
}

const TMemoryValue* TMemoryDataSet::CurrentCell(int column) const { return active_ ? Cell(cursor_, column) : nullptr; }

int TMemoryDataSet::MoveBy(int distance) {
  if (distance < 0) throw Exception("The data set " + Name() + " moves only forward");
  const int moved = std::min(distance, std::max(RecordCount() - cursor_, 0));
  cursor_ += moved;
  return moved;
}

}  // namespace tessaro
