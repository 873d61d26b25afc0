// Checks of a freshly read model, in the order a reader fixes them:
// identities, stored references, soft references between the parts of an
// evidence item, accounts, and last the load itself (linking and the
// after-load step), which is where the portal would fail.
//
// References are checked on the stored identifiers, before linking, with
// the comparison linking uses (letter case ignored), so a reference that
// would not link is reported even when linking would not fail on it.
#include "model/io/model_check.h"

#include <map>
#include <unordered_map>

#include "model/application_role.h"
#include "model/application_type.h"
#include "model/evidence_item.h"
#include "model/evidence_item_action.h"
#include "model/evidence_item_detail_page.h"
#include "model/evidence_item_detail_page_switch.h"
#include "model/inet_mgr_model.h"
#include "model/io/stored_parts.h"
#include "model/param_def.h"
#include "model/param_editor.h"
#include "model/param_type_def.h"
#include "model/user_account.h"
#include "model/user_override_application_role.h"
#include "model/user_override_evidence_item.h"
#include "util/exception.h"
#include "util/text.h"

namespace tessaro {
namespace {

struct TClassLabel {
  const TElementClass& (*element_class)();
  const char* label;
};

const TClassLabel kClassLabels[] = {
    {&TApplicationType::StaticClass, "application type"},
    {&TApplicationRole::StaticClass, "role"},
    {&TEvidenceItem::StaticClass, "evidence item"},
    {&TEvidenceItemDetailPage::StaticClass, "detail page"},
    {&TEvidenceItemAction::StaticClass, "action"},
    {&TEvidenceItemDetailPageSwitch::StaticClass, "detail page switch"},
    {&TParamDef::StaticClass, "parameter"},
    {&TParamTypeDef::StaticClass, "parameter type"},
    {&TParamEditor::StaticClass, "parameter editor"},
    {&TUserAccount::StaticClass, "account"},
    {&TUserOverride_ApplicationRole::StaticClass, "role override"},
    {&TUserOverride_EvidenceItem::StaticClass, "evidence override"},
};

std::string Label(const TElementClass& element_class) {
  for (const TClassLabel& entry : kClassLabels)
    if (&entry.element_class() == &element_class) return entry.label;
  return element_class.Name();
}

// A reference every element of a class must hold, and what a missing or
// dangling one does to the portal.
struct TRequiredReference {
  const TElementClass& (*element_class)();
  const TElementClass& (*master_class)();
  const char* consequence;
};

const TRequiredReference kRequiredReferences[] = {
    {&TApplicationRole::StaticClass, &TApplicationType::StaticClass, "its evidence items cannot run their SQL"},
    {&TEvidenceItem::StaticClass, &TApplicationRole::StaticClass, "no visitor is shown the evidence item"},
    {&TEvidenceItemDetailPage::StaticClass, &TEvidenceItem::StaticClass, "the portal fails to load the model"},
    {&TEvidenceItemAction::StaticClass, &TEvidenceItem::StaticClass, "the action is never offered"},
    {&TEvidenceItemDetailPageSwitch::StaticClass, &TEvidenceItem::StaticClass, "the switch is never used"},
    {&TParamDef::StaticClass, &TEvidenceItem::StaticClass, "the parameter is never used"},
    {&TParamDef::StaticClass, &TParamTypeDef::StaticClass, "pages of its evidence item fail"},
    {&TParamTypeDef::StaticClass, &TApplicationType::StaticClass, "the type belongs to no application type"},
    {&TParamTypeDef::StaticClass, &TParamEditor::StaticClass, "its parameters have no control"},
    {&TUserAccount::StaticClass, &TApplicationRole::StaticClass, "the account can log in but sees nothing"},
    {&TUserOverride_ApplicationRole::StaticClass, &TApplicationRole::StaticClass, "the override has no effect"},
    {&TUserOverride_EvidenceItem::StaticClass, &TEvidenceItem::StaticClass, "the override has no effect"},
};

// Soft references: property names whose value is the identifier of a part
// of an evidence item, by the class of that part.
const TElementClass* SoftReferenceTarget(std::string_view name) {
  if (SameText(name, "IDAction")) return &TEvidenceItemAction::StaticClass();
  if (SameText(name, "IDDetailPageSwitch")) return &TEvidenceItemDetailPageSwitch::StaticClass();
  if (StartsText("IDDetailPage", name) || SameText(name, "IDSuccessDetailPage"))
    return &TEvidenceItemDetailPage::StaticClass();
  return nullptr;
}

// The element as messages name it: its kind, its name where it has one,
// and its identifier.
std::string Name(const T_V_DataElement& element) {
  std::string name;
  try {
    name = element.GetColumnText(0);
  } catch (const std::exception&) {
  }
  std::string text = Label(element.ClassType());
  if (!name.empty()) text += " \"" + name + "\"";
  return text + " " + (element.InstanceID.empty() ? "(no identifier)" : element.InstanceID);
}

class TChecker {
 public:
  explicit TChecker(TInetMgrModel& model) : model_(model) {
    for (int l = 0; l < model.ListCount(); ++l) {
      T_V_AbstractDataList& list = *model.ListAt(l);
      auto& ids = ids_[list.ElementClass()];
      list.ForEach([&ids](T_V_DataElement* e) { ++ids[UpperCase(e->InstanceID)]; });
    }
  }

  std::vector<std::string> Run() {
    for (int l = 0; l < model_.ListCount(); ++l) {
      if (model_.ListAt(l)->Fixed) continue;
      CheckIdentities(*model_.ListAt(l));
      model_.ListAt(l)->ForEach([this](T_V_DataElement* e) {
        CheckReferences(*e);
        CheckSoftReferences(*e, *e, "");
        if (auto* item = dynamic_cast<TEvidenceItem*>(e))
          CheckSoftReferences(*e, item->ProducerTemplate(), "ProducerTemplate.");
      });
    }
    CheckAccounts();
    for (std::string& problem : CheckEditorLetterCase(model_)) problems_.push_back(std::move(problem));
    CheckLoad();
    return std::move(problems_);
  }

 private:
  bool Exists(const TElementClass& element_class, std::string_view id) const {
    auto list = ids_.find(&element_class);
    return list != ids_.end() && list->second.count(UpperCase(id)) > 0;
  }

  void CheckIdentities(const T_V_AbstractDataList& list) {
    std::map<std::string, int> reported;
    list.ForEach([&](const T_V_DataElement* e) {
      if (e->InstanceID.empty()) {
        problems_.push_back(Name(*e) + ": has no identifier; nothing can refer to it");
        return;
      }
      const int count = ids_.at(list.ElementClass()).at(UpperCase(e->InstanceID));
      if (count > 1 && reported[UpperCase(e->InstanceID)]++ == 0)
        problems_.push_back(Name(*e) + ": the identifier is used by " + std::to_string(count) + " " +
                            Label(*list.ElementClass()) + "s; links to it are ambiguous");
    });
  }

  void CheckReferences(const T_V_DataElement& element) {
    for (const TRequiredReference& reference : kRequiredReferences) {
      if (&element.ClassType() != &reference.element_class()) continue;
      const TElementClass& master = reference.master_class();
      const std::string id(element.GetReferenceID(&master));
      if (id.empty())
        problems_.push_back(Name(element) + ": names no " + Label(master) + "; " + reference.consequence);
      else if (!Exists(master, id))
        problems_.push_back(Name(element) + ": its " + Label(master) + " " + id + " does not exist; " +
                            reference.consequence);
    }
  }

  void CheckSoftReferences(const T_V_DataElement& element, const TPublishedObject& object, const std::string& prefix) {
    for (const auto& property : object.PublishedProperties().Properties()) {
      const std::string name = prefix + property->Name();
      switch (property->Kind()) {
        case pkString: {
          const TElementClass* target = SoftReferenceTarget(property->Name());
          const std::string id = target != nullptr ? property->GetString(object) : std::string();
          if (!id.empty() && !Exists(*target, id))
            problems_.push_back(Name(element) + ": " + name + " names " + Label(*target) + " " + id +
                                " which does not exist; the link is not shown");
          break;
        }
        case pkCollection: {
          const TPublishedCollection& items = *property->Collection(object);
          for (size_t i = 0; i < items.Count(); ++i)
            CheckSoftReferences(element, items.Item(i), name + "[" + std::to_string(i) + "].");
          break;
        }
        case pkObject:
          if (const TPublishedObject* nested = property->Object(object))
            CheckSoftReferences(element, *nested, name + ".");
          break;
        default:
          break;
      }
    }
  }

  void CheckAccounts() {
    std::map<std::pair<std::string, std::string>, const TUserAccount*> credentials;
    model_.UserAccounts().ForEach([&](T_V_DataElement* e) {
      const auto& account = static_cast<const TUserAccount&>(*e);
      if (account.Username.empty()) {
        problems_.push_back(Name(account) + ": has no user name and cannot log in");
        return;
      }
      auto [first, inserted] = credentials.emplace(std::make_pair(account.Username, account.Password), &account);
      if (!inserted)
        problems_.push_back(Name(account) + ": can never log in, " + Name(*first->second) +
                            " has the same user name and password");
    });
  }

  // The portal links the model and runs the after-load step on every
  // request; a failure there is what visitors would see.
  void CheckLoad() {
    try {
      model_.LinkAll();
      model_.AfterLoadAll();
    } catch (const std::exception& error) {
      problems_.push_back(std::string("the portal fails to load the model: ") + error.what());
    }
  }

  TInetMgrModel& model_;                                                                // the model checked
  std::unordered_map<const TElementClass*, std::unordered_map<std::string, int>> ids_;  // identifiers by class
  std::vector<std::string> problems_;                                                   // found so far
};

}  // namespace

std::vector<std::string> CheckModel(TInetMgrModel& model) { return TChecker(model).Run(); }

std::vector<std::string> CheckEditorLetterCase(const TInetMgrModel& model) {
  std::vector<std::string> problems;
  model.ParamTypeDefs().ForEach([&](const T_V_DataElement* e) {
    const auto& type = static_cast<const TParamTypeDef&>(*e);
    if (model.ParamEditors().FindByInstanceID(type.detParamEditorID) != nullptr) return;
    model.ParamEditors().ForEach([&](const T_V_DataElement* editor) {
      if (SameText(editor->InstanceID, type.detParamEditorID))
        problems.push_back(Name(type) + ": its parameter editor " + type.detParamEditorID + " differs from " +
                           editor->InstanceID + " only in letter case; the editor's options are lost");
    });
  });
  return problems;
}

}  // namespace tessaro
