// Expressions over data-set fields: registration of field operations, reading
// the current record, missing fields and closed data sets, caching, and
// parameter default values over the built-ins.
#include "expr/dataset_expression.h"

#include <gtest/gtest.h>

#include "db/memory_dataset.h"
#include "expr/builtin_operations.h"
#include "expr/inet_expression.h"
#include "expression_testing.h"

namespace tessaro {
namespace {

using exprtest::Outcome;

class DatasetExpression : public ::testing::Test {
 protected:
  void SetUp() override {
    kinds.AddField("CODE", TFieldType::ftString);
    kinds.AddField("TITLE", TFieldType::ftString);
    kinds.AppendRecord({std::string("A"), std::string("Alfa")});
    kinds.Open();

    orders.AddField("Kind", TFieldType::ftString);
    orders.AddField("Amount", TFieldType::ftFloat);
    orders.AddField("Order Date", TFieldType::ftDate);
    orders.AddField("Paid", TFieldType::ftBoolean);
    orders.AddField("Id", TFieldType::ftLargeint);
    orders.AddField("Note", TFieldType::ftMemo);
    orders.AddField("Order_No", TFieldType::ftInteger);
    orders.AddField("Total", TFieldType::ftFloat, TFieldKind::fkCalculated);
    orders.AddLookupField("Category", TFieldType::ftString, "Kind", &kinds, "CODE", "TITLE");
    orders.AppendRecord({std::string("A"), 10.5, 38345.0, true, int64_t{1}, std::string("n"), int64_t{5}, 21.0});
    orders.AppendRecord({std::string("B"), 1234.5, std::monostate(), false, int64_t{12345678901234567}});
    orders.Open();
  }

  // Registers the fields of `orders` in front of the built-ins.
  TOperationDef* Fields(bool includeCalculated = true) {
    TOperationDef* list = BuiltInOperations();
    std::string group;
    RegisterDatasetFields(includeCalculated, fields, orders, list, group);
    return list;
  }

  std::string Eval(const char* text) {
    tDatasetExpression e(&orders);
    return Outcome(e, text, Fields());
  }

  TMemoryDataSet kinds{"Kinds"};
  TMemoryDataSet orders{"Orders"};
  TFieldOperationList fields;
};

TEST_F(DatasetExpression, FieldsGoInFrontOfTheBuiltInList) {
  TOperationDef* builtins = BuiltInOperations();
  TOperationDef* list = builtins;
  std::string group;
  RegisterDatasetFields(false, fields, orders, list, group);
  EXPECT_EQ(group, "Fields of Orders dataset");
  EXPECT_EQ(BuiltInOperations(), builtins);
  std::vector<std::string> names;
  const TOperationDef* d = list;
  for (; d != builtins; d = d->Next) {
    names.push_back(d->Name);
    EXPECT_EQ(d->Level(), slFunction);
    EXPECT_TRUE(d->Cached());
    EXPECT_EQ(d->Arity, 0);
    EXPECT_EQ(d->Group, "Fields of Orders dataset");
    EXPECT_EQ(d->RefCount, 1);
  }
  // Memo and calculated fields get no operation; the last field comes first.
  EXPECT_EQ(names, (std::vector<std::string>{"CATEGORY", "ORDER_NO", "ID", "PAID", "ORDER_DATE", "AMOUNT", "KIND"}));
  EXPECT_EQ(fields.Find("ORDER_DATE")->FieldName, "Order Date");
  EXPECT_EQ(fields.Find("ORDER_DATE")->ResultType(), vtDate);
  EXPECT_EQ(fields.Find("PAID")->ResultType(), vtBoolean);
  EXPECT_EQ(fields.Find("ID")->ResultType(), vtNumber);
  EXPECT_EQ(fields.Find("KIND")->ResultType(), vtString);

  TFieldOperationList all;
  TOperationDef* list2 = builtins;
  std::string given = ">> Pole datasetu <<";
  RegisterDatasetFields(true, all, orders, list2, given);
  EXPECT_EQ(all.Count(), 8u);
  EXPECT_EQ(all.Find("TOTAL")->Group, given);
  ReleaseDatasetFields(all);
  EXPECT_EQ(all.Count(), 0u);
}

TEST_F(DatasetExpression, ReadsTheCurrentRecordOnEveryEvaluation) {
  tDatasetExpression e(&orders);
  e.Compile("IF(KIND = \"A\", \"a.html\", STR$(AMOUNT) + \".html\")", Fields());
  TValue value;
  e.EvaluateChecked(value);
  EXPECT_EQ(e.AsString(), "a.html");
  orders.Next();
  e.EvaluateChecked(value);
  EXPECT_EQ(e.AsString(), "1234,5.html");
}

TEST_F(DatasetExpression, FieldsKeepTheirTypes) {
  EXPECT_EQ(Eval("YEAR(order_date) + Order_No"), "2009");
  EXPECT_EQ(Eval("NOT PAID"), "FALSE");
  EXPECT_EQ(Eval("CATEGORY + \"!\""), "Alfa!");
  EXPECT_EQ(Eval("TOTAL / 2"), "10,5");
  // A memo gets no operation, so NOTE reads as NOT applied to E.
  EXPECT_EQ(Eval("NOTE"), "compile: Unknown operation:\r'E'");
  orders.Next();
  EXPECT_EQ(Eval("STR$(ID)"), "12345678901234567");
  EXPECT_EQ(Eval("ISNULL(ORDER_DATE)"), "TRUE");
  EXPECT_EQ(Eval("YEAR(ORDER_DATE)"), "");
}

// "OR" is not taken from the start of ORDER_NO once a field of that name exists.
TEST_F(DatasetExpression, LongerFieldNameHidesAnOperatorInIt) {
  EXPECT_EQ(Eval("1 + ORDER_NO"), "6");
  EXPECT_EQ(Outcome("1 + ORDER_NO"), "compile: Unknown operation:\r'1 +'");
}

TEST_F(DatasetExpression, MissingFieldOrClosedDataSetReadsAsNull) {
  TMemoryDataSet prices;
  prices.AddField("Price", TFieldType::ftFloat);
  TOperationDef* list = BuiltInOperations();
  std::string group;
  TFieldOperationList priceFields;
  RegisterDatasetFields(true, priceFields, prices, list, group);

  tDatasetExpression e(&orders);
  EXPECT_EQ(Outcome(e, "ISNULL(PRICE)", list), "TRUE");
  EXPECT_EQ(Outcome(e, "PRICE * 2", list), "");

  EXPECT_EQ(Eval("ISNULL(KIND)"), "FALSE");
  orders.Close();
  EXPECT_EQ(Eval("ISNULL(KIND)"), "TRUE");
  orders.Open();
  kinds.Close();
  EXPECT_EQ(Eval("ISNULL(CATEGORY)"), "TRUE");

  tDatasetExpression unbound(nullptr);
  EXPECT_EQ(Outcome(unbound, "ISNULL(KIND)", Fields()), "TRUE");
  TExpression plain;
  EXPECT_EQ(Outcome(plain, "ISNULL(KIND)", Fields()), "TRUE");
}

// Counts the field look-ups a data set serves.
class CountingDataSet : public TDataSet {
 public:
  explicit CountingDataSet(TMemoryDataSet& inner) : inner_(inner) {}
  bool Active() const override { return inner_.Active(); }
  void Open() override { inner_.Open(); }
  int FieldCount() const override { return inner_.FieldCount(); }
  TField* Field(int index) override { return inner_.Field(index); }
  TField* FindField(std::string_view name) override {
    ++lookups;
    return inner_.FindField(name);
  }
  int lookups = 0;

 private:
  TMemoryDataSet& inner_;
};

TEST_F(DatasetExpression, FieldIsReadOncePerEvaluation) {
  CountingDataSet counting(orders);
  tDatasetExpression e(&counting);
  e.Compile("AMOUNT + AMOUNT * AMOUNT", Fields());
  TValue value;
  e.EvaluateChecked(value);
  EXPECT_EQ(e.AsString(), "120,75");
  EXPECT_EQ(counting.lookups, 1);
  orders.Next();
  e.EvaluateChecked(value);
  EXPECT_EQ(counting.lookups, 2);
  EXPECT_EQ(value, TValue::Number(1234.5 + 1234.5 * 1234.5));
}

TEST(ParameterDefault, RequestValueWinsOverTheExpression) {
  const TStrings request{"P=given", "E="};
  EXPECT_EQ(ParameterDefaultText("p", request, "1 + 1"), "given");
  EXPECT_EQ(ParameterDefaultText("E", request, "1 + 1"), "2");
}

TEST(ParameterDefault, ValueAsText) {
  const TStrings none;
  struct {
    const char* expression;
    std::string expected;
  } cases[] = {
      {"TODAY", DateToStr(Date())},
      {"DATE(1, 2, 2003) + 0.5", "1.2.2003"},
      {"1/0", "0"},
      {"1 MOD 0", ""},
      {"MONTHTEXT(13)", ""},
      {"   ", ""},
      {"TRUE", "True"},
      {" \"x\" ", "x"},
      {"2.5", "2,5"},
  };
  for (const auto& c : cases) EXPECT_EQ(ParameterDefaultText("P", none, c.expression), c.expected) << c.expression;
  EXPECT_THROW(ParameterDefaultText("P", none, "1 +"), ExpressionError);
}

}  // namespace
}  // namespace tessaro
