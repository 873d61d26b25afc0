// Expressions are compiled once per page and evaluated once per record: this
// measures both for a typical template-name expression over data-set fields,
// moving to the next record before every evaluation.
#include <benchmark/benchmark.h>

#include <string>

#include "db/memory_dataset.h"
#include "expr/builtin_operations.h"
#include "expr/dataset_expression.h"

namespace {

using namespace tessaro;

constexpr const char* kTemplateName = "IF(KIND = \"A\", \"a.html\", STR$(AMOUNT) + \".html\")";
constexpr const char* kCondition = "(ROUND(AMOUNT * 1.21, 2) > 100) AND (KIND <> \"X\") OR ISNULL(ORDER_DATE)";

// A data set of 1000 records with alternating kinds and varying amounts.
struct Records {
  TMemoryDataSet data{"Records"};
  TFieldOperationList fields;
  TOperationDef* operations = BuiltInOperations();

  Records() {
    data.AddField("KIND", TFieldType::ftString);
    data.AddField("AMOUNT", TFieldType::ftFloat);
    data.AddField("ORDER DATE", TFieldType::ftDate);
    for (int i = 0; i < 1000; ++i) data.AppendRecord({std::string(i % 2 ? "A" : "B"), i * 12.75, 38345.0 + i});
    data.Open();
    std::string group;
    RegisterDatasetFields(true, fields, data, operations, group);
  }
  void Advance() {
    data.Next();
    if (data.Eof()) data.First();
  }
};

void BM_Compile(benchmark::State& state, const char* text) {
  Records records;
  tDatasetExpression expression(&records.data);
  for (auto _ : state) expression.Compile(text, records.operations);
  state.SetItemsProcessed(state.iterations());
}

void BM_Evaluate(benchmark::State& state, const char* text) {
  Records records;
  tDatasetExpression expression(&records.data);
  expression.Compile(text, records.operations);
  TValue value;
  int code;
  for (auto _ : state) {
    records.Advance();
    expression.Evaluate(value, code);
    benchmark::DoNotOptimize(value);
  }
  state.SetItemsProcessed(state.iterations());
}

// Evaluation plus the text a page uses as the template file name.
void BM_EvaluateAsString(benchmark::State& state) {
  Records records;
  tDatasetExpression expression(&records.data);
  expression.Compile(kTemplateName, records.operations);
  TValue value;
  int code;
  for (auto _ : state) {
    records.Advance();
    expression.Evaluate(value, code);
    benchmark::DoNotOptimize(expression.AsString());
  }
  state.SetItemsProcessed(state.iterations());
}

BENCHMARK_CAPTURE(BM_Compile, template_name, kTemplateName);
BENCHMARK_CAPTURE(BM_Compile, condition, kCondition);
BENCHMARK_CAPTURE(BM_Evaluate, template_name, kTemplateName);
BENCHMARK_CAPTURE(BM_Evaluate, condition, kCondition);
BENCHMARK(BM_EvaluateAsString);

}  // namespace
