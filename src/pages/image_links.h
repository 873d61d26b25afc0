// The picture and media-clip cells of record pages: an <img> or <embed>
// whose address asks the picture pages of the portal (ShowImgPath, ImgPath)
// for one stored blob, or for the default picture when the field is null.
//
// Every value that goes into an address (the item, the record key, the field
// name) is percent-encoded; the address and the field name are escaped for
// their attributes. `extra` is the column attribute's own markup and is
// inserted as it is.
#pragma once

#include <string>
#include <string_view>

namespace tessaro {

class TTessaroEvidenceContext;

// An <img> of the field `field_name` of the record `record_key`, scaled by
// the picture page into max_width x max_height (0: no limit). The image is
// the default picture of that box when `is_null`. width and height become
// attributes only when both are non-zero, border only when not negative; the
// alt text is the field name.
std::string ImageHTML(const TTessaroEvidenceContext& context, std::string_view record_key, std::string_view field_name,
                      std::string_view extra, int max_width, int max_height, int border, int width, int height,
                      bool is_null);

// An <embed> of the field's bytes sent as `mime_type`, with the non-zero
// sizes; "<p></p>" when `is_null`.
std::string EmbedHTML(const TTessaroEvidenceContext& context, std::string_view record_key, std::string_view field_name,
                      std::string_view mime_type, std::string_view extra, int height, int width, bool is_null);

}  // namespace tessaro
