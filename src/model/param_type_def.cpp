// Parameter types: their links to the application type and to the editor,
// and whether any parameter still uses them (which deleting one asks).
#include "model/param_type_def.h"

#include "model/application_type.h"
#include "model/inet_mgr_model.h"
#include "model/param_def.h"
#include "model/param_editor.h"
#include "util/codepage.h"

namespace tessaro {

void TParamTypeDef::DeclareProperties(TPropertyDeclarations<TParamTypeDef>& p) {
  p.String("detApplicationTypeID", &TParamTypeDef::detApplicationTypeID, "")
      .String("detParamEditorID", &TParamTypeDef::detParamEditorID, "");
}

TParamTypeDef::TParamTypeDef() { AddOwnList<TParamDefsList>(); }

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

std::string TParamTypeDef::GetDefaultName() const { return Cp1250("Nový typ parametru"); }

}  // namespace tessaro
