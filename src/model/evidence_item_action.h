// TEvidenceItemAction: a record action of an evidence item: an SQL command,
// or the class identifier of an action-handler component, run on the record
// a link names, with where to go after it succeeded.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "model/evidence_item.h"
#include "model/inet_mgr_base.h"
#include "util/string_list.h"

namespace tessaro {

// How an action's result reaches its success detail page: as the value of
// the record field, or as the action's result message.
enum tEvidenceActionResultURLField : uint8_t { eariFIELDTEXT, eariACTIONRESULT };

class TEvidenceItemAction : public TDeclaredElement<TEvidenceItemAction, TInetMgrBase> {
 public:
  static constexpr const char* kClassName = "TEvidenceItemAction";
  static void DeclareProperties(TPropertyDeclarations<TEvidenceItemAction>& p);

  // The owning evidence item. Throws Exception (no or multiple referrers)
  // unless exactly one item lists this one.
  TEvidenceItem* EvidenceItem() const;
  // Empty when the owning item is reached by https only; else the name of
  // the action's own AccessProtocol ("", "http", "https").
  std::string AccessProtocolText() const;

  // Clears the references to the action in its evidence item (if it has
  // one) before the action leaves its lists.
  void Unlink() override;
  // 0 EvidenceActionName.
  std::string GetColumnText(int column) const override;
  std::string GetDefaultName() const override;

  tAccessProtocolType AccessProtocol = apDefault;                // protocol of the action link; always stored
  TStrings ActionSQL;                                            // SQL command or component class identifier
  std::string ClickPromptText;                                   // confirmation asked before the action runs
  bool DefaultReturnToFormPage = false;                          // return to the page the action started from
  std::string detEvidenceItemID;                                 // InstanceID of the owning evidence item
  std::string EvidenceActionName;                                // name of the action
  std::string IDSuccessDetailPage;                               // detail page shown after success
  std::string ResultTarget;                                      // target window of the action's links
  tEvidenceActionResultURLField ResultURLField = eariFIELDTEXT;  // how the result reaches that page; always stored

 protected:
  std::span<const TStoredReference> StoredReferences() const override;
};

class TEvidenceItemActionsList final : public TInetMgrList<TEvidenceItemAction> {
 public:
  using TInetMgrList::TInetMgrList;
};

}  // namespace tessaro
