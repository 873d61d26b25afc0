// The stored properties of the evidence item record of versions 1 to 4.
#include "model/io/old_evidence_item.h"

#include "model/object_reference.h"

namespace tessaro {

void TOldColumnAttribute::DeclareProperties(TPropertyDeclarations<TOldColumnAttribute>& p) {
  using T = TOldColumnAttribute;
  p.String("BlobType", &T::BlobType, "")
      .String("DisplayFormat", &T::DisplayFormat, "")
      .String("FieldName", &T::FieldName, "")
      .Boolean("IsVisible", &T::IsVisible, true)
      .Integer("Precision", &T::Precision, 2);
}

void TOldEvidenceItem::DeclareProperties(TPropertyDeclarations<TOldEvidenceItem>& p) {
  using T = TOldEvidenceItem;
  p.String("InstanceID", &T::InstanceID)
      .StringList("BlobSelectClause", &T::BlobSelectClause)
      .Collection("ColumnAttributes", &T::ColumnAttributes)
      .Collection("DetailColumnAttributes", &T::DetailColumnAttributes)
      .Collection("DetailListColumnAttributes", &T::DetailListColumnAttributes)
      .StringList("DetailListSelectClause", &T::DetailListSelectClause)
      .StringList("DetailSelectClause", &T::DetailSelectClause)
      .String("detail_link_text", &T::detail_link_text, "")
      .String("detApplicationRoleID", &T::detApplicationRoleID, "")
      .String("EvidenceName", &T::EvidenceName, "")
      .String("Expr_DetailTemplate", &T::Expr_DetailTemplate, "")
      .Integer("OrderInList", &T::OrderInList)
      .StringList("ParametrizedSelectClause", &T::ParametrizedSelectClause)
      .StringList("SummaryRowSelectClause", &T::SummaryRowSelectClause);
  // The templates were stored as objects of their own; the record names them.
  DeclareObjectReference(p, "DetailListProducerTemplate");
  DeclareObjectReference(p, "ProducerTemplate");
}

}  // namespace tessaro
