// The filter controls of parameters and the SQL-filled select list. Values
// shown in a control come from the request, a default expression or the
// database and are escaped by the HTML builders; the parameter's name, the
// type's extra attributes and the fixed choices are the administrator's
// metadata and are written as they are.
#include "context/param_controls.h"

#include <vector>

#include "context/html_helpers.h"
#include "context/request_context.h"
#include "db/database_error.h"
#include "db/odbc_connection.h"
#include "db/odbc_dataset.h"
#include "db/param_binding.h"
#include "model/editor_options.h"
#include "model/global_settings.h"
#include "model/param_def.h"
#include "model/param_editor.h"
#include "model/param_type_def.h"
#include "model/user_account.h"
#include "util/exception.h"
#include "util/format.h"
#include "util/text.h"

namespace tessaro {
namespace {

// What every control of a parameter starts from: its type, the extra
// attributes of its tag and its initial value.
struct TControlSetup {
  const TParamTypeDef* type;
  std::string extra;
  std::string value;
};

TControlSetup SetUp(const std::string& name, const TParamDef& param, tRequestContext& context) {
  const TParamTypeDef* type = param.ParamTypeDef();
  if (type == nullptr) throw Exception(Format("Parameter \"%s\" has no parameter type", {param.ParamName}));
  std::string extra = param.ApplyOnChange ? " onchange=\"this.form.submit();\" " : "";
  extra += type->HtmlFilterCustom;
  return {type, std::move(extra), type->DefaultValueText(name, context.RequestFields())};
}

// The lines of the type's editor options; null when its editor has none.
const TStrings* EditorLines(const TParamTypeDef& type) {
  const auto* options = dynamic_cast<const TZNKVisitedStrings*>(type.EditorOptions());
  return options != nullptr ? &options->Lines : nullptr;
}

// The name a parameter of the list's query is matched by: its name without
// the type suffix, and without the prefix up to the first "_".
std::string_view TableParamKey(std::string_view name) {
  name = name.substr(0, name.find('.'));
  if (size_t underscore = name.find('_'); underscore != std::string_view::npos) name.remove_prefix(underscore + 1);
  return name;
}

// Copies to each parameter of `params` type and value of the first parameter
// of the list's query that has its name.
void BindFromTable(TParameters& params, tRequestContext& context) {
  IRequestTableContext* table = context.TableContext();
  if (table == nullptr) throw Exception("The lookup of a filter needs a page with a record list");
  auto* source = dynamic_cast<TOdbcDataSet*>(table->GetDataSet());
  if (source == nullptr) return;  // a list without a query has no parameters to give
  for (TParameter& target : params) {
    for (const TParameter& candidate : source->Parameters()) {
      if (SameText(TableParamKey(candidate.Name), target.Name)) {
        target.DataType = candidate.DataType;
        target.Value = candidate.Value;
        break;
      }
    }
  }
}

}  // namespace

std::string RenderDateControl(const std::string& name, const TParamDef& param, const TUserAccount*,
                              tRequestContext& context) {
  TControlSetup setup = SetUp(name, param, context);
  return TextInput(name, setup.value, -1, 10, setup.extra);
}

std::string RenderPlainControl(const std::string& name, const TParamDef& param, const TUserAccount*,
                               tRequestContext& context) {
  TControlSetup setup = SetUp(name, param, context);
  return TextInput(name, setup.value, -1, -1, setup.extra);
}

std::string RenderCheckboxControl(const std::string& name, const TParamDef& param, const TUserAccount*,
                                  tRequestContext& context) {
  TControlSetup setup = SetUp(name, param, context);
  return CheckBox(name, "1", "", !setup.value.empty(), setup.extra);
}

std::string RenderSelectControl(const std::string& name, const TParamDef& param, const TUserAccount*,
                                tRequestContext& context) {
  TControlSetup setup = SetUp(name, param, context);
  const TStrings* choices = EditorLines(*setup.type);
  return choices != nullptr ? Select(name, *choices, setup.value, setup.extra) : std::string();
}

std::string RenderLookupControl(const std::string& name, const TParamDef& param, const TUserAccount* account,
                                tRequestContext& context) {
  TControlSetup setup = SetUp(name, param, context);
  const TStrings* lines = EditorLines(*setup.type);
  return SqlSelectControl(name, setup.value, lines != nullptr ? lines->Text() : std::string(), true, context,
                          account, setup.extra);
}

std::string SqlSelectControl(std::string_view name, std::string_view selected, const std::string& sql,
                             bool bindFromTable, tRequestContext& context, const TUserAccount* account,
                             std::string_view extra) {
  std::unique_ptr<TOdbcConnection> connection = T_GlobalSettings::Instance().UserConnection().GetConnection(
      true, account != nullptr ? account->CatalogName : std::string());
  if (!connection) throw EDatabaseError("No read-only database connection is configured");
  connection->Open();

  TOdbcDataSet query(connection.get());
  query.SetCommandTimeout(connection->CommandTimeout());
  query.SetCursorLocation(clUseServer);
  query.SetCursorType(ctOpenForwardOnly);
  query.SetParamCheck(true);
  query.SetCommandText(context.PrepareSQL(sql));
  if (query.Parameters().Count() > 0) {
    if (bindFromTable)
      BindFromTable(query.Parameters(), context);
    else
      context.BindParams(query.Parameters());
  }

  query.Open();
  if (query.FieldCount() < 2)
    throw EDatabaseError(Format("The query of a select list gives %d column(s); it needs a value and a text",
                                {query.FieldCount()}));
  std::vector<TSelectOption> options;
  bool found = false;
  for (; !query.Eof(); query.Next()) {
    TSelectOption option{query.Field(0)->AsString(), query.Field(1)->AsString()};
    found = found || SameText(option.value, selected);
    options.push_back(std::move(option));
  }
  query.Close();
  if (!selected.empty() && !found) options.insert(options.begin(), {std::string(selected), "[vyberte...]"});
  return Select(name, options, selected, extra);
}

void InstallParamControls() {
  using TRender = std::string (*)(const std::string&, const TParamDef&, const TUserAccount*, tRequestContext&);
  struct TEntry {
    std::string_view id;
    TRender render;
  };
  static constexpr TEntry kControls[] = {
      {kDateEditorID, &RenderDateControl},     {kLookupEditorID, &RenderLookupControl},
      {kPlainEditorID, &RenderPlainControl},   {kSelectEditorID, &RenderSelectControl},
      {kCheckboxEditorID, &RenderCheckboxControl},
  };
  for (const TEntry& entry : kControls)
    TParamEditor::SetControlRenderer(
        entry.id, [render = entry.render](const std::string& name, const TParamDef& param,
                                          const TUserAccount* account, std::string& output,
                                          tRequestContext& context) { output += render(name, param, account, context); });
}

}  // namespace tessaro
