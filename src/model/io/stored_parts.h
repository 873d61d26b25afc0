// The objects a file stores beside an element's own record: the table
// templates of evidence items and detail pages, and the editor options of
// parameter types. The reader and the writer reach them only through these
// functions, so the element classes decide where the objects live.
#pragma once

#include "settings/published.h"

namespace tessaro {

class TEvidenceItem;
class TEvidenceItemDetailPage;
class TParamTypeDef;

// The class name the files give carriers.
inline constexpr const char* kCarrierClassName = "TCarrier";
// The editor whose options older files store as one text.
inline constexpr const char* kLookupEditorID = "{A43571D9-5341-4C1F-9E4F-AA182B342A77}";

// The list table template (ProducerTemplate) of an item; a reader skips the
// stored object where this gives null.
TPublishedObject* ListTemplateOf(TEvidenceItem& item);
const TPublishedObject* ListTemplateOf(const TEvidenceItem& item);
// The detail list table template (DetailListProducerTemplate) of a page.
TPublishedObject* DetailListTemplateOf(TEvidenceItemDetailPage& page);
const TPublishedObject* DetailListTemplateOf(const TEvidenceItemDetailPage& page);

// Gives the type the options object of the editor its detParamEditorID
// names, and returns it; null for an editor without options.
TPublishedObject* BindEditorOptions(TParamTypeDef& type);
// The type's current options object, or null.
const TPublishedObject* EditorOptionsOf(const TParamTypeDef& type);
// Whether the type's editor stores options, so that a carrier follows the
// type in a file.
bool EditorHasOptions(const TParamTypeDef& type);

}  // namespace tessaro
