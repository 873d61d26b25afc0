// The portal's model: its master lists in their fixed order, its built-in
// content and its hooks.
//
// The order of the master lists is the order in which LinkAll visits them
// and in which the lists are addressed by index; it never changes. The
// parameter editors are built in and never stored, so their list is Fixed
// and survives clearing; the built-in application types are ordinary
// content that a loaded definition file replaces.
#include "model/inet_mgr_model.h"

#include "model/application_role.h"
#include "model/application_type.h"
#include "model/evidence_item.h"
#include "model/evidence_item_action.h"
#include "model/evidence_item_detail_page.h"
#include "model/evidence_item_detail_page_switch.h"
#include "model/param_def.h"
#include "model/param_editor.h"
#include "model/param_type_def.h"
#include "model/user_account.h"
#include "model/user_override_application_role.h"
#include "model/user_override_evidence_item.h"
#include "util/codepage.h"

namespace tessaro {
namespace {

struct TBuiltInEditor {
  const char* descr;        // EditorDescr, UTF-8
  const char* id;           // InstanceID
  bool plain_text;          // PlainFilterText
  TOptionsFactory options;  // OptionsClass
};

// The lookup keeps the SQL of its choices, the combo box the choices
// themselves, both as lines.
constexpr TBuiltInEditor kBuiltInEditors[] = {
    {"Datum", "{4A73EC23-6DAB-41FC-8A39-15099BFBB2A7}", true, nullptr},
    {"Lookup", "{A43571D9-5341-4C1F-9E4F-AA182B342A77}", false, &MakeOptions<TZNKVisitedStrings>},
    {"Plain text", "{FBCD7C44-BF53-41C5-BB45-666E395FAC2D}", true, nullptr},
    {"Výběr v komboboxu", "{D6A511EA-0A7C-4FF4-8569-81C34FFC585D}", false, &MakeOptions<TZNKVisitedStrings>},
    {"Checkbox", "{2F4AD180-6D62-4329-A7CB-E10E5C5E9CB1}", false, nullptr},
};

struct TBuiltInType {
  const char* name;  // TypeName
  const char* id;    // InstanceID
};

constexpr TBuiltInType kBuiltInTypes[] = {
    {"Tolvan", "{68E4042B-FDF9-478B-A67F-905BC420474C}"},
    {"Tolvik", "{FAD3BE82-A190-45C3-8F57-A6B78C3A7096}"},
    {"Pradel", "{20BF4977-E67C-4BA9-B882-61095FC878FB}"},
};

enum TMasterList {
  kParamEditors,
  kApplicationRoles,
  kApplicationTypes,
  kEvidenceItems,
  kEvidenceItemDetailPages,
  kEvidenceItemDetailPageSwitches,
  kEvidenceItemActions,
  kParamDefs,
  kParamTypeDefs,
  kUserAccounts,
  kUserOverridesApplicationRole,
  kUserOverridesEvidenceItem,
};

}  // namespace

TInetMgrModel::TInetMgrModel() {
  CreateLists({&MakeList<TParamEditorsList>, &MakeList<TApplicationRolesList>, &MakeList<TApplicationTypesList>,
               &MakeList<TEvidenceItemsList>, &MakeList<TEvidenceItemDetailPagesList>,
               &MakeList<TEvidenceItemDetailPageSwitchesList>, &MakeList<TEvidenceItemActionsList>,
               &MakeList<TParamDefsList>, &MakeList<TParamTypeDefsList>, &MakeList<TUserAccountsList>,
               &MakeList<TUserOverrides_ApplicationRoleList>, &MakeList<TUserOverrides_EvidenceItemList>});
  ParamEditors().Fixed = true;
  AddBuiltIns();
  InstallHooks();
}

void TInetMgrModel::AddBuiltIns() {
  for (const TBuiltInEditor& builtin : kBuiltInEditors) {
    auto editor = std::make_unique<TParamEditor>();
    editor->InstanceID = builtin.id;
    editor->EditorDescr = Cp1250(builtin.descr);
    editor->PlainFilterText = builtin.plain_text;
    editor->OptionsClass = builtin.options;
    ParamEditors().AddNew(std::move(editor));
  }
  for (const TBuiltInType& builtin : kBuiltInTypes) {
    auto type = std::make_unique<TApplicationType>();
    type->InstanceID = builtin.id;
    type->TypeName = builtin.name;
    ApplicationTypes().AddNew(std::move(type));
  }
}

void TInetMgrModel::InstallHooks() {
  // Every change marks the model modified; an edited evidence item first
  // brings its parameter definitions in step with its SQL.
  OnElementEdited = [this](T_V_DataElement* element) {
    if (auto* item = dynamic_cast<TEvidenceItem*>(element)) item->SyncParamDefs();
    Modified = true;
  };
  OnElementAdded = [this](T_V_AbstractDataList*, T_V_DataElement*) { Modified = true; };
  OnListChanged = [this](T_V_AbstractDataList*, T_V_DataElement*) { Modified = true; };
  OnBeforeDeleteElement = [this](T_V_DataElement* element) {
    const auto* type = dynamic_cast<const TParamTypeDef*>(element);
    if (type == nullptr || !ConfirmDeletion || !type->IsUsed()) return;
    static const std::string question =
        Cp1250("Zvolený typ parametru je v evidencích používán. Opravdu ho mám odstranit?");
    if (!ConfirmDeletion(question)) throw EDeletionCancelled("Operation aborted");
  };
}

TParamEditorsList& TInetMgrModel::ParamEditors() const {
  return static_cast<TParamEditorsList&>(*ListAt(kParamEditors));
}
TApplicationRolesList& TInetMgrModel::ApplicationRoles() const {
  return static_cast<TApplicationRolesList&>(*ListAt(kApplicationRoles));
}
TApplicationTypesList& TInetMgrModel::ApplicationTypes() const {
  return static_cast<TApplicationTypesList&>(*ListAt(kApplicationTypes));
}
TEvidenceItemsList& TInetMgrModel::EvidenceItems() const {
  return static_cast<TEvidenceItemsList&>(*ListAt(kEvidenceItems));
}
TEvidenceItemDetailPagesList& TInetMgrModel::EvidenceItemDetailPages() const {
  return static_cast<TEvidenceItemDetailPagesList&>(*ListAt(kEvidenceItemDetailPages));
}
TEvidenceItemDetailPageSwitchesList& TInetMgrModel::EvidenceItemDetailPageSwitches() const {
  return static_cast<TEvidenceItemDetailPageSwitchesList&>(*ListAt(kEvidenceItemDetailPageSwitches));
}
TEvidenceItemActionsList& TInetMgrModel::EvidenceItemActions() const {
  return static_cast<TEvidenceItemActionsList&>(*ListAt(kEvidenceItemActions));
}
TParamDefsList& TInetMgrModel::ParamDefs() const { return static_cast<TParamDefsList&>(*ListAt(kParamDefs)); }
TParamTypeDefsList& TInetMgrModel::ParamTypeDefs() const {
  return static_cast<TParamTypeDefsList&>(*ListAt(kParamTypeDefs));
}
TUserAccountsList& TInetMgrModel::UserAccounts() const {
  return static_cast<TUserAccountsList&>(*ListAt(kUserAccounts));
}
TUserOverrides_ApplicationRoleList& TInetMgrModel::UserOverridesApplicationRole() const {
  return static_cast<TUserOverrides_ApplicationRoleList&>(*ListAt(kUserOverridesApplicationRole));
}
TUserOverrides_EvidenceItemList& TInetMgrModel::UserOverridesEvidenceItem() const {
  return static_cast<TUserOverrides_EvidenceItemList&>(*ListAt(kUserOverridesEvidenceItem));
}

void TInetMgrModel::ClearUserData() {
  UserAccounts().Clear();
  UserOverridesApplicationRole().Clear();
  UserOverridesEvidenceItem().Clear();
}

}  // namespace tessaro
