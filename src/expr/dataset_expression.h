// Expressions over the fields of a data set.
//
// Each field of a data set can become an operation without operands, named
// after the field (blanks as "_", upper case), whose value is that field in
// the current record of the data set bound to the expression being
// evaluated. The page that shows the data set registers these operations in
// front of the built-in list, compiles its template-name expressions against
// the result with a tDatasetExpression, and evaluates them once per record.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "db/dataset.h"
#include "expr/expression.h"

namespace tessaro {

// The operation of one data-set field.
struct TFieldOperationDef : TOperationDef {
  std::string FieldName;  // the field name as the data set spells it, looked up at evaluation
};

// The field operations created for one data set; owns them.
class TFieldOperationList {
 public:
  void Add(std::unique_ptr<TFieldOperationDef> def) { defs_.push_back(std::move(def)); }
  size_t Count() const { return defs_.size(); }
  const TFieldOperationDef& operator[](size_t index) const { return *defs_[index]; }
  // The operation of this name (as the expression spells it), or null.
  const TFieldOperationDef* Find(std::string_view name) const;
  // Frees every operation. REQUIRES: no operation list that links them and
  // no expression compiled against one is used afterwards.
  void Clear() { defs_.clear(); }

 private:
  std::vector<std::unique_ptr<TFieldOperationDef>> defs_;  // the operations, in field order
};

// An expression whose field operations read `dataset` (not owned; may be
// null, and then every field reads as Null).
class tDatasetExpression : public TExpression {
 public:
  explicit tDatasetExpression(TDataSet* dataset) : dataset_(dataset) {}
  TDataSet* DataSet() const { return dataset_; }
  void SetDataSet(TDataSet* dataset) { dataset_ = dataset; }

 private:
  TDataSet* dataset_;  // the data set field operations read, not owned
};

// The value type a field of this data type has in expressions; vtNone for
// the types that get no operation (blobs, memos, byte arrays ...).
TValueType FieldValueType(TFieldType type);

// The operation name of a field: blanks replaced by "_", upper case.
std::string FieldOperationName(std::string_view fieldName);

// Creates the operation of every field of `dataset` in field order (fields
// without a value type skipped, calculated ones only when includeCalculated),
// adds it to `fieldList` and registers it in front of `operations`. Each
// operation is cached within one evaluation and carries `groupText` as its
// group; an empty groupText is first set to "Fields of <name> dataset".
// Started from BuiltInOperations(), `operations` ends as the fields (the last
// field first) followed by the built-in list, which itself is not changed.
void RegisterDatasetFields(bool includeCalculated, TFieldOperationList& fieldList, TDataSet& dataset,
                           TOperationDef*& operations, std::string& groupText);

// Frees the operations of `fieldList` and empties it (see Clear).
void ReleaseDatasetFields(TFieldOperationList& fieldList);

}  // namespace tessaro
