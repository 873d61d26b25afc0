// What the picture and list pages send other than HTML: the MIME types of
// media clips by file extension, a stored picture (or a default picture
// file) scaled into a box and sent as JPEG, and a field's bytes sent as they
// are.
#pragma once

#include <string>
#include <string_view>

#include "context/rgb_image.h"
#include "db/dataset.h"

namespace tessaro {

class TWebResponse;

// The MIME type of a media clip by its file extension (without the dot, any
// letter case); false and an empty type for an extension not in the table.
bool MimeTypeOf(std::string_view extension, std::string& type);

// `image` fitted into (width, height) (see FitIntoBox; 0 does not limit) as
// the JPEG body of the response, with the content type "image/jpeg". A null
// image gives an empty body with that type.
void SendJpeg(const TRgbImage* image, int width, int height, TWebResponse& response);

// The picture stored in `field`, or when there is none (a null field, or
// bytes in no format a decoder reads) the JPEG file `default_file` when it
// exists, fitted into (width, height) and sent by SendJpeg.
void SendFieldImage(const TField* field, int width, int height, const std::string& default_file,
                    TWebResponse& response);

// The field's bytes as the response body with the content type
// `content_type`; without a field an empty body, and the type is not set.
void SendBlob(const TField* field, TWebResponse& response, std::string_view content_type);

}  // namespace tessaro
