// Parameter editors: their name, text-entry flag and options class, the
// list of the parameter types that use them, and the process-wide table of
// control renderers that the page layer fills in.
#include "model/param_editor.h"

#include <utility>
#include <vector>

#include "model/param_type_def.h"
#include "util/codepage.h"
#include "util/format.h"

namespace tessaro {
namespace {

// The installed renderers by editor InstanceID; a handful at most.
std::vector<std::pair<std::string, TParamControlRenderer>>& Renderers() {
  static std::vector<std::pair<std::string, TParamControlRenderer>> renderers;
  return renderers;
}

}  // namespace

void TParamEditor::DeclareProperties(TPropertyDeclarations<TParamEditor>& p) {
  p.String("EditorDescr", &TParamEditor::EditorDescr, "")
      .Boolean("PlainFilterText", &TParamEditor::PlainFilterText, false);
}

TParamEditor::TParamEditor() { AddOwnList<TParamTypeDefsList>(); }

TParamTypeDefsList& TParamEditor::ParamTypeDefs() const { return static_cast<TParamTypeDefsList&>(*ListAt(0)); }

std::unique_ptr<TPublishedObject> TParamEditor::CreateOptions() const {
  return OptionsClass != nullptr ? OptionsClass() : nullptr;
}

void TParamEditor::SetControlRenderer(std::string_view editorID, TParamControlRenderer renderer) {
  auto& renderers = Renderers();
  std::erase_if(renderers, [&](const auto& entry) { return entry.first == editorID; });
  if (renderer) renderers.emplace_back(std::string(editorID), std::move(renderer));
}

void TParamEditor::RenderControl(const std::string& baseName, const TParamDef& param, const TUserAccount* account,
                                 std::string& output, tRequestContext& context) const {
  for (const auto& [id, renderer] : Renderers())
    if (id == InstanceID) return renderer(baseName, param, account, output, context);
  throw Exception(Format("Parameter editor \"%s\" has no control", {EditorDescr}));
}

bool TParamEditor::HasControl() const {
  for (const auto& entry : Renderers())
    if (entry.first == InstanceID) return true;
  return false;
}

void TParamEditor::DeleteDependents() { ParamTypeDefs().Clear(); }

std::string TParamEditor::GetColumnText(int column) const { return column == 0 ? EditorDescr : std::string(); }

std::string TParamEditor::GetDefaultName() const { return Cp1250("Nový editor parametru"); }

}  // namespace tessaro
