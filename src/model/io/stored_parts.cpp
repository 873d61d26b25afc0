// Where the reader and writer find the objects stored beside an element:
// the table templates of evidence items and detail pages, and the editor
// options of parameter types, each owned by its element.
#include "model/io/stored_parts.h"

#include "model/evidence_item.h"
#include "model/evidence_item_detail_page.h"
#include "model/inet_mgr_model.h"
#include "model/param_editor.h"
#include "model/param_type_def.h"

namespace tessaro {

TPublishedObject* ListTemplateOf(TEvidenceItem& item) { return &item.ProducerTemplate(); }
const TPublishedObject* ListTemplateOf(const TEvidenceItem& item) { return &item.ProducerTemplate(); }
TPublishedObject* DetailListTemplateOf(TEvidenceItemDetailPage& page) { return &page.DetailListProducerTemplate(); }
const TPublishedObject* DetailListTemplateOf(const TEvidenceItemDetailPage& page) {
  return &page.DetailListProducerTemplate();
}

TPublishedObject* BindEditorOptions(TParamTypeDef& type) {
  type.BindEditor(type.detParamEditorID);
  return type.EditorOptions();
}

const TPublishedObject* EditorOptionsOf(const TParamTypeDef& type) { return type.EditorOptions(); }

// Decided by the editor the type names, so that a type whose options were
// never bound still gets the carrier its editor calls for.
bool EditorHasOptions(const TParamTypeDef& type) {
  if (type.EditorOptions() != nullptr) return true;
  const auto* model = dynamic_cast<const TInetMgrModel*>(type.GetModel());
  if (model == nullptr) return false;
  const auto* editor = static_cast<const TParamEditor*>(model->ParamEditors().FindByInstanceID(type.detParamEditorID));
  return editor != nullptr && editor->OptionsClass != nullptr;
}

}  // namespace tessaro
