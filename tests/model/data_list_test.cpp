#include "model/data_list.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "test_elements.h"
#include "util/identifiers.h"

namespace tessaro::model_test {
namespace {

std::string Ids(const T_V_AbstractDataList& list) {
  std::string ids;
  list.ForEach([&ids](const T_V_DataElement* item) { ids += item->InstanceID + ";"; });
  return ids;
}

// Adding checks the class (subclasses welcome), and inside a model puts the
// element into the master list of its exact class, which then owns it.
TEST(DataListAdd, AcceptsTheListsClassAndItsSubclassesOnly) {
  struct Case {
    const char* name;
    std::unique_ptr<TTestElement> (*make)();
    int master_list;  // index of the model list that must own it; -1: refused
  };
  const Case cases[] = {
      {"exact class", []() -> std::unique_ptr<TTestElement> { return std::make_unique<TTestDetail>(); }, 1},
      {"subclass", []() -> std::unique_ptr<TTestElement> { return std::make_unique<TTestSpecialDetail>(); }, 2},
      {"sibling class", []() -> std::unique_ptr<TTestElement> { return std::make_unique<TTestOther>(); }, -1},
      {"base class", []() -> std::unique_ptr<TTestElement> { return std::make_unique<TTestElement>(); }, -1},
      {"null", [] { return std::unique_ptr<TTestElement>(); }, -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    {
      TTestModel model;
      TTestMaster* master = model.Make<TTestMaster>("m");
      std::unique_ptr<TTestElement> element = c.make();
      if (c.master_list < 0) {
        try {
          master->Details().Add(element.get());
          ADD_FAILURE() << "added";
        } catch (const Exception& e) {
          EXPECT_STREQ(e.what(), "Type mismatch in adding item to typed list");
        }
        EXPECT_EQ(master->Details().Count(), 0);
        for (int i = 1; i < model.ListCount(); ++i) EXPECT_EQ(model.ListAt(i)->Count(), 0);
        continue;
      }
      TTestElement* raw = element.release();  // the master list takes it
      EXPECT_TRUE(master->Details().Add(raw));
      EXPECT_EQ(master->Details().IndexOf(raw), 0);
      for (int i = 1; i < model.ListCount(); ++i)
        EXPECT_EQ(model.ListAt(i)->IndexOf(raw), i == c.master_list ? 0 : -1) << model.ListAt(i)->ElementClassName();
      ASSERT_EQ(raw->ReferrerCount(), 2);
      EXPECT_EQ(raw->ReferrerAt(0), &model);  // the master list first
      EXPECT_EQ(raw->ReferrerAt(1), master);
    }
    EXPECT_EQ(g_live_elements, 0);
  }
}

TEST(DataListAdd, TheSameElementTwiceIsListedOnce) {
  TTestModel model;
  TTestMaster* master = model.Make<TTestMaster>("m");
  TTestDetail* detail = model.Make<TTestDetail>("d");
  EXPECT_TRUE(master->Details().Add(detail));
  EXPECT_FALSE(master->Details().Add(detail));
  EXPECT_FALSE(model.Details().Add(detail));
  EXPECT_EQ(master->Details().Count(), 1);
  EXPECT_EQ(model.Details().Count(), 1);
  EXPECT_EQ(detail->ReferrerCount(), 2);
}

TEST(DataListAdd, LongListsStillFindTheirElements) {
  // Past a few dozen elements a list counts its elements instead of scanning.
  TTestModel model;
  TTestMaster* master = model.Make<TTestMaster>("m");
  std::vector<TTestDetail*> details;
  for (int i = 0; i < 100; ++i) details.push_back(model.Make<TTestDetail>("d" + std::to_string(i)));
  for (TTestDetail* d : details) EXPECT_TRUE(master->Details().Add(d));
  for (TTestDetail* d : details) EXPECT_FALSE(master->Details().Add(d));
  for (int i : {0, 1, 50, 98, 99}) EXPECT_EQ(master->Details().IndexOf(details[i]), i);
  EXPECT_EQ(master->Details().Remove(details[50]), 50);
  EXPECT_EQ(master->Details().IndexOf(details[50]), -1);
  EXPECT_EQ(master->Details().IndexOf(details[51]), 50);
  EXPECT_EQ(master->Details().Count(), 99);
}

TEST(DataListAdd, WhileLinkingTheMasterListIsLeftAloneAndNobodyIsTold) {
  TTestModel model;
  TTestMaster* master = model.Make<TTestMaster>("m", "{M}");
  auto detail = std::make_unique<TTestDetail>();
  detail->detMasterID = "{m}";
  {
    TModelStateScope linking(model, msLinking);
    EXPECT_TRUE(master->Details().Add(detail.get()));
  }
  EXPECT_EQ(model.Details().Count(), 0);
  EXPECT_EQ(detail->referrer_changes, 0);
  EXPECT_EQ(detail->detMasterID, "{m}");
  EXPECT_EQ(model.State, 0);
  master->Details().Remove(detail.get());  // it stays ours
}

TEST(DataListAdd, OutsideLoadingTheElementIsToldOfItsNewReferrer) {
  TTestModel model;
  TTestMaster* master = model.Make<TTestMaster>("m", "{M}");
  TTestDetail* detail = model.Make<TTestDetail>("d");
  master->Details().Add(detail);
  EXPECT_EQ(detail->detMasterID, "{M}");
}

// A hook that throws stops Add; AddNew then frees the new element unless its
// master list already took it.
TEST(DataListAdd, AddNewFreesWhatNoListTook) {
  struct Case {
    const char* name;
    bool refuse_before;  // OnBeforeAdd throws (else OnElementAdded throws)
    bool on_master;      // ... for the master list (else for the detail list)
    int owned_after;     // elements of the master list afterwards
  };
  const Case cases[] = {
      {"refused before the detail list", true, false, 0},
      {"refused before the master list", true, true, 0},
      {"failed after the master list", false, true, 1},
      {"failed after the detail list", false, false, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    {
      TTestModel model;
      TTestMaster* master = model.Make<TTestMaster>("m");
      auto hook = [&](T_V_AbstractDataList* list, T_V_DataElement*) {
        if ((list == &model.Details()) == c.on_master) throw Exception("refused");
      };
      if (c.refuse_before)
        model.OnBeforeAdd = hook;
      else
        model.OnElementAdded = hook;
      EXPECT_THROW(master->Details().AddNew(std::make_unique<TTestDetail>()), Exception);
      EXPECT_EQ(model.Details().Count(), c.owned_after);
      EXPECT_EQ(g_live_elements, 1 + c.owned_after);
    }
    EXPECT_EQ(g_live_elements, 0);
  }
}

TEST(DataListAdd, AddNewNeedsAnOwningList) {
  TTestMaster free_master;  // in no model
  EXPECT_THROW(free_master.Details().AddNew(std::make_unique<TTestDetail>()), Exception);
  EXPECT_EQ(g_live_elements, 1);
}

TEST(DataListDelete, IndexOutOfRangeIsIgnoredAndRemoveReportsThePosition) {
  TTestModel model;
  TTestDetail* a = model.Make<TTestDetail>("a");
  TTestDetail* b = model.Make<TTestDetail>("b");
  TTestDetail outsider;
  int changes = 0;
  model.OnListChanged = [&](T_V_AbstractDataList*, T_V_DataElement* element) {
    EXPECT_EQ(element, nullptr);
    ++changes;
  };
  model.Details().Delete(-1);
  model.Details().Delete(2);
  EXPECT_EQ(changes, 0);
  EXPECT_EQ(model.Details().Remove(&outsider), -1);
  EXPECT_EQ(model.Details().Remove(b), 1);
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(Names(model.Details()), "a");
  model.Details().Delete(0);  // the owning list destroys a
  EXPECT_EQ(model.Details().IndexOf(a), -1);
  EXPECT_EQ(g_live_elements, 1);  // the outsider
}

TEST(DataListDelete, ClearDeletesEveryElementFromTheLastToTheFirst) {
  TTestModel model;
  TTestMaster* m1 = model.Make<TTestMaster>("m1");
  TTestMaster* m2 = model.Make<TTestMaster>("m2");
  TTestDetail* d = model.Make<TTestDetail>("d");
  m1->Details().Add(d);
  m2->Details().Add(model.Make<TTestDetail>("e"));
  std::string deleted;
  model.OnBeforeDeleteElement = [&](T_V_DataElement* e) { deleted += static_cast<TTestElement*>(e)->Name + " "; };
  // A detail list's Clear deletes the elements themselves, not just the entries.
  m1->Details().Clear();
  EXPECT_EQ(deleted, "d ");
  EXPECT_EQ(Names(model.Details()), "e");
  deleted.clear();
  model.Masters().Clear();  // m2 takes e with it
  EXPECT_EQ(deleted, "m2 e m1 ");
  EXPECT_EQ(g_live_elements, 0);
}

TEST(DataListFind, BinarySearchOnSortedListsOnly) {
  TTestModel model;
  T_V_AbstractDataList& list = model.Others();
  for (const char* id : {"d", "b"}) model.Make<TTestOther>(id, id);
  TTestOther key;
  int index = -7;
  try {
    list.Find(&key, index);
    ADD_FAILURE() << "found in an unsorted list";
  } catch (const Exception& e) {
    EXPECT_STREQ(e.what(), "Find only works on Sorted list");
  }
  try {
    list.SetSorted(true);
    ADD_FAILURE() << "sorted without a function";
  } catch (const Exception& e) {
    EXPECT_STREQ(e.what(), "Sort function missing");
  }

  list.SetCompareFunc(
      [](const T_V_DataElement* a, const T_V_DataElement* b) { return a->InstanceID.compare(b->InstanceID); });
  list.SetSorted(true);
  EXPECT_EQ(Ids(list), "b;d;");
  struct Case {
    const char* key;
    bool found;
    int index;
  };
  for (const Case& c :
       {Case{"a", false, 0}, Case{"b", true, 0}, Case{"c", false, 1}, Case{"d", true, 1}, Case{"e", false, 2}}) {
    key.InstanceID = c.key;
    EXPECT_EQ(list.Find(&key, index), c.found) << c.key;
    EXPECT_EQ(index, c.index) << c.key;
  }
  // A sorted list places what is added.
  model.Make<TTestOther>("c", "c");
  model.Make<TTestOther>("a", "a");
  EXPECT_EQ(Ids(list), "a;b;c;d;");
}

TEST(DataListFind, SortByInstanceIdSortsOnceAndLeavesTheListUnsorted) {
  TTestModel model;
  for (const char* id : {"{C}", "{a}", "{B}"}) model.Make<TTestOther>(id, id);
  model.Others().SortByInstanceID();
  EXPECT_EQ(Ids(model.Others()), "{B};{C};{a};");  // letter case counts
  EXPECT_FALSE(model.Others().Sorted());
  model.Make<TTestOther>("{A}", "{A}");
  EXPECT_EQ(Ids(model.Others()), "{B};{C};{a};{A};");
}

TEST(DataListFind, ItemsOutOfRangeThrows) {
  TTestModel model;
  try {
    model.Others().Items(5);
    ADD_FAILURE();
  } catch (const Exception& e) {
    EXPECT_STREQ(e.what(), "List index out of bounds (5)");
  }
}

TEST(DataListFixDuplicateIDs, LaterDuplicatesGetNewIdentifiers) {
  struct Case {
    std::vector<const char*> ids;
    bool duplicates;
    std::vector<bool> renewed;
  };
  const Case cases[] = {
      {{"A", "B", "C"}, false, {false, false, false}},
      {{"A", "B", "A", "A", "B"}, true, {false, false, true, true, true}},
      {{"a", "A"}, false, {false, false}},  // letter case counts
      {{}, false, {}},
  };
  for (const Case& c : cases) {
    TTestModel model;
    for (const char* id : c.ids) model.Make<TTestOther>(id, id);
    const std::string before = Ids(model.Others());
    EXPECT_EQ(model.Others().FixDuplicateIDs(false), c.duplicates) << before;
    EXPECT_EQ(Ids(model.Others()), before);
    EXPECT_EQ(model.Others().FixDuplicateIDs(true), c.duplicates) << before;
    for (size_t i = 0; i < c.ids.size(); ++i) {
      const std::string& id = model.Others().Items(static_cast<int>(i))->InstanceID;
      EXPECT_EQ(id != c.ids[i], c.renewed[i]) << before << " item " << i;
      if (c.renewed[i]) {
        EXPECT_TRUE(IsGUIDString(id)) << id;
      }
    }
    EXPECT_FALSE(model.Others().FixDuplicateIDs(false)) << before;
  }
}

// Elements are made by the list's element class, read, and added in order.
TEST(DataListStream, LoadMakesElementsOfTheListsClassInFileOrder) {
  TTestModel model;
  TFakeReader reader;
  reader.Count(2)
      .Add({{"InstanceID", TVariant::String("{1}")}, {"Name", TVariant::String("first")}})
      .Add({{"InstanceID", TVariant::String("{2}")}});
  model.Masters().LoadFromStream(&model, reader);
  EXPECT_EQ(Ids(model.Masters()), "{1};{2};");
  EXPECT_EQ(Names(model.Masters()), "first,");
  EXPECT_EQ(&model.Masters().Items(1)->ClassType(), &TTestMaster::StaticClass());
  EXPECT_EQ(model.Masters().Items(1)->GetModel(), &model);
}

TEST(DataListStream, ATruncatedListKeepsWhatWasReadAndFreesTheRest) {
  {
    TTestModel model;
    TFakeReader reader;
    reader.Count(3).Add({{"InstanceID", TVariant::String("{1}")}}).Add({{"Nmae", TVariant::String("x")}});
    EXPECT_THROW(model.Details().LoadFromStream(&model, reader), EPropertyError);
    EXPECT_EQ(Ids(model.Details()), "{1};");
    EXPECT_EQ(g_live_elements, 1);
  }
  EXPECT_EQ(g_live_elements, 0);
}

TEST(DataListStream, SaveWritesTheCountAndEachElement) {
  struct Writer : TElementWriter {
    std::string written;
    void WriteCount(int32_t count) override { written += std::to_string(count) + ":"; }
    void WriteObject(const TPublishedObject& object, std::string_view class_name) override {
      written += std::string(class_name) + "(" + static_cast<const T_V_DataElement&>(object).InstanceID + ")";
    }
  } writer;
  TTestModel model;
  model.Make<TTestDetail>("", "{1}");
  model.Make<TTestDetail>("", "{2}");
  model.Details().SaveToStream(writer);
  EXPECT_EQ(writer.written, "2:TTestDetail({1})TTestDetail({2})");
}

}  // namespace
}  // namespace tessaro::model_test
