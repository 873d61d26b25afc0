// Parameter names with type suffixes, typed nulls and request text
// converted by the parameter's type.
#include "db/param_binding.h"

#include <gtest/gtest.h>

#include "db/database_error.h"
#include "util/datetime.h"
#include "util/regional_settings.h"

namespace tessaro {
namespace {

TEST(ParamNames, SplitIntoBaseAndTypeSuffix) {
  struct Case {
    const char* name;
    const char* base;
    TFieldType suffix;
  };
  const Case cases[] = {
      {"PID.Integer", "PID", TFieldType::ftInteger},
      {"from.datetime", "from", TFieldType::ftDateTime},
      {"x.FMTBcd.more", "x", TFieldType::ftUnknown},  // the whole rest names the type
      {"x.Number", "x", TFieldType::ftUnknown},
      {"x.Unknown", "x", TFieldType::ftUnknown},
      {"x.", "x", TFieldType::ftUnknown},
      {"x", "x", TFieldType::ftUnknown},
      {".Integer", "", TFieldType::ftInteger},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ParamNameBase(c.name), c.base) << c.name;
    EXPECT_EQ(ParamTypeSuffix(c.name), c.suffix) << c.name;
  }
}

// Definitions the tests' evidence item has: "kind" is a string, "day" has
// no parameter type. The lookup sees full names and matches base names.
std::optional<TFieldType> Definitions(std::string_view name) {
  if (ParamNameBase(name) == "kind") return TFieldType::ftString;
  return std::nullopt;
}

TParameter Param(std::string name, TFieldType type = TFieldType::ftUnknown,
                 TParameterDirection direction = pdInput) {
  TParameter p;
  p.Name = std::move(name);
  p.DataType = type;
  p.Direction = direction;
  p.Value = TVariant::String("old");
  return p;
}

TEST(BindDefaultParam, GivesTheTypeAndANullValue) {
  TParameter suffixed = Param("kind.Integer");
  BindDefaultParam(suffixed, Definitions);
  EXPECT_EQ(suffixed.DataType, TFieldType::ftInteger);  // the suffix wins over the definition
  EXPECT_TRUE(suffixed.Value.IsNull());

  TParameter defined = Param("kind.Nonsense", TFieldType::ftBoolean);
  BindDefaultParam(defined, Definitions);
  EXPECT_EQ(defined.DataType, TFieldType::ftString);  // a bad suffix is ignored when matching

  TParameter free = Param("day", TFieldType::ftDate);
  BindDefaultParam(free, Definitions);
  EXPECT_EQ(free.DataType, TFieldType::ftDate);
  BindDefaultParam(free, nullptr);
  EXPECT_EQ(free.DataType, TFieldType::ftDate);

  for (const auto direction : {pdUnknown, pdInput, pdInputOutput, pdReturnValue}) {
    TParameter p = Param("x", TFieldType::ftInteger, direction);
    BindDefaultParam(p, Definitions);
    EXPECT_TRUE(p.Value.IsNull()) << direction;
  }
  TParameter output = Param("x", TFieldType::ftInteger, pdOutput);
  BindDefaultParam(output, Definitions);
  EXPECT_EQ(output.Value, TVariant::String("old"));
}

class BindParamValue_ : public ::testing::Test {
 protected:
  void SetUp() override { ResetRegionalSettings(); }
  void TearDown() override { ResetRegionalSettings(); }

  static TVariant Bound(TFieldType type, std::string_view text) {
    TParameter p = Param("p", type);
    BindParamValue(p, text, Definitions);
    return p.Value;
  }
};

TEST_F(BindParamValue_, ConvertsTextByTheParameterType) {
  using enum TFieldType;
  struct Case {
    TFieldType type;
    const char* text;
    TVariant value;
  };
  const Case cases[] = {
      {ftInteger, "42", TVariant::Integer(42)},
      {ftSmallint, "-7", TVariant::Integer(-7)},
      {ftAutoInc, "2147483647", TVariant::Integer(2147483647)},
      {ftBoolean, "1", TVariant::Boolean(true)},
      {ftBoolean, "9", TVariant::Boolean(true)},
      {ftBoolean, "ano", TVariant::Boolean(true)},
      {ftBoolean, "True", TVariant::Boolean(true)},
      {ftBoolean, "y", TVariant::Boolean(true)},
      {ftBoolean, "0", TVariant::Boolean(false)},
      {ftBoolean, "no", TVariant::Boolean(false)},
      {ftBoolean, "false", TVariant::Boolean(false)},
      {ftBoolean, "", TVariant::Boolean(false)},  // empty is false, not null
      {ftFloat, " 12.5 ", TVariant::Float(12.5)},
      {ftCurrency, "12,5", TVariant::Float(12.5)},  // the Czech decimal separator
      {ftBCD, "-1e3", TVariant::Float(-1000)},
      {ftDate, "31.1.2024", TVariant::Date(EncodeDate(2024, 1, 31))},
      {ftDateTime, "31.1.2024 13:45", TVariant::Date(EncodeDate(2024, 1, 31) + EncodeTime(13, 45, 0, 0))},
      {ftTime, "13:45", TVariant::String("13:45")},
      {ftString, " x ", TVariant::String(" x ")},
      {ftLargeint, "99999999999", TVariant::String("99999999999")},
      {ftGuid, "{x}", TVariant::String("{x}")},
      {ftInteger, "", TVariant()},
      {ftString, "", TVariant()},
  };
  for (const auto& c : cases) EXPECT_EQ(Bound(c.type, c.text), c.value) << c.text;
}

TEST_F(BindParamValue_, RefusesTextThatIsNotOfTheType) {
  using enum TFieldType;
  const std::pair<TFieldType, const char*> cases[] = {
      {ftInteger, "abc"}, {ftInteger, "12.5"}, {ftInteger, "2147483648"}, {ftWord, "1 "},
      {ftFloat, "1,2,3"}, {ftDate, "31.2.2024"}, {ftDateTime, "tomorrow"},
  };
  for (const auto& [type, text] : cases) EXPECT_THROW(Bound(type, text), EConvertError) << text;
}

TEST_F(BindParamValue_, ReadsTheRegionalSeparatorOnlyWhereItIsSet) {
  RegionalSettings().DecimalSeparator = '.';
  EXPECT_EQ(Bound(TFieldType::ftFloat, "12.5"), TVariant::Float(12.5));
  EXPECT_THROW(Bound(TFieldType::ftFloat, "12,5"), EConvertError);
}

TEST_F(BindParamValue_, EmptyTextGivesATypedNullFromTheDefinition) {
  TParameter p = Param("kind", TFieldType::ftInteger);
  BindParamValue(p, "", Definitions);
  EXPECT_EQ(p.DataType, TFieldType::ftString);
  EXPECT_TRUE(p.Value.IsNull());
}

}  // namespace
}  // namespace tessaro
