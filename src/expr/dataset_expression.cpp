// Field operations: data-set fields as operations of the expression language.
//
// A field operation remembers only the field's name. When it runs, it asks
// the expression being evaluated for its data set and finds the field there
// by that name, so one compiled expression follows its data set from record
// to record, and a field the data set lacks (or a closed data set) reads as
// Null instead of failing. The operations are cached, so a field named
// several times in one expression is read once per evaluation.
#include "expr/dataset_expression.h"

#include "util/collation.h"
#include "util/text.h"

namespace tessaro {
namespace {

struct TFieldTypeRow {
  TFieldType field;
  TValueType value;
  bool integer;  // read as an exact integer
};

constexpr TFieldTypeRow kFieldTypes[] = {
    {TFieldType::ftSmallint, vtNumber, true},    {TFieldType::ftInteger, vtNumber, true},
    {TFieldType::ftWord, vtNumber, true},        {TFieldType::ftLargeint, vtNumber, true},
    {TFieldType::ftAutoInc, vtNumber, true},     {TFieldType::ftFloat, vtNumber, false},
    {TFieldType::ftCurrency, vtNumber, false},   {TFieldType::ftBCD, vtNumber, false},
    {TFieldType::ftFMTBcd, vtNumber, false},     {TFieldType::ftBoolean, vtBoolean, false},
    {TFieldType::ftDate, vtDate, false},         {TFieldType::ftTime, vtDate, false},
    {TFieldType::ftDateTime, vtDate, false},     {TFieldType::ftTimeStamp, vtDate, false},
    {TFieldType::ftString, vtString, false},     {TFieldType::ftFixedChar, vtString, false},
    {TFieldType::ftWideString, vtString, false}, {TFieldType::ftGuid, vtString, false},
};

const TFieldTypeRow* FindFieldType(TFieldType type) {
  for (const auto& row : kFieldTypes)
    if (row.field == type) return &row;
  return nullptr;
}

// The value of a field in the current record, in the field's own type.
TValue FieldValue(const TField& field) {
  if (field.IsNull()) return TValue::Null();
  const TFieldTypeRow* row = FindFieldType(field.DataType());
  switch (row != nullptr ? row->value : vtString) {
    case vtNumber:
      return row->integer ? TValue::Integer(field.AsLargeInt()) : TValue::Number(field.AsFloat());
    case vtBoolean:
      return TValue::Boolean(field.AsBoolean());
    case vtDate:
      return TValue::Date(field.AsDateTime());
    default:
      return TValue::String(field.AsString());
  }
}

// The function of every field operation.
TValue ReadField(const TOperationDef& def, TExpression& expression, std::span<const TValue>) {
  const auto* bound = dynamic_cast<const tDatasetExpression*>(&expression);
  TDataSet* dataset = bound != nullptr ? bound->DataSet() : nullptr;
  if (dataset == nullptr || !dataset->Active()) return TValue::Null();
  const TField* field = dataset->FindField(static_cast<const TFieldOperationDef&>(def).FieldName);
  return field != nullptr ? FieldValue(*field) : TValue::Null();
}

}  // namespace

const TFieldOperationDef* TFieldOperationList::Find(std::string_view name) const {
  for (const auto& def : defs_)
    if (def->Name == name) return def.get();
  return nullptr;
}

TValueType FieldValueType(TFieldType type) {
  const TFieldTypeRow* row = FindFieldType(type);
  return row != nullptr ? row->value : vtNone;
}

std::string FieldOperationName(std::string_view fieldName) { return AnsiUpperCase(ReplaceAll(fieldName, " ", "_")); }

void RegisterDatasetFields(bool includeCalculated, TFieldOperationList& fieldList, TDataSet& dataset,
                           TOperationDef*& operations, std::string& groupText) {
  if (groupText.empty()) groupText = "Fields of " + dataset.Name() + " dataset";
  for (int i = 0; i < dataset.FieldCount(); ++i) {
    const TField* field = dataset.Field(i);
    if (field == nullptr || (field->FieldKind() == TFieldKind::fkCalculated && !includeCalculated)) continue;
    const TValueType type = FieldValueType(field->DataType());
    if (type == vtNone) continue;
    auto def = std::make_unique<TFieldOperationDef>();
    def->Name = FieldOperationName(field->FieldName());
    def->Flags = slFunction | kCachedFlag;
    def->Function = ReadField;
    def->Group = groupText;
    def->Types = {static_cast<uint8_t>(type)};
    def->FieldName = field->FieldName();
    Register(operations, *def);
    fieldList.Add(std::move(def));
  }
}

void ReleaseDatasetFields(TFieldOperationList& fieldList) { fieldList.Clear(); }

}  // namespace tessaro
