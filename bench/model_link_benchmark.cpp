// Linking a large model after it is read, as every request does: 100 roles
// with 2,000 evidence items (each with five parameters, two detail pages, two
// actions and a switch), 40 parameter types and 20,000 accounts. The model is
// built in memory with its stored references; only LinkAll is timed.
#include <benchmark/benchmark.h>

#include <memory>
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
#include "util/format.h"
#include "util/text.h"

namespace {

using namespace tessaro;

constexpr int kRoles = 100;
constexpr int kItemsPerRole = 20;
constexpr int kParamTypes = 40;
constexpr int kAccounts = 20000;

// Identifiers like the ones files hold; every tenth reference is stored in
// lower case, as old files may have them.
std::string Id(int kind, int n) { return Format("{%08X-0000-4000-8000-%012X}", {kind, n}); }
std::string Reference(int kind, int n) { return n % 10 == 0 ? LowerCase(Id(kind, n)) : Id(kind, n); }

template <class E, class L>
E* Add(L& list, std::string id) {
  auto element = std::make_unique<E>();
  element->InstanceID = std::move(id);
  return list.AddNew(std::move(element));
}

std::unique_ptr<TInetMgrModel> BuildModel() {
  auto model = std::make_unique<TInetMgrModel>();
  model->Mode = TInetMgrModel::kUserDataMode;
  TModelStateScope loading(*model, msLoading);
  const std::string type_id = model->ApplicationTypes().Items(0)->InstanceID;
  std::vector<std::string> editors;
  model->ParamEditors().ForEach([&](T_V_DataElement* e) { editors.push_back(e->InstanceID); });

  for (int t = 0; t < kParamTypes; ++t) {
    auto* type = Add<TParamTypeDef>(model->ParamTypeDefs(), Id(1, t));
    type->detApplicationTypeID = type_id;
    type->detParamEditorID = editors[t % editors.size()];
  }
  int part = 0;
  for (int r = 0; r < kRoles; ++r) {
    Add<TApplicationRole>(model->ApplicationRoles(), Id(2, r))->detApplicationTypeID = type_id;
    Add<TUserOverride_ApplicationRole>(model->UserOverridesApplicationRole(), Id(3, r))->detApplicationRoleID =
        Reference(2, r);
    for (int i = r * kItemsPerRole; i < (r + 1) * kItemsPerRole; ++i) {
      Add<TEvidenceItem>(model->EvidenceItems(), Id(4, i))->detApplicationRoleID = Reference(2, r);
      const std::string item = Reference(4, i);
      for (int p = 0; p < 5; ++p) {
        auto* param = Add<TParamDef>(model->ParamDefs(), Id(5, ++part));
        param->detEvidenceItemID = item;
        param->detParamTypeDefID = Reference(1, (i + p) % kParamTypes);
      }
      for (int k = 0; k < 2; ++k) {
        Add<TEvidenceItemDetailPage>(model->EvidenceItemDetailPages(), Id(6, ++part))->detEvidenceItemID = item;
        Add<TEvidenceItemAction>(model->EvidenceItemActions(), Id(7, ++part))->detEvidenceItemID = item;
      }
      Add<TEvidenceItemDetailPageSwitch>(model->EvidenceItemDetailPageSwitches(), Id(8, ++part))->detEvidenceItemID =
          item;
      if (i % 10 == 0)
        Add<TUserOverride_EvidenceItem>(model->UserOverridesEvidenceItem(), Id(9, i))->detEvidenceItemID = item;
    }
  }
  for (int a = 0; a < kAccounts; ++a)
    Add<TUserAccount>(model->UserAccounts(), Id(10, a))->detApplicationRoleID = Reference(2, a % kRoles);
  return model;
}

void BM_LinkAll(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    std::unique_ptr<TInetMgrModel> model = BuildModel();
    state.ResumeTiming();
    model->LinkAll();
    state.PauseTiming();
    if (model->ApplicationRoles().Items(kRoles - 1)->UserAccounts().Count() != kAccounts / kRoles)
      state.SkipWithError("accounts not linked");
    model.reset();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_LinkAll)->Unit(benchmark::kMillisecond);

// Building the model (what the file reader adds elements through) and
// destroying it, for comparison with the link.
void BM_BuildAndDestroy(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(BuildModel());
}
BENCHMARK(BM_BuildAndDestroy)->Unit(benchmark::kMillisecond);

}  // namespace
