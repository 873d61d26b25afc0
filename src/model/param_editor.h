// TParamEditor: a kind of filter control for parameters (date entry, lookup
// select, plain text, fixed choices, check box). Editors are never stored:
// every model holds the same five built-in ones, and parameter types name
// theirs by InstanceID. An editor decides which options object its
// parameter types carry, and writes the HTML control of a parameter.
//
// The controls themselves are drawn by the page layer, which the model does
// not know; the page layer installs one control renderer per built-in
// editor (SetControlRenderer) before any request renders a filter form.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "model/editor_options.h"
#include "model/inet_mgr_base.h"

namespace tessaro {

class TParamDef;
class TParamTypeDefsList;
class TUserAccount;
class tRequestContext;

// Writes the HTML control of the parameter `param` (base name `baseName`)
// for `account` (null when nobody is logged in) into `output`.
using TParamControlRenderer =
    std::function<void(const std::string& baseName, const TParamDef& param, const TUserAccount* account,
                       std::string& output, tRequestContext& context)>;

class TParamEditor : public TDeclaredElement<TParamEditor, TInetMgrBase> {
 public:
  static constexpr const char* kClassName = "TParamEditor";
  static void DeclareProperties(TPropertyDeclarations<TParamEditor>& p);

  TParamEditor();

  // Own list [0]: the parameter types using this editor.
  TParamTypeDefsList& ParamTypeDefs() const;

  // A new options object of OptionsClass, owned by the caller; null for an
  // editor without options.
  std::unique_ptr<TPublishedObject> CreateOptions() const;
  // Writes the parameter's control with the renderer installed for this
  // editor's InstanceID. Throws Exception when none is installed.
  void RenderControl(const std::string& baseName, const TParamDef& param, const TUserAccount* account,
                     std::string& output, tRequestContext& context) const;
  // Whether a renderer is installed for this editor.
  bool HasControl() const;
  // Installs the renderer of the editor `editorID` for the whole process;
  // an empty function removes it.
  static void SetControlRenderer(std::string_view editorID, TParamControlRenderer renderer);

  // The parameter types die with their editor.
  void DeleteDependents() override;
  // 0 EditorDescr.
  std::string GetColumnText(int column) const override;
  std::string GetDefaultName() const override;

  std::string EditorDescr;                 // the editor's name
  bool PlainFilterText = false;            // the control is a free text entry, checked in the browser by data type
  TOptionsFactory OptionsClass = nullptr;  // makes the options of its parameter types; null: none
};

class TParamEditorsList final : public TInetMgrList<TParamEditor> {
 public:
  using TInetMgrList::TInetMgrList;
};

}  // namespace tessaro
