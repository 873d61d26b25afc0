// The filter controls of the built-in parameter editors, drawn through the
// renderers the model's editors are given, and the select list filled by SQL
// on a SQLite database.
#include "context/param_controls.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <map>

#include "cgi/web_request.h"
#include "cgi/web_response.h"
#include "context/request_context.h"
#include "db/memory_dataset.h"
#include "db/odbc_dataset.h"
#include "db/test_databases.h"
#include "model/editor_options.h"
#include "model/global_settings.h"
#include "model/inet_mgr_model.h"
#include "model/param_def.h"
#include "model/param_editor.h"
#include "model/param_type_def.h"
#include "model/user_account.h"
#include "settings/web_app_options.h"
#include "util/date_format.h"
#include "util/datetime.h"
#include "util/text.h"

namespace tessaro {
namespace {

// A table context that only hands over the list's data set.
class FakeTable : public IRequestTableContext {
 public:
  explicit FakeTable(TDataSet* data_set) : data_set_(data_set) {}
  void PrepareColumns(TZNKTableProducer&) override {}
  std::string FilterControl(const TStrings&) override { return ""; }
  std::string SortControl(const TStrings&) override { return ""; }
  std::string Navigator(const TStrings&) override { return ""; }
  TDataSet* GetSumDataSet() override { return nullptr; }
  TDataSet* GetDataSet() override { return data_set_; }
  int GetPageCount() override { return 1; }
  std::string TableContent(TZNKTableProducer&, const TStrings&) override { return ""; }
  void FormatCell(TZNKTableProducer&, int, int, THTMLTableCell&) override {}

 private:
  TDataSet* data_set_;
};

// A page context that rewrites its SQL and binds its parameters, as the
// evidence pages do, and may show a record list.
class ListContext : public tRequestContext {
 public:
  using tRequestContext::tRequestContext;
  std::string PrepareSQL(const std::string& sql) override { return ReplaceAll(sql, "%TABLE%", "opt"); }
  void BindParams(TParameters& params) override {
    for (TParameter& p : params) p.Value = TVariant::String(bound);
  }
  void ShowList(TDataSet* data_set) { SetTableContext(std::make_unique<FakeTable>(data_set)); }
  std::string bound;  // the value BindParams gives every parameter
};

// A GET request with `query`, and a model holding one parameter of a type
// using `editor`.
struct ControlFixture {
  explicit ControlFixture(const std::string& query) {
    std::map<std::string, std::string> env = {{"REQUEST_METHOD", "GET"},     {"HTTP_HOST", "portal.example"},
                                              {"SCRIPT_NAME", "/tessaro.cgi"}, {"SERVER_PORT", "80"},
                                              {"QUERY_STRING", query}};
    int fds[2];
    if (pipe(fds) != 0) std::abort();
    close(fds[1]);
    request = std::make_unique<TWebRequest>(CgiEnvironment::FromMap(env), fds[0]);
    close(fds[0]);
    response = std::make_unique<TWebResponse>(*request, -1);
    context = MakeContext<ListContext>(request.get(), &options, response.get());
    InstallParamControls();
  }

  // The control of parameter `name` whose type uses `editor`.
  std::string Render(std::string_view editor, const std::string& name, bool applyOnChange = false,
                     const std::string& custom = "", const std::string& expression = "",
                     const std::vector<std::string>& lines = {}) {
    TInetMgrModel model;
    auto type = std::make_unique<TParamTypeDef>();
    type->InstanceID = "{T}";
    type->detParamEditorID = std::string(editor);
    type->HtmlFilterCustom = custom;
    type->HtmlFilterDefaultExpression = expression;
    model.ParamTypeDefs().AddNew(std::move(type));
    auto param = std::make_unique<TParamDef>();
    param->InstanceID = "{P}";
    param->detParamTypeDefID = "{T}";
    param->ParamName = name;
    param->ApplyOnChange = applyOnChange;
    TParamDef* def = model.ParamDefs().AddNew(std::move(param));
    model.LinkAll();
    model.AfterLoadAll();
    TParamTypeDef* linked = def->ParamTypeDef();
    if (linked == nullptr || linked->ParamEditor() == nullptr) throw std::runtime_error("model not linked");
    linked->BindEditor(editor);  // as the definition reader does before the options
    if (auto* options = dynamic_cast<TZNKVisitedStrings*>(linked->EditorOptions()))
      for (const std::string& line : lines) options->Lines.Add(line);
    std::string html;
    linked->ParamEditor()->RenderControl(name, *def, nullptr, html, *context);
    return html;
  }

  TWebAppOptions options;
  std::unique_ptr<TWebRequest> request;
  std::unique_ptr<TWebResponse> response;
  std::unique_ptr<ListContext> context;
};

constexpr const char* kOnChange = " onchange=\"this.form.submit();\" ";

TEST(ParamControls, EachEditorDrawsItsControlFromTheRequestOrTheDefault) {
  const std::string today = DateToStr(Date());
  const std::vector<std::string> choices = {"a=Alfa", "b=Beta <2>"};
  struct Case {
    const char* title;
    std::string_view editor;
    const char* query;
    bool onchange;
    const char* custom;
    const char* expression;
    std::string html;
  };
  const Case cases[] = {
      {"date from the request", kDateEditorID, "d=1.2.2005", false, "", "TODAY",
       "<input type=text name=\"d\" value=\"1.2.2005\" maxlength=\"10\">"},
      {"date from its default", kDateEditorID, "", false, "", "TODAY",
       "<input type=text name=\"d\" value=\"" + today + "\" maxlength=\"10\">"},
      {"date sends its form", kDateEditorID, "", true, "class=f", "",
       std::string("<input type=text name=\"d\" maxlength=\"10\" ") + kOnChange + "class=f>"},
      {"plain text escaped", kPlainEditorID, "d=%3Cb%3E%22x%22", false, "", "",
       "<input type=text name=\"d\" value=\"&lt;b&gt;&quot;x&quot;\">"},
      {"check box 0 is checked", kCheckboxEditorID, "d=0", false, "", "",
       "<input type=checkbox name=\"d\"  value=\"1\" checked>"},
      {"check box without value", kCheckboxEditorID, "", true, "", "",
       std::string("<input type=checkbox name=\"d\" ") + kOnChange + " value=\"1\">"},
      {"fixed choices", kSelectEditorID, "d=B", true, "", "",
       std::string("<select name=\"d\"") + kOnChange + ">\r\n<option value=\"a\">Alfa</option>\r\n" +
           "<option value=\"b\" selected>Beta &lt;2&gt;</option>\r\n</select>"},
      {"fixed choices, the default chosen", kSelectEditorID, "", false, " id=c", "\"a\"",
       "<select name=\"d\" id=c>\r\n<option value=\"a\" selected>Alfa</option>\r\n"
       "<option value=\"b\">Beta &lt;2&gt;</option>\r\n</select>"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.title);
    ControlFixture fixture(c.query);
    EXPECT_EQ(fixture.Render(c.editor, "d", c.onchange, c.custom, c.expression, choices), c.html);
  }
}

TEST(ParamControls, ParameterWithoutTypeOrEditorWithoutRendererThrows) {
  ControlFixture fixture("");
  TParamDef untyped;
  untyped.ParamName = "d";
  EXPECT_THROW(RenderPlainControl("d", untyped, nullptr, *fixture.context), Exception);
  TParamEditor::SetControlRenderer(kPlainEditorID, nullptr);
  EXPECT_THROW(fixture.Render(kPlainEditorID, "d"), Exception);
}

// A SQLite database with a table of options, made the portal's user
// connection.
class SqlSelect : public ::testing::Test {
 protected:
  void SetUp() override {
    db.Exec("CREATE TABLE opt (id VARCHAR(10), name VARCHAR(20), kind VARCHAR(5))");
    db.Exec("INSERT INTO opt VALUES ('b', 'Beta', 'x'), ('a&1', 'A <one>', 'x'), ('c', 'Gamma', 'y')");
    TConnectionManager& manager = T_GlobalSettings::Instance().UserConnection();
    manager.R_ConnectionString = db.ConnectionString();
    manager.CommandTimeout = 30;
  }
  void TearDown() override { T_GlobalSettings::AccessInstance(T_GlobalSettings::kForget); }

  testing::TSqliteTestDatabase db;
};

const char kKindX[] =
    "<option value=\"a&amp;1\">A &lt;one&gt;</option>\r\n<option value=\"b\"%s>Beta</option>\r\n</select>";

std::string KindX(const char* selected) { return ReplaceAll(kKindX, "%s", selected); }

TEST_F(SqlSelect, OptionsComeFromTheQueryEscapedInQueryOrder) {
  ControlFixture fixture("");
  fixture.context->bound = "x";
  const std::string sql = "SELECT id, name FROM %TABLE% WHERE kind = :kind ORDER BY name";
  struct Case {
    const char* selected;
    std::string html;
  };
  const Case cases[] = {
      {"", "<select name=\"s\" class=q>\r\n" + KindX("")},
      {"B", "<select name=\"s\" class=q>\r\n" + KindX(" selected")},
      {"z\"<", "<select name=\"s\" class=q>\r\n<option value=\"z&quot;&lt;\" selected>[vyberte...]</option>\r\n" +
                   KindX("")},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.selected);
    EXPECT_EQ(SqlSelectControl("s", c.selected, sql, false, *fixture.context, nullptr, " class=q"), c.html);
  }
  EXPECT_THROW(SqlSelectControl("s", "", "SELECT id FROM opt", false, *fixture.context, nullptr, ""), Exception);
  EXPECT_THROW(SqlSelectControl("s", "", "SELECT nothing FROM opt", false, *fixture.context, nullptr, ""),
               Exception);
  EXPECT_THROW(SqlSelectControl("s", "", sql, true, *fixture.context, nullptr, ""), Exception);  // no list
}

TEST_F(SqlSelect, LookupTakesItsParametersFromTheListQuery) {
  // The list's query: the first parameter whose name, without type suffix
  // and "..._" prefix, is the lookup's parameter gives its value.
  TOdbcDataSet list;
  for (auto [name, value] : {std::pair{"KIND_X", "y"}, {"F_kind.String", "x"}, {"G_KIND", "y"}}) {
    TParameter p;
    p.Name = name;
    p.DataType = TFieldType::ftString;
    p.Value = TVariant::String(value);
    list.Parameters().Add(p);
  }
  const std::vector<std::string> lookup = {"SELECT id, name FROM %TABLE%", "WHERE kind = :KIND ORDER BY name"};
  {
    ControlFixture fixture("d=b");
    fixture.context->ShowList(&list);
    EXPECT_EQ(fixture.Render(kLookupEditorID, "d", false, " id=l", "", lookup),
              "<select name=\"d\" id=l>\r\n" + KindX(" selected"));
  }
  {
    // A list without a query leaves the parameter null: no record matches.
    TMemoryDataSet memory;
    ControlFixture fixture("d=b");
    fixture.context->ShowList(&memory);
    EXPECT_EQ(fixture.Render(kLookupEditorID, "d", true, "", "", lookup),
              std::string("<select name=\"d\"") + kOnChange +
                  ">\r\n<option value=\"b\" selected>[vyberte...]</option>\r\n</select>");
  }
}

}  // namespace
}  // namespace tessaro
