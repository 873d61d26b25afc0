// The HTML fragments of the portal's pages, each built from one fixed format
// so that pages and tests see exactly the same markup every time.
//
// The page navigator of a record list is a form plus four links. The links and
// the form carry the request's own fields (a filter, the evidence item ...)
// back to the same page, together with the page length ("rows") and the first
// record to show ("item_no"), so paging keeps everything else the visitor
// chose. Field names and values come from the visitor: in the form they are
// HTML-escaped attribute values; in the links each is first percent-encoded
// (as UTF-8, the form the request decoder expects), so a "&", "%", "+" or "#"
// in a filter value travels as data instead of splitting the query or making
// it undecodable.
#include "context/html_helpers.h"

#include <algorithm>

#include "cgi/url_encoding.h"
#include "db/field_types.h"
#include "util/codepage.h"
#include "util/format.h"
#include "util/module_path.h"
#include "util/quoting.h"
#include "util/text.h"

namespace tessaro {

std::string FieldHtml(const TField* field, bool blanks_as_nbsp, bool breaks_as_br) {
  if (field == nullptr || field->IsNull()) return "";
  return HtmlEscape(field->AsString(), blanks_as_nbsp, breaks_as_br);
}

std::string FieldDisplayHtml(const TField* field, int mode) {
  if (field == nullptr || field->IsNull()) return "";
  if (mode == 1) return field->DisplayText();
  std::string html = HtmlEscape(field->DisplayText(), mode == 0, mode == 0);
  // A hyphen before a number is easily lost in a narrow cell; the minus sign is not.
  if (IsNumericFieldType(field->DataType()) && !html.empty() && html[0] == '-') html.replace(0, 1, "&minus;");
  return html;
}

std::string TextInput(std::string_view name, std::string_view value, int size, int max_length, std::string_view extra) {
  std::string input = Format("input type=text name=\"%s\"", {name});
  if (!value.empty()) input += " " + Format("value=\"%s\"", {HtmlEscape(value)});
  if (size >= 0) input += Format(" size=\"%d\"", {size});
  if (max_length >= 0) input += Format(" maxlength=\"%d\"", {max_length});
  if (!extra.empty()) {
    input += " ";
    input += extra;
  }
  return Format("<%s>", {input});
}

std::string CheckBox(std::string_view name, std::string_view value, std::string_view label, bool checked,
                     std::string_view extra) {
  return Format("<input type=checkbox name=\"%s\" %s value=\"%s\"%s>%s",
                {name, extra, value, checked ? " checked" : "", HtmlEscape(label)});
}

std::string Select(std::string_view name, const TStrings& options, std::string_view selected, std::string_view extra) {
  std::string html = Format("<select name=\"%s\"%s>", {name, extra}) + "\r\n";
  for (size_t i = 0; i < options.Count(); ++i) {
    std::string value = options.Names(i);
    html += Format("<option value=\"%s\"%s>%s</option>",
                   {value, SameText(value, selected) ? " selected" : "", HtmlEscape(options.ValueFromIndex(i))});
    html += "\r\n";
  }
  html += "</select>";
  return html;
}

std::string Select(std::string_view name, std::span<const TSelectOption> options, std::string_view selected,
                   std::string_view extra) {
  std::string html = Format("<select name=\"%s\"%s>", {name, extra}) + "\r\n";
  for (const TSelectOption& option : options) {
    html += Format("<option value=\"%s\"%s>%s</option>",
                   {HtmlEscape(option.value), SameText(option.value, selected) ? " selected" : "",
                    HtmlEscape(option.text)});
    html += "\r\n";
  }
  html += "</select>";
  return html;
}

std::string Hidden(std::string_view name, std::string_view value) {
  return Format("<input type=hidden name=\"%s\" value=\"%s\">", {HtmlEscape(name), HtmlEscape(value)});
}

std::string Link(std::string_view url, std::string_view text, std::string_view target, std::string_view extra) {
  // The extra attributes are slipped in after the address by closing its
  // quote early; a final quote of extra is dropped because the format's own
  // closing quote takes its place.
  std::string href(url);
  if (!extra.empty()) {
    href += "\" " + Trim(extra);
    if (href.back() == '"') href.pop_back();
  }
  if (!target.empty()) {
    href += "\" target=\"";
    href += target;
  }
  return Format("<A HREF=\"%s\">%s</A>", {href, text});
}

std::string Image(std::string_view src, std::string_view alt, std::string_view extra, int width, int height,
                  int border) {
  std::string border_part = border >= 0 ? Format("border=\"%d\" ", {border}) : "";
  std::string alt_part = !alt.empty() ? Format("alt=\"%s\" ", {alt}) : "";
  std::string extra_part = !extra.empty() ? " " + std::string(extra) : "";
  if (width != 0 && height != 0)
    return Format("<img src=\"%s\" %s%s%s width=\"%d\" height=\"%d\">",
                  {src, alt_part, border_part, extra_part, width, height});
  return Format("<img src=\"%s\" %s%s%s>", {src, alt_part, border_part, extra_part});
}

std::string Embed(std::string_view src, std::string_view extra, int width, int height, std::string_view type) {
  std::string type_part = !type.empty() ? Format("type=\"%s\" ", {type}) : "";
  std::string extra_part = !extra.empty() ? " " + std::string(extra) : "";
  if (width != 0 && height != 0)
    return Format("<embed src=\"%s\" autostart=false play=false %s%s width=\"%d\" height=\"%d\"/>",
                  {src, type_part, extra_part, width, height});
  if (width != 0)
    return Format("<embed src=\"%s\" autostart=false play=false %s%s width=\"%d\"/>",
                  {src, type_part, extra_part, width});
  if (height != 0)
    return Format("<embed src=\"%s\" autostart=false play=false %s%s height=\"%d\"/>",
                  {src, type_part, extra_part, height});
  return Format("<embed src=\"%s\" autostart=false play=false %s%s/>", {src, type_part, extra_part});
}

bool IsImageFile(std::string_view file_name) {
  static constexpr std::string_view kImageExtensions =
      ".bmp.gif.jpg.jpeg.jpe.pict.png.svg.tif.rf.rp.ico.art.pntg.qtif.sgi.targa.xbm.psd.pnm.pbm.pgm.ppm.rgb.xbm.xpm."
      "xwd.";
  // The extension starts at the last dot of the last path element.
  size_t dot = file_name.find_last_of("./\\:");
  std::string extension;
  if (dot != std::string_view::npos && file_name[dot] == '.') extension = LowerCase(file_name.substr(dot));
  return kImageExtensions.find(extension + ".") != std::string_view::npos;
}

std::string HtmlHead(std::string_view title, bool english, std::string_view extra) {
  return Format(
      "<HEAD><meta http-equiv=\"Content-Language\" content=\"%s\">\r\n"
      "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=%s\"><TITLE>%s</TITLE> %s </HEAD>",
      {english ? "en-us" : "cs", english ? "iso-8859-1" : "windows-1250", title, extra});
}

std::string SimplePage(std::string_view title, std::string_view message, bool english) {
  std::string page = "<HTML>";
  page += HtmlHead(title, english, "");
  page += "<BODY><P>";
  page += message;
  page += "</BODY></HTML>";
  return page;
}

std::string InvalidRequestPage(bool czech) {
  static const std::string kMessage = Cp1250("Neplatný požadavek");
  return czech ? SimplePage("Chyba", kMessage, false) : SimplePage("Error", "Invalid request", true);
}

std::string ErrorMessageHtml(std::string_view message) { return HtmlEscape(WithoutModuleDir(message)); }

std::string ErrorPage(bool czech, std::string_view message) {
  return SimplePage(czech ? "Chyba" : "Error", ErrorMessageHtml(message), !czech);
}

namespace {

struct FrameAttributes {
  std::string width = "90%";
  std::string align = "center";
  std::string border = "1";
  std::string bordercolor;  // the whole "bordercolor=..." part, or empty
  std::string iborder = "1";
  std::string ibordercolor = "#FFFFFF";
};

// How each tag parameter of the frame fills its attribute: the text before
// the value, the value (unquoted or as is), and the text after it.
struct FrameParameter {
  const char* name;
  std::string FrameAttributes::*attribute;
  const char* prefix;
  bool unquote;
  const char* suffix;
};

constexpr FrameParameter kFrameParameters[] = {
    {"WIDTH", &FrameAttributes::width, "", true, "%"},
    {"ALIGN", &FrameAttributes::align, "", true, ""},
    {"BORDER", &FrameAttributes::border, "", true, ""},
    {"BORDERCOLOR", &FrameAttributes::bordercolor, "bordercolor=", false, ""},
    {"IBORDER", &FrameAttributes::iborder, "", true, ""},
    {"IBORDERCOLOR", &FrameAttributes::ibordercolor, "", true, ""},
};

}  // namespace

std::string TableFrame(std::string_view content, const TStrings& params) {
  FrameAttributes frame;
  if (!params.Empty()) {
    for (const auto& p : kFrameParameters) {
      std::string value = params.Values(p.name);
      if (value.empty()) continue;
      frame.*p.attribute = p.prefix + (p.unquote ? UnquoteOnce(value) : value) + p.suffix;
    }
  }
  std::string html = Format(
      "<table align=\"%s\" border=\"%s\" %s cellpadding=\"%s\" cellspacing=\"0\" width=\"%s\" bgcolor=\"%s\">\r\n"
      "<tr><td>\r\n"
      "<table border=\"0\" cellpadding=\"4\" cellspacing=\"0\" width=\"%s\">",
      {frame.align, frame.border, frame.bordercolor, frame.iborder, frame.width, frame.ibordercolor, "100%"});
  html += content;
  html += "</table></td></tr></table>\r\n";
  return html;
}

namespace {

constexpr const char* kRowsKey = "rows";
constexpr const char* kItemNoKey = "item_no";

// Request fields the navigator sets itself or that must not repeat: the
// paging keys, the result of an action, and buttons (named btn_...).
bool IsCarriedField(std::string_view name, std::string_view value) {
  static constexpr std::string_view kNotCarried[] = {"rows", "item_no", "page_no", "actionresult"};
  if (value.empty()) return false;
  for (std::string_view key : kNotCarried)
    if (SameText(name, key)) return false;
  return !StartsText("btn_", name);
}

// One name=value item of a link's query, safe both as query data and inside
// the double-quoted HREF.
std::string QueryItem(std::string_view name, std::string_view value) {
  return HtmlEscape(UrlEncodeText(name)) + "=" + HtmlEscape(UrlEncodeText(value));
}

std::string NavigatorRow(long long count, long long first, long long last, const std::string links[4]) {
  static const std::string kFormat = Cp1250(
      "<tr>\r\n"
      "<td width=\"50%%\" CLASS=navigator>Nalezeno %d položek. Položky %d až %d jsou zobrazeny.</td>\r\n"
      "<td width=\"5%%\" CLASS=navigator>%s</td>\r\n"
      "<td width=\"5%%\" CLASS=navigator>%s</td>\r\n"
      "<td width=\"5%%\" CLASS=navigator>%s</td>\r\n"
      "<td width=\"5%%\" CLASS=navigator>%s</td>\r\n"
      "<td align=\"right\" width=\"10%%\" CLASS=navigator>Položka č.</td>\r\n"
      "<td width=\"10%%\" CLASS=navigator><input type=\"text\" size=\"8\" name=\"%s\"></td>\r\n"
      "<td width=\"10%%\" CLASS=navigator><input type=\"submit\" name=\".button\"\r\n"
      "value=\"jdi na\"></td>\r\n"
      "</tr>\r\n");
  return Format(kFormat, {count, first, last, links[0], links[1], links[2], links[3], kItemNoKey});
}

}  // namespace

TNavigatorParts NavigatorParts(std::string_view url, const TStrings& fields, int rows, int first, int count,
                               const std::string_view (&texts)[4]) {
  TNavigatorParts parts;
  std::string query;
  for (size_t i = 0; i < fields.Count(); ++i) {
    std::string name = fields.Names(i);
    std::string value = fields.ValueFromIndex(i);
    if (!IsCarriedField(name, value)) continue;
    parts.hidden += Hidden(name, value) + "\r\n";
    if (!query.empty()) query += "&";
    query += QueryItem(name, value);
  }

  // 64-bit arithmetic: first + rows may pass the 32-bit range.
  const long long n_first = first, n_rows = std::max(rows, 1), n_count = count;
  parts.last = std::min(n_first + n_rows - 1, n_count);
  // The query is data, never a format: it holds percent signs of its own.
  parts.page_url = HtmlEscape(url);
  const std::string link_base = parts.page_url + "?" + (query.empty() ? "" : query + "&");
  auto link_to = [&](long long item, std::string_view text) {
    return Link(link_base + Format("%s=%d&%s=%d", {kRowsKey, n_rows, kItemNoKey, item}), text, "", "");
  };
  if (n_first > 1) {
    parts.links[0] = link_to(1, texts[0]);
    parts.links[1] = link_to(std::max(n_first - n_rows, 1LL), texts[1]);
  }
  if (parts.last < n_count) {
    parts.links[2] = link_to(parts.last + 1, texts[2]);
    parts.links[3] = link_to((n_count - 1) / n_rows * n_rows + 1, texts[3]);
  }
  return parts;
}

std::string Navigator(std::string_view url, const TStrings& fields, int rows, const TStrings& params, int first,
                      int count) {
  if (count <= 0 || rows <= 0) return "";  // nothing to page through, or no page length to page by
  static const std::string kTexts[] = {Cp1250("první"), Cp1250("předchozí"), Cp1250("další"), Cp1250("poslední")};
  const std::string_view texts[4] = {kTexts[0], kTexts[1], kTexts[2], kTexts[3]};
  const TNavigatorParts parts = NavigatorParts(url, fields, rows, first, count, texts);
  std::string html = Format(
      "<form action=\"%s\" method=\"get\" name=\"frm_goto\">\r\n%s\r\n"
      "<input type=hidden name=\"%s\" value=\"%d\">\r\n",
      {parts.page_url, parts.hidden, kRowsKey, static_cast<long long>(rows)});
  html += TableFrame(NavigatorRow(count, first, parts.last, parts.links), params);
  html += "</form>\r\n";
  return html;
}

}  // namespace tessaro
