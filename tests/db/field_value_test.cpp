// How field values read and show: exact decimals, and display text under
// the display attributes tables and column attributes set.
#include "db/field_value.h"

#include <gtest/gtest.h>

#include "db/memory_dataset.h"
#include "util/codepage.h"
#include "util/datetime.h"
#include "util/regional_settings.h"

namespace tessaro {
namespace {

TEST(FieldValues, ExactDecimalsReadInEveryForm) {
  ResetRegionalSettings();
  using enum TFieldType;
  const std::pair<const char*, const char*> texts[] = {
      {"-12345678901234567890.10", "-12345678901234567890,1"},
      {"12.000", "12"},
      {".5", "0,5"},
      {"-0.50", "-0,5"},
      {"n/a", "n/a"},  // not a decimal: shown as it is
  };
  for (const auto& [stored, shown] : texts) EXPECT_EQ(FieldValueAsString(std::string(stored), ftFMTBcd), shown);
  EXPECT_EQ(FieldValueAsFloat(std::string("-0.50"), ftFMTBcd), -0.5);
  EXPECT_EQ(FieldValueAsLargeInt(std::string("12345678901234567"), ftFMTBcd), 12345678901234567);
  EXPECT_EQ(FieldValueAsLargeInt(std::string("2.5"), ftFMTBcd), 3);
  EXPECT_THROW(FieldValueAsFloat(std::string("n/a"), ftFMTBcd), Exception);
}

TEST(FieldValues, DisplayTextFollowsTheDisplayAttributes) {
  ResetRegionalSettings();
  TMemoryDataSet data;
  TField& paid = data.AddField("Paid", TFieldType::ftBoolean);
  TField& amount = data.AddField("Amount", TFieldType::ftFloat);
  TField& count = data.AddField("Count", TFieldType::ftInteger);
  TField& day = data.AddField("Day", TFieldType::ftDate);
  TField& exact = data.AddField("Exact", TFieldType::ftFMTBcd);
  data.AppendRecord({false, 1234.5678, int64_t{-5}, EncodeDate(2024, 1, 31), std::string("12.50")});
  data.Open();

  EXPECT_EQ(paid.DisplayText(), "False");
  EXPECT_EQ(amount.DisplayText(), "1234,5678");
  EXPECT_EQ(amount.DisplayLabel(), "Amount");

  paid.SetDisplayValues(Cp1250("Ano;Ne"));
  amount.SetPrecision(5);
  count.SetDisplayFormat("0.0;(0.0)");
  day.SetDisplayFormat("dd.mm.yy");
  exact.SetDisplayFormat("#,##0.00");
  EXPECT_EQ(paid.DisplayText(), "Ne");
  EXPECT_EQ(amount.DisplayText(), "1234,6");
  EXPECT_EQ(count.DisplayText(), "(5,0)");
  EXPECT_EQ(day.DisplayText(), "31.01.24");
  EXPECT_EQ(exact.DisplayText(), "12,50");
  // The value itself is untouched.
  EXPECT_EQ(amount.AsString(), "1234,5678");
  EXPECT_EQ(day.AsString(), "31.1.2024");

  paid.SetDisplayValues("yes");  // no false text
  EXPECT_EQ(paid.DisplayText(), "");
}

}  // namespace
}  // namespace tessaro
