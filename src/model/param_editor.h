// TParamEditor: a kind of filter control for parameters (date entry, lookup
// select, plain text, fixed choices, check box). Editors are never stored:
// every model holds the same five built-in ones, and parameter types name
// theirs by InstanceID.
//
// Declared here with its name and text-entry flag; the control it renders
// and the options it gives its parameter types come with its own behaviour.
#pragma once

#include <string>

#include "model/inet_mgr_base.h"

namespace tessaro {

class TParamTypeDefsList;

class TParamEditor : public TDeclaredElement<TParamEditor, TInetMgrBase> {
 public:
  static constexpr const char* kClassName = "TParamEditor";
  static void DeclareProperties(TPropertyDeclarations<TParamEditor>& p);

  TParamEditor();

  // Own list [0]: the parameter types using this editor.
  TParamTypeDefsList& ParamTypeDefs() const;

  // The parameter types die with their editor.
  void DeleteDependents() override;
  std::string GetDefaultName() const override;

  std::string EditorDescr;       // the editor's name
  bool PlainFilterText = false;  // the control is a free text entry, checked in the browser by data type
};

class TParamEditorsList final : public TInetMgrList<TParamEditor> {
 public:
  using TInetMgrList::TInetMgrList;
};

}  // namespace tessaro
