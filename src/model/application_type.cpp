// Application types: their stored properties, their two detail lists and the
// editor columns.
#include "model/application_type.h"

#include "model/application_role.h"
#include "model/param_type_def.h"
#include "util/codepage.h"

namespace tessaro {

void TApplicationType::DeclareProperties(TPropertyDeclarations<TApplicationType>& p) {
  p.String("DefaultCatalog", &TApplicationType::DefaultCatalog, "")
      .String("DisplayLabel", &TApplicationType::DisplayLabel, "")
      .String("TypeName", &TApplicationType::TypeName, "");
}

TApplicationType::TApplicationType() {
  AddOwnList<TApplicationRolesList>();
  AddOwnList<TParamTypeDefsList>();
}

TApplicationRolesList& TApplicationType::ApplicationRoles() const {
  return static_cast<TApplicationRolesList&>(*ListAt(0));
}

TParamTypeDefsList& TApplicationType::ParamTypeDefs() const { return static_cast<TParamTypeDefsList&>(*ListAt(1)); }

void TApplicationType::DeleteDependents() {
  ApplicationRoles().Clear();
  ParamTypeDefs().Clear();
}

std::string TApplicationType::GetColumnText(int column) const {
  switch (column) {
    case 0:
      return TypeName;
    case 1:
      return DefaultCatalog;
    default:
      return {};
  }
}

void TApplicationType::SetColumnText(int column, const std::string& text) {
  if (column == 0) TypeName = text;
  if (column == 1) DefaultCatalog = text;
  TInetMgrBase::SetColumnText(column, text);
}

std::string TApplicationType::GetDefaultName() const { return Cp1250("Nový typ katalogu"); }

}  // namespace tessaro
