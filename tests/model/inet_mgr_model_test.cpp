#include "model/inet_mgr_model.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

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
#include "util/identifiers.h"

namespace tessaro {
namespace {

constexpr const char* kDateEditor = "{4A73EC23-6DAB-41FC-8A39-15099BFBB2A7}";

// A model as a load leaves it: elements in their master lists with stored
// references, then linked, after-load run and unmodified.
//   type {T} "Typ": roles {R} "Sales" and {R2} "Support", parameter type {PT}
//   role {R}: evidence items {I1}, {I2}, each with a parameter, detail page,
//             action, switch and evidence override; accounts jan/heslo, Jan
//   role {R2}: account with empty name and password; override "Podpora"
//   account petr/x of the role {NONE}, which does not exist
class PortalModel : public ::testing::Test {
 protected:
  PortalModel() {
    {
      TModelStateScope loading(model, msLoading);
      Add<TApplicationType>(model.ApplicationTypes(), "{T}")->TypeName = "Typ";
      auto* sales = Add<TApplicationRole>(model.ApplicationRoles(), "{R}");
      sales->RoleName = "Sales";
      sales->detApplicationTypeID = "{T}";
      auto* support = Add<TApplicationRole>(model.ApplicationRoles(), "{R2}");
      support->RoleName = "Support";
      support->detApplicationTypeID = "{t}";
      auto* type = Add<TParamTypeDef>(model.ParamTypeDefs(), "{PT}");
      type->detApplicationTypeID = "{T}";
      type->detParamEditorID = kDateEditor;
      for (const char* item_id : {"{I1}", "{I2}"}) {
        Add<TEvidenceItem>(model.EvidenceItems(), item_id)->detApplicationRoleID = "{R}";
        auto* param = Add<TParamDef>(model.ParamDefs(), std::string(item_id) + "P");
        param->detEvidenceItemID = item_id;
        param->detParamTypeDefID = "{PT}";
        Add<TEvidenceItemDetailPage>(model.EvidenceItemDetailPages(), "")->detEvidenceItemID = item_id;
        Add<TEvidenceItemAction>(model.EvidenceItemActions(), "")->detEvidenceItemID = item_id;
        Add<TEvidenceItemDetailPageSwitch>(model.EvidenceItemDetailPageSwitches(), "")->detEvidenceItemID = item_id;
        Add<TUserOverride_EvidenceItem>(model.UserOverridesEvidenceItem(), "")->detEvidenceItemID = item_id;
      }
      AddAccount("{A1}", "jan", "heslo", "{R}");
      AddAccount("{A2}", "Jan", "", "{R}");
      AddAccount("{A3}", "", "", "{R2}");
      AddAccount("{A4}", "petr", "x", "{NONE}");
      auto* override_ = Add<TUserOverride_ApplicationRole>(model.UserOverridesApplicationRole(), "{O}");
      override_->detApplicationRoleID = "{R2}";
      override_->RoleName = Cp1250("Podpora");
      override_->BlackBoard = {"a", "b"};
    }
    model.LinkAll();
    model.AfterLoadAll();
    model.Modified = false;
  }

  template <class E, class L>
  E* Add(L& list, const std::string& id) {
    auto element = std::make_unique<E>();
    element->InstanceID = id;
    return list.AddNew(std::move(element));
  }
  void AddAccount(const char* id, const char* username, const char* password, const char* role) {
    auto* account = Add<TUserAccount>(model.UserAccounts(), id);
    account->Username = username;
    account->Password = password;
    account->detApplicationRoleID = role;
  }
  TApplicationRole* Role(const char* id) const {
    return static_cast<TApplicationRole*>(model.ApplicationRoles().FindByInstanceID(id));
  }
  TUserAccount* Account(const char* id) const {
    return static_cast<TUserAccount*>(model.UserAccounts().FindByInstanceID(id));
  }
  std::string Id(const T_V_DataElement* element) const { return element != nullptr ? element->InstanceID : "null"; }

  TInetMgrModel model;
};

TEST(InetMgrModel, AFreshModelHasTwelveOwningMasterListsAndItsBuiltIns) {
  TInetMgrModel model;
  const std::vector<std::string> classes = {"TParamEditor",
                                            "TApplicationRole",
                                            "TApplicationType",
                                            "TEvidenceItem",
                                            "TEvidenceItemDetailPage",
                                            "TEvidenceItemDetailPageSwitch",
                                            "TEvidenceItemAction",
                                            "TParamDef",
                                            "TParamTypeDef",
                                            "TUserAccount",
                                            "TUserOverride_ApplicationRole",
                                            "TUserOverride_EvidenceItem"};
  ASSERT_EQ(model.ListCount(), 12);
  for (int i = 0; i < 12; ++i) {
    EXPECT_EQ(model.ListAt(i)->ElementClassName(), classes[i]);
    EXPECT_TRUE(model.ListAt(i)->OwnsItems());
    EXPECT_EQ(model.ListAt(i)->Fixed, i == 0) << classes[i];
    EXPECT_TRUE(model.ListAt(i)->SortBeforeXmlSave);
  }
  EXPECT_EQ(&model.UserOverridesEvidenceItem(), model.ListAt(11));

  struct Editor {
    const char* descr;
    const char* id;
    bool plain;
  };
  const Editor editors[] = {{"Datum", kDateEditor, true},
                            {"Lookup", "{A43571D9-5341-4C1F-9E4F-AA182B342A77}", false},
                            {"Plain text", "{FBCD7C44-BF53-41C5-BB45-666E395FAC2D}", true},
                            {"Výběr v komboboxu", "{D6A511EA-0A7C-4FF4-8569-81C34FFC585D}", false},
                            {"Checkbox", "{2F4AD180-6D62-4329-A7CB-E10E5C5E9CB1}", false}};
  ASSERT_EQ(model.ParamEditors().Count(), 5);
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(model.ParamEditors().Items(i)->EditorDescr, Cp1250(editors[i].descr));
    EXPECT_EQ(model.ParamEditors().Items(i)->InstanceID, editors[i].id);
    EXPECT_EQ(model.ParamEditors().Items(i)->PlainFilterText, editors[i].plain);
  }
  const char* types[][2] = {{"Tolvan", "{68E4042B-FDF9-478B-A67F-905BC420474C}"},
                            {"Tolvik", "{FAD3BE82-A190-45C3-8F57-A6B78C3A7096}"},
                            {"Pradel", "{20BF4977-E67C-4BA9-B882-61095FC878FB}"}};
  ASSERT_EQ(model.ApplicationTypes().Count(), 3);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(model.ApplicationTypes().Items(i)->TypeName, types[i][0]);
    EXPECT_EQ(model.ApplicationTypes().Items(i)->InstanceID, types[i][1]);
    EXPECT_EQ(model.ApplicationTypes().Items(i)->DefaultCatalog, "");
  }
  EXPECT_EQ(model.Mode, TInetMgrModel::kDefinitionsMode);
  EXPECT_FALSE(model.Modified);

  // Clearing for a load keeps the editors only.
  model.ClearAll();
  EXPECT_EQ(model.ParamEditors().Count(), 5);
  EXPECT_EQ(model.ApplicationTypes().Count(), 0);
  EXPECT_TRUE(model.Modified);
}

TEST_F(PortalModel, FindByUsernameAndCredentialsCompareExactly) {
  struct Case {
    const char* username;
    const char* password;
    const char* by_username;
    const char* by_credentials;
  };
  const Case cases[] = {
      {"jan", "heslo", "{A1}", "{A1}"}, {"Jan", "", "{A2}", "{A2}"},  // an empty password matches an empty one
      {"JAN", "heslo", "null", "null"}, {"jan", "HESLO", "{A1}", "null"},
      {"jan", "", "{A1}", "null"},      {"", "", "null", "null"},  // never the account without a name
      {"nobody", "x", "null", "null"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Id(model.UserAccounts().FindByUsername(c.username)), c.by_username) << c.username;
    EXPECT_EQ(Id(model.UserAccounts().FindByCredentials(c.username, c.password)), c.by_credentials)
        << c.username << "/" << c.password;
  }
}

TEST_F(PortalModel, OtherAccountsWithTheSameCredentialsOrName) {
  TUserAccountsList& accounts = model.UserAccounts();
  Account("{A1}")->AccountName = "Jan Novák";
  EXPECT_TRUE(accounts.HasOtherWithCredentials("jan", "heslo", Account("{A2}")));
  EXPECT_FALSE(accounts.HasOtherWithCredentials("jan", "heslo", Account("{A1}")));
  EXPECT_FALSE(accounts.HasOtherWithCredentials("", "", nullptr));
  EXPECT_TRUE(accounts.HasOtherWithAccountName("Jan Novák", nullptr));
  EXPECT_FALSE(accounts.HasOtherWithAccountName("Jan Novák", Account("{A1}")));
  EXPECT_FALSE(accounts.HasOtherWithAccountName("", nullptr));  // unnamed accounts are not duplicates
}

TEST_F(PortalModel, AnAccountsRoleIsOptionalButNeverAmbiguous) {
  EXPECT_EQ(Id(Account("{A1}")->Role()), "{R}");
  EXPECT_EQ(Id(Account("{A3}")->Role()), "{R2}");
  EXPECT_EQ(Account("{A4}")->Role(), nullptr);  // its role does not exist
  Role("{R2}")->UserAccounts().Add(Account("{A1}"));
  try {
    Account("{A1}")->Role();
    ADD_FAILURE();
  } catch (const Exception& e) {
    EXPECT_STREQ(e.what(), "\"TUserAccount\" has multiple referrers of type TApplicationRole");
  }
}

TEST_F(PortalModel, ARoleNeedsExactlyOneApplicationTypeAndIsNamedByMode) {
  EXPECT_EQ(Id(Role("{R}")->ApplicationType()), "{T}");
  EXPECT_EQ(Id(Role("{R2}")->ApplicationType()), "{T}");  // stored in lower case
  Role("{R2}")->Detach(model.ApplicationTypes().Items(3));
  EXPECT_EQ(Role("{R2}")->detApplicationTypeID, "");
  struct Case {
    uint8_t mode;
    const char* message;
  };
  for (const Case& c : {Case{TInetMgrModel::kDefinitionsMode, "\"Support\" has no refferrer of type TApplicationType"},
                        Case{TInetMgrModel::kUserDataMode, "\"Podpora\" has no refferrer of type TApplicationType"}}) {
    model.Mode = c.mode;
    try {
      Role("{R2}")->ApplicationType();
      ADD_FAILURE();
    } catch (const Exception& e) {
      EXPECT_EQ(e.what(), Cp1250(c.message));
    }
  }
}

TEST_F(PortalModel, EffectiveRoleNameAndBlackBoardComeFromTheOverride) {
  struct Case {
    const char* role;
    const char* override_name;  // null: leave the override as it is
    const char* effective;
    const char* blackboard;
  };
  const Case cases[] = {
      {"{R}", nullptr, "Sales", ""},  // no override
      {"{R2}", nullptr, "Podpora", "a\r\nb\r\n"},
      {"{R2}", "", "", "a\r\nb\r\n"},  // an empty override name wins
  };
  for (const Case& c : cases) {
    TApplicationRole* role = Role(c.role);
    if (c.override_name != nullptr) role->UserOverride(false)->RoleName = c.override_name;
    EXPECT_EQ(role->EffectiveRoleName(), Cp1250(c.effective)) << c.role;
    EXPECT_EQ(role->BlackBoardText(), c.blackboard) << c.role;
  }
}

TEST_F(PortalModel, UserOverrideIsCreatedOnDemandInBothLists) {
  TApplicationRole* sales = Role("{R}");
  EXPECT_EQ(sales->UserOverride(false), nullptr);
  TUserOverride_ApplicationRole* created = sales->UserOverride(true);
  ASSERT_NE(created, nullptr);
  EXPECT_TRUE(IsGUIDString(created->InstanceID));
  EXPECT_EQ(created->detApplicationRoleID, "{R}");
  EXPECT_EQ(created->RoleName, "Sales");
  EXPECT_EQ(created->Role(), sales);
  EXPECT_EQ(model.UserOverridesApplicationRole().IndexOf(created), 1);
  EXPECT_EQ(sales->UserOverride(true), created);
  EXPECT_EQ(model.UserOverridesApplicationRole().Count(), 2);
  EXPECT_TRUE(model.Modified);

  TApplicationRole loose;
  EXPECT_THROW(loose.UserOverride(true), Exception);
}

TEST_F(PortalModel, EditorColumnsFollowTheMode) {
  TApplicationRole* support = Role("{R2}");
  EXPECT_EQ(support->GetColumnText(0), "Support");
  model.Mode = TInetMgrModel::kUserDataMode;
  EXPECT_EQ(support->GetColumnText(0), Cp1250("Podpora"));
  EXPECT_EQ(support->GetColumnText(1), "Support");
  // In user-data mode a role is renamed through its override.
  Role("{R}")->SetColumnText(0, "Prodej");
  EXPECT_EQ(Role("{R}")->RoleName, "Sales");
  EXPECT_EQ(Role("{R}")->EffectiveRoleName(), "Prodej");
  EXPECT_EQ(Account("{A1}")->GetColumnText(2), "Sales");
  EXPECT_EQ(Account("{A1}")->GetDisplayName(), "TUserAccount");
  EXPECT_EQ(model.UserOverridesApplicationRole().Items(0)->GetColumnText(1), Cp1250("Podpora"));
}

// A role takes its evidence items and everything hanging from them along;
// its accounts stay, with their stored role identifier, but without a role.
TEST_F(PortalModel, DeletingARoleDeletesItsEvidenceItemsButNotItsAccounts) {
  Role("{R}")->Delete();
  EXPECT_EQ(model.ApplicationRoles().Count(), 1);
  EXPECT_EQ(model.EvidenceItems().Count(), 0);
  EXPECT_EQ(model.ParamDefs().Count(), 0);
  EXPECT_EQ(model.EvidenceItemDetailPages().Count(), 0);
  EXPECT_EQ(model.EvidenceItemActions().Count(), 0);
  EXPECT_EQ(model.EvidenceItemDetailPageSwitches().Count(), 0);
  EXPECT_EQ(model.UserOverridesEvidenceItem().Count(), 2);
  EXPECT_EQ(model.ParamTypeDefs().Items(0)->ParamDefs().Count(), 0);
  EXPECT_EQ(model.UserAccounts().Count(), 4);
  EXPECT_EQ(Account("{A1}")->detApplicationRoleID, "{R}");
  EXPECT_EQ(Account("{A1}")->Role(), nullptr);
  EXPECT_EQ(model.ApplicationTypes().Items(3)->ApplicationRoles().Count(), 1);
}

TEST_F(PortalModel, DeletingATypeDeletesItsRolesAndParameterTypes) {
  model.ApplicationTypes().Items(3)->Delete();
  EXPECT_EQ(model.ApplicationTypes().Count(), 3);
  EXPECT_EQ(model.ApplicationRoles().Count(), 0);
  EXPECT_EQ(model.ParamTypeDefs().Count(), 0);
  EXPECT_EQ(model.EvidenceItems().Count(), 0);
  EXPECT_EQ(model.ParamEditors().Items(0)->ParamTypeDefs().Count(), 0);
  EXPECT_EQ(model.UserOverridesApplicationRole().Count(), 1);
  EXPECT_EQ(model.UserAccounts().Count(), 4);
}

TEST_F(PortalModel, ClearUserDataLeavesTheDefinitions) {
  model.ClearUserData();
  EXPECT_EQ(model.UserAccounts().Count(), 0);
  EXPECT_EQ(model.UserOverridesApplicationRole().Count(), 0);
  EXPECT_EQ(model.UserOverridesEvidenceItem().Count(), 0);
  EXPECT_EQ(Role("{R}")->UserAccounts().Count(), 0);
  EXPECT_EQ(Role("{R2}")->Overrides().Count(), 0);
  EXPECT_EQ(model.EvidenceItems().Items(0)->UserOverrides().Count(), 0);
  EXPECT_EQ(model.EvidenceItems().Count(), 2);
}

TEST_F(PortalModel, LinkingOutsideALoadKeepsStoredReferencesInStep) {
  TUserAccount* account = Account("{A4}");
  Role("{R2}")->UserAccounts().Add(account);
  EXPECT_EQ(account->detApplicationRoleID, "{R2}");
  account->Detach(Role("{R2}"));
  EXPECT_EQ(account->detApplicationRoleID, "");
  EXPECT_EQ(Role("{R2}")->UserAccounts().Count(), 1);
}

TEST_F(PortalModel, TheEvidencePartsKnowTheirOwners) {
  TEvidenceItem* item = model.EvidenceItems().Items(0);
  EXPECT_EQ(Id(item->Role()), "{R}");
  ASSERT_EQ(item->ParamDefs().Count(), 1);
  EXPECT_EQ(item->ParamDefs().Items(0)->EvidenceItem(), item);
  EXPECT_EQ(Id(item->ParamDefs().Items(0)->ParamTypeDef()), "{PT}");
  EXPECT_EQ(item->DetailPages().Items(0)->EvidenceItem(), item);
  EXPECT_EQ(item->Actions().Items(0)->EvidenceItem(), item);
  EXPECT_EQ(item->DetailPageSwitches().Items(0)->EvidenceItem(), item);
  EXPECT_EQ(item->UserOverrides().Count(), 1);
  EXPECT_EQ(Id(model.ParamTypeDefs().Items(0)->ParamEditor()), kDateEditor);
}

TEST_F(PortalModel, DeletingAParameterTypeInUseAsksFirst) {
  struct Case {
    const char* name;
    bool ask;     // a question can be asked
    bool answer;  // the answer given
    bool used;    // parameters use the type
    bool deleted;
    int questions;
  };
  const Case cases[] = {
      {"nobody to ask", false, false, true, true, 0},
      {"yes", true, true, true, true, 1},
      {"cancel", true, false, true, false, 1},
      {"not in use", true, false, false, true, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TInetMgrModel fresh;
    auto type = std::make_unique<TParamTypeDef>();
    type->InstanceID = "{PT}";
    TParamTypeDef* raw = fresh.ParamTypeDefs().AddNew(std::move(type));
    if (c.used) {
      auto param = std::make_unique<TParamDef>();
      raw->ParamDefs().AddNew(std::move(param));
    }
    int questions = 0;
    if (c.ask)
      fresh.ConfirmDeletion = [&](const std::string& question) {
        ++questions;
        EXPECT_EQ(question, Cp1250("Zvolený typ parametru je v evidencích používán. Opravdu ho mám odstranit?"));
        return c.answer;
      };
    if (c.deleted) {
      raw->Delete();
    } else {
      EXPECT_THROW(raw->Delete(), EDeletionCancelled);
    }
    EXPECT_EQ(fresh.ParamTypeDefs().Count(), c.deleted ? 0 : 1);
    EXPECT_EQ(questions, c.questions);
  }
}

}  // namespace
}  // namespace tessaro
