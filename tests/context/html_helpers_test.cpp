#include "context/html_helpers.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cgi/url_encoding.h"
#include "util/codepage.h"
#include "util/module_path.h"

namespace tessaro {
namespace {

using namespace std::string_literals;

class FakeField : public TField {
 public:
  FakeField(TFieldType type, std::string text, std::string display, bool null = false)
      : type_(type), text_(std::move(text)), display_(std::move(display)), null_(null) {}
  const std::string& FieldName() const override { return name_; }
  TFieldType DataType() const override { return type_; }
  bool IsNull() const override { return null_; }
  std::string DisplayText() const override { return display_; }
  std::string AsString() const override { return text_; }

 private:
  std::string name_ = "F";
  TFieldType type_;
  std::string text_;
  std::string display_;
  bool null_;
};

TEST(FieldHtml, EscapesTheTextValue) {
  FakeField field(TFieldType::ftString, "a <b>\r\nc", "display");
  EXPECT_EQ(FieldHtml(&field), "a &lt;b&gt;\r\nc");
  EXPECT_EQ(FieldHtml(&field, true, true), "a&nbsp;&lt;b&gt;<br>c");
  FakeField null_field(TFieldType::ftString, "x", "x", true);
  EXPECT_EQ(FieldHtml(&null_field), "");
  EXPECT_EQ(FieldHtml(nullptr), "");
}

TEST(FieldDisplayHtml, Modes) {
  struct Case {
    TFieldType type;
    std::string display;
    int mode;
    std::string expected;
  };
  const Case cases[] = {
      {TFieldType::ftString, "a <b>\r\nc", 0, "a&nbsp;&lt;b&gt;<br>c"},
      {TFieldType::ftString, "a <b>\r\nc", 1, "a <b>\r\nc"},  // as it is
      {TFieldType::ftString, "a <b>\r\nc", 2, "a &lt;b&gt;\r\nc"},
      {TFieldType::ftFloat, "-1 234,5", 0, "&minus;1&nbsp;234,5"},
      {TFieldType::ftInteger, "-5", 2, "&minus;5"},
      {TFieldType::ftInteger, "-5", 1, "-5"},
      {TFieldType::ftString, "-5", 0, "-5"},  // text keeps its hyphen
      {TFieldType::ftDate, "-", 0, "-"},
      {TFieldType::ftBCD, "5-", 0, "5-"},  // only a leading hyphen
  };
  for (const auto& c : cases) {
    FakeField field(c.type, "ignored", c.display);
    EXPECT_EQ(FieldDisplayHtml(&field, c.mode), c.expected) << c.display << " mode " << c.mode;
  }
  FakeField null_field(TFieldType::ftInteger, "", "-1", true);
  EXPECT_EQ(FieldDisplayHtml(&null_field, 1), "");
  EXPECT_EQ(FieldDisplayHtml(nullptr, 0), "");
}

TEST(FormControls, TextInput) {
  EXPECT_EQ(TextInput("q", "a\"b", 10, 20, "class=x"),
            "<input type=text name=\"q\" value=\"a&quot;b\" size=\"10\" maxlength=\"20\" class=x>");
  EXPECT_EQ(TextInput("q", "", -1, -1, ""), "<input type=text name=\"q\">");
  EXPECT_EQ(TextInput("q", "a b", 0, -1, ""), "<input type=text name=\"q\" value=\"a b\" size=\"0\">");
}

TEST(FormControls, CheckBox) {
  EXPECT_EQ(CheckBox("c", "1", "A & B", true, "id=c"),
            "<input type=checkbox name=\"c\" id=c value=\"1\" checked>A &amp; B");
  EXPECT_EQ(CheckBox("c", "1", "", false, ""), "<input type=checkbox name=\"c\"  value=\"1\">");
}

TEST(FormControls, SelectMarksTheChosenOptionIgnoringCase) {
  TStrings options{"a=Alpha", "B=<Beta>", "c=Gamma"};
  EXPECT_EQ(Select("s", options, "b", " class=x"),
            "<select name=\"s\" class=x>\r\n"
            "<option value=\"a\">Alpha</option>\r\n"
            "<option value=\"B\" selected>&lt;Beta&gt;</option>\r\n"
            "<option value=\"c\">Gamma</option>\r\n"
            "</select>");
  EXPECT_EQ(Select("s", TStrings{}, "", ""), "<select name=\"s\">\r\n</select>");
}

TEST(FormControls, HiddenEscapesNameAndValue) {
  EXPECT_EQ(Hidden("EID", "a\"b"), "<input type=hidden name=\"EID\" value=\"a&quot;b\">");
  // A request key is visitor input: it must not be able to add markup.
  EXPECT_EQ(Hidden("x><script>alert(1)</script", "v"),
            "<input type=hidden name=\"x&gt;&lt;script&gt;alert(1)&lt;/script\" value=\"v\">");
  EXPECT_EQ(Hidden("a\" onfocus=\"x", ""), "<input type=hidden name=\"a&quot; onfocus=&quot;x\" value=\"\">");
}

TEST(Link, ExtraAndTargetFollowTheAddress) {
  struct Case {
    std::string target;
    std::string extra;
    std::string expected;
  };
  const Case cases[] = {
      {"", "", "<A HREF=\"u.htm\">T</A>"},
      {"", "class=\"x\"", "<A HREF=\"u.htm\" class=\"x\">T</A>"},
      {"", "  class=\"x\"  ", "<A HREF=\"u.htm\" class=\"x\">T</A>"},  // extra is trimmed
      {"_blank", "class=\"x\"", "<A HREF=\"u.htm\" class=\"x\" target=\"_blank\">T</A>"},
      {"_blank", "", "<A HREF=\"u.htm\" target=\"_blank\">T</A>"},
  };
  for (const auto& c : cases) EXPECT_EQ(Link("u.htm", "T", c.target, c.extra), c.expected) << c.extra;
}

TEST(Media, Image) {
  EXPECT_EQ(Image("p.gif", "", "", 0, 0, -1), "<img src=\"p.gif\" >");
  EXPECT_EQ(Image("p.gif", "Logo", "class=x", 10, 20, 0),
            "<img src=\"p.gif\" alt=\"Logo\" border=\"0\"  class=x width=\"10\" height=\"20\">");
  EXPECT_EQ(Image("p.gif", "", "", 10, 0, 2), "<img src=\"p.gif\" border=\"2\" >");  // one size alone is dropped
}

TEST(Media, EmbedWritesTheNonZeroSizes) {
  const std::string head = "<embed src=\"m.swf\" autostart=false play=false ";
  EXPECT_EQ(Embed("m.swf", "", 0, 0, ""), head + "/>");
  EXPECT_EQ(Embed("m.swf", "loop=1", 0, 0, "video/x"), head + "type=\"video/x\"  loop=1/>");
  EXPECT_EQ(Embed("m.swf", "", 0, 30, ""), head + " height=\"30\"/>");
  EXPECT_EQ(Embed("m.swf", "", 40, 0, ""), head + " width=\"40\"/>");
  EXPECT_EQ(Embed("m.swf", "", 40, 30, ""), head + " width=\"40\" height=\"30\"/>");
}

TEST(Media, IsImageFile) {
  struct Case {
    std::string name;
    bool expected;
  };
  const Case cases[] = {
      {"photo.JPG", true}, {"photo.jpeg", true},  {"a.b/icon.Ico", true},
      {"noext", true},     {"dir.d/noext", true}, {"notes.txt", false},
      {"x.jp", false},     {"x.", false},         {"archive.png.zip", false},
  };
  for (const auto& c : cases) EXPECT_EQ(IsImageFile(c.name), c.expected) << c.name;
}

TEST(Pages, MinimalPages) {
  EXPECT_EQ(SimplePage("T", "M", false),
            "<HTML><HEAD><meta http-equiv=\"Content-Language\" content=\"cs\">\r\n"
            "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=windows-1250\"><TITLE>T</TITLE>  "
            "</HEAD><BODY><P>M</BODY></HTML>");
  EXPECT_EQ(InvalidRequestPage(true), SimplePage("Chyba", Cp1250("Neplatný požadavek"), false));
  EXPECT_EQ(InvalidRequestPage(false), SimplePage("Error", "Invalid request", true));
  EXPECT_EQ(ErrorPage(false, "Boom"), SimplePage("Error", "Boom", true));
  EXPECT_NE(HtmlHead("T", true, "x").find("content=\"en-us\""), std::string::npos);
}

// Messages quote what the visitor sent and the files the portal opened.
TEST(Pages, ErrorMessagesAreTextWithoutTheServersFolders) {
  EXPECT_EQ(ErrorPage(true, "Invalid URL encoded character (%<s) at position 1"),
            SimplePage("Chyba", "Invalid URL encoded character (%&lt;s) at position 1", false));
  EXPECT_EQ(ErrorMessageHtml("Cannot open file \"" + ModuleDir() + "templates/x.html\". No such file"),
            "Cannot open file &quot;templates/x.html&quot;. No such file");
}

TEST(TableFrame, DefaultsWithoutParameters) {
  EXPECT_EQ(TableFrame("<tr><td>x</td></tr>", TStrings{}),
            "<table align=\"center\" border=\"1\"  cellpadding=\"1\" cellspacing=\"0\" width=\"90%\" "
            "bgcolor=\"#FFFFFF\">\r\n<tr><td>\r\n"
            "<table border=\"0\" cellpadding=\"4\" cellspacing=\"0\" width=\"100%\"><tr><td>x</td></tr>"
            "</table></td></tr></table>\r\n");
}

TEST(TableFrame, ParametersOverrideDefaults) {
  TStrings params{
      "width=\"50\"", "Align=left", "BORDER=0", "bordercolor=\"red\"", "IBORDER=3", "iBorderColor=\"#000000\"",
      "other=1"};
  std::string html = TableFrame("C", params);
  EXPECT_EQ(html.substr(0, html.find("\r\n")),
            "<table align=\"left\" border=\"0\" bordercolor=\"red\" cellpadding=\"3\" cellspacing=\"0\" "
            "width=\"50%\" bgcolor=\"#000000\">");
  // An unrelated parameter leaves the defaults.
  EXPECT_EQ(TableFrame("C", TStrings{"x=1"}), TableFrame("C", TStrings{}));
}

// The navigator of the list page: its exact form, and what the links and the
// form send back.
class NavigatorTest : public ::testing::Test {
 protected:
  const std::string url = "/cgi-bin/tessaro.cgi/ShowList";

  static std::string Cell(const std::string& content) {
    return "<td width=\"5%\" CLASS=navigator>" + content + "</td>\r\n";
  }
  std::string LinkTo(const std::string& query, int item, const char* text) const {
    return "<A HREF=\"" + url + "?" + query + "rows=25&item_no=" + std::to_string(item) + "\">" + Cp1250(text) + "</A>";
  }
  // The fields a link sends, decoded as the request reader decodes a query.
  static TStrings QueryOf(const std::string& html, const std::string& link_text) {
    size_t end = html.find("\">" + Cp1250(link_text) + "</A>");
    size_t start = html.rfind("?", end);
    TStrings fields;
    SplitFields(html.substr(start + 1, end - start - 1), "&", "", true, fields);
    for (size_t i = 0; i < fields.Count(); ++i) fields[i] = DecodeInput(fields[i]);
    return fields;
  }
};

TEST_F(NavigatorTest, MiddlePageExactMarkup) {
  TStrings fields{"EID=abc", "rows=25", "item_no=26", "btn_go=x"};
  const std::string q = "EID=abc&";
  const std::string expected =
      "<form action=\"" + url +
      "\" method=\"get\" name=\"frm_goto\">\r\n"
      "<input type=hidden name=\"EID\" value=\"abc\">\r\n\r\n"
      "<input type=hidden name=\"rows\" value=\"25\">\r\n" +
      TableFrame(Cp1250("<tr>\r\n<td width=\"50%\" CLASS=navigator>Nalezeno 100 položek. Položky 26 až 50 jsou "
                        "zobrazeny.</td>\r\n") +
                     Cell(LinkTo(q, 1, "první")) + Cell(LinkTo(q, 1, "předchozí")) + Cell(LinkTo(q, 51, "další")) +
                     Cell(LinkTo(q, 76, "poslední")) +
                     Cp1250("<td align=\"right\" width=\"10%\" CLASS=navigator>Položka č.</td>\r\n") +
                     "<td width=\"10%\" CLASS=navigator><input type=\"text\" size=\"8\" name=\"item_no\"></td>\r\n"
                     "<td width=\"10%\" CLASS=navigator><input type=\"submit\" name=\".button\"\r\n"
                     "value=\"jdi na\"></td>\r\n</tr>\r\n",
                 TStrings{}) +
      "</form>\r\n";
  EXPECT_EQ(Navigator(url, fields, 25, TStrings{}, 26, 100), expected);
}

TEST_F(NavigatorTest, LinksByPosition) {
  struct Case {
    int first, rows, count;
    std::vector<std::string> cells;  // first, previous, next, last
  };
  const std::string nb = "&nbsp;";
  const Case cases[] = {
      {26,
       25,
       100,
       {LinkTo("", 1, "první"), LinkTo("", 1, "předchozí"), LinkTo("", 51, "další"), LinkTo("", 76, "poslední")}},
      {76, 25, 100, {LinkTo("", 1, "první"), LinkTo("", 51, "předchozí"), nb, nb}},
      {1, 25, 100, {nb, nb, LinkTo("", 26, "další"), LinkTo("", 76, "poslední")}},
      {10,
       25,
       101,
       {LinkTo("", 1, "první"), LinkTo("", 1, "předchozí"), LinkTo("", 35, "další"), LinkTo("", 101, "poslední")}},
      {1, 25, 25, {nb, nb, nb, nb}},
  };
  for (const auto& c : cases) {
    std::string html = Navigator(url, TStrings{}, c.rows, TStrings{}, c.first, c.count);
    std::string cells;
    for (const auto& cell : c.cells) cells += Cell(cell);
    EXPECT_NE(html.find(cells), std::string::npos) << "first " << c.first << " count " << c.count;
  }
}

TEST_F(NavigatorTest, NothingToPage) {
  EXPECT_EQ(Navigator(url, TStrings{}, 25, TStrings{}, 1, 0), "");
  EXPECT_EQ(Navigator(url, TStrings{}, 0, TStrings{}, 1, 10), "");  // no page length: no division by zero
}

TEST_F(NavigatorTest, CarriesOnlyOrdinaryNonEmptyFields) {
  TStrings fields{"EID=e1",          "F_x=",       "ROWS=5",  "Item_No=3",    "page_no=2",
                  "actionresult=ok", "btn_save=1", "BTN_X=1", "sort_by1=name"};
  std::string html = Navigator(url, fields, 25, TStrings{}, 26, 100);
  EXPECT_EQ(html.find("<input type=hidden"), html.find("<input type=hidden name=\"EID\""));
  EXPECT_NE(html.find("<input type=hidden name=\"EID\" value=\"e1\">\r\n"
                      "<input type=hidden name=\"sort_by1\" value=\"name\">\r\n\r\n"
                      "<input type=hidden name=\"rows\" value=\"25\">"),
            std::string::npos);
  const TStrings expected{"EID=e1", "sort_by1=name", "rows=25", "item_no=51"};
  EXPECT_EQ(QueryOf(html, "další").Items(), expected.Items());
}

TEST_F(NavigatorTest, VisitorTextStaysDataInLinksAndForm) {
  const std::string czech = Cp1250("čeština");
  TStrings fields{"F_name=R&D 50% \"x\"#", "x\"><b>=1", "F_cz=" + czech};
  std::string html = Navigator(url, fields, 25, TStrings{}, 26, 100);
  EXPECT_EQ(html.find("<b>"), std::string::npos);
  EXPECT_NE(html.find("<input type=hidden name=\"F_name\" value=\"R&amp;D 50% &quot;x&quot;#\">"), std::string::npos);
  EXPECT_NE(html.find("<input type=hidden name=\"x&quot;&gt;&lt;b&gt;\" value=\"1\">"), std::string::npos);
  // Following a link gives the page back exactly the fields it had.
  const TStrings expected{"F_name=R&D 50% \"x\"#", "x\"><b>=1", "F_cz=" + czech, "rows=25", "item_no=1"};
  EXPECT_EQ(QueryOf(html, "první").Items(), expected.Items());
}

TEST_F(NavigatorTest, ThePagesAddressIsEscaped) {
  std::string html = Navigator("/p.cgi/\"><b>", TStrings{}, 25, TStrings{}, 26, 100);
  EXPECT_EQ(html.find("<b>"), std::string::npos) << html;
  EXPECT_EQ(html.rfind("<form action=\"/p.cgi/&quot;&gt;&lt;b&gt;\" method=", 0), 0u) << html;
  EXPECT_NE(html.find("<A HREF=\"/p.cgi/&quot;&gt;&lt;b&gt;?rows=25&item_no=1\">"), std::string::npos) << html;
}

TEST_F(NavigatorTest, FrameParametersReachTheFrame) {
  std::string html = Navigator(url, TStrings{}, 25, TStrings{"WIDTH=100", "class=x"}, 1, 100);
  EXPECT_NE(html.find("<table align=\"center\" border=\"1\"  cellpadding=\"1\" cellspacing=\"0\" width=\"100%\""),
            std::string::npos);
}

}  // namespace
}  // namespace tessaro
