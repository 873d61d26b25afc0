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
#include "model/io/stored_parts.h"
#include "model/param_def.h"
#include "model/param_type_def.h"
#include "model/table_template.h"
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
    BindEditorOptions(*lookup_type);
    lookup_type->EditorOptions()
        ->PublishedProperties()
        .Find("Lines")
        ->Strings(*lookup_type->EditorOptions())
        ->SetText("select id, name\r\nfrom customers");
    for (const char* id : {"{I1}", "{I2}"})
      Add<TEvidenceItem>(model.EvidenceItems(), id)->detApplicationRoleID = "{R1}";
    auto* item = static_cast<TEvidenceItem*>(model.EvidenceItems().FindByInstanceID("{I1}"));
    item->EvidenceName = Cp1250("Faktury přijaté");
    item->AccessProtocol = apHttps;
    item->OrderInList = -3;
    item->ParametrizedSelectClause = {"select * from invoices", "where customer = :CID"};
    auto& id_column = item->ColumnAttributes.Add();
    id_column.FieldName = "ID";
    id_column.RowIdentifier = true;
    id_column.IDDetailPage = "{P1}";
    auto& amount = item->ColumnAttributes.Add();
    amount.FieldName = "Amount";
    amount.Precision = 0;
    amount.IsVisible = false;
    amount.Transliterate = false;
    TTableTemplate& list_template = item->ProducerTemplate();
    list_template.Caption = "Invoices";
    list_template.MaxRows = 25;
    list_template.Header = {"<p>before</p>"};
    list_template.TableAttributes.Width = 50;
    list_template.TableAttributes.Border = 1;
    list_template.Columns.Add().FieldName = "ID";
    list_template.Columns[0].Title.Caption = "*";
    list_template.Columns.Add().FieldName = "Amount";
    list_template.Columns[1].Align = haRight;
    auto* page = Add<TEvidenceItemDetailPage>(model.EvidenceItemDetailPages(), "{P1}");
    page->detEvidenceItemID = "{I1}";
    page->EvidenceDetailName = "Detail";
    page->DetailSelectClause = {"select * from invoices where id = :PID"};
    page->DetailColumnAttributes.Add().FieldName = "Note";
    page->DetailListProducerTemplate().MaxRows = 5;
    auto* action = Add<TEvidenceItemAction>(model.EvidenceItemActions(), "{AC1}");
    action->detEvidenceItemID = "{I1}";
    action->EvidenceActionName = "Pay";
    action->ActionSQL = {"update invoices set paid = 1 where id = :PID"};
    action->DefaultReturnToFormPage = true;
    action->IDSuccessDetailPage = "{P1}";
    auto* detail_switch = Add<TEvidenceItemDetailPageSwitch>(model.EvidenceItemDetailPageSwitches(), "{S1}");
    detail_switch->detEvidenceItemID = "{I1}";
    detail_switch->fld_value[0] = "A";
    detail_switch->IDDetailPage[0] = "{P1}";
    auto* param = Add<TParamDef>(model.ParamDefs(), "{D1}");
    param->detEvidenceItemID = "{I1}";
    param->detParamTypeDefID = "{PT1}";
    param->ParamName = "CID";
    param->HtmlFilterColSpan = 3;
    param->ParamDataType = TFieldType::ftDate;

    auto* account = Add<TUserAccount>(model.UserAccounts(), "{A1}");
    account->Username = "jan";
    account->Password = "heslo";
    account->AccountName = Cp1250("Jan Novák");
    account->AccountE_mail = "jan@example.com";
    account->CatalogName = "firma";
    account->detApplicationRoleID = "{R1}";
    const TVariant values[] = {TVariant(),
                               TVariant::Integer(-70000),
                               TVariant::Float(2.5),
                               TVariant::String(Cp1250("Žluťoučký")),
                               TVariant::Boolean(true),
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
    auto* evidence_override = Add<TUserOverride_EvidenceItem>(model.UserOverridesEvidenceItem(), "{E1}");
    evidence_override->detEvidenceItemID = "{I1}";
    evidence_override->Visible = false;
    evidence_override->ForceSecureAccess = true;
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
