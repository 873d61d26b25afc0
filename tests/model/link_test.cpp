#include <gtest/gtest.h>

#include <map>
#include <random>
#include <string>
#include <vector>

#include "model/application_role.h"
#include "model/application_type.h"
#include "model/evidence_item.h"
#include "model/evidence_item_action.h"
#include "model/evidence_item_detail_page.h"
#include "model/evidence_item_detail_page_switch.h"
#include "model/inet_mgr_model.h"
#include "model/param_def.h"
#include "model/param_editor.h"
#include "model/param_type_def.h"
#include "model/user_account.h"
#include "model/user_override_application_role.h"
#include "model/user_override_evidence_item.h"
#include "test_elements.h"
#include "util/format.h"
#include "util/text.h"

namespace tessaro::model_test {
namespace {

// Which details each master lists after LinkAll, by the stored reference.
TEST(LinkAll, MatchesStoredIdentifiersWithoutRegardToCase) {
  struct Case {
    const char* name;
    const char* stored;  // the detail's detMasterID
    bool linked;
  };
  const Case cases[] = {
      {"same text", "{0A1B2C3D-0000-4000-8000-00000000000F}", true},
      {"lower-case hexadecimal", "{0a1b2c3d-0000-4000-8000-00000000000f}", true},
      {"empty", "", false},
      {"unknown", "{0A1B2C3D-0000-4000-8000-000000000000}", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TTestModel model;
    TTestMaster* master = model.Make<TTestMaster>("m", "{0A1B2C3D-0000-4000-8000-00000000000F}");
    TTestMaster* other = model.Make<TTestMaster>("n", "");  // an empty identifier matches nothing
    TTestDetail* detail = model.Make<TTestDetail>("d");
    detail->detMasterID = c.stored;
    detail->referrer_changes = 0;
    model.LinkAll();
    EXPECT_EQ(master->Details().IndexOf(detail), c.linked ? 0 : -1);
    EXPECT_EQ(other->Details().Count(), 0);
    EXPECT_EQ(detail->ReferrerCount(), c.linked ? 2 : 1);
    // Stored references stay as they were read, and stay in the master list only.
    EXPECT_EQ(detail->detMasterID, c.stored);
    EXPECT_EQ(detail->referrer_changes, 0);
    EXPECT_EQ(model.Details().Count(), 1);
    EXPECT_EQ(model.State, 0);
  }
}

TEST(LinkAll, ListsOnlyTheExactClassOfTheMasterList) {
  // A special detail lives in its own master list, whose class is not the
  // class of a master's detail list.
  TTestModel model;
  TTestMaster* master = model.Make<TTestMaster>("m", "{M}");
  static_cast<TTestDetail*>(model.Make<TTestSpecialDetail>("s"))->detMasterID = "{M}";
  model.LinkAll();
  EXPECT_EQ(master->Details().Count(), 0);
}

TEST(LinkAll, ClearsTheLinkingStateWhenAHookFails) {
  TTestModel model;
  model.Make<TTestMaster>("m", "{M}");
  model.Make<TTestDetail>("d")->detMasterID = "{M}";
  model.OnElementAdded = [](T_V_AbstractDataList*, T_V_DataElement*) { throw Exception("hook"); };
  EXPECT_THROW(model.LinkAll(), Exception);
  EXPECT_EQ(model.State, 0);
}

// A portal model with random references: exact, lower-case, empty,
// dangling, and identifiers shared by two elements.
class RandomModel {
 public:
  explicit RandomModel(unsigned seed) : random_(seed) {
    TModelStateScope loading(model, msLoading);
    std::vector<std::string> editors, types, roles, items, param_types;
    model.ParamEditors().ForEach([&](T_V_DataElement* e) { editors.push_back(e->InstanceID); });
    model.ApplicationTypes().ForEach([&](T_V_DataElement* e) { types.push_back(e->InstanceID); });
    for (int i = 0; i < 20; ++i) {
      auto* role = Add<TApplicationRole>(model.ApplicationRoles(), roles);
      role->detApplicationTypeID = Reference(types);
    }
    for (int i = 0; i < 15; ++i) {
      auto* type = Add<TParamTypeDef>(model.ParamTypeDefs(), param_types);
      type->detApplicationTypeID = Reference(types);
      type->detParamEditorID = Reference(editors);
    }
    for (int i = 0; i < 60; ++i)
      Add<TEvidenceItem>(model.EvidenceItems(), items)->detApplicationRoleID = Reference(roles);
    std::vector<std::string> unused;
    for (int i = 0; i < 150; ++i) {
      auto* param = Add<TParamDef>(model.ParamDefs(), unused);
      param->detEvidenceItemID = Reference(items);
      param->detParamTypeDefID = Reference(param_types);
    }
    for (int i = 0; i < 60; ++i) {
      Add<TEvidenceItemDetailPage>(model.EvidenceItemDetailPages(), unused)->detEvidenceItemID = Reference(items);
      Add<TEvidenceItemAction>(model.EvidenceItemActions(), unused)->detEvidenceItemID = Reference(items);
      Add<TEvidenceItemDetailPageSwitch>(model.EvidenceItemDetailPageSwitches(), unused)->detEvidenceItemID =
          Reference(items);
      Add<TUserOverride_EvidenceItem>(model.UserOverridesEvidenceItem(), unused)->detEvidenceItemID = Reference(items);
    }
    for (int i = 0; i < 200; ++i)
      Add<TUserAccount>(model.UserAccounts(), unused)->detApplicationRoleID = Reference(roles);
    for (int i = 0; i < 25; ++i)
      Add<TUserOverride_ApplicationRole>(model.UserOverridesApplicationRole(), unused)->detApplicationRoleID =
          Reference(roles);
  }

  // Every element's own lists and referrers, elements named by their place
  // in the master lists.
  std::string Links() const {
    std::map<const T_V_DataElement*, std::string> place;
    for (int l = 0; l < model.ListCount(); ++l)
      for (int i = 0; i < model.ListAt(l)->Count(); ++i)
        place[model.ListAt(l)->Items(i)] = std::to_string(l) + "." + std::to_string(i);
    place[&model] = "model";
    std::string text;
    for (int l = 0; l < model.ListCount(); ++l)
      for (int i = 0; i < model.ListAt(l)->Count(); ++i) {
        const T_V_DataElement* e = model.ListAt(l)->Items(i);
        text += place[e] + " lists";
        for (int k = 0; k < e->ListCount(); ++k) {
          text += " [";
          e->ListAt(k)->ForEach([&](const T_V_DataElement* item) { text += place[item] + " "; });
          text += "]";
        }
        text += " referred by";
        for (int r = 0; r < e->ReferrerCount(); ++r) text += " " + place[e->ReferrerAt(r)];
        text += "\n";
      }
    return text;
  }

  TInetMgrModel model;

 private:
  // A new element with a fresh identifier, or now and then one of the
  // identifiers of the list so far; `ids` collects them.
  template <class E, class L>
  E* Add(L& list, std::vector<std::string>& ids) {
    auto element = std::make_unique<E>();
    element->InstanceID = !ids.empty() && Chance(5) ? ids[random_() % ids.size()] : NewID();
    ids.push_back(element->InstanceID);
    return list.AddNew(std::move(element));
  }
  std::string Reference(const std::vector<std::string>& ids) {
    if (Chance(10)) return "";
    if (Chance(10)) return NewID();
    std::string id = ids[random_() % ids.size()];
    return Chance(4) ? LowerCase(id) : id;
  }
  bool Chance(unsigned one_in) { return random_() % one_in == 0; }
  std::string NewID() { return Format("{%08X-0000-4000-8000-00000000ABCD}", {++ids_made_}); }

  std::mt19937 random_;  // deterministic per seed
  int ids_made_ = 0;     // identifiers made so far
};

// The indexed LinkAll makes the same links, in the same order, as letting
// every element of every master list compare itself with every element of
// every other master list.
TEST(LinkAll, GivesTheSameLinksAsThePairwiseComparison) {
  for (unsigned seed : {1u, 2u, 3u}) {
    RandomModel indexed(seed);
    RandomModel pairwise(seed);
    ASSERT_EQ(indexed.Links(), pairwise.Links());  // the same model, unlinked
    indexed.model.LinkAll();
    {
      T_V_Model& model = pairwise.model;
      TModelStateScope linking(model, msLinking);
      for (int a = 0; a < model.ListCount(); ++a)
        for (int b = 0; b < model.ListCount(); ++b)
          if (a != b)
            for (int i = 0; i < model.ListAt(a)->Count(); ++i) model.ListAt(a)->Items(i)->LinkFrom(*model.ListAt(b));
    }
    const std::string links = indexed.Links();
    EXPECT_EQ(links, pairwise.Links()) << "seed " << seed;
    EXPECT_NE(links.find("[3."), std::string::npos);  // roles did get evidence items
  }
}

}  // namespace
}  // namespace tessaro::model_test
