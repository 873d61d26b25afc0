#include "pages/image_links.h"

#include "cgi/url_encoding.h"
#include "context/html_helpers.h"
#include "pages/evidence_context.h"
#include "util/html_escape.h"
#include "web/tessaro_options.h"

namespace tessaro {
namespace {

// The address of the portal's action `path` for the request's own scheme.
// The base comes from the request's Host header, so it is escaped with the
// rest of the address where the address is written.
std::string PortalURL(const TTessaroEvidenceContext& context, const std::string TTessaroOptions::*path) {
  const TTessaroOptions* options = context.PortalOptions();
  return context.BaseURL("", false) + (options ? options->*path : std::string());
}

}  // namespace

std::string ImageHTML(const TTessaroEvidenceContext& context, std::string_view record_key, std::string_view field_name,
                      std::string_view extra, int max_width, int max_height, int border, int width, int height,
                      bool is_null) {
  const std::string box = "IMGW=" + std::to_string(max_width) + "&IMGH=" + std::to_string(max_height);
  std::string url;
  if (is_null) {
    url = PortalURL(context, &TTessaroOptions::ImgPath) + "?" + box;
  } else {
    url = PortalURL(context, &TTessaroOptions::ShowImgPath) + "?ID=" + UrlEncodeText(context.ID) +
          "&PID=" + UrlEncodeText(record_key) + "&" + box + "&IMGF=" + UrlEncodeText(field_name);
  }
  return Image(HtmlAttributeEscape(url), HtmlEscape(field_name), extra, width, height, border);
}

std::string EmbedHTML(const TTessaroEvidenceContext& context, std::string_view record_key, std::string_view field_name,
                      std::string_view mime_type, std::string_view extra, int height, int width, bool is_null) {
  if (is_null) return "<p></p>";
  const std::string url = PortalURL(context, &TTessaroOptions::ShowImgPath) + "?ID=" + UrlEncodeText(context.ID) +
                          "&PID=" + UrlEncodeText(record_key) + "&IMGF=" + UrlEncodeText(field_name) +
                          "&TYPE=" + UrlEncodeText(mime_type);
  return Embed(HtmlAttributeEscape(url), extra, width, height, HtmlEscape(mime_type));
}

}  // namespace tessaro
