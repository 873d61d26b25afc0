// The in-memory data set: typed values, the cursor, Null, conversions and
// lookup fields; and the text-based defaults of the field interface.
#include "db/memory_dataset.h"

#include <gtest/gtest.h>

namespace tessaro {
namespace {

class MemoryDataSet : public ::testing::Test {
 protected:
  void SetUp() override {
    kinds.AddField("CODE", TFieldType::ftString);
    kinds.AddField("LANG", TFieldType::ftString);
    kinds.AddField("TITLE", TFieldType::ftString);
    kinds.AppendRecord({std::string("A"), std::string("cz"), std::string("Alfa")});
    kinds.AppendRecord({std::string("B"), std::string("cz"), std::string("Beta")});
    kinds.AppendRecord({std::string("B"), std::string("en"), std::string("Bravo")});
    kinds.Open();

    orders.AddField("Id", TFieldType::ftLargeint);
    orders.AddField("Amount", TFieldType::ftFloat);
    orders.AddField("Order Date", TFieldType::ftDate);
    orders.AddField("Paid", TFieldType::ftBoolean);
    orders.AddField("Kind", TFieldType::ftString);
    orders.AddField("Lang", TFieldType::ftString);
    orders.AddLookupField("Title", TFieldType::ftString, "Kind;Lang", &kinds, "CODE;LANG", "TITLE");
    orders.AppendRecord({int64_t{12345678901234}, 1234.5, 38345.0, true, std::string("B"), std::string("en")});
    orders.AppendRecord({int64_t{2}});
  }

  TMemoryDataSet kinds{"Kinds"};
  TMemoryDataSet orders{"Orders"};
};

TEST_F(MemoryDataSet, ReadsTheCurrentRowInEveryForm) {
  orders.Open();
  TField* amount = orders.FindField("amount");
  ASSERT_NE(amount, nullptr);
  EXPECT_EQ(amount->AsString(), "1234,5");
  EXPECT_EQ(amount->AsFloat(), 1234.5);
  EXPECT_EQ(amount->AsLargeInt(), 1235);
  EXPECT_EQ(orders.FindField("ID")->AsLargeInt(), 12345678901234);
  EXPECT_EQ(orders.FindField("ID")->AsString(), "12345678901234");
  EXPECT_EQ(orders.FindField("Order Date")->AsString(), "24.12.2004");
  EXPECT_EQ(orders.FindField("Order Date")->AsDateTime(), 38345.0);
  EXPECT_TRUE(orders.FindField("Paid")->AsBoolean());
  EXPECT_EQ(orders.FindField("Paid")->DisplayText(), "True");
  EXPECT_EQ(orders.FindField("Title")->AsString(), "Bravo");
  EXPECT_EQ(orders.FindField("Title")->FieldKind(), TFieldKind::fkLookup);
  EXPECT_EQ(orders.FindField("nothing"), nullptr);
  EXPECT_EQ(orders.Field(7), nullptr);
}

TEST_F(MemoryDataSet, CursorMovesOverTheRows) {
  TField* id = orders.FindField("Id");
  EXPECT_TRUE(id->IsNull()) << "closed";
  orders.Open();
  EXPECT_EQ(orders.RecordCount(), 2);
  EXPECT_FALSE(id->IsNull());
  orders.Next();
  EXPECT_EQ(id->AsLargeInt(), 2);
  EXPECT_TRUE(orders.FindField("Amount")->IsNull()) << "missing values are Null";
  EXPECT_TRUE(orders.FindField("Title")->IsNull()) << "Null key finds nothing";
  orders.Next();
  EXPECT_TRUE(orders.Eof());
  EXPECT_TRUE(id->IsNull());
  orders.First();
  EXPECT_EQ(id->AsLargeInt(), 12345678901234);
}

TEST_F(MemoryDataSet, LookupNeedsAnOpenLookupDataSetAndAMatch) {
  orders.Open();
  TField* title = orders.FindField("Title");
  kinds.Close();
  EXPECT_TRUE(title->IsNull());
  kinds.Open();
  EXPECT_EQ(title->AsString(), "Bravo") << "both key fields count: B;cz would be Beta";
  TMemoryDataSet single;
  single.AddField("Kind", TFieldType::ftString);
  single.AddLookupField("Title", TFieldType::ftString, "Kind", &kinds, "CODE", "TITLE");
  single.AppendRecord({std::string("B")});
  single.AppendRecord({std::string("Z")});
  single.Open();
  EXPECT_EQ(single.FindField("Title")->AsString(), "Beta");
  single.Next();
  EXPECT_TRUE(single.FindField("Title")->IsNull());
}

TEST_F(MemoryDataSet, ConversionsThatCannotWorkThrow) {
  orders.Open();
  EXPECT_THROW(orders.FindField("Kind")->AsFloat(), Exception);
  EXPECT_THROW(orders.FindField("Kind")->AsBoolean(), Exception);
  EXPECT_THROW(orders.FindField("Paid")->AsDateTime(), Exception);
}

// A field that only has text, as other implementations of the interface may.
class TextField : public TField {
 public:
  explicit TextField(std::string text) : text_(std::move(text)) {}
  const std::string& FieldName() const override { return text_; }
  TFieldType DataType() const override { return TFieldType::ftString; }
  bool IsNull() const override { return false; }
  std::string DisplayText() const override { return text_; }
  std::string AsString() const override { return text_; }

 private:
  std::string text_;
};

TEST(FieldDefaults, ReadNativeValuesFromText) {
  EXPECT_EQ(TextField("2,5").AsFloat(), 2.5);
  EXPECT_EQ(TextField("-42").AsLargeInt(), -42);
  EXPECT_TRUE(TextField("true").AsBoolean());
  EXPECT_FALSE(TextField("0").AsBoolean());
  EXPECT_EQ(TextField("24.12.2004").AsDateTime(), 38345.0);
  EXPECT_EQ(TextField("x").FieldKind(), TFieldKind::fkData);
  EXPECT_THROW(TextField("x").AsFloat(), Exception);
  EXPECT_THROW(TextField("1.5").AsLargeInt(), Exception);
  EXPECT_THROW(TextField("yes").AsBoolean(), Exception);
  EXPECT_THROW(TextField("32.1.2004").AsDateTime(), Exception);
}

}  // namespace
}  // namespace tessaro
