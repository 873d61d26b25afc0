#include "settings/published_visitors.h"

#include <gtest/gtest.h>

#include "settings/ini_file.h"
#include "settings_test_support.h"
#include "util/base64.h"
#include "util/regional_settings.h"

namespace tessaro {
namespace {

using namespace settings_test;

// Every property away from its constructor value.
void Fill(TSampleSettings& s) {
  s.Count = 42;
  s.Big = 9000000000;
  s.Enabled = true;
  s.Align = saRight;
  s.Caption = "Vítejte";
  s.Ratio = 2.5;
  s.Lines.SetText("first\r\n\r\nlast=1");
  TSampleColumn& column = s.Columns.Add();
  column.FieldName = "NAME";
  column.Title.BgColor = "red";
  s.Attributes.Width = 60;
  s.Value = TVariant::String("v");
}

void ExpectScalarsAndListsEqual(const TSampleSettings& a, const TSampleSettings& b) {
  EXPECT_EQ(a.Count, b.Count);
  EXPECT_EQ(a.Big, b.Big);
  EXPECT_EQ(a.Enabled, b.Enabled);
  EXPECT_EQ(a.Align, b.Align);
  EXPECT_EQ(a.Caption, b.Caption);
  EXPECT_EQ(a.Ratio, b.Ratio);
  EXPECT_EQ(a.Lines.Items(), b.Lines.Items());
}

TEST(PublishedVisitors, EveryKindRoundTripsThroughAssign) {
  TSampleSettings source;
  Fill(source);
  TSampleSettings copy;
  copy.Columns.Add().FieldName = "replaced";
  AssignPublished(copy, source);
  ExpectScalarsAndListsEqual(copy, source);
  ASSERT_EQ(copy.Columns.Count(), 1u);
  EXPECT_EQ(copy.Columns[0].FieldName, "NAME");
  EXPECT_EQ(copy.Columns[0].Title.BgColor, "red");
  EXPECT_EQ(copy.Attributes.Width, 60);
  EXPECT_EQ(copy.Value, TVariant::String("v"));

  AssignPublished(copy, copy);  // assigning an object to itself keeps its items
  EXPECT_EQ(copy.Columns.Count(), 1u);
}

TEST(PublishedVisitors, AssignCopiesOnlyNamesTheSourceHasWithTheSameKind) {
  class TOther : public TPublished<TOther> {
   public:
    static void DeclareProperties(TPropertyDeclarations<TOther>& p) {
      p.String("count", &TOther::count).Integer("RATIO", &TOther::ratio).String("Caption", &TOther::caption);
    }
    std::string count = "5";
    int ratio = 3;
    std::string caption = "from other";
  };
  TOther other;
  TSampleSettings s;
  s.Count = 1;
  s.Ratio = 1.5;
  AssignPublished(s, other);
  EXPECT_EQ(s.Count, 1);  // a string does not go into an integer
  EXPECT_EQ(s.Ratio, 1.5);
  EXPECT_EQ(s.Caption, "from other");

  // A derived object takes its base's values and keeps its own.
  TDerivedSettings derived;
  derived.extra = "mine";
  TSampleSettings base;
  Fill(base);
  AssignPublished(derived, base);
  ExpectScalarsAndListsEqual(derived, base);
  EXPECT_EQ(derived.extra, "mine");
}

TEST(PublishedVisitors, EveryKindRoundTripsThroughAListWithListsIncluded) {
  TSampleSettings source;
  Fill(source);
  TStrings list;
  WritePublishedToStrings(source, list, true);
  // Czech regional settings: the float is written with a comma, which the
  // reader accepts after "." fails.
  EXPECT_EQ(list.Items(), (std::vector<std::string>{
                              "Align=2", "Big=9000000000", "Caption=Vítejte", "Count=42", "Enabled=1",
                              "Lines=" + Base64Encode("first\r\n\r\nlast=1\r\n"), "Ratio=2,5"}));

  TSampleSettings copy;
  ReadPublishedFromStrings(copy, list, true);
  ExpectScalarsAndListsEqual(copy, source);
  // Variants, collections and nested objects have no text form.
  EXPECT_EQ(copy.Columns.Count(), 0u);
  EXPECT_EQ(copy.Attributes.Width, 100);
  EXPECT_TRUE(copy.Value.IsNull());

  TStrings without_lists;
  WritePublishedToStrings(source, without_lists, false);
  EXPECT_EQ(without_lists.IndexOfName("Lines"), -1);
  TSampleSettings untouched;
  untouched.Lines.Add("kept");
  ReadPublishedFromStrings(untouched, list, false);
  EXPECT_EQ(untouched.Lines.Items(), std::vector<std::string>{"kept"});
}

TEST(PublishedVisitors, WritingAnEmptyValueRemovesTheName) {
  TSampleSettings s;
  TStrings list{"Caption=old", "Other=stays"};
  WritePublishedToStrings(s, list, true);
  EXPECT_EQ(list.IndexOfName("Caption"), -1);
  EXPECT_EQ(list.IndexOfName("Lines"), -1);
  EXPECT_EQ(list.Values("Other"), "stays");
}

TEST(PublishedVisitors, ReadingTextTakesWhatThePropertyCanHoldAndLeavesTheRest) {
  struct Case {
    const char* line;
    const char* property;
    std::string expected;  // the property's value afterwards, in its written form
  };
  // Starting values: Count 5, Big 5, Enabled 0, Align 1, Caption "start", Ratio 0,5.
  const Case cases[] = {
      {"Count=12", "Count", "12"},
      {"count= 0012 ", "Count", "12"},
      {"Count=abc", "Count", "5"},          // neither a number nor a value name
      {"Count=-3", "Count", "5"},           // only digits count as a number
      {"Count=+3", "Count", "5"},
      {"Count=4294967296", "Count", "5"},   // beyond 32 bits: not wrapped
      {"Count=", "Count", "5"},             // an empty value changes nothing
      {"Big=9223372036854775807", "Big", "9223372036854775807"},
      {"Big=9223372036854775808", "Big", "5"},
      {"Enabled=true", "Enabled", "1"},
      {"Enabled=1", "Enabled", "1"},
      {"Enabled=2", "Enabled", "0"},
      {"Align=SARIGHT", "Align", "2"},
      {"Align=0", "Align", "0"},
      {"Align=3", "Align", "1"},            // no value has ordinal 3
      {"Caption=  padded  ", "Caption", "padded"},
      {"Caption=", "Caption", "start"},
      {"Ratio=1.25", "Ratio", "1,25"},
      {"Ratio=1,25", "Ratio", "1,25"},
      {"Ratio=1.2.3", "Ratio", "0,5"},
      {"Ratio=1e400", "Ratio", "0,5"},      // out of range
      {"Other=1", "Count", "5"},            // names the object lacks are not read
  };
  for (const Case& c : cases) {
    TSampleSettings s;
    s.Count = 5;
    s.Big = 5;
    s.Align = saLeft;
    s.Caption = "start";
    s.Ratio = 0.5;
    ReadPublishedFromStrings(s, TStrings{c.line}, true);
    TStrings written;
    WritePublishedToStrings(s, written, false);
    EXPECT_EQ(written.Values(c.property), c.expected) << c.line;
  }
}

TEST(PublishedVisitors, FirstEntryOfANameWinsAndBase64NoiseIsSkipped) {
  TSampleSettings s;
  ReadPublishedFromStrings(s,
                           TStrings{"caption=first", "Caption=second",
                                    "Lines=" + std::string("*\x01 ") + Base64Encode("a\r\nb") + "\r\n"},
                           true);
  EXPECT_EQ(s.Caption, "first");
  EXPECT_EQ(s.Lines.Items(), (std::vector<std::string>{"a", "b"}));
}

TEST(PublishedVisitors, ReadFromIniUsesCurrentValuesAsDefaults) {
  ScratchDir dir;
  dir.Write("options.ini",
            "[OPTIONS]\n"
            "Count=17\n"
            "Align=saLeft\n"
            "Enabled=True\n"
            "Caption=  from ini  \n"
            "Ratio=0.75\n"
            "Big=\n"                         // empty: reads as the default
            "extra=derived\n"
            "[OTHER]\n"
            "Lines=" + Base64Encode("x\r\ny") + "\n");
  TZNKIniFile ini(dir.Path("options.ini"));

  TDerivedSettings s;
  s.Big = 8;
  s.Lines.SetText("kept\r\nlines");
  ReadPublishedFromIni(s, ini, "options");
  EXPECT_EQ(s.Count, 17);
  EXPECT_EQ(s.Align, saLeft);
  EXPECT_TRUE(s.Enabled);
  EXPECT_EQ(s.Caption, "from ini");
  EXPECT_EQ(s.Ratio, 0.75);
  EXPECT_EQ(s.Big, 8);
  EXPECT_EQ(s.extra, "derived");
  EXPECT_EQ(s.Lines.Items(), (std::vector<std::string>{"kept", "lines"}));  // no key: lines kept

  ReadPublishedFromIni(s, ini, "OTHER");
  EXPECT_EQ(s.Lines.Items(), (std::vector<std::string>{"x", "y"}));
  EXPECT_EQ(s.Count, 17);  // a section without the key keeps the value
}

// Records what Accept hands to a visitor.
class RecordingVisitor : public tPublishedPropertyVisitor {
 public:
  void Visit(TPublishedObject&, const TPublishedProperty& property, const std::string& name,
             TPropertyKind kind) override {
    EXPECT_EQ(&name, &property.Name());
    EXPECT_EQ(kind, property.Kind());
    names.push_back(name);
  }
  std::vector<std::string> names;  // the names in visiting order
};

TEST(PublishedVisitors, VisitingOrderIsAlphabeticalSoEarlierNamesAreSetFirst) {
  TDerivedSettings s;
  RecordingVisitor visitor;
  AcceptVisitor(s, visitor);
  EXPECT_EQ(visitor.names,
            (std::vector<std::string>{"Align", "Attributes", "Big", "Caption", "Columns", "Count", "Enabled", "extra",
                                      "Lines", "Optional", "Ratio", "Value", "zeta"}));

  // zeta's setter sees Caption already read, since Caption sorts first.
  ReadPublishedFromStrings(s, TStrings{"zeta=z", "Caption=c"}, false);
  EXPECT_EQ(s.zeta, "z");
  EXPECT_EQ(s.caption_seen_by_zeta, "c");
}

// An object with properties that does not implement the visited interface
// is visited through a temporary companion.
class TPlainPublished : public TPublished<TPlainPublished, TPublishedObject> {
 public:
  static void DeclareProperties(TPropertyDeclarations<TPlainPublished>& p) { p.String("Name", &TPlainPublished::name); }
  std::string name;
};

TEST(PublishedVisitors, ObjectsWithoutTheVisitedInterfaceAreVisitedToo) {
  TPlainPublished plain;
  static_assert(!std::is_base_of_v<IZNVisited, TPlainPublished>);
  ReadPublishedFromStrings(plain, TStrings{"NAME=x"}, false);
  EXPECT_EQ(plain.name, "x");
}

}  // namespace
}  // namespace tessaro
