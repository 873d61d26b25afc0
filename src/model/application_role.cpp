// Application roles: their detail lists, the override that renames a role
// for one installation, and the name shown in each mode of the model.
#include "model/application_role.h"

#include "model/application_type.h"
#include "model/evidence_item.h"
#include "model/inet_mgr_model.h"
#include "model/user_account.h"
#include "model/user_override_application_role.h"
#include "util/codepage.h"
#include "util/format.h"

namespace tessaro {

void TApplicationRole::DeclareProperties(TPropertyDeclarations<TApplicationRole>& p) {
  p.String("detApplicationTypeID", &TApplicationRole::detApplicationTypeID, "")
      .String("RoleName", &TApplicationRole::RoleName, "");
}

TApplicationRole::TApplicationRole() {
  AddOwnList<TEvidenceItemsList>();
  AddOwnList<TUserAccountsList>();
  AddOwnList<TUserOverrides_ApplicationRoleList>();
}

std::span<const TInetMgrBase::TStoredReference> TApplicationRole::StoredReferences() const {
  static constexpr TStoredReference kReferences[] = {
      StoredReference(&TApplicationType::StaticClass, &TApplicationRole::detApplicationTypeID)};
  return kReferences;
}

TApplicationType* TApplicationRole::ApplicationType() const { return UniqueReferrer<TApplicationType>(); }

TEvidenceItemsList& TApplicationRole::EvidenceItems() const { return static_cast<TEvidenceItemsList&>(*ListAt(0)); }

TUserAccountsList& TApplicationRole::UserAccounts() const { return static_cast<TUserAccountsList&>(*ListAt(1)); }

TUserOverrides_ApplicationRoleList& TApplicationRole::Overrides() const {
  return static_cast<TUserOverrides_ApplicationRoleList&>(*ListAt(2));
}

TUserOverride_ApplicationRole* TApplicationRole::FirstOverride() const {
  return Overrides().Count() > 0 ? Overrides().Items(0) : nullptr;
}

TUserOverride_ApplicationRole* TApplicationRole::UserOverride(bool create) {
  if (TUserOverride_ApplicationRole* existing = FirstOverride()) return existing;
  if (!create) return nullptr;
  TInetMgrModel* model = InetModel();
  if (model == nullptr) throw Exception(Format("Role \"%s\" belongs to no model", {RoleName}));
  auto created = std::make_unique<TUserOverride_ApplicationRole>();
  created->NewInstanceID(true);
  created->detApplicationRoleID = InstanceID;
  created->RoleName = RoleName;
  TUserOverride_ApplicationRole* result = model->UserOverridesApplicationRole().AddNew(std::move(created));
  Overrides().Add(result);
  return result;
}

std::string TApplicationRole::EffectiveRoleName() const {
  const TUserOverride_ApplicationRole* override_ = FirstOverride();
  return override_ != nullptr ? override_->RoleName : RoleName;
}

std::string TApplicationRole::BlackBoardText() const {
  const TUserOverride_ApplicationRole* override_ = FirstOverride();
  return override_ != nullptr ? override_->BlackBoard.Text() : std::string();
}

void TApplicationRole::DeleteDependents() { EvidenceItems().Clear(); }

std::string TApplicationRole::GetColumnText(int column) const {
  if (UserDataMode()) {
    if (column == 0) return EffectiveRoleName();
    if (column == 1) return RoleName;
    return {};
  }
  return column == 0 ? RoleName : std::string();
}

void TApplicationRole::SetColumnText(int column, const std::string& text) {
  if (column == 0) {
    if (UserDataMode())
      UserOverride(true)->RoleName = text;
    else
      RoleName = text;
  }
  TInetMgrBase::SetColumnText(column, text);
}

std::string TApplicationRole::GetDefaultName() const { return Cp1250("Nová role"); }

}  // namespace tessaro
