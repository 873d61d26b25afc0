#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "model/evidence_item.h"
#include "model/evidence_item_detail_page_switch.h"
#include "model/inet_mgr_model.h"
#include "model/io/model_check.h"
#include "model/io/model_file.h"
#include "model/io/model_file_writer.h"
#include "model/param_type_def.h"
#include "model/user_account.h"
#include "model_io/file_sample_model.h"
#include "util/codepage.h"

namespace tessaro {
namespace {

using file_test::FillSampleModel;
using file_test::SampleConnection;

// The model as check sees it: the sample written to files and read back
// without linking.
std::vector<std::string> CheckRead(const TInetMgrModel& sample) {
  auto connection = SampleConnection("c");
  const std::string definition = DefinitionFileBytes(sample, *connection, {18, false});
  const std::string user = UserFileBytes(sample, *connection, {18, false});
  const std::vector<uint8_t> definition_bytes(definition.begin(), definition.end());
  const std::vector<uint8_t> user_bytes(user.begin(), user.end());
  TInetMgrModel model;
  model.Mode = TInetMgrModel::kUserDataMode;
  ReadStreams(model, &definition_bytes, &user_bytes, {});
  return CheckModel(model);
}

TEST(ModelCheck, ASoundModelHasNoProblems) {
  TInetMgrModel sample;
  FillSampleModel(sample);
  EXPECT_EQ(CheckRead(sample), std::vector<std::string>());
}

TEST(ModelCheck, IdentitiesReferencesAndSoftLinksAreChecked) {
  TInetMgrModel sample;
  FillSampleModel(sample);
  {
    TModelStateScope loading(sample, msLoading);
    auto twin = std::make_unique<TEvidenceItem>();
    twin->InstanceID = "{i1}";  // the same identifier in other letter case
    twin->detApplicationRoleID = "{R1}";
    sample.EvidenceItems().AddNew(std::move(twin));
    auto* item = static_cast<TEvidenceItem*>(sample.EvidenceItems().FindByInstanceID("{I2}"));
    item->ColumnAttributes.Add().IDDetailPage = "{NO-PAGE}";
    item->IDAction = "{ac1}";  // exists, letter case aside
    auto* detail_switch = static_cast<TEvidenceItemDetailPageSwitch*>(sample.EvidenceItemDetailPageSwitches().Items(0));
    detail_switch->IDDetailPage[9] = "{NO-PAGE-10}";
    static_cast<TParamTypeDef*>(sample.ParamTypeDefs().FindByInstanceID("{PT1}"))->detParamEditorID = "{NO-EDITOR}";
    static_cast<TUserAccount*>(sample.UserAccounts().FindByInstanceID("{A2}"))->Username = "";
  }
  const std::vector<std::string> problems = CheckRead(sample);
  std::string all;
  for (const std::string& problem : problems) all += problem + "\n";
  const std::vector<std::string> expected = {
      Cp1250("evidence item \"Faktury přijaté\" {I1}: the identifier is used by 2 evidence items; links to it are "
             "ambiguous"),
      "evidence item {I2}: ColumnAttributes[0].IDDetailPage names detail page {NO-PAGE} which does not exist; the "
      "link is not shown",
      "detail page switch {S1}: IDDetailPage_10 names detail page {NO-PAGE-10} which does not exist; the link is not "
      "shown",
      "parameter type {PT1}: its parameter editor {NO-EDITOR} does not exist; its parameters have no control",
      "account {A2}: has no user name and cannot log in",
  };
  for (const std::string& problem : expected)
    EXPECT_NE(std::find(problems.begin(), problems.end(), problem), problems.end()) << problem << "\n" << all;
  EXPECT_EQ(problems.size(), expected.size() + 1);  // and the load fails on the ambiguous item
  EXPECT_EQ(problems.back().rfind("the portal fails to load the model: ", 0), 0u) << problems.back();
}

}  // namespace
}  // namespace tessaro
