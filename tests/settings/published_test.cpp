#include "settings/published.h"

#include <gtest/gtest.h>

#include "settings/published_visitors.h"
#include "settings_test_support.h"

namespace tessaro {
namespace {

using namespace settings_test;

std::vector<std::string> Names(const TPropertyTable& table) {
  std::vector<std::string> names;
  for (const auto& property : table.Properties()) names.push_back(property->Name());
  return names;
}

TEST(PublishedTable, DerivedClassesListTheirBasesPropertiesInOneAlphabeticalOrder) {
  EXPECT_EQ(Names(TSampleSettings::ClassProperties()),
            (std::vector<std::string>{"Align", "Attributes", "Big", "Caption", "Columns", "Count", "Enabled", "Lines",
                                      "Optional", "Ratio", "Value"}));
  // Lower-case names sort among the others; Count is re-declared, not repeated.
  EXPECT_EQ(Names(TDerivedSettings::ClassProperties()),
            (std::vector<std::string>{"Align", "Attributes", "Big", "Caption", "Columns", "Count", "Enabled", "extra",
                                      "Lines", "Optional", "Ratio", "Value", "zeta"}));

  // An object reached through a base-class reference still shows its own class's table.
  TDerivedSettings derived;
  const TPublishedObject& as_base = derived;
  EXPECT_EQ(&as_base.PublishedProperties(), &TDerivedSettings::ClassProperties());
  EXPECT_EQ(as_base.PublishedProperties().Find("EXTRA")->Name(), "extra");
  EXPECT_EQ(TSampleSettings::ClassProperties().Find("extra"), nullptr);
}

TEST(PublishedTable, RedeclaredDefaultBelongsToTheDerivedClassOnly) {
  TDerivedSettings derived;
  TSampleSettings base;
  EXPECT_TRUE(TDerivedSettings::ClassProperties().Find("Count")->IsDefault(derived));  // 7
  EXPECT_TRUE(TSampleSettings::ClassProperties().Find("Count")->IsDefault(base));      // 0
  derived.Count = 0;
  EXPECT_FALSE(TDerivedSettings::ClassProperties().Find("Count")->IsDefault(derived));
}

class TTwiceDeclared : public TPublished<TTwiceDeclared> {
 public:
  static void DeclareProperties(TPropertyDeclarations<TTwiceDeclared>& p) {
    p.Integer("Port", &TTwiceDeclared::port).Integer("PORT", &TTwiceDeclared::port);
  }
  int port = 0;
};

class TDottedName : public TPublished<TDottedName> {
 public:
  static void DeclareProperties(TPropertyDeclarations<TDottedName>& p) { p.Integer("a.b", &TDottedName::port); }
  int port = 0;
};

TEST(PublishedTable, NamesThatCannotBeExternalNamesAreRefused) {
  EXPECT_THROW(TTwiceDeclared::ClassProperties(), EPropertyError);
  EXPECT_THROW(TDottedName::ClassProperties(), EPropertyError);
}

TEST(PublishedDefaults, IsDefaultAndSetToDefaultByKind) {
  TSampleSettings s;
  const TPropertyTable& table = s.PublishedProperties();
  for (const auto& property : table.Properties()) {
    bool expected = property->Name() != "Value";  // the variant declares no default
    EXPECT_EQ(property->IsDefault(s), expected) << property->Name();
  }

  s.Count = 3;
  s.Align = saRight;
  s.Caption = "x";
  s.Lines.Add("line");
  s.Columns.Add();
  s.Attributes.Width = 50;
  s.Optional = std::make_unique<TSampleAttributes>();
  s.Optional->Border = 2;
  for (const char* name : {"Count", "Align", "Caption", "Lines", "Columns", "Attributes", "Optional"})
    EXPECT_FALSE(table.Find(name)->IsDefault(s)) << name;

  for (const auto& property : table.Properties()) property->SetToDefault(s);
  EXPECT_EQ(s.Count, 0);
  EXPECT_EQ(s.Align, saDefault);
  EXPECT_EQ(s.Caption, "");
  EXPECT_TRUE(s.Lines.Empty());
  EXPECT_EQ(s.Columns.Count(), 0u);
  EXPECT_EQ(s.Attributes.Width, 100);
  EXPECT_EQ(s.Optional->Border, -1);
}

TEST(PublishedAccess, DottedPathsReachNestedObjectsAndStringLists) {
  TSampleSettings s;
  TPropertyRef width = FindPublishedProperty(s, "attributes.WIDTH");
  ASSERT_TRUE(width);
  EXPECT_EQ(width.object, &s.Attributes);
  EXPECT_EQ(width.property->Name(), "Width");

  TPropertyRef lines = FindPublishedProperty(s, "Lines.Strings");
  ASSERT_TRUE(lines);
  EXPECT_EQ(lines.property->Strings(*lines.object), &s.Lines);

  // An absent nested object has no properties to reach.
  EXPECT_FALSE(FindPublishedProperty(s, "Optional.Width"));
  s.Optional = std::make_unique<TSampleAttributes>();
  EXPECT_EQ(FindPublishedProperty(s, "Optional.Width").object, s.Optional.get());

  for (const char* unknown : {"Nope", "Attributes.Nope", "Caption.Width", "Lines.Other", "Attributes.", ".Count", "",
                              "Attributes.Width.More"})
    EXPECT_FALSE(FindPublishedProperty(s, unknown)) << unknown;
}

TEST(PublishedAccess, SetPublishedValueConvertsTypedValuesAndReportsWhatItCannotStore) {
  TSampleSettings s;
  SetPublishedValue(s, "Count", TVariant::Integer(12));
  SetPublishedValue(s, "Big", TVariant::Integer(int64_t{1} << 40));
  SetPublishedValue(s, "Enabled", TVariant::Boolean(true));
  SetPublishedValue(s, "Align", TVariant::String("SALEFT"));  // enumerations arrive as value names
  SetPublishedValue(s, "Caption", TVariant::String("Hello"));
  SetPublishedValue(s, "Ratio", TVariant::Integer(2));
  SetPublishedValue(s, "Attributes.Border", TVariant::Integer(0));
  SetPublishedValue(s, "Value", TVariant::Date(45000.5));
  EXPECT_EQ(s.Count, 12);
  EXPECT_EQ(s.Big, int64_t{1} << 40);
  EXPECT_TRUE(s.Enabled);
  EXPECT_EQ(s.Align, saLeft);
  EXPECT_EQ(s.Caption, "Hello");
  EXPECT_EQ(s.Ratio, 2.0);
  EXPECT_EQ(s.Attributes.Border, 0);
  EXPECT_EQ(s.Value, TVariant::Date(45000.5));

  try {
    SetPublishedValue(s, "Attributes.Height", TVariant::Integer(1));
    FAIL() << "an unknown property must be reported";
  } catch (const EPropertyError& e) {
    EXPECT_STREQ(e.what(), "Property Attributes.Height does not exist");
  }

  struct Case {
    const char* path;
    TVariant value;
  };
  const Case invalid[] = {
      {"Count", TVariant::String("12")},            // no text-to-number guessing here
      {"Count", TVariant::Integer(int64_t{1} << 40)},  // beyond 32 bits
      {"Align", TVariant::String("saUp")},
      {"Align", TVariant::Integer(3)},
      {"Enabled", TVariant::Integer(2)},
      {"Caption", TVariant::Integer(1)},
      {"Ratio", TVariant::String("1.5")},
      {"Lines", TVariant::String("x")},
      {"Attributes", TVariant()},
  };
  for (const Case& c : invalid) {
    EXPECT_THROW(SetPublishedValue(s, c.path, c.value), EPropertyError) << c.path;
  }
  EXPECT_EQ(s.Count, 12);  // failed stores leave the values alone
  EXPECT_EQ(s.Align, saLeft);
  EXPECT_TRUE(s.Enabled);
}

TEST(PublishedAccess, UsingAPropertyAsAnotherKindThrows) {
  TSampleSettings s;
  const TPropertyTable& table = s.PublishedProperties();
  EXPECT_THROW(table.Find("Caption")->GetOrdinal(s), EPropertyError);
  EXPECT_THROW(table.Find("Count")->Strings(s), EPropertyError);
  EXPECT_THROW(table.Find("Lines")->Object(s), EPropertyError);
  EXPECT_THROW(TVariant::String("x").AsInteger(), EPropertyError);
}

TEST(Carrier, CarriesAnObjectOrACollectionUnderPersistent) {
  TSampleSettings carried;
  TCarrier carrier(carried);
  SetPublishedValue(carrier, "Persistent.Attributes.Width", TVariant::Integer(30));
  EXPECT_EQ(carried.Attributes.Width, 30);
  TPropertyRef lines = FindPublishedProperty(carrier, "Persistent.Lines.Strings");
  ASSERT_TRUE(lines);
  EXPECT_EQ(lines.property->Strings(*lines.object), &carried.Lines);

  TCarrier collection_carrier(carried.Columns);
  const TPublishedProperty* persistent = collection_carrier.PublishedProperties().Find("Persistent");
  ASSERT_NE(persistent, nullptr);
  EXPECT_EQ(persistent->Kind(), pkCollection);
  EXPECT_EQ(persistent->Collection(collection_carrier), &carried.Columns);
  EXPECT_EQ(carrier.PublishedProperties().Find("Persistent")->Kind(), pkObject);
}

}  // namespace
}  // namespace tessaro
