#include "context/page_producer.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "db/memory_dataset.h"
#include "util/exception.h"

namespace tessaro {
namespace {

using namespace std::string_literals;

// Writes "[name|param|param]" after whatever the engine preset, so a test sees
// the name, the parameters and the preset at once.
void EchoTag(TCustomPageProducer&, TTag, const std::string& name, const TStrings& params, std::string& replaceText) {
  replaceText += "[" + name;
  for (const auto& p : params) replaceText += "|" + p;
  replaceText += "]";
}

std::string ProduceFromLines(const std::vector<std::string>& lines, THTMLTagEvent handler = EchoTag) {
  TPageProducer producer;
  for (const auto& line : lines) producer.HTMLDoc().Add(line);
  producer.SetOnHTMLTag(std::move(handler));
  return producer.Content();
}

std::string ErrorOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const Exception& e) {
    return e.Message();
  }
  return "(no error)";
}

struct ExpandCase {
  std::string name;
  std::vector<std::string> lines;
  std::string expected;
};

TEST(PageProducerTest, ExpandsTemplates) {
  const std::vector<ExpandCase> cases = {
      {"plain text keeps its line end", {"plain <b>text</b>"}, "plain <b>text</b>\r\n"},
      {"tag between text", {"a<#t>b"}, "a[t]b\r\n"},
      {"blanks around name and params", {"<# tag_x a=1 >"}, "[tag_x|a=1]\r\n"},
      {"blanks between < # and name", {"< \t#\t t\t a=1\t>"}, "[t|a=1]\r\n"},
      {"blanks after the tag are copied", {"<#t>  x"}, "[t]  x\r\n"},
      {"> inside double quotes", {"<#t p=\"a>b\">c"}, "[t|p=a>b]c\r\n"},
      {"> inside single quotes, quote of other kind", {"<#t p='a>b' q=\"it's\">"}, "[t|p=a>b|q=it's]\r\n"},
      {"escaped percent and plus", {"<#t w=50%25 a=x+y c=%%>"}, "[t|w=50%|a=x y|c=%]\r\n"},
      {"blank inside double quotes stays", {"<#tag_include file=\"my page.htm\">"}, "[tag_include|file=my page.htm]\r\n"},
      {"empty fields dropped, tabs separate", {"<#t   a=1 \t  b=2  >"}, "[t|a=1|b=2]\r\n"},
      {"parameters across lines", {"<#t a=1", "b=2>"}, "[t|a=1|b=2]\r\n"},
      {"mixed quotes stripped from the end", {"<#t e='a\"b'\"c\"><#t f=\"a'b\">"}, "[t|e=a\"bc][t|f=a'b]\r\n"},
      {"a double quote hidden in single quotes joins fields", {"<#t a='\"x' y=1>"}, "[t|a=\"x y=1]\r\n"},
      {"single quotes do not join fields; lone quotes stay", {"<#t h='a b'>"}, "[t|h='a|b']\r\n"},
      {"quoted empty field is an entry", {"<#t \"\" a=\"\">"}, "[t||a=]\r\n"},
      {"single <", {"<"}, "<"},
      {"a <b unchanged", {"a <b"}, "a <b\r\n"},
      {"blank after < dropped", {"a < b"}, "a <b\r\n"},
      {"<< before # is no tag", {"<<#x>"}, "<<#x>\r\n"},
      {"< then tag", {"< <#x>"}, "<<#x>\r\n"},
      {"< before a line end", {"a <", "b"}, "a <b\r\n"},
      {"name is one character when not a letter", {"<#1x>"}, "[1|x]\r\n"},
      {"identifiers are ASCII", {"<#ab\xE1" "c>"}, "[ab|\xE1" "c]\r\n"},
      {"NUL ends the template", {"ab\0<#t>cd"s, "ef"}, "ab"},
      {"NUL inside a tag ends it", {"ab<#t a=1\0>cd"s}, "ab[t|a=1]"},
      {"unterminated tag takes the rest", {"x<#t a=1", "b"}, "x[t|a=1|b]"},
      {"unterminated quote takes the rest", {"x<#t a=\"1>y"}, "x[t|a=\"1>y]"},
      {"bare <# at the end", {"x<#"}, "x[]"},
      {"empty template", {}, ""},
  };
  for (const auto& c : cases) EXPECT_EQ(ProduceFromLines(c.lines), c.expected) << c.name;
}

TEST(PageProducerTest, TagsWithoutHandlerOrTextProduceNothing) {
  EXPECT_EQ(ProduceFromLines({"a<#t x=1>b<#u>c"}, nullptr), "abc\r\n");
  auto leaveEmpty = [](TCustomPageProducer&, TTag, const std::string&, const TStrings&, std::string&) {};
  EXPECT_EQ(ProduceFromLines({"a<#t x=1>b"}, leaveEmpty), "ab\r\n");
}

TEST(PageProducerTest, QuotesKeptWhenStrippingIsOff) {
  TPageProducer producer;
  producer.HTMLDoc().Add("<#t a=\"x y\" b='z'>");
  producer.SetOnHTMLTag(EchoTag);
  producer.SetStripParamQuotes(false);
  EXPECT_EQ(producer.Content(), "[t|a=\"x y\"|b='z']\r\n");
}

TEST(PageProducerTest, HandlerSeesKindSenderAndNamedParameters) {
  TPageProducer producer;
  producer.HTMLDoc().Add("<#Link Href=a%2Fb>");
  std::string seen;
  producer.SetOnHTMLTag([&](TCustomPageProducer& sender, TTag kind, const std::string& name, const TStrings& params,
                            std::string& replaceText) {
    EXPECT_EQ(&sender, &producer);
    EXPECT_EQ(kind, TTag::Link);
    EXPECT_EQ(name, "Link");
    replaceText = params.Values("href") + "," + params.Values("missing");
  });
  EXPECT_EQ(producer.Content(), "a/b,\r\n");
}

TEST(PageProducerTest, HandlerMayEditTheProducerWhileItRuns) {
  // The running page keeps its own copy of the template and of the handler.
  TPageProducer producer;
  producer.HTMLDoc().Add("a<#t>b<#u>c");
  auto state = std::make_shared<std::string>("state-");
  producer.SetOnHTMLTag([state](TCustomPageProducer& sender, TTag, const std::string& name, const TStrings&,
                                std::string& replaceText) {
    sender.HTMLDoc().Clear();
    sender.SetOnHTMLTag(EchoTag);  // destroys the stored copy of this handler
    replaceText = *state + name;
  });
  EXPECT_EQ(producer.Content(), "astate-tb[u]c\r\n");
}

TEST(PageProducerTest, TagKindsIgnoreCase) {
  const std::vector<std::pair<std::string, TTag>> cases = {
      {"LINK", TTag::Link},         {"link", TTag::Link},     {"Image", TTag::Image},   {"table", TTag::Table},
      {"ImageMap", TTag::ImageMap}, {"object", TTag::Object}, {"EMBED", TTag::Embed},   {"tag_link", TTag::Custom},
      {"LINKS", TTag::Custom},      {"", TTag::Custom},
  };
  for (const auto& [name, kind] : cases) EXPECT_EQ(TagKind(name), kind) << name;
}

TEST(PageProducerTest, ParameterDecodingErrors) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"<#t w=100%>", "Error decoding URL style (%XX) encoded string at position 6"},
      {"<#t w=%4>", "Error decoding URL style (%XX) encoded string at position 3"},
      {"<#t w=%zz1>", "Invalid URL encoded character (%zz) at position 3"},
      {"<#t \"w=%zz\">", "Invalid URL encoded character (%zz) at position 3"},  // counted after quote stripping
  };
  for (const auto& [line, message] : cases) EXPECT_EQ(ErrorOf([&] { ProduceFromLines({line}); }), message) << line;
}

TEST(PageProducerTest, LineLengthLimit) {
  // A line may hold 4095 bytes before its line feed; HTMLDoc adds CR to each line.
  EXPECT_NO_THROW(ProduceFromLines({"a", std::string(4094, 'x')}));
  EXPECT_EQ(ErrorOf([] { ProduceFromLines({"a", "b", std::string(4095, 'x')}); }), "Line too long on line 3");
  // A long line inside a tag counts as well; one after a NUL is never read.
  EXPECT_EQ(ErrorOf([] { ProduceFromLines({"<#t a=" + std::string(5000, 'x') + ">"}); }), "Line too long on line 1");
  EXPECT_NO_THROW(ProduceFromLines({"a\0"s + std::string(5000, 'x')}));
}

TEST(PageProducerTest, HandlerExceptionsPropagate) {
  auto fail = [](TCustomPageProducer&, TTag, const std::string& name, const TStrings&, std::string&) {
    if (name == "bad") throw Exception("handler failed");
    if (name == "worse") throw std::logic_error("not ours");
  };
  EXPECT_EQ(ErrorOf([&] { ProduceFromLines({"a<#ok>b<#bad>c"}, fail); }), "handler failed");
  EXPECT_THROW(ProduceFromLines({"<#worse>"}, fail), std::logic_error);
}

TEST(PageProducerTest, TemplateSourceProperties) {
  TPageProducer producer;
  producer.HTMLDoc().Add("doc");
  producer.SetHTMLFile("page.htm");
  EXPECT_TRUE(producer.HTMLDoc().Empty());
  producer.HTMLDoc().Add("doc");
  producer.SetHTMLFile("PAGE.HTM");  // the same name: the lines stay
  EXPECT_EQ(producer.HTMLDoc().Count(), 1u);
  EXPECT_EQ(producer.HTMLFile(), "PAGE.HTM");
  producer.SetHTMLDoc(TStrings{"x"});
  EXPECT_EQ(producer.HTMLFile(), "");
  EXPECT_EQ(producer.Content(), "x\r\n");
  EXPECT_TRUE(producer.StripParamQuotes());
}

// A data set with one record that counts how often it is opened.
class CountingDataSet : public TMemoryDataSet {
 public:
  CountingDataSet() {
    AddField("Name", TFieldType::ftString);
    AddField("City", TFieldType::ftString);
    AppendRecord({"Alice & <Bob>"s, "Brno"s});
  }
  void Open() override {
    TMemoryDataSet::Open();
    ++opened_;
  }
  int opened_ = 0;
};

TEST(DataSetPageProducerTest, ParameterlessTagsNamingFieldsStartWithTheirText) {
  CountingDataSet data;
  TDataSetPageProducer producer;
  producer.SetDataSet(&data);
  producer.HTMLDoc().Add("<#name>|<#NAME x=1>|<#city >|<#other>");
  producer.SetOnHTMLTag(EchoTag);
  EXPECT_EQ(producer.Content(), "Alice & <Bob>[name]|[NAME|x=1]|Brno[city]|[other]\r\n");
  EXPECT_EQ(data.opened_, 1);
  producer.Content();
  EXPECT_EQ(data.opened_, 1);  // already open

  producer.SetOnHTMLTag(nullptr);
  EXPECT_EQ(producer.Content(), "Alice & <Bob>||Brno|\r\n");
  producer.SetOnHTMLTag([](TCustomPageProducer&, TTag, const std::string&, const TStrings&, std::string& text) {
    text = "(" + text + ")";
  });
  EXPECT_EQ(producer.Content(), "(Alice & <Bob>)|()|(Brno)|()\r\n");

  producer.SetDataSet(nullptr);
  EXPECT_EQ(producer.Content(), "()|()|()|()\r\n");
}

class PageProducerFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (std::filesystem::temp_directory_path() / "page_producer_XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    dir_ = pattern;
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }

  std::string Write(const std::string& name, const std::string& bytes) {
    std::string path = (dir_ / name).string();
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
  }

  std::string ProduceFile(const std::string& path) {
    TPageProducer producer;
    producer.SetHTMLFile(path);
    producer.SetOnHTMLTag(EchoTag);
    return producer.Content();
  }

  std::filesystem::path dir_;
};

TEST_F(PageProducerFileTest, FileIsCopiedByteForByte) {
  // No line end is added, lone CR and LF stay, bytes above 127 pass unchanged.
  EXPECT_EQ(ProduceFile(Write("a.htm", "x\ny\rz <#t a=1> \xC5\xA1\n\n")), "x\ny\rz [t|a=1] \xC5\xA1\n\n");
}

TEST_F(PageProducerFileTest, FileErrors) {
  std::string missing = (dir_ / "missing.htm").string();
  EXPECT_EQ(ErrorOf([&] { ProduceFile(missing); }), "Cannot open file \"" + missing + "\". No such file or directory");
  EXPECT_EQ(ErrorOf([&] { ProduceFile(dir_.string()); }), "Cannot open file \"" + dir_.string() + "\". Is a directory");
  std::string fifo = (dir_ / "fifo").string();
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  EXPECT_EQ(ErrorOf([&] { ProduceFile(fifo); }), "Cannot open file \"" + fifo + "\". Not a regular file");

  // With a bare line feed a line may hold 4095 bytes; the last line needs no line feed to count.
  EXPECT_NO_THROW(ProduceFile(Write("ok.htm", std::string(4095, 'x') + "\n" + std::string(4095, 'x'))));
  EXPECT_EQ(ErrorOf([&] { ProduceFile(Write("long.htm", "a\n" + std::string(4096, 'x'))); }),
            "Line too long on line 2");
}

TEST_F(PageProducerFileTest, LargeFileMatchesTheSameTemplateInMemory) {
  // Tags, quotes and line ends land on every offset of the read chunks.
  TStrings doc;
  std::string expected;
  for (int i = 0; i < 2000; ++i) {
    std::string pad(i % 97, 'a');
    std::string n = std::to_string(i);
    doc.Add(pad + "<#tag_" + n + " p=\"v " + n + "\" q='x>y'>tail <" + (i % 3 ? " " : "") + "b");
    expected += pad + "[tag_" + n + "|p=v " + n + "|q=x>y]tail <b\r\n";
  }
  std::string path = Write("big.htm", doc.Text());
  EXPECT_EQ(ProduceFile(path), expected);

  TPageProducer fromDoc;
  fromDoc.SetHTMLDoc(doc);
  fromDoc.SetOnHTMLTag(EchoTag);
  EXPECT_EQ(fromDoc.Content(), expected);

  // Line numbers keep counting across chunks.
  doc[1500] = std::string(5000, 'x');
  EXPECT_EQ(ErrorOf([&] { ProduceFile(Write("long.htm", doc.Text())); }), "Line too long on line 1501");
}

}  // namespace
}  // namespace tessaro
