#include <gtest/gtest.h>
#include <zlib.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "model/application_role.h"
#include "model/application_type.h"
#include "model/editor_options.h"
#include "model/evidence_item.h"
#include "model/evidence_item_action.h"
#include "model/evidence_item_detail_page.h"
#include "model/evidence_item_detail_page_switch.h"
#include "model/io/model_dump.h"
#include "model/io/model_file.h"
#include "model/io/model_file_writer.h"
#include "model/io/object_stream.h"
#include "model/io/stored_parts.h"
#include "model/io/old_evidence_item.h"
#include "model/param_def.h"
#include "model/param_type_def.h"
#include "model/table_template.h"
#include "model/user_account.h"
#include "model/user_override_application_role.h"
#include "model/user_override_evidence_item.h"
#include "model_io/file_sample_model.h"
#include "util/codepage.h"
#include "util/text.h"

namespace tessaro {
namespace {

using file_test::FillSampleModel;
using file_test::LoadFolder;
using file_test::SampleConnection;
using file_test::TTempFolder;

const std::string kBadType = Cp1250("Neplatný typ souboru");
const std::string kNewer = Cp1250("Data byla uložena novější verzí softwaru. Nelze načíst.");
const std::string kBadDefinition = Cp1250("Vadný definiční soubor. Nelze načíst.");
const std::string kBadUser = Cp1250("Vadný uživatelský soubor. Nelze načíst.");

std::string Header(uint16_t version, bool compressed = false) {
  std::string header(kModelFileHeaderSize, '\0');
  header.replace(0, 4, "\x11\x1E\x21\xA3", 4);
  header[4] = static_cast<char>(version);
  header[6] = compressed ? 1 : 0;
  return header;
}

std::string Compressed(const std::string& body) {
  uLongf size = compressBound(body.size());
  std::string out(size, '\0');
  compress(reinterpret_cast<Bytef*>(out.data()), &size, reinterpret_cast<const Bytef*>(body.data()), body.size());
  out.resize(size);
  return out;
}

std::string Message(const std::function<void()>& action) {
  try {
    action();
  } catch (const std::exception& e) {
    return e.what();
  }
  return "no failure";
}

class ModelFiles : public ::testing::Test {
 protected:
  ModelFiles() { FillSampleModel(sample); }

  void WritePair(TModelFileFormat definition_format, TModelFileFormat user_format) const {
    folder.Write("qmxdef.idt", DefinitionFileBytes(sample, *SampleConnection("def"), definition_format));
    folder.Write("user.idt", UserFileBytes(sample, *SampleConnection("user"), user_format));
  }

  TInetMgrModel sample;
  TTempFolder folder;
};

TEST_F(ModelFiles, EveryNewVersionReadsBackWhatWasWritten) {
  for (uint16_t version = 5; version <= kHighestModelFileVersion; ++version) {
    for (bool compressed : {false, true}) {
      WritePair({version, compressed}, {version, compressed});
      auto loaded = LoadFolder(folder.Path());
      TInetMgrModel& model = loaded->model;
      SCOPED_TRACE("version " + std::to_string(version) + (compressed ? " compressed" : ""));
      EXPECT_EQ(model.Version, version);
      EXPECT_FALSE(model.Modified);
      EXPECT_EQ(DumpConnection("c", loaded->definition), DumpConnection("c", *SampleConnection("def")));
      EXPECT_EQ(DumpConnection("c", loaded->user), DumpConnection("c", *SampleConnection("user")));
      // The switches came with version 18; everything else is in every file.
      const int switches = version > 17 ? 1 : 0;
      EXPECT_EQ(model.EvidenceItemDetailPageSwitches().Count(), switches);
      if (switches == 1)
        EXPECT_EQ(DumpModel(model), DumpModel(sample));
      else
        EXPECT_EQ(DumpList(model.UserAccounts()), DumpList(sample.UserAccounts()));
      EXPECT_EQ(DumpList(model.EvidenceItemDetailPages()), DumpList(sample.EvidenceItemDetailPages()));
      EXPECT_EQ(DumpList(model.UserOverridesApplicationRole()), DumpList(sample.UserOverridesApplicationRole()));
    }
  }
}

TEST_F(ModelFiles, OldVersionsStoreLessAndUserFilesBeforeVersion4HaveNoOverrides) {
  struct Case {
    uint16_t definition_version, user_version;
    int pages, actions, overrides;
  };
  for (const Case c : {Case{4, 3, 0, 0, 0}, Case{3, 4, 0, 0, 1}, Case{1, 18, 0, 0, 1}}) {
    WritePair({c.definition_version, true}, {c.user_version, false});
    auto loaded = LoadFolder(folder.Path());
    TInetMgrModel& model = loaded->model;
    EXPECT_EQ(DumpList(model.ApplicationTypes()), DumpList(sample.ApplicationTypes())) << c.definition_version;
    EXPECT_EQ(model.EvidenceItems().Count(), 2);
    EXPECT_EQ(model.ParamDefs().Count(), 1);
    EXPECT_EQ(model.EvidenceItemActions().Count(), c.actions);
    EXPECT_EQ(model.UserOverridesApplicationRole().Count(), c.overrides);
    EXPECT_EQ(model.UserAccounts().FindByCredentials("jan", "heslo")->Role(),
              model.ApplicationRoles().FindByInstanceID("{R1}"));
  }
}

// An old record written by hand: the old item, its list template, and by
// version its carriers and detail list template.
std::string OldRecord(uint16_t version, const TOldEvidenceItem& old, const TTableTemplate& list_template) {
  std::string bytes;
  TObjectStreamWriter writer(bytes);
  class TEmpty : public TPublishedObject {
  } empty;
  writer.WriteObject(old, "TEvidenceItem");
  writer.WriteObject(list_template, "TZNKTableProducer");
  if (version > 1) writer.WriteObject(TCarrier(const_cast<TOldColumnAttributes&>(old.ColumnAttributes)), "TCarrier");
  if (version >= 3) {
    writer.WriteObject(TCarrier(const_cast<TOldColumnAttributes&>(old.DetailColumnAttributes)), "TCarrier");
    writer.WriteObject(empty, "TZNKTableProducer");
    writer.WriteObject(TCarrier(const_cast<TOldColumnAttributes&>(old.DetailListColumnAttributes)), "TCarrier");
  }
  return bytes;
}

std::string OldDefinitionFile(uint16_t version, const std::vector<TOldEvidenceItem*>& items,
                              const TTableTemplate& list_template) {
  std::string body;
  TObjectStreamWriter writer(body);
  writer.WriteObject(TConnectionManager(), "TConnectionManager");
  writer.WriteCount(0);  // application types
  writer.WriteCount(0);  // parameter types
  writer.WriteCount(0);  // roles
  writer.WriteCount(static_cast<int32_t>(items.size()));
  for (TOldEvidenceItem* item : items) body += OldRecord(version, *item, list_template);
  writer.WriteCount(0);  // parameters
  return Header(version) + body;
}

TEST_F(ModelFiles, OldEvidenceItemsBecomeItemsWithADefaultDetailPageWhenTheyHadDetailSql) {
  for (uint16_t version : {1, 3, 4}) {
    TOldEvidenceItem with_detail;
    with_detail.InstanceID = "{OLD1}";
    with_detail.EvidenceName = "Faktury";
    with_detail.OrderInList = 3;
    with_detail.DetailSelectClause = {"  select * from f where id = :PID"};
    with_detail.detail_link_text = "Detail";
    for (const char* field : {"id", "x"}) with_detail.ColumnAttributes.Add().FieldName = field;
    with_detail.DetailColumnAttributes.Add().IsVisible = false;
    TOldEvidenceItem without_detail;
    without_detail.InstanceID = "{OLD2}";
    without_detail.DetailListSelectClause = {"   ", ""};
    // Columns captioned "*" were the detail links; the last one names the row.
    TTableTemplate list_template;
    for (const char* field : {"ID", "X", "Y"}) {
      TTableColumn& column = list_template.Columns.Add();
      column.FieldName = field;
      column.Title.Caption = field[0] == 'Y' ? "Y" : "*";
    }
    folder.Write("qmxdef.idt", OldDefinitionFile(version, {&with_detail, &without_detail}, list_template));
    auto loaded = LoadFolder(folder.Path());
    TInetMgrModel& model = loaded->model;
    SCOPED_TRACE(version);
    ASSERT_EQ(model.EvidenceItems().Count(), 2);
    auto* item = model.EvidenceItems().Items(0);
    EXPECT_EQ(item->InstanceID, "{OLD1}");
    ASSERT_EQ(model.EvidenceItemDetailPages().Count(), 1);
    auto* page = model.EvidenceItemDetailPages().Items(0);
    EXPECT_EQ(page->detEvidenceItemID, "{OLD1}");
    EXPECT_EQ(page->EvidenceItem(), item);
    EXPECT_EQ(page->EvidenceDetailName, "Default detail");
    EXPECT_EQ(page->DetailSelectClause.Text(), with_detail.DetailSelectClause.Text());
    // The page got an identifier of its own, and the link follows it.
    EXPECT_NE(page->InstanceID, "{OLD1}");
    EXPECT_EQ(item->EvidenceName, "Faktury");
    EXPECT_EQ(item->OrderInList, 3);
    const TTableColumns& columns = item->ProducerTemplate().Columns;
    ASSERT_EQ(columns.Count(), 3u);
    for (size_t c = 0; c < 3; ++c) {
      EXPECT_EQ(columns[c].Title.Caption, c < 2 ? "Detail" : "Y");
      EXPECT_EQ(columns[c].Align, c < 2 ? haLeft : haDefault);
    }
    // The attributes come with the old item (and again in the carriers).
    ASSERT_EQ(item->ColumnAttributes.Count(), 2);
    EXPECT_FALSE(item->ColumnAttributes.Items(0).RowIdentifier);
    EXPECT_TRUE(item->ColumnAttributes.Items(1).RowIdentifier);
    EXPECT_EQ(item->ColumnAttributes.Items(1).IDDetailPage, page->InstanceID);
    EXPECT_EQ(page->DetailColumnAttributes.Count(), 1);
    EXPECT_EQ(model.EvidenceItems().Items(1)->DetailPages().Count(), 0);
  }
}

TEST_F(ModelFiles, LookupOptionsAreOneTextUpToVersion6) {
  for (uint16_t version : {6, 7}) {
    const std::string bytes = DefinitionFileBytes(sample, *SampleConnection("d"), {version, false});
    EXPECT_EQ(bytes.find("Persistent.Text") != std::string::npos, version == 6);
    EXPECT_EQ(bytes.find("Persistent.Lines.Strings") != std::string::npos, version == 7);
    folder.Write("qmxdef.idt", bytes);
    auto loaded = LoadFolder(folder.Path());
    auto* type = static_cast<TParamTypeDef*>(loaded->model.ParamTypeDefs().FindByInstanceID("{PT2}"));
    ASSERT_NE(type->EditorOptions(), nullptr);
    EXPECT_EQ(static_cast<TZNKVisitedStrings*>(type->EditorOptions())->Lines.Items(),
              std::vector<std::string>({"select id, name", "from customers"}));
  }
}

// Editors are bound by their exact identifier, so a type naming the Lookup
// editor in other letter case has no options; old files still keep a text
// for it, as for any type naming that editor, and every version reads back.
TEST_F(ModelFiles, ALookupEditorNamedInOtherLetterCaseReadsBackInEveryVersion) {
  auto* type = static_cast<TParamTypeDef*>(sample.ParamTypeDefs().FindByInstanceID("{PT2}"));
  type->detParamEditorID = LowerCase(kLookupEditorID);
  type->BindEditor(type->detParamEditorID);
  ASSERT_EQ(type->EditorOptions(), nullptr);
  for (uint16_t version = 1; version <= kHighestModelFileVersion; ++version) {
    SCOPED_TRACE("version " + std::to_string(version));
    WritePair({version, false}, {version, false});
    std::unique_ptr<file_test::TLoaded> loaded;
    ASSERT_NO_THROW(loaded = LoadFolder(folder.Path()));
    EXPECT_EQ(DumpList(loaded->model.ParamTypeDefs()), DumpList(sample.ParamTypeDefs()));
    EXPECT_EQ(loaded->model.EvidenceItems().Count(), sample.EvidenceItems().Count());
  }
}

// New content stays beside the file, under a name of its own, until it is
// committed; uncommitted content goes away with its object.
TEST(StagedFile, ReplacesTheFileOnlyOnCommitAndLeavesNothingBeside) {
  TTempFolder folder;
  const std::string file = folder.Path() + "qmxdef.idt";
  folder.Write("qmxdef.idt", "old");
  auto contents = [](const std::string& name) {
    std::ifstream in(name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  };
  auto names = [&folder] {
    std::vector<std::string> found;
    for (const auto& entry : std::filesystem::directory_iterator(folder.Path()))
      found.push_back(entry.path().filename().string());
    return found;
  };
  {
    TStagedFile staged(file, "new");
    TStagedFile other(file, "other");
    EXPECT_NE(staged.StagedName(), other.StagedName());
    EXPECT_EQ(contents(staged.StagedName()), "new");
    EXPECT_EQ(contents(file), "old");
  }
  EXPECT_EQ(names(), std::vector<std::string>{"qmxdef.idt"});
  EXPECT_EQ(contents(file), "old");
  TStagedFile staged(file, "new");
  staged.Commit();
  EXPECT_EQ(contents(file), "new");
  EXPECT_EQ(names(), std::vector<std::string>{"qmxdef.idt"});
}

TEST_F(ModelFiles, ADetailPageOfAMissingEvidenceItemFailsTheLoad) {
  {
    TModelStateScope loading(sample, msLoading);
    auto page = std::make_unique<TEvidenceItemDetailPage>();
    page->InstanceID = "{LOST}";
    page->EvidenceDetailName = "Lost";
    page->detEvidenceItemID = "{NO-SUCH-ITEM}";
    sample.EvidenceItemDetailPages().AddNew(std::move(page));
  }
  WritePair({}, {});
  EXPECT_EQ(Message([&] { LoadFolder(folder.Path()); }), "\"Lost\" has no refferrer of type TEvidenceItem");
}

TEST_F(ModelFiles, DuplicateOverridesAreRemovedUpToVersion7) {
  {
    TModelStateScope loading(sample, msLoading);
    for (const char* id : {"{O2}", "{O3}"}) {
      auto extra = std::make_unique<TUserOverride_ApplicationRole>();
      extra->InstanceID = id;
      extra->detApplicationRoleID = "{R1}";
      sample.UserOverridesApplicationRole().AddNew(std::move(extra));
    }
    auto other = std::make_unique<TUserOverride_ApplicationRole>();
    other->InstanceID = "{O4}";
    other->detApplicationRoleID = "{r1}";  // compared exactly: not a duplicate
    sample.UserOverridesApplicationRole().AddNew(std::move(other));
    auto evidence = std::make_unique<TUserOverride_EvidenceItem>();
    evidence->InstanceID = "{E2}";
    evidence->detEvidenceItemID = "{I1}";
    sample.UserOverridesEvidenceItem().AddNew(std::move(evidence));
  }
  struct Case {
    uint16_t version;
    std::string role_overrides;
    int evidence_overrides;
  };
  for (const Case& c : {Case{4, "{O1}{O4}", 1}, Case{7, "{O1}{O4}", 1}, Case{8, "{O1}{O2}{O3}{O4}", 2}}) {
    WritePair({18, false}, {c.version, true});
    auto loaded = LoadFolder(folder.Path());
    std::string ids;
    loaded->model.UserOverridesApplicationRole().ForEach([&ids](const T_V_DataElement* e) { ids += e->InstanceID; });
    EXPECT_EQ(ids, c.role_overrides) << c.version;
    EXPECT_EQ(loaded->model.UserOverridesEvidenceItem().Count(), c.evidence_overrides) << c.version;
  }
}

TEST_F(ModelFiles, DuplicateParameterIdentifiersAreRenewedInDefinitionsModeUpToVersion5) {
  {
    TModelStateScope loading(sample, msLoading);
    auto twin = std::make_unique<TParamDef>();
    twin->InstanceID = "{D1}";
    twin->detEvidenceItemID = "{I2}";
    sample.ParamDefs().AddNew(std::move(twin));
  }
  for (uint16_t version : {5, 6}) {
    for (uint8_t mode : {TInetMgrModel::kDefinitionsMode, TInetMgrModel::kUserDataMode}) {
      folder.Write("qmxdef.idt", DefinitionFileBytes(sample, *SampleConnection("d"), {version, false}));
      TInetMgrModel model;
      model.Mode = mode;
      LoadFromFile(model, folder.Path() + (mode == TInetMgrModel::kDefinitionsMode ? "qmxdef.idt" : "user.idt"), {});
      const bool renewed = model.ParamDefs().Items(1)->InstanceID != "{D1}";
      EXPECT_EQ(renewed, version == 5 && mode == TInetMgrModel::kDefinitionsMode) << version << " " << int(mode);
    }
  }
}

TEST_F(ModelFiles, BadFilesGiveTheirMessagesAndLeaveNoHalfLoadedModel) {
  const std::string good = DefinitionFileBytes(sample, *SampleConnection("d"), {18, false});
  const std::string good_body = good.substr(kModelFileHeaderSize);
  struct Case {
    const char* what;
    std::string bytes;
    std::string message;
  };
  std::string unknown_property = good;
  unknown_property.replace(unknown_property.find("TypeName"), 8, "TypeNamX");
  const Case cases[] = {
      {"shorter than a header", Header(18).substr(0, 506), kBadType},
      {"wrong magic", "X" + Header(18).substr(1), kBadType},
      {"version 0", Header(0), kBadType},
      {"version 19", Header(19) + good_body, kNewer},
      {"header only", Header(18), kBadDefinition},
      {"truncated body", good.substr(0, good.size() - 3), kBadDefinition},
      {"unknown property name", unknown_property, kBadDefinition},
      {"compressed body that ends early", Header(18, true) + Compressed(good_body).substr(0, 40), kBadDefinition},
      {"absurd count", Header(18) + good_body.substr(0, good_body.find("TPF0", 4) - 4) + "\xFF\xFF\xFF\x7F",
       kBadDefinition},
  };
  for (const Case& c : cases) {
    folder.Write("qmxdef.idt", c.bytes);
    folder.Write("user.idt", UserFileBytes(sample, *SampleConnection("u"), {}));
    TInetMgrModel model;
    TConnectionManager definition;
    definition.R_ConnectionString = "before";
    model.Mode = TInetMgrModel::kUserDataMode;
    EXPECT_EQ(Message([&] {
                LoadFromFile(model, folder.Path() + "user.idt", {&definition, nullptr});
              }),
              c.message)
        << c.what;
    if (c.message == kBadDefinition) {
      // Cleared: not even the built-in application types are left, and the
      // connection settings were not touched.
      EXPECT_EQ(model.ApplicationTypes().Count() + model.EvidenceItems().Count() + model.ParamTypeDefs().Count(), 0)
          << c.what;
      EXPECT_EQ(definition.R_ConnectionString, "before");
    }
    EXPECT_TRUE(model.DefinitionStream.empty());
  }
  // Not zlib data at all: the inflater's error, while the file is read and
  // before the model is touched.
  folder.Write("qmxdef.idt", Header(18, true) + "this is not zlib data");
  TInetMgrModel untouched;
  untouched.Mode = TInetMgrModel::kUserDataMode;
  EXPECT_NE(Message([&] { LoadFromFile(untouched, folder.Path() + "user.idt", {}); }).find("Cannot inflate file"),
            std::string::npos);
  EXPECT_EQ(untouched.ApplicationTypes().Count(), 3);  // the built-in types of a fresh model
}

TEST_F(ModelFiles, ADamagedUserFileLeavesTheDefinitionsAndNoUserData) {
  std::string user = UserFileBytes(sample, *SampleConnection("u"), {18, false});
  folder.Write("qmxdef.idt", DefinitionFileBytes(sample, *SampleConnection("d"), {}));
  folder.Write("user.idt", user.substr(0, user.size() - 5));
  TInetMgrModel model;
  model.Mode = TInetMgrModel::kUserDataMode;
  EXPECT_EQ(Message([&] { LoadFromFile(model, folder.Path() + "user.idt", {}); }), kBadUser);
  EXPECT_EQ(model.EvidenceItems().Count(), 2);
  EXPECT_EQ(model.UserAccounts().Count() + model.UserOverridesApplicationRole().Count() +
                model.UserOverridesEvidenceItem().Count(),
            0);
}

TEST_F(ModelFiles, MissingFilesAreEmptyAndServerIniOverridesTheUserConnection) {
  // Nothing at all: the definitions are cleared, nobody can log in.
  auto empty = LoadFolder(folder.Path());
  EXPECT_EQ(empty->model.ApplicationTypes().Count(), 0);
  EXPECT_EQ(empty->model.UserAccounts().Count(), 0);

  folder.Write("qmxdef.idt", DefinitionFileBytes(sample, *SampleConnection("d"), {}));
  auto definitions_only = LoadFolder(folder.Path());
  EXPECT_EQ(definitions_only->model.EvidenceItems().Count(), 2);
  EXPECT_EQ(definitions_only->model.UserAccounts().FindByCredentials("jan", "heslo"), nullptr);

  folder.Write("user.idt", UserFileBytes(sample, *SampleConnection("u"), {}));
  folder.Write("server.ini", "[CONNECTION]\nR_ConnectionString=Driver=Other\nCommandTimeout=9\n");
  auto both = LoadFolder(folder.Path());
  EXPECT_EQ(both->user.R_ConnectionString, "Driver=Other");
  EXPECT_EQ(both->user.CommandTimeout, 9);
  EXPECT_EQ(both->user.RW_ConnectionString, SampleConnection("u")->RW_ConnectionString);  // not in the section
  EXPECT_EQ(both->definition.R_ConnectionString, SampleConnection("d")->R_ConnectionString);
  EXPECT_NE(both->model.UserAccounts().FindByCredentials("jan", "heslo"), nullptr);
}

TEST_F(ModelFiles, TheDefinitionFileIsFoundBesideTheUserFile) {
  EXPECT_EQ(DefinitionFileName("/srv/portal/user.idt"), "/srv/portal/qmxdef.idt");
  EXPECT_EQ(DefinitionFileName("C:\\portal\\user.idt"), "C:\\portal\\qmxdef.idt");
  EXPECT_EQ(DefinitionFileName("user.idt"), "qmxdef.idt");
}

}  // namespace
}  // namespace tessaro
