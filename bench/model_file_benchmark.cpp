// What every request pays to load its model: a large pair of definition and
// user files is written once, then loaded the way the portal loads it (read,
// inflate, parse, link, after-load), at three sizes to show how the cost
// grows with the content. The full size is 2,000 evidence items with their
// parameters, detail pages, actions and templates, and 20,000 accounts.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>

#include "model/application_role.h"
#include "model/application_type.h"
#include "model/connection_manager.h"
#include "model/evidence_item.h"
#include "model/evidence_item_action.h"
#include "model/evidence_item_detail_page.h"
#include "model/inet_mgr_model.h"
#include "model/io/model_file.h"
#include "model/io/model_file_writer.h"
#include "model/param_def.h"
#include "model/param_type_def.h"
#include "model/table_template.h"
#include "model/user_account.h"
#include "util/guid.h"

namespace tessaro {
namespace {

constexpr int kRoles = 20;
constexpr int kParamsPerItem = 4;
constexpr int kPagesPerItem = 2;
constexpr int kActionsPerItem = 2;
constexpr int kColumnsPerTemplate = 8;
constexpr int kAccountsPerItem = 10;

std::string NewId() { return GUIDToString(CreateGUID()); }

template <class E, class L>
E* Add(L& list) {
  auto element = std::make_unique<E>();
  element->InstanceID = NewId();
  return list.AddNew(std::move(element));
}

void FillTemplate(TTableTemplate& table, int columns) {
  table.Caption = "Records";
  table.TableAttributes.Width = 90;
  for (int c = 0; c < columns; ++c) {
    TTableColumn& column = table.Columns.Add();
    column.FieldName = "FIELD_" + std::to_string(c);
    column.Title.Caption = "Column " + std::to_string(c);
    column.Align = c % 2 ? haRight : haLeft;
  }
}

// A model of `items` evidence items and ten accounts per item.
void FillLargeModel(TInetMgrModel& model, int items) {
  TModelStateScope loading(model, msLoading);
  auto* type = Add<TApplicationType>(model.ApplicationTypes());
  type->TypeName = "Accounting";
  auto* param_type = Add<TParamTypeDef>(model.ParamTypeDefs());
  param_type->detApplicationTypeID = type->InstanceID;
  param_type->detParamEditorID = "{FBCD7C44-BF53-41C5-BB45-666E395FAC2D}";
  std::vector<TApplicationRole*> roles;
  for (int r = 0; r < kRoles; ++r) {
    auto* role = Add<TApplicationRole>(model.ApplicationRoles());
    role->detApplicationTypeID = type->InstanceID;
    role->RoleName = "Role " + std::to_string(r);
    roles.push_back(role);
  }
  for (int i = 0; i < items; ++i) {
    auto* item = Add<TEvidenceItem>(model.EvidenceItems());
    item->detApplicationRoleID = roles[i % kRoles]->InstanceID;
    item->EvidenceName = "Evidence " + std::to_string(i);
    item->OrderInList = i;
    item->ParametrizedSelectClause = {"select * from records_" + std::to_string(i), "where owner = :OWNER"};
    for (int c = 0; c < kColumnsPerTemplate; ++c) item->ColumnAttributes.Add().FieldName = "FIELD_" + std::to_string(c);
    FillTemplate(item->ProducerTemplate(), kColumnsPerTemplate);
    for (int p = 0; p < kParamsPerItem; ++p) {
      auto* param = Add<TParamDef>(model.ParamDefs());
      param->detEvidenceItemID = item->InstanceID;
      param->detParamTypeDefID = param_type->InstanceID;
      param->ParamName = "P" + std::to_string(p);
      param->ParamDisplayName = "Parameter " + std::to_string(p);
    }
    for (int p = 0; p < kPagesPerItem; ++p) {
      auto* page = Add<TEvidenceItemDetailPage>(model.EvidenceItemDetailPages());
      page->detEvidenceItemID = item->InstanceID;
      page->EvidenceDetailName = "Detail " + std::to_string(p);
      page->DetailSelectClause = {"select * from records_" + std::to_string(i) + " where id = :PID"};
      FillTemplate(page->DetailListProducerTemplate(), kColumnsPerTemplate / 2);
    }
    for (int a = 0; a < kActionsPerItem; ++a) {
      auto* action = Add<TEvidenceItemAction>(model.EvidenceItemActions());
      action->detEvidenceItemID = item->InstanceID;
      action->EvidenceActionName = "Action " + std::to_string(a);
      action->ActionSQL = {"update records_" + std::to_string(i) + " set done = 1 where id = :PID"};
    }
  }
  for (int a = 0; a < items * kAccountsPerItem; ++a) {
    auto* account = Add<TUserAccount>(model.UserAccounts());
    account->Username = "user" + std::to_string(a);
    account->Password = "secret" + std::to_string(a);
    account->AccountName = "User number " + std::to_string(a);
    account->CatalogName = "catalog";
    account->detApplicationRoleID = roles[a % kRoles]->InstanceID;
    TAccountParameter& owner = account->ParameterValues.Add();
    owner.Name = "OWNER";
    owner.DataType = TFieldType::ftInteger;
    owner.Value = TVariant::Integer(a);
  }
}

// The folders holding the pair of files for each size, made once per size
// and removed when the program ends.
class TFolders {
 public:
  ~TFolders() {
    std::error_code error;
    for (const auto& [items, folder] : folders_) std::filesystem::remove_all(folder, error);
  }

  const std::string& For(int items) {
    auto found = folders_.find(items);
    if (found != folders_.end()) return found->second;
    std::string pattern = (std::filesystem::temp_directory_path() / "tessaro-bench-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("cannot create a temporary folder");
    const std::string folder = pattern + "/";
    TInetMgrModel model;
    FillLargeModel(model, items);
    TConnectionManager connection;
    connection.R_ConnectionString = "Driver=SQLite3;Database=portal.db";
    std::ofstream(folder + "qmxdef.idt", std::ios::binary) << DefinitionFileBytes(model, connection, {});
    std::ofstream(folder + "user.idt", std::ios::binary) << UserFileBytes(model, connection, {});
    return folders_.emplace(items, folder).first->second;
  }

 private:
  std::map<int, std::string> folders_;  // folder (ending with "/") by number of evidence items
};

const std::string& FolderFor(int items) {
  static TFolders folders;
  return folders.For(items);
}

void BM_LoadModelFiles(benchmark::State& state) {
  const int items = static_cast<int>(state.range(0));
  const std::string& folder = FolderFor(items);
  const auto bytes =
      std::filesystem::file_size(folder + "qmxdef.idt") + std::filesystem::file_size(folder + "user.idt");
  for (auto _ : state) {
    TInetMgrModel model;
    TConnectionManager definition, user;
    LoadPortalModel(model, folder, {&definition, &user});
    benchmark::DoNotOptimize(model.UserAccounts().Count());
  }
  state.counters["file_bytes"] = static_cast<double>(bytes);
  state.SetComplexityN(items);
}
BENCHMARK(BM_LoadModelFiles)->Arg(500)->Arg(1000)->Arg(2000)->Unit(benchmark::kMillisecond)->Complexity(benchmark::oN);

void BM_WriteModelFiles(benchmark::State& state) {
  TInetMgrModel model;
  FillLargeModel(model, static_cast<int>(state.range(0)));
  TConnectionManager connection;
  for (auto _ : state) {
    std::string definition = DefinitionFileBytes(model, connection, {});
    std::string user = UserFileBytes(model, connection, {});
    benchmark::DoNotOptimize(definition.size() + user.size());
  }
}
BENCHMARK(BM_WriteModelFiles)->Arg(2000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tessaro
