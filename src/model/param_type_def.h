// TParamTypeDef: a reusable parameter type of an application type; it
// chooses the filter control (its parameter editor) of the parameters that
// use it.
//
// Declared here with its identity, its two links and its list of
// parameters; its data type, filter settings and editor options come with
// its own behaviour.
#pragma once

#include <span>
#include <string>

#include "model/inet_mgr_base.h"

namespace tessaro {

class TParamDefsList;
class TParamEditor;

class TParamTypeDef : public TDeclaredElement<TParamTypeDef, TInetMgrBase> {
 public:
  static constexpr const char* kClassName = "TParamTypeDef";
  static void DeclareProperties(TPropertyDeclarations<TParamTypeDef>& p);

  TParamTypeDef();

  // Own list [0]: the parameters of this type.
  TParamDefsList& ParamDefs() const;
  // The type's editor, or null. Throws Exception (multiple referrers) when
  // several editors list the type.
  TParamEditor* ParamEditor() const;
  // Whether a parameter definition of the model has this type.
  bool IsUsed() const;
  std::string GetDefaultName() const override;

  std::string detApplicationTypeID;  // InstanceID of the owning application type
  std::string detParamEditorID;      // InstanceID of the parameter editor

 protected:
  std::span<const TStoredReference> StoredReferences() const override;
};

class TParamTypeDefsList final : public TInetMgrList<TParamTypeDef> {
 public:
  using TInetMgrList::TInetMgrList;
};

}  // namespace tessaro
