// Small HTML fragments built as plain strings in the internal code page
// (windows-1250): form controls, links, images and embedded media, the
// minimal pages the web module answers with when no template can be used,
// the two-level table frame and the page navigator of record lists.
//
// Unless a function says otherwise, the texts passed in are inserted as they
// are: callers pass markup, attribute lists and addresses of their own, and
// escape visitor text (HtmlEscape) before handing it over.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "db/dataset.h"
#include "util/html_escape.h"
#include "util/string_list.h"

namespace tessaro {

// HtmlEscape of the field's plain text value; empty for a missing (null
// pointer) or null field.
std::string FieldHtml(const TField* field, bool blanks_as_nbsp = false, bool breaks_as_br = false);

// The field's display text for a page; empty for a missing or null field.
// Mode 1: the text unchanged. Mode 0: escaped with blanks and breaks made
// visible; any other mode: escaped only. Outside mode 1 a leading "-" of a
// numeric field is written as &minus;.
std::string FieldDisplayHtml(const TField* field, int mode);

// <input type=text ...>. The value is escaped and omitted when empty; a size
// or max_length below 0 omits that attribute; extra is appended after a blank.
std::string TextInput(std::string_view name, std::string_view value, int size, int max_length, std::string_view extra);

// A check box followed by its escaped label; the value is inserted as is.
std::string CheckBox(std::string_view name, std::string_view value, std::string_view label, bool checked,
                     std::string_view extra);

// A <select> with one option per name=text entry of `options` (names as
// values, texts escaped); the option whose name equals `selected` ignoring
// case is marked. `extra`, when given, must start with a blank.
std::string Select(std::string_view name, const TStrings& options, std::string_view selected, std::string_view extra);

// One option of a select list whose values come from outside the portal.
struct TSelectOption {
  std::string value;  // plain text
  std::string text;   // plain text
};

// A <select> like the one above, for options from the database: values and
// texts are both escaped, and a value may hold "=".
std::string Select(std::string_view name, std::span<const TSelectOption> options, std::string_view selected,
                   std::string_view extra);

// <input type=hidden name="..." value="...">, name and value escaped: both may
// come from the visitor's request.
std::string Hidden(std::string_view name, std::string_view value);

// <A HREF="url">text</A>. `extra` (such as class="x") and `target` become
// further attributes after the address.
std::string Link(std::string_view url, std::string_view text, std::string_view target, std::string_view extra);

// <img ...>: alt when non-empty, border when >= 0, extra after a blank, and
// width and height only when both are non-zero.
std::string Image(std::string_view src, std::string_view alt, std::string_view extra, int width, int height,
                  int border);

// <embed ... autostart=false play=false .../> with the non-zero sizes.
std::string Embed(std::string_view src, std::string_view extra, int width, int height, std::string_view type);

// Whether the file name's extension (any letter case) is one of the picture
// types the pages show inline; a name without extension counts as a picture.
bool IsImageFile(std::string_view file_name);

// The <HEAD> element of the minimal pages: Czech (cs, windows-1250) or
// English (en-us, iso-8859-1).
std::string HtmlHead(std::string_view title, bool english, std::string_view extra);

// A page with a title and one paragraph, on one line.
std::string SimplePage(std::string_view title, std::string_view message, bool english);

// "Chyba" / "Neplatný požadavek" in Czech, "Error" / "Invalid request" otherwise.
std::string InvalidRequestPage(bool czech);

// An error's message as a page shows it: HTML-escaped (messages quote what the
// visitor sent), with paths inside the portal folder relative to it. Every
// page that shows an error's message writes it through here.
std::string ErrorMessageHtml(std::string_view message);

// The page that shows an error message (plain text, see ErrorMessageHtml) with
// the title "Chyba" or "Error".
std::string ErrorPage(bool czech, std::string_view message);

// A two-level table (an outer frame table holding one inner table) around
// `content`. The tag parameters WIDTH (percent), ALIGN, BORDER, BORDERCOLOR,
// IBORDER (frame width) and IBORDERCOLOR (frame colour) override the defaults
// 90, center, 1, none, 1 and #FFFFFF.
std::string TableFrame(std::string_view content, const TStrings& params);

// The navigator of a record list showing `rows` records from record `first`
// (1-based) of `count`: links to the first, previous, next and last page and
// a form for jumping to a record number, carrying the request `fields` along
// (except empty ones, paging keys and buttons). `url` is the page's own
// address as plain text (it holds the request's host and path) and is escaped
// here. Empty when count or rows is below 1.
std::string Navigator(std::string_view url, const TStrings& fields, int rows, const TStrings& params, int first,
                      int count);

// What every paging control of a list shares: the request fields carried
// along as hidden inputs (CR LF after each), the page's escaped address, the
// last record shown, and the links to the first, previous, next and last
// page with the given texts ("&nbsp;" where there is no such page).
struct TNavigatorParts {
  std::string hidden;
  std::string page_url;
  long long last = 0;
  std::string links[4] = {"&nbsp;", "&nbsp;", "&nbsp;", "&nbsp;"};
};
TNavigatorParts NavigatorParts(std::string_view url, const TStrings& fields, int rows, int first, int count,
                               const std::string_view (&texts)[4]);

}  // namespace tessaro
