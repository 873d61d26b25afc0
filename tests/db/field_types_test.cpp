#include "util/field_types.h"

#include <gtest/gtest.h>

#include <iterator>

namespace tessaro {
namespace {

// Every field type with its expected classes, so a type added to the
// enumeration without a decision here shows up as a missing row.
TEST(FieldTypes, EveryTypeClassified) {
  using enum TFieldType;
  struct Row {
    TFieldType type;
    bool numeric;
    bool temporal;
  };
  const Row rows[] = {
      {ftUnknown, false, false},    {ftString, false, false},   {ftSmallint, true, false}, {ftInteger, true, false},
      {ftWord, true, false},        {ftBoolean, false, false},  {ftFloat, true, false},    {ftCurrency, true, false},
      {ftBCD, true, false},         {ftDate, false, true},      {ftTime, false, true},     {ftDateTime, false, true},
      {ftBytes, false, false},      {ftVarBytes, false, false}, {ftAutoInc, true, false},  {ftBlob, false, false},
      {ftMemo, false, false},       {ftGraphic, false, false},  {ftFmtMemo, false, false}, {ftFixedChar, false, false},
      {ftWideString, false, false}, {ftLargeint, true, false},  {ftGuid, false, false},    {ftTimeStamp, false, false},
      {ftFMTBcd, true, false},      {ftWideMemo, false, false},
  };
  ASSERT_EQ(std::size(rows), static_cast<size_t>(ftWideMemo) + 1);
  for (const auto& r : rows) {
    EXPECT_EQ(IsNumericFieldType(r.type), r.numeric) << static_cast<int>(r.type);
    EXPECT_EQ(IsTemporalFieldType(r.type), r.temporal) << static_cast<int>(r.type);
  }
}

}  // namespace
}  // namespace tessaro
