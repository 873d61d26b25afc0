// Table templates: the stored properties of a record table's layout, and the
// copying of its columns onto the table a page renders.
//
// The alignment value names are the ones definition files store; the
// defaults are the values a new table starts with, so a file leaves out
// every attribute that was never changed.
#include "model/table_template.h"

#include "model/object_reference.h"

namespace tessaro {
namespace {

const std::vector<std::string> kHorizontalAlignNames = {"haDefault", "haLeft", "haRight", "haCenter"};
const std::vector<std::string> kVerticalAlignNames = {"haVDefault", "haTop", "haMiddle", "haBottom", "haBaseline"};
const std::vector<std::string> kCaptionAlignNames = {"caDefault", "caTop", "caBottom"};

}  // namespace

void TColumnTitle::DeclareProperties(TPropertyDeclarations<TColumnTitle>& p) {
  p.Enumeration("Align", &TColumnTitle::Align, kHorizontalAlignNames, haDefault)
      .String("BgColor", &TColumnTitle::BgColor, "")
      .String("Caption", &TColumnTitle::Caption, "")
      .String("Custom", &TColumnTitle::Custom, "")
      .Enumeration("VAlign", &TColumnTitle::VAlign, kVerticalAlignNames, haVDefault);
}

void TTableColumn::DeclareProperties(TPropertyDeclarations<TTableColumn>& p) {
  p.Enumeration("Align", &TTableColumn::Align, kHorizontalAlignNames, haDefault)
      .String("BgColor", &TTableColumn::BgColor, "")
      .String("Custom", &TTableColumn::Custom, "")
      .String("FieldName", &TTableColumn::FieldName, "")
      .Object("Title", &TTableColumn::Title)
      .Enumeration("VAlign", &TTableColumn::VAlign, kVerticalAlignNames, haVDefault);
}

void TTableAttributes::DeclareProperties(TPropertyDeclarations<TTableAttributes>& p) {
  p.Enumeration("Align", &TTableAttributes::Align, kHorizontalAlignNames, haDefault)
      .String("BgColor", &TTableAttributes::BgColor, "")
      .Integer("Border", &TTableAttributes::Border, -1)
      .Integer("CellPadding", &TTableAttributes::CellPadding, -1)
      .Integer("CellSpacing", &TTableAttributes::CellSpacing, -1)
      .String("Custom", &TTableAttributes::Custom, "")
      .Integer("Width", &TTableAttributes::Width, 100);
}

void TRowAttributes::DeclareProperties(TPropertyDeclarations<TRowAttributes>& p) {
  p.Enumeration("Align", &TRowAttributes::Align, kHorizontalAlignNames, haDefault)
      .String("BgColor", &TRowAttributes::BgColor, "")
      .String("Custom", &TRowAttributes::Custom, "")
      .Enumeration("VAlign", &TRowAttributes::VAlign, kVerticalAlignNames, haVDefault);
}

void TTableTemplate::DeclareProperties(TPropertyDeclarations<TTableTemplate>& p) {
  p.String("Caption", &TTableTemplate::Caption, "")
      .Enumeration("CaptionAlignment", &TTableTemplate::CaptionAlignment, kCaptionAlignNames, caDefault)
      .Collection("Columns", &TTableTemplate::Columns)
      .StringList("Footer", &TTableTemplate::Footer)
      .StringList("Header", &TTableTemplate::Header)
      .Integer("MaxRows", &TTableTemplate::MaxRows, 20)
      .Object("RowAttributes", &TTableTemplate::RowAttributes)
      .Object("TableAttributes", &TTableTemplate::TableAttributes);
  DeclareObjectReference(p, "DataSet");
}

void CopyTemplateColumns(TTableColumns& target, const TTableColumns& source) {
  if (&target == &source) return;
  target.Clear();
  for (size_t i = 0; i < source.Count(); ++i) {
    const TTableColumn& from = source[i];
    TTableColumn& to = target.Add();
    to.FieldName = from.FieldName;
    to.Align = from.Align;
    to.BgColor = from.BgColor;
    to.VAlign = from.VAlign;
    to.Custom = from.Custom;
    to.Title = from.Title;
  }
}

}  // namespace tessaro
