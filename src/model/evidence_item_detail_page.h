// TEvidenceItemDetailPage: a detail page of an evidence item: the SQL of
// one record and of a dependent list, their column attributes, the table
// template of that list and the expression choosing the page's template.
#pragma once

#include <span>
#include <string>

#include "model/column_attribute.h"
#include "model/evidence_item.h"
#include "model/inet_mgr_base.h"
#include "model/table_template.h"
#include "util/string_list.h"

namespace tessaro {

class TEvidenceItemDetailPage : public TDeclaredElement<TEvidenceItemDetailPage, TInetMgrBase> {
 public:
  static constexpr const char* kClassName = "TEvidenceItemDetailPage";
  static void DeclareProperties(TPropertyDeclarations<TEvidenceItemDetailPage>& p);

  // The owning evidence item. Throws Exception (no or multiple referrers)
  // unless exactly one item lists this one.
  TEvidenceItem* EvidenceItem() const;
  // The table layout of the dependent list. Stored as an object of its own
  // after the page, not among the page's properties.
  TTableTemplate& DetailListProducerTemplate() { return detail_list_template_; }
  const TTableTemplate& DetailListProducerTemplate() const { return detail_list_template_; }

  // Empty when the owning item is reached by https only; else the name of
  // the page's own AccessProtocol ("", "http", "https").
  std::string AccessProtocolText() const;
  // FieldName of the last attribute of DetailListColumnAttributes marked as
  // row identifier; empty when none is.
  std::string RowIdentifierFieldName() const;

  // A page that carries its item's identifier (pages made from old files
  // did) gets an identifier of its own, and the item's references follow
  // it. Throws Exception (no or multiple referrers) unless exactly one item
  // lists the page, which fails the load.
  void AfterLoad() override;
  // Clears the references to the page in its evidence item (if it has one)
  // before the page leaves its lists.
  void Unlink() override;
  // 0 EvidenceDetailName; 1 DetailTarget, or without one "" when the page
  // links an action and "(default)" otherwise.
  std::string GetColumnText(int column) const override;
  std::string GetDefaultName() const override;

  tAccessProtocolType AccessProtocol = apDefault;            // protocol of detail links; always stored
  TZNKHTMLTableColumnAttributes DetailColumnAttributes;      // fields of the detail record
  TZNKHTMLTableColumnAttributes DetailListColumnAttributes;  // columns of the dependent list
  TStrings DetailListSelectClause;                           // SQL of the dependent list
  TStrings DetailSelectClause;                               // SQL of the detail record
  std::string DetailTarget;                                  // target window of links to the page
  std::string detEvidenceItemID;                             // InstanceID of the owning evidence item
  std::string EvidenceDetailName;                            // name of the page
  std::string Expr_DetailTemplate;                           // expression giving the page template
  std::string IDAction;                                      // action linked from the page
  TStrings ListSummaryRowSelectClause;                       // SQL of the dependent list's summary row

 protected:
  std::span<const TStoredReference> StoredReferences() const override;

 private:
  TTableTemplate detail_list_template_;  // the dependent list's table layout
};

class TEvidenceItemDetailPagesList final : public TInetMgrList<TEvidenceItemDetailPage> {
 public:
  using TInetMgrList::TInetMgrList;
};

}  // namespace tessaro
