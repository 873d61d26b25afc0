// Column attributes: the values the cell renderer derives from them, the
// copying to and from fields, the collection's lookups and rebuilding, and
// the table template's column copy.
#include "model/column_attribute.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "db/memory_dataset.h"
#include "model/table_template.h"

namespace tessaro {
namespace {

std::vector<std::string> Lines(const TStrings& strings) { return strings.Items(); }

TEST(ColumnAttribute, CheckboxFormats) {
  struct Case {
    const char* format;
    bool checkbox;
    std::vector<std::string> values;
  };
  const Case cases[] = {
      {"<CHECKBOX>", true, {}},
      {"<checkbox>", true, {}},
      {"<CheckBox disabled=LOCKED>", true, {"disabled=LOCKED"}},
      {"<CHECKBOX  a=1   b=%41+c >", true, {"a=1", "b=A c"}},
      {"<CHECKBOX \"x y\" z>", true, {"x y", "z"}},
      {"<CHECKBOX a=1\r\nb=2>", true, {"a=1", "b=2"}},
      {"<CHECKBOX \"open>", true, {"open"}},
      {"<CHECKBOX 50%+off %zz>", true, {"50% off", "%zz"}},
      {"<CHECKBOX ", true, {}},
      {"<CHECKBOXa=1>", false, {}},
      {"<CHECKBOX", false, {}},
      {"#,##0.00", false, {}},
      {"", false, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.format);
    TZNKHTMLTableColumnAttribute attribute;
    attribute.DisplayFormat = c.format;
    EXPECT_EQ(attribute.IsCheckbox(), c.checkbox);
    EXPECT_EQ(Lines(attribute.CheckboxValues()), c.values);
  }
}

TEST(ColumnAttribute, CheckboxValuesFollowAChangedFormat) {
  TZNKHTMLTableColumnAttribute attribute;
  attribute.DisplayFormat = "<CHECKBOX disabled=A>";
  const TStrings& first = attribute.CheckboxValues();
  EXPECT_EQ(&attribute.CheckboxValues(), &first);
  EXPECT_EQ(first.Values("disabled"), "A");
  TZNKHTMLTableColumnAttribute other;
  other.DisplayFormat = "<CHECKBOX disabled=B>";
  attribute.Assign(other);
  EXPECT_EQ(attribute.CheckboxValues().Values("disabled"), "B");
  attribute.DisplayFormat = "";
  EXPECT_TRUE(attribute.CheckboxValues().Empty());
}

TEST(ColumnAttribute, BlobAndLinkKinds) {
  struct Case {
    const char* blob_type;
    const char* page;
    const char* page_switch;
    const char* action;
    const char* function;
    int blob_kind;
    bool media;
    int link_kind;
  };
  const Case cases[] = {
      {"", "", "", "", "", 0, false, 0},         {"MEMO", "{P}", "", "", "", 1, false, 1},
      {"image", "", "", "", "", 2, true, 1},     {"Multimedia", "", "", "", "", 3, true, 1},
      {" image", "", "", "", "", 0, false, 1},  // the kind compares untrimmed, the link kind trimmed
      {"  ", "", "{S}", "{A}", "", 0, false, 2}, {"", "{P}", "", "{A}", "f", 0, false, 2},
      {"", "", "", "{A}", "f", 0, false, 3},     {"", "", "", "", "f", 0, false, 4},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << '"' << c.blob_type << "\" " << c.page << c.page_switch << c.action
                                    << c.function);
    TZNKHTMLTableColumnAttribute attribute;
    attribute.BlobType = c.blob_type;
    attribute.IDDetailPage = c.page;
    attribute.IDDetailPageSwitch = c.page_switch;
    attribute.IDAction = c.action;
    attribute.javaFuncName = c.function;
    EXPECT_EQ(attribute.BlobKind(), c.blob_kind);
    EXPECT_EQ(attribute.IsMediaBlob(), c.media);
    EXPECT_EQ(attribute.LinkKind(), c.link_kind);
  }
}

// Fields of every kind the copying treats differently.
class FieldCopy : public ::testing::Test {
 protected:
  FieldCopy() {
    data.AddField("PRICE", TFieldType::ftFloat).SetPrecision(7);
    data.AddField("COUNT", TFieldType::ftInteger);
    data.AddField("DONE", TFieldType::ftBoolean);
    data.AddField("NAME", TFieldType::ftString);
    data.AddField("WHEN", TFieldType::ftDate);
  }
  TField& Field(const char* name) { return *data.FindField(name); }
  TMemoryDataSet data;
};

TEST_F(FieldCopy, FromAFieldTakeItsFormatAndAFloatsPrecision) {
  TZNKHTMLTableColumnAttribute attribute;
  Field("PRICE").SetDisplayFormat("0.00");
  attribute.AssignFromField(Field("PRICE"));
  EXPECT_EQ(attribute.DisplayFormat, "0.00");
  EXPECT_EQ(attribute.Precision, 7);
  attribute.AssignFromField(Field("COUNT"));
  EXPECT_EQ(attribute.DisplayFormat, "");
  EXPECT_EQ(attribute.Precision, 0);
}

TEST_F(FieldCopy, OntoAFieldByItsType) {
  TZNKHTMLTableColumnAttribute attribute;
  attribute.DisplayFormat = "Ano;Ne";
  attribute.Precision = 4;
  for (const char* name : {"PRICE", "COUNT", "DONE", "NAME", "WHEN"}) attribute.AssignToField(Field(name));
  EXPECT_EQ(Field("PRICE").DisplayFormat(), "Ano;Ne");
  EXPECT_EQ(Field("PRICE").Precision(), 4);
  EXPECT_EQ(Field("COUNT").DisplayFormat(), "Ano;Ne");
  EXPECT_EQ(Field("COUNT").Precision(), 15);
  EXPECT_EQ(Field("DONE").DisplayValues(), "Ano;Ne");
  EXPECT_EQ(Field("DONE").DisplayFormat(), "");
  EXPECT_EQ(Field("NAME").DisplayFormat(), "");
  EXPECT_EQ(Field("WHEN").DisplayFormat(), "Ano;Ne");

  // An empty format leaves the field's format but resets boolean texts.
  TZNKHTMLTableColumnAttribute plain;
  for (const char* name : {"PRICE", "DONE"}) plain.AssignToField(Field(name));
  EXPECT_EQ(Field("PRICE").DisplayFormat(), "Ano;Ne");
  EXPECT_EQ(Field("PRICE").Precision(), 2);
  EXPECT_EQ(Field("DONE").DisplayValues(), "");
}

TEST_F(FieldCopy, RebuildingKeepsTheAttributesOfFieldsStillThere) {
  TZNKHTMLTableColumnAttributes attributes;
  TZNKHTMLTableColumnAttribute& gone = attributes.Add();
  gone.FieldName = "OLD";
  gone.RowIdentifier = true;
  TZNKHTMLTableColumnAttribute& kept = attributes.Add();
  kept.FieldName = "name";
  kept.IDDetailPage = "{P}";
  kept.IsVisible = false;

  attributes.RebuildFromDataSet(data);
  ASSERT_EQ(attributes.Count(), 5u);
  const char* names[] = {"PRICE", "COUNT", "DONE", "name", "WHEN"};
  for (int i = 0; i < 5; ++i) EXPECT_EQ(attributes.Items(i).FieldName, names[i]);
  EXPECT_EQ(attributes.Items(3).IDDetailPage, "{P}");
  EXPECT_FALSE(attributes.Items(3).IsVisible);
  EXPECT_TRUE(attributes.Items(0).IsVisible);
  EXPECT_EQ(attributes.FindByFieldName("old"), nullptr);
  EXPECT_EQ(attributes.FindByFieldName("Name"), &attributes.Items(3));
  EXPECT_EQ(attributes.LastRowIdentifier(), nullptr);
}

TEST(ColumnAttributes, FindAndReplaceComparePrecisely) {
  TZNKHTMLTableColumnAttributes attributes;
  for (const char* name : {"A", "B", "a"}) attributes.Add().FieldName = name;
  attributes.Items(0).RowIdentifier = true;
  attributes.Items(2).RowIdentifier = true;
  attributes.Items(0).IDAction = "{X}";
  attributes.Items(1).IDAction = "{x}";
  EXPECT_EQ(attributes.FindByFieldName("a"), &attributes.Items(0));
  EXPECT_EQ(attributes.LastRowIdentifier(), &attributes.Items(2));
  attributes.ReplaceReference(&TZNKHTMLTableColumnAttribute::IDAction, "{X}", "{Y}");
  EXPECT_EQ(attributes.Items(0).IDAction, "{Y}");
  EXPECT_EQ(attributes.Items(1).IDAction, "{x}");
}

TEST(TableTemplate, CopyTemplateColumnsMakesTheListsEqual) {
  TTableColumns source;
  TTableColumn& price = source.Add();
  price.FieldName = "PRICE";
  price.Align = haRight;
  price.VAlign = haTop;
  price.BgColor = "#eee";
  price.Custom = "nowrap";
  price.Title.Caption = "Cena";
  price.Title.Align = haCenter;
  source.Add().FieldName = "NAME";

  TTableColumns target;
  for (int i = 0; i < 3; ++i) target.Add().FieldName = "STALE";
  CopyTemplateColumns(target, source);
  ASSERT_EQ(target.Count(), 2u);
  EXPECT_EQ(target[0].FieldName, "PRICE");
  EXPECT_EQ(target[0].Align, haRight);
  EXPECT_EQ(target[0].VAlign, haTop);
  EXPECT_EQ(target[0].BgColor, "#eee");
  EXPECT_EQ(target[0].Custom, "nowrap");
  EXPECT_EQ(target[0].Title.Caption, "Cena");
  EXPECT_EQ(target[0].Title.Align, haCenter);
  EXPECT_EQ(target[1].FieldName, "NAME");
  EXPECT_EQ(target[1].Title.Caption, "");
}

}  // namespace
}  // namespace tessaro
