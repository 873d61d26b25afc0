#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "model/io/model_dump.h"
#include "model/io/object_stream.h"
#include "util/codepage.h"

namespace tessaro {
namespace {

enum TAlign { alDefault, alLeft, alRight };

class TTitle : public TPublished<TTitle> {
 public:
  static void DeclareProperties(TPropertyDeclarations<TTitle>& p) {
    p.String("Caption", &TTitle::Caption, "")
        .Enumeration("Align", &TTitle::Align, {"alDefault", "alLeft", "alRight"}, alDefault);
  }
  std::string Caption;
  TAlign Align = alDefault;
};

class TColumn : public TPublished<TColumn> {
 public:
  static void DeclareProperties(TPropertyDeclarations<TColumn>& p) {
    p.String("FieldName", &TColumn::FieldName, "")
        .Boolean("IsVisible", &TColumn::IsVisible, true)
        .Object("Title", &TColumn::Title);
  }
  std::string FieldName;
  bool IsVisible = true;
  TTitle Title;
};

// One property of every kind, with and without declared defaults.
class TSample : public TPublished<TSample> {
 public:
  static void DeclareProperties(TPropertyDeclarations<TSample>& p) {
    p.Integer("Number", &TSample::Number)
        .Int64("Big", &TSample::Big, 0)
        .Boolean("Flag", &TSample::Flag, false)
        .Enumeration("Align", &TSample::Align, {"alDefault", "alLeft", "alRight"}, alDefault)
        .String("Text", &TSample::Text, "")
        .Float("Ratio", &TSample::Ratio, 0.0)
        .StringList("Lines", &TSample::Lines)
        .Collection("Columns", &TSample::Columns)
        .Object("Title", &TSample::Title)
        .Variant("Value", &TSample::Value);
  }
  int Number = 7;
  int64_t Big = 0;
  bool Flag = false;
  TAlign Align = alDefault;
  std::string Text;
  double Ratio = 0;
  TStrings Lines;
  TVisitedCollection<TColumn> Columns;
  TTitle Title;
  TVariant Value;
};

// A byte string from a literal, embedded zero bytes included.
template <size_t N>
std::string B(const char (&literal)[N]) {
  return std::string(literal, N - 1);
}

// The properties that differ from their defaults (a null Value, which has
// no default, left out for brevity).
std::string Dump(const TPublishedObject& object) {
  std::string out;
  DumpProperties(object, "", "", out);
  const size_t null_value = out.find("Value = Null\n");
  if (null_value != std::string::npos) out.erase(null_value, 13);
  return out;
}

std::string Written(const TPublishedObject& object) {
  std::string bytes;
  TObjectStreamWriter(bytes).WriteObject(object, "TSample");
  return bytes;
}

void ReadInto(const std::string& bytes, TPublishedObject& object) {
  TObjectStreamReader reader(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
  reader.ReadObject(object);
  EXPECT_EQ(reader.Remaining(), 0u);
}

// Builds a stream by hand: the object header, then properties.
struct TBytes {
  std::string s = std::string("TPF0") + "\x07TSample" + '\0';
  TBytes& Name(std::string_view name) {
    s += static_cast<char>(name.size());
    s += name;
    return *this;
  }
  TBytes& Raw(std::string_view bytes) {
    s += bytes;
    return *this;
  }
  std::string End() const { return s + std::string(2, '\0'); }
};

TEST(ObjectStream, EveryPropertyKindSurvivesAWriteAndARead) {
  TSample sample;
  sample.Number = -70000;
  sample.Big = int64_t{1} << 40;
  sample.Flag = true;
  sample.Align = alRight;
  sample.Text = std::string(300, 'y') + Cp1250("č");
  sample.Ratio = -1.0e300;
  sample.Lines = {"first", "", Cp1250("třetí")};
  sample.Columns.Add().FieldName = "A";
  sample.Columns.Add().IsVisible = false;  // an item differing only in a boolean
  sample.Columns[0].Title.Caption = "*";
  sample.Columns[0].Title.Align = alLeft;
  sample.Title.Caption = "Nested";
  sample.Value = TVariant::Date(45000.5);
  TSample read;
  read.Number = 0;
  ReadInto(Written(sample), read);
  EXPECT_EQ(Dump(read), Dump(sample));
  EXPECT_EQ(read.Columns.Count(), 2u);

  for (const TVariant& value : {TVariant(), TVariant::Integer(-129), TVariant::Integer(int64_t{1} << 33),
                                TVariant::Float(0.1), TVariant::String("x"), TVariant::Boolean(false)}) {
    TSample with_value;
    with_value.Value = value;
    with_value.Number = 1;  // keeps the variant from being the only change
    TSample back;
    back.Value = TVariant::String("old");
    ReadInto(Written(with_value), back);
    EXPECT_EQ(back.Value, value) << Dump(with_value);
  }
}

TEST(ObjectStream, DefaultsAreLeftOutAndAbsentPropertiesKeepTheirValues) {
  TSample fresh;
  // Only the properties without a declared default are written.
  EXPECT_EQ(Written(fresh), TBytes().Name("Number").Raw(B("\x02\x07")).Name("Value").Raw(B("\x00")).End());
  TSample read;
  read.Text = "kept";
  ReadInto(Written(fresh), read);
  EXPECT_EQ(read.Text, "kept");
}

TEST(ObjectStream, ValuesOfEveryStoredTypeAreDecoded) {
  struct Case {
    const char* property;
    std::string value;  // type byte and data
    std::string expected;
  };
  const uint8_t one_and_half[10] = {0, 0, 0, 0, 0, 0, 0, 0xC0, 0xFF, 0x3F};
  const std::string extended = B("\x05") + std::string(reinterpret_cast<const char*>(one_and_half), 10);
  const Case cases[] = {
      {"Number", B("\x02\xFE"), "Number = -2\n"},
      {"Number", B("\x03\x00\x80"), "Number = -32768\n"},
      {"Big", B("\x13\x00\x00\x00\x00\x00\x01\x00\x00"), "Big = 1099511627776\nNumber = 7\n"},
      {"Ratio", extended, "Number = 7\nRatio = 1.5\n"},
      {"Ratio", B("\x0F\x00\x00\x20\x40"), "Number = 7\nRatio = 2.5\n"},
      {"Ratio", B("\x10\x88\x13\x00\x00\x00\x00\x00\x00"), "Number = 7\nRatio = 0.5\n"},
      {"Ratio", B("\x03\x10\x27"), "Number = 7\nRatio = 10000\n"},
      {"Text",
       B("\x0C\x03\x00\x00\x00"
         "abc"),
       "Number = 7\nText = \"abc\"\n"},
      {"Text", B("\x12\x02\x00\x00\x00\x0C\x01\x41\x00"), "Number = 7\nText = \"" + Cp1250("ČA") + "\"\n"},
      {"Text", B("\x14\x02\x00\x00\x00\xC5\xA1"), "Number = 7\nText = \"" + Cp1250("š") + "\"\n"},
      {"Align",
       B("\x07\x07"
         "alRight"),
       "Align = alRight\nNumber = 7\n"},
      {"Flag", "\x09", "Flag = True\nNumber = 7\n"},
      {"Value", B("\x11\x00\x00\x00\x00\x00\x00\xF8\x3F"), "Number = 7\nValue = Date 1.5\n"},
      {"Value", B("\x06\x01z"), "Number = 7\nValue = String \"z\"\n"},
      {"Lines.Strings",
       B("\x01\x06\x01"
         "a\x0C\x01\x00\x00\x00"
         "b\x00"),
       "Lines[0] = \"a\"\nLines[1] = \"b\"\nNumber = 7\n"},
      {"Title.Caption", B("\x06\x01T"), "Number = 7\nTitle.Caption = \"T\"\n"},
      // Collection items with and without order numbers; dotted names inside.
      {"Columns",
       B("\x0E\x01\x09"
         "FieldName\x06\x01"
         "A\x00\x02\x05\x01\x0D"
         "Title.Caption\x06\x01*\x00\x00"),
       "Columns[0].FieldName = \"A\"\nColumns[1].Title.Caption = \"*\"\nNumber = 7\n"},
      // References to other objects and event handlers carry nothing.
      {"OnFormatCell", B("\x0D"), "Number = 7\n"},
      {"Title", B("\x07\x01X"), "Number = 7\n"},
  };
  for (const Case& c : cases) {
    TSample read;
    ReadInto(TBytes().Name(c.property).Raw(c.value).End(), read);
    EXPECT_EQ(Dump(read), c.expected) << c.property;
  }
}

TEST(ObjectStream, ListsReplaceTheirLinesAndOnlyNonEmptyCollectionsReplaceTheirItems) {
  TSample read;
  read.Lines = {"old1", "old2"};
  read.Columns.Add().FieldName = "kept";
  ReadInto(TBytes().Name("Lines.Strings").Raw(B("\x01\x00")).Name("Columns").Raw(B("\x0E\x00")).End(), read);
  EXPECT_TRUE(read.Lines.Empty());
  ASSERT_EQ(read.Columns.Count(), 1u);
  EXPECT_EQ(read.Columns[0].FieldName, "kept");
}

TEST(ObjectStream, PrefixBytesAndChildObjectsAreSkipped) {
  // A prefix with a position, and one child object with properties of the
  // kinds no property of ours takes (binary, set).
  std::string bytes = B("TPF0\xF2\x02\x05\x07TSample\x00");
  bytes += B("\x04Text\x06\x01q\x00");
  bytes +=
      B("\x05TItem\x01"
        "c");
  bytes +=
      B("\x03"
        "Bin\x0A\x02\x00\x00\x00\xAA\xBB");
  bytes +=
      B("\x03"
        "Set\x0B\x02"
        "a1\x00");
  bytes += B("\x00\x00");  // end of the child's properties and children
  bytes += B("\x00");      // end of children
  TSample read;
  ReadInto(bytes, read);
  EXPECT_EQ(read.Text, "q");
}

TEST(ObjectStream, DamagedStreamsFailCleanly) {
  TSample sample;
  sample.Text = "text";
  sample.Lines = {"a"};
  sample.Columns.Add().Title.Caption = "c";
  sample.Value = TVariant::Float(1);
  const std::string whole = Written(sample);
  // Every truncation fails, whatever byte it cuts after.
  for (size_t length = 0; length < whole.size(); ++length) {
    TSample read;
    EXPECT_THROW(ReadInto(whole.substr(0, length), read), EStreamError) << length;
  }
  struct Case {
    const char* what;
    std::string bytes;
  };
  const Case cases[] = {
      {"unknown property", TBytes().Name("Missing").Raw(B("\x02\x01")).End()},
      {"unknown enumeration value", TBytes().Name("Align").Raw(B("\x07\x02zz")).End()},
      {"integer out of range", TBytes().Name("Number").Raw(B("\x13\0\0\0\0\1\0\0\0")).End()},
      {"text for an integer", TBytes()
                                  .Name("Number")
                                  .Raw(B("\x06\x01"
                                         "1"))
                                  .End()},
      {"unknown value type", TBytes().Name("Value").Raw(B("\x2A")).End()},
      {"length beyond the data", TBytes().Name("Text").Raw(B("\x0C\xFF\xFF\xFF\x7F")).End()},
      {"wide length beyond the data", TBytes().Name("Text").Raw(B("\x12\xFF\xFF\xFF\xFF")).End()},
      {"malformed UTF-8", TBytes().Name("Text").Raw(B("\x14\x01\x00\x00\x00\xC5")).End()},
      {"bad signature", "TPF1" + TBytes().End().substr(4)},
  };
  for (const Case& c : cases) {
    TSample read;
    EXPECT_THROW(ReadInto(c.bytes, read), EStreamError) << c.what;
  }
  // Lists inside lists in an object that is skipped, and child objects
  // nesting deeper and deeper, are refused, not followed.
  const std::string deep_lists = TBytes().Name("X").Raw(std::string(100000, '\x01')).End();
  TObjectStreamReader skipping(reinterpret_cast<const uint8_t*>(deep_lists.data()), deep_lists.size());
  EXPECT_THROW(skipping.SkipObject(), EStreamError);
  std::string nested = TBytes().s + '\0';
  for (int i = 0; i < 10000; ++i)
    nested +=
        B("\x01"
          "C\x00\x00");
  TSample read;
  EXPECT_THROW(ReadInto(nested, read), EStreamError);
}

TEST(ObjectStream, CountsAreSigned32BitLittleEndian) {
  std::string bytes;
  TObjectStreamWriter writer(bytes);
  writer.WriteCount(-2);
  writer.WriteCount(70000);
  EXPECT_EQ(bytes, B("\xFE\xFF\xFF\xFF\x70\x11\x01\x00"));
  TObjectStreamReader reader(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
  EXPECT_EQ(reader.ReadCount(), -2);
  EXPECT_EQ(reader.ReadCount(), 70000);
  EXPECT_THROW(reader.ReadCount(), EStreamError);
}

TEST(ObjectStream, ExtendedFloatsConvertBothWays) {
  for (double value : {0.0, 1.0, -2.5, 1.0e-300, 4.9e-324, std::numeric_limits<double>::max(), 45000.123456789,
                       std::numeric_limits<double>::infinity()}) {
    uint8_t bytes[10];
    DoubleToExtended(value, bytes);
    EXPECT_EQ(ExtendedToDouble(bytes), value);
  }
  uint8_t nan[10];
  DoubleToExtended(std::nan(""), nan);
  EXPECT_TRUE(std::isnan(ExtendedToDouble(nan)));
  // 1.0 as the files hold it: explicit integer bit, exponent 16383.
  const uint8_t one[10] = {0, 0, 0, 0, 0, 0, 0, 0x80, 0xFF, 0x3F};
  EXPECT_EQ(ExtendedToDouble(one), 1.0);
}

}  // namespace
}  // namespace tessaro
