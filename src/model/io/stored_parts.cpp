// Where the reader and writer find the objects stored beside an element:
// the table templates and the editor options.
//
// INTERIM: the evidence item, detail page and parameter type classes do not
// yet carry their templates and editor options. Until they do, templates
// are skipped on reading and written empty, and the options of the two
// editors that have them are read and dropped. Replace the bodies below
// with the classes' own members once they exist.
#include "model/io/stored_parts.h"

#include "model/evidence_item.h"
#include "model/evidence_item_detail_page.h"
#include "model/param_type_def.h"
#include "util/text.h"

namespace tessaro {
namespace {

// The editors whose parameter types carry a list of lines as options.
constexpr const char* kComboEditorID = "{D6A511EA-0A7C-4FF4-8569-81C34FFC585D}";

}  // namespace

TPublishedObject* ListTemplateOf(TEvidenceItem&) { return nullptr; }
const TPublishedObject* ListTemplateOf(const TEvidenceItem&) { return nullptr; }
TPublishedObject* DetailListTemplateOf(TEvidenceItemDetailPage&) { return nullptr; }
const TPublishedObject* DetailListTemplateOf(const TEvidenceItemDetailPage&) { return nullptr; }

TPublishedObject* BindEditorOptions(TParamTypeDef&) { return nullptr; }
const TPublishedObject* EditorOptionsOf(const TParamTypeDef&) { return nullptr; }

bool EditorHasOptions(const TParamTypeDef& type) {
  return SameText(type.detParamEditorID, kLookupEditorID) || SameText(type.detParamEditorID, kComboEditorID);
}

}  // namespace tessaro
