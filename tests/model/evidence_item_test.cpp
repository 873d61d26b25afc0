// Evidence items and their parts in a loaded model: overrides, protocols,
// row identifiers, detail-page switches, parameter lookup, the soft
// references between the parts, detail-page identity repair, and the
// options parameter types take from their editors.
#include "model/evidence_item.h"

#include <gtest/gtest.h>

#include <string>

#include "expr/expression_errors.h"
#include "model/application_role.h"
#include "model/application_type.h"
#include "model/editor_options.h"
#include "model/evidence_item_action.h"
#include "model/evidence_item_detail_page.h"
#include "model/evidence_item_detail_page_switch.h"
#include "model/inet_mgr_model.h"
#include "model/param_def.h"
#include "model/param_editor.h"
#include "model/param_type_def.h"
#include "model/user_override_evidence_item.h"
#include "util/date_format.h"

namespace tessaro {
namespace {

constexpr const char* kDateEditor = "{4A73EC23-6DAB-41FC-8A39-15099BFBB2A7}";
constexpr const char* kLookupEditor = "{A43571D9-5341-4C1F-9E4F-AA182B342A77}";
constexpr const char* kComboEditor = "{D6A511EA-0A7C-4FF4-8569-81C34FFC585D}";

// A model as a load leaves it:
//   type {T}, role {R}, parameter types {PT} (lookup editor) and {PT2} (no editor)
//   item {I} of {R}: detail pages {P1}, {P2}; actions {A1}, {A2}; switch {S1};
//     parameters CustNo.Integer (type {PT}), Date, name
//   item {J} of {R}: nothing
// Every place that may name an action, a page or a switch names one, so the
// soft-reference tests see each place change or stay.
struct TSampleModel {
  TSampleModel() {
    {
      TModelStateScope loading(model, msLoading);
      Add<TApplicationType>(model.ApplicationTypes(), "{T}");
      Add<TApplicationRole>(model.ApplicationRoles(), "{R}")->detApplicationTypeID = "{T}";
      auto* type = Add<TParamTypeDef>(model.ParamTypeDefs(), "{PT}");
      type->detApplicationTypeID = "{T}";
      type->detParamEditorID = kLookupEditor;
      type->ParamTypeName = "Customer";
      type->IsHtmlFilterParam = true;
      Add<TParamTypeDef>(model.ParamTypeDefs(), "{PT2}")->detApplicationTypeID = "{T}";
      for (const char* id : {"{I}", "{J}"}) {
        auto* item = Add<TEvidenceItem>(model.EvidenceItems(), id);
        item->detApplicationRoleID = "{R}";
        item->EvidenceName = std::string("Item ") + id;
      }
      for (const char* id : {"{P1}", "{P2}"}) Add<TEvidenceItemDetailPage>(model.EvidenceItemDetailPages(), id);
      for (const char* id : {"{A1}", "{A2}"}) Add<TEvidenceItemAction>(model.EvidenceItemActions(), id);
      Add<TEvidenceItemDetailPageSwitch>(model.EvidenceItemDetailPageSwitches(), "{S1}");
      AddParam("CustNo.Integer", "{PT}");
      AddParam("Date", "");
      AddParam("name", "");
      for (T_V_AbstractDataList* list : {static_cast<T_V_AbstractDataList*>(&model.EvidenceItemDetailPages()),
                                         static_cast<T_V_AbstractDataList*>(&model.EvidenceItemActions()),
                                         static_cast<T_V_AbstractDataList*>(&model.EvidenceItemDetailPageSwitches())})
        list->ForEach(
            [](T_V_DataElement* part) { SetPublishedValue(*part, "detEvidenceItemID", TVariant::String("{I}")); });
      FillReferences();
    }
    model.LinkAll();
    model.AfterLoadAll();
    item = static_cast<TEvidenceItem*>(model.EvidenceItems().FindByInstanceID("{I}"));
  }

  template <class E, class L>
  E* Add(L& list, const std::string& id) {
    auto element = std::make_unique<E>();
    element->InstanceID = id;
    return list.AddNew(std::move(element));
  }
  void AddParam(const char* name, const char* type) {
    auto* param = Add<TParamDef>(model.ParamDefs(), std::string("{D-") + name + "}");
    param->detEvidenceItemID = "{I}";
    param->detParamTypeDefID = type;
    param->ParamName = name;
  }
  TEvidenceItemDetailPage* Page(const char* id) const {
    return static_cast<TEvidenceItemDetailPage*>(model.EvidenceItemDetailPages().FindByInstanceID(id));
  }
  TEvidenceItemAction* Action(const char* id) const {
    return static_cast<TEvidenceItemAction*>(model.EvidenceItemActions().FindByInstanceID(id));
  }
  TEvidenceItemDetailPageSwitch* Switch() const { return model.EvidenceItemDetailPageSwitches().Items(0); }
  TParamTypeDef* Type(const char* id) const {
    return static_cast<TParamTypeDef*>(model.ParamTypeDefs().FindByInstanceID(id));
  }

  // One attribute per collection naming A1, P1 and S1, one naming the
  // others; the item and the pages name A1, the switch and the actions P1.
  void FillReferences() {
    TEvidenceItem* owner = static_cast<TEvidenceItem*>(model.EvidenceItems().FindByInstanceID("{I}"));
    owner->IDAction = "{A1}";
    auto fill = [](TZNKHTMLTableColumnAttributes& attributes) {
      TZNKHTMLTableColumnAttribute& first = attributes.Add();
      first.IDAction = "{A1}";
      first.IDDetailPage = "{P1}";
      first.IDDetailPageSwitch = "{S1}";
      TZNKHTMLTableColumnAttribute& second = attributes.Add();
      second.IDAction = "{A2}";
      second.IDDetailPage = "{p1}";  // another letter case: another identifier
    };
    fill(owner->ColumnAttributes);
    fill(owner->BodyColumnAttributes);
    model.EvidenceItemDetailPages().ForEach([&](T_V_DataElement* element) {
      auto* page = static_cast<TEvidenceItemDetailPage*>(element);
      page->IDAction = "{A1}";
      fill(page->DetailColumnAttributes);
      fill(page->DetailListColumnAttributes);
    });
    auto* page_switch = model.EvidenceItemDetailPageSwitches().Items(0);
    page_switch->IDDetailPage[0] = "{P1}";
    page_switch->IDDetailPage[9] = "{P2}";
    page_switch->IDDetailPage_default = "{P1}";
    model.EvidenceItemActions().ForEach(
        [](T_V_DataElement* element) { static_cast<TEvidenceItemAction*>(element)->IDSuccessDetailPage = "{P1}"; });
  }

  // Every soft reference of the item, in a fixed order: the item, its two
  // collections, each page with its two collections, the switch, the actions.
  std::string References() const {
    std::string text;
    auto collection = [&](const TZNKHTMLTableColumnAttributes& attributes) {
      for (size_t i = 0; i < attributes.Count(); ++i) {
        const TZNKHTMLTableColumnAttribute& a = attributes.Item(i);
        text += "[" + a.IDAction + a.IDDetailPage + a.IDDetailPageSwitch + "]";
      }
    };
    text += item->IDAction;
    collection(item->ColumnAttributes);
    collection(item->BodyColumnAttributes);
    item->DetailPages().ForEach([&](T_V_DataElement* element) {
      auto* page = static_cast<TEvidenceItemDetailPage*>(element);
      text += " " + page->InstanceID + ":" + page->IDAction;
      collection(page->DetailColumnAttributes);
      collection(page->DetailListColumnAttributes);
    });
    item->DetailPageSwitches().ForEach([&](T_V_DataElement* element) {
      auto* page_switch = static_cast<TEvidenceItemDetailPageSwitch*>(element);
      text += " S:" + page_switch->IDDetailPage[0] + page_switch->IDDetailPage[9] + page_switch->IDDetailPage_default;
    });
    item->Actions().ForEach([&](T_V_DataElement* element) {
      text += " " + element->InstanceID + ":" + static_cast<TEvidenceItemAction*>(element)->IDSuccessDetailPage;
    });
    return text;
  }

  TInetMgrModel model;
  TEvidenceItem* item = nullptr;
};

class EvidenceModel : public ::testing::Test, public TSampleModel {};

TEST_F(EvidenceModel, SelectDetailPageTriesThePairsInOrder) {
  TEvidenceItemDetailPageSwitch page_switch;
  page_switch.IDDetailPage_default = "default";
  for (int i = 0; i < 10; ++i) page_switch.IDDetailPage[i] = "page" + std::to_string(i + 1);
  page_switch.fld_value[1] = "B";
  page_switch.fld_value[2] = "ABC";
  page_switch.fld_value[4] = "abc";
  for (int i = 5; i < 10; ++i) page_switch.fld_value[i] = "X";
  struct Case {
    const char* value;
    const char* page;
  };
  const Case cases[] = {{"", "page1"}, {"abc", "page3"}, {"b", "page2"}, {"x", "page6"}, {"none", "default"}};
  for (const Case& c : cases) EXPECT_EQ(page_switch.SelectDetailPage(c.value), c.page) << c.value;
  page_switch.fld_value[0] = "A";
  page_switch.fld_value[3] = "D";
  EXPECT_EQ(page_switch.SelectDetailPage(""), "default");
}

TEST_F(EvidenceModel, FindParamDefComparesBaseNamesWithoutCase) {
  struct Case {
    const char* name;
    const char* found;  // ParamName of the definition found, or "none"
  };
  const Case cases[] = {{"custno", "CustNo.Integer"},
                        {"CUSTNO.String", "CustNo.Integer"},
                        {"custNo.Integer", "CustNo.Integer"},
                        {"date.DateTime", "Date"},
                        {"Name", "name"},
                        {"Nam", "none"},
                        {"CustNo2", "none"}};
  for (const Case& c : cases) {
    const TParamDef* found = item->FindParamDef(c.name);
    EXPECT_EQ(found != nullptr ? found->ParamName : "none", c.found) << c.name;
  }
}

TEST_F(EvidenceModel, ParameterDefinitionsKnowTheirTypes) {
  const TParamDef* typed = item->FindParamDef("CustNo");
  const TParamDef* untyped = item->FindParamDef("Date");
  EXPECT_EQ(typed->EvidenceItem(), item);
  EXPECT_EQ(typed->ParamTypeDef(), Type("{PT}"));
  EXPECT_TRUE(typed->IsHtmlFilter());
  EXPECT_EQ(untyped->ParamTypeDef(), nullptr);
  EXPECT_FALSE(untyped->IsHtmlFilter());
  auto* filter = const_cast<TParamDef*>(typed);
  filter->ParamDisplayName = "Zákazník";
  filter->HtmlFilterGroupIndex = 2;
  filter->HtmlFilterTabIndex = 3;
  const char* typed_columns[] = {"Zákazník", "CustNo.Integer", "Customer", "2", "3", "1"};
  const char* untyped_columns[] = {"", "Date", "", "", "", ""};
  for (int column = 0; column < 6; ++column) {
    EXPECT_EQ(typed->GetColumnText(column), typed_columns[column]) << column;
    EXPECT_EQ(untyped->GetColumnText(column), untyped_columns[column]) << column;
  }
}

TEST_F(EvidenceModel, ProtocolsOfItemsActionsAndPages) {
  struct Case {
    tAccessProtocolType item_protocol;
    bool force_secure;  // an override forces https
    tAccessProtocolType part_protocol;
    const char* item_text;
    const char* part_text;
  };
  const Case cases[] = {
      {apHttp, false, apDefault, "http", ""},  {apDefault, false, apHttps, "", "https"},
      {apHttps, false, apHttp, "https", ""},   {apHttp, true, apHttp, "https", ""},
      {apDefault, true, apHttps, "https", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.item_protocol << c.force_secure << c.part_protocol);
    item->AccessProtocol = c.item_protocol;
    if (c.force_secure) item->UserOverride(true)->ForceSecureAccess = true;
    Action("{A1}")->AccessProtocol = c.part_protocol;
    Page("{P1}")->AccessProtocol = c.part_protocol;
    EXPECT_EQ(item->AccessProtocolText(), c.item_text);
    EXPECT_EQ(Action("{A1}")->AccessProtocolText(), c.part_text);
    EXPECT_EQ(Page("{P1}")->AccessProtocolText(), c.part_text);
    if (c.force_secure) item->UserOverrides().Items(0)->Delete();
  }
}

TEST_F(EvidenceModel, RowIdentifierIsTheLastMarkedField) {
  EXPECT_EQ(item->RowIdentifierFieldName(), "");
  for (const char* name : {"ID", "CODE", "NAME"}) {
    TZNKHTMLTableColumnAttribute& attribute = item->ColumnAttributes.Add();
    attribute.FieldName = name;
    attribute.RowIdentifier = std::string(name) != "NAME";
    Page("{P1}")->DetailListColumnAttributes.Add().Assign(attribute);
  }
  EXPECT_EQ(item->RowIdentifierFieldName(), "CODE");
  EXPECT_EQ(Page("{P1}")->RowIdentifierFieldName(), "CODE");
}

TEST_F(EvidenceModel, OverridesReplaceNameAndVisibility) {
  EXPECT_EQ(item->UserOverride(false), nullptr);
  EXPECT_EQ(item->EffectiveName(), "Item {I}");
  EXPECT_TRUE(item->IsVisible());

  model.Mode = TInetMgrModel::kUserDataMode;
  EXPECT_TRUE(item->GetChecked());
  item->SetChecked(false);
  TUserOverride_EvidenceItem* override_ = item->UserOverride(false);
  ASSERT_NE(override_, nullptr);
  EXPECT_EQ(model.UserOverridesEvidenceItem().IndexOf(override_), 0);
  EXPECT_EQ(override_->detEvidenceItemID, "{I}");
  EXPECT_EQ(override_->EvidenceName, "Item {I}");
  EXPECT_EQ(override_->EvidenceItem(), item);
  EXPECT_FALSE(item->IsVisible());
  item->SetColumnText(0, "Faktury");
  EXPECT_EQ(item->UserOverride(true), override_);
  EXPECT_EQ(item->EffectiveName(), "Faktury");
  EXPECT_EQ(item->GetColumnText(0), "Faktury");
  EXPECT_EQ(item->GetColumnText(1), "Item {I}");
  EXPECT_EQ(override_->GetColumnText(1), "Faktury");
  override_->EvidenceName = "";
  EXPECT_EQ(item->EffectiveName(), "");  // an override's empty name is a name too

  model.Mode = TInetMgrModel::kDefinitionsMode;
  item->OrderInList = 7;
  EXPECT_EQ(item->GetColumnText(0), "Item {I}");
  EXPECT_EQ(item->GetColumnText(1), "7");
  item->SetColumnText(1, "12");
  EXPECT_EQ(item->OrderInList, 12);
  EXPECT_THROW(item->SetColumnText(1, "12a"), Exception);
  EXPECT_EQ(item->OrderInList, 12);
}

TEST_F(EvidenceModel, DeletingAPartClearsEveryReferenceToItExactly) {
  const std::string before = References();
  EXPECT_EQ(before,
            "{A1}[{A1}{P1}{S1}][{A2}{p1}][{A1}{P1}{S1}][{A2}{p1}]"
            " {P1}:{A1}[{A1}{P1}{S1}][{A2}{p1}][{A1}{P1}{S1}][{A2}{p1}]"
            " {P2}:{A1}[{A1}{P1}{S1}][{A2}{p1}][{A1}{P1}{S1}][{A2}{p1}]"
            " S:{P1}{P2}{P1} {A1}:{P1} {A2}:{P1}");
  struct Case {
    const char* deleted;
    std::string after;
  };
  const Case cases[] = {
      {"{A1}",
       "[{P1}{S1}][{A2}{p1}][{P1}{S1}][{A2}{p1}]"
       " {P1}:[{P1}{S1}][{A2}{p1}][{P1}{S1}][{A2}{p1}]"
       " {P2}:[{P1}{S1}][{A2}{p1}][{P1}{S1}][{A2}{p1}]"
       " S:{P1}{P2}{P1} {A2}:{P1}"},
      {"{P1}",
       "{A1}[{A1}{S1}][{A2}{p1}][{A1}{S1}][{A2}{p1}]"
       " {P2}:{A1}[{A1}{S1}][{A2}{p1}][{A1}{S1}][{A2}{p1}]"
       " S:{P2} {A1}: {A2}:"},
      {"{S1}",
       "{A1}[{A1}{P1}][{A2}{p1}][{A1}{P1}][{A2}{p1}]"
       " {P1}:{A1}[{A1}{P1}][{A2}{p1}][{A1}{P1}][{A2}{p1}]"
       " {P2}:{A1}[{A1}{P1}][{A2}{p1}][{A1}{P1}][{A2}{p1}]"
       " {A1}:{P1} {A2}:{P1}"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.deleted);
    TSampleModel fresh;
    T_V_DataElement* part = fresh.model.EvidenceItemActions().FindByInstanceID(c.deleted);
    if (part == nullptr) part = fresh.model.EvidenceItemDetailPages().FindByInstanceID(c.deleted);
    if (part == nullptr) part = fresh.model.EvidenceItemDetailPageSwitches().FindByInstanceID(c.deleted);
    ASSERT_NE(part, nullptr);
    part->Delete();
    EXPECT_EQ(fresh.References(), c.after);
  }
}

TEST_F(EvidenceModel, RenamingReferencesLeavesEmptyOnesAlone) {
  item->ColumnAttributes.Add();  // names nothing
  item->ReplaceActionReference("", "{NEW}");
  item->ReplaceDetailPageReference("", "{NEW}");
  item->ReplaceSwitchReference("", "{NEW}");
  EXPECT_EQ(item->ColumnAttributes.Items(2).IDAction + item->ColumnAttributes.Items(2).IDDetailPage +
                item->ColumnAttributes.Items(2).IDDetailPageSwitch,
            "");
  item->ReplaceSwitchReference("{S1}", "{S9}");
  EXPECT_EQ(item->ColumnAttributes.Items(0).IDDetailPageSwitch, "{S9}");
  EXPECT_EQ(Page("{P2}")->DetailListColumnAttributes.Items(0).IDDetailPageSwitch, "{S9}");
}

TEST_F(EvidenceModel, PartsWithoutAnItemCanStillBeDeleted) {
  TEvidenceItemAction* action = Action("{A2}");
  action->Detach(item);
  EXPECT_THROW(action->EvidenceItem(), Exception);
  action->Delete();
  EXPECT_EQ(Action("{A2}"), nullptr);
  EXPECT_EQ(item->ColumnAttributes.Items(1).IDAction, "{A2}");  // nothing could be told
}

TEST_F(EvidenceModel, DeletingAnItemTakesItsPartsButNotItsOverride) {
  item->UserOverride(true);
  item->Delete();
  EXPECT_EQ(model.EvidenceItems().Count(), 1);
  EXPECT_EQ(model.EvidenceItemDetailPages().Count(), 0);
  EXPECT_EQ(model.EvidenceItemActions().Count(), 0);
  EXPECT_EQ(model.EvidenceItemDetailPageSwitches().Count(), 0);
  EXPECT_EQ(model.ParamDefs().Count(), 0);
  ASSERT_EQ(model.UserOverridesEvidenceItem().Count(), 1);
  EXPECT_EQ(model.UserOverridesEvidenceItem().Items(0)->EvidenceItem(), nullptr);
  EXPECT_EQ(model.UserOverridesEvidenceItem().Items(0)->detEvidenceItemID, "{I}");  // kept as stored
}

// A page converted from an old file carries its item's identifier, and the
// item's references to the page use it too.
TEST(DetailPageAfterLoad, APageWithItsItemsIdentifierGetsItsOwn) {
  TInetMgrModel model;
  {
    TModelStateScope loading(model, msLoading);
    auto item = std::make_unique<TEvidenceItem>();
    item->InstanceID = "{I}";
    TZNKHTMLTableColumnAttribute& link = item->ColumnAttributes.Add();
    link.IDDetailPage = "{I}";
    model.EvidenceItems().AddNew(std::move(item));
    for (const char* id : {"{I}", "{P}"}) {
      auto page = std::make_unique<TEvidenceItemDetailPage>();
      page->InstanceID = id;
      page->detEvidenceItemID = "{i}";
      model.EvidenceItemDetailPages().AddNew(std::move(page));
    }
    auto action = std::make_unique<TEvidenceItemAction>();
    action->detEvidenceItemID = "{I}";
    action->IDSuccessDetailPage = "{I}";
    model.EvidenceItemActions().AddNew(std::move(action));
  }
  model.LinkAll();
  model.AfterLoadAll();
  TEvidenceItem* item = model.EvidenceItems().Items(0);
  const std::string renewed = model.EvidenceItemDetailPages().Items(0)->InstanceID;
  EXPECT_NE(renewed, "{I}");
  EXPECT_EQ(renewed.size(), 38u);
  EXPECT_EQ(model.EvidenceItemDetailPages().Items(1)->InstanceID, "{P}");
  EXPECT_EQ(item->InstanceID, "{I}");
  EXPECT_EQ(item->ColumnAttributes.Items(0).IDDetailPage, renewed);
  EXPECT_EQ(model.EvidenceItemActions().Items(0)->IDSuccessDetailPage, renewed);
}

TEST(DetailPageAfterLoad, APageWithoutItsItemFailsTheLoad) {
  TInetMgrModel model;
  {
    TModelStateScope loading(model, msLoading);
    auto page = std::make_unique<TEvidenceItemDetailPage>();
    page->InstanceID = "{P}";
    page->detEvidenceItemID = "{GONE}";
    page->EvidenceDetailName = "Detail";
    model.EvidenceItemDetailPages().AddNew(std::move(page));
  }
  model.LinkAll();
  try {
    model.AfterLoadAll();
    FAIL() << "no exception";
  } catch (const Exception& e) {
    EXPECT_STREQ(e.what(), "\"Detail\" has no refferrer of type TEvidenceItem");
  }
}

TEST_F(EvidenceModel, ParameterTypesTakeTheOptionsOfTheirEditor) {
  TParamTypeDef* type = Type("{PT2}");
  EXPECT_EQ(type->EditorOptions(), nullptr);
  struct Case {
    const char* editor;
    bool options;  // a TZNKVisitedStrings
    bool kept;     // the lines entered before are still there
  };
  const Case cases[] = {
      {kLookupEditor, true, false}, {kComboEditor, true, true},  {kDateEditor, false, false},
      {"{UNKNOWN}", false, false},  {kComboEditor, true, false}, {"", false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.editor);
    type->BindEditor(c.editor);
    auto* lines = dynamic_cast<TZNKVisitedStrings*>(type->EditorOptions());
    EXPECT_EQ(lines != nullptr, c.options);
    EXPECT_EQ(type->EditorOptions() != nullptr, c.options);
    if (lines == nullptr) continue;
    EXPECT_EQ(lines->Lines.Count(), c.kept ? 1u : 0u);
    lines->Lines = {"select ID, NAME from CUSTOMER"};
  }
  TParamTypeDef outside;
  outside.BindEditor(kLookupEditor);  // no model, no editor
  EXPECT_EQ(outside.EditorOptions(), nullptr);
}

TEST_F(EvidenceModel, AttachingAnEditorGivesItsOptionsDetachingTakesThem) {
  TParamTypeDef* type = Type("{PT2}");
  auto* lookup = static_cast<TParamEditor*>(model.ParamEditors().FindByInstanceID(kLookupEditor));
  lookup->ParamTypeDefs().Add(type);
  EXPECT_EQ(type->detParamEditorID, kLookupEditor);
  ASSERT_NE(dynamic_cast<TZNKVisitedStrings*>(type->EditorOptions()), nullptr);
  type->Detach(lookup);
  EXPECT_EQ(type->detParamEditorID, "");
  EXPECT_EQ(type->EditorOptions(), nullptr);
  // A load links without telling: the reader binds the editor itself.
  EXPECT_EQ(Type("{PT}")->ParamEditor(), lookup);
  EXPECT_EQ(Type("{PT}")->EditorOptions(), nullptr);
}

TEST(ParamTypeDefaultValue, RequestValueFirstThenTheExpression) {
  TParamTypeDef type;
  const TStrings request = {"From=1.2.2003", "Empty="};
  EXPECT_EQ(type.DefaultValueText("From", request), "1.2.2003");
  EXPECT_EQ(type.DefaultValueText("Empty", request), "");
  type.HtmlFilterDefaultExpression = "  DATE(1, 2, 2003)  ";
  EXPECT_EQ(type.DefaultValueText("From", request), "1.2.2003");
  EXPECT_EQ(type.DefaultValueText("Empty", request), DateToStr(EncodeDate(2003, 2, 1)));
  type.HtmlFilterDefaultExpression = "1 MOD 0";
  EXPECT_EQ(type.DefaultValueText("Empty", request), "");
  type.HtmlFilterDefaultExpression = "1 +";
  EXPECT_THROW(type.DefaultValueText("Empty", request), ExpressionError);
}

}  // namespace
}  // namespace tessaro
