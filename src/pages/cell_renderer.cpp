// Addresses are built as plain text, with every value percent-encoded, and
// escaped for HTML only where they are written into an attribute. A link
// that calls a page script holds its arguments as script string literals,
// and the whole attribute is escaped after that, so that neither a quote nor
// an entity in a value can end the literal.
#include "pages/cell_renderer.h"

#include "cgi/url_encoding.h"
#include "context/html_helpers.h"
#include "context/media_writers.h"
#include "db/field_types.h"
#include "model/evidence_item_action.h"
#include "model/evidence_item_detail_page.h"
#include "model/evidence_item_detail_page_switch.h"
#include "pages/evidence_context.h"
#include "pages/image_links.h"
#include "util/html_escape.h"
#include "util/quoting.h"
#include "util/text.h"
#include "util/transliteration.h"
#include "web/tessaro_options.h"

namespace tessaro {

struct TRecordCellRenderer::TRecordLink {
  std::string url;      // plain text; empty: the link leads nowhere
  std::string target;   // plain text
  std::string classes;  // markup
  std::string prompt;   // the action's confirmation question, plain text
};

namespace {

constexpr const char* kDefaultLinkText = "Podrobnosti";

// Binary columns count as blobs too: drivers report a database's binary
// column type (SQLite's BLOB) as bytes.
bool IsBlobFieldType(TFieldType type) {
  switch (type) {
    case TFieldType::ftBytes:
    case TFieldType::ftVarBytes:
    case TFieldType::ftBlob:
    case TFieldType::ftMemo:
    case TFieldType::ftGraphic:
    case TFieldType::ftFmtMemo:
    case TFieldType::ftParadoxOle:
    case TFieldType::ftDBaseOle:
    case TFieldType::ftTypedBinary:
    case TFieldType::ftOraBlob:
    case TFieldType::ftOraClob:
    case TFieldType::ftWideMemo:
      return true;
    default:
      return false;
  }
}

std::string FieldText(const TField* field) { return field && !field->IsNull() ? field->AsString() : std::string(); }

// A tag parameter's value, without the quotes a template may put around it.
std::string Param(const TStrings* params, std::string_view name) {
  return params ? UnquoteOnce(params->Values(name)) : std::string();
}

// How a field's text is written: 1 as it is (HTML), 2 escaped, 0 escaped with
// blanks and line breaks made visible.
int NativeMode(const TZNKHTMLTableColumnAttribute* attribute, const TStrings* params) {
  if (attribute && attribute->LinkKind() <= 1 && !attribute->Transliterate) return 1;
  const std::string native = Param(params, "native");
  return native == "1" ? 1 : native == "2" ? 2 : 0;
}

// A boolean field's value, or whether any other field has a value.
bool FieldChecked(const TField* field) {
  if (field == nullptr || field->IsNull()) return false;
  if (field->DataType() != TFieldType::ftBoolean) return true;
  return field->AsBoolean();
}

// A field's value read as a Boolean; false for null and for text that is not one.
bool FieldAsBoolean(const TField* field) {
  if (field == nullptr || field->IsNull()) return false;
  try {
    return field->AsBoolean();
  } catch (const Exception&) {
    return false;
  }
}

// Whether the field that disables a check box is set: non-zero, true, or
// (other types) not null.
bool DisablesCheckBox(const TField* field) {
  if (field == nullptr || field->IsNull()) return false;
  switch (field->DataType()) {
    case TFieldType::ftSmallint:
    case TFieldType::ftInteger:
    case TFieldType::ftWord:
      return field->AsLargeInt() != 0;
    case TFieldType::ftBoolean:
      return field->AsBoolean();
    default:
      return true;
  }
}

// The row identifier's text in an input name: a GUID as its 32 hex digits.
std::string InputNameSuffix(const TField* row_id_field) {
  std::string text = FieldText(row_id_field);
  if (row_id_field && row_id_field->DataType() == TFieldType::ftGuid) {
    std::string digits;
    for (char c : text)
      if (c != '{' && c != '}' && c != '-') digits += c;
    return digits;
  }
  return text;
}

// The scheme of an address ("http" of "http://..."), or empty when it has
// none. A single letter before the colon is a drive, not a scheme.
std::string Scheme(std::string_view address) {
  auto letter = [](char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); };
  auto scheme_char = [&](char c) { return letter(c) || (c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.'; };
  size_t i = 0;
  while (i < address.size() && (i == 0 ? letter(address[i]) : scheme_char(address[i]))) ++i;
  if (i < 2 || i >= address.size() || address[i] != ':') return "";
  return LowerCase(address.substr(0, i));
}

// The last element of a path with "/" or "\" separators.
std::string FileNamePart(std::string_view path) {
  const size_t slash = path.find_last_of("/\\");
  return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

// The picture box of a cell or field tag.
struct TImageBox {
  int width = 0, height = 0, max_width = 0, max_height = 0, border = -1;
};

TImageBox ReadImageBox(const TStrings* params, const TTessaroOptions* options) {
  TImageBox box;
  if (params == nullptr) {
    if (options) {
      box.max_width = options->list_img_width;
      box.max_height = options->list_img_height;
    }
    return box;
  }
  auto number = [&](std::string_view name, int otherwise) {
    const std::string text = Param(params, name);
    return IsUnsignedDecimal(text) ? std::stoi(text) : otherwise;
  };
  box.width = number("Width", 0);
  box.height = number("Height", 0);
  box.max_width = number("MaxWidth", 0);
  box.max_height = number("MaxHeight", 0);
  box.border = number("Border", -1);
  return box;
}

// Sets a field's display format for one rendering and restores it after.
class TDisplayFormatOverride {
 public:
  TDisplayFormatOverride(TField* field, const std::string& format) {
    if (field == nullptr || format.empty()) return;
    if (!IsNumericFieldType(field->DataType()) && !IsTemporalFieldType(field->DataType())) return;
    field_ = field;
    saved_ = field->DisplayFormat();
    field->SetDisplayFormat(format);
  }
  ~TDisplayFormatOverride() {
    if (field_) field_->SetDisplayFormat(saved_);
  }
  TDisplayFormatOverride(const TDisplayFormatOverride&) = delete;
  TDisplayFormatOverride& operator=(const TDisplayFormatOverride&) = delete;

 private:
  TField* field_ = nullptr;  // the field whose format was replaced
  std::string saved_;        // its own format
};

}  // namespace

bool IsLinkColumn(const TZNKHTMLTableColumnAttribute* attribute) {
  if (attribute == nullptr) return false;
  const int kind = attribute->LinkKind();
  return kind >= 2 || (kind == 0 && attribute->IsDocumentURL);
}

TRecordCellRenderer::TRecordCellRenderer(TTessaroEvidenceContext& context, TTagText tag_text)
    : context_(context), tag_text_(std::move(tag_text)) {}

std::string TRecordCellRenderer::LinkText(const std::string& value, const std::string& spec) const {
  std::string text;
  if (spec.empty()) {
    if (const TTessaroOptions* options = context_.PortalOptions()) text = options->detail_link_text;
  } else if (SameText(spec, "<FIELD>")) {
    text = HtmlEscape(value);
  } else if (SameText(spec, "<BLANK>")) {
    return "";
  } else if (StartsText("<TAG:", spec)) {
    const std::string name = spec.size() > 6 ? Trim(std::string_view(spec).substr(5, spec.size() - 6)) : "";
    return tag_text_ ? tag_text_(name) : std::string();
  } else {
    text = spec;
  }
  return text.empty() ? kDefaultLinkText : text;
}

std::string TRecordCellRenderer::LinkParams(const TFieldRecord& record,
                                            const TZNKHTMLTableColumnAttribute* attribute) const {
  std::string prefix;
  if (attribute == nullptr || record.Attributes == nullptr || record.DataSet == nullptr) return prefix;
  if (!record.DataSet->Active() || record.DataSet->Eof()) return prefix;
  for (size_t i = 0; i < record.Attributes->Count(); ++i) {
    const TZNKHTMLTableColumnAttribute& param = record.Attributes->Item(i);
    if (!param.isLinkParam) continue;
    if (const TField* field = record.DataSet->FindField(param.FieldName))
      prefix += "COL_" + UrlEncodeText(param.FieldName) + "=" + UrlEncodeText(FieldText(field)) + "&";
  }
  return prefix;
}

std::string TRecordCellRenderer::RecordQuery(const std::string& prefix, const std::string& eid, const std::string& pid,
                                             const std::string& pid2, const std::string& fid) const {
  return "?" + prefix + "ID=" + UrlEncodeText(context_.ID) + "&EID=" + UrlEncodeText(eid) +
         "&PID=" + UrlEncodeText(pid) + "&PID2=" + UrlEncodeText(pid2) + "&FID=" + UrlEncodeText(fid);
}

TRecordCellRenderer::TRecordLink TRecordCellRenderer::ResolveLink(const TZNKHTMLTableColumnAttribute& attribute,
                                                                  const std::string& pid, const std::string& prefix,
                                                                  const std::string& value,
                                                                  const std::string& pid2) const {
  const TTessaroOptions* options = context_.PortalOptions();
  TRecordLink link;
  switch (attribute.LinkKind()) {
    case 0: {
      // Only web addresses and paths of this portal open: a javascript: or
      // data: address from the database must not become a live link.
      const std::string scheme = Scheme(value);
      if (scheme == "http" || scheme == "https" || (scheme.empty() && value.starts_with("//"))) {
        link.url = value;
      } else if (scheme.empty()) {
        std::string path = ReplaceAll(value, "\\", "/");
        if (!path.starts_with("/")) path.insert(0, "/");
        link.url = context_.BaseURL("", true) + path;
      }
      link.classes = attribute.Custom;
      break;
    }
    case 2: {
      link.classes = !attribute.Custom.empty()
                         ? attribute.Custom
                         : "class=\"" + HtmlAttributeEscape(options ? options->class_detailhref : "") + "\"";
      std::string fid = value;
      Transliterate(fid);
      const std::string* page_id = &attribute.IDDetailPage;
      if (!attribute.IDDetailPageSwitch.empty())
        if (const TEvidenceItemDetailPageSwitch* page_switch =
                context_.FindDetailPageSwitch(attribute.IDDetailPageSwitch))
          page_id = &page_switch->SelectDetailPage(fid);
      const TEvidenceItemDetailPage* page = context_.FindDetailPage(*page_id);
      link.url = context_.BaseURL(page ? page->AccessProtocolText() : "", false) +
                 (options ? options->ShowDetailPath : "") + RecordQuery(prefix, *page_id, pid, pid2, fid);
      if (page) link.target = page->DetailTarget;
      if (link.target.empty() && (page == nullptr || page->IDAction.empty()) && options)
        link.target = options->detail_target;
      break;
    }
    case 3: {
      const TEvidenceItemAction* action = context_.FindAction(attribute.IDAction);
      if (action == nullptr) break;
      std::string fid = value;
      Transliterate(fid);
      link.url = context_.BaseURL(action->AccessProtocolText(), false) + (options ? options->DoActionPath : "") +
                 RecordQuery(prefix, attribute.IDAction, pid, pid2, fid);
      link.target = action->ResultTarget;
      link.classes = attribute.Custom;
      link.prompt = action->ClickPromptText;
      break;
    }
    case 4:
      link.url = "javascript:" + attribute.javaFuncName + "(" + ScriptStringLiteral(pid) + "," +
                 ScriptStringLiteral(pid2) + "," + ScriptStringLiteral(value) + ")";
      link.target = attribute.javaFuncTarget;
      link.classes = attribute.Custom;
      break;
    default:
      break;
  }
  return link;
}

std::string TRecordCellRenderer::BuildLink(const TZNKHTMLTableColumnAttribute& attribute, const std::string& pid,
                                           bool url_only, const std::string& spec, const std::string& prefix,
                                           const std::string& value, const std::string& pid2) const {
  const int kind = attribute.LinkKind();
  const TRecordLink link = ResolveLink(attribute, pid, prefix, value, pid2);
  if (kind == 0) {
    if (url_only) return HtmlAttributeEscape(link.url);
    const std::string text = !spec.empty() ? spec : HtmlEscape(FileNamePart(value));
    if (link.url.empty()) return text;  // not an address the page may open
    if (IsImageFile(value)) return Image(HtmlAttributeEscape(link.url), text, "", 0, 0, -1);
    return Link(HtmlAttributeEscape(link.url), text, "", link.classes);
  }
  if (link.url.empty()) return "";
  if (url_only && kind != 4) return HtmlAttributeEscape(link.url);
  std::string href = link.url;
  if (!link.prompt.empty())
    href =
        "javascript:PromptedUrl(" + ScriptStringLiteral(link.url) + "," + ScriptStringLiteral(link.prompt) + ",null)";
  return Link(HtmlAttributeEscape(href), LinkText(value, spec), HtmlAttributeEscape(link.target), link.classes);
}

std::string TRecordCellRenderer::CheckBoxCell(const TFieldRecord& record, TField* field,
                                              const TZNKHTMLTableColumnAttribute& attribute, const std::string& pid,
                                              const std::string& pid2) const {
  const std::string disabled_by = attribute.CheckboxValues().Values("disabled");
  const TField* disabling = !disabled_by.empty() && record.DataSet ? record.DataSet->FindField(disabled_by) : nullptr;
  std::string extra;
  if (DisablesCheckBox(disabling)) {
    extra = "disabled=\"disabled\" " + attribute.Custom;
  } else {
    // Ticking the box opens the record link through the page's scripts; a
    // refused question unticks it again.
    const std::string url = ResolveLink(attribute, pid, LinkParams(record, &attribute), "", pid2).url;
    const TEvidenceItemAction* action = context_.FindAction(attribute.IDAction);
    const std::string script = action && !action->ClickPromptText.empty()
                                   ? "javascript:PromptedUrl(" + ScriptStringLiteral(url) + "," +
                                         ScriptStringLiteral(action->ClickPromptText) + ",this)"
                                   : "javascript:GoToUrl(" + ScriptStringLiteral(url) + ")";
    extra = "ONCLICK=\"" + HtmlAttributeEscape(script) + "\" " + attribute.Custom;
  }
  return CheckBox("", "", "", FieldChecked(field), extra);
}

std::string TRecordCellRenderer::BlobCell(const TFieldRecord& record, TField* field, const std::string& record_key,
                                          int mode, const TStrings* params,
                                          const TZNKHTMLTableColumnAttribute& attribute) const {
  if (field == nullptr) return "";
  if (!IsBlobFieldType(field->DataType())) return FieldDisplayHtml(field, mode);
  const TTessaroOptions* options = context_.PortalOptions();
  switch (attribute.BlobKind()) {
    case 1: {
      if (mode == 1) return FieldText(field);
      const bool hard = mode != 2;
      return FieldHtml(field, hard && Param(params, "softspaces") != "1", hard && Param(params, "softreturns") != "1");
    }
    case 2: {
      const TImageBox box = ReadImageBox(params, options);
      return ImageHTML(context_, record_key, field->FieldName(), attribute.Custom, box.max_width, box.max_height,
                       box.border, box.width, box.height, field->IsNull());
    }
    case 3: {
      if (attribute.BlobFileExtFieldName.empty()) return "multimedia type unknown";
      const TField* ext_field = record.DataSet ? record.DataSet->FindField(attribute.BlobFileExtFieldName) : nullptr;
      std::string extension = FieldText(ext_field);
      if (extension.starts_with(".")) extension.erase(0, 1);
      TImageBox box = ReadImageBox(params, options);
      std::string type;
      if (MimeTypeOf(extension, type)) {
        if (type.starts_with("midi/") || type.starts_with("audio/")) box.height = 50;
        return EmbedHTML(context_, record_key, field->FieldName(), type, attribute.Custom, box.height, box.width,
                         field->IsNull());
      }
      return ImageHTML(context_, record_key, field->FieldName(), attribute.Custom, box.max_width, box.max_height,
                       box.border, box.width, box.height, field->IsNull());
    }
    default:
      return "unsupported blob type";
  }
}

std::string TRecordCellRenderer::RenderField(const TFieldRecord& record, TField* field, TField* row_id_field,
                                             const std::string& spec, const TStrings* params,
                                             const TZNKHTMLTableColumnAttribute* attribute) const {
  // On a detail page the request names the record and the row names a
  // record of its dependent list; on a list page the row names the record.
  const std::string request_pid = context_.GetPID();
  const std::string row_pid = FieldText(row_id_field);
  const std::string pid = request_pid.empty() ? row_pid : request_pid;
  const std::string pid2 = request_pid.empty() ? std::string() : row_pid;
  const int mode = NativeMode(attribute, params);

  if (IsLinkColumn(attribute)) {
    if (attribute->IsCheckbox()) return CheckBoxCell(record, field, *attribute, pid, pid2);
    if (field == nullptr || field->IsNull()) return "";
    const std::string link_spec = params ? Param(params, "linktext") : attribute->LinkKind() != 0 ? spec : "";
    return BuildLink(*attribute, pid, !Param(params, "urlonly").empty(), link_spec, LinkParams(record, attribute),
                     field->DisplayText(), pid2);
  }
  if (attribute && attribute->LinkKind() == 1) {
    const std::string record_key = row_id_field ? row_pid : request_pid;
    return BlobCell(record, field, record_key, mode, params, *attribute);
  }

  TDisplayFormatOverride format(field, Param(params, "format"));
  if (attribute == nullptr || attribute->InputType.empty() || field == nullptr) return FieldDisplayHtml(field, mode);
  const std::string name = HtmlEscape(field->FieldName() + InputNameSuffix(row_id_field));
  if (SameText(attribute->InputType, "text")) {
    const int size = field->Size() != 0 ? field->Size() : 4;
    return TextInput(name, field->IsNull() ? "" : field->DisplayText(), size, size, attribute->Custom);
  }
  if (SameText(attribute->InputType, "checkbox"))
    return CheckBox(name, "", "", FieldAsBoolean(field), attribute->Custom);
  return FieldDisplayHtml(field, mode);
}

void TRecordCellRenderer::FormatCell(TZNKTableProducer& sender, int row, int column, THTMLTableCell& cell,
                                     const TZNKHTMLTableColumnAttributes& list_attributes,
                                     const std::string& row_id_field_name) const {
  if (column >= 0 && static_cast<size_t>(column) < sender.Columns().size()) {
    const THTMLTableColumn& table_column = sender.Columns()[static_cast<size_t>(column)];
    const TZNKHTMLTableColumnAttribute* attribute = list_attributes.FindByFieldName(table_column.FieldName);
    const bool link = IsLinkColumn(attribute);
    if (row == 0) {
      cell.CellData =
          link && !attribute->IsCheckbox() ? std::string() : ReplaceAll(table_column.Title.Caption, " ", "&nbsp;");
    } else {
      TDataSet* data_set = sender.InFoot ? sender.SumDataSet() : sender.DataSet();
      TField* field = data_set ? data_set->FindField(table_column.FieldName) : nullptr;
      TField* row_id_field = data_set && !row_id_field_name.empty() ? data_set->FindField(row_id_field_name) : nullptr;
      const bool blob = attribute && attribute->LinkKind() == 1;
      const bool document = link && attribute->LinkKind() == 0;
      if (sender.InFoot && (link || blob)) {
        cell.CellData.clear();
      } else if (((!link || document) && !(attribute && attribute->IsMediaBlob())) || row_id_field) {
        cell.CellData = RenderField({data_set, &list_attributes}, field, row_id_field, table_column.Title.Caption,
                                    nullptr, attribute);
      } else {
        // A record link without the row's identifier would open the wrong record.
        cell.CellData = "ERROR!!! - row identifier field not set";
        cell.BgColor = "yellow";
      }
    }
  }
  if (cell.CellData.empty()) cell.CellData = "&nbsp;";
}

}  // namespace tessaro
