#include "pages/image_context.h"

#include "cgi/web_response.h"
#include "context/media_writers.h"
#include "context/request_urls.h"
#include "context/security_code_picture.h"
#include "util/datetime.h"
#include "util/format.h"
#include "web/tessaro_options.h"

namespace tessaro {

void TTessaroImageContext::DeclareProperties(TPropertyDeclarations<TTessaroImageContext>& p) {
  p.Integer("IMGW", &TTessaroImageContext::IMGW)
      .Integer("IMGH", &TTessaroImageContext::IMGH)
      .Integer("IMGType", &TTessaroImageContext::IMGType);
}

std::string TTessaroImageContext::SecurityCodeText() const {
  return Format("%d", {SessionCode(static_cast<int32_t>(Date()))});
}

void TTessaroImageContext::SendPicture() {
  TWebResponse& response = *Response();
  switch (IMGType) {
    case 0: {
      const TTessaroOptions* options = PortalOptions();
      const std::string file = options && !options->default_jpeg_image.empty()
                                   ? ResolveTemplatePath(*options, options->default_jpeg_image)
                                   : std::string();
      SendFieldImage(nullptr, IMGW, IMGH, file, response);
      break;
    }
    case 1: {
      // A fresh random layout each time: the picture must never be served
      // from a cache, where it would outlive its day and its session.
      TRgbImage picture = DrawSecurityCodePicture(SecurityCodeText());
      response.SetCustomHeader("Cache-Control", "no-store");
      SendJpeg(&picture, IMGW, IMGH, response);
      break;
    }
    default:
      response.SetContent(std::string());
      break;
  }
}

}  // namespace tessaro
