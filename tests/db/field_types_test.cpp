// Field types as data: every type classified, and the stored names in
// their stored order.
#include "db/field_types.h"

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
      {ftUnknown, false, false},    {ftString, false, false},      {ftSmallint, true, false},
      {ftInteger, true, false},     {ftWord, true, false},         {ftBoolean, false, false},
      {ftFloat, true, false},       {ftCurrency, true, false},     {ftBCD, true, false},
      {ftDate, false, true},        {ftTime, false, true},         {ftDateTime, false, true},
      {ftBytes, false, false},      {ftVarBytes, false, false},    {ftAutoInc, true, false},
      {ftBlob, false, false},       {ftMemo, false, false},        {ftGraphic, false, false},
      {ftFmtMemo, false, false},    {ftParadoxOle, false, false},  {ftDBaseOle, false, false},
      {ftTypedBinary, false, false}, {ftCursor, false, false},     {ftFixedChar, false, false},
      {ftWideString, false, false}, {ftLargeint, true, false},     {ftADT, false, false},
      {ftArray, false, false},      {ftReference, false, false},   {ftDataSet, false, false},
      {ftOraBlob, false, false},    {ftOraClob, false, false},     {ftVariant, false, false},
      {ftInterface, false, false},  {ftIDispatch, false, false},   {ftGuid, false, false},
      {ftTimeStamp, false, false},  {ftFMTBcd, true, false},       {ftWideMemo, false, false},
  };
  ASSERT_EQ(std::size(rows), static_cast<size_t>(ftWideMemo) + 1);
  for (const auto& r : rows) {
    EXPECT_EQ(IsNumericFieldType(r.type), r.numeric) << FieldTypeName(r.type);
    EXPECT_EQ(IsTemporalFieldType(r.type), r.temporal) << FieldTypeName(r.type);
  }
}

// Definition files store types by name in this order, so the ordinals and
// the names must match it exactly.
TEST(FieldTypes, StoredNamesFollowTheStoredOrder) {
  const auto names = StoredFieldTypeNames();
  ASSERT_EQ(names.size(), 38u);
  EXPECT_EQ(names[0], "ftUnknown");
  EXPECT_EQ(names[3], "ftInteger");
  EXPECT_EQ(names[19], "ftParadoxOle");
  EXPECT_EQ(names[35], "ftGuid");
  EXPECT_EQ(names[37], "ftFMTBcd");
  for (size_t i = 0; i < names.size(); ++i) {
    EXPECT_EQ(FieldTypeName(static_cast<TFieldType>(i)), names[i]);
    EXPECT_EQ(FieldTypeByName(names[i]), static_cast<TFieldType>(i));
  }
}

TEST(FieldTypes, LooksUpNamesWithoutCase) {
  EXPECT_EQ(FieldTypeByName("FTDATETIME"), TFieldType::ftDateTime);
  EXPECT_EQ(FieldTypeByName("ftfmtbcd"), TFieldType::ftFMTBcd);
  // Not a stored type, not a type at all, or a name without its prefix.
  EXPECT_EQ(FieldTypeByName("ftWideMemo"), TFieldType::ftUnknown);
  EXPECT_EQ(FieldTypeByName("ftNumber"), TFieldType::ftUnknown);
  EXPECT_EQ(FieldTypeByName("Integer"), TFieldType::ftUnknown);
  EXPECT_EQ(FieldTypeName(TFieldType::ftWideMemo), "ftWideMemo");
}

}  // namespace
}  // namespace tessaro
