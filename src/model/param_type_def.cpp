// Parameter types: their stored properties, their links to the application
// type and the editor, the editor's options they carry, whether any
// parameter still uses them (which deleting one asks), and the initial value
// of their controls.
#include "model/param_type_def.h"

#include <typeinfo>

#include "expr/inet_expression.h"
#include "model/application_type.h"
#include "model/field_type_property.h"
#include "model/inet_mgr_model.h"
#include "model/param_def.h"
#include "model/param_editor.h"
#include "util/codepage.h"

namespace tessaro {

void TParamTypeDef::DeclareProperties(TPropertyDeclarations<TParamTypeDef>& p) {
  using T = TParamTypeDef;
  p.String("detApplicationTypeID", &T::detApplicationTypeID, "")
      .String("detParamEditorID", &T::detParamEditorID, "")
      .String("HtmlFilterCustom", &T::HtmlFilterCustom, "")
      .String("HtmlFilterDefaultExpression", &T::HtmlFilterDefaultExpression, "")
      .Boolean("IsHtmlFilterParam", &T::IsHtmlFilterParam, false)
      .Enumeration("ParamDataType", &T::ParamDataType, FieldTypeValueNames())
      .String("ParamTypeName", &T::ParamTypeName, "");
}

TParamTypeDef::TParamTypeDef() { AddOwnList<TParamDefsList>(); }

TParamTypeDef::~TParamTypeDef() = default;

std::span<const TInetMgrBase::TStoredReference> TParamTypeDef::StoredReferences() const {
  static constexpr TStoredReference kReferences[] = {
      StoredReference(&TApplicationType::StaticClass, &TParamTypeDef::detApplicationTypeID),
      StoredReference(&TParamEditor::StaticClass, &TParamTypeDef::detParamEditorID)};
  return kReferences;
}

TParamDefsList& TParamTypeDef::ParamDefs() const { return static_cast<TParamDefsList&>(*ListAt(0)); }

TParamEditor* TParamTypeDef::ParamEditor() const { return OptionalReferrer<TParamEditor>(); }

bool TParamTypeDef::IsUsed() const {
  const TInetMgrModel* model = InetModel();
  if (model == nullptr) return false;
  return model->ParamDefs().FirstThat([this](const T_V_DataElement* item) {
    return static_cast<const TParamDef*>(item)->ParamTypeDef() == this;
  }) != nullptr;
}

void TParamTypeDef::BindEditor(std::string_view editorID) {
  const TInetMgrModel* model = InetModel();
  const TParamEditor* editor =
      model != nullptr ? static_cast<const TParamEditor*>(model->ParamEditors().FindByInstanceID(editorID)) : nullptr;
  SetEditor(editor);
}

void TParamTypeDef::SetEditor(const TParamEditor* editor) {
  std::unique_ptr<TPublishedObject> options = editor != nullptr ? editor->CreateOptions() : nullptr;
  if (options != nullptr && editor_options_ != nullptr && typeid(*options) == typeid(*editor_options_)) return;
  editor_options_ = std::move(options);
}

std::string TParamTypeDef::DefaultValueText(std::string_view name, const TStrings& requestValues) const {
  return ParameterDefaultText(name, requestValues, HtmlFilterDefaultExpression);
}

void TParamTypeDef::ReferrerChanged(T_V_DataElement* referrer, bool detached) {
  TInetMgrBase::ReferrerChanged(referrer, detached);
  if (auto* editor = dynamic_cast<TParamEditor*>(referrer)) SetEditor(detached ? nullptr : editor);
}

std::string TParamTypeDef::GetColumnText(int column) const { return column == 0 ? ParamTypeName : std::string(); }

std::string TParamTypeDef::GetDefaultName() const { return Cp1250("Nový typ parametru"); }

}  // namespace tessaro
