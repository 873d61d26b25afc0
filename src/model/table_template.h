// TTableTemplate: the stored layout of a record table (columns with their
// titles, table, row and caption attributes, text before and after the
// table, the number of rows), kept by evidence items (ProducerTemplate) and
// detail pages (DetailListProducerTemplate).
//
// The template is what the table producer reads its settings from: a page
// builds its live producer and copies the template's columns onto it
// (CopyTemplateColumns). In the definition file a template is one streamed
// object of its own, written after the element that owns it, under the
// producer's class name kClassName; its properties are the published
// properties below (nested ones as dotted paths: "TableAttributes.Width",
// "Title.Caption" inside a column). Its reference to a data set ("DataSet")
// is published as an object reference and carries nothing.
#pragma once

#include <cstdint>
#include <string>

#include "settings/published.h"
#include "util/string_list.h"

namespace tessaro {

// Horizontal alignment of a table, row, cell or header cell.
enum THorizontalAlign : uint8_t { haDefault, haLeft, haRight, haCenter };
// Vertical alignment of a row, cell or header cell.
enum TVerticalAlign : uint8_t { haVDefault, haTop, haMiddle, haBottom, haBaseline };
// Where the caption sits.
enum TCaptionAlign : uint8_t { caDefault, caTop, caBottom };

// The header cell of a column.
class TColumnTitle : public TPublished<TColumnTitle> {
 public:
  static void DeclareProperties(TPropertyDeclarations<TColumnTitle>& p);

  THorizontalAlign Align = haDefault;  // alignment of the header cell
  std::string BgColor;                 // background colour; empty: none
  std::string Caption;                 // header text; empty: the field's label
  std::string Custom;                  // extra attributes of the header cell
  TVerticalAlign VAlign = haVDefault;  // vertical alignment of the header cell
};

// One column of the table: the field it shows and its cell attributes.
class TTableColumn : public TPublished<TTableColumn> {
 public:
  static void DeclareProperties(TPropertyDeclarations<TTableColumn>& p);

  THorizontalAlign Align = haDefault;  // alignment of the body cells
  std::string BgColor;                 // background colour of the body cells
  std::string Custom;                  // extra attributes of the body cells
  std::string FieldName;               // the field shown
  TColumnTitle Title;                  // the header cell
  TVerticalAlign VAlign = haVDefault;  // vertical alignment of the body cells
};

using TTableColumns = TVisitedCollection<TTableColumn>;

// Attributes of the <Table> element; -1 (and a width of 0 or less) leaves
// an attribute out.
class TTableAttributes : public TPublished<TTableAttributes> {
 public:
  static void DeclareProperties(TPropertyDeclarations<TTableAttributes>& p);

  THorizontalAlign Align = haDefault;  // alignment of the table
  std::string BgColor;                 // background colour
  int Border = -1;                     // border width
  int CellPadding = -1;                // cell padding
  int CellSpacing = -1;                // cell spacing
  std::string Custom;                  // extra attributes
  int Width = 100;                     // width in percent
};

// Attributes of every row.
class TRowAttributes : public TPublished<TRowAttributes> {
 public:
  static void DeclareProperties(TPropertyDeclarations<TRowAttributes>& p);

  THorizontalAlign Align = haDefault;  // alignment of the row
  std::string BgColor;                 // background colour
  std::string Custom;                  // extra attributes
  TVerticalAlign VAlign = haVDefault;  // vertical alignment of the row
};

class TTableTemplate : public TPublished<TTableTemplate> {
 public:
  // The class name a template is streamed under: the table producer's.
  static constexpr const char* kClassName = "TZNKTableProducer";
  static void DeclareProperties(TPropertyDeclarations<TTableTemplate>& p);

  std::string Caption;                         // table caption; empty: none
  TCaptionAlign CaptionAlignment = caDefault;  // where the caption sits
  TTableColumns Columns;                       // the columns in order
  TStrings Footer;                             // text after the table
  TStrings Header;                             // text before the table
  int MaxRows = 20;                            // body rows written at most
  TRowAttributes RowAttributes;                // attributes of every row
  TTableAttributes TableAttributes;            // attributes of the table
};

// Makes the column list `target` equal to `source`, column by column: field
// name, alignment, background colour, vertical alignment, custom attributes
// and title. A page calls it to give its live table the template's columns.
void CopyTemplateColumns(TTableColumns& target, const TTableColumns& source);

}  // namespace tessaro
