// The sample model of the file tests.
#include "model_io/file_sample_model.h"

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <stdexcept>

#include "model/application_role.h"
#include "model/application_type.h"
#include "model/evidence_item.h"
#include "model/evidence_item_action.h"
#include "model/evidence_item_detail_page.h"
#include "model/evidence_item_detail_page_switch.h"
#include "model/io/model_file.h"
#include "model/param_def.h"
#include "model/param_type_def.h"
#include "model/user_account.h"
#include "model/user_override_application_role.h"
#include "model/user_override_evidence_item.h"
#include "util/codepage.h"

namespace tessaro::file_test {
namespace {

template <class E, class L>
E* Add(L& list, const std::string& id) {
  auto element = std::make_unique<E>();
  element->InstanceID = id;
  return list.AddNew(std::move(element));
}

}  // namespace

void FillSampleModel(TInetMgrModel& model) {
  {
    TModelStateScope loading(model, msLoading);
    model.ApplicationTypes().Clear();
    auto* type = Add<TApplicationType>(model.ApplicationTypes(), "{T1}");
    type->TypeName = Cp1250("Účetnictví");
    type->DefaultCatalog = "ucto";
    auto* date_type = Add<TParamTypeDef>(model.ParamTypeDefs(), "{PT1}");
    date_type->detApplicationTypeID = "{T1}";
    date_type->detParamEditorID = kDateEditor;
    auto* lookup_type = Add<TParamTypeDef>(model.ParamTypeDefs(), "{PT2}");
    lookup_type->detApplicationTypeID = "{T1}";
    lookup_type->detParamEditorID = kLookupEditor;
    auto* role = Add<TApplicationRole>(model.ApplicationRoles(), "{R1}");
    role->detApplicationTypeID = "{T1}";
    role->RoleName = Cp1250("Obchodník");
    for (const char* id : {"{I1}", "{I2}"}) Add<TEvidenceItem>(model.EvidenceItems(), id)->detApplicationRoleID = "{R1}";
    Add<TEvidenceItemDetailPage>(model.EvidenceItemDetailPages(), "{P1}")->detEvidenceItemID = "{I1}";
    Add<TEvidenceItemAction>(model.EvidenceItemActions(), "{AC1}")->detEvidenceItemID = "{I1}";
    Add<TEvidenceItemDetailPageSwitch>(model.EvidenceItemDetailPageSwitches(), "{S1}")->detEvidenceItemID = "{I1}";
    auto* param = Add<TParamDef>(model.ParamDefs(), "{D1}");
    param->detEvidenceItemID = "{I1}";
    param->detParamTypeDefID = "{PT1}";

    auto* account = Add<TUserAccount>(model.UserAccounts(), "{A1}");
    account->Username = "jan";
    account->Password = "heslo";
    account->AccountName = Cp1250("Jan Novák");
    account->AccountE_mail = "jan@example.com";
    account->CatalogName = "firma";
    account->detApplicationRoleID = "{R1}";
    const TVariant values[] = {TVariant(), TVariant::Integer(-70000), TVariant::Float(2.5),
                               TVariant::String(Cp1250("Žluťoučký")), TVariant::Boolean(true),
                               TVariant::Date(46000.25)};
    int n = 0;
    for (const TVariant& value : values) {
      TAccountParameter& parameter = account->ParameterValues.Add();
      parameter.Name = "P" + std::to_string(++n);
      parameter.DataType = TFieldType::ftInteger;
      parameter.ParamType = TAccountParamType::ptInput;
      parameter.Size = n * 100;
      parameter.Value = value;
    }
    auto* second = Add<TUserAccount>(model.UserAccounts(), "{A2}");
    second->Username = "eva";
    second->detApplicationRoleID = "{R1}";
    auto* role_override = Add<TUserOverride_ApplicationRole>(model.UserOverridesApplicationRole(), "{O1}");
    role_override->detApplicationRoleID = "{R1}";
    role_override->RoleName = "Prodej";
    role_override->BlackBoard = {Cp1250("První řádek"), std::string(300, 'x')};
    Add<TUserOverride_EvidenceItem>(model.UserOverridesEvidenceItem(), "{E1}")->detEvidenceItemID = "{I1}";
  }
  model.LinkAll();
  model.AfterLoadAll();
  model.Modified = false;
}

std::unique_ptr<TConnectionManager> SampleConnection(const std::string& name) {
  auto connection = std::make_unique<TConnectionManager>();
  connection->CommandTimeout = 42;
  connection->R_ConnectionString = "Driver=SQLite3;Database=" + name;
  connection->RW_ConnectionString = "Driver=SQLite3;Database=" + name + ";rw";
  connection->SupportsCatalogs = false;
  return connection;
}

TTempFolder::TTempFolder() {
  std::string pattern = (std::filesystem::temp_directory_path() / "tessaro-files-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("cannot create a temporary folder");
  path_ = pattern + "/";
}

TTempFolder::~TTempFolder() {
  std::error_code error;
  std::filesystem::remove_all(path_, error);
}

void TTempFolder::Write(const std::string& name, const std::string& bytes) const {
  std::ofstream(path_ + name, std::ios::binary) << bytes;
}

std::unique_ptr<TLoaded> LoadFolder(const std::string& folder) {
  auto loaded = std::make_unique<TLoaded>();
  LoadPortalModel(loaded->model, folder, {&loaded->definition, &loaded->user});
  return loaded;
}

}  // namespace tessaro::file_test
