#include "util/html_escape.h"

#include <gtest/gtest.h>

#include <string>

namespace tessaro {
namespace {

using namespace std::string_literals;

TEST(HtmlEscape, Cases) {
  struct Case {
    std::string text;
    bool nbsp;
    bool br;
    std::string expected;
  };
  const Case cases[] = {
      {"a \"b\" & <c>", false, false, "a &quot;b&quot; &amp; &lt;c&gt;"},
      // The single quote too: a value inside a single-quoted attribute cannot end it.
      {"x' onmouseover='alert(1)", false, false, "x&#39; onmouseover=&#39;alert(1)"},
      {"a b\r\nc", false, false, "a b\r\nc"},
      {"a b\r\nc", true, true, "a&nbsp;b<br>c"},            // CR LF gives one <br>
      {"a\rb\nc\r\r\n", false, true, "a<br>b\nc<br><br>"},  // lone LF copied
      {"a b", true, false, "a&nbsp;b"},
      {"ab\0<cd"s, false, false, "ab"},  // a NUL ends the text
      {"\xE8\xE1r", false, false, "\xE8\xE1r"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(HtmlEscape(c.text, c.nbsp, c.br), c.expected) << c.text << " " << c.nbsp << c.br;
}

// Attribute values keep single quotes readable; a script literal inside such
// an attribute can be closed neither by a quote, a backslash, a line break
// nor, once the attribute is escaped, by an entity such as &#39;.
TEST(HtmlEscape, AttributesAndScriptLiterals) {
  EXPECT_EQ(HtmlAttributeEscape("javascript:f('a')&x=\"<b>\""), "javascript:f('a')&amp;x=&quot;&lt;b&gt;&quot;");
  EXPECT_EQ(HtmlAttributeEscape("a\0\""s), "a");
  const struct {
    std::string text, literal;
  } cases[] = {
      {"v", "'v'"},
      {"", "''"},
      {"O'Neil", R"('O\'Neil')"},
      {R"(a\'b)", R"('a\\\'b')"},  // the backslash cannot swallow the escape of the quote
      {"\"</script>\"", R"('\"\x3c/script\x3e\"')"},
      {"a\r\nb\t", R"('a\r\nb\x09')"},
      {"&#39;", "'&#39;'"},  // stays for HtmlAttributeEscape to make harmless
      {"\xE8\xE1r", "'\xE8\xE1r'"},
  };
  for (const auto& c : cases) EXPECT_EQ(ScriptStringLiteral(c.text), c.literal) << c.text;
  EXPECT_EQ(HtmlAttributeEscape(ScriptStringLiteral("&#39;);alert(1)//")), "'&amp;#39;);alert(1)//'");
}

}  // namespace
}  // namespace tessaro
