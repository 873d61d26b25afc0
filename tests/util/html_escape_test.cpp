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

}  // namespace
}  // namespace tessaro
