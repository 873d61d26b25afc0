// Parameter editors: their name, their text-entry flag and the list of the
// parameter types that use them.
#include "model/param_editor.h"

#include "model/param_type_def.h"
#include "util/codepage.h"

namespace tessaro {

void TParamEditor::DeclareProperties(TPropertyDeclarations<TParamEditor>& p) {
  p.String("EditorDescr", &TParamEditor::EditorDescr, "")
      .Boolean("PlainFilterText", &TParamEditor::PlainFilterText, false);
}

TParamEditor::TParamEditor() { AddOwnList<TParamTypeDefsList>(); }

TParamTypeDefsList& TParamEditor::ParamTypeDefs() const { return static_cast<TParamTypeDefsList&>(*ListAt(0)); }

void TParamEditor::DeleteDependents() { ParamTypeDefs().Clear(); }

std::string TParamEditor::GetDefaultName() const { return Cp1250("Nový editor parametru"); }

}  // namespace tessaro
