// TRecordCellRenderer: the cells and fields of record pages. A field is
// shown by its column attribute: as text, a memo, a picture or media clip, a
// check box, an input, or a link to a detail page, a record action, a script
// function or a document. The list page's table producer calls FormatCell
// for every cell; field tags of the page templates call RenderField.
//
// What comes from the database is data, never markup, unless the attribute
// says the field holds HTML (an attribute with no link, Transliterate off:
// the administrator's choice). Values in link addresses are percent-encoded
// (UTF-8); addresses and other attribute values are escaped for HTML; values
// passed to the page's script functions are script string literals. A
// document link is live only for an http or https address or a path on this
// portal. The attribute's Custom text, link-text specs and the options'
// texts are the administrator's markup and are inserted as they are.
#pragma once

#include <functional>
#include <string>

#include "context/table_producer.h"
#include "model/column_attribute.h"

namespace tessaro {

class TTessaroEvidenceContext;

// Where a field is read from: its data set (for the link parameters, the
// field that disables a check box and the field holding a clip's file
// extension) and the column attributes of that data set's query (for the
// link parameters). Either may be null.
struct TFieldRecord {
  TDataSet* DataSet = nullptr;
  const TZNKHTMLTableColumnAttributes* Attributes = nullptr;
};

// A column whose cells are links: a detail page, an action or a script
// function (LinkKind 2 to 4), or a document (LinkKind 0, IsDocumentURL).
bool IsLinkColumn(const TZNKHTMLTableColumnAttribute* attribute);

class TRecordCellRenderer {
 public:
  // The replacement of the page's tag `tag_name` with no parameters (the
  // link-text spec "<TAG:name>").
  using TTagText = std::function<std::string(const std::string& tag_name)>;

  TRecordCellRenderer(TTessaroEvidenceContext& context, TTagText tag_text);

  // The HTML of `field` (may be null) by `attribute` (may be null: plain
  // text). `row_id_field` (may be null) identifies the record: it names the
  // record in links, pictures and input names. `spec` is the link text of
  // cells (the column's caption); `params` the field tag's parameters, null
  // in table cells (linktext, urlonly, format, native, softspaces,
  // softreturns, Width, Height, MaxWidth, MaxHeight, Border).
  std::string RenderField(const TFieldRecord& record, TField* field, TField* row_id_field, const std::string& spec,
                          const TStrings* params, const TZNKHTMLTableColumnAttribute* attribute) const;

  // The record link of `attribute` for the plain text `value`: the anchor,
  // or with `url_only` its address escaped for an attribute (a script link
  // is always the anchor). `prefix` is LinkParams' text. Empty for an
  // action the item lacks and for a blob attribute.
  std::string BuildLink(const TZNKHTMLTableColumnAttribute& attribute, const std::string& pid, bool url_only,
                        const std::string& spec, const std::string& prefix, const std::string& value,
                        const std::string& pid2) const;

  // A link's text by `spec`: empty → the detail_link_text option; "<FIELD>"
  // → `value` (plain text, escaped here); "<BLANK>" → empty; "<TAG:name>" →
  // the tag's replacement; anything else → `spec` itself. An empty result,
  // but for <BLANK> and <TAG:...>, is "Podrobnosti".
  std::string LinkText(const std::string& value, const std::string& spec) const;

  // "COL_name=value&" for every attribute of the record's query marked as
  // link parameter whose field the data set has, while it is on a record;
  // names and values percent-encoded. Empty without `attribute`.
  std::string LinkParams(const TFieldRecord& record, const TZNKHTMLTableColumnAttribute* attribute) const;

  // Formats one cell of the list table: `row` 0 is the header, the total row
  // while sender.InFoot, else a record of sender.DataSet(). The column's
  // attribute is found in `list_attributes` by field name; the row is
  // identified by the field `row_id_field_name` (may be empty). An empty
  // cell ends as "&nbsp;".
  void FormatCell(TZNKTableProducer& sender, int row, int column, THTMLTableCell& cell,
                  const TZNKHTMLTableColumnAttributes& list_attributes, const std::string& row_id_field_name) const;

 private:
  struct TRecordLink;
  // The link of `attribute` with a plain-text address; no address when the
  // link leads nowhere.
  TRecordLink ResolveLink(const TZNKHTMLTableColumnAttribute& attribute, const std::string& pid,
                          const std::string& prefix, const std::string& value, const std::string& pid2) const;
  std::string RecordQuery(const std::string& prefix, const std::string& eid, const std::string& pid,
                          const std::string& pid2, const std::string& fid) const;
  std::string CheckBoxCell(const TFieldRecord& record, TField* field, const TZNKHTMLTableColumnAttribute& attribute,
                           const std::string& pid, const std::string& pid2) const;
  std::string BlobCell(const TFieldRecord& record, TField* field, const std::string& record_key, int mode,
                       const TStrings* params, const TZNKHTMLTableColumnAttribute& attribute) const;

  TTessaroEvidenceContext& context_;  // the page's request, item and options
  TTagText tag_text_;                 // answers <TAG:name> link texts
};

}  // namespace tessaro
