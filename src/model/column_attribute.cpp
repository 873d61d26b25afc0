// Column attributes: their stored properties, the values the cell renderer
// derives from them (check box, blob kind, link kind), the copying to and
// from data-set fields, and the collection that finds them by field name.
//
// A check box is asked for in DisplayFormat, the one free-text property an
// administrator already uses for formats: "<CHECKBOX>", or "<CHECKBOX"
// followed by blank-separated, URL-encoded name=value options and ">"
// ("<CHECKBOX disabled=LOCKED>"). The options are parsed once per format
// text and cached, since every row of a list asks for them.
#include "model/column_attribute.h"

#include <algorithm>
#include <iterator>

#include "db/dataset.h"
#include "db/field_types.h"
#include "util/text.h"

namespace tessaro {
namespace {

constexpr std::string_view kCheckbox = "<CHECKBOX>";
constexpr std::string_view kCheckboxWithValues = "<CHECKBOX ";  // then values and ">"

// BlobType values and the BlobKind they give.
struct TBlobKindName {
  std::string_view name;
  int kind;
};
constexpr TBlobKindName kBlobKinds[] = {{"memo", 1}, {"image", 2}, {"multimedia", 3}};

// Fields whose precision is the significant digits of a floating-point value.
constexpr TFieldType kFloatTypes[] = {TFieldType::ftFloat, TFieldType::ftCurrency};

bool IsFloatField(const TField& field) {
  return std::find(std::begin(kFloatTypes), std::end(kFloatTypes), field.DataType()) != std::end(kFloatTypes);
}

bool StartsWithCheckboxValues(std::string_view format) {
  return format.size() >= kCheckboxWithValues.size() &&
         SameText(format.substr(0, kCheckboxWithValues.size()), kCheckboxWithValues);
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// "+" becomes a blank and "%" with two hexadecimal digits that byte. The
// text is the administrator's, not a visitor's: a "%" without two digits
// stays as it is rather than making every row of the list fail.
std::string DecodeCheckboxValue(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '+') {
      out.push_back(' ');
    } else if (c == '%' && i + 2 < text.size() && HexDigit(text[i + 1]) >= 0 && HexDigit(text[i + 2]) >= 0) {
      out.push_back(static_cast<char>(HexDigit(text[i + 1]) * 16 + HexDigit(text[i + 2])));
      i += 2;
    } else {
      out.push_back(c);
    }
  }
  return out;
}

bool EndsPart(char c) { return c == ' ' || c == '\r' || c == '\n'; }

// Splits at blanks, CR and LF; a part that begins with a double quote runs
// to the closing quote, which it loses with the opening one. Empty parts
// are dropped.
void SplitCheckboxValues(std::string_view text, TStrings& out) {
  size_t i = 0;
  while (i < text.size()) {
    while (i < text.size() && EndsPart(text[i])) ++i;
    if (i == text.size()) break;
    std::string part;
    if (text[i] == '"') {
      const size_t close = text.find('"', i + 1);
      const size_t end = close == std::string_view::npos ? text.size() : close;
      part.assign(text.substr(i + 1, end - i - 1));
      i = close == std::string_view::npos ? text.size() : close + 1;
    }
    while (i < text.size() && !EndsPart(text[i])) part.push_back(text[i++]);
    if (!part.empty()) out.Add(DecodeCheckboxValue(part));
  }
}

}  // namespace

void ReplaceSoftReference(std::string& text, std::string_view old_id, std::string_view new_id) {
  if (text == old_id) text = new_id;
}

void TZNKHTMLTableColumnAttribute::DeclareProperties(TPropertyDeclarations<TZNKHTMLTableColumnAttribute>& p) {
  using A = TZNKHTMLTableColumnAttribute;
  p.String("BlobFileExtFieldName", &A::BlobFileExtFieldName, "")
      .String("BlobType", &A::BlobType, "")
      .String("Custom", &A::Custom, "")
      .String("DisplayFormat", &A::DisplayFormat, "")
      .String("FieldName", &A::FieldName, "")
      .String("IDAction", &A::IDAction, "")
      .String("IDDetailPage", &A::IDDetailPage, "")
      .String("IDDetailPageSwitch", &A::IDDetailPageSwitch, "")
      .String("InputType", &A::InputType, "")
      .Boolean("IsDocumentURL", &A::IsDocumentURL, false)
      .Boolean("isLinkParam", &A::isLinkParam, false)
      .Boolean("IsVisible", &A::IsVisible, true)
      .String("javaFuncName", &A::javaFuncName, "")
      .String("javaFuncTarget", &A::javaFuncTarget, "")
      .Integer("Precision", &A::Precision, 2)
      .Boolean("RowIdentifier", &A::RowIdentifier, false)
      .Boolean("Transliterate", &A::Transliterate, true);
}

void TZNKHTMLTableColumnAttribute::Assign(const TZNKHTMLTableColumnAttribute& source) {
  if (&source != this) *this = source;
}

void TZNKHTMLTableColumnAttribute::AssignFromField(const TField& field) {
  DisplayFormat = field.DisplayFormat();
  Precision = IsFloatField(field) ? field.Precision() : 0;
}

void TZNKHTMLTableColumnAttribute::AssignToField(TField& field) const {
  const TFieldType type = field.DataType();
  if (!DisplayFormat.empty() && (IsNumericFieldType(type) || IsTemporalFieldType(type)))
    field.SetDisplayFormat(DisplayFormat);
  if (type == TFieldType::ftBoolean) field.SetDisplayValues(DisplayFormat);
  if (IsFloatField(field)) field.SetPrecision(Precision);
}

bool TZNKHTMLTableColumnAttribute::IsCheckbox() const {
  return SameText(DisplayFormat, kCheckbox) || StartsWithCheckboxValues(DisplayFormat);
}

const TStrings& TZNKHTMLTableColumnAttribute::CheckboxValues() const {
  if (checkbox_made_ && checkbox_source_ == DisplayFormat) return checkbox_values_;
  checkbox_values_.Clear();
  checkbox_source_ = DisplayFormat;
  checkbox_made_ = true;
  const std::string_view format = DisplayFormat;
  // The values run from after "<CHECKBOX " to before the closing ">".
  if (StartsWithCheckboxValues(format) && format.size() > kCheckboxWithValues.size())
    SplitCheckboxValues(format.substr(kCheckboxWithValues.size(), format.size() - kCheckboxWithValues.size() - 1),
                        checkbox_values_);
  return checkbox_values_;
}

int TZNKHTMLTableColumnAttribute::BlobKind() const {
  for (const TBlobKindName& entry : kBlobKinds)
    if (SameText(BlobType, entry.name)) return entry.kind;
  return 0;
}

bool TZNKHTMLTableColumnAttribute::IsMediaBlob() const {
  const int kind = BlobKind();
  return kind == 2 || kind == 3;
}

int TZNKHTMLTableColumnAttribute::LinkKind() const {
  if (!Trim(BlobType).empty()) return 1;
  if (!IDDetailPage.empty() || !IDDetailPageSwitch.empty()) return 2;
  if (!IDAction.empty()) return 3;
  if (!javaFuncName.empty()) return 4;
  return 0;
}

// ---------------------------------------------------------------------------
// The collection

TZNKHTMLTableColumnAttribute& TZNKHTMLTableColumnAttributes::Add() {
  return *items_.emplace_back(std::make_unique<TZNKHTMLTableColumnAttribute>());
}

TZNKHTMLTableColumnAttribute* TZNKHTMLTableColumnAttributes::FindByFieldName(std::string_view name) const {
  for (const auto& item : items_)
    if (SameText(item->FieldName, name)) return item.get();
  return nullptr;
}

void TZNKHTMLTableColumnAttributes::RebuildFromDataSet(TDataSet& dataSet) {
  std::vector<std::unique_ptr<TZNKHTMLTableColumnAttribute>> kept = std::move(items_);
  items_.clear();
  for (int i = 0, n = dataSet.FieldCount(); i < n; ++i) Add().FieldName = dataSet.Field(i)->FieldName();
  for (const auto& old : kept)
    if (TZNKHTMLTableColumnAttribute* again = FindByFieldName(old->FieldName)) again->Assign(*old);
}

const TZNKHTMLTableColumnAttribute* TZNKHTMLTableColumnAttributes::LastRowIdentifier() const {
  for (auto it = items_.rbegin(); it != items_.rend(); ++it)
    if ((*it)->RowIdentifier) return it->get();
  return nullptr;
}

void TZNKHTMLTableColumnAttributes::ReplaceReference(std::string TZNKHTMLTableColumnAttribute::*member,
                                                     std::string_view old_value, std::string_view new_value) {
  for (const auto& item : items_) ReplaceSoftReference((*item).*member, old_value, new_value);
}

}  // namespace tessaro
