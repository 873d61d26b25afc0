// The filter controls of parameters: one render function per built-in
// parameter editor (date, lookup, plain text, fixed choices, check box), and
// the select list filled by an SQL query that the lookup and the evidence
// pages' "tag_selectcontrol" share. The model's editors reach the render
// functions through the renderers InstallParamControls gives them.
#pragma once

#include <string>
#include <string_view>

namespace tessaro {

class TParamDef;
class TUserAccount;
class tRequestContext;

// InstanceIDs of the five built-in parameter editors.
inline constexpr std::string_view kDateEditorID = "{4A73EC23-6DAB-41FC-8A39-15099BFBB2A7}";
inline constexpr std::string_view kLookupEditorID = "{A43571D9-5341-4C1F-9E4F-AA182B342A77}";
inline constexpr std::string_view kPlainEditorID = "{FBCD7C44-BF53-41C5-BB45-666E395FAC2D}";
inline constexpr std::string_view kSelectEditorID = "{D6A511EA-0A7C-4FF4-8569-81C34FFC585D}";
inline constexpr std::string_view kCheckboxEditorID = "{2F4AD180-6D62-4329-A7CB-E10E5C5E9CB1}";

// The HTML of the control `name` of the parameter `param`. The initial value
// is the request's value for the name, else the parameter type's default
// expression; `account` (null when nobody is logged in) chooses the catalog
// of the lookup's query. A parameter without a type throws Exception.
std::string RenderDateControl(const std::string& name, const TParamDef& param, const TUserAccount* account,
                              tRequestContext& context);
std::string RenderLookupControl(const std::string& name, const TParamDef& param, const TUserAccount* account,
                                tRequestContext& context);
std::string RenderPlainControl(const std::string& name, const TParamDef& param, const TUserAccount* account,
                               tRequestContext& context);
std::string RenderSelectControl(const std::string& name, const TParamDef& param, const TUserAccount* account,
                                tRequestContext& context);
std::string RenderCheckboxControl(const std::string& name, const TParamDef& param, const TUserAccount* account,
                                  tRequestContext& context);

// A select list whose options are the records of `sql` (first column the
// value, second the text), run on a new read-only connection of the user
// connection settings in the account's catalog. The SQL goes through the
// context's PrepareSQL; its parameters are bound from the parameters of the
// context's table data set (bindFromTable) or by the context's BindParams.
// A `selected` value that no record has is offered first as "[vyberte...]".
// Values and texts from the database are escaped. Database errors, and a
// bindFromTable call on a context without a table, throw.
std::string SqlSelectControl(std::string_view name, std::string_view selected, const std::string& sql,
                             bool bindFromTable, tRequestContext& context, const TUserAccount* account,
                             std::string_view extra);

// Gives each built-in editor its render function (TParamEditor::
// SetControlRenderer). Called once at start, before a filter form is drawn.
void InstallParamControls();

}  // namespace tessaro
