// TParamTypeDef: a reusable parameter type of an application type. It gives
// its parameters a data type for checking the entry, puts them into the
// filter form or not, names their filter control (its parameter editor),
// and computes the control's initial value from an expression.
//
// The editor decides which options object the type carries (EditorOptions:
// the lookup SQL or the fixed choices); in the definition file the options
// follow the type's own object, which is why a reader binds the editor
// (BindEditor) before it reads them.
#pragma once

#include <memory>
#include <span>
#include <string>
#include <string_view>

#include "db/dataset.h"
#include "model/inet_mgr_base.h"
#include "util/string_list.h"

namespace tessaro {

class TParamDefsList;
class TParamEditor;

class TParamTypeDef : public TDeclaredElement<TParamTypeDef, TInetMgrBase> {
 public:
  static constexpr const char* kClassName = "TParamTypeDef";
  static void DeclareProperties(TPropertyDeclarations<TParamTypeDef>& p);

  TParamTypeDef();
  ~TParamTypeDef() override;

  // Own list [0]: the parameters of this type.
  TParamDefsList& ParamDefs() const;
  // The type's editor, or null. Throws Exception (multiple referrers) when
  // several editors list the type.
  TParamEditor* ParamEditor() const;
  // Whether a parameter definition of the model has this type.
  bool IsUsed() const;

  // The options object of the current editor (TZNKVisitedStrings for the
  // lookup and combo-box editors), owned by the type; null for editors
  // without options and before an editor is bound.
  TPublishedObject* EditorOptions() const { return editor_options_.get(); }
  // SetEditor with the editor of the model whose InstanceID is `editorID`
  // (letter case included); null when there is no model or no such editor.
  void BindEditor(std::string_view editorID);
  // Gives the type the options object of `editor` (none for null or an
  // editor without options). Options of the same class stay as they are,
  // content included; others are replaced.
  void SetEditor(const TParamEditor* editor);
  // The initial value of the control of the parameter `name`: its non-empty
  // value in `requestValues` (name=value lines); else the value of
  // HtmlFilterDefaultExpression: empty when that is blank or its evaluation
  // fails, is null or empty, a date in the short date format, else its text.
  // Throws ExpressionError when the expression does not compile.
  std::string DefaultValueText(std::string_view name, const TStrings& requestValues) const;

  // Keeps the det...ID fields in step with the links; an editor attached or
  // detached also changes the options (SetEditor).
  void ReferrerChanged(T_V_DataElement* referrer, bool detached) override;
  // 0 ParamTypeName.
  std::string GetColumnText(int column) const override;
  std::string GetDefaultName() const override;

  std::string detApplicationTypeID;                  // InstanceID of the owning application type
  std::string detParamEditorID;                      // InstanceID of the parameter editor
  std::string HtmlFilterCustom;                      // extra attributes of the control's HTML tag
  std::string HtmlFilterDefaultExpression;           // expression giving the initial value
  bool IsHtmlFilterParam = false;                    // parameters of the type appear in the filter form
  TFieldType ParamDataType = TFieldType::ftUnknown;  // data type for checking the entry; always stored
  std::string ParamTypeName;                         // name of the type

 protected:
  std::span<const TStoredReference> StoredReferences() const override;

 private:
  std::unique_ptr<TPublishedObject> editor_options_;  // the editor's options; null without
};

class TParamTypeDefsList final : public TInetMgrList<TParamTypeDef> {
 public:
  using TInetMgrList::TInetMgrList;
};

}  // namespace tessaro
