// TInetMgrModel: the portal's metadata model. It owns twelve master lists,
// one per metadata class; a fresh model holds the five built-in parameter
// editors and the three built-in application types, and its hooks mark it
// modified on every change.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "model/model.h"
#include "util/exception.h"

namespace tessaro {

class TApplicationRolesList;
class TApplicationTypesList;
class TEvidenceItemActionsList;
class TEvidenceItemDetailPagesList;
class TEvidenceItemDetailPageSwitchesList;
class TEvidenceItemsList;
class TParamDefsList;
class TParamEditorsList;
class TParamTypeDefsList;
class TUserAccountsList;
class TUserOverrides_ApplicationRoleList;
class TUserOverrides_EvidenceItemList;

// Raised when the person asked to confirm a deletion declines; the deletion
// has not begun. Callers that ask questions treat it as a quiet cancel.
class EDeletionCancelled : public Exception {
 public:
  using Exception::Exception;
  const char* ClassName() const noexcept override { return "EDeletionCancelled"; }
};

class TInetMgrModel : public TDeclaredElement<TInetMgrModel, T_V_Model> {
 public:
  static constexpr const char* kClassName = "TInetMgrModel";
  static void DeclareProperties(TPropertyDeclarations<TInetMgrModel>&) {}

  // Values of Mode.
  static constexpr uint8_t kDefinitionsMode = 0;  // only the definition file is loaded and edited
  static constexpr uint8_t kUserDataMode = 1;     // definitions plus accounts and overrides (the portal's mode)

  // The twelve master lists, the built-in editors and application types, the
  // hooks; Mode is the definitions mode.
  TInetMgrModel();

  // The master lists, in the order in which they were created and are linked.
  TParamEditorsList& ParamEditors() const;                                      // [0], Fixed
  TApplicationRolesList& ApplicationRoles() const;                              // [1]
  TApplicationTypesList& ApplicationTypes() const;                              // [2]
  TEvidenceItemsList& EvidenceItems() const;                                    // [3]
  TEvidenceItemDetailPagesList& EvidenceItemDetailPages() const;                // [4]
  TEvidenceItemDetailPageSwitchesList& EvidenceItemDetailPageSwitches() const;  // [5]
  TEvidenceItemActionsList& EvidenceItemActions() const;                        // [6]
  TParamDefsList& ParamDefs() const;                                            // [7]
  TParamTypeDefsList& ParamTypeDefs() const;                                    // [8]
  TUserAccountsList& UserAccounts() const;                                      // [9]
  TUserOverrides_ApplicationRoleList& UserOverridesApplicationRole() const;     // [10]
  TUserOverrides_EvidenceItemList& UserOverridesEvidenceItem() const;           // [11]

  // Clears the accounts and both override lists.
  void ClearUserData();

  // Asks the person editing the model a yes/cancel question before a
  // parameter type that evidence items use is deleted; true means yes. A
  // model without it (the portal's) deletes without asking.
  std::function<bool(const std::string& question)> ConfirmDeletion;

  uint8_t Mode = kDefinitionsMode;        // kDefinitionsMode or kUserDataMode
  std::vector<uint8_t> DefinitionStream;  // the definition file's bytes while it is loaded
  std::vector<uint8_t> UserStream;        // the user file's bytes while it is loaded

 private:
  void AddBuiltIns();
  void InstallHooks();
};

}  // namespace tessaro
