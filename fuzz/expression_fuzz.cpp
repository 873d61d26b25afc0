// Fuzz target for the expression compiler and evaluator.
//
// Input: one flag byte, then the expression text. Flag bit 0 compiles against
// the fields of a small data set in front of the built-ins (else the
// built-ins alone), bit 1 moves to the data set's second record (mostly
// Null), bit 2 closes the data set. A compile may fail only with
// ExpressionError; an evaluation must never raise, and its result must agree
// with the compiled result type: a failed evaluation gives Null and a known
// error code, a successful one Null, empty or a value of the result type.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "db/memory_dataset.h"
#include "expr/builtin_operations.h"
#include "expr/dataset_expression.h"
#include "util/codepage.h"

namespace {

using namespace tessaro;

[[noreturn]] void Finding(const char* what, std::string_view text) {
  fprintf(stderr, "%s: %.*s\n", what, static_cast<int>(text.size()), text.data());
  abort();
}

struct Fixture {
  TMemoryDataSet records{"Records"};
  TFieldOperationList fields;
  TOperationDef* operations = BuiltInOperations();

  Fixture() {
    records.AddField("KIND", TFieldType::ftString);
    records.AddField("AMOUNT", TFieldType::ftFloat);
    records.AddField("ORDER DATE", TFieldType::ftDateTime);
    records.AddField("PAID", TFieldType::ftBoolean);
    records.AddField("ID", TFieldType::ftLargeint);
    records.AddField(Cp1250("ČÍSLO"), TFieldType::ftInteger);
    records.AddField("ORDER_NO", TFieldType::ftInteger);
    records.AppendRecord(
        {std::string("A"), 1234.5, 38345.25, true, int64_t{9007199254740993}, int64_t{-7}, int64_t{0}});
    records.AppendRecord({std::string(""), -1e308});
    std::string group;
    RegisterDatasetFields(true, fields, records, operations, group);
  }
};

bool KnownEvaluationCode(int code) { return code == 100 || (code >= 102 && code <= 106); }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  static Fixture fixture;
  const uint8_t flags = data[0];
  const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);

  fixture.records.Open();
  if (flags & 2) fixture.records.Next();
  if (flags & 4) fixture.records.Close();

  tDatasetExpression expression(&fixture.records);
  try {
    expression.Compile(text, (flags & 1) ? fixture.operations : BuiltInOperations());
  } catch (const ExpressionError& e) {
    if (e.Code() < 1 || e.Code() > 8) Finding("unknown compile error code", text);
    if (expression.ResultType() != vtNone) Finding("failed compile left a result type", text);
    return 0;
  }
  if (expression.ResultType() > vtBoolean) Finding("result type out of range", text);

  TValue value;
  int code = -1;
  expression.Evaluate(value, code);
  if (code != 0) {
    if (!KnownEvaluationCode(code)) Finding("unknown evaluation error code", text);
    if (!value.IsNull()) Finding("failed evaluation gave a value", text);
    if (expression.AsString() != "Error") Finding("failed evaluation not shown as Error", text);
  } else if (!value.IsNullOrEmpty() && value.Type() != expression.ResultType()) {
    Finding("value of another type than compiled", text);
  }
  expression.AsString();
  return 0;
}
