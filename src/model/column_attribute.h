// TZNKHTMLTableColumnAttribute: how one field of an evidence query is shown
// (visible or not, number and check-box format, blob kind, links to detail
// pages, switches, actions, script functions and documents), and
// TZNKHTMLTableColumnAttributes, the collection of them that evidence items
// and detail pages keep per query.
//
// The detail-page, switch and action links are soft references: identifier
// texts that are never linked by the model; the evidence item re-points or
// clears them when the part they name is renamed or deleted.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "settings/published.h"
#include "util/string_list.h"

namespace tessaro {

class TDataSet;
class TField;

// Sets a soft reference `text` that is `old_id` (exact comparison) to
// `new_id`; any other text stays.
void ReplaceSoftReference(std::string& text, std::string_view old_id, std::string_view new_id);

class TZNKHTMLTableColumnAttribute : public TPublished<TZNKHTMLTableColumnAttribute> {
 public:
  static void DeclareProperties(TPropertyDeclarations<TZNKHTMLTableColumnAttribute>& p);

  // Copies every stored property of `source`.
  void Assign(const TZNKHTMLTableColumnAttribute& source);
  // Takes the field's display format and, for a floating-point field, its
  // precision (0 for other fields).
  void AssignFromField(const TField& field);
  // Applies the attribute to a field: the display format of a numeric or
  // date field when DisplayFormat is set, the display values of a boolean
  // field, the precision of a floating-point field.
  void AssignToField(TField& field) const;

  // DisplayFormat is "<CHECKBOX>", or starts with "<CHECKBOX" and a blank
  // (letter case ignored).
  bool IsCheckbox() const;
  // The values written after "<CHECKBOX " up to the closing ">": split at
  // blanks and line breaks ("..." keeps blanks and loses its quotes), empty
  // parts dropped, each URL-decoded. Empty for any other DisplayFormat.
  // Made once per DisplayFormat text; valid until DisplayFormat changes.
  const TStrings& CheckboxValues() const;
  // 1 memo, 2 image, 3 multimedia (BlobType, letter case ignored), else 0.
  int BlobKind() const;
  // BlobKind() is 2 or 3.
  bool IsMediaBlob() const;
  // 1 a blob (BlobType set), 2 a detail page or switch, 3 an action, 4 a
  // script function; 0 none of these.
  int LinkKind() const;

  std::string BlobFileExtFieldName;  // field holding a blob's file extension
  std::string BlobType;              // "memo", "image" or "multimedia"
  std::string Custom;                // extra attributes of the cell
  std::string DisplayFormat;         // number/date pattern, or the check-box form
  std::string FieldName;             // the field the attribute belongs to
  std::string IDAction;              // action linked from the cell
  std::string IDDetailPage;          // detail page linked from the cell
  std::string IDDetailPageSwitch;    // detail-page switch linked from the cell
  std::string InputType;             // "text" or "checkbox": an input in place of the value
  bool IsDocumentURL = false;        // the value is a document URL shown as a link
  bool isLinkParam = false;          // the value goes with the row's links
  bool IsVisible = true;             // the column is shown
  std::string javaFuncName;          // script function called from the cell
  std::string javaFuncTarget;        // target of that call
  int Precision = 2;                 // decimals of floating-point values
  bool RowIdentifier = false;        // the field identifies the row
  bool Transliterate = true;         // link and display values become plain ASCII

 private:
  mutable std::string checkbox_source_;  // the DisplayFormat checkbox_values_ was made from
  mutable TStrings checkbox_values_;     // CheckboxValues() of checkbox_source_
  mutable bool checkbox_made_ = false;   // whether checkbox_values_ was made at all
};

class TZNKHTMLTableColumnAttributes final : public TPublishedCollection {
 public:
  size_t Count() const override { return items_.size(); }
  TZNKHTMLTableColumnAttribute& Item(size_t index) override { return *items_[index]; }
  const TZNKHTMLTableColumnAttribute& Item(size_t index) const { return *items_[index]; }
  // REQUIRES: 0 <= index < Count().
  TZNKHTMLTableColumnAttribute& Items(int index) const { return *items_[static_cast<size_t>(index)]; }
  TZNKHTMLTableColumnAttribute& Add() override;
  void Clear() override { items_.clear(); }

  // The first attribute whose FieldName is `name` (letter case ignored), or null.
  TZNKHTMLTableColumnAttribute* FindByFieldName(std::string_view name) const;
  // One attribute per field of `dataSet` in field order, each keeping the
  // stored properties of the attribute that had its field name before;
  // attributes of fields that are gone are dropped. REQUIRES: the data set's
  // fields are known (it is open).
  void RebuildFromDataSet(TDataSet& dataSet);
  // The last attribute with RowIdentifier set, or null.
  const TZNKHTMLTableColumnAttribute* LastRowIdentifier() const;
  // Sets `member` of every attribute holding `old_value` to `new_value`
  // (exact comparison).
  void ReplaceReference(std::string TZNKHTMLTableColumnAttribute::*member, std::string_view old_value,
                        std::string_view new_value);

 private:
  std::vector<std::unique_ptr<TZNKHTMLTableColumnAttribute>> items_;  // the owned attributes in order
};

}  // namespace tessaro
