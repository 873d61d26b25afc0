#include "context/form_validator.h"

#include <gtest/gtest.h>
#include <stdio.h>
#include <stdlib.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "util/codepage.h"
#include "util/regional_settings.h"

namespace tessaro {
namespace {

// Each test builds its validator under known regional settings and leaves the
// Czech defaults behind.
class FormValidatorTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetRegionalSettings(); }
  void TearDown() override { ResetRegionalSettings(); }

  static std::string LibraryScript() {
    TZNKHTMLFormValidator validator;
    return validator.Script(TStrings{"library=1"}, TStrings{});
  }
};

// Every line of `script`, split at CR LF or a lone CR.
std::vector<std::string> Lines(const std::string& script) {
  TStrings lines;
  lines.SetText(script);
  return lines.Items();
}

// The names of the functions a script writes, in writing order.
std::vector<std::string> WrittenFunctions(const std::string& script) {
  std::vector<std::string> names;
  for (const auto& line : Lines(script)) {
    if (!line.starts_with("function ")) continue;
    size_t start = 9;
    size_t end = line.find_first_of(" (", start);
    names.push_back(line.substr(start, end - start));
  }
  return names;
}

bool HasLine(const std::string& script, const std::string& line) {
  for (const auto& l : Lines(script))
    if (l == line) return true;
  return false;
}

TEST_F(FormValidatorTest, NothingToWrite) {
  TZNKHTMLFormValidator validator;
  EXPECT_EQ(validator.Script(TStrings{}, TStrings{}), "");
  EXPECT_EQ(validator.Script(TStrings{"library=", "id=x"}, TStrings{}), "");  // an empty value does not count
  EXPECT_EQ(validator.OnSubmitAttribute("frm"), "");
}

TEST_F(FormValidatorTest, LibraryOnRequestInDependencyOrder) {
  std::string script = LibraryScript();
  EXPECT_EQ(script.rfind("<script type=\"text/javascript\" ><!-- \r", 0), 0u);
  EXPECT_TRUE(script.ends_with("\r\n//--></SCRIPT>"));
  const std::vector<std::string> expected = {
      "PromptedSubmit",  "isEmpty",           "isDigit",          "isWhitespace", "isInteger",
      "isSignedInteger", "isPositiveInteger", "isIntegerInRange", "isFloat",      "isSignedFloat",
      "stripCharsInBag", "daysInFebruary",    "DaysArray",        "isDate",       "isEmail"};
  EXPECT_EQ(WrittenFunctions(script), expected);
}

TEST_F(FormValidatorTest, LocaleDependentLines) {
  // Czech defaults: d.M.yyyy, decimal comma, no-break space between thousands.
  std::string czech = LibraryScript();
  for (const char* line :
       {"  if (s == \",\") return false; ", "  if (s == \"\xA0\") return false; ",
        "  if ((c == \",\") && !seenDecimalPoint) seenDecimalPoint = true",
        "  else if ((!isDigit(c)) && (c!=\"\xA0\")) return false;", "var dtCh=\".\";", "var dtFormat=\"dMyyyy\";",
        "  var strDay=dtStr.substring(0,pos1)", "  var strMonth=dtStr.substring(pos1+1,pos2)",
        "  var strYear=dtStr.substring(pos2+1)", "  var whitespace = \" \\t\\n\\r\"; ",
        "  if (strMonth.length<1 || month<1 || month>12){ return false\t}"})
    EXPECT_TRUE(HasLine(czech, line)) << line;

  RegionalSettings().DateSeparator = '-';
  RegionalSettings().ShortDateFormat = "yyyy-MM/dd";
  RegionalSettings().DecimalSeparator = '.';
  RegionalSettings().ThousandSeparator = 0;  // none
  std::string iso = LibraryScript();
  for (const char* line : {"  if (s == \".\") return false; ", "  if (s == \"\") return false; ", "var dtCh=\"-\";",
                           "var dtFormat=\"yyyyMMdd\";", "  var strYear=dtStr.substring(0,pos1)",
                           "  var strMonth=dtStr.substring(pos1+1,pos2)", "  var strDay=dtStr.substring(pos2+1)"})
    EXPECT_TRUE(HasLine(iso, line)) << line;
}

TEST_F(FormValidatorTest, ChecksOfOneFormShareItsSubmitFunction) {
  TZNKHTMLFormValidator validator;
  validator.AddDateCheck("frm", "d", true, "Bad date");
  validator.AddRangeCheck("frm", "n", 1, 10, false, "Bad n");
  EXPECT_EQ(validator.OnSubmitAttribute("frm"), "OnSubmit=\"javascript:return submit_frm(this);\"");
  EXPECT_EQ(validator.OnSubmitAttribute("other"), "");

  std::string script = validator.Script(TStrings{}, TStrings{});
  const std::string submit =
      "\rfunction submit_frm(form)  {\r\n"
      "if (!isEmpty(form.d.value)) { if (!isDate(form.d.value)) { alert(\"Bad date\"); form.d.focus (); "
      "return(false);}};\r\n"
      "if (isEmpty(form.n.value)) { alert(\"Bad n\"); form.n.focus (); return(false);};\r\n"
      "if (!isIntegerInRange(form.n.value,1,10)) { alert(\"Bad n\"); form.n.focus (); return(false);};\r\n"
      "\r return true }\r//--></SCRIPT>";
  EXPECT_TRUE(script.ends_with(submit)) << script;
  // Only what the checks call, each after its callees, the form function last.
  const std::vector<std::string> expected = {"isEmpty",          "isDigit",         "isInteger",      "isSignedInteger",
                                             "isIntegerInRange", "stripCharsInBag", "daysInFebruary", "DaysArray",
                                             "isDate",           "submit_frm"};
  EXPECT_EQ(WrittenFunctions(script), expected);
}

TEST_F(FormValidatorTest, PromptAndScriptLines) {
  TZNKHTMLFormValidator validator;
  validator.AddPrompt("act", "\"Opravdu?\"");
  std::string script = validator.Script(TStrings{}, TStrings{"var a = 1;", "var b = 2;"});
  EXPECT_EQ(script.rfind("<script type=\"text/javascript\" ><!-- \rvar a = 1;\r\nvar b = 2;\r\n\rfunction "
                         "PromptedSubmit",
                         0),
            0u);
  EXPECT_TRUE(HasLine(script, "if (!PromptedSubmit(\"Opravdu?\")) { return(false);};"));
  EXPECT_EQ(WrittenFunctions(script), (std::vector<std::string>{"PromptedSubmit", "submit_act"}));
}

TEST_F(FormValidatorTest, PartialScriptAndAttributes) {
  TZNKHTMLFormValidator validator;
  std::string script = validator.Script(TStrings{"id=checks", "Partial=1", "defer=defer"}, TStrings{"x();"});
  EXPECT_EQ(script, "<script type=\"text/javascript\" id=\"checks\" defer=\"defer\" ><!-- \rx();\r\n ");
}

TEST_F(FormValidatorTest, MessagesCannotBreakTheScript) {
  TZNKHTMLFormValidator validator;
  validator.AddIntegerCheck("f", "n", false, "Say \"12\" \\ </script>\r\nok");
  std::string script = validator.Script(TStrings{}, TStrings{});
  EXPECT_NE(script.find("alert(\"Say \\\"12\\\" \\\\ <\\/script>\\r\\nok\");"), std::string::npos) << script;
}

TEST(JavaFunctions, SortPutsCalleesFirst) {
  TZNKJavaFunctions list(nullptr);
  TZNKJavaFunction* top = list.Add("top");
  list.Add("lone");
  TZNKJavaFunction* mid = list.Add("mid");
  TZNKJavaFunction* leaf = list.Add("leaf");
  top->Use(mid);
  mid->Use(leaf);
  list.Sort();
  std::vector<std::string> order;
  for (size_t i = 0; i < list.Count(); ++i) order.push_back(list[i].Name());
  EXPECT_EQ(order, (std::vector<std::string>{"leaf", "lone", "mid", "top"}));
  EXPECT_TRUE(top->UsesIndirectly(leaf));
  EXPECT_FALSE(leaf->UsesIndirectly(top));

  // Functions that call each other must not hang the ordering.
  leaf->Use(top);
  list.Add("new");
  list.Sort();
  EXPECT_EQ(list.Count(), 5u);
}

// Runs `program` with node and returns what it printed. The text is
// windows-1250 like every script the portal writes, so it is converted to
// UTF-8 first, as the page output is, and the printed text back.
std::string RunNode(const std::string& program) {
  FILE* probe = popen("command -v node", "r");
  char buffer[4096];
  bool found = probe != nullptr && fgets(buffer, sizeof buffer, probe) != nullptr;
  if (probe != nullptr) pclose(probe);
  if (!found) {
    ADD_FAILURE() << "node (a JavaScript engine) is not on PATH; scripts/install-deps installs it (nodejs)";
    return "";
  }
  char path[] = "/tmp/tessaro_validator_XXXXXX.js";
  int fd = mkstemps(path, 3);
  if (fd < 0) {
    ADD_FAILURE() << "cannot create a temporary script file";
    return "";
  }
  std::string utf8 = EncodeOutput(program);
  bool written = write(fd, utf8.data(), utf8.size()) == static_cast<ssize_t>(utf8.size());
  close(fd);
  std::string output;
  if (written) {
    FILE* run = popen(("node " + std::string(path) + " 2>&1").c_str(), "r");
    size_t n;
    while (run != nullptr && (n = fread(buffer, 1, sizeof buffer, run)) > 0) output.append(buffer, n);
    if (run != nullptr) pclose(run);
  }
  unlink(path);
  return DecodeInput(output);
}

// The script of a <script> element without its opening tag line.
std::string ScriptBody(const std::string& script) { return script.substr(script.find('\r') + 1); }

// Calls `expression` for each argument and prints one line "arg=result".
std::string Probe(const std::string& function, const std::vector<std::string>& args) {
  std::string js;
  for (const auto& a : args) js += "console.log(" + a + " + '=' + " + function + "(" + a + "));\n";
  return js;
}

std::string Expect(const std::vector<std::pair<std::string, bool>>& cases) {
  std::string out;
  for (const auto& [text, ok] : cases) out += text + "=" + (ok ? "true" : "false") + "\n";
  return out;
}

TEST_F(FormValidatorTest, GeneratedChecksRunInAJavaScriptEngine) {
  const std::string library = ScriptBody(LibraryScript());
  const std::string program =
      library + "\n" +
      Probe("isDate", {"'1.2.2005'", "'31.2.2005'", "'1.2.05'", "'1.2.0999'", "'29.2.2004'", "'29.2.2005'",
                       "'29.2.1900'", "'31.4.2005'", "'01.02.2005'", "'1.2.2005.'", "'1.x.2005'", "'1/2/2005'"}) +
      Probe("isFloat", {"'1234,5'", "'1\\u00A0234,5'", "','", "'\\u00A0'", "'1,2,3'", "'1.5'", "'12'"}) +
      Probe("isPositiveInteger", {"'0'", "'+5'", "'-5'"}) + Probe("isEmail", {"'a@b.cz'", "'a@b'", "'@b.cz'"});
  EXPECT_EQ(RunNode(program), Expect({{"1.2.2005", true},
                                      {"31.2.2005", false},
                                      {"1.2.05", false},
                                      {"1.2.0999", false},
                                      {"29.2.2004", true},
                                      {"29.2.2005", false},
                                      {"29.2.1900", false},
                                      {"31.4.2005", false},
                                      {"01.02.2005", true},
                                      {"1.2.2005.", false},
                                      {"1.x.2005", false},
                                      {"1/2/2005", false},
                                      {"1234,5", true},
                                      {"1\xA0"
                                       "234,5",
                                       true},
                                      {",", false},
                                      {"\xA0", false},
                                      {"1,2,3", false},
                                      {"1.5", false},
                                      {"12", true},
                                      {"0", false},
                                      {"+5", true},
                                      {"-5", false},
                                      {"a@b.cz", true},
                                      {"a@b", false},
                                      {"@b.cz", false}}));
}

TEST_F(FormValidatorTest, DateCheckFollowsThePatternOrder) {
  RegionalSettings().DateSeparator = '-';
  RegionalSettings().ShortDateFormat = "yyyy-mm-dd";
  const std::string program =
      ScriptBody(LibraryScript()) + "\n" + Probe("isDate", {"'2005-02-01'", "'2005-02-31'", "'1-2-2005'"});
  EXPECT_EQ(RunNode(program), Expect({{"2005-02-01", true}, {"2005-02-31", false}, {"1-2-2005", false}}));
}

TEST_F(FormValidatorTest, SubmitFunctionsRunInAJavaScriptEngine) {
  TZNKHTMLFormValidator validator;
  validator.AddDateCheck("frm", "d", true, Cp1250("Špatné datum"));
  validator.AddRangeCheck("frm", "n", 1, 10, false, "Bad n");
  validator.AddPrompt("frm", "\"Sure?\"");
  const std::string harness = R"(
var answer = true;
function alert(m) { console.log('alert ' + m); }
function confirm(p) { console.log('confirm ' + p); return answer; }
function field(v) { return { value: v, focus: function () { console.log('focus'); } }; }
console.log(submit_frm({ d: field(''), n: field('5') }));
console.log(submit_frm({ d: field('30.2.2005'), n: field('5') }));
console.log(submit_frm({ d: field('1.2.2005'), n: field('') }));
console.log(submit_frm({ d: field(''), n: field('11') }));
answer = false;
console.log(submit_frm({ d: field(''), n: field('10') }));
)";
  std::string output = RunNode(ScriptBody(validator.Script(TStrings{}, TStrings{})) + harness);
  EXPECT_EQ(output, Cp1250("confirm Sure?\ntrue\n"
                           "alert Špatné datum\nfocus\nfalse\n"
                           "alert Bad n\nfocus\nfalse\n"
                           "alert Bad n\nfocus\nfalse\n"
                           "confirm Sure?\nfalse\n"));
}

}  // namespace
}  // namespace tessaro
