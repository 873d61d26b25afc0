// TOldEvidenceItem: the evidence item as definition files of versions 1 to 4
// store it, before detail pages were elements of their own. The reader reads
// an old record into one and converts it; the writer fills one from an item
// to make old files.
#pragma once

#include <string>

#include "settings/published.h"
#include "util/string_list.h"

namespace tessaro {

// A column attribute of an old record: the five properties it had then.
class TOldColumnAttribute : public TPublished<TOldColumnAttribute> {
 public:
  static void DeclareProperties(TPropertyDeclarations<TOldColumnAttribute>& p);

  std::string BlobType;       // "memo", "image" or "multimedia"
  std::string DisplayFormat;  // display format of the field
  std::string FieldName;      // the field the attribute belongs to
  bool IsVisible = true;      // the column is shown
  int Precision = 2;          // decimals of floating-point values
};

using TOldColumnAttributes = TVisitedCollection<TOldColumnAttribute>;

class TOldEvidenceItem : public TPublished<TOldEvidenceItem> {
 public:
  static void DeclareProperties(TPropertyDeclarations<TOldEvidenceItem>& p);

  std::string InstanceID;                           // the item's identity
  TStrings BlobSelectClause;                        // SQL of the item's pictures
  TOldColumnAttributes ColumnAttributes;            // list columns
  TOldColumnAttributes DetailColumnAttributes;      // detail record fields
  TOldColumnAttributes DetailListColumnAttributes;  // detail list columns
  TStrings DetailListSelectClause;                  // SQL of the detail list
  TStrings DetailSelectClause;                      // SQL of the detail record
  std::string detail_link_text;                     // caption of the detail link column
  std::string detApplicationRoleID;                 // the owning role
  std::string EvidenceName;                         // name of the list
  std::string Expr_DetailTemplate;                  // template expression of the detail page
  int OrderInList = 0;                              // menu position; always stored
  TStrings ParametrizedSelectClause;                // the list's SQL
  TStrings SummaryRowSelectClause;                  // SQL of the summary row
};

}  // namespace tessaro
