#include "model/data_element.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

#include "test_elements.h"
#include "util/identifiers.h"

namespace tessaro::model_test {
namespace {

TEST(DataElementIdentity, NewInstanceIdKeepsAnIdentifierUnlessForced) {
  struct Case {
    const char* before;
    bool force;
    bool replaced;
  };
  for (const Case& c :
       {Case{"", false, true}, Case{"", true, true}, Case{"{OLD}", false, false}, Case{"{OLD}", true, true}}) {
    TTestOther element;
    element.InstanceID = c.before;
    element.NewInstanceID(c.force);
    if (!c.replaced) {
      EXPECT_EQ(element.InstanceID, c.before);
      continue;
    }
    EXPECT_TRUE(IsGUIDString(element.InstanceID)) << element.InstanceID;
    EXPECT_EQ(element.InstanceID, UpperCase(element.InstanceID));
    const std::string first = element.InstanceID;
    element.NewInstanceID(true);
    EXPECT_NE(element.InstanceID, first);
  }
}

TEST(DataElementReferrers, OptionalAndUniqueReferrerByNumberOfReferrers) {
  struct Case {
    int masters;           // masters listing the detail
    const char* optional;  // name found, or the message raised
    const char* unique;
  };
  const Case cases[] = {
      {0, "", "\"d\" has no refferrer of type TTestMaster"},
      {1, "m0", "m0"},
      {2, "\"d\" has multiple referrers of type TTestMaster", "\"d\" has multiple referrers of type TTestMaster"},
  };
  auto outcome = [](auto lookup) -> std::string {
    try {
      T_V_DataElement* found = lookup();
      return found != nullptr ? static_cast<TTestElement*>(found)->Name : "";
    } catch (const Exception& e) {
      return e.what();
    }
  };
  for (const Case& c : cases) {
    TTestModel model;
    TTestDetail* detail = model.Make<TTestDetail>("d");
    for (int i = 0; i < c.masters; ++i) model.Make<TTestMaster>("m" + std::to_string(i))->Details().Add(detail);
    EXPECT_EQ(detail->CountReferrers(TTestMaster::StaticClass()), c.masters);
    EXPECT_EQ(outcome([&] { return detail->OptionalReferrer<TTestMaster>(); }), c.optional) << c.masters;
    EXPECT_EQ(outcome([&] { return detail->UniqueReferrer<TTestMaster>(); }), c.unique) << c.masters;
    // The model is a referrer too, but never one of these.
    EXPECT_EQ(detail->ReferrerOfClass(T_V_Model::StaticClass(), 0), &model);
    EXPECT_EQ(detail->ReferrerOfClass(TTestElement::StaticClass(), c.masters), nullptr);
  }
}

TEST(DataElementReferrers, GetModelFollowsTheReferrers) {
  TTestModel model;
  EXPECT_EQ(model.GetModel(), &model);
  TTestMaster* master = model.Make<TTestMaster>("m");
  EXPECT_EQ(master->GetModel(), &model);

  // A detail listed only by a master of the model finds it through the master.
  auto detail = std::make_unique<TTestDetail>();
  EXPECT_EQ(detail->GetModel(), nullptr);
  {
    TModelStateScope linking(model, msLinking);  // keeps it out of the master list
    master->Details().Add(detail.get());
  }
  EXPECT_EQ(detail->ReferrerCount(), 1);
  EXPECT_EQ(detail->GetModel(), &model);
  master->Details().Remove(detail.get());
}

TEST(DataElementReferrers, FindListByElementClassName) {
  TTestMaster master;
  EXPECT_EQ(master.FindListByClassName("ttestdetail"), &master.Details());
  EXPECT_EQ(master.FindListByClassName("TTestOther"), nullptr);
  EXPECT_EQ(master.FindList<TTestDetailsList>(), &master.Details());
}

// The model of the deletion cases: m1 lists d1, d2 and the special s1 and
// takes its details with it; m2 lists d2 and d3 and does not.
struct DeletionModel {
  TTestModel model;
  TTestMaster* m1 = model.Make<TTestMaster>("m1");
  TTestMaster* m2 = model.Make<TTestMaster>("m2");
  std::map<std::string, TTestElement*> by_name;
  std::string events;  // what the hooks saw, in order

  DeletionModel() {
    m2->cascade = false;
    TTestDetail* d1 = model.Make<TTestDetail>("d1");
    TTestDetail* d2 = model.Make<TTestDetail>("d2");
    TTestDetail* d3 = model.Make<TTestDetail>("d3");
    TTestSpecialDetail* s1 = model.Make<TTestSpecialDetail>("s1");
    model.Make<TTestOther>("o1");
    m1->Details().Add(d1);
    m1->Details().Add(d2);
    m1->Details().Add(s1);
    m2->Details().Add(d2);
    m2->Details().Add(d3);
    for (int l = 0; l < model.ListCount(); ++l)
      model.ListAt(l)->ForEach([this](T_V_DataElement* e) {
        auto* element = static_cast<TTestElement*>(e);
        by_name[element->Name] = element;
      });
    model.OnBeforeDeleteElement = [this](T_V_DataElement* e) { events += "delete " + Name(e) + "; "; };
    model.OnBeforeDelete = [this](T_V_AbstractDataList* list, T_V_DataElement* e) {
      events += (list->Owner() == &model ? std::string("master") : Name(list->Owner())) + "-" + Name(e) + " ";
    };
  }
  static std::string Name(const T_V_DataElement* e) { return static_cast<const TTestElement*>(e)->Name; }
  std::string Lists() const {
    std::string text;
    for (int l = 0; l < model.ListCount(); ++l) text += Names(*model.ListAt(l)) + "|";
    return text;
  }
};

// Deleting takes the element out of every list that shows it, once each,
// after its dependents, and destroys it exactly once.
TEST(DataElementDelete, CascadeRemovesFromEveryListOnce) {
  struct Case {
    const char* deleted;
    const char* events;
    const char* lists;  // the model's four master lists afterwards
    const char* m1_details;
    const char* m2_details;
    int live;
  };
  const Case cases[] = {
      {"d2", "delete d2; m2-d2 m1-d2 master-d2 ", "m1,m2|d1,d3|s1|o1|", "d1,s1", "d3", 6},
      {"s1", "delete s1; m1-s1 master-s1 ", "m1,m2|d1,d2,d3||o1|", "d1,d2", "d2,d3", 6},
      {"m1",
       "delete m1; delete s1; m1-s1 master-s1 delete d2; m2-d2 m1-d2 master-d2 delete d1; m1-d1 master-d1 master-m1 ",
       "m2|d3||o1|", nullptr, "d3", 3},
      {"m2", "delete m2; master-m2 ", "m1|d1,d2,d3|s1|o1|", "d1,d2,s1", nullptr, 6},
      {"o1", "delete o1; master-o1 ", "m1,m2|d1,d2,d3|s1||", "d1,d2,s1", "d2,d3", 6},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.deleted);
    {
      DeletionModel m;
      ASSERT_EQ(g_live_elements, 7);
      TTestMaster* m1 = m.m1;
      TTestMaster* m2 = m.m2;
      TTestDetail* d2 = static_cast<TTestDetail*>(m.by_name["d2"]);
      m.by_name[c.deleted]->Delete();
      EXPECT_EQ(m.events, c.events);
      EXPECT_EQ(m.Lists(), c.lists);
      EXPECT_EQ(g_live_elements, c.live);
      if (c.m1_details != nullptr) {
        EXPECT_EQ(Names(m1->Details()), c.m1_details);
      }
      if (c.m2_details != nullptr) {
        EXPECT_EQ(Names(m2->Details()), c.m2_details);
      }
      if (c.m2_details == nullptr) {
        // The survivors no longer name the deleted master, and keep their stored reference.
        EXPECT_EQ(d2->ReferrerCount(), 2);
        EXPECT_EQ(d2->OptionalReferrer<TTestMaster>(), m1);
      }
    }
    EXPECT_EQ(g_live_elements, 0);
  }
}

TEST(DataElementDelete, AHookCanCancelBeforeAnythingChanges) {
  DeletionModel m;
  m.model.OnBeforeDeleteElement = [](T_V_DataElement*) { throw Exception("cancelled"); };
  const std::string before = m.Lists();
  EXPECT_THROW(m.m1->Delete(), Exception);
  EXPECT_EQ(m.Lists(), before);
  EXPECT_EQ(Names(m.m1->Details()), "d1,d2,s1");
}

TEST(DataElementDelete, AnElementOutsideAnyModelDestroysItself) {
  TTestMaster master;  // in no model
  auto detail = std::make_unique<TTestDetail>();
  master.Details().Add(detail.get());
  ASSERT_EQ(g_live_elements, 2);
  detail.release()->Delete();
  EXPECT_EQ(master.Details().Count(), 0);
  EXPECT_EQ(g_live_elements, 1);
}

TEST(DataElementDetach, DetachingFromAMasterClearsTheReferenceAndTheEntry) {
  TTestModel model;
  TTestMaster* master = model.Make<TTestMaster>("m", "{M}");
  TTestDetail* detail = model.Make<TTestDetail>("d");
  master->Details().Add(detail);
  ASSERT_EQ(detail->detMasterID, "{M}");
  detail->Detach(master);
  EXPECT_EQ(detail->detMasterID, "");
  EXPECT_EQ(master->Details().Count(), 0);
  EXPECT_EQ(detail->OptionalReferrer<TTestMaster>(), nullptr);
  EXPECT_EQ(model.Details().IndexOf(detail), 0);  // still in the model
}

TEST(DataElementLifecycle, AfterLoadAllVisitsEveryElementAndClearAllSparesFixedLists) {
  TTestModel model;
  TTestMaster* m1 = model.Make<TTestMaster>("m1");
  model.Make<TTestDetail>("d");
  model.AfterLoadAll();
  model.AfterLoadAll();
  EXPECT_EQ(m1->after_loads, 2);
  model.Masters().Fixed = true;
  model.ClearAll();
  EXPECT_EQ(Names(model.Masters()), "m1");
  EXPECT_EQ(model.Details().Count(), 0);
}

TEST(DataElementLifecycle, EditAndColumnChangesReachTheModel) {
  TTestModel model;
  TTestOther* other = model.Make<TTestOther>("o");
  model.Modified = false;
  std::string seen;
  model.OnBeforeEdit = [&](T_V_DataElement*) { seen += "before "; };
  model.OnElementEdited = [&](T_V_DataElement*) { seen += "edited"; };
  other->Edit();
  EXPECT_EQ(seen, "before edited");
  other->SetColumnText(0, "x");
  EXPECT_TRUE(model.Modified);
}

}  // namespace
}  // namespace tessaro::model_test
